"""Debian's Chromium, headless, driven through the DevTools protocol.

For the browser tests and the in-browser benchmark. Only python3-websocket
(Debian) is needed: no package that downloads a browser of its own.
"""
import base64
import itertools
import json
import os
import subprocess
import time
import urllib.request

import websocket

from browser import Browser, BrowserError  # noqa: F401 (the tests catch it here)

CHROMIUM = "/usr/bin/chromium"
FLAGS = [
    "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-extensions", "--mute-audio", "--hide-scrollbars",
]


class Chromium(Browser):
    """One headless Chromium with one page, closed with the object."""

    def __init__(self, timeout=60.0, extra_flags=()):
        super().__init__("chromium", timeout)
        self.downloads = os.path.join(self.profile, "downloads")
        os.mkdir(self.downloads)
        self.events = []
        self._ids = itertools.count(1)
        self.launch([CHROMIUM, *FLAGS, *extra_flags, "--remote-debugging-port=0",
                     f"--user-data-dir={self.profile}", "about:blank"], subprocess.DEVNULL, self._connect)

    def _connect(self):
        self.socket = websocket.create_connection(self.until(self._page_socket, "DevTools endpoint"),
                                                  timeout=self.timeout, suppress_origin=True)
        self.call("Page.enable")
        self.call("Runtime.enable")
        self.call("Browser.setDownloadBehavior", behavior="allow",
                  downloadPath=self.downloads, eventsEnabled=True)

    def _page_socket(self):
        # Chromium writes the port it chose into the profile once it listens.
        try:
            with open(os.path.join(self.profile, "DevToolsActivePort")) as f:
                port = int(f.readline())
            with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list") as r:
                pages = [t for t in json.load(r) if t["type"] == "page"]
            return pages[0]["webSocketDebuggerUrl"] if pages else None
        except (OSError, ValueError):
            return None

    def call(self, method, **params):
        """Sends one command and returns its result, keeping events seen meanwhile."""
        ident = next(self._ids)
        self.socket.send(json.dumps({"id": ident, "method": method, "params": params}))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == ident:
                if "error" in reply:
                    raise BrowserError(f"{method}: {reply['error']}")
                return reply.get("result", {})
            if "method" in reply:
                self.events.append(reply)

    def evaluate(self, expression, await_promise=True):
        result = self.call("Runtime.evaluate", expression=expression,
                           awaitPromise=await_promise, returnByValue=True)
        if "exceptionDetails" in result:
            raise BrowserError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def navigate(self, url):
        self.call("Page.navigate", url=url)

    def wait_event(self, method, timeout=None):
        deadline = time.monotonic() + (timeout or self.timeout)
        while True:
            for event in self.events:
                if event["method"] == method:
                    self.events.remove(event)
                    return event["params"]
            if time.monotonic() > deadline:
                raise BrowserError(f"no {method} event")
            self.socket.settimeout(max(0.01, deadline - time.monotonic()))
            try:
                reply = json.loads(self.socket.recv())
            except websocket.WebSocketTimeoutException:
                continue
            finally:
                self.socket.settimeout(self.timeout)
            if "method" in reply:
                self.events.append(reply)

    def key(self, key):
        for kind in ("keyDown", "keyUp"):
            self.call("Input.dispatchKeyEvent", type=kind, key=key, text=key if kind == "keyDown" else "")

    def screenshot(self, x, y, width, height):
        """The page's pixels in a rectangle, as PNG bytes, one pixel per CSS pixel."""
        data = self.call("Page.captureScreenshot", format="png",
                         clip={"x": x, "y": y, "width": width, "height": height, "scale": 1})
        return base64.b64decode(data["data"])
