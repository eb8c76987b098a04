// The page's way into the game's SDL: it feeds the keys of its own
// element, its touch buttons and the pads into SDL's event queue.
Module['zmPush'] = function(event) {
  SDL.events.push(event);
};
// The game asks nothing of the runtime's browser helpers (pointer lock,
// preloading), whose set-up would leave four document listeners per run
// holding the run, and its memory, for as long as the page lives.
Browser.initted = true;
// At the end of a run: what SDL set on the window goes with it, so that
// nothing outside the run keeps it alive.
Module['zmRelease'] = function() {
  window.removeEventListener('unload', SDL.receiveEvent);
  ['touchstart', 'touchend', 'touchmove', 'mousedown', 'mouseup', 'mousemove', 'DOMMouseScroll', 'mousewheel', 'wheel',
   'mouseout'].forEach(function(type) {
    Module['canvas'].removeEventListener(type, SDL.receiveEvent, true);
  });
};
