// The page as an offline, installable web app: once visited it opens and
// calculates with the server gone, through its service worker; the browser
// finds it installable; it keeps no cookies and nothing typed.
//   IITCALC_SITE=build/web/site node tests/web/offline_test.mjs
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { launchProfile, openPage, useSite, waitReady } from './support.mjs';

const site = useSite();

test('after the first visit the page opens and calculates with the network off', async () => {
  const page = await openPage(site.browser, site.origin);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
  await page.fill('[id="个人收入"]', '10000'); // typed, and then forgotten

  site.server.down = true;
  await page.context().setOffline(true);
  const asked = site.server.requests.length;
  await page.reload();
  await waitReady(page);
  assert.equal(site.server.requests.length, asked, 'nothing reached the server');
  assert.equal(await page.inputValue('[id="个人收入"]'), '', 'nothing typed came back');
  await page.fill('[id="个人收入"]', '10000');
  await page.fill('[id="五险一金之和"]', '1000');
  await page.click('[id="计算按钮"]');
  assert.equal(await page.inputValue('[id="应缴税额"]'), '545');

  assert.deepEqual(await page.context().cookies(), []);
  const stored = await page.evaluate(async () => [localStorage.length, sessionStorage.length,
    (await indexedDB.databases()).length, (await caches.keys()).filter((name) => !name.startsWith('iitcalc-')).length]);
  assert.deepEqual(stored, [0, 0, 0, 0], 'local, session, IndexedDB, other caches');
  assert.deepEqual(page.problems.filter((text) => !/ERR_INTERNET_DISCONNECTED/.test(text)), []);
  assert.deepEqual(page.foreign, []);
  site.server.down = false;
  await page.context().close();
});

test('the browser finds the page installable, with its icon', async () => {
  const profile = await launchProfile();
  try {
    const page = await profile.newPage();
    await page.goto(site.origin + '/');
    await waitReady(page);
    const cdp = await profile.newCDPSession(page);
    const {installabilityErrors} = await cdp.send('Page.getInstallabilityErrors');
    assert.deepEqual(installabilityErrors, []);
    const manifest = await cdp.send('Page.getAppManifest');
    assert.deepEqual(manifest.errors, []);
    const icon = await page.evaluate(async () =>
      (await fetch(document.querySelector('link[rel=icon]').href)).headers.get('content-type'));
    assert.equal(icon, 'image/svg+xml');
  } finally {
    await profile.remove();
  }
});
