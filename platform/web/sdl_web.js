// The browser's SDL, where the game needs it to behave as the desktop's.
// These replace the calls of the same names in Emscripten's SDL.
mergeInto(LibraryManager.library, {
  // The surface's pixels live in the program's memory and are the picture:
  // a lock and an unlock copy nothing (Emscripten's copy the whole screen
  // from the canvas and back at each). The canvas shows what the game drew
  // when the display shows it (SDL_UpdateRect), once a batch.
  SDL_LockSurface__deps: ['$SDL'],
  SDL_LockSurface: function(surf) {
    SDL.surfaces[surf].locked++;
    return 0;
  },
  SDL_UnlockSurface__deps: ['$SDL'],
  SDL_UnlockSurface: function(surf) {
    var s = SDL.surfaces[surf];
    if (s.locked > 0) s.locked--;
  },
  $zmShow__deps: ['$SDL'],
  $zmShow: function(surf) {
    var s = SDL.surfaces[surf];
    if (!s || !s.buffer || !s.ctx) return;
    if (!s.image) s.image = s.ctx.createImageData(s.width, s.height);
    s.image.data.set(HEAPU8.subarray(s.buffer, s.buffer + s.width * s.height * 4));
    s.ctx.putImageData(s.image, 0, 0);
    if (Module['zmShown']) Module['zmShown']();
  },
  SDL_UpdateRect__deps: ['$zmShow'],
  SDL_UpdateRect: function(surf, x, y, w, h) { zmShow(surf); },
  SDL_UpdateRects__deps: ['$zmShow'],
  SDL_UpdateRects: function(surf, n, rects) { zmShow(surf); },
  SDL_Flip__deps: ['$zmShow'],
  SDL_Flip: function(surf) { zmShow(surf); return 0; },

  // The page reads the pads itself (it sees a pad that appears after
  // start-up, and keeps the browser's standard numbering) and feeds their
  // events to the queue: SDL's own polling stays out.
  SDL_NumJoysticks: function() { return 0; },

  // The paced wait yields to the browser. While the tab is hidden the game
  // waits here, as if the machine were paused, and goes on when it is shown
  // again; a hidden tab would otherwise run it at one pass a second.
  SDL_Delay: function(ms) {
    Asyncify.handleSleep(function(wakeUp) {
      if (typeof document == 'undefined' || !document.hidden) {
        setTimeout(wakeUp, ms);
        return;
      }
      var shown = function() {
        if (document.hidden) return;
        document.removeEventListener('visibilitychange', shown);
        wakeUp();
      };
      document.addEventListener('visibilitychange', shown);
    });
  },

  // The sound device. The mixer asks for 8000 Hz unsigned 8-bit mono in
  // blocks; Emscripten's SDL would play those at 22050 Hz (too fast and too
  // high) and never silence the stream before the callback. Here the
  // device runs at four times the rate, each sample played four times, so
  // the blocks keep their rate and pitch; the stream is silence before each
  // callback; and no more than ZM_AHEAD seconds are queued, so a sound
  // reaches the speakers soon after it starts.
  $ZMAudio: {
    REPEAT: 4,
    AHEAD: 0.015,
    ctx: null,
    callback: 0,
    userdata: 0,
    samples: 0,  // a callback's samples, as the mixer asked (Snd_DeviceSamples)
    freq: 0,
    buffer: 0,
    paused: 1,
    timer: null,
    start: -1,
    playAt: 0,
    taken: 0,
    wasRunning: false,
    consumed: 0,
    lastBlockSilent: true,
    onsets: [],
    // What the mixer asked for at a time (a quarter of a block), into
    // memory that starts as silence. The mixer's callback takes any length
    // and mixes each block when the one before it has been handed over:
    // asked for quarters, it hands a sound over at most a block and a
    // quarter after it starts, where whole blocks would wait up to two.
    pull: function() {
      var a = ZMAudio;
      HEAPU8.fill(128, a.buffer, a.buffer + a.samples);
      {{{ makeDynCall('viii', 'a.callback') }}}(a.userdata, a.buffer, a.samples);
      a.consumed += a.samples;
      return HEAPU8.subarray(a.buffer, a.buffer + a.samples);
    },
    // Blocks are taken at the device's own rate, by its clock (by the
    // page's until sound starts), AHEAD seconds before they play. A late
    // timer never changes how many the mixer hands over: the blocks owed
    // are taken at once and play from now on; when too many wait (the
    // device caught up late), a block is dropped unheard rather than heard
    // late, so that a sound is never far behind the picture.
    pump: function() {
      var a = ZMAudio;
      if (a.paused || !a.callback) return;
      if (typeof document != 'undefined' && document.hidden) {
        a.start = -1;  // the game waits; so does its sound
        return;
      }
      var blockSeconds = a.samples / a.freq;
      var running = a.ctx && a.ctx.state == 'running';
      var now = running ? a.ctx.currentTime : performance.now() / 1000;
      if (a.start < 0 || running != a.wasRunning) {
        a.start = now;
        a.taken = 0;
        a.playAt = 0;
        a.wasRunning = running;
      }
      var due = Math.floor((now - a.start + (running ? a.AHEAD : 0)) / blockSeconds) + 1;
      while (a.taken < due) {
        var block = a.pull();
        a.taken++;
        if (!running) continue;  // no sound yet (browsers start it after a gesture): dropped
        try {
          a.play(block, now);
        } catch (e) {
          a.ctx = null;  // a device that fails is dropped: the game plays on, silent
          running = false;
        }
      }
    },
    // One block to the device, to play at the end of what it has queued.
    play: function(block, now) {
      var a = ZMAudio;
      var blockSeconds = a.samples / a.freq;
      var at = Math.max(a.playAt, now + 0.002);
      if (at > now + a.AHEAD + blockSeconds) return;
      a.playAt = at + blockSeconds;
      var out = a.ctx.createBuffer(1, a.samples * a.REPEAT, a.freq * a.REPEAT);
      var data = out.getChannelData(0);
      var silent = true;
      for (var i = 0; i < a.samples; i++) {
        var v = (block[i] - 128) / 128;
        if (block[i] != 128) silent = false;
        for (var k = 0; k < a.REPEAT; k++) data[i * a.REPEAT + k] = v;
      }
      if (!silent && a.lastBlockSilent) {
        // When this block's first sample reaches the speakers, in the
        // page's clock: for the latency the page measures.
        var lead = at - now + (a.ctx.outputLatency || a.ctx.baseLatency || 0);
        a.onsets.push(performance.now() + lead * 1000);
        if (a.onsets.length > 64) a.onsets.shift();
      }
      a.lastBlockSilent = silent;
      var source = a.ctx.createBufferSource();
      source.buffer = out;
      source.connect(a.ctx.destination);
      source.start(at);
    },
    // The page calls this at every key, click or touch. A device that will
    // not start (it refuses, or stays suspended) leaves the game silent.
    resume: function() {
      var ctx = ZMAudio.ctx;
      if (!ctx || ctx.state != 'suspended') return;
      try {
        var started = ctx.resume();
        if (started && started.catch) started.catch(function() {});
      } catch (e) {
      }
    },
  },
  SDL_OpenAudio__deps: ['$ZMAudio'],
  SDL_OpenAudio: function(desired, obtained) {
    var a = ZMAudio;
    var freq = {{{ makeGetValue('desired', C_STRUCTS.SDL_AudioSpec.freq, 'i32', 0, 1) }}};
    var format = {{{ makeGetValue('desired', C_STRUCTS.SDL_AudioSpec.format, 'i16', 0, 1) }}};
    var channels = {{{ makeGetValue('desired', C_STRUCTS.SDL_AudioSpec.channels, 'i8', 0, 1) }}};
    var samples = {{{ makeGetValue('desired', C_STRUCTS.SDL_AudioSpec.samples, 'i16', 0, 1) }}};
    if (format != 0x0008 /* AUDIO_U8 */ || channels != 1 || samples <= 0 || a.callback) return -1;
    // No sound device, or one that cannot be made, is a silent one: the
    // mixer is still called by the page's clock, so the game runs as with
    // sound.
    var Context = typeof AudioContext != 'undefined' ? AudioContext :
                  typeof webkitAudioContext != 'undefined' ? webkitAudioContext : null;
    a.ctx = null;
    [{sampleRate: freq * a.REPEAT, latencyHint: 'interactive'},
     {latencyHint: 'interactive'}].forEach(function(options) {  // the second resamples the blocks
      if (a.ctx || !Context) return;
      try {
        a.ctx = new Context(options);
      } catch (e) {
      }
    });
    a.freq = freq;
    a.samples = samples;
    a.callback = {{{ makeGetValue('desired', C_STRUCTS.SDL_AudioSpec.callback, 'void*') }}};
    a.userdata = {{{ makeGetValue('desired', C_STRUCTS.SDL_AudioSpec.userdata, 'void*') }}};
    a.buffer = _malloc(a.samples);
    a.paused = 1;
    a.consumed = 0;
    if (obtained) HEAPU8.copyWithin(obtained, desired, desired + {{{ C_STRUCTS.SDL_AudioSpec.__size__ }}});
    Module['zmAudio'] = a;
    return 0;
  },
  SDL_PauseAudio__deps: ['$ZMAudio'],
  SDL_PauseAudio: function(pauseOn) {
    var a = ZMAudio;
    a.paused = pauseOn;
    if (!pauseOn && !a.timer) a.timer = setInterval(a.pump, 4);
    if (pauseOn && a.timer) {
      clearInterval(a.timer);
      a.timer = null;
    }
  },
  // The callback runs on the page's one thread, between the game's steps.
  SDL_LockAudio: function() {},
  SDL_UnlockAudio: function() {},
  SDL_CloseAudio__deps: ['$ZMAudio', 'SDL_PauseAudio'],
  SDL_CloseAudio: function() {
    var a = ZMAudio;
    _SDL_PauseAudio(1);
    try {
      var closed = a.ctx && a.ctx.close();
      if (closed && closed.catch) closed.catch(function() {});
    } catch (e) {
    }
    if (a.buffer) _free(a.buffer);
    a.ctx = null;
    a.callback = 0;
    a.buffer = 0;
  },
});
