"""The browser build in Debian's headless Chromium, beside the native program.

NOISEDEMO names the native program and NOISEDEMO_SITE the browser build's
folder (build-web/site); tests/CMakeLists.txt sets both. The site is served
twice: with the cross-origin isolation headers (the page then fills with web
workers) and without them (one thread).
"""
import os
import subprocess
import sys
import threading

import pytest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.join(HERE, "..", "..")
sys.path.insert(0, os.path.join(ROOT, "web"))

import chromium  # noqa: E402
import serve  # noqa: E402

PROGRAM = os.environ.get("NOISEDEMO") or os.path.join(ROOT, "build", "noisedemo")
SITE = os.environ.get("NOISEDEMO_SITE") or os.path.join(ROOT, "build-web", "site")


class Site:
    def __init__(self, isolated):
        self.server = serve.make_server(SITE, 0, isolated=isolated)
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


class Page:
    """One headless Chromium showing the noise page."""

    def __init__(self, browser):
        self.browser = browser
        # One CSS pixel per screen pixel, so a screenshot holds the canvas as drawn.
        browser.call("Emulation.setDeviceMetricsOverride", width=700, height=760,
                     deviceScaleFactor=1, mobile=False)

    def open(self, url):
        """Loads url and waits until the page has drawn or given up."""
        # The new document, not the one before it that may still be answering.
        before = self.browser.evaluate("performance.timeOrigin")
        self.browser.navigate(url)
        return self.browser.wait_for(
            f"performance.timeOrigin !== {before!r} && self.noisedemoPage"
            " && (noisedemoPage.frames > 0 || noisedemoPage.error !== '')"
            " && {frames: noisedemoPage.frames, error: noisedemoPage.error,"
            "     message: document.getElementById('message').textContent,"
            "     isolated: self.crossOriginIsolated}")

    def canvas_rgb(self):
        """The texture canvas as shown: RGB bytes, the top row first."""
        import io
        from PIL import Image
        x, y = self.browser.evaluate(
            "(() => { const r = document.getElementById('texture').getBoundingClientRect();"
            " return [r.x, r.y]; })()")
        png = self.browser.screenshot(x, y, 512, 512)
        image = Image.open(io.BytesIO(png)).convert("RGB")
        assert image.size == (512, 512)
        return image.tobytes()

    def canvas_alpha_max(self):
        """The largest alpha in the canvas's own pixels: 0 while nothing was drawn."""
        return self.browser.evaluate(
            "(() => { const c = document.getElementById('texture');"
            " const d = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;"
            " let m = 0; for (let i = 3; i < d.length; i += 4) m = Math.max(m, d[i]); return m; })()")


@pytest.fixture(scope="session")
def page():
    with chromium.Chromium(timeout=90) as browser:
        yield Page(browser)


def native(*args):
    """Runs the native program; returns (status, stderr)."""
    done = subprocess.run([PROGRAM, *args], capture_output=True, text=True, timeout=60)
    return done.returncode, done.stderr


def bmp_rgb(data):
    """A BMP's pixels as RGB bytes, the top row first (as a canvas holds them)."""
    import io
    from PIL import Image
    return Image.open(io.BytesIO(data)).convert("RGB").tobytes()
