// What every browser test shares: `gramora serve` on a free port and Debian's chromium driven by
// playwright-core, with the page's own report (window.gramora) to wait on. Run a test as
//   node TEST.mjs --gramora BUILD/bin/gramora --out DIR [--data DIR]
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { chromium } from 'playwright-core';

export const args = Object.fromEntries(
  process.argv.slice(2).reduce((pairs, a, i, all) => (a.startsWith('--') ? [...pairs, [a.slice(2), all[i + 1]]] : pairs), []));

// Servers still running when the test ends (by failure too) are stopped with it.
const servers = [];
process.on('exit', () => servers.forEach((s) => s.exitCode === null && s.kill('SIGKILL')));

fs.mkdirSync(args.out ?? '.', { recursive: true });

let failures = 0;
let passes = 0;
// Records a check; a failed one is printed with its message and makes the test fail at the end.
export function check(ok, message) {
  if (ok) {
    passes++;
    console.log(`ok: ${message}`);
  } else {
    failures++;
    console.error(`FAILED: ${message}`);
  }
}

// Starts the server on `scene` (a path, or a scene object written to a file in `dir`), opens the
// page (with `query` after its address) and waits until it has drawn the scene; `timeout` bounds
// every wait on the page.
export async function open(scene, { dir, width = 1280, height = 760, timeout = 60000, query = '' } = {}) {
  let scenePath = null;
  if (scene && typeof scene === 'object') {
    fs.mkdirSync(dir, { recursive: true });
    scenePath = path.join(dir, 'scene.json');
    fs.writeFileSync(scenePath, JSON.stringify(scene, null, 2));
  } else if (scene) {
    scenePath = scene;
  }
  const server = spawn(args.gramora, ['serve', ...(scenePath ? [scenePath] : []), '--port', '0'],
                       { stdio: ['ignore', 'pipe', 'inherit'] });
  servers.push(server);
  const url = await new Promise((resolve, reject) => {
    let text = '';
    server.stdout.on('data', (d) => {
      text += d;
      const m = text.match(/http:\/\/127\.0\.0\.1:\d+\//);
      if (m) resolve(m[0]);
    });
    server.on('exit', (code) => reject(new Error(`gramora serve exited with ${code} before listening`)));
  });
  // The flags Debian's chromium needs here; playwright gives it a fresh profile folder.
  const browser = await chromium.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
  const page = await browser.newPage({ viewport: { width, height } });
  page.setDefaultTimeout(timeout);
  page.on('pageerror', (e) => check(false, `the page threw: ${e.message}`));
  await page.goto(url + query);
  await page.waitForFunction(() => window.gramora && window.gramora.ready);
  const close = async () => {
    await browser.close();
    server.kill('SIGTERM');
  };
  return { page, url, close };
}

// Runs `fn` after the page's next drawn update, and returns that update's report.
export async function nextUpdate(page, fn) {
  const before = await page.evaluate(() => window.gramora.updates.length);
  await fn();
  await page.waitForFunction((n) => window.gramora.updates.length > n, before);
  return page.evaluate(() => window.gramora.updates[window.gramora.updates.length - 1]);
}

export const counts = (page) => page.evaluate(() => ({ ...document.getElementById('counts').dataset }));

// The rollout with that dialog template (a locator).
export const rollout = (page, dialog) => page.locator(`section.rollout[data-dialog="${dialog}"]`);

// Ends the test: a summary line and the exit status.
export function finish() {
  console.log(`${passes} passed, ${failures} failed`);
  process.exit(failures > 0 ? 1 : 0);
}

// Any failure that escapes a test ends it loudly.
export function run(test) {
  test().then(finish, (e) => {
    console.error(`FAILED: ${e.stack || e}`);
    failures++;
    finish();
  });
}
