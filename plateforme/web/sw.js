// Keeps this build's files so the page starts with no network. The cache is named after
// the build (a hash of its files): a new build fills its own, and once it takes over it
// drops every other, so an old file is never served beside new code.
const CACHE = '@NOM@';
const FICHIERS = [@FICHIERS@];

self.addEventListener('install', e => {
  // Checked with the server, never taken unchecked from the browser's own cache of an
  // older build; the page registers the worker once it has loaded its files, so on a
  // first visit the server answers each with a bodiless 304 and the page is sent once.
  e.waitUntil(caches.open(CACHE)
    .then(c => c.addAll(FICHIERS.map(f => new Request(f, { cache: 'no-cache' }))))
    .then(() => self.skipWaiting()));
});

self.addEventListener('activate', e => {
  e.waitUntil(caches.keys()
    .then(noms => Promise.all(noms.filter(n => n !== CACHE).map(n => caches.delete(n))))
    .then(() => self.clients.claim()));
});

self.addEventListener('fetch', e => {
  if (e.request.method !== 'GET')
    return;
  e.respondWith(caches.open(CACHE)
    .then(c => c.match(e.request, { ignoreSearch: true }))
    .then(r => r || fetch(e.request)));
});
