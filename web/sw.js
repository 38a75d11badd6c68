'use strict';
// Keeps the page for a lesson without a network. The cache's name is the build's own (a hash
// of the site's files), so a new version is fetched whole and replaces the old copy.
const cacheName = 'tovemi-@TOVEMI_SITE_HASH@';
const siteFiles = [@TOVEMI_SITE_FILES@];

self.addEventListener('install', event => {
    // One by one: a picture or sound a teacher has taken away must not keep the rest out.
    event.waitUntil(caches.open(cacheName)
        .then(cache => Promise.allSettled(siteFiles.map(file => cache.add(file))))
        .then(() => self.skipWaiting()));
});

self.addEventListener('activate', event => {
    event.waitUntil(caches.keys()
        .then(names => Promise.all(names.filter(name => name.startsWith('tovemi-') && name !== cacheName)
                                        .map(name => caches.delete(name))))
        .then(() => self.clients.claim()));
});

// The network first, so a teacher's replaced picture or sound takes effect at once; the
// kept copy when there is no network. A missing file stays missing: it is reported.
self.addEventListener('fetch', event => {
    if (event.request.method !== 'GET' || new URL(event.request.url).origin !== location.origin)
        return;
    event.respondWith((async () => {
        const cache = await caches.open(cacheName);
        try {
            const response = await fetch(event.request);
            if (response.ok)
                await cache.put(event.request, response.clone());
            return response;
        } catch (error) {
            const kept = await cache.match(event.request, { ignoreSearch: true });
            if (kept)
                return kept;
            throw error;
        }
    })());
});
