"""Debian's Firefox ESR, headless, driven through WebDriver BiDi.

Firefox's own remote agent speaks BiDi over a websocket
(--remote-debugging-port); python3-websocket is all the client needs, as for
Chromium (chromium.py). For the browser tests' second browser.
"""
import itertools
import json
import os
import shutil
import subprocess
import tempfile
import time

import websocket

FIREFOX = "/usr/bin/firefox-esr"


class BrowserError(RuntimeError):
    pass


class Firefox:
    """One headless Firefox with one tab, closed with the object."""

    def __init__(self, timeout=90.0, width=1500, height=1250):
        self.profile = tempfile.mkdtemp(prefix="noisedemo-firefox-")
        self.timeout = timeout
        self.log = os.path.join(self.profile, "firefox.log")
        with open(self.log, "wb") as log:
            # Port 0: Firefox chooses one and says which on its standard error.
            self.process = subprocess.Popen(
                [FIREFOX, "--headless", "--no-remote", "--remote-debugging-port=0",
                 "--profile", self.profile, "about:blank"],
                stdout=log, stderr=subprocess.STDOUT)
        try:
            self.socket = websocket.create_connection(self._address() + "/session",
                                                      timeout=timeout, suppress_origin=True)
            self._ids = itertools.count(1)
            self.call("session.new", capabilities={})
            self.context = self.call("browsingContext.getTree")["contexts"][0]["context"]
            self.call("browsingContext.setViewport", context=self.context,
                      viewport={"width": width, "height": height})
        except Exception:
            self.close()
            raise

    def _address(self):
        deadline = time.monotonic() + self.timeout
        while time.monotonic() < deadline:
            if self.process.poll() is not None:
                raise BrowserError("firefox ended at start: " + open(self.log, errors="replace").read())
            with open(self.log, errors="replace") as f:
                for line in f:
                    if line.startswith("WebDriver BiDi listening on "):
                        return line.split(" on ", 1)[1].strip()
            time.sleep(0.05)
        raise BrowserError("firefox did not start its remote agent")

    def call(self, method, **params):
        ident = next(self._ids)
        self.socket.send(json.dumps({"id": ident, "method": method, "params": params}))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == ident:
                if reply.get("type") == "error":
                    raise BrowserError(f"{method}: {reply.get('error')}: {reply.get('message')}")
                return reply.get("result", {})

    def evaluate(self, expression):
        """The expression's value (awaited), carried over as JSON."""
        result = self.call("script.evaluate", target={"context": self.context},
                           awaitPromise=True,
                           expression=f"(async () => JSON.stringify(await ({expression})))()")
        if result.get("type") == "exception":
            raise BrowserError(f"{expression}: {result['exceptionDetails'].get('text')}")
        value = result["result"].get("value")
        return None if value is None else json.loads(value)

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
        self.call("browsingContext.navigate", context=self.context, url=url, wait="complete")

    def keys(self, *keys):
        """Each key pressed and released, as the keyboard gives it to what has the focus."""
        actions = []
        for key in keys:
            value = {"Tab": "\ue004", "Enter": "\ue007", "Escape": "\ue00c"}.get(key, key)
            actions += [{"type": "keyDown", "value": value}, {"type": "keyUp", "value": value}]
        self.call("input.performActions", context=self.context,
                  actions=[{"type": "key", "id": "keyboard", "actions": actions}])

    def click(self, x, y):
        """A mouse click at (x, y) in the viewport's CSS pixels."""
        self.call("input.performActions", context=self.context, actions=[{
            "type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"},
            "actions": [{"type": "pointerMove", "x": int(x), "y": int(y), "origin": "viewport"},
                        {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0}]}])

    def close(self):
        try:
            if getattr(self, "socket", None) is not None:
                self.socket.close()
        finally:
            if self.process.poll() is None:
                self.process.terminate()
                try:
                    self.process.wait(timeout=20)
                except subprocess.TimeoutExpired:
                    self.process.kill()
                    self.process.wait()
            shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
