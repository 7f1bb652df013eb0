// The payroll-sheet control below the window, in headless Chromium: a sheet
// chosen or dropped gives for download the very bytes that the WebAssembly
// iitcalc-cli --csv writes for it under the same language, with the counts
// shown; a sheet whose header it cannot use says why and offers nothing; a
// sheet of 100,000 rows goes through in pieces, with progress, the window
// answering a click meanwhile.
//   IITCALC_SITE=build/web/site IITCALC_CLI=build/web/cli/iitcalc-cli.js node tests/web/sheet_test.mjs
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { openPage, useSite } from './support.mjs';

const site = useSite();

// What iitcalc-cli --csv writes for `bytes` under zh_CN, as the page runs in zh-CN.
function cli(bytes) {
  const result = spawnSync(process.execPath, ['--no-experimental-fetch', process.env.IITCALC_CLI, '--csv'],
    {input: bytes, env: {PATH: process.env.PATH, LC_ALL: 'zh_CN.UTF-8'}, maxBuffer: 1 << 30});
  return {status: result.status, stdout: result.stdout};
}

// GB18030 as a spreadsheet on Chinese Windows saves it: the two-byte codes
// found by decoding every one with the platform's decoder.
const kGb18030 = (() => {
  const decoder = new TextDecoder('gb18030');
  const codes = new Map();
  for (let lead = 0x81; lead <= 0xfe; ++lead) {
    for (let trail = 0x40; trail <= 0xfe; ++trail) {
      if (trail !== 0x7f) codes.set(decoder.decode(new Uint8Array([lead, trail])), [lead, trail]);
    }
  }
  return codes;
})();
const gb18030 = (text) => Buffer.from([...text].flatMap((c) => (c < '\x80' ? [c.charCodeAt(0)] : kGb18030.get(c))));

const status = (page) => page.locator('.sheet-status span').allTextContents();
const finished = (page) => page.waitForFunction(() => {
  const drop = document.querySelector('.sheet-drop');
  return !drop.hasAttribute('aria-busy') && drop.querySelector('.sheet-status').textContent !== '';
}, null, {timeout: 120000});

const kInput = '.sheet-drop input[type=file]';
const choose = (page, name, bytes) => page.setInputFiles(kInput, {name, mimeType: 'text/csv', buffer: bytes});

// As a file let go over the control: dragover, then drop.
async function drop(page, name, bytes) {
  await page.evaluate(([fileName, content]) => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array(content)], fileName, {type: 'text/csv'}));
    const zone = document.querySelector('.sheet-zone');
    for (const type of ['dragenter', 'dragover', 'drop'])
      zone.dispatchEvent(new DragEvent(type, {dataTransfer: transfer, bubbles: true, cancelable: true}));
  }, [name, [...bytes]]);
}

async function downloaded(page) {
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('.sheet-download')]);
  return {name: download.suggestedFilename(), bytes: fs.readFileSync(await download.path())};
}

const kSheets = [
  {
    what: 'a GB18030 sheet with CR LF, a quoted grouped amount, a bad cell and a blank row, chosen',
    put: choose, name: '工资表.csv',
    bytes: gb18030('姓名,工号,应发工资,五险一金\r\n张三,001,"12,345.67",1000\r\n李四,002,8000,一千\r\n' +
      '王五,003,10000,"1,000"\r\n,,,\r\n'),
    shown: ['“工资表.csv”：计算 2 行，出错 1 行（第 3 行），原因见“出错原因”列。'],
    result: '工资表-个税.csv', row: '张三,001,"12,345.67",1000,7845.67,1014.134,',
  },
  {
    what: 'a UTF-8 sheet with a byte-order mark, semicolons and no insurance column, dropped',
    put: drop, name: 'salary',
    bytes: Buffer.from('\ufeff姓名;应发工资\n赵六;¥8,000元\n钱七;"9 000"\n'),
    shown: ['“salary”：计算 1 行，出错 1 行（第 3 行），原因见“出错原因”列。',
      '注意：表头中没有五险一金列，五险一金按 0 计算。'],
    result: 'salary-个税.csv', row: '赵六;¥8,000元;4500;345;',
  },
  {
    what: 'a header with no income column, dropped: why, and nothing to download',
    put: drop, name: '名单.csv',
    bytes: Buffer.from('姓名,工号\r\n张三,001\r\n'),
    shown: ['“名单.csv”无法计算：表头中没有个人收入列（认得的列名：个人收入、应发工资、应发合计、应发金额、税前工资、' +
      '税前收入）；表头的列：1 姓名、2 工号。'],
  },
];

for (const {what, put, name, bytes, shown, result, row} of kSheets) {
  test(what, async () => {
    const page = await openPage(site.browser, site.origin, {locale: 'zh-CN'});
    await page.evaluate(() => navigator.serviceWorker.ready); // its files fetched
    const asked = site.server.requests.length;
    await put(page, name, bytes);
    await finished(page);
    assert.equal(site.server.requests.length, asked, 'nothing sent or fetched');
    assert.deepEqual(await status(page), shown);
    const expected = cli(bytes);
    if (!result) {
      assert.equal(expected.status, 2, 'the CLI refuses it too');
      assert.equal(await page.locator('.sheet-download').isVisible(), false);
    } else {
      const {name: saved, bytes: got} = await downloaded(page);
      assert.equal(saved, result);
      assert.ok(got.equals(expected.stdout), `the CLI's bytes:\n${expected.stdout}\nthe page's:\n${got}`);
      assert.ok(got.toString().split('\r\n').includes(row), row);
    }
    assert.deepEqual(page.problems, []);
    assert.deepEqual(page.foreign, []);
    await page.context().close();
  });
}

test('the control: below the window wherever it goes, a labelled file input the keyboard reaches, a polite status', async () => {
  const page = await openPage(site.browser, site.origin, {locale: 'zh-CN'});
  for (const width of [800, 375]) {
    await page.setViewportSize({width, height: 600});
    const [frame, control] = await page.evaluate(() => [document.getElementById('主窗体'),
      document.querySelector('.sheet-drop')].map((element) => element.getBoundingClientRect().toJSON()));
    assert.ok(control.top >= frame.bottom && Math.abs(control.left - frame.left) < 0.5 &&
      Math.abs(control.width - frame.width) < 0.5, JSON.stringify({width, frame, control}));
  }
  const input = page.locator(kInput);
  assert.equal(await input.getAttribute('accept'), '.csv,text/csv');
  assert.equal(await page.getByRole('button', {name: '计算工资表…'}).count(), 1);
  assert.equal(await page.getAttribute('.sheet-status', 'role'), 'status');
  await input.focus();
  assert.equal(await page.evaluate(() => document.activeElement.type), 'file');
  await page.context().close();
});

// Names, numbers and grouped amounts; a bad insurance cell in every
// thousandth row from the first.
function bigSheet(rows) {
  const lines = ['部门,姓名,工号,应发工资,五险一金'];
  for (let i = 0; i < rows; ++i) {
    const pay = 3000 + (i * 7919) % 60000 + (i % 100) / 100;
    const grouped = pay.toFixed(2).replace(/\B(?=(\d{3})+\.)/, ',');
    lines.push(`财务部,员工${i},${100000 + i},"${grouped}",${i % 1000 === 0 ? '未填' : 800 + i % 500}`);
  }
  return Buffer.from(lines.join('\r\n') + '\r\n');
}

test('100,000 rows in pieces: progress shown, a click on 计算 answered meanwhile, the CLI\'s bytes', async () => {
  const rows = 100000;
  const bytes = bigSheet(rows);
  const page = await openPage(site.browser, site.origin, {locale: 'zh-CN'});
  // A slower machine, so that the run outlasts a click.
  const cdp = await page.context().newCDPSession(page);
  await cdp.send('Emulation.setCPUThrottlingRate', {rate: 4});
  await page.fill('[id="个人收入"]', '10000');
  await page.fill('[id="五险一金之和"]', '1000');
  await page.evaluate(() => {
    const progress = document.querySelector('.sheet-drop progress');
    window.progressSeen = [];
    new MutationObserver(() => window.progressSeen.push(progress.hidden ? null : progress.value / progress.max))
      .observe(progress, {attributes: true});
    document.getElementById('计算按钮').addEventListener('click', () => {
      window.clickedWhileBusy = document.querySelector('.sheet-drop').hasAttribute('aria-busy');
    });
  });
  // By its path, as a big file goes: the page reads it as it goes, so it
  // stays until the end.
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'iitcalc-sheet-'));
  fs.writeFileSync(path.join(folder, 'big.csv'), bytes);
  try {
    await page.setInputFiles(kInput, path.join(folder, 'big.csv'));
    await page.waitForFunction(() => window.progressSeen.some((part) => part > 0 && part < 1));
    assert.equal(await page.isVisible('.sheet-drop progress'), true);
    await page.click('[id="计算按钮"]');
    assert.equal(await page.inputValue('[id="应缴税额"]'), '545');
    await finished(page);
  } finally {
    fs.rmSync(folder, {recursive: true, force: true});
  }
  assert.equal(await page.evaluate(() => window.clickedWhileBusy), true, 'the click came while the sheet ran');
  const parts = await page.evaluate(() => window.progressSeen.filter((part) => part > 0 && part < 1).length);
  assert.ok(parts >= 5, `progress shown ${parts} times between start and end`);
  assert.equal(await page.isVisible('.sheet-drop progress'), false);

  const failedRows = Array.from({length: 10}, (_, i) => 2 + 1000 * i).join('、');
  assert.deepEqual(await status(page),
    [`“big.csv”：计算 ${rows - rows / 1000} 行，出错 ${rows / 1000} 行（第 ${failedRows} 行等），原因见“出错原因”列。`]);
  await cdp.send('Emulation.setCPUThrottlingRate', {rate: 1});
  const {bytes: got} = await downloaded(page);
  const expected = cli(bytes);
  assert.equal(got.toString().split('\r\n').length, rows + 2, 'a row out for each row in');
  assert.ok(got.equals(expected.stdout), 'the same bytes as the CLI');
  assert.deepEqual(page.problems, []);
  await page.context().close();
});

// The second file starts while the first is under way; were the first not
// stopped it would end first and show its result before the second's.
test('a file chosen while another runs takes its place: only its result shown and offered', async () => {
  const page = await openPage(site.browser, site.origin, {locale: 'zh-CN'});
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'iitcalc-sheet-'));
  const bytes = bigSheet(100000);
  for (const name of ['一月.csv', '二月.csv']) fs.writeFileSync(path.join(folder, name), bytes);
  await page.evaluate(() => {
    window.statusSeen = [];
    const status = document.querySelector('.sheet-status');
    new MutationObserver(() => window.statusSeen.push(status.textContent)).observe(status, {childList: true});
  });
  try {
    await page.setInputFiles(kInput, path.join(folder, '一月.csv'));
    await page.waitForFunction(() => document.querySelector('.sheet-drop progress').value > 0);
    await page.setInputFiles(kInput, path.join(folder, '二月.csv'));
    await finished(page);
  } finally {
    fs.rmSync(folder, {recursive: true, force: true});
  }
  assert.deepEqual((await page.evaluate(() => window.statusSeen)).map((text) => text.replace(/”.*/, '”')),
    ['正在计算“一月.csv”', '正在计算“二月.csv”', '“二月.csv”']);
  const {name, bytes: got} = await downloaded(page);
  assert.equal(name, '二月-个税.csv');
  assert.ok(got.equals(cli(bytes).stdout));
  assert.deepEqual(page.problems, []);
  await page.context().close();
});
