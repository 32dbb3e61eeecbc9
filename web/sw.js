// The service worker: after one visit the page loads and plays with no network. It keeps one
// version of the page's files, the engine's module and the puzzles in a cache named after
// that version. gen/offline.js (written by tools/build-web.sh) names the files and the
// version, a digest of their contents: any change to one of them makes a new version, which
// the browser installs beside the old one at the next visit; it takes over once no page of
// the old version is open (a running page never mixes two versions' files) and deletes the
// old cache.
'use strict';

importScripts('gen/offline.js');  // self.OFFLINE: {version, files}

const PREFIX = 'quillmot-';
const CACHE = PREFIX + self.OFFLINE.version;

self.addEventListener('install', (event) => {
  // Every file anew from the server, past the browser's own cache.
  const requests = self.OFFLINE.files.map((file) => new Request(file, { cache: 'reload' }));
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(requests)));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((names) => Promise.all(names
    .filter((name) => name.startsWith(PREFIX) && name !== CACHE)
    .map((name) => caches.delete(name)))));
});

// The cached file when there is one (the page's address holds its game after #, which no
// request carries), else the network.
self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(caches.open(CACHE)
    .then((cache) => cache.match(event.request, { ignoreSearch: true }))
    .then((cached) => cached || fetch(event.request)));
});
