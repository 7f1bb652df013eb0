// The web page beside a bare page measured in the same run, in Debian's
// headless Chromium, in paired rounds that take turns: how soon the window is
// painted and how soon the first calculation (10000 and 1000, typed and 计算
// clicked as soon as the page is parsed) shows its tax base, on a first visit
// and on a second; what the whole app weighs gzipped; how long Calculate
// takes beside a bare click handler.
//
// The bare page is made from the built page: the window's markup and the
// stylesheet as the page has them once it is up, and a one-line click
// handler, no program.
//   node bench/web/page_bench.mjs [SITE] [RUNS]    (build/web/site, 15)
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import zlib from 'node:zlib';
import { launch, serve, waitReady } from '../../tests/web/support.mjs';

const site = path.resolve(process.argv[2] || 'build/web/site');
const runs = Number(process.argv[3] || 15);
const median = (values) => values.slice().sort((a, b) => a - b)[Math.floor(values.length / 2)];
const row = (measure, ours, base, unit, target) =>
  console.log(`${measure.padEnd(52)} ${ours.toFixed(unit === 'ms' ? 1 : 2).padStart(9)} ${unit}` +
    (base === null ? ''.padStart(12) : `${base.toFixed(unit === 'ms' ? 1 : 2).padStart(9)} ${unit}`) +
    (base === null ? ''.padStart(8) : `${(ours / base).toFixed(2).padStart(7)}x`) + `   target ${target}`);

// The built page's window and stylesheet, as they stand once it is up.
async function barePage(browser, origin, folder) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(origin + '/');
  await waitReady(page);
  const [markup, styles] = await page.evaluate(() => [
    document.getElementById('主窗体').outerHTML,
    [...document.styleSheets].map((sheet) => [...sheet.cssRules].map((rule) => rule.cssText).join('\n')).join('\n'),
  ]);
  await context.close();
  fs.writeFileSync(path.join(folder, 'index.html'), `<!doctype html><html lang="zh-CN"><head><meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1"><title>bare</title><style>${styles}</style></head>
<body>${markup}<script>
document.getElementById('计算按钮').onclick = () => { document.getElementById('税基').value = String(document.getElementById('个人收入').value - document.getElementById('五险一金之和').value - document.getElementById('个税起征点').value); };
</script></body></html>`);
}

// As a quick user would: once the page is parsed (or, where the window comes
// later, once its boxes are there), the example is typed and 计算 clicked;
// the mark "calculated" once the tax base reads 5500.
const kUser = () => {
  let clicked = false;
  // Looked at every few milliseconds (a busier loop would slow the page it
  // waits for).
  const poll = () => {
    const box = (id) => document.getElementById(id);
    if (!clicked && document.readyState !== 'loading' && box('计算按钮') && box('个税起征点')) {
      if (!box('个税起征点').value) box('个税起征点').value = '3500'; // the bare page has no Activate
      for (const [id, text] of [['个人收入', '10000'], ['五险一金之和', '1000']]) {
        box(id).value = text;
        box(id).dispatchEvent(new Event('input', {bubbles: true}));
      }
      box('计算按钮').click();
      clicked = true;
    }
    if (clicked && box('税基')?.value === '5500') {
      performance.mark('calculated');
      return;
    }
    setTimeout(poll, 0);
  };
  poll();
};

// First contentful paint and the mark "calculated", from the start of
// navigation: a fresh profile's first visit, then a second visit in the same
// profile (the browser's caches, and for the app its service worker).
async function visitTimes(browser, origin) {
  const context = await browser.newContext({viewport: {width: 800, height: 600}});
  await context.addInitScript(kUser);
  const page = await context.newPage();
  const times = [];
  for (const visit of [0, 1]) {
    await (visit ? page.reload() : page.goto(origin + '/'));
    await page.waitForFunction(() => performance.getEntriesByName('calculated').length > 0 &&
      performance.getEntriesByName('first-contentful-paint').length > 0, null, {timeout: 20000});
    times.push(await page.evaluate(() => [performance.getEntriesByName('first-contentful-paint')[0].startTime,
      performance.getEntriesByName('calculated')[0].startTime]));
    // A repeat visit is one the service worker serves: it has installed
    // (its files fetched and checked) and controls the page.
    await page.evaluate(async () => {
      if (!('serviceWorker' in navigator) || !document.querySelector('script[src]')) return;
      while (!(await navigator.serviceWorker.getRegistration())) await new Promise((wait) => setTimeout(wait, 20));
      await navigator.serviceWorker.ready;
      while (!navigator.serviceWorker.controller) await new Promise((wait) => setTimeout(wait, 20));
    });
    await page.waitForTimeout(200);
  }
  await context.close();
  return times;
}

async function clickTime(browser, origin, ready) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(origin + '/');
  await ready(page);
  await page.fill('[id="个人收入"]', '10000');
  await page.fill('[id="五险一金之和"]', '1000');
  await page.fill('[id="个税起征点"]', '3500');
  const time = await page.evaluate((count) => {
    const target = document.getElementById('计算按钮');
    for (let i = 0; i < 100; ++i) target.click();
    const start = performance.now();
    for (let i = 0; i < count; ++i) target.click();
    return (performance.now() - start) / count;
  }, 2000);
  await context.close();
  return time;
}

const bareFolder = fs.mkdtempSync(path.join(os.tmpdir(), 'iitcalc-bare-'));
const ours = await serve(site);
const bare = await serve(bareFolder);
const browser = await launch();
try {
  await barePage(browser, ours.origin, bareFolder);
  console.log(`${'measure'.padEnd(52)} ${'iitcalc'.padStart(12)} ${'bare page'.padStart(12)} ${'ratio'.padStart(7)}`);
  const times = {ours: [], bare: []};
  for (let i = 0; i < runs; ++i) {
    // Paired, taking turns at going first.
    const pair = i % 2 ? [['bare', bare], ['ours', ours]] : [['ours', ours], ['bare', bare]];
    for (const [name, server] of pair) times[name].push(await visitTimes(browser, server.origin));
  }
  const at = (name, visit, what) => median(times[name].map((visits) => visits[visit][what]));
  const measures = [['first visit: first paint', 0, 0, '<= 1.1x'], ['first visit: first calculation', 0, 1, '<= 1.3x'],
    ['repeat visit: first paint', 1, 0, '<= 1.1x'], ['repeat visit: first calculation', 1, 1, '']];
  for (const [measure, visit, what, target] of measures)
    row(`${measure} (median of ${runs})`, at('ours', visit, what), at('bare', visit, what), 'ms', target);
  // The bare page calculates before it first paints; a page whose program
  // starts once the window is painted cannot calculate before that paint.
  row('the least first calculation after the first paint', at('bare', 0, 0), at('bare', 0, 1), 'ms',
    '(bare page: first paint / first calculation)');

  const ourClick = await clickTime(browser, ours.origin, waitReady);
  const bareClick = await clickTime(browser, bare.origin, async () => {});
  row('Calculate, click to both boxes written', ourClick * 1000, bareClick * 1000, 'us', '<= 1 ms');

  const files = fs.readdirSync(site).filter((name) => fs.statSync(path.join(site, name)).isFile());
  let raw = 0;
  let gzipped = 0;
  for (const name of files) {
    const data = fs.readFileSync(path.join(site, name));
    raw += data.length;
    gzipped += zlib.gzipSync(data, {level: 9}).length;
  }
  row(`whole app gzipped (${files.length} files, ${(raw / 1024).toFixed(1)} KB raw)`, gzipped / 1024, null, 'KB',
    '<= 150 KB');
} finally {
  await browser.close();
  ours.close();
  bare.close();
  fs.rmSync(bareFolder, {recursive: true, force: true});
}
