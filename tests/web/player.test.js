// The page as players meet it, on emulated phones and desktops in Debian's
// Chromium: its size in device pixels, the touch buttons, input that never
// sticks, runs that leave nothing behind, sound that never stops the game,
// the installed and offline page, the page opened from disk, and its weight.
//
//   ZM_WEB_SITE=build/web/site node --test tests/web/player.test.js
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');
const {serve} = require('../../web/serve.js');
const {site, shared, start, stop, watch, open, tap, session, atPass} = require('./browser.js');

test.before(start);
test.after(stop);

const PHONE = {isMobile: true, hasTouch: true};
// Each with the whole multiple of 320x240 device pixels that fits it.
const SCREENS = {
  'desktop 1280x800': {options: {viewport: {width: 1280, height: 800}}, k: 3},
  'desktop 1280x800 at 125 %': {options: {viewport: {width: 1280, height: 800}, deviceScaleFactor: 1.25}, k: 4},
  'phone portrait 412x915': {options: {viewport: {width: 412, height: 915}, deviceScaleFactor: 2.625, ...PHONE}, k: 3},
  'phone landscape 915x412': {options: {viewport: {width: 915, height: 412}, deviceScaleFactor: 2.625, ...PHONE}, k: 4},
  'small landscape 568x320': {options: {viewport: {width: 568, height: 320}, deviceScaleFactor: 2, ...PHONE}, k: 2},
};

// Where the page put the game and the touch buttons, in CSS pixels.
const layout = (page) => page.evaluate(() => {
  const box = (el) => {
    const b = el.getBoundingClientRect();
    return {x: b.x, y: b.y, w: b.width, h: b.height};
  };
  const shown = (el) => el.getClientRects().length > 0;
  const fs = document.fullscreenElement;
  return {dpr: devicePixelRatio, vw: innerWidth, vh: innerHeight, game: box(document.getElementById('screen')),
          buttons: [...document.querySelectorAll('#touch button')].filter(shown).map((b) => ({key: b.dataset.key || 'fs', ...box(b),
                                                                                              inFullscreen: !!fs && fs.contains(b)}))};
});

// The scale k if the game is k device pixels a game pixel, on whole device
// pixels; 0 otherwise.
function deviceScale(l) {
  const w = l.game.w * l.dpr, h = l.game.h * l.dpr, k = Math.round(w / 320);
  const whole = (v) => Math.abs(v - Math.round(v)) < 0.05;
  return k >= 1 && Math.abs(w - 320 * k) < 0.05 && Math.abs(h - 240 * k) < 0.05 && whole(l.game.x * l.dpr) &&
      whole(l.game.y * l.dpr) ? k : 0;
}

const overlaps = (a, b) => a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;

test('size: the largest whole multiple of 320x240 device pixels that fits, whatever the text, and a new ratio followed',
     {timeout: 120000}, async (t) => {
       for (const [name, screen] of Object.entries(SCREENS)) {
         const {context, page, problems} = await open(screen.options);
         await atPass(page, 5);
         const l = await layout(page);
         t.diagnostic(name + ': ' + l.game.w.toFixed(1) + 'x' + l.game.h.toFixed(1) + ' CSS px, ' +
                      (l.game.w * l.dpr).toFixed(1) + ' device px wide');
         assert.strictEqual(deviceScale(l), screen.k, name + ': ' + JSON.stringify(l.game));
         if (l.vh > l.vw && screen.options.hasTouch) assert.ok(l.game.w >= 0.85 * l.vw, name + ': spans the width');
         if (l.vw > l.vh && screen.options.hasTouch) {
           assert.ok((l.game.h + 240 / l.dpr) > l.vh, name + ': takes the height');
         }
         assert.deepStrictEqual(problems, []);
         await context.close();
       }
       // A new devicePixelRatio (zoom, another screen) with the same window.
       const {context, page} = await open({viewport: {width: 1280, height: 800}});
       await atPass(page, 5);
       const cdp = await context.newCDPSession(page);
       await cdp.send('Emulation.setDeviceMetricsOverride', {width: 1280, height: 800, deviceScaleFactor: 2, mobile: false});
       await page.waitForFunction(() => devicePixelRatio == 2 &&
                                        document.getElementById('screen').getBoundingClientRect().width * 2 == 1920,
                                  null, {timeout: 10000});
       assert.strictEqual(deviceScale(await layout(page)), 6);
       await context.close();
     });

test('touch: Left, Right and Fire at least 44 px, never over the game, kept in fullscreen; Fire or a tap starts again',
     {timeout: 120000}, async () => {
       for (const name of ['phone portrait 412x915', 'phone landscape 915x412', 'small landscape 568x320']) {
         const {context, page, problems} = await open(SCREENS[name].options);
         await atPass(page, 5);
         const l = await layout(page);
         assert.deepStrictEqual(l.buttons.map((b) => b.key).sort(), ['fire', 'fs', 'left', 'right'], name);
         for (const b of l.buttons) {
           assert.ok(b.w >= 44 && b.h >= 44, name + ': ' + JSON.stringify(b));
           assert.ok(!overlaps(b, l.game), name + ': ' + b.key + ' over the game ' + JSON.stringify([b, l.game]));
           assert.ok(b.x >= 0 && b.y >= 0 && b.x + b.w <= l.vw && b.y + b.h <= l.vh, name + ': off the screen');
         }
         assert.deepStrictEqual(problems, []);
         await context.close();
       }
       // Landscape fullscreen: the buttons with the game, left and right of it.
       const {context, page, problems} = await open(SCREENS['phone landscape 915x412'].options);
       await atPass(page, 5);
       await page.tap('#touch-fullscreen');
       await page.waitForFunction(() => document.fullscreenElement != null, null, {timeout: 10000});
       await page.waitForTimeout(300);  // the page lays out again once the window settles
       const l = await layout(page);
       assert.ok(deviceScale(l) >= 1, JSON.stringify(l.game));
       const at = Object.fromEntries(l.buttons.map((b) => [b.key, b]));
       for (const b of l.buttons) assert.ok(b.inFullscreen && !overlaps(b, l.game), JSON.stringify(b));
       assert.ok(at.left.x + at.left.w <= l.game.x && at.right.x + at.right.w <= l.game.x, 'the move buttons at the left');
       assert.ok(at.fire.x >= l.game.x + l.game.w, 'fire at the right');
       await page.tap('#touch-fullscreen');
       await page.waitForFunction(() => document.fullscreenElement == null, null, {timeout: 10000});
       // From the ended screen: Fire starts a new run, and so does a tap on the game.
       await tap(page, 'Escape');
       await page.waitForFunction(() => !document.getElementById('ended').hidden, null, {timeout: 10000});
       await page.tap('[data-key=fire]');
       await page.waitForFunction(() => window.zmSession.runs == 2, null, {timeout: 10000});
       await atPass(page, 5);
       await tap(page, 'Escape');
       await page.waitForFunction(() => !document.getElementById('ended').hidden, null, {timeout: 10000});
       await page.tap('#screen');
       await page.waitForFunction(() => window.zmSession.runs == 3, null, {timeout: 10000});
       await atPass(page, 5);
       assert.deepStrictEqual(problems, []);
       await context.close();
     });

// The session's notes with the pass numbers taken off.
const notes = async (page) => (await session(page)).lines.map((l) => l.replace(/^\d+ /, ''));
// Waits until the game has noted LINE: every input before it has been handled.
const noted = (page, line) => page.waitForFunction((line) => window.zmSession.lines.some((l) => l.endsWith(' ' + line)),
                                                  line, {timeout: 10000, polling: 20});

test('input: a pad that goes lets go, keys reach the game from anywhere on the page, only plain F11 and Alt+Enter switch',
     {timeout: 120000}, async () => {
       const {context, page, problems} = await open({viewport: {width: 1280, height: 800}}, () => {
         const button = () => ({pressed: false, touched: false, value: 0});
         window.zmPad = {id: 'stand-in pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
                         buttons: Array.from({length: 17}, button), axes: [0, 0, 0, 0]};
         window.zmPadShown = true;
         navigator.getGamepads = () => (window.zmPadShown ? [window.zmPad, null, null, null] : [null, null, null, null]);
         window.zmFullscreenChanges = 0;
         document.addEventListener('fullscreenchange', () => window.zmFullscreenChanges++);
       });
       await atPass(page, 5);
       // The d-pad's right and the stick's left held, then the pad is gone.
       await page.evaluate(() => {
         window.zmPad.buttons[15].pressed = true;
         window.zmPad.axes[0] = -1;
       });
       await noted(page, 'joy down 0 15');
       await page.evaluate(() => { window.zmPadShown = false; });
       await noted(page, 'joy up 0 15');
       await noted(page, 'axis 0 0 0');

       // A click on the page's text, not on the game, keeps the keys with it.
       await page.click('#controls');
       await page.keyboard.down('ArrowRight');
       await noted(page, 'key down right');
       await page.keyboard.up('ArrowRight');
       await noted(page, 'key up right');
       // Keys gone to another window: what they held is let go, the page
       // says so, and a click brings them back.
       await page.keyboard.down('ArrowLeft');
       await noted(page, 'key down left');
       await page.evaluate(() => window.dispatchEvent(new Event('blur')));
       await noted(page, 'key up left');
       assert.strictEqual(await page.locator('#keys').isVisible(), true);
       await page.click('#screen');
       assert.strictEqual(await page.locator('#keys').isVisible(), false);

       // Tab to the Fullscreen button, then Space: the game fires, the
       // button is not pressed; Ctrl, Shift or Alt with F11 are the browser's.
       for (let i = 0; i < 4 && await page.evaluate(() => document.activeElement.id) != 'fullscreen'; i++) {
         await page.keyboard.press('Tab');
       }
       assert.strictEqual(await page.evaluate(() => document.activeElement.id), 'fullscreen');
       await tap(page, 'Space');
       await noted(page, 'key up space');
       for (const k of ['Control+F11', 'Shift+F11', 'Alt+F11']) await page.keyboard.press(k);
       await tap(page, 'x');
       await noted(page, 'key up x');
       await page.evaluate(() => new Promise((r) => requestAnimationFrame(() => requestAnimationFrame(r))));
       assert.deepStrictEqual(await page.evaluate(() => [window.zmFullscreenChanges, document.fullscreenElement]), [0, null]);
       await page.keyboard.press('F11');
       await page.waitForFunction(() => document.fullscreenElement != null, null, {timeout: 10000});
       await page.keyboard.press('Alt+Enter');
       await page.waitForFunction(() => document.fullscreenElement == null, null, {timeout: 10000});
       const all = await notes(page);
       assert.ok(all.indexOf('key down space') >= 0, all.join(', '));
       assert.deepStrictEqual(problems, []);
       await context.close();
     });

// The page's live wasm memories and JS heap after a collection, and the
// listeners on its window and document, through the DevTools protocol.
async function footprint(page, cdp) {
  await cdp.send('HeapProfiler.collectGarbage');
  const count = async (expression) => {
    const proto = await cdp.send('Runtime.evaluate', {expression});
    const found = await cdp.send('Runtime.queryObjects', {prototypeObjectId: proto.result.objectId});
    const n = await cdp.send('Runtime.callFunctionOn', {objectId: found.objects.objectId, functionDeclaration: 'function() { return this.length; }',
                                                        returnByValue: true});
    return n.result.value;
  };
  const listeners = async (expression) => {
    const target = await cdp.send('Runtime.evaluate', {expression});
    return (await cdp.send('DOMDebugger.getEventListeners', {objectId: target.result.objectId})).listeners.length;
  };
  const heap = await cdp.send('Runtime.getHeapUsage');
  return {memories: await count('WebAssembly.Memory.prototype'), instances: await count('WebAssembly.Instance.prototype'),
          heap: heap.usedSize, listeners: (await listeners('window')) + (await listeners('document'))};
}

test('runs that end, end: after ten runs the memory, the wasm memory and the listeners are those after the first',
     {timeout: 180000}, async (t) => {
       const {context, page, problems} = await open();
       const cdp = await context.newCDPSession(page);
       const crashed = new Promise((resolve, reject) => page.once('crash', () => reject(new Error('the page crashed'))));
       crashed.catch(() => {});
       const measure = () => Promise.race([footprint(page, cdp), crashed]);
       const endRun = async (n) => {
         await page.waitForFunction((n) => window.zmSession.runs == n, n, {timeout: 30000});
         await atPass(page, 5);
         await tap(page, 'Escape');
         await page.waitForFunction(() => !document.getElementById('ended').hidden, null, {timeout: 30000});
       };
       await endRun(1);
       const first = await measure();
       for (let run = 2; run <= 11; run++) {
         await page.keyboard.press('Enter');
         await endRun(run);
       }
       const last = await measure();
       t.diagnostic('after the first run ' + JSON.stringify(first) + ', after ten more ' + JSON.stringify(last));
       assert.ok(last.memories <= first.memories && last.instances <= first.instances, 'runs left behind');
       assert.strictEqual(last.listeners, first.listeners);
       assert.ok(last.heap <= first.heap * 1.2, 'heap ' + first.heap + ' -> ' + last.heap);
       assert.deepStrictEqual(problems, []);
       await context.close();
     });

// Stand-ins for the browser's sound device, as players' browsers have it.
const DEVICES = {
  'no AudioContext': () => {
    window.AudioContext = undefined;
    window.webkitAudioContext = undefined;
  },
  'an AudioContext that throws': () => {
    window.AudioContext = function() { throw new Error('no sound device'); };
  },
  'a resume() that rejects': () => {
    const Real = window.AudioContext;
    window.AudioContext = class extends Real {
      get state() { return 'suspended'; }
      resume() { return Promise.reject(new Error('refused')); }
    };
  },
  'a device that stays suspended': () => {
    const Real = window.AudioContext;
    window.AudioContext = class extends Real {
      get state() { return 'suspended'; }
      resume() {
        (window.zmResumedBy = window.zmResumedBy || []).push(window.event ? window.event.type : '');
        return Promise.resolve();
      }
    };
  },
};

test('sound never blocks the game: without a device, a failing or a refusing one the game plays silent; every gesture asks',
     {timeout: 180000}, async (t) => {
       for (const [name, init] of Object.entries(DEVICES)) {
         const {context, page, problems} = await open({}, init);
         await atPass(page, 30);
         await tap(page, 'x');  // a gesture: sound is asked for
         await page.click('#screen');
         await tap(page, 'ArrowRight');
         await noted(page, 'key up right');
         await atPass(page, 90);
         assert.deepStrictEqual(problems, [], name);
         if (name == 'a device that stays suspended') {
           // Each kind of gesture asks for sound again: some browsers count
           // only a touchend or a click as one.
           for (const type of ['touchend', 'click', 'keydown', 'pointerdown']) {
             await page.evaluate(() => { window.zmResumedBy = []; });
             await page.evaluate((type) => document.body.dispatchEvent(new Event(type, {bubbles: true})), type);
             assert.deepStrictEqual(await page.evaluate(() => window.zmResumedBy), [type], name);
           }
           assert.strictEqual(await page.locator('#sound').isVisible(), true, 'the page says sound is not on');
         }
         t.diagnostic(name + ': played on');
         await context.close();
       }
     });

// A PNG's pixels against its stored size.
function pngRatio(file) {
  const png = fs.readFileSync(file);
  const idat = [];
  for (let at = 8; at < png.length;) {
    const len = png.readUInt32BE(at);
    if (png.toString('latin1', at + 4, at + 8) == 'IDAT') idat.push(png.subarray(at + 8, at + 8 + len));
    at += 12 + len;
  }
  return zlib.inflateSync(Buffer.concat(idat)).length / png.length;
}

test('weight: every image compressed, all the page loads at most 100 KB gzipped, nothing from elsewhere',
     {timeout: 60000}, async (t) => {
       const pngs = fs.readdirSync(site).filter((f) => f.endsWith('.png'));
       assert.ok(pngs.length >= 3);
       for (const f of pngs) assert.ok(pngRatio(path.join(site, f)) > 8, f + ' is stored uncompressed');
       const {context, page, problems} = await open();
       const asked = new Set();
       context.on('request', (r) => asked.add(r.url()));
       await page.reload();
       await atPass(page, 30);
       await page.evaluate(() => navigator.serviceWorker.ready);
       // What the page and its worker load: every file of the site but the
       // program as a script, which only a page opened from disk asks for.
       const loaded = fs.readdirSync(site).filter((f) => f != 'zultmirax-wasm.js');
       for (const u of asked) {
         assert.ok(u.startsWith(shared.url), 'loaded from elsewhere: ' + u);
         assert.ok(loaded.includes(new URL(u).pathname.slice(1) || 'index.html'), 'loaded: ' + u);
       }
       let gz = 0;
       for (const f of loaded) gz += zlib.gzipSync(fs.readFileSync(path.join(site, f)), {level: 9}).length;
       t.diagnostic(loaded.join(' ') + ': ' + (gz / 1024).toFixed(1) + ' KB gzipped');
       assert.ok(gz <= 100 * 1024, gz + ' bytes');
       assert.deepStrictEqual(problems, []);
       await context.close();
     });

// The site as a host would serve it: under a sub-path, with a strict
// Content-Security-Policy.
const CSP = "default-src 'self'; script-src 'self' 'wasm-unsafe-eval'";
async function hosted(dir) {
  const root = fs.mkdtempSync(path.join(os.tmpdir(), 'zm-host-'));
  fs.mkdirSync(path.join(root, 'games'));
  fs.cpSync(dir, path.join(root, 'games', 'zm'), {recursive: true});
  const server = await serve(root, 0, '127.0.0.1', {'Content-Security-Policy': CSP});
  return {root, server, dir: path.join(root, 'games', 'zm'), url: 'http://127.0.0.1:' + server.address().port + '/games/zm/'};
}

test('installable and offline: the manifest and its icons, a worker that keeps the site, a new build taken whole',
     {timeout: 180000}, async (t) => {
       const host = await hosted(site);
       const {context, page, problems} = await open({}, null, host.url);
       await atPass(page, 30);
       const manifest = await page.evaluate(() => fetch(document.querySelector('link[rel=manifest]').href).then((r) => r.json()));
       assert.strictEqual(manifest.name, 'ZULT-MIRAX');
       assert.ok(['fullscreen', 'standalone'].includes(manifest.display));
       assert.ok(manifest.theme_color && manifest.background_color);
       for (const size of [192, 512]) {
         const icon = manifest.icons.find((i) => i.sizes == size + 'x' + size);
         assert.ok(icon, size + ' icon');
         const png = fs.readFileSync(path.join(host.dir, icon.src));
         assert.deepStrictEqual([png.readUInt32BE(16), png.readUInt32BE(20)], [size, size], icon.src);
       }
       const scope = await page.evaluate(() => navigator.serviceWorker.ready.then((r) => r.scope));
       assert.strictEqual(scope, host.url);

       // With no network: the page loads and plays, and plays again.
       await context.setOffline(true);
       await page.reload();
       await atPass(page, 30);
       await tap(page, 'Escape');
       await page.waitForFunction(() => !document.getElementById('ended').hidden, null, {timeout: 10000});
       await page.keyboard.press('Enter');
       await page.waitForFunction(() => window.zmSession.runs == 2, null, {timeout: 10000});
       await atPass(page, 30);
       await context.setOffline(false);
       await page.close();

       // A new build: the page is that build's whole, never one file of each.
       const mark = (build) => {
         const edit = (f, from, to) => fs.writeFileSync(path.join(host.dir, f), fs.readFileSync(path.join(host.dir, f), 'utf8').replace(from, to));
         edit('index.html', /<title>/, '<meta name="zm-build" content="' + build + '"><title>');
         edit('page.js', /'use strict';/, "'use strict';\nwindow.zmBuild = '" + build + "';");
         edit('sw.js', /var VERSION = "[^"]*"/, 'var VERSION = "' + build + '"');
       };
       mark('2');
       // A page of the same host outside the game's folder asks for the
       // worker's update (as a browser does after a visit, some time after)
       // and sees it settle: a new one installed, and taken over once no
       // game page is open.
       const outside = await context.newPage();
       await outside.goto(host.url + '../elsewhere');
       const settled = async () => {
         await outside.evaluate((scope) => navigator.serviceWorker.getRegistration(scope).then((r) => r.update()), host.url);
         await outside.waitForFunction(
           (scope) => navigator.serviceWorker.getRegistration(scope).then((r) => !r.installing && !r.waiting), host.url,
           {timeout: 30000});
       };
       const seen = [];
       for (let visit = 0; visit < 6 && seen[seen.length - 1] != '2 2'; visit++) {
         const p = await context.newPage();
         watch(p, problems);
         await p.goto(host.url);
         await atPass(p, 5);
         seen.push(await p.evaluate(() => document.querySelector('meta[name=zm-build]')?.content + ' ' + window.zmBuild));
         await p.close();
         await settled();
       }
       t.diagnostic('the builds of each visit (page, script): ' + seen.join(', '));
       assert.strictEqual(seen[seen.length - 1], '2 2', 'the new build was taken: ' + seen.join(', '));
       assert.ok(seen.every((s) => s == 'undefined undefined' || s == '2 2'), 'a mixture: ' + seen.join(', '));
       const p = await context.newPage();
       await p.goto(host.url);
       const caches = await p.evaluate(() => caches.keys());
       assert.strictEqual(caches.length, 1, caches.join(', '));
       assert.deepStrictEqual(problems, []);
       await context.close();
       host.server.close();
       fs.rmSync(host.root, {recursive: true});
     });

test('from disk: the unzipped index.html opened as a file plays', {timeout: 60000}, async () => {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), 'zm-disk-'));
  fs.cpSync(site, dir, {recursive: true});
  const {context, page, problems} = await open({}, null, 'file://' + dir + '/index.html');
  await atPass(page, 60);
  await tap(page, 'ArrowRight');
  await noted(page, 'key up right');
  assert.deepStrictEqual(problems, []);
  await context.close();
  fs.rmSync(dir, {recursive: true});
});
