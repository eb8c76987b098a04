// What the page tests share: the site served on a free port, Debian's
// Chromium with sound as a player's browser has it (only after a gesture),
// a page with the session record on, and the desktop runner's replay of a
// session compared with the page's screens.
'use strict';
const assert = require('node:assert');
const {spawnSync} = require('node:child_process');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const {chromium} = require('playwright-core');
const {serve} = require('../../web/serve.js');

const site = path.resolve(process.env.ZM_WEB_SITE || 'build/web/site');
const nativeRunner = path.resolve(process.env.ZM_NATIVE_RUNNER || 'build/normal/tools/replay/zultmirax-replay');
const chromiumPath = process.env.ZM_CHROMIUM || '/usr/bin/chromium';

const shared = {server: null, browser: null, url: null};

async function start() {
  shared.server = await serve(site, 0, '127.0.0.1');
  shared.url = 'http://127.0.0.1:' + shared.server.address().port + '/';
  shared.browser = await chromium.launch({executablePath: chromiumPath, args: ['--autoplay-policy=document-user-activation-required'],
                                          ignoreDefaultArgs: ['--autoplay-policy=no-user-gesture-required']});
}

async function stop() {
  if (shared.browser) await shared.browser.close();
  if (shared.server) shared.server.close();
}

// Every console message and page error of a page, kept.
function watch(page, problems) {
  page.on('console', (m) => {
    if (m.type() == 'error' || m.type() == 'warning') problems.push(m.type() + ': ' + m.text());
  });
  page.on('pageerror', (e) => problems.push('page error: ' + e.message));
}

// A page with the session record on, and every console message and page
// error kept.
async function open(contextOptions, init, address) {
  const context = await shared.browser.newContext({viewport: {width: 1024, height: 800}, ...contextOptions});
  await context.addInitScript(() => { window.zmSession = {}; });
  if (init) await context.addInitScript(init);
  const page = await context.newPage();
  const problems = [];
  watch(page, problems);
  await page.goto(address || shared.url);
  return {context, page, problems};
}

// A key held for a few frames: the game reads what is held when it polls,
// so a press and release inside one frame is not seen (on a desktop either).
async function tap(page, key) {
  await page.keyboard.down(key);
  await page.waitForTimeout(100);
  await page.keyboard.up(key);
}

const session = (page) => page.evaluate(() => JSON.parse(JSON.stringify(window.zmSession)));
const atPass = (page, n) => page.waitForFunction((n) => window.zmSession.hashes && window.zmSession.hashes.length > n,
                                                 n, {timeout: 60000, polling: 50});

// FNV-1a over red, green and blue, rows top down: the page's screen hash,
// here from a 24-bit BMP.
function bmpHash(file) {
  const b = fs.readFileSync(file);
  const w = b.readInt32LE(18), h = b.readInt32LE(22);
  const stride = (w * 3 + 3) & ~3;
  let x = 0x811c9dc5;
  for (let row = 0; row < h; row++) {
    const base = 54 + (h - 1 - row) * stride;
    for (let col = 0; col < w; col++) {
      const p = base + col * 3;
      for (const v of [b[p + 2], b[p + 1], b[p]]) x = Math.imul(x ^ v, 16777619);
    }
  }
  return (x >>> 0).toString(16);
}

// Replays the session's input with the desktop runner; checks the screen
// at every STEP-th pass (and the last) against the page's hashes, and
// returns the runner's trace rows.
function replayMatches(s, step) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zm-page-'));
  const script = path.join(dir, 'session.txt');
  fs.writeFileSync(script, (s.header || []).concat(s.lines).join('\n') + '\n');
  const passes = s.hashes.length;
  const checked = [];
  for (let p = 0; p < passes; p += step) checked.push(p);
  if (checked[checked.length - 1] != passes - 1) checked.push(passes - 1);
  const args = ['--passes', String(passes), '--input', script, '--trace', path.join(dir, 't.csv')];
  for (const p of checked) args.push('--screenshot', p + ':' + path.join(dir, p + '.bmp'));
  const r = spawnSync(nativeRunner, args, {encoding: 'utf8'});
  assert.strictEqual(r.status, 0, r.stderr + '\nscript:\n' + fs.readFileSync(script, 'utf8'));
  for (const p of checked) {
    assert.strictEqual(s.hashes[p], bmpHash(path.join(dir, p + '.bmp')),
                       'the screen after pass ' + p + ' differs from the desktop runner\'s');
  }
  const [head, ...rows] = fs.readFileSync(path.join(dir, 't.csv'), 'utf8').trim().split('\n');
  const cols = head.split(',');
  fs.rmSync(dir, {recursive: true});
  return rows.map((line) => Object.fromEntries(line.split(',').map((v, i) => [cols[i], +v])));
}

module.exports = {site, shared, start, stop, watch, open, tap, session, atPass, replayMatches};
