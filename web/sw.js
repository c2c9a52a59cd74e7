'use strict';
// The page's service worker: it keeps every file of one version of the page,
// so that after one visit the game loads and plays offline. A new version is
// installed whole beside the old one (files the page or the old version
// already holds with the same bytes are copied, not fetched again) and takes
// over only when no page uses the old one, or when the page asks it to.
// The build fills in the version and the files.
const VERSION = '@VERSION@';
const FILES = '@FILES@';
// A visit before any worker keeps what it fetched in 'ortelanka-page'.
const CACHE = 'ortelanka-' + VERSION;

const hex = buffer => Array.from(new Uint8Array(buffer), b => b.toString(16).padStart(2, '0')).join('');
// A file is listed with the start of its SHA-256 (and a gzipped one also with its contents').
async function listedBytes(response, digests) {
  const digest = hex(await crypto.subtle.digest('SHA-256', await response.clone().arrayBuffer()));
  return digests.some(listed => digest.startsWith(listed));
}

self.addEventListener('install', event => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE);
    await Promise.all(FILES.map(async ([name, ...digests]) => {
      const kept = await caches.match(name);
      if (kept && await listedBytes(kept, digests)) {
        await cache.put(name, kept);
        return;
      }
      const response = await fetch(name, { cache: 'no-cache' });
      if (!response.ok)
        throw new Error(name + ': ' + response.status);
      await cache.put(name, response);
    }));
  })());
});

self.addEventListener('activate', event => {
  event.waitUntil((async () => {
    for (const name of await caches.keys())
      if (name !== CACHE && name.startsWith('ortelanka-'))
        await caches.delete(name);
    await self.clients.claim();
  })());
});

self.addEventListener('message', event => {
  if (event.data === 'take over')
    self.skipWaiting();
});

self.addEventListener('fetch', event => {
  const request = event.request;
  const url = new URL(request.url);
  if (request.method !== 'GET' || url.origin !== location.origin)
    return;
  event.respondWith((async () => {
    const cache = await caches.open(CACHE);
    const scope = new URL(self.registration.scope);
    const page = url.pathname === scope.pathname || url.pathname === scope.pathname + 'index.html';
    const name = page ? './' : request;
    return (await cache.match(name, { ignoreSearch: true })) || fetch(request);
  })());
});
