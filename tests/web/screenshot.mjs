// A picture of the window in headless Chromium after the example (income
// 10000, insurance 1000, 计算), the window and a little of the page around it.
//   node tests/web/screenshot.mjs SITE OUTPUT.png [SCALE] [WIDTH]
import { launch, openPage, serve } from './support.mjs';

const [site, output, scale = '1', width = '680'] = process.argv.slice(2);
const server = await serve(site);
const browser = await launch();
try {
  const page = await openPage(browser, server.origin,
    {viewport: {width: Number(width), height: 500}, scale: Number(scale), mobile: Number(width) < 600});
  await page.fill('[id="个人收入"]', '10000');
  await page.fill('[id="五险一金之和"]', '1000');
  await page.click('[id="计算按钮"]');
  await page.mouse.move(0, 0);
  const window = await page.locator('[id="主窗体"]').boundingBox();
  const margin = 12;
  await page.screenshot({path: output, clip: {x: Math.max(0, window.x - margin), y: Math.max(0, window.y - margin),
    width: Math.min(Number(width), window.width + 2 * margin), height: window.height + 2 * margin}});
  if (page.problems.length) throw new Error(page.problems.join('\n'));
} finally {
  await browser.close();
  server.close();
}
