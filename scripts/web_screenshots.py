#!/usr/bin/python3
"""Screenshots of the browser page in Debian's headless Chromium, for the
README and for a look by eye after a change:

    scripts/web_screenshots.py SITE OUT_DIR

SITE is a built site (build-web/site). Writes OUT_DIR/NAME.png for each
scene: the page as it opens, after a drag of a control point under
Value+Gradient noise in the rainbow scale, with the texture window resized,
an address the program refuses and the teaching views (views.png) (all in
the desktop's placement); then every view at the three lesson settings,
views-SETTING.png, as the page fits a 1366 x 768 laptop screen; then
the page as it fits each of five screens, layout-WIDTHxHEIGHT.png (the two
narrow ones, a tablet and a phone, in mobile emulation and whole, scrolled
part and all), after a drag of point 3. Last the page's toolbar
(toolbar.png), the keyboard's focus in the panel (focus.png) and the
embedded layout in a learning platform's 800 x 600 frame (embed.png). Every
step waits for the page to say it has drawn everything (no frame pending),
never for a time."""
import os
import shutil
import sys
import tempfile
import threading

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "web"))
import chromium  # noqa: E402
import serve  # noqa: E402
sys.path.insert(0, os.path.join(HERE, "..", "tests"))
from graph_layout import LAYOUT  # noqa: E402

WIDTH, HEIGHT = 1100, 1180  # the three windows as the desktop places them, and the bar above
# Common screens: student laptops and Chromebooks, a desktop monitor, a tablet
# and a phone in portrait (with touch).
VIEWS_SCREEN = (1366, 768)
SCREENS = [(1366, 768, False), (1280, 800, False), (1920, 1080, False), (820, 1180, True),
           (390, 844, True)]


class Page:
    def __init__(self, browser, base):
        self.b, self.base = browser, base

    def open(self, query):
        self.b.navigate(self.base + "?" + query)
        self.b.wait_for("self.noisedemoPage && (noisedemoPage.ready || noisedemoPage.error)")
        self.settle()

    def settle(self):
        self.b.wait_for("noisedemoPage.error || (noisedemoPage.ready && noisedemoPage.frames > 0"
                        " && !noisedemoPage.module._NdBusy())")

    def origin(self, window):
        return self.b.evaluate(
            f"(() => {{ const r = noisedemoPage.windows.get({window}).canvas"
            ".getBoundingClientRect(); return [r.left, r.top]; })()")

    def mouse(self, kind, window, x, y, buttons):
        left, top = self.origin(window)
        self.b.call("Input.dispatchMouseEvent", type=kind, x=left + x + 0.5, y=top + y + 0.5,
                    button="left" if buttons or kind != "mouseMoved" else "none",
                    buttons=buttons)

    def drag(self, window, points):
        self.mouse("mouseMoved", window, *points[0], 0)
        self.mouse("mousePressed", window, *points[0], 1)
        for x, y in points[1:]:
            self.mouse("mouseMoved", window, x, y, 1)
            self.settle()
        self.mouse("mouseReleased", window, *points[-1], 0)
        self.settle()

    def key(self, window, key):
        self.mouse("mouseMoved", window, 1, 1, 0)
        self.b.key(key)
        self.settle()

    def save(self, path, height=HEIGHT, width=WIDTH):
        with open(path, "wb") as f:
            f.write(self.b.screenshot(0, 0, width, height))


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    site, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    server = serve.make_server(site, 0, isolated=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        with chromium.Chromium() as browser:
            browser.call("Emulation.setDeviceMetricsOverride", width=WIDTH, height=HEIGHT,
                         deviceScaleFactor=1, mobile=False)
            page = Page(browser, f"http://127.0.0.1:{server.server_address[1]}/index.html")
            page.open("seed=4242&layout=desktop")
            page.save(os.path.join(out, "start.png"))
            # Control point 3 of seed 4242 sits at (307, 270) in the graph.
            page.open("seed=4242&noise=value+gradient&octaves=4&scale=rainbow&layout=desktop")
            page.drag(1, [(307, 270), (307, 240), (307, 200), (307, 170)])
            page.key(1, "i")
            page.save(os.path.join(out, "drag.png"))
            browser.evaluate("(() => { const c = noisedemoPage.windows.get(2).client;"
                             " c.style.width = '420px'; c.style.height = '300px'; })()")
            browser.wait_for("noisedemoPage.windows.get(2).canvas.width === 420")
            page.settle()
            page.save(os.path.join(out, "resized.png"))
            page.open("seed=7&octaves=9")
            page.save(os.path.join(out, "refused.png"), height=120)
            # The teaching views: each octave in the graph; the lattice, a probe
            # and the statistics in the texture window.
            page.open("seed=7&noise=value+gradient&octaves=4&layout=desktop"
                      "&views=octaves,lattice,probe,stats")
            page.save(os.path.join(out, "views.png"))
            # Every view at the three lesson settings of docs/views, the first
            # 2 octaves shown and the pointer on texel row 300, column 180, in
            # the layout fitted to a student's laptop: the Views panel shows
            # beside the windows, and the texture window is the image's size.
            width, height = VIEWS_SCREEN
            browser.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                         deviceScaleFactor=1, mobile=False)
            for name, query in (("views-gradient", "noise=gradient&octaves=1&scale=grey"),
                                ("views-value-gradient",
                                 "noise=value+gradient&octaves=4&turbulence&scale=clouds"),
                                ("views-value", "noise=value&octaves=8&scale=fire")):
                page.open(f"seed=7&{query}&views=octaves,derivatives,lattice,probe,stats"
                          "&octave-view=first:2")
                # The texel's pixel, as the program maps a pixel to a texel.
                w, h = browser.evaluate("(c => [c.width, c.height])"
                                        "(noisedemoPage.windows.get(2).canvas)")
                page.mouse("mouseMoved", 2, -(-180 * w // 512), h - 1 - -(-300 * h // 512), 0)
                page.settle()
                page.save(os.path.join(out, name + ".png"), height, width)
            browser.call("Emulation.setDeviceMetricsOverride", width=WIDTH, height=HEIGHT,
                         deviceScaleFactor=1, mobile=False)
            for width, height, touch in SCREENS:
                browser.call("Emulation.setDeviceMetricsOverride", width=width, height=height,
                             deviceScaleFactor=1, mobile=touch)
                browser.call("Emulation.setTouchEmulationEnabled", enabled=touch)
                page.open("seed=4242&noise=value+gradient&octaves=4&scale=rainbow")
                # Point 3 raised a little, wherever the layout put the graph.
                w, h = browser.evaluate("(c => [c.width, c.height])"
                                        "(noisedemoPage.windows.get(1).canvas)")
                units_x = LAYOUT.kLeftMargin + 3 * LAYOUT.kGraphWidth / (LAYOUT.kControlPoints - 1)
                x, units_h = int(units_x * w / LAYOUT.kGraphUnitsWide), LAYOUT.kGraphUnitsHigh
                page.drag(1, [(x, int(270 * h / units_h)), (x, int(200 * h / units_h))])
                shot = height
                if touch:
                    # The whole stacked page: a taller screen of the same width
                    # (a stacked layout depends on the width alone).
                    shot = browser.evaluate("document.documentElement.scrollHeight")
                    browser.call("Emulation.setDeviceMetricsOverride", width=width, height=shot,
                                 deviceScaleFactor=1, mobile=touch)
                    page.settle()
                with open(os.path.join(out, f"layout-{width}x{height}.png"), "wb") as f:
                    f.write(browser.screenshot(0, 0, width, shot))
            browser.call("Emulation.setTouchEmulationEnabled", enabled=False)
            browser.call("Emulation.setDeviceMetricsOverride", width=1366, height=768,
                         deviceScaleFactor=1, mobile=False)
            page.open("seed=4242&noise=value+gradient&octaves=4&scale=rainbow&utm_source=moodle")
            with open(os.path.join(out, "toolbar.png"), "wb") as f:
                f.write(browser.screenshot(0, 0, 1366, 130))
            # Tab through the seven buttons, the address line and two
            # windows into the panel, then the arrows to the third control.
            for key in ["Tab"] * 11 + ["ArrowDown"] * 3:
                browser.call("Input.dispatchKeyEvent", type="keyDown", key=key,
                             windowsVirtualKeyCode={"Tab": 9, "ArrowDown": 40}[key])
                browser.call("Input.dispatchKeyEvent", type="keyUp", key=key,
                             windowsVirtualKeyCode={"Tab": 9, "ArrowDown": 40}[key])
                page.settle()
            with open(os.path.join(out, "focus.png"), "wb") as f:
                f.write(browser.screenshot(0, 0, 1366, 768))
            embedded(browser, site, out)
    finally:
        server.shutdown()


HOST_PAGE = """<!DOCTYPE html><html lang="en"><head><meta charset="utf-8">
<title>Week 3: lattice noise</title><style>body { font: 14px sans-serif; margin: 16px;
background: #f4f4f0; } iframe { border: 1px solid #999; display: block; }</style></head>
<body><h2>Week 3: lattice noise</h2><p>Drag the control points and watch the texture change.</p>
<iframe src="noise/?seed=4242&amp;noise=value+gradient&amp;octaves=4&amp;scale=rainbow&amp;layout=embed"
 width="800" height="600" title="Noise Demo"></iframe></body></html>"""


def embedded(browser, site, out):
    """A course page from the same host with the page in an 800 x 600 frame."""
    root = tempfile.mkdtemp(prefix="noisedemo-host-")
    try:
        shutil.copytree(site, os.path.join(root, "noise"))
        with open(os.path.join(root, "course.html"), "w") as f:
            f.write(HOST_PAGE)
        host = serve.make_server(root, 0, isolated=False, service_worker=False)
        threading.Thread(target=host.serve_forever, daemon=True).start()
        try:
            browser.call("Emulation.setDeviceMetricsOverride", width=840, height=760,
                         deviceScaleFactor=1, mobile=False)
            browser.navigate(f"http://127.0.0.1:{host.server_address[1]}/course.html")
            inner = "document.querySelector('iframe').contentWindow.noisedemoPage"
            browser.wait_for(f"self.document.querySelector('iframe') && {inner} && {inner}.ready"
                             f" && {inner}.frames > 0 && !{inner}.module._NdBusy()")
            with open(os.path.join(out, "embed.png"), "wb") as f:
                f.write(browser.screenshot(0, 0, 840, 760))
        finally:
            host.shutdown()
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    main()
