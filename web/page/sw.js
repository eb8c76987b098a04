// The site's service worker: after one visit the game loads and plays with
// no network. Each build has a cache of its own (VERSION, a hash of its
// files, written in by web/site.js with the list of FILES), filled whole at
// install. A new build's worker waits until no page of the old one is open,
// then removes the old cache: a page never mixes two builds' files.
'use strict';
var VERSION = '@VERSION@';
var FILES = '@FILES@';
var PREFIX = 'zultmirax ' + self.registration.scope + ' ';  // two sites on one host keep apart
var CACHE = PREFIX + VERSION;

self.addEventListener('install', function(e) {
  e.waitUntil(caches.open(CACHE).then(function(cache) {
    return cache.addAll(FILES.map(function(f) { return new Request(f, {cache: 'reload'}); }));
  }));
});

self.addEventListener('activate', function(e) {
  e.waitUntil(caches.keys().then(function(keys) {
    return Promise.all(keys.filter(function(k) { return k.indexOf(PREFIX) == 0 && k != CACHE; })
                           .map(function(k) { return caches.delete(k); }));
  }));
});

self.addEventListener('fetch', function(e) {
  if (e.request.method != 'GET' || new URL(e.request.url).origin != location.origin) return;
  e.respondWith(caches.open(CACHE).then(function(cache) {
    return cache.match(e.request, {ignoreSearch: true}).then(function(hit) { return hit || fetch(e.request); });
  }));
});
