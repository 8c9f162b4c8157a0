"""The page on any static host, offline, and as one file.

A plain `python3 -m http.server`, serving a copy of the site from a sub-path,
sends neither isolation header: the page's service worker adds them, so the
page reloads once and then runs threaded. With the server stopped it loads
again from the worker's cache and draws the native texture. The one-file page
(noisedemo.html beside the site) draws the native texture from file://, and
a browser without WebAssembly SIMD or a service worker still gets a working
page on one thread that says what it lacks. Debian's Firefox ESR, the second
browser, draws the same texture and behaves as the page does in Chromium.
"""
import hashlib
import os
import re
import shutil
import subprocess

import pytest

from conftest import DIGEST_JS, SITE, TEXTURE, options_of

ONE_FILE = os.path.join(os.path.dirname(SITE), "noisedemo.html")


class PlainHost:
    """`python3 -m http.server` over a folder holding the site at
    course/noise/: no isolation headers, and .wasm as the server guesses."""

    def __init__(self, root):
        self.root = root
        self.process = subprocess.Popen(
            ["/usr/bin/python3", "-u", "-m", "http.server", "--bind", "127.0.0.1", "0"],
            cwd=root, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        # "Serving HTTP on 127.0.0.1 port N (http://127.0.0.1:N/) ...": the
        # server listens before it prints.
        line = self.process.stdout.readline()
        found = re.search(r"port (\d+)", line)
        assert found, line
        self.port = int(found.group(1))
        self.url = f"http://127.0.0.1:{self.port}/course/noise/"

    def stop(self):
        self.process.terminate()
        self.process.wait(10)
        self.process.stdout.close()


@pytest.fixture
def host_root(tmp_path):
    site = tmp_path / "course" / "noise"
    shutil.copytree(SITE, site)
    return tmp_path


def page_facts(page):
    return page.evaluate("({module: noisedemoPage.moduleName, lacks: noisedemoPage.lacks,"
                         " reloaded: performance.getEntriesByType('navigation')[0].type === 'reload',"
                         " controlled: !!navigator.serviceWorker.controller,"
                         " said: document.getElementById('command').textContent})")


QUERY = "seed=4242&noise=value%2Bgradient&blend=quintic&octaves=8&turbulence&scale=rainbow"
OFFLINE_QUERY = "seed=7&octaves=6&noise=value+gradient&scale=clouds&point=3:0.75,-0.3,4.5"


def test_a_plain_host_from_a_sub_path_gives_threads_and_works_offline(page, exports, host_root):
    host = PlainHost(host_root)
    try:
        state = page.open(host.url + "?" + QUERY)
        # The first visit reloaded once, through the worker, and is isolated.
        assert state["ready"] and state["isolated"], state
        assert page_facts(page) == {"module": "noisedemo-mt", "lacks": [], "reloaded": True,
                                    "controlled": True, "said": ""}
        assert page.canvas(TEXTURE).tobytes() == exports.bmp_rgb(options_of(QUERY))
        # A new build on the host (its page a day newer, as a copy over the old one leaves it): the
        # next visit runs it, and the worker's cache holds it in place of the old one.
        index = host_root / "course" / "noise" / "index.html"
        index.write_text(index.read_text().replace("<head>", "<head><meta name='build' content='new'>", 1))
        os.utime(index, (index.stat().st_mtime + 86400,) * 2)
        page.open(host.url + "?" + QUERY)
        assert page.evaluate("(async () => [document.querySelector('meta[name=build]')?.content, (await (await"
                             " caches.open('noisedemo-site')).match('./').then(r => r.text())).includes("
                             "\"content='new'\")])()") == ["new", True]

        # No server: the cached site, other settings, the same exactness.
        host.stop()
        state = page.open(host.url + "?" + OFFLINE_QUERY)
        assert state["ready"] and state["isolated"], state
        assert page.canvas(TEXTURE).tobytes() == exports.bmp_rgb(options_of(OFFLINE_QUERY))
        # Installable offline too: the manifest and its icons, drawn from
        # the program's texture (icon-192 is icon-512's bottom left corner,
        # one texel per pixel).
        icons = page.evaluate(
            "(async () => { const m = await (await fetch('manifest.webmanifest')).json();"
            " const sizes = []; const pixels = [];"
            " for (const icon of m.icons) {"
            "   const b = await createImageBitmap(await (await fetch(icon.src)).blob());"
            "   const c = new OffscreenCanvas(b.width, b.height).getContext('2d');"
            "   c.drawImage(b, 0, 0); sizes.push(icon.sizes + '=' + b.width + 'x' + b.height);"
            "   pixels.push(Array.from(c.getImageData(0, b.height - 192, 192, 192).data).join()); }"
            " return [m.start_url, sizes, pixels[0] === pixels[1]]; })()")
        assert icons == ["./", ["192x192=192x192", "512x512=512x512"], True]

    finally:
        if host.process.poll() is None:
            host.stop()


def test_the_one_file_draws_the_native_texture_from_disk(page, exports):
    query = "seed=31337&noise=value+gradient&octaves=2&turbulence&scale=clouds"
    state = page.open("file://" + ONE_FILE + "?" + query)
    assert state["ready"] and state["error"] == "" and not state["isolated"], state
    facts = page.evaluate("({module: noisedemoPage.moduleName, lacks: noisedemoPage.lacks,"
                          " said: document.getElementById('command').textContent})")
    assert facts == {"module": "noisedemo-file",
                     "lacks": ["opened from a file, the page has no service worker"],
                     "said": "On one thread: opened from a file, the page has no service worker."}
    assert page.canvas(TEXTURE).tobytes() == exports.bmp_rgb(options_of(query))
    # Key i's address opens the same picture from the same file.
    page.command()
    assert page.state("address").startswith("file://" + ONE_FILE + "?seed=31337&")


# A browser without WebAssembly SIMD and without service workers (as a private window may be), and
# one with no storage (the worker's registration refused, no Cache API), made so before the page's
# scripts run.
LACKING = ("delete Navigator.prototype.serviceWorker; WebAssembly.validate = () => false;",
           "delete Window.prototype.caches; navigator.serviceWorker.register = () => Promise.reject("
           "new DOMException('The operation is insecure.', 'SecurityError'));")


@pytest.mark.parametrize("lacking, module, lacks", [
    (LACKING[0], "noisedemo-file", ["this browser gives the page no service worker (a private window?)",
                                    "this browser has no WebAssembly SIMD"]),
    (LACKING[1], "noisedemo-simd", ["the page's service worker could not start (The operation is insecure.)"])])
def test_a_browser_without_simd_service_worker_or_storage_gets_one_thread(page, sites, exports, lacking,
                                                                          module, lacks):
    added = page.tab.call("Page.addScriptToEvaluateOnNewDocument", source=lacking)
    try:
        query = "seed=2026&noise=value&octaves=4&scale=fire"
        state = page.open(sites[False].url + "?" + query)
        assert state["ready"] and state["error"] == "", state
        assert page.evaluate("[noisedemoPage.moduleName, noisedemoPage.lacks,"
                             " document.getElementById('command').textContent]") == \
            [module, lacks, "On one thread: " + "; ".join(lacks) + "."]
        assert page.canvas(TEXTURE).tobytes() == exports.bmp_rgb(options_of(query))
    finally:
        page.tab.call("Page.removeScriptToEvaluateOnNewDocument", identifier=added["identifier"])


def test_nothing_in_the_address_becomes_markup(page, sites):
    marked = "<img src=x onerror=self.marked=1><b>bold</b>"
    state = page.open(sites[False].url + "?seed=" + marked)
    assert not state["ready"], state
    assert marked in state["message"]
    assert page.evaluate("[document.querySelectorAll('img, b').length, self.marked === undefined]") \
        == [0, True]


@pytest.fixture(scope="module")
def firefox():
    import firefox as driver
    with driver.Firefox() as browser:
        yield browser


def test_firefox_draws_the_native_texture_and_behaves_as_a_web_page(firefox, sites, exports):
    """Debian's Firefox ESR through WebDriver BiDi: the threaded page's
    texture is the batch BMP's pixels, a foreign word is left alone, the
    address follows a press in the panel, and Tab reaches the windows."""
    firefox.navigate(sites[True].url + "?" + QUERY + "&utm_source=moodle")
    state = firefox.wait_for("self.noisedemoPage && ((noisedemoPage.ready && noisedemoPage.frames > 0"
                             " && !noisedemoPage.module._NdBusy()) || noisedemoPage.error)"
                             " && [noisedemoPage.error, self.crossOriginIsolated]")
    assert state == ["", True], state
    digest = firefox.evaluate(DIGEST_JS % TEXTURE)
    expected = hashlib.sha256(exports.bmp_rgb(options_of(QUERY))).hexdigest()
    assert digest == [512, 512, expected]
    assert "left alone: utm_source." in firefox.evaluate("document.getElementById('command').textContent")
    # A press on the fire scale's radio button: the address follows.
    x, y = firefox.evaluate("(() => { const c = panelControls().find(c => c.name.includes('fire'));"
                            " const r = noisedemoPage.windows.get(3).canvas.getBoundingClientRect();"
                            " return [r.left + c.x + 6, r.top + c.y + c.h / 2]; })()")
    firefox.click(x, y)
    firefox.wait_for("location.search.includes('scale=fire') && !location.search.includes('utm_')")
    # Tab: the seven buttons and the address line, then the graph window.
    firefox.evaluate("document.activeElement.blur()")
    firefox.keys(*["Tab"] * 9)
    assert firefox.wait_for("document.activeElement.dataset.window") == "1"
