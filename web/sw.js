// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps the page working offline once it has been loaded: every file it is
// made of is cached on the first visit. Online, the files come from the
// server (and refresh the cache), so a new version is never hidden by an old
// one; offline, they come from the cache.
const CACHE = 'jt4dds-v3';
const FILES = ['./', 'index.html', 'canvas.js', 'app.js', 'style.css', 'jt4dds.js', 'jt4dds.wasm', 'icon.svg'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(CACHE).then((cache) => cache.addAll(FILES)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys()
    .then((keys) => Promise.all(keys.filter((key) => key !== CACHE).map((key) => caches.delete(key))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  event.respondWith(fetch(event.request)
    .then((response) => {
      if (response.ok) {
        const copy = response.clone();
        caches.open(CACHE).then((cache) => cache.put(event.request, copy));
      }
      return response;
    })
    .catch(() => caches.match(event.request, { ignoreSearch: true })));
});
