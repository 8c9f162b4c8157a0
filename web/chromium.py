"""Debian's Chromium, headless, driven through the DevTools protocol.

For the browser tests and the in-browser benchmark. Only python3-websocket
(Debian) is needed: no package that downloads a browser of its own.
"""
import base64
import itertools
import json
import os
import shutil
import subprocess
import tempfile
import time
import urllib.request

import websocket

CHROMIUM = "/usr/bin/chromium"
FLAGS = [
    "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-extensions", "--mute-audio", "--hide-scrollbars",
]


class BrowserError(RuntimeError):
    pass


class Chromium:
    """One headless Chromium with one page, closed with the object."""

    def __init__(self, timeout=60.0, extra_flags=()):
        self.profile = tempfile.mkdtemp(prefix="noisedemo-chromium-")
        self.downloads = os.path.join(self.profile, "downloads")
        os.mkdir(self.downloads)
        self.timeout = timeout
        self.events = []
        self.process = subprocess.Popen(
            [CHROMIUM, *FLAGS, *extra_flags, "--remote-debugging-port=0",
             f"--user-data-dir={self.profile}", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            self.socket = websocket.create_connection(self._page_socket(), timeout=timeout,
                                                      suppress_origin=True)
        except Exception:
            self.close()
            raise
        self._ids = itertools.count(1)
        self.call("Page.enable")
        self.call("Runtime.enable")
        self.call("Browser.setDownloadBehavior", behavior="allow",
                  downloadPath=self.downloads, eventsEnabled=True)

    def _page_socket(self):
        # Chromium writes the port it chose into the profile once it listens.
        port_file = os.path.join(self.profile, "DevToolsActivePort")
        deadline = time.monotonic() + self.timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise BrowserError(f"chromium ended with status {self.process.returncode}")
            try:
                with open(port_file) as f:
                    port = int(f.readline())
                with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list") as r:
                    pages = [t for t in json.load(r) if t["type"] == "page"]
                if pages:
                    return pages[0]["webSocketDebuggerUrl"]
            except (OSError, ValueError):
                pass
            time.sleep(0.05)  # polling for the browser's start, not a wait on the page
        raise BrowserError("chromium did not start its DevTools endpoint")

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

    def wait_for(self, expression, timeout=None):
        """Waits in the page until expression is truthy; returns its value."""
        ms = int((timeout or self.timeout) * 1000)
        return self.evaluate(
            "new Promise((resolve, reject) => { const t0 = performance.now();"
            " (function poll() { let v; try { v = (" + expression + "); } catch (e) {}"
            " if (v) resolve(v); else if (performance.now() - t0 > " + str(ms) + ")"
            " reject(new Error('timed out waiting for: ' + " + json.dumps(expression) + "));"
            " else setTimeout(poll, 10); })(); })")

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

    def close(self):
        try:
            if getattr(self, "socket", None):
                self.socket.close()
        finally:
            if self.process.poll() is None:
                self.process.terminate()
                try:
                    self.process.wait(10)
                except subprocess.TimeoutExpired:
                    self.process.kill()
                    self.process.wait()
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
