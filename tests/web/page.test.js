// The game's page in Debian's Chromium, headless, driven by playwright-core.
// Sessions are played through the page's own keyboard, touch buttons and
// pads; the page notes which input reached which pass and a hash of the
// screen at every pass, and the desktop runner's replay of that input must
// give the same screen at every pass checked.
//
//   ZM_WEB_SITE=build/web/site ZM_NATIVE_RUNNER=build/normal/tools/replay/zultmirax-replay \
//   node --test tests/web/page.test.js
'use strict';
const test = require('node:test');
const assert = require('node:assert');
const {start, stop, open, tap, session, atPass, replayMatches} = require('./browser.js');

test.before(start);
test.after(stop);

test('the page: title, icon, crisp whole-multiple scaling, no console message, the sound hint', async () => {
  const {context, page, problems} = await open();
  assert.strictEqual(await page.title(), 'ZULT-MIRAX');
  assert.ok(await page.locator('link[rel=icon]').count() >= 1);
  await atPass(page, 60);
  const look = await page.evaluate(() => {
    const g = document.getElementById('game').getBoundingClientRect();
    return {w: g.width, h: g.height, rendering: getComputedStyle(document.getElementById('screen')).imageRendering,
            focused: document.activeElement.id, hint: !document.getElementById('sound').hidden,
            touch: !document.getElementById('touch').hidden, audio: window.zmAudioOfRun() && window.zmAudioOfRun().ctx.state};
  });
  assert.deepStrictEqual([look.w, look.h], [960, 720]);  // 3x in 1024x800: the header and the controls take what is left
  assert.strictEqual(look.rendering, 'pixelated');
  assert.strictEqual(look.focused, 'game');
  // Until sound runs the page says how to start it. (Whether a headless
  // browser starts sound before a gesture depends on its build; the sound
  // test checks that a key starts it.)
  assert.strictEqual(look.hint, look.audio != 'running', 'the sound hint with the device ' + look.audio);
  assert.strictEqual(look.touch, false, 'no touch buttons without a touch screen');
  // The browser's keys are the browser's: Tab leaves the game.
  await page.keyboard.press('Tab');
  assert.notStrictEqual(await page.evaluate(() => document.activeElement.id), 'game');
  assert.deepStrictEqual(problems, []);
  await context.close();
});

test('a keyboard session is the desktop game pass for pass: splash, title, play, a shot scores', {timeout: 120000},
     async () => {
       const {context, page, problems} = await open();
       await atPass(page, 130);
       await tap(page, 'z');  // cuts the splash short
       await atPass(page, 260);
       await tap(page, 'Space');  // starts a game
       await atPass(page, 420);
       await page.keyboard.down('ArrowRight');  // out from behind the shields
       await atPass(page, 440);
       await page.keyboard.up('ArrowRight');
       for (let i = 0; i < 12; i++) {
         await page.keyboard.down('z');
         await page.waitForTimeout(60);
         await page.keyboard.up('z');
         await page.waitForTimeout(700);
       }
       await page.keyboard.down('ArrowLeft');
       await page.waitForTimeout(400);
       await page.keyboard.up('ArrowLeft');
       await page.waitForTimeout(300);
       const s = await session(page);
       assert.ok(s.lines.some((l) => /key down left$/.test(l)) && s.lines.some((l) => /key down space$/.test(l)));
       const rows = replayMatches(s, 5);
       const states = new Set(rows.map((r) => r.state));
       assert.ok(states.size >= 4, 'splash, title and play were all seen: ' + [...states]);
       const xs = rows.filter((r) => r.cannon_x > 0).map((r) => r.cannon_x);
       assert.ok(Math.min(...xs) < Math.max(...xs), 'the cannon moved');
       assert.ok(rows[rows.length - 1].score > 0, 'a shot scored');
       assert.deepStrictEqual(problems, []);
       await context.close();
     });

test('sound: the first key starts it, 8000 samples a second, a sound heard within 100 ms', {timeout: 60000},
     async (t) => {
       const {context, page, problems} = await open();
       await atPass(page, 200);
       await tap(page, 'x');  // a gesture the game ignores
       await page.waitForFunction(() => document.getElementById('sound').hidden, null, {timeout: 5000});
       const measured = await page.evaluate(() => new Promise((resolve) => {
         // The device is the page's first instance's; read through the page.
         const audio = window.zmAudioOfRun();
         const c0 = audio.consumed, t0 = performance.now(), x0 = audio.ctx.currentTime;
         setTimeout(() => resolve({samples: audio.consumed - c0, wall: (performance.now() - t0) / 1000,
                                   device: audio.ctx.currentTime - x0, deviceRate: audio.ctx.sampleRate}), 5000);
       }));
       const perSecond = measured.samples / measured.device;
       t.diagnostic('samples consumed per second: ' + perSecond.toFixed(1) + ' (device at ' +
                    measured.deviceRate + ' Hz; its clock ran ' + (measured.device / measured.wall).toFixed(4) +
                    ' s a second)');
       assert.ok(Math.abs(perSecond - 8000) <= 80, 'rate ' + perSecond);
       // Fire on the title plays the start sound.
       await atPass(page, 300);
       await tap(page, 'z');
       await page.waitForTimeout(600);
       const lat = await page.evaluate(() => {
         const started = window.zmSession.sounds.find((s) => s.result == 0 && s.id != 0);
         const onset = window.zmAudioOfRun().onsets.find((t) => t >= started.time);
         const ctx = window.zmAudioOfRun().ctx;
         return {ms: onset - started.time, base: ctx.baseLatency, output: ctx.outputLatency};
       }).then((r) => {
         t.diagnostic('the device\'s own latency: base ' + r.base + ' s, output ' + r.output + ' s');
         return r.ms;
       });
       t.diagnostic('from Snd_Play to the first block at the output: ' + lat.toFixed(1) + ' ms');
       assert.ok(lat >= 0 && lat <= 100, 'latency ' + lat);
       assert.deepStrictEqual(problems, []);
       await context.close();
     });

test('a quit shows the last frame and Play again; a new run starts from the splash with no high score',
     {timeout: 60000}, async () => {
       const {context, page, problems} = await open();
       await atPass(page, 100);
       await tap(page, 'Escape');
       await page.waitForFunction(() => !document.getElementById('ended').hidden, null, {timeout: 5000});
       const first = await session(page);
       assert.ok(first.ended >= 100);
       const before = await page.evaluate(() => document.getElementById('screen').toDataURL());
       await page.waitForTimeout(300);
       const after = await page.evaluate(() => document.getElementById('screen').toDataURL());
       assert.strictEqual(after, before, 'the last frame stays');
       await page.keyboard.press('Enter');
       await atPass(page, 70);
       const second = await session(page);
       assert.strictEqual(second.runs, 2);
       // The new run is a new game program: its splash is the first run's.
       assert.strictEqual(second.hashes[69], first.hashes[69]);
       replayMatches(second, 10);
       assert.deepStrictEqual(problems, []);
       await context.close();
     });

test('fullscreen and back: F11 and the button, the picture intact and crisp at 4:3', {timeout: 60000}, async () => {
  const {context, page, problems} = await open();
  await atPass(page, 120);
  // The run ended, its last frame stays: the same picture before and after
  // each switch (a running game may draw a new one between two looks).
  await tap(page, 'Escape');
  await page.waitForFunction(() => !document.getElementById('ended').hidden, null, {timeout: 10000});
  const picture = () => page.evaluate(() => {
    const c = document.getElementById('screen');
    const r = c.getBoundingClientRect();
    return {data: c.toDataURL(), w: c.width, h: c.height, shownW: r.width, shownH: r.height,
            fs: document.fullscreenElement ? document.fullscreenElement.id : ''};
  });
  const windowed = await picture();
  await page.keyboard.press('F11');
  await page.waitForFunction(() => document.fullscreenElement != null, null, {timeout: 5000});
  await page.waitForTimeout(200);
  const full = await picture();
  assert.strictEqual(full.fs, 'stage');  // the game and its touch buttons
  assert.deepStrictEqual([full.w, full.h], [320, 240]);
  assert.strictEqual(full.shownW * 3, full.shownH * 4);
  assert.strictEqual(full.data, windowed.data, 'no pixel of the picture was lost');
  await page.keyboard.press('F11');
  await page.waitForFunction(() => document.fullscreenElement == null, null, {timeout: 5000});
  await page.click('#fullscreen');
  await page.waitForFunction(() => document.fullscreenElement != null, null, {timeout: 5000});
  await page.keyboard.press('Alt+Enter');
  await page.waitForFunction(() => document.fullscreenElement == null, null, {timeout: 5000});
  await page.waitForTimeout(200);
  const back = await picture();
  assert.deepStrictEqual([back.shownW, back.shownH], [windowed.shownW, windowed.shownH]);
  assert.strictEqual(back.data, windowed.data);
  // Still the desktop game, pass for pass, with the keys that switched.
  replayMatches(await session(page), 10);
  assert.deepStrictEqual(problems, []);
  await context.close();
});

test('a hidden tab pauses the game, sound off, and it goes on when shown', {timeout: 60000}, async () => {
  const {context, page, problems} = await open();
  await atPass(page, 60);
  const hide = (hidden) => page.evaluate((hidden) => {
    Object.defineProperty(document, 'hidden', {configurable: true, get: () => hidden});
    Object.defineProperty(document, 'visibilityState', {configurable: true, get: () => hidden ? 'hidden' : 'visible'});
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  await tap(page, 'x');  // sound on
  await hide(true);
  await page.waitForTimeout(100);
  const consumed = () => page.evaluate(() => window.zmAudioOfRun().consumed);
  const p0 = (await session(page)).hashes.length;
  const c0 = await consumed();
  await page.waitForTimeout(1500);
  const p1 = (await session(page)).hashes.length;
  assert.ok(p1 - p0 <= 1, 'passes while hidden: ' + (p1 - p0));
  assert.strictEqual(await consumed(), c0, 'no sound is taken while hidden');
  await hide(false);
  await page.waitForTimeout(1000);
  const p2 = (await session(page)).hashes.length;
  assert.ok(p2 - p1 >= 40, 'passes once shown again: ' + (p2 - p1));
  assert.deepStrictEqual(problems, []);
  await context.close();
});

test('touch: on-screen Left, Right and Fire, move and fire together, start and play', {timeout: 90000}, async () => {
  const {context, page, problems} = await open({viewport: {width: 390, height: 844}, hasTouch: true, isMobile: true});
  assert.strictEqual(await page.locator('#touch').isVisible(), true);
  const cdp = await context.newCDPSession(page);
  const centre = async (sel) => {
    const b = await page.locator(sel).boundingBox();
    return {x: b.x + b.width / 2, y: b.y + b.height / 2};
  };
  const left = await centre('[data-key=left]');
  const fire = await centre('[data-key=fire]');
  const touches = (type, points) => cdp.send('Input.dispatchTouchEvent', {type, touchPoints: points});
  await atPass(page, 130);
  await touches('touchStart', [{...fire, id: 1}]);
  await page.waitForTimeout(100);
  await touches('touchEnd', []);
  await atPass(page, 260);
  await touches('touchStart', [{...fire, id: 1}]);
  await page.waitForTimeout(100);
  await touches('touchEnd', []);
  await atPass(page, 420);
  // Left held with one finger, fire pressed with another.
  await touches('touchStart', [{...left, id: 1}]);
  await page.waitForTimeout(150);
  await touches('touchStart', [{...left, id: 1}, {...fire, id: 2}]);
  await page.waitForTimeout(150);
  await touches('touchEnd', [{...left, id: 1}]);
  await page.waitForTimeout(150);
  await touches('touchEnd', []);
  await page.waitForTimeout(300);
  const s = await session(page);
  const down = s.lines.map((l) => l.replace(/^\d+ /, ''));
  assert.ok(down.indexOf('key down left') < down.indexOf('key up left'));
  const both = s.lines.findIndex((l) => / key down z$/.test(l) && s.lines.indexOf(l) > down.indexOf('key down left'));
  assert.ok(both > down.indexOf('key down left') && both < down.indexOf('key up left'), s.lines.join('\n'));
  const rows = replayMatches(s, 10);
  assert.ok(rows.some((r) => r.shot_state != 0), 'a shot was fired: ' + s.lines.join(', '));
  const xs = rows.filter((r) => r.cannon_x > 0).map((r) => r.cannon_x);
  assert.ok(Math.min(...xs) < Math.max(...xs), 'the cannon moved');
  assert.deepStrictEqual(problems, []);
  await context.close();
});

test('a standard gamepad that appears after start-up: stick and d-pad move, A starts and fires', {timeout: 90000},
     async () => {
       const {context, page, problems} = await open({}, () => {
         const button = () => ({pressed: false, touched: false, value: 0});
         window.zmPad = {id: 'stand-in pad', index: 0, connected: true, mapping: 'standard', timestamp: 0,
                         buttons: Array.from({length: 17}, button), axes: [0, 0, 0, 0]};
         window.zmPadShown = false;
         navigator.getGamepads = () => (window.zmPadShown ? [window.zmPad, null, null, null] : [null, null, null, null]);
       });
       const set = (fn, arg) => page.evaluate(fn, arg);
       const press = async (b) => {
         await set((b) => { window.zmPad.buttons[b].pressed = true; window.zmPad.buttons[b].value = 1; }, b);
         await page.waitForTimeout(100);
         await set((b) => { window.zmPad.buttons[b].pressed = false; window.zmPad.buttons[b].value = 0; }, b);
       };
       await atPass(page, 60);
       await set(() => { window.zmPadShown = true; });  // browsers show a pad at its first press
       await atPass(page, 130);
       await press(0);
       await atPass(page, 260);
       await press(0);
       await atPass(page, 420);
       await set(() => { window.zmPad.axes[0] = 1; });  // the left stick right
       await page.waitForTimeout(250);
       await set(() => { window.zmPad.axes[0] = 0; });
       for (let i = 0; i < 4; i++) {
         await press(0);
         await page.waitForTimeout(600);
       }
       await set(() => { window.zmPad.buttons[14].pressed = true; });  // the d-pad's left
       await page.waitForTimeout(300);
       await set(() => { window.zmPad.buttons[14].pressed = false; });
       await page.waitForTimeout(200);
       const s = await session(page);
       assert.ok(s.lines.some((l) => / joy down 0 0$/.test(l)), s.lines.join('\n'));
       assert.ok(s.lines.some((l) => / axis 0 0 32767$/.test(l)) && s.lines.some((l) => / joy down 0 14$/.test(l)));
       const rows = replayMatches(s, 10);
       assert.ok(rows.some((r) => r.shot_state != 0), 'A fired');
       const xs = rows.filter((r) => r.cannon_x > 0).map((r) => r.cannon_x);
       assert.ok(Math.min(...xs) < Math.max(...xs), 'the stick and the d-pad moved the cannon');
       assert.deepStrictEqual(problems, []);
       await context.close();
     });
