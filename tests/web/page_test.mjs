// The window in a real browser (Debian's Chromium, headless): what only a
// browser shows -- places in CSS pixels at several devicePixelRatios, focus
// and the keyboard, the scroll bar, the link, the error dialog, what
// assistive technology is told, a phone's width -- and the window as the
// page holds it before the program has started, and what is done there. The
// window's logic itself is tested on the in-memory backend.
//   IITCALC_SITE=build/web/site node tests/web/page_test.mjs
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { kPanelFrame, layout, openPage, px, useSite, waitReady } from './support.mjs';

const site = useSite();

const kBoxes = ['个人收入', '五险一金之和', '个税起征点', '税基', '应缴税额'];
const boxes = (page) => page.evaluate((ids) => ids.map((id) => document.getElementById(id).value), kBoxes);
const focused = (page) => page.evaluate(() => document.activeElement.id);
const panelTop = (page) => page.evaluate(() => getComputedStyle(document.getElementById('大图框')).top);
const scrollPosition = (page) => page.evaluate(() => Number(document.getElementById('滚动条').getAttribute('aria-valuenow')));
const byId = (id) => `[id="${id}"]`;

// Each test ends here: nothing went wrong in the page and nothing of it left
// the machine's own server (`expectedAway` aside).
async function done(page, expectedAway = []) {
  assert.deepEqual(page.problems, [], 'console errors or uncaught exceptions');
  assert.deepEqual(page.foreign, expectedAway, 'requests to another origin');
  await page.context().close();
}

const kWindow = layout()[0];
const kControls = layout().slice(1);

for (const [scale, held] of [[1, true], [1, false], [1.25, false], [2, false], [2, true]]) {
  test(`every control stands where the layout puts it, at devicePixelRatio ${scale}${held ? ', before the program has started' : ''}`, async () => {
    const page = await openPage(site.browser, site.origin, {scale, held});
    const places = await page.evaluate((names) => {
      const window = document.getElementById('主窗体').getBoundingClientRect();
      return [[window.width, window.height]].concat(names.map((name) => {
        const box = document.getElementById(name).getBoundingClientRect();
        return [box.left - window.left, box.top - window.top, box.width, box.height];
      }));
    }, kControls.map((control) => control.name));
    assert.deepEqual(places[0], [px(kWindow.width), px(kWindow.height)], 'the window');
    const panel = kControls.find((control) => control.kind === 'picturebox');
    kControls.forEach(({name, kind, parent, left, top, width, height}, i) => {
      // The panel's controls lie inside its frame.
      const [dx, dy] = parent ? [px(panel.left) + kPanelFrame, px(panel.top) + kPanelFrame] : [0, 0];
      const size = kind === 'line' ? [Math.max(1, px(width) - px(left)), px(height) - px(top)] : [px(width), px(height)];
      assert.deepEqual(places[i + 1], [px(left) + dx, px(top) + dy, ...size], name);
    });
    // One pinned, against a change of rounding: the notice.
    assert.deepEqual(places[1 + kControls.findIndex((control) => control.name === 'Label57')], [58, 258, 465, 41]);
    if (held) await page.release();
    await done(page);
  });
}

test('start, Calculate, a tax base with no bracket, and Clear back to a fresh window', async () => {
  const page = await openPage(site.browser, site.origin);
  assert.deepEqual(await boxes(page), ['', '', '3500', '', '']);
  assert.equal(await focused(page), '大图框');
  assert.equal(await panelTop(page), '0px');
  assert.equal(await page.getAttribute(byId('滚动条'), 'aria-valuemax'), '13');

  await page.fill(byId('个人收入'), '10000');
  await page.fill(byId('五险一金之和'), '1000');
  for (let press = 0; press < 2; ++press) {
    await page.click(byId('计算按钮'));
    assert.deepEqual(await boxes(page), ['10000', '1000', '3500', '5500', '545']);
  }
  // A text longer than the program first makes room for is read whole.
  const padded = '0'.repeat(70) + '10000';
  await page.fill(byId('个人收入'), padded);
  await page.click(byId('计算按钮'));
  assert.deepEqual(await boxes(page), [padded, '1000', '3500', '5500', '545']);
  await page.fill(byId('个人收入'), '');
  await page.fill(byId('五险一金之和'), '');
  await page.click(byId('计算按钮'));
  assert.deepEqual(await boxes(page), ['', '', '3500', '-3500', '0']);

  await page.fill(byId('个税起征点'), '4000');
  await page.click('.forms-down');
  const old = await page.$(byId('个人收入'));
  await page.click(byId('清空按钮'));
  assert.equal(await old.evaluate((box) => box.isConnected), false, 'the old window is gone');
  assert.equal(await page.evaluate(() => document.body.firstElementChild.id), '主窗体', 'the new one where it was');
  assert.deepEqual(await boxes(page), ['', '', '3500', '', '']);
  assert.equal(await panelTop(page), '0px');
  assert.equal(await scrollPosition(page), 0);
  assert.equal(await focused(page), '大图框');
  await done(page);
});

// The separators of the browser's language, in the threshold and in the results.
for (const [locale, threshold, base, tax] of [
  ['de-DE', '3.500,5', '5499,5', '544,9'],
  ['zh-CN', '3,500', '5500', '545'],
  ['zh-CN', '35,00', '', ''], // grouping in the wrong place: a type mismatch
]) {
  test(`under ${locale} the threshold ${threshold} gives ${base || 'an error'}`, async () => {
    const page = await openPage(site.browser, site.origin, {locale});
    await page.fill(byId('个人收入'), '10000');
    await page.fill(byId('五险一金之和'), '1000');
    await page.fill(byId('个税起征点'), threshold);
    await page.click(byId('计算按钮'));
    assert.deepEqual((await boxes(page)).slice(3), [base, tax]);
    assert.equal(await page.locator('dialog').count(), base ? 0 : 1);
    await done(page);
  });
}

test('Activate runs once per opening, not when the page comes back to the front', async () => {
  const page = await openPage(site.browser, site.origin);
  await page.fill(byId('个税起征点'), '4000');
  const other = await page.context().newPage();
  await other.bringToFront();
  await page.bringToFront();
  await page.evaluate(() => {
    document.dispatchEvent(new Event('visibilitychange'));
    window.dispatchEvent(new Event('focus'));
  });
  assert.equal(await page.inputValue(byId('个税起征点')), '4000');
  await done(page);
});

test('a bad threshold: the error in a modal dialog, every field kept, the focus back where it was', async () => {
  const page = await openPage(site.browser, site.origin);
  await page.fill(byId('个人收入'), '10000');
  await page.fill(byId('个税起征点'), '');
  await page.click(byId('计算按钮'));
  await page.click(byId('计算按钮'), {force: true}); // the report is modal: nothing reaches the window
  assert.equal(await page.locator('dialog').count(), 1);
  const dialog = page.locator('dialog[open]');
  assert.equal(await dialog.getAttribute('role'), 'alertdialog');
  assert.deepEqual(await dialog.locator('p').allTextContents(),
    ['运行时错误 13：类型不匹配', '个税起征点必须是一个数字，例如 3500。']);
  assert.equal(await dialog.locator('h2').textContent(), '个人所得税计算器');
  assert.equal(await dialog.locator('button').textContent(), '确定');
  assert.equal(await page.evaluate(() => document.querySelector('dialog[open]').matches(':modal')), true);
  assert.deepEqual(await boxes(page), ['10000', '', '', '', '']);
  for (const dismiss of ['Enter', 'Escape']) {
    await page.keyboard.press(dismiss);
    await page.locator('dialog').waitFor({state: 'detached'});
    assert.equal(await focused(page), '计算按钮');
    if (dismiss === 'Enter') await page.keyboard.press('Enter'); // the button again: the report again
  }
  assert.deepEqual(await boxes(page), ['10000', '', '', '', '']);
  await done(page);
});

async function tabWalk(page) {
  await page.focus(byId('大图框'));
  const walked = [];
  for (let i = 0; i < 8; ++i) {
    await page.keyboard.press('Tab');
    walked.push(await focused(page));
  }
  assert.deepEqual(walked, ['个税起征点', '五险一金之和', '个人收入', '税基', '应缴税额', '清空按钮', '计算按钮', '滚动条']);
}

test('before the program has started, Tab walks the layout\'s order', async () => {
  const page = await openPage(site.browser, site.origin, {held: true});
  await tabWalk(page);
  await page.release();
  await done(page);
});

// What is done in the window before the program is ready is not lost: the
// text typed stays (over the 3500 of Activate), a button clicked is pressed.
for (const {typed, click, expected} of [
  {typed: {个人收入: '10000', 五险一金之和: '1000', 个税起征点: '4000'}, click: '计算按钮', expected: ['10000', '1000', '4000', '5000', '445']},
  {typed: {个人收入: '10000'}, click: '计算按钮', expected: ['10000', '', '3500', '6500', '745']},
  {typed: {个人收入: '10000'}, click: '清空按钮', expected: ['', '', '3500', '', '']},
  {typed: {五险一金之和: '1000'}, click: null, expected: ['', '1000', '3500', '', '']},
]) {
  test(`before the program is ready: ${Object.keys(typed).join('、')} typed, ${click ?? 'nothing'} clicked`, async () => {
    const page = await openPage(site.browser, site.origin, {held: true});
    for (const [id, text] of Object.entries(typed)) await page.fill(byId(id), text);
    if (click) await page.click(byId(click));
    await page.release();
    await page.waitForFunction((want) => ['个人收入', '五险一金之和', '个税起征点', '税基', '应缴税额']
      .map((id) => document.getElementById(id).value).join('|') === want, expected.join('|'), {timeout: 3000}).catch(() => {});
    assert.deepEqual(await boxes(page), expected);
    await done(page);
  });
}

test('the keyboard: Tab walks the layout\'s order, Enter presses a button, Enter in a box and Escape do nothing', async () => {
  const page = await openPage(site.browser, site.origin);
  await tabWalk(page);
  // Past the scroll bar the walk leaves the page: the link, a label, is no stop.
  await page.keyboard.press('Tab');
  assert.equal(await focused(page), '', 'a stop after the scroll bar');
  await page.keyboard.press('Shift+Tab');
  await page.keyboard.press('Shift+Tab');
  assert.equal(await focused(page), '计算按钮');
  await page.keyboard.press('Enter');
  assert.deepEqual(await boxes(page), ['', '', '3500', '-3500', '0']);
  // The keypad's Enter presses the focused button too.
  await page.fill(byId('个人收入'), '10000');
  await page.focus(byId('计算按钮'));
  await page.keyboard.press('NumpadEnter');
  assert.deepEqual(await boxes(page), ['10000', '', '3500', '6500', '745']);
  await page.fill(byId('个人收入'), '');
  await page.focus(byId('计算按钮'));
  await page.keyboard.press('Enter');
  await page.focus(byId('个人收入'));
  await page.keyboard.type('8000');
  await page.keyboard.press('Enter');
  await page.keyboard.press('Escape');
  assert.deepEqual(await boxes(page), ['8000', '', '3500', '-3500', '0']);
  assert.equal(await page.locator('dialog').count(), 0);
  // A click on a label leaves it without the focus, and the link too.
  await page.click(byId('Label1'));
  assert.notEqual(await focused(page), 'Label1');
  await page.focus(byId('个人收入'));
  await page.click(byId('主页'));
  assert.equal(await focused(page), '个人收入');
  await done(page, ['http://www.example.com/']);
});

test('the scroll bar: steps of one, the panel 500 twips a step, a drag moves nothing until let go', async () => {
  const page = await openPage(site.browser, site.origin);
  const steps = [
    ['.forms-down', 1], ['.forms-down', 2], ['.forms-up', 1], ['.forms-up', 0], ['.forms-up', 0],
  ];
  for (const [part, position] of steps) {
    await page.click(`${byId('滚动条')} ${part}`);
    assert.equal(await scrollPosition(page), position, part);
    assert.equal(await panelTop(page), `${px(-500 * position)}px`.replace('-0px', '0px'));
  }
  const track = await page.locator('.forms-track').boundingBox();
  await page.mouse.click(track.x + track.width / 2, track.y + track.height - 2); // the trough below the thumb
  assert.equal(await scrollPosition(page), 1);
  for (const [key, position] of [['End', 13], ['ArrowUp', 12], ['PageDown', 13], ['ArrowDown', 13], ['Home', 0]]) {
    await page.keyboard.press(key);
    assert.equal(await scrollPosition(page), position, key);
  }
  assert.equal(await focused(page), '滚动条');
  assert.equal(await panelTop(page), '0px');

  const thumb = await page.locator('.forms-thumb').boundingBox();
  await page.mouse.move(thumb.x + thumb.width / 2, thumb.y + thumb.height / 2);
  await page.mouse.down();
  await page.mouse.move(thumb.x + thumb.width / 2, track.y + track.height + 40, {steps: 4});
  assert.equal(await panelTop(page), '0px', 'nothing moves during the drag');
  assert.equal(await scrollPosition(page), 0, 'the accessible value follows the panel, not the thumb');
  await page.mouse.up();
  assert.equal(await scrollPosition(page), 13);
  assert.equal(await panelTop(page), `${px(-6500)}px`);
  // Let go where it was picked up, the thumb raises no Change (which would
  // put back the panel moved here by hand).
  const at = await page.locator('.forms-thumb').boundingBox();
  await page.evaluate(() => { document.getElementById('大图框').style.top = '-7px'; });
  await page.mouse.move(at.x + at.width / 2, at.y + at.height / 2);
  await page.mouse.down();
  await page.mouse.move(at.x + at.width / 2, track.y, {steps: 4});
  await page.mouse.move(at.x + at.width / 2, at.y + at.height / 2, {steps: 4});
  await page.mouse.up();
  assert.equal(await scrollPosition(page), 13);
  assert.equal(await panelTop(page), '-7px');

  // The wheel over the panel turns the bar, one position a notch.
  await page.keyboard.press('Home');
  const panel = await page.locator(byId('大图框')).boundingBox();
  await page.mouse.move(panel.x + 100, panel.y + 100);
  await page.mouse.wheel(0, 100);
  await page.waitForFunction(() => document.getElementById('滚动条').getAttribute('aria-valuenow') === '1');
  assert.equal(await panelTop(page), `${px(-500)}px`);
  // Over the bar itself, and with the whole panel above the window over
  // the bare window where the panel was: the wheel still moves it.
  const barBox = await page.locator(byId('滚动条')).boundingBox();
  await page.mouse.move(barBox.x + barBox.width / 2, barBox.y + barBox.height / 2);
  for (let notch = 0; notch < 12; ++notch) await page.mouse.wheel(0, 100);
  await page.waitForFunction(() => document.getElementById('滚动条').getAttribute('aria-valuenow') === '13');
  await page.mouse.move(panel.x + 100, panel.y + 100);
  await page.mouse.wheel(0, -100);
  await page.waitForFunction(() => document.getElementById('滚动条').getAttribute('aria-valuenow') === '12');
  assert.equal(await panelTop(page), `${px(-6000)}px`);

  // A box the Tab reaches out of sight comes into sight. The panel takes
  // the focus at the top (out of sight, it would come back there), and the
  // wheel, which moves no focus, takes it out of sight.
  await page.keyboard.press('Home');
  await page.focus(byId('大图框'));
  await page.mouse.move(panel.x + 100, panel.y + 100);
  for (let notch = 0; notch < 13; ++notch) await page.mouse.wheel(0, 100);
  await page.waitForFunction(() => document.getElementById('滚动条').getAttribute('aria-valuenow') === '13');
  assert.equal(await focused(page), '大图框');
  await page.keyboard.press('Tab');
  assert.equal(await focused(page), '个税起征点');
  assert.equal(await scrollPosition(page), 3);
  await done(page);
});

test('the link: opens its address in a new tab once a click and once a double-click, the hand over it alone', async () => {
  const page = await openPage(site.browser, site.origin);
  const opened = [];
  page.context().on('page', (tab) => opened.push(tab));
  const link = page.locator(byId('主页'));
  assert.equal(await link.evaluate((a) => a.tagName), 'A');
  assert.equal(await link.getAttribute('target'), '_blank');
  assert.match(await link.getAttribute('rel'), /\bnoopener\b/);
  // Its background as wide as its text (and a pixel either side) in the
  // browser's own fonts, which the page was built without.
  const [behind, text] = await link.evaluate((a) => ['div', 'span'].map((tag) => a.querySelector(tag).getBoundingClientRect().width));
  assert.ok(behind >= text && behind <= text + 3, `background ${behind}, text ${text}`);
  const box = await link.boundingBox();

  await page.mouse.move(box.x + 5, box.y + 5);
  assert.equal(await link.evaluate((a) => getComputedStyle(a).cursor), 'pointer');
  assert.equal(await page.evaluate(() => getComputedStyle(document.getElementById('Label57')).cursor), 'default');

  await page.mouse.click(box.x + 5, box.y + box.height / 2);
  await page.mouse.dblclick(box.x + box.width - 2, box.y + box.height / 2); // beyond the text, inside the label
  await page.mouse.click(box.x + 5, box.y + box.height / 2, {button: 'middle'});
  const notice = await page.locator(byId('Label57')).boundingBox();
  await page.mouse.click(notice.x + 5, notice.y + 5);
  // The two tabs as soon as a loaded machine opens them, then a moment for
  // a third that must not come.
  for (let waited = 0; opened.length < 2 && waited < 10000; waited += 50) await page.waitForTimeout(50);
  await page.waitForTimeout(300);
  assert.deepEqual(opened.map((tab) => tab.url()).map((url) => url.replace(/^chrome-error:.*/, 'error')).length, 2);
  for (const tab of opened) assert.equal(await tab.evaluate(() => window.opener), null);
  // Nothing but the link's address left the machine. A tab's error page
  // (the address does not resolve here) may ask for it again on a slow
  // machine, so the tabs are counted above, not the requests.
  assert.ok(page.foreign.length >= 2 && page.foreign.every((url) => url === 'http://www.example.com/'), String(page.foreign));
  page.foreign = [];
  await done(page);
});

test('the tool tip of a box shows the whole text only while it does not fit', async () => {
  const page = await openPage(site.browser, site.origin);
  await page.fill(byId('个人收入'), '123456789012345678');
  await page.click(byId('计算按钮'));
  const base = await page.inputValue(byId('税基'));
  assert.equal(base, '1.23456789012342E+17');
  assert.equal(await page.getAttribute(byId('税基'), 'title'), base);
  assert.equal(await page.evaluate(() => document.getElementById('税基').scrollLeft), 0, 'read from its start');
  await page.fill(byId('个人收入'), '8000');
  await page.click(byId('计算按钮'));
  assert.equal(await page.getAttribute(byId('税基'), 'title'), null);
  assert.equal(await page.getAttribute(byId('个人收入'), 'title'), null);
  await page.fill(byId('个人收入'), '１２３４５６７８９０１２３４５６７８９');
  assert.equal(await page.getAttribute(byId('个人收入'), 'title'), '１２３４５６７８９０１２３４５６７８９');
  // A long text's tip: its first 320 characters in lines of 40, then an ellipsis.
  await page.fill(byId('个人收入'), '7'.repeat(40000));
  const tip = await page.getAttribute(byId('个人收入'), 'title');
  assert.deepEqual(tip.split('\n').map((line) => line.length), [40, 40, 40, 40, 40, 40, 40, 41]);
  assert.ok(tip.endsWith('7…'));
  await done(page);
});

test('assistive technology: every control named, with its role, in reading order', async () => {
  const page = await openPage(site.browser, site.origin);
  const cdp = await page.context().newCDPSession(page);
  const {nodes} = await cdp.send('Accessibility.getFullAXTree');
  const byNode = new Map(nodes.map((node) => [node.nodeId, node]));
  const seen = [];
  // Roles and names as a reader meets them; the text of a button, a link or
  // a heading is its name.
  (function walk(node, named) {
    if (!node) return;
    const role = node.role?.value;
    if (!node.ignored && !['generic', 'StaticText', 'InlineTextBox', 'RootWebArea', 'none'].includes(role))
      seen.push(`${role} ${node.name?.value ?? ''}`.trim());
    else if (role === 'StaticText' && !named)
      seen.push(`text ${node.name?.value}`);
    for (const child of node.childIds || []) walk(byNode.get(child), named || ['button', 'link', 'heading'].includes(role));
  })(nodes[0], false);
  assert.deepEqual(seen, [
    'main',
    'group 计算器面板',
    'heading 个人所得税计算器', 'text 原始数据区', 'text 计算结果区',
    'text 个人收入', 'textbox 个人收入', 'text 税基', 'textbox 税基',
    'text 五险一金之和', 'textbox 五险一金之和', 'text 应缴税额', 'textbox 应缴税额',
    'text 个税起征点', 'textbox 个税起征点', 'text 3500',
    'button 计算', 'button 清空',
    'text 本软件由iitcalc 开发组研发，内容仅供参考，', 'text 欲知更多，请登录www.example.com；电话：010-00000000.',
    'link www.example.com',
    'scrollbar 滚动页面',
    // Below the window: the payroll-sheet control (sheet_test.mjs).
    'region 工资表', 'LabelText', 'button 计算工资表…', 'text 或把 CSV 文件拖到这里。文件只在本机计算，不上传。', 'status',
  ]);
  assert.equal(await page.evaluate(() => document.documentElement.lang), 'zh-CN');
  assert.equal(await page.title(), '个人所得税计算器');
  await done(page);
});

test('on a phone 375 pixels wide the whole window shows, smaller, its layout unchanged', async () => {
  const page = await openPage(site.browser, site.origin, {viewport: {width: 375, height: 667}, scale: 2, mobile: true});
  const [window, button, viewWidth] = await page.evaluate(() => [
    document.getElementById('主窗体').getBoundingClientRect().toJSON(),
    document.getElementById('计算按钮').getBoundingClientRect().toJSON(),
    document.documentElement.clientWidth,
  ]);
  assert.equal(viewWidth, 375);
  assert.ok(window.left >= 0 && window.right <= 375.01 && window.top >= 0 && window.bottom <= 667, JSON.stringify(window));
  const scale = 375 / px(kWindow.width);
  assert.ok(Math.abs(window.width - 375) < 0.5);
  assert.ok(Math.abs(button.width - px(1575) * scale) < 0.5 && Math.abs(button.left - window.left - (px(120) + kPanelFrame + px(1440)) * scale) < 0.5);
  await page.tap(byId('计算按钮'));
  assert.deepEqual(await boxes(page), ['', '', '3500', '-3500', '0']);
  await done(page);
});

// The program's files are fetched once the window is painted, never before:
// on a slow network they do not compete with the page for its first paint.
test('the program\'s script and WebAssembly are asked for only after the first paint', async () => {
  const page = await openPage(site.browser, site.origin);
  const [paint, requested] = await page.evaluate(() => [
    performance.getEntriesByName('first-contentful-paint')[0].startTime,
    performance.getEntriesByType('resource').filter((entry) => /\/iitcalc\.[0-9a-f]+\.(js|wasm)$/.test(entry.name))
      .map((entry) => entry.startTime),
  ]);
  assert.equal(requested.length, 2);
  assert.ok(requested.every((start) => start >= paint), `painted at ${paint}, asked for at ${requested}`);
  await done(page);
});

// The payroll-sheet control lies right below the window and as wide, from
// the first paint (the window's stylesheet places it) to when the program
// has placed it, on a desktop and on a phone, where the window is smaller.
for (const [width, height] of [[800, 600], [375, 667]]) {
  test(`at ${width} pixels wide the sheet control lies below the window before and after the start`, async () => {
    const page = await openPage(site.browser, site.origin, {viewport: {width, height}, held: true});
    const places = () => page.evaluate(() => {
      const window = document.getElementById('主窗体').getBoundingClientRect();
      const sheet = document.querySelector('.sheet-drop');
      const box = sheet.getBoundingClientRect();
      return [box.left - window.left, box.top - window.bottom, box.width - window.width, getComputedStyle(sheet).visibility]
        .map((value) => (typeof value === 'number' ? Math.round(value * 100) / 100 : value));
    });
    const kBelow = [0, 12, 0, 'visible'];
    assert.deepEqual(await places(), kBelow, 'before the start');
    await page.release();
    await waitReady(page);
    assert.deepEqual(await places(), kBelow, 'once the program has placed it');
    await done(page);
  });
}

// A program that cannot start says so in the page, in words a user can act on.
for (const [what, options, why] of [
  ['its WebAssembly is missing (404)', {wasm: 404}, /WebAssembly 文件没有载入/],
  ['the browser has no WebAssembly', {init: () => { delete window.WebAssembly; }}, /不支持 WebAssembly/],
]) {
  test(`when ${what}, the page says why and what to do`, async () => {
    const page = await openPage(site.browser, site.origin, {held: true, ...options});
    const note = page.locator('.page-failed[role=alert]');
    await note.waitFor();
    const text = await note.textContent();
    assert.match(text, /^个人所得税计算器未能启动：/);
    assert.match(text, why);
    assert.match(text, /请重新加载本页.*请换用支持 WebAssembly 的浏览器/);
    assert.equal(await page.locator(byId('主窗体')).getAttribute('inert'), '', 'the window left inert');
    await page.context().close();
  });
}
