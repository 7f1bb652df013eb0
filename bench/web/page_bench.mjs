// The web page beside baselines measured in the same run, in Debian's
// headless Chromium: how soon the window is up and takes input beside a bare
// page with as many positioned elements, what the whole app weighs gzipped,
// and how long Calculate takes beside a bare click handler that reads three
// boxes and writes two.
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
  console.log(`${measure.padEnd(50)} ${ours.toFixed(unit === 'ms' ? 2 : 1).padStart(9)} ${unit}` +
    (base === null ? ''.padStart(16) : `${base.toFixed(unit === 'ms' ? 2 : 1).padStart(9)} ${unit}`) +
    (base === null ? ''.padStart(8) : `${(ours / base).toFixed(2).padStart(7)}x`) + `   target ${target}`);

// The baseline page: 21 elements placed as the window's are, no script to
// load, the boxes taking input as soon as it is parsed.
function barePage(folder) {
  const controls = Array.from({length: 21}, (_, i) => {
    const place = `style="position:absolute;left:${(i % 4) * 140}px;top:${Math.floor(i / 4) * 30}px;width:121px;height:18px"`;
    return i < 5 ? `<input id="box${i}" ${place}>` : i < 7 ? `<button id="b${i}" ${place}>计算</button>`
      : `<div ${place}>标签${i}</div>`;
  }).join('\n');
  fs.writeFileSync(path.join(folder, 'index.html'), `<!doctype html><html lang="zh-CN"><head><meta charset="utf-8">
<title>bare</title></head><body><main style="position:relative;width:616px;height:434px">${controls}</main>
<script>
document.getElementById('b5').addEventListener('click', function () {
  var a = parseFloat(box0.value) || 0, b = parseFloat(box1.value) || 0, c = parseFloat(box2.value);
  var t = a - b - c;
  box4.value = String(t * 0.2 - 555);
  box3.value = String(t);
});
performance.mark('ready');
</script></body></html>`);
}

// From the start of navigation to the later of the page's own mark (the
// boxes take input) and its first paint with content (the window shows).
// A fresh profile's first visit, then a second visit in the same profile
// (the browser's caches, and for the app its service worker).
async function readyTimes(browser, origin, mark, ready) {
  const context = await browser.newContext({viewport: {width: 800, height: 600}});
  const page = await context.newPage();
  const times = [];
  for (const visit of [0, 1]) {
    await (visit ? page.reload() : page.goto(origin + '/'));
    await ready(page);
    await page.waitForFunction(() => performance.getEntriesByName('first-contentful-paint').length > 0);
    times.push(await page.evaluate((name) => Math.max(performance.getEntriesByName(name)[0].startTime,
      performance.getEntriesByName('first-contentful-paint')[0].startTime), mark));
    await page.waitForTimeout(300); // the service worker installed, the compiled code cached
  }
  await context.close();
  return times;
}

async function clickTime(browser, origin, ready, fill, button) {
  const context = await browser.newContext();
  const page = await context.newPage();
  await page.goto(origin + '/');
  await ready(page);
  await fill(page);
  const time = await page.evaluate(([id, count]) => {
    const target = document.getElementById(id);
    for (let i = 0; i < 100; ++i) target.click();
    const start = performance.now();
    for (let i = 0; i < count; ++i) target.click();
    return (performance.now() - start) / count;
  }, [button, 2000]);
  await context.close();
  return time;
}

const bareFolder = fs.mkdtempSync(path.join(os.tmpdir(), 'iitcalc-bare-'));
barePage(bareFolder);
const ours = await serve(site);
const bare = await serve(bareFolder);
const browser = await launch();
try {
  console.log(`${'measure'.padEnd(50)} ${'iitcalc'.padStart(12)} ${'baseline'.padStart(12)} ${'ratio'.padStart(7)}`);
  const bareReady = (page) => page.waitForFunction(() => performance.getEntriesByName('ready').length > 0);
  const times = {ours: [[], []], bare: [[], []]};
  for (let i = 0; i < runs; ++i) {
    (await readyTimes(browser, ours.origin, 'iitcalc-ready', waitReady)).forEach((time, visit) => times.ours[visit].push(time));
    (await readyTimes(browser, bare.origin, 'ready', bareReady)).forEach((time, visit) => times.bare[visit].push(time));
  }
  row(`page ready and painted, first visit (median of ${runs})`, median(times.ours[0]), median(times.bare[0]), 'ms',
    '<= 1.5x');
  row('page ready and painted, second visit', median(times.ours[1]), median(times.bare[1]), 'ms', '<= 1.5x');

  const ourClick = await clickTime(browser, ours.origin, waitReady, async (page) => {
    await page.fill('[id="个人收入"]', '10000');
    await page.fill('[id="五险一金之和"]', '1000');
  }, '计算按钮');
  const bareClick = await clickTime(browser, bare.origin, bareReady, async (page) => {
    await page.fill('#box0', '10000');
    await page.fill('#box1', '1000');
    await page.fill('#box2', '3500');
  }, 'b5');
  row('Calculate, click to both boxes written', ourClick * 1000, bareClick * 1000, 'us', '<= 1 ms');

  const files = fs.readdirSync(site).filter((name) => fs.statSync(path.join(site, name)).isFile());
  let raw = 0;
  let gzipped = 0;
  for (const name of files) {
    const data = fs.readFileSync(path.join(site, name));
    raw += data.length;
    gzipped += zlib.gzipSync(data, {level: 9}).length;
  }
  const wasm = fs.readFileSync(path.join(site, 'iitcalc.wasm'));
  row(`whole app gzipped (${files.length} files, ${(raw / 1024).toFixed(1)} KB raw)`, gzipped / 1024, 150, 'KB',
    '<= 150 KB');
  row('  of which iitcalc.wasm', zlib.gzipSync(wasm, {level: 9}).length / 1024, null, 'KB', '');
} finally {
  await browser.close();
  ours.close();
  bare.close();
  fs.rmSync(bareFolder, {recursive: true, force: true});
}
