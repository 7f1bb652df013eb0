// Lighthouse (12.2.3, pinned by this folder's package-lock.json; installed
// here with npm ci on first use) on the built page in Debian's headless
// Chromium, as a phone on a slow network by Lighthouse's own simulation:
// the performance and accessibility scores and the measures behind the
// first. Median of RUNS by performance score.
//   node bench/web/lighthouse.mjs [SITE] [RUNS]    (build/web/site, 3)
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';

const here = path.dirname(new URL(import.meta.url).pathname);
if (!fs.existsSync(path.join(here, 'node_modules/lighthouse/package.json')))
  execFileSync('npm', ['ci', '--ignore-scripts', '--no-audit', '--no-fund', '--loglevel=error'], {cwd: here, stdio: 'inherit'});
const { default: lighthouse } = await import('lighthouse');
const chromeLauncher = await import('chrome-launcher');
const { serve } = await import('../../tests/web/support.mjs');

const site = path.resolve(process.argv[2] || 'build/web/site');
const runs = Number(process.argv[3] || 3);
const server = await serve(site);
const results = [];
try {
  for (let i = 0; i < runs; ++i) {
    // A fresh profile each run: a first visit.
    const chrome = await chromeLauncher.launch({chromePath: process.env.CHROMIUM || '/usr/bin/chromium',
      chromeFlags: ['--headless=new', '--no-sandbox', '--disable-gpu', '--no-first-run']});
    try {
      const {lhr} = await lighthouse(`${server.origin}/`, {port: chrome.port, output: 'json', logLevel: 'error',
        onlyCategories: ['performance', 'accessibility']});
      const audit = (id) => lhr.audits[id].numericValue;
      results.push({performance: lhr.categories.performance.score * 100,
        accessibility: lhr.categories.accessibility.score * 100,
        fcp: audit('first-contentful-paint'), lcp: audit('largest-contentful-paint'),
        tbt: audit('total-blocking-time'), si: audit('speed-index'), cls: audit('cumulative-layout-shift'),
        // The main thread's long tasks (as simulated on the phone's
        // processor).
        tasks: (lhr.audits['long-tasks']?.details?.items || []).map((task) => Math.round(task.duration)),
        failed: Object.values(lhr.audits).filter((a) => a.score === 0 && lhr.categories.accessibility.auditRefs
          .some((ref) => ref.id === a.id)).map((a) => a.id)});
    } finally {
      await chrome.kill();
    }
  }
} finally {
  server.close();
}
results.sort((a, b) => a.performance - b.performance);
const median = results[Math.floor(results.length / 2)];
console.log(`Lighthouse ${runs} runs (mobile), the median by performance:`);
console.log(`  performance ${median.performance} (runs: ${results.map((r) => r.performance).join(', ')})   target >= 98`);
console.log(`  total blocking time ${median.tbt.toFixed(0)} ms   target <= 50 ms`);
console.log(`  first contentful paint ${(median.fcp / 1000).toFixed(2)} s, largest ${(median.lcp / 1000).toFixed(2)} s, ` +
  `speed index ${(median.si / 1000).toFixed(2)} s, layout shift ${median.cls.toFixed(3)}`);
console.log(`  long tasks: ${median.tasks.length ? median.tasks.map((t) => `${t} ms`).join(', ') : 'none'}`);
console.log(`  accessibility ${median.accessibility}   target >= 96${median.failed.length ? `  (failed: ${median.failed.join(', ')})` : ''}`);
