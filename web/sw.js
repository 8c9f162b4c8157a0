// The page's service worker: it makes any static host a good one.
//
// - Threads: a host that cannot send the two cross-origin isolation headers
//   still gets a cross-origin isolated page (SharedArrayBuffer, so the fill's
//   web workers), because every response of the site passes through here and
//   leaves with the headers added. The page registers this worker and
//   reloads once, so that its own document comes through it too.
// - Offline: the site is kept in a cache, filled when the worker installs
//   and refreshed by every answer from the network; with no network the
//   cached copy answers, so after one visit the page works without one.
// - A new build: the network is asked first, always revalidating, so the
//   next visit after a new build shows the new build (and caches it).
"use strict";

const CACHE = "noisedemo-site";
// The files of the page, relative to this worker (the site's folder, which
// may be a sub-path of its host). A file missing from a build (a site
// copied from an older one) is left out of the cache.
const SITE = [
  "./", "index.html", "address.js", "page.js", "manifest.webmanifest", "icon-192.png",
  "icon-512.png",
  "noisedemo-simd.js", "noisedemo-simd.wasm",
  "noisedemo-mt.js", "noisedemo-mt.wasm", "noisedemo-mt.worker.js",
  "noisedemo-file.js",
];

async function keep(cache, url) {
  try {
    const response = await fetch(url, { cache: "no-cache" });
    if (response.ok) await cache.put(url, response);
  } catch (e) {
    // Unreachable now: it is cached when the page asks for it.
  }
}

self.addEventListener("install", (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(CACHE).catch(() => null);
    if (cache) await Promise.all(SITE.map((name) => keep(cache, new URL(name, self.location).href)));
    await self.skipWaiting();
  })());
});

self.addEventListener("activate", (event) => {
  event.waitUntil(self.clients.claim());
});

// The response as the page needs it: the isolation headers, and .wasm as
// application/wasm (a plain server may not know the type, and the browser
// then compiles the module only after reading all of it).
function withHeaders(response, url) {
  if (response.type === "opaque" || response.status === 0) return response;
  const headers = new Headers(response.headers);
  headers.set("Cross-Origin-Opener-Policy", "same-origin");
  headers.set("Cross-Origin-Embedder-Policy", "require-corp");
  headers.set("Cross-Origin-Resource-Policy", "same-origin");
  if (url.pathname.endsWith(".wasm")) headers.set("Content-Type", "application/wasm");
  return new Response(response.body, { status: response.status, statusText: response.statusText,
                                        headers });
}

async function answer(request) {
  const url = new URL(request.url);
  // The page's address carries its settings after "?": one cached copy of
  // the page serves them all.
  const key = url.origin + url.pathname;
  // Without storage (refused, or full) the page still gets its headers.
  const cache = await caches.open(CACHE).catch(() => null);
  let response;
  try {
    response = await fetch(request, { cache: "no-cache" });
    if (response.ok && cache) await cache.put(key, response.clone()).catch(() => {});
  } catch (e) {
    response = cache && await cache.match(key);
    if (!response) throw e;
  }
  return withHeaders(response, url);
}

self.addEventListener("fetch", (event) => {
  const request = event.request;
  // Only the site's own files; anything else goes its way untouched.
  if (request.method !== "GET" || new URL(request.url).origin !== self.location.origin) return;
  event.respondWith(answer(request));
});
