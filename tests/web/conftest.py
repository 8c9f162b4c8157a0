"""The whole program in Debian's headless Chromium, beside the native program.

NOISEDEMO names the native program and NOISEDEMO_SITE the browser build's
folder (build-web/site); tests/CMakeLists.txt sets both. The site is served
twice: with the cross-origin isolation headers (the page then fills with web
workers) and without them (one thread). One browser serves the whole run:
its first tab is the page under test, a second tab opens fresh pages whose
graph is the reference for the first's.

Every wait is on a condition in the page: its ready or error flag,
`module._NdBusy()` falling to 0 (the program has drawn everything posted and
the page has copied it onto the canvases in the same animation frame), a
canvas size, a download event.
"""
import base64
import io
import itertools
import json
import os
import runpy
import struct
import subprocess
import sys
import threading
import types
import urllib.request

import pytest
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
sys.path.insert(0, os.path.join(ROOT, "web"))

import chromium  # noqa: E402
import serve  # noqa: E402
import websocket  # noqa: E402

PROGRAM = os.environ.get("NOISEDEMO") or os.path.join(ROOT, "build", "noisedemo")
SITE = os.environ.get("NOISEDEMO_SITE") or os.path.join(ROOT, "build-web", "site")

# The desktop tests' readers of the panel and the graph: the page's pixels
# are the desktop's, so they read the canvases as they read X windows. Run as
# a namespace of their own: imported, it would be a second "conftest".
e2e = types.SimpleNamespace(**runpy.run_path(os.path.join(ROOT, "tests", "e2e", "conftest.py")))

GRAPH, TEXTURE, PANEL, VIEWS = 1, 2, 3, 4  # the page's window ids, in the order the program opens them
GRAPH_START, TEXTURE_START = e2e.GRAPH_START, e2e.TEXTURE_START
# Room for the three windows as the desktop places them, and for a texture
# window resized to 690 by 552 below the graph.
VIEWPORT = (1500, 1250)

NOISE_WORDS, BLEND_WORDS = e2e.NOISE_WORDS, e2e.BLEND_WORDS
SLOPE_WORDS, SCALE_WORDS = e2e.SLOPE_WORDS, e2e.SCALE_WORDS
export_names = e2e.export_names  # the desktop's file names, from the program


class Site:
    """The site served with or without the isolation headers. Without its
    service worker (sw.js refused), so that each keeps to what its headers
    give: the threaded page, and the one-thread page. The service worker's
    own tests (test_host.py) serve the site as a plain host does."""

    def __init__(self, isolated):
        self.server = serve.make_server(SITE, 0, isolated=isolated, service_worker=False)
        self.thread = threading.Thread(target=self.server.serve_forever, daemon=True)
        self.thread.start()
        self.url = f"http://127.0.0.1:{self.server.server_address[1]}/"

    def close(self):
        self.server.shutdown()
        self.server.server_close()


@pytest.fixture(scope="session")
def sites():
    isolated, plain = Site(True), Site(False)
    yield {True: isolated, False: plain}
    isolated.close()
    plain.close()


class Tab(chromium.Chromium):
    """A further tab of a running Chromium: the same calls, its own socket."""

    def __init__(self, browser):
        self.timeout = browser.timeout
        self.downloads = browser.downloads
        self.events = []
        self.process = None
        with open(os.path.join(browser.profile, "DevToolsActivePort")) as f:
            port = int(f.readline())
        request = urllib.request.Request(f"http://127.0.0.1:{port}/json/new?about:blank",
                                         method="PUT")
        with urllib.request.urlopen(request) as r:
            target = json.load(r)
        self.socket = websocket.create_connection(target["webSocketDebuggerUrl"],
                                                  timeout=self.timeout, suppress_origin=True)
        self._ids = itertools.count(1)
        self.call("Page.enable")
        self.call("Runtime.enable")

    def close(self):
        self.socket.close()


# The canvas's own pixels, RGBA top row first, as base64 (in slices: one
# String.fromCharCode call takes only so many arguments).
CANVAS_JS = """(() => {
  const c = noisedemoPage.windows.get(%d).canvas;
  const [x, y, w, h] = %s || [0, 0, c.width, c.height];
  const d = c.getContext('2d').getImageData(x, y, w, h).data;
  let s = '';
  for (let k = 0; k < d.length; k += 0x8000) s += String.fromCharCode.apply(null, d.subarray(k, k + 0x8000));
  return [w, h, btoa(s)];
})()"""


# The same pixels' digest, in the page.
DIGEST_JS = """(async () => {
  const c = noisedemoPage.windows.get(%d).canvas;
  const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
  const rgb = new Uint8Array(c.width * c.height * 3);
  for (let i = 0, j = 0; i < d.length; i += 4, j += 3) {
    if (d[i + 3] !== 255) return [c.width, c.height, 'not opaque'];
    rgb[j] = d[i]; rgb[j + 1] = d[i + 1]; rgb[j + 2] = d[i + 2];
  }
  const h = new Uint8Array(await crypto.subtle.digest('SHA-256', rgb));
  return [c.width, c.height, Array.from(h, (b) => b.toString(16).padStart(2, '0')).join('')];
})()"""


class Page:
    """The noise page in one tab: open it, drive it as a person would, read
    what it shows."""

    def __init__(self, tab):
        self.tab = tab
        # A new tab opens in front of the others.
        Page.in_front = None
        # One CSS pixel per screen pixel, so a screenshot holds the canvas as drawn.
        tab.call("Emulation.setDeviceMetricsOverride", width=VIEWPORT[0], height=VIEWPORT[1],
                 deviceScaleFactor=1, mobile=False)

    # The tab in front: a browser runs the animation frames, which draw,
    # only for the page in front, so a page is brought there before use.
    in_front = None

    def front(self):
        if Page.in_front is not self:
            self.tab.call("Page.bringToFront")
            Page.in_front = self

    def evaluate(self, expression):
        self.front()
        return self.tab.evaluate(expression)

    def wait_for(self, expression, timeout=None):
        self.front()
        return self.tab.wait_for(expression, timeout)

    def open(self, url, keep_bytes=True, reload=False, fitted=False):
        """Loads url (or reloads the page), waits until the program's windows
        are drawn or the page has given up, and returns what the page then
        says. keep_bytes: the page keeps each download's bytes for
        downloads() to read. The windows are where the desktop places them
        unless fitted."""
        if not fitted and not reload:
            url += ("&" if "?" in url else "?") + "layout=desktop"
        before = self.evaluate("performance.timeOrigin")
        self.tab.events.clear()
        self.front()
        if reload:
            self.tab.call("Page.reload")
        else:
            self.tab.navigate(url)
        ready = (f"performance.timeOrigin !== {before!r} && self.noisedemoPage"
                 " && ((noisedemoPage.ready && noisedemoPage.frames > 0"
                 "      && !noisedemoPage.module._NdBusy()) || noisedemoPage.error !== '')"
                 f" && (noisedemoPage.keepBytes = {json.dumps(keep_bytes)}, true)"
                 " && {ready: noisedemoPage.ready, error: noisedemoPage.error,"
                 "     message: document.getElementById('message').textContent,"
                 "     canvases: document.querySelectorAll('canvas').length,"
                 "     isolated: self.crossOriginIsolated}")
        # A page that reloads itself once (for its service worker) takes
        # the wait's document with it: the wait starts again in the new one.
        for attempt in range(3):
            try:
                return self.wait_for(ready)
            except chromium.BrowserError as e:
                if attempt == 2 or not any(w in str(e) for w in ("navigated", "context")):
                    raise

    def viewport(self, width, height, touch=False):
        """The browser window's size; with touch, a phone's or a tablet's
        (mobile emulation, touch events)."""
        self.tab.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                      deviceScaleFactor=1, mobile=touch)
        self.tab.call("Emulation.setTouchEmulationEnabled", enabled=touch, maxTouchPoints=1)

    def frames(self):
        """{window: (left, top, width, height)} of each window's frame (title
        bar and canvas) on the page, scrolled or not."""
        return {int(k): tuple(v) for k, v in self.evaluate(
            "Object.fromEntries([...noisedemoPage.windows.values()].map(w => { const r ="
            " w.frame.getBoundingClientRect(); return [w.id, [r.left + scrollX, r.top + scrollY,"
            " r.width, r.height]]; }))").items()}

    def touch(self, kind, window, x, y):
        """A finger at pixel (x, y) of the window (touchStart, touchMove) or
        lifted (touchEnd)."""
        left, top, _, _ = self.box(window)
        self.front()
        points = [] if kind == "touchEnd" else [{"x": left + x + 0.5, "y": top + y + 0.5}]
        self.tab.call("Input.dispatchTouchEvent", type=kind, touchPoints=points)

    def settle(self):
        """Waits until the program has drawn all it was asked to and the page
        has copied it onto the canvases."""
        self.wait_for("noisedemoPage.ended || (noisedemoPage.ready && !noisedemoPage.module._NdBusy())")

    def message(self):
        return self.evaluate("document.getElementById('message').textContent")

    def state(self, field):
        return self.evaluate(f"noisedemoPage.{field}")

    # -- what the canvases show ---------------------------------------------
    def canvas(self, window, box=None):
        """The canvas's own pixels (getImageData) as an RGB image, all of it
        or the (x, y, width, height) box. Every pixel must be opaque: the
        program draws whole windows."""
        width, height, data = self.evaluate(CANVAS_JS % (window, json.dumps(box)))
        rgba = Image.frombytes("RGBA", (width, height), base64.b64decode(data))
        assert rgba.getchannel("A").getextrema() == (255, 255), f"window {window} not opaque"
        return rgba.convert("RGB")

    def digest(self, window):
        """(width, height, SHA-256 of the canvas's RGB bytes), computed in the
        page: a whole-canvas comparison without carrying the pixels over."""
        return tuple(self.evaluate(DIGEST_JS % window))

    def pixels(self, window, points):
        """The canvas's RGB at each (x, y)."""
        return [tuple(p) for p in self.evaluate(
            f"(() => {{ const c = noisedemoPage.windows.get({window}).canvas;"
            " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
            f" return {json.dumps([list(p) for p in points])}.map(([x, y]) =>"
            " { const i = 4 * (y * c.width + x); return [d[i], d[i + 1], d[i + 2]]; }); })()")]

    def box(self, window):
        return self.evaluate(
            f"(() => {{ const r = noisedemoPage.windows.get({window}).canvas.getBoundingClientRect();"
            " return [r.left, r.top, r.width, r.height]; })()")

    def screenshot(self, window):
        """The canvas as the browser shows it: a screenshot of its rectangle."""
        x, y, w, h = self.box(window)
        data = self.tab.call("Page.captureScreenshot", format="png", captureBeyondViewport=True,
                             clip={"x": x, "y": y, "width": w, "height": h, "scale": 1})
        return Image.open(io.BytesIO(base64.b64decode(data["data"]))).convert("RGB")

    # The panel's controls, found once: every page lays the panel out alike,
    # and a panel laid out otherwise fails the checks of its states.
    found_layout = None

    def layout(self):
        """The panel's controls, found as the desktop tests find them."""
        if Page.found_layout is None:
            found = e2e.PanelLayout(self.canvas(PANEL))
            assert (len(found.radios), len(found.checkboxes), len(found.buttons),
                    len(found.sliders)) == (e2e.RADIOS, 2, 3, 2), found.controls
            Page.found_layout = found
        return Page.found_layout

    def panel_states(self):
        """What the panel shows, read at the places its layout gives: per
        radio button whether it is on and enabled, and the two check boxes'
        ticks."""
        layout = self.layout()
        points = [p for r in layout.radios for p in ((r.x + 7, r.y + 7), r.inside)]
        # Inside its frame (rows and columns 2 to 10) a check box is all
        # white when off; the tick is 7 columns of 3 black pixels.
        boxes = [[(b.x + dx, b.y + dy) for dx in range(2, 11) for dy in range(2, 11)]
                 for b in layout.checkboxes]
        colours = self.pixels(PANEL, points + boxes[0] + boxes[1])
        radios, ticks = colours[:len(points)], colours[len(points):]
        return {"on": [is_dark(c) for c in radios[0::2]],
                "enabled": [c == e2e.WHITE for c in radios[1::2]],
                "ticks": [sum(map(is_dark, ticks[:81])), sum(map(is_dark, ticks[81:]))]}

    # -- input, as the browser delivers it ----------------------------------
    def mouse(self, kind, window, x, y, buttons, button="left"):
        left, top, _, _ = self.box(window)
        self.front()
        # The middle of pixel (x, y): the page floors the position.
        self.tab.call("Input.dispatchMouseEvent", type=kind, x=left + x + 0.5, y=top + y + 0.5,
                      button=button, buttons=buttons, clickCount=1)

    def move(self, window, x, y):
        self.mouse("mouseMoved", window, x, y, 0, button="none")

    def press(self, window, x, y):
        self.move(window, x, y)
        self.mouse("mousePressed", window, x, y, 1)

    def release(self, window, x, y):
        self.mouse("mouseReleased", window, x, y, 0)

    def click(self, window, x, y):
        self.press(window, x, y)
        self.release(window, x, y)
        self.settle()

    def drag(self, window, points):
        self.press(window, *points[0])
        for x, y in points[1:]:
            self.mouse("mouseMoved", window, x, y, 1)
        self.release(window, *points[-1])
        self.settle()

    def key(self, window, key):
        """A key with the pointer over the window and no window focused:
        keys then go to the canvas under the pointer."""
        self.evaluate("document.activeElement && document.activeElement.blur()")
        self.move(window, 5, 5)
        text = key if len(key) == 1 else ""
        self.front()
        self.tab.call("Input.dispatchKeyEvent", type="keyDown", key=key, text=text)
        self.tab.call("Input.dispatchKeyEvent", type="keyUp", key=key)
        self.settle()

    def press_key(self, key, shift=False):
        """A key as the keyboard gives it to whatever has the focus (Tab
        moves the focus, as in a browser)."""
        codes = {"Tab": 9, "Enter": 13, " ": 32, "Escape": 27, "ArrowLeft": 37, "ArrowUp": 38,
                 "ArrowRight": 39, "ArrowDown": 40}
        self.front()
        text = key if len(key) == 1 else ("\r" if key == "Enter" else "")
        for kind in ("keyDown", "keyUp"):
            self.tab.call("Input.dispatchKeyEvent", type=kind, key=key, text=text if kind == "keyDown" else "",
                          windowsVirtualKeyCode=codes.get(key, ord(key.upper()[0])),
                          modifiers=8 if shift else 0)
        self.settle()

    def focused(self):
        """What has the focus: a window's id, a button's label, or the element's tag."""
        return self.evaluate("(e => e.dataset.window ? Number(e.dataset.window)"
                             " : e.tagName === 'BUTTON' ? e.textContent : e.tagName)"
                             "(document.activeElement)")

    def click_element(self, selector):
        """A mouse click in the middle of the page's element."""
        x, y = self.evaluate(f"(r => [r.left + r.width / 2, r.top + r.height / 2])"
                             f"(document.querySelector({json.dumps(selector)}).getBoundingClientRect())")
        self.front()
        for kind, buttons in (("mouseMoved", 0), ("mousePressed", 1), ("mouseReleased", 0)):
            self.tab.call("Input.dispatchMouseEvent", type=kind, x=x, y=y,
                          button="none" if kind == "mouseMoved" else "left", buttons=buttons,
                          clickCount=1)
        self.settle()

    def resize(self, window, width, height):
        """As a user drags the window's corner: the client area's new size,
        which the page's ResizeObserver hands to the program."""
        self.evaluate(f"(() => {{ const c = noisedemoPage.windows.get({window}).client;"
                      f" c.style.width = '{width}px'; c.style.height = '{height}px'; }})()")
        self.wait_for(f"(() => {{ const c = noisedemoPage.windows.get({window}).canvas;"
                      f" return c.width === {width} && c.height === {height}"
                      " && !noisedemoPage.module._NdBusy(); })()")

    def command(self, window=GRAPH):
        """Key i's command line, as the page shows it."""
        self.evaluate("noisedemoPage.command = ''")
        self.key(window, "i")
        return self.wait_for("noisedemoPage.command")

    def downloads(self, first=0):
        """[(name, bytes)] of every file the page handed to the browser, from
        the first-th on."""
        listed = self.evaluate(
            f"noisedemoPage.downloads.slice({first}).map(d => {{ let s = '';"
            " for (let k = 0; k < d.bytes.length; k += 0x8000)"
            "   s += String.fromCharCode.apply(null, d.bytes.subarray(k, k + 0x8000));"
            " return [d.name, btoa(s)]; })")
        return [(name, base64.b64decode(data)) for name, data in listed]

    def download_digests(self, first=0):
        """[(name, SHA-256 of its bytes)] of the files from the first-th on,
        computed in the page: an ASCII STL is 16 MB."""
        return [tuple(d) for d in self.evaluate(
            f"Promise.all(noisedemoPage.downloads.slice({first}).map(async (d) => [d.name,"
            " Array.from(new Uint8Array(await crypto.subtle.digest('SHA-256', d.bytes)),"
            " (b) => b.toString(16).padStart(2, '0')).join('')]))")]


@pytest.fixture(scope="session")
def browser():
    with chromium.Chromium(timeout=90, extra_flags=[f"--window-size={VIEWPORT[0]},{VIEWPORT[1]}"]) as b:
        yield b


@pytest.fixture(scope="session")
def page(browser):
    return Page(browser)


@pytest.fixture(scope="session")
def reference_page(browser):
    tab = Tab(browser)
    yield Page(tab)
    tab.close()


def dot_place(page, i, size):
    """Where control point i's dot is in the page's graph: (x, centre row),
    the row None if there is none. Only the columns a dot there can cover
    (7 either side) are read."""
    w, h = size
    x = e2e.dot_x(i, w)
    left = max(x - 7, 0)
    strip = page.canvas(GRAPH, [left, 0, min(15, w - left), h])
    for colour in (e2e.WHITE, e2e.GREEN):
        rows = int(40 * h / e2e.UNITS_H), int(362 * h / e2e.UNITS_H)
        found = e2e.find_dot(strip, x - left, *rows, colour)
        if found is not None:
            return x, found[1]
    return x, None


def native(*args):
    """Runs the native program; returns (status, stderr)."""
    done = subprocess.run([PROGRAM, *args], capture_output=True, text=True, timeout=60)
    return done.returncode, done.stderr


class Exports:
    """The native batch exports of a command's options, made once each."""

    def __init__(self, folder):
        self.folder = folder
        self.made = {}

    def files(self, options, *formats):
        """{format: bytes} for the batch options named (bmp, png, heightmap,
        stl, stl-binary)."""
        key = tuple(options)
        have = self.made.setdefault(key, {})
        missing = [f for f in formats if f not in have]
        if missing:
            paths = {f: os.path.join(self.folder, f"export{len(self.made)}-{k}.{f}")
                     for k, f in enumerate(missing)}
            status, messages = native(*options, *(f"--{f}={p}" for f, p in paths.items()))
            assert status == 0, (options, messages)
            for f, p in paths.items():
                with open(p, "rb") as data:
                    have[f] = data.read()
                os.remove(p)
        return {f: have[f] for f in formats}

    def bmp_rgb(self, options):
        return bmp_rgb(self.files(options, "bmp")["bmp"])


@pytest.fixture(scope="session")
def exports(tmp_path_factory):
    return Exports(str(tmp_path_factory.mktemp("native")))


def bmp_rgb(data):
    """A BMP's pixels as RGB bytes, the top row first (as a canvas holds them)."""
    return Image.open(io.BytesIO(data)).convert("RGB").tobytes()


def options_of(query):
    """An address's settings as the command line's options."""
    import urllib.parse
    return ["--" + urllib.parse.unquote(part) for part in query.split("&") if part]


def address_options(address):
    """key i's address (…/?seed=7&turbulence) as options."""
    return options_of(address.split("?", 1)[1])


def text_chunks(png):
    """A PNG's tEXt chunks in file order, as (keyword, text)."""
    chunks, at = [], 8
    while at < len(png):
        size, kind = struct.unpack(">I4s", png[at:at + 8])
        if kind == b"tEXt":
            keyword, text = png[at + 8:at + 8 + size].split(b"\0", 1)
            chunks.append((keyword.decode("latin-1"), text.decode("latin-1")))
        at += 12 + size
    return chunks


def png_pixels(png):
    image = Image.open(io.BytesIO(png))
    return image.mode, image.size, image.tobytes()


# The panel's radio buttons top to bottom, as the desktop tests count them.
NOISE, INTERPOLATION, RULE, OCTAVES, SCALES = e2e.NOISE, e2e.INTERPOLATION, e2e.RULE, \
    e2e.OCTAVES, e2e.SCALES


def is_dark(colour):
    return sum(colour) < 3 * 140


def expected_panel(noise, blend, slopes, octaves, turbulence, scale, debug=False,
                   rule_enabled=None):
    chosen = {NOISE[noise], INTERPOLATION[blend], RULE[slopes], OCTAVES[octaves - 1],
              SCALES[scale]}
    return {"on": [i in chosen for i in range(e2e.RADIOS)],
            # The slope rule is for value noise only (Reset leaves it as it was).
            "enabled": [(noise == 0 if rule_enabled is None else rule_enabled) if i in RULE
                        else True for i in range(19)],
            "ticks": [21 if turbulence else 0, 21 if debug else 0]}
