// axe-core's checks on the page as it starts, after a calculation and with
// the error report open. The one rule let through is the positive tabindex:
// it is how the window keeps its Tab order (the layout's, not the reading
// order), and it stays on exactly the controls Tab walks.
//   IITCALC_SITE=build/web/site node tests/web/axe_test.mjs
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import fs from 'node:fs';
import { openPage, useSite } from './support.mjs';

const site = useSite();
const kAxe = fs.readFileSync(createRequire(import.meta.url).resolve('axe-core/axe.min.js'), 'utf8');
const kTabStops = ['大图框', '个税起征点', '五险一金之和', '个人收入', '税基', '应缴税额', '清空按钮', '计算按钮', '滚动条'];
const byId = (id) => `[id="${id}"]`;

for (const [state, stops, reach] of [
  ['as it starts', kTabStops, async () => {}],
  ['after Calculate', kTabStops, async (page) => {
    await page.fill(byId('个人收入'), '10000');
    await page.fill(byId('五险一金之和'), '1000');
    await page.click(byId('计算按钮'));
  }],
  // The window behind a modal report is inert: axe leaves it out.
  ['with the error report open', undefined, async (page) => {
    await page.fill(byId('个税起征点'), '');
    await page.click(byId('计算按钮'));
    await page.locator('dialog[open]').waitFor();
  }],
]) {
  test(`axe-core finds nothing ${state} but the window's Tab order`, async () => {
    // The page's content security policy would refuse axe-core's script.
    const page = await openPage(site.browser, site.origin, {bypassCSP: true});
    await reach(page);
    await page.evaluate(kAxe);
    const {violations} = await page.evaluate(() => window.axe.run(document, {resultTypes: ['violations']}));
    const other = violations.filter((violation) => violation.id !== 'tabindex');
    assert.deepEqual(other.map((violation) => `${violation.id}: ${violation.nodes.map((node) => node.target).join(' ')}`), []);
    const tabindex = violations.find((violation) => violation.id === 'tabindex');
    assert.deepEqual(tabindex?.nodes.map((node) => String(node.target).replace(/^#/, '')).sort(), stops?.slice().sort());
    await page.context().close();
  });
}
