// Serves every file of the page from its cache, so it works offline after the
// first visit. A new build has a new version: it is installed beside the
// running one and takes over on the next visit, never in the middle of one.
const version = 'tavio-@TAVIO_SITE_VERSION@';
const files = ['./', 'index.html', 'page.js', 'page.css', 'manifest.webmanifest', 'tavio.js', 'tavio.wasm',
               'texture.jpg', 'logo.png', 'icon.png'];

self.addEventListener('install', (event) => {
  event.waitUntil(caches.open(version).then((cache) => cache.addAll(files)));
});

self.addEventListener('activate', (event) => {
  event.waitUntil(caches.keys().then((keys) =>
    Promise.all(keys.filter((key) => key !== version).map((key) => caches.delete(key)))));
});

self.addEventListener('fetch', (event) => {
  if (event.request.method !== 'GET') return;
  // The query (?simulate=...) is the page's, not another file.
  event.respondWith(caches.open(version).then((cache) =>
    cache.match(event.request, {ignoreSearch: true}).then((hit) => hit || fetch(event.request))));
});
