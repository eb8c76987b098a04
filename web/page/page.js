// The game's page: starts a run of the game (each run a new instance of its
// module, as each game on a desktop is a new process, all from one compiled
// program), feeds it the keys, the touch buttons and the pads, keeps it
// crisp at a whole multiple of its size in device pixels, and offers a new
// run when one ends.
'use strict';
(function() {
  var W = 320, H = 240;
  var $ = function(id) { return document.getElementById(id); };
  var stage = $('stage'), game = $('game'), ended = $('ended'), again = $('again');
  var soundHint = $('sound'), keysHint = $('keys'), problem = $('problem'), touch = $('touch');
  var header = document.querySelector('header'), footer = document.querySelector('footer');
  var frame = $('frame');

  // The keys the game reads, by their place on the keyboard, as the DOM key
  // codes the game's SDL translates, and by the names that scripts use.
  var KEYS = {ArrowUp: 38, ArrowDown: 40, ArrowLeft: 37, ArrowRight: 39, KeyZ: 90, Space: 32,
              KeyX: 88, KeyC: 67, KeyV: 86, KeyQ: 81, Escape: 27};
  var NAMES = {38: 'up', 40: 'down', 37: 'left', 39: 'right', 90: 'z', 32: 'space', 88: 'x', 67: 'c',
               86: 'v', 81: 'q', 27: 'escape'};
  var TOUCH_KEYS = {left: 37, right: 39, fire: 90};
  var PAD_BUTTONS = 17;  // the standard mapping's, Guide (16) the last
  var PAD_SLOTS = 2;     // the game reads two pads
  var PAD_START = [0, 9];  // A and Start start a new run from the ended screen

  var run = null;         // the running instance, until it ends
  var pass = 0;           // the pass running now (its keys are read by it)
  var holds = {};         // key code -> how many sources hold it
  var pads = [];          // per slot: the pad's index, the buttons and axes last sent
  // Tests set window.zmSession = {} before the page loads: the page then
  // notes every input with its pass and a hash of the screen at every pass.
  var session = window.zmSession || null;
  if (session) window.zmAudioOfRun = function() { return run && run.zmAudio; };

  function push(event) {
    if (run && run.zmPush) run.zmPush(event);
  }

  function note(line) {
    if (session) session.lines.push(pass + ' ' + line);
  }

  function canRestart() {
    return !run && ended.hidden == false;
  }

  // A key goes down when its first source presses it and up when the last
  // lets go, so the keyboard and a touch button can hold one key together.
  function key(code, down) {
    var n = holds[code] || 0;
    holds[code] = down ? n + 1 : Math.max(0, n - 1);
    if (down ? n != 0 : n != 1) return;
    push({type: down ? 'keydown' : 'keyup', keyCode: code});
    note('key ' + (down ? 'down ' : 'up ') + NAMES[code]);
  }

  function releaseKeys() {
    for (var code in holds) {
      if (holds[code] > 0) {
        holds[code] = 1;
        key(+code, false);
      }
    }
    touch.querySelectorAll('.held').forEach(function(b) { b.classList.remove('held'); });
  }

  // ---- sound: browsers start it after a gesture -----------------------
  // Any kind of gesture: some browsers count a touchend or a click as one
  // for sound, but not a pointerdown. A device that cannot start stays
  // silent and the game plays on (sdl_web.js).
  function startSound() {
    if (run && run.zmAudio) run.zmAudio.resume();
  }
  ['keydown', 'pointerdown', 'touchend', 'click'].forEach(function(type) {
    window.addEventListener(type, startSound, true);
  });
  function showSoundHint() {
    var a = run && run.zmAudio;
    soundHint.hidden = !a || !a.ctx || a.ctx.state == 'running';
  }
  setInterval(showSoundHint, 250);

  // ---- size: the largest whole multiple in device pixels that fits -----
  // Every game pixel is then k device pixels square on any screen. The
  // page's own text takes only the room the game leaves; the touch buttons
  // go below the game or beside it, whichever leaves the game larger.
  var BUTTON_MIN = 44, BUTTON_MAX = 88, GAP = 8;
  var SIDE_MIN = 2 * BUTTON_MIN + 3 * GAP;  // a column beside the game: two buttons abreast
  var ROW_MIN = BUTTON_MIN + 2 * GAP;       // a row below it

  function isFullscreen() {
    return (document.fullscreenElement || document.webkitFullscreenElement) === stage;
  }
  function scaleFor(w, h, dpr) {
    var s = Math.min(w * dpr / W, h * dpr / H);
    return s >= 1 ? Math.floor(s) : Math.max(s, 0.1);  // a fraction only where one does not fit
  }
  function place(el, x, y, w, h) {
    el.style.left = x + 'px';
    el.style.top = y + 'px';
    if (w !== undefined) {
      el.style.width = w + 'px';
      el.style.height = h + 'px';
    }
  }
  function layout() {
    var dpr = window.devicePixelRatio || 1;
    var snap = function(v) { return Math.round(v * dpr) / dpr; };  // on a device pixel
    var fs = isFullscreen();
    var vw = stage.clientWidth, vh = stage.clientHeight;
    var buttons = !touch.hidden;
    var plans = buttons ? [{kind: 'below', k: scaleFor(vw, vh - ROW_MIN, dpr)},
                           {kind: 'beside', k: scaleFor(vw - 2 * SIDE_MIN, vh, dpr)}]
                        : [{kind: 'alone', k: scaleFor(vw, vh, dpr)}];
    var plan = plans[0];
    if (plans.length > 1 && (plans[1].k > plan.k || (plans[1].k == plan.k && vw > vh))) plan = plans[1];
    var gw = W * plan.k / dpr, gh = H * plan.k / dpr;

    // The text where room is left, footer (the controls' help and the
    // Fullscreen button) before header; none in fullscreen.
    header.hidden = footer.hidden = false;
    footer.style.width = header.style.width = gw + 'px';
    var hh = header.offsetHeight, fh = footer.offsetHeight;
    var room = vh - gh - (plan.kind == 'below' ? ROW_MIN : 0);
    footer.hidden = fs || room < fh;
    if (!footer.hidden) room -= fh;
    header.hidden = fs || room < hh;
    if (!header.hidden) room -= hh;
    var above = header.hidden ? 0 : hh;
    var below = footer.hidden ? 0 : fh;

    var gx = snap((vw - gw) / 2);
    var gy = snap(above + (plan.kind == 'below' ? Math.min(room / 2, Math.max(0, room - BUTTON_MAX)) : room / 2));
    place(game, gx, gy, gw, gh);
    place(header, gx, gy - above);
    place(footer, gx, gy + gh);

    if (!buttons) return;
    var b = touch.querySelectorAll('button');
    var s, fire, y;
    if (plan.kind == 'below') {
      var top = gy + gh + below;
      s = Math.max(BUTTON_MIN, Math.min(BUTTON_MAX, vh - top - 2 * GAP));
      y = vh - GAP - s;
      place(b[0], GAP, y, s, s);
      place(b[1], 2 * GAP + s, y, s, s);
      place(b[2], vw - GAP - s, y, s, s);
      fire = b[2];
      // The fullscreen switch between them, small.
      place(b[3], (vw - BUTTON_MIN) / 2, y + (s - BUTTON_MIN) / 2, BUTTON_MIN, BUTTON_MIN);
    } else {
      var side = gx;
      s = Math.max(BUTTON_MIN, Math.min(BUTTON_MAX, (side - 3 * GAP) / 2));
      y = Math.max(GAP + BUTTON_MIN + GAP, vh - 2 * GAP - s - (vh - s) / 4);
      var left = (side - 2 * s - GAP) / 2;
      place(b[0], left, y, s, s);
      place(b[1], left + s + GAP, y, s, s);
      var fs2 = Math.max(BUTTON_MIN, Math.min(BUTTON_MAX * 1.25, side - 2 * GAP));
      place(b[2], gx + gw + (side - fs2) / 2, y + s - fs2, fs2, fs2);
      place(b[3], gx + gw + (side - BUTTON_MIN) / 2, GAP, BUTTON_MIN, BUTTON_MIN);
    }
  }
  window.addEventListener('resize', layout);
  // A new devicePixelRatio (zoom, another screen) may come without a resize.
  function watchRatio() {
    if (!window.matchMedia) return;
    var query = window.matchMedia('(resolution: ' + (window.devicePixelRatio || 1) + 'dppx)');
    var changed = function() {
      query.removeEventListener('change', changed);
      layout();
      watchRatio();
    };
    query.addEventListener('change', changed);
  }
  watchRatio();

  // ---- fullscreen: the game and its touch buttons together ------------
  function toggleFullscreen() {
    if (isFullscreen()) {
      (document.exitFullscreen || document.webkitExitFullscreen).call(document);
    } else {
      var request = stage.requestFullscreen || stage.webkitRequestFullscreen;
      var result = request.call(stage);
      if (result && result.catch) result.catch(function() {});  // refused: stays in the page
    }
    game.focus();
  }
  // The window's size may settle after the switch: laid out again then.
  function relayout() {
    layout();
    requestAnimationFrame(layout);
    setTimeout(layout, 150);
  }
  document.addEventListener('fullscreenchange', relayout);
  document.addEventListener('webkitfullscreenchange', relayout);
  $('fullscreen').addEventListener('click', toggleFullscreen);
  $('touch-fullscreen').addEventListener('click', toggleFullscreen);

  // ---- the keyboard: the whole page's, the game's keys always the game's
  // Wherever the focus is on the page the game's keys reach it, and a
  // focused button never takes one (Space does not press it). Only plain
  // F11 and Alt+Enter switch fullscreen; the browser's own shortcuts stay
  // the browser's.
  function modifiers(e) {
    return (e.ctrlKey ? 'c' : '') + (e.shiftKey ? 's' : '') + (e.altKey ? 'a' : '') + (e.metaKey ? 'm' : '');
  }
  window.addEventListener('keydown', function(e) {
    var mods = modifiers(e);
    if ((e.code == 'F11' && mods == '') || (e.key == 'Enter' && mods == 'a')) {
      e.preventDefault();
      if (!e.repeat) toggleFullscreen();
      return;
    }
    if (e.key == 'Enter' && mods == '' && canRestart()) {
      e.preventDefault();
      start();
      return;
    }
    var code = KEYS[e.code];
    if (code === undefined || mods != '') return;
    e.preventDefault();  // arrows and space neither scroll the page nor press a button
    if (!e.repeat) key(code, true);
  });
  window.addEventListener('keyup', function(e) {
    var code = KEYS[e.code];
    if (code === undefined) return;
    e.preventDefault();
    if (holds[code] > 0) key(code, false);
  });
  // Keys go to another window: what they held is let go, and the page says
  // why the game no longer hears them until a click or a tap brings them back.
  window.addEventListener('blur', function() {
    releaseKeys();
    keysHint.hidden = false;
  });
  window.addEventListener('focus', function() { keysHint.hidden = true; });
  document.addEventListener('pointerdown', function(e) {
    keysHint.hidden = true;
    if (!e.target.closest('button')) game.focus({preventScroll: true});
  });
  game.addEventListener('pointerdown', function(e) {
    if (canRestart() && !e.target.closest('button')) start();  // a tap on the ended game
  });

  // ---- touch buttons: multi-touch, the same keys as the keyboard -------
  var coarse = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
  touch.hidden = !(coarse || navigator.maxTouchPoints > 0);
  if (!touch.hidden) {
    $('controls').textContent = 'Hold ◀ ▶ to move, FIRE to fire and start; a keyboard or a pad plays too';
    $('again-how').textContent = 'or tap FIRE or the game';
  }
  touch.querySelectorAll('button[data-key]').forEach(function(b) {
    var code = TOUCH_KEYS[b.dataset.key];
    var down = function(e) {
      e.preventDefault();
      if (b.setPointerCapture && e.pointerId !== undefined) b.setPointerCapture(e.pointerId);
      if (code == TOUCH_KEYS.fire && canRestart()) {
        start();
        return;
      }
      if (b.classList.contains('held')) return;
      b.classList.add('held');
      key(code, true);
    };
    var up = function(e) {
      e.preventDefault();
      if (!b.classList.contains('held')) return;
      b.classList.remove('held');
      key(code, false);
    };
    b.addEventListener('pointerdown', down);
    b.addEventListener('pointerup', up);
    b.addEventListener('pointercancel', up);
    b.addEventListener('lostpointercapture', up);
    b.addEventListener('contextmenu', function(e) { e.preventDefault(); });
  });

  // ---- pads: polled every frame; a pad shown after start-up is taken, a
  // pad that goes lets go of all it held -------------------------------
  function axisValue(v) {  // as the game's SDL converts an axis
    v = Math.min(1, Math.max(v, -1));
    return Math.ceil((v + 1) * 32767.5 - 32768);
  }
  function padButton(slot, seen, b, pressed) {
    seen.buttons[b] = pressed;
    push({type: pressed ? 'joystick_button_down' : 'joystick_button_up', index: slot, button: b});
    note('joy ' + (pressed ? 'down ' : 'up ') + slot + ' ' + b);
  }
  function padAxis(slot, seen, a, v) {
    seen.axes[a] = axisValue(v);
    push({type: 'joystick_axis_motion', index: slot, axis: a, value: v});
    note('axis ' + slot + ' ' + a + ' ' + seen.axes[a]);
  }
  function pollPads() {
    var list = navigator.getGamepads ? navigator.getGamepads() : [];
    var present = {};
    for (var i = 0; i < list.length; i++) {
      if (list[i] && list[i].connected !== false) present[list[i].index] = list[i];
    }
    var slot;
    for (slot = 0; slot < PAD_SLOTS; slot++) {
      var gone = pads[slot];
      if (!gone || present[gone.index]) continue;
      gone.buttons.forEach(function(held, b) { if (held) padButton(slot, gone, b, false); });
      gone.axes.forEach(function(v, a) { if (v) padAxis(slot, gone, a, 0); });
      pads[slot] = null;
    }
    for (i = 0; i < list.length; i++) {
      var p = list[i];
      if (!p || !present[p.index]) continue;
      for (slot = 0; slot < PAD_SLOTS && !(pads[slot] && pads[slot].index == p.index); slot++) {}
      if (slot == PAD_SLOTS) {
        for (slot = 0; slot < PAD_SLOTS && pads[slot]; slot++) {}
        if (slot == PAD_SLOTS) continue;
        pads[slot] = {index: p.index, buttons: [], axes: []};
      }
      var seen = pads[slot];
      for (var b = 0; b < p.buttons.length && b < PAD_BUTTONS; b++) {
        var pressed = !!p.buttons[b].pressed;
        if (pressed == !!seen.buttons[b]) continue;
        if (pressed && canRestart() && PAD_START.indexOf(b) >= 0) {
          start();
          break;  // the new run sees this pad afresh
        }
        startSound();
        padButton(slot, seen, b, pressed);
      }
      if (seen !== pads[slot]) continue;
      for (var a = 0; a < 2 && a < p.axes.length; a++) {
        var value = axisValue(p.axes[a]);
        if (value == seen.axes[a] || (seen.axes[a] === undefined && value == 0)) continue;
        padAxis(slot, seen, a, p.axes[a]);
      }
    }
    requestAnimationFrame(pollPads);
  }
  requestAnimationFrame(pollPads);

  // ---- the program: compiled once, an instance per run ------------------
  // From disk (file:) a browser fetches nothing: the program then comes in
  // a script of its own, zultmirax-wasm.js, loaded only there.
  var program = null;
  function fail(text) {
    problem.textContent = text;
    problem.hidden = false;
  }
  function fromDisk() {
    return new Promise(function(resolve, reject) {
      var s = document.createElement('script');
      s.src = 'zultmirax-wasm.js';
      s.onload = function() {
        var text = atob(window.zmWasmBase64 || '');
        var bytes = new Uint8Array(text.length);
        for (var i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
        delete window.zmWasmBase64;
        resolve(bytes);
      };
      s.onerror = function() { reject(new Error('zultmirax-wasm.js is missing')); };
      document.head.appendChild(s);
    });
  }
  function compileProgram() {
    if (!program) {
      var bytes = location.protocol == 'file:' ? fromDisk() : fetch('zultmirax.wasm').then(function(r) {
        if (!r.ok) throw new Error('zultmirax.wasm: ' + r.status + ' ' + r.statusText);
        return r.arrayBuffer();
      });
      program = bytes.then(function(b) { return WebAssembly.compile(b); });
      program.catch(function(err) {
        program = null;  // tried again at the next run
        fail('The game could not be loaded (' + err.message + '). ' +
             (location.protocol == 'file:' ? 'Serve this folder instead: python3 -m http.server, then open http://localhost:8000/.'
                                          : 'Check the connection and reload the page.'));
      });
    }
    return program;
  }

  // ---- runs ------------------------------------------------------------
  // FNV-1a over the screen's red, green and blue, row by row.
  function screenHash(heap, pixels) {
    var h = 0x811c9dc5;
    for (var i = pixels, end = pixels + W * H * 4; i < end; i += 4) {
      for (var k = 0; k < 3; k++) h = Math.imul(h ^ heap[i + k], 16777619);
    }
    return (h >>> 0).toString(16);
  }

  function start() {
    if (run) return;
    ended.hidden = true;
    releaseKeys();
    holds = {};
    pads = [];
    pass = 0;
    if (session) {
      // The pads' buttons are numbered as the browser's standard mapping.
      session.header = ['# pad-layout browser'];
      session.lines = [];
      session.hashes = [];
      session.sounds = [];
      session.runs = (session.runs || 0) + 1;
    }
    var canvas = document.createElement('canvas');
    canvas.id = 'screen';
    canvas.width = W;
    canvas.height = H;
    frame.replaceChildren(canvas);
    var instance = {
      canvas: canvas,
      doNotCaptureKeyboard: true,
      noImageDecoding: true,
      noAudioDecoding: true,
      print: function(text) { console.log(text); },
      printErr: function(text) { console.error(text); },
      instantiateWasm: function(imports, receive) {
        compileProgram().then(function(m) {
          return WebAssembly.instantiate(m, imports).then(function(i) { receive(i, m); });
        }).catch(function() {});  // said on the page by compileProgram
        return {};
      },
      zmPass: function(p, pixels) {
        if (session && p > 0) session.hashes.push(screenHash(instance.HEAPU8, pixels));
        pass = p;
      },
      zmSound: function(channel, id, result) {
        if (session) session.sounds.push({time: performance.now(), channel: channel, id: id, result: result});
      },
      zmEnded: function(status) {
        // The run lets go of what its runtime holds, so that nothing of it
        // outlives it (game_post.js).
        if (instance.zmRelease) instance.zmRelease();
        if (run === instance) run = null;
        if (session) session.ended = pass;
        ended.hidden = false;
        game.focus();
      },
    };
    run = instance;
    createZultmirax(instance);
    game.focus();
  }
  again.addEventListener('click', start);

  // Installed to a home screen, and played offline after one visit.
  if ('serviceWorker' in navigator && /^https?:$/.test(location.protocol)) {
    navigator.serviceWorker.register('sw.js').catch(function() {});  // the page plays on without
  }

  layout();
  start();
})();
