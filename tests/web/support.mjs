// What the web tests and benchmarks share: a local server for the built page
// (one that can be switched off, for the offline check), Debian's Chromium
// started headless with nothing of its own going to the network, and the
// page opened and ready.
import http from 'node:http';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { execFileSync } from 'node:child_process';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.css': 'text/css; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.webmanifest': 'application/manifest+json',
};

// Serves `root` on 127.0.0.1 at a free port. `server.requests` lists every
// path asked for; `server.down = true` answers every request with 503.
export async function serve(root) {
  const server = http.createServer((request, response) => {
    const pathname = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    server.requests.push(pathname);
    const file = path.join(root, pathname.endsWith('/') ? pathname + 'index.html' : pathname);
    if (server.down || !file.startsWith(root)) {
      response.writeHead(503);
      response.end();
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404);
        response.end();
        return;
      }
      response.writeHead(200, {'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream'});
      response.end(data);
    });
  });
  server.requests = [];
  server.down = false;
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  server.origin = `http://127.0.0.1:${server.address().port}`;
  return server;
}

const kChromium = {
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: [
    '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
    '--disable-component-update', '--disable-sync',
    // Whatever the page opens elsewhere (the home page) never leaves the machine.
    '--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1',
  ],
};

// Headless, each context a fresh profile of its own.
export function launch() {
  return chromium.launch(kChromium);
}

// A browser with one ordinary (not incognito) profile in a fresh folder,
// as someone would install the page from; `remove()` closes it and removes
// the folder.
export async function launchProfile() {
  const folder = fs.mkdtempSync(path.join(os.tmpdir(), 'iitcalc-profile-'));
  const context = await chromium.launchPersistentContext(folder, kChromium);
  context.remove = async () => {
    await context.close();
    fs.rmSync(folder, {recursive: true, force: true, maxRetries: 10, retryDelay: 100});
  };
  return context;
}

// The built site served and a browser, for the tests of one file: `site.origin`
// and `site.browser` once the tests run, `site.server` to see what it was asked.
export function useSite() {
  const site = {};
  before(async () => {
    site.server = await serve(process.env.IITCALC_SITE);
    site.origin = site.server.origin;
    site.browser = await launch();
  });
  after(async () => {
    await site.browser?.close();
    site.server?.close();
  });
  return site;
}

// A fresh page of the site (a new profile each time), waited for until the
// window is up and has run Activate. `problems` collects console errors and
// uncaught exceptions; `foreign` every request that left the page's origin.
// With `held`, the program's WebAssembly is held back: the page is returned
// with the window as the page holds it, before the program runs, and
// `page.release()` lets the program start. With `wasm` (a status), the
// WebAssembly is answered with that instead.
export async function openPage(browser, origin, options = {}) {
  const context = await browser.newContext({
    viewport: options.viewport || {width: 800, height: 600},
    deviceScaleFactor: options.scale || 1,
    isMobile: options.mobile || false,
    hasTouch: options.mobile || false,
    locale: options.locale || 'en-US',
    bypassCSP: options.bypassCSP || false,
  });
  if (options.init) await context.addInitScript(options.init);
  const page = await context.newPage();
  const held = [];
  let released = false;
  if (options.held || options.wasm) {
    await page.route('**/*.wasm', (route) => {
      if (options.wasm) route.fulfill({status: options.wasm, body: ''});
      else if (released) route.continue();
      else held.push(route);
    });
  }
  page.release = async () => {
    while (!held.length) await page.waitForTimeout(10);
    released = true;
    await Promise.all(held.splice(0).map((route) => route.continue()));
    await waitReady(page);
  };
  page.setDefaultTimeout(5000);
  page.problems = [];
  page.foreign = [];
  page.on('console', (message) => {
    if (message.type() === 'error' || message.type() === 'warning') page.problems.push(message.text());
  });
  page.on('pageerror', (error) => page.problems.push(String(error)));
  context.on('request', (request) => {
    if (!request.url().startsWith(origin + '/')) page.foreign.push(request.url());
  });
  await page.goto(origin + '/');
  if (!options.held && !options.wasm) await waitReady(page);
  return page;
}

// The program has opened its window (and run Activate, the page visible),
// and the page has been laid out since (the program places the window and
// measures its text then).
export async function waitReady(page) {
  await page.waitForFunction(() => performance.getEntriesByName('iitcalc-ready').length > 0, null, {timeout: 10000});
  await page.evaluate(() => new Promise((laidOut) => requestAnimationFrame(() => setTimeout(laidOut, 0))));
}

// The window's layout as the program has it (iitcalc-places --twips under
// Node): the window first, then each control as {name, kind, parent, left,
// top, width, height} in twips (a line: its two end points).
export function layout() {
  const output = execFileSync(process.execPath, ['--no-experimental-fetch', process.env.IITCALC_PLACES, '--twips']);
  return output.toString().trim().split('\n').map((line) => {
    const [name, kind, parent, ...numbers] = line.split(' ');
    const [left, top, width, height] = numbers.map(Number);
    return {name, kind, parent: parent === '-' ? '' : parent, left, top, width, height};
  });
}
export const kPanelFrame = 2; // CSS pixels of the panel's sunken frame

// Twips to CSS pixels: 15 to one, to the nearest, halves up.
export const px = (twips) => Math.sign(twips) * Math.round(Math.abs(twips) / 15);
