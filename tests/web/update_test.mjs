// A new version reaches a returning visitor: the site built, visited, built
// again with one visible text changed and every file a month old, and served
// by a plain static server (Python's: Last-Modified, no Cache-Control, so the
// browser may keep what it has for days). Within two reloads the page runs
// the new version, offline too, and the page that was open said a new
// version was ready.
//   IITCALC_PROGRAM=build/web/window/program IITCALC_PRERENDER=build/web/window/iitcalc-prerender.js \
//     node tests/web/update_test.mjs
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { launchProfile, waitReady } from './support.mjs';

const kMakeSite = path.join(import.meta.dirname, '../../window/web/make_site.cmake');
const kOld = '或把 CSV 文件拖到这里';
const kNew = '或把 CSV 文件拖放到这里';

function makeSite(folder, page) {
  execFileSync(process.env.IITCALC_CMAKE || 'cmake', [`-DSITE=${folder}`, `-DBUILT=${process.env.IITCALC_PROGRAM}`,
    `-DPRERENDER=${process.env.IITCALC_PRERENDER}`, `-DNODE=${process.execPath}`, `-DPAGE=${page}`, '-DVERSION=0',
    '-P', kMakeSite]);
}

async function pythonServer(root) {
  const server = spawn('python3', ['-u', '-m', 'http.server', '--bind', '127.0.0.1', '0'], {cwd: root});
  const port = await new Promise((resolve, reject) => {
    server.stdout.on('data', (data) => {
      const match = /port (\d+)/.exec(String(data));
      if (match) resolve(match[1]);
    });
    server.on('exit', reject);
  });
  return {origin: `http://127.0.0.1:${port}`, close: () => server.kill()};
}

test('a new version arrives within two reloads, stays offline, and the open page says it is ready', async () => {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'iitcalc-update-'));
  const pageFiles = path.join(folder, 'page');
  fs.cpSync(path.join(path.dirname(kMakeSite), 'page'), pageFiles, {recursive: true});
  makeSite(path.join(folder, 'old'), pageFiles);
  const index = path.join(pageFiles, 'index.html');
  const text = fs.readFileSync(index, 'utf8');
  assert.ok(text.includes(kOld));
  fs.writeFileSync(index, text.replace(kOld, kNew));
  makeSite(path.join(folder, 'new'), pageFiles);
  const monthAgo = new Date(Date.now() - 30 * 24 * 3600 * 1000);
  for (const version of ['old', 'new']) {
    for (const name of fs.readdirSync(path.join(folder, version)))
      fs.utimesSync(path.join(folder, version, name), monthAgo, monthAgo);
  }
  const root = path.join(folder, 'root');
  fs.mkdirSync(root);
  fs.symlinkSync('../old', path.join(root, 'site'));
  const server = await pythonServer(root);
  const profile = await launchProfile();
  try {
    const page = await profile.newPage();
    const hint = () => page.locator('.sheet-hint').textContent();
    const said = () => page.locator('.page-update').count();
    await page.goto(`${server.origin}/site/`);
    await waitReady(page);
    await page.waitForFunction(() => navigator.serviceWorker.controller !== null);
    assert.match(await hint(), new RegExp(kOld));
    assert.equal(await said(), 0, 'nothing new on the first visit');

    fs.rmSync(path.join(root, 'site'));
    fs.symlinkSync('../new', path.join(root, 'site'));
    await page.reload();
    await waitReady(page);
    await page.locator('.page-update', {hasText: '新版本已就绪，重新打开即可使用'}).waitFor({timeout: 20000});
    assert.match(await hint(), new RegExp(kOld), 'the open page runs what it started with');

    await page.reload();
    await waitReady(page);
    assert.match(await hint(), new RegExp(kNew));
    assert.equal(await said(), 0);

    server.close();
    await profile.setOffline(true);
    await page.reload();
    await waitReady(page);
    assert.match(await hint(), new RegExp(kNew));
    await page.fill('[id="个人收入"]', '10000');
    await page.fill('[id="五险一金之和"]', '1000');
    await page.click('[id="计算按钮"]');
    assert.equal(await page.inputValue('[id="应缴税额"]'), '545');
  } finally {
    server.close();
    await profile.remove();
    fs.rmSync(folder, {recursive: true, force: true});
  }
});
