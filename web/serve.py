#!/usr/bin/python3
"""Serves the browser build's folder (build-web/site) on http://127.0.0.1:8000.

With the two cross-origin isolation headers, which give the page
SharedArrayBuffer and so its web workers; --no-isolation leaves them out,
as a plain static host does (the page's service worker then adds them), and
with --no-service-worker as well the page fills on one thread.
"""
import argparse
import functools
import http.server
import sys


class SiteHandler(http.server.SimpleHTTPRequestHandler):
    isolated = True
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".js": "text/javascript",
    }

    service_worker = True

    def send_head(self):
        # A host without the page's service worker (as an old copy of the
        # site would be): the page then runs on what the headers give it.
        if not self.service_worker and self.path.split("?")[0].endswith("/sw.js"):
            self.send_error(404)
            return None
        return super().send_head()

    def end_headers(self):
        if self.isolated:
            self.send_header("Cross-Origin-Opener-Policy", "same-origin")
            self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def log_message(self, format, *args):
        pass


def make_server(folder, port=8000, isolated=True, host="127.0.0.1", service_worker=True):
    handler = functools.partial(
        type("Handler", (SiteHandler,), {"isolated": isolated, "service_worker": service_worker}),
        directory=folder)
    return http.server.ThreadingHTTPServer((host, port), handler)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--port", type=int, default=8000)
    parser.add_argument("--no-isolation", action="store_true")
    parser.add_argument("--no-service-worker", action="store_true",
                        help="refuse sw.js: with --no-isolation, the one-thread page")
    args = parser.parse_args()
    try:
        server = make_server(args.folder, args.port, not args.no_isolation,
                             service_worker=not args.no_service_worker)
    except OSError as e:
        sys.exit(f"serve.py: cannot serve on port {args.port}: {e.strerror}")
    print(f"noisedemo in the browser: http://127.0.0.1:{server.server_address[1]}/"
          + ("" if not args.no_isolation else "  (not cross-origin isolated: one thread)"),
          flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass


if __name__ == "__main__":
    main()
