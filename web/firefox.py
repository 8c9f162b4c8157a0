"""Debian's Firefox ESR, headless, driven through WebDriver BiDi.

Firefox's own remote agent speaks BiDi over a websocket
(--remote-debugging-port); python3-websocket is all the client needs, as for
Chromium (chromium.py). For the browser tests' second browser.
"""
import itertools
import json
import os
import websocket

from browser import Browser, BrowserError

FIREFOX = "/usr/bin/firefox-esr"


class Firefox(Browser):
    """One headless Firefox with one tab, closed with the object."""

    def __init__(self, timeout=90.0, width=1500, height=1250):
        super().__init__("firefox", timeout)
        self.log = os.path.join(self.profile, "firefox.log")
        with open(self.log, "wb") as log:
            # Port 0: Firefox chooses one and says which on its standard error.
            self.launch([FIREFOX, "--headless", "--no-remote", "--remote-debugging-port=0",
                         "--profile", self.profile, "about:blank"], log, lambda: self._connect(width, height))

    def _connect(self, width, height):
        self.socket = websocket.create_connection(self.until(self._address, "remote agent") + "/session",
                                                  timeout=self.timeout, suppress_origin=True)
        self._ids = itertools.count(1)
        self.call("session.new", capabilities={})
        self.context = self.call("browsingContext.getTree")["contexts"][0]["context"]
        self.call("browsingContext.setViewport", context=self.context,
                  viewport={"width": width, "height": height})

    def _address(self):
        with open(self.log, errors="replace") as f:
            for line in f:
                if line.startswith("WebDriver BiDi listening on "):
                    return line.split(" on ", 1)[1].strip()

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
