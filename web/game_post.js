// The page's way into the game's SDL: it feeds the keys of its own
// element, its touch buttons and the pads into SDL's event queue.
Module['zmPush'] = function(event) {
  SDL.events.push(event);
};
