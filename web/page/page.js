// The game's page: starts a run of the game (each run a new instance of its
// module, as each game on a desktop is a new process), feeds it the keys
// of its own element, the touch buttons and the pads, keeps it crisp at a
// whole multiple of its size, and offers a new run when one ends.
'use strict';
(function() {
  var W = 320, H = 240;
  var game = document.getElementById('game');
  var frame = document.getElementById('frame');
  var ended = document.getElementById('ended');
  var again = document.getElementById('again');
  var soundHint = document.getElementById('sound');
  var touch = document.getElementById('touch');
  var fullscreenButton = document.getElementById('fullscreen');

  // The keys the game reads, by their place on the keyboard, as the DOM key
  // codes the game's SDL translates, and by the names that scripts use.
  var KEYS = {ArrowUp: 38, ArrowDown: 40, ArrowLeft: 37, ArrowRight: 39, KeyZ: 90, Space: 32,
              KeyX: 88, KeyC: 67, KeyV: 86, KeyQ: 81, Escape: 27};
  var NAMES = {38: 'up', 40: 'down', 37: 'left', 39: 'right', 90: 'z', 32: 'space', 88: 'x', 67: 'c',
               86: 'v', 81: 'q', 27: 'escape'};
  var TOUCH_KEYS = {left: 37, right: 39, fire: 90};
  var PAD_BUTTONS = 17;  // the standard mapping's, Guide (16) the last
  var PAD_SLOTS = 2;     // the game reads two pads

  var run = null;         // the running instance, until it ends
  var pass = 0;           // the pass running now (its keys are read by it)
  var holds = {};         // key code -> how many sources hold it
  var pads = [];          // per slot: the buttons and axes last sent
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

  // A key goes down when its first source presses it and up when the last
  // lets go, so the keyboard and a touch button can hold one key together.
  function key(code, down) {
    var n = holds[code] || 0;
    holds[code] = down ? n + 1 : Math.max(0, n - 1);
    if (down ? n != 0 : n != 1) return;
    push({type: down ? 'keydown' : 'keyup', keyCode: code});
    note('key ' + (down ? 'down ' : 'up ') + NAMES[code]);
  }

  function releaseAll() {
    for (var code in holds) {
      if (holds[code] > 0) {
        holds[code] = 1;
        key(+code, false);
      }
    }
    touch.querySelectorAll('.held').forEach(function(b) { b.classList.remove('held'); });
  }

  // ---- sound: browsers start it after a gesture -----------------------
  function startSound() {
    if (run && run.zmAudio) run.zmAudio.resume();
  }
  function showSoundHint() {
    var a = run && run.zmAudio;
    soundHint.hidden = !a || !a.ctx || a.ctx.state == 'running';
  }
  setInterval(showSoundHint, 250);

  // ---- size: the largest whole multiple that fits, 4:3 -----------------
  function isFullscreen() {
    return (document.fullscreenElement || document.webkitFullscreenElement) === game;
  }
  function layout() {
    var fs = isFullscreen();
    var availW = window.innerWidth, availH = window.innerHeight;
    if (!fs) {
      availW -= 16;
      for (var el = game.nextElementSibling; el; el = el.nextElementSibling) {
        if (el.tagName != 'SCRIPT' && getComputedStyle(el).position != 'fixed') availH -= el.offsetHeight;
      }
      availH -= game.previousElementSibling.offsetHeight;
    }
    var scale = Math.min(availW / W, availH / H);
    if (scale >= 1) scale = Math.floor(scale);  // fractional only when 1x does not fit
    var w = Math.round(W * scale) + 'px', h = Math.round(H * scale) + 'px';
    var box = fs ? frame : game;
    var other = fs ? game : frame;
    box.style.width = w;
    box.style.height = h;
    other.style.width = other.style.height = '';
  }
  window.addEventListener('resize', layout);

  function toggleFullscreen() {
    if (isFullscreen()) {
      (document.exitFullscreen || document.webkitExitFullscreen).call(document);
    } else {
      var request = game.requestFullscreen || game.webkitRequestFullscreen;
      var result = request.call(game);
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
  fullscreenButton.addEventListener('click', toggleFullscreen);

  // ---- the keyboard: on the game's own element only --------------------
  game.addEventListener('keydown', function(e) {
    startSound();
    if (e.code == 'F11' || (e.key == 'Enter' && e.altKey)) {
      e.preventDefault();
      if (!e.repeat) toggleFullscreen();
      return;
    }
    if (!run && e.key == 'Enter' && !ended.hidden) {
      e.preventDefault();
      start();
      return;
    }
    var code = KEYS[e.code];
    if (code === undefined || e.ctrlKey || e.metaKey || e.altKey) return;  // the browser's own shortcuts
    e.preventDefault();  // arrows and space do not scroll the page
    if (!e.repeat) key(code, true);
  });
  game.addEventListener('keyup', function(e) {
    var code = KEYS[e.code];
    if (code === undefined) return;
    e.preventDefault();
    if (holds[code] > 0) key(code, false);
  });
  game.addEventListener('blur', releaseAll);
  game.addEventListener('pointerdown', function() {
    startSound();
    game.focus();
  });
  document.addEventListener('pointerdown', startSound);

  // ---- touch buttons: multi-touch, the same keys as the keyboard -------
  var coarse = window.matchMedia && window.matchMedia('(pointer: coarse)').matches;
  touch.hidden = !(coarse || navigator.maxTouchPoints > 0);
  if (!touch.hidden) {
    document.getElementById('controls').textContent = 'Hold ◀ ▶ to move, FIRE to fire and start; a keyboard or a pad plays too';
  }
  touch.querySelectorAll('button').forEach(function(b) {
    var code = TOUCH_KEYS[b.dataset.key];
    var down = function(e) {
      e.preventDefault();
      startSound();
      if (b.setPointerCapture && e.pointerId !== undefined) b.setPointerCapture(e.pointerId);
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

  // ---- pads: polled every frame; a pad shown after start-up is taken ---
  function axisValue(v) {  // as the game's SDL converts an axis
    v = Math.min(1, Math.max(v, -1));
    return Math.ceil((v + 1) * 32767.5 - 32768);
  }
  function pollPads() {
    var list = navigator.getGamepads ? navigator.getGamepads() : [];
    var slot = 0;
    for (var i = 0; i < list.length && slot < PAD_SLOTS; i++) {
      var p = list[i];
      if (!p || p.connected === false) continue;
      var seen = pads[slot] || (pads[slot] = {buttons: [], axes: []});
      for (var b = 0; b < p.buttons.length && b < PAD_BUTTONS; b++) {
        var pressed = !!p.buttons[b].pressed;
        if (pressed == !!seen.buttons[b]) continue;
        seen.buttons[b] = pressed;
        startSound();
        push({type: pressed ? 'joystick_button_down' : 'joystick_button_up', index: slot, button: b});
        note('joy ' + (pressed ? 'down ' : 'up ') + slot + ' ' + b);
      }
      for (var a = 0; a < 2 && a < p.axes.length; a++) {
        var value = axisValue(p.axes[a]);
        if (value == seen.axes[a] || (seen.axes[a] === undefined && value == 0)) continue;
        seen.axes[a] = value;
        push({type: 'joystick_axis_motion', index: slot, axis: a, value: p.axes[a]});
        note('axis ' + slot + ' ' + a + ' ' + value);
      }
      slot++;
    }
    requestAnimationFrame(pollPads);
  }
  requestAnimationFrame(pollPads);

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
    ended.hidden = true;
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
      zmPass: function(p, pixels) {
        if (session && p > 0) session.hashes.push(screenHash(instance.HEAPU8, pixels));
        pass = p;
      },
      zmSound: function(channel, id, result) {
        if (session) session.sounds.push({time: performance.now(), channel: channel, id: id, result: result});
      },
      zmEnded: function(status) {
        run = null;
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

  layout();
  start();
})();
