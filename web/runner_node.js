// The replay runner runs under node, where nobody sees a page: SDL still
// asks for a window, a document and a canvas when it starts, so it gets
// stand-ins that draw nothing. The game draws into the surface's own
// memory, which screenshots read.
(function() {
  var nothing = function() {};
  var style = {setProperty: nothing, removeProperty: nothing};
  var context = {
    createImageData: function(w, h) { return {width: w, height: h, data: new Uint8ClampedArray(w * h * 4)}; },
    getImageData: function(x, y, w, h) { return context.createImageData(w, h); },
    putImageData: nothing,
    fillRect: nothing,
    drawImage: nothing,
  };
  var element = function() {
    return {width: 0, height: 0, style: style, addEventListener: nothing, removeEventListener: nothing,
            getContext: function() { return context; }, getBoundingClientRect: function() {
              return {left: 0, top: 0, width: 0, height: 0};
            }};
  };
  globalThis.window = {addEventListener: nothing, removeEventListener: nothing};
  globalThis.document = {addEventListener: nothing, removeEventListener: nothing, createElement: element};
  Module['canvas'] = element();
  Module['doNotCaptureKeyboard'] = true;
  Module['noImageDecoding'] = true;  // nor images nor sounds to decode
  Module['noAudioDecoding'] = true;
})();
