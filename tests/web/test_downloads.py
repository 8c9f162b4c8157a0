"""Keys b, p, h, s and m in the page against the native batch exports.

The page makes every file with the desktop's own code compiled to
WebAssembly, so the BMP and both STL files must be the batch's files byte for
byte. The page's PNGs come from our stored-block encoder, not libpng, so
their bytes differ: they must decode to the same pixels and carry the same
text chunks in the same order. Each file must reach the page's list
(noisedemoPage.downloads) and Chromium's download folder with the same bytes
and the desktop's name.
"""
import hashlib
import os

import pytest

from conftest import (GRAPH, GRAPH_START, TEXTURE, bmp_rgb, dot_place, export_names, options_of,
                      png_pixels, text_chunks)

# A --point edit; the heaviest setting with the other slope rule; on the
# threaded and on the one-thread page.
SETTINGS = [
    "seed=7&octaves=6&noise=value%2Bgradient&scale=clouds&point=3:0.75,-0.3,4.5",
    "seed=4242&noise=gradient&slopes=catmull-rom&blend=quintic&octaves=8&turbulence&scale=fire",
]

# key: (the native batch options of its files, the lines the program prints
# as the desktop's does, {0} and {1} the files' names; the STL writer's
# progress count, a line of backspaced numbers, left out)
KEYS = {
    "b": (["bmp"], ["Image file '{0}' created."]),
    "p": (["png"], ["Image file '{0}' created."]),
    "h": (["heightmap"], ["Heightmap file '{0}' created."]),
    # The ASCII writer counts its triangles in place with backspaces; the
    # page shows that line as a terminal would leave it: the last count.
    "s": (["bmp", "stl"], ["Image file '{0}' created.", "Writing STL file '{1}':", "81590",
                           "81590 triangles written."]),
    "m": (["stl-binary"], ["Writing STL file '{0}':", "81590 triangles written."]),
}


class Folder:
    """Chromium's download folder, each file saved under its download's
    guid (allowAndName), so a second file of the same name is its own."""

    def __init__(self, page, behaviour="allowAndName"):
        self.page = page
        self.path = page.tab.downloads
        page.tab.call("Browser.setDownloadBehavior", behavior=behaviour,
                      downloadPath=self.path, eventsEnabled=True)

    def take(self, count):
        """The next `count` downloads as (suggested name, SHA-256 of the
        file), waiting on Chromium's events until each has completed."""
        tab, names, done = self.page.tab, {}, []
        while len(done) < count:
            event = tab.wait_event("Browser.downloadProgress")
            for e in [e for e in tab.events if e["method"] == "Browser.downloadWillBegin"]:
                tab.events.remove(e)
                names[e["params"]["guid"]] = e["params"]["suggestedFilename"]
            assert event["state"] != "canceled", event
            if event["state"] == "completed":
                path = os.path.join(self.path, event["guid"])
                with open(path, "rb") as f:
                    done.append((names[event["guid"]], sha(f.read())))
                os.remove(path)
        return done


def sha(data):
    return hashlib.sha256(data).hexdigest()


@pytest.mark.parametrize("index", range(len(SETTINGS)))
def test_every_download_is_the_native_export(page, sites, exports, index):
    query = SETTINGS[index]
    state = page.open(sites[index % 2 == 0].url + "?" + query)
    assert state["ready"], state
    folder = Folder(page)
    options = options_of(query)
    native = exports.files(options, "bmp", "png", "heightmap", "stl", "stl-binary")
    named = export_names(options)

    for key, (formats, said) in KEYS.items():
        count = page.state("downloads.length")
        lines = page.state("messages.length")
        page.key(TEXTURE if key in "bs" else GRAPH, key)
        names = [named[form] for form in formats]
        listed = page.download_digests(count)
        assert [name for name, _ in listed] == names, key
        assert folder.take(len(formats)) == listed, key
        printed = page.evaluate(f"noisedemoPage.messages.slice({lines})")
        assert printed == [line.format(*names) for line in said], key
        assert page.message() == printed[-1], key
        for (name, got), form in zip(listed, formats):
            expected = native[form]
            if form in ("png", "heightmap"):
                (_, data), = page.downloads(count + names.index(name))[:1]
                assert sha(data) == got
                assert png_pixels(data) == png_pixels(expected), name
                assert text_chunks(data) == text_chunks(expected), name
                assert data != expected  # our stored-block encoder, not libpng's
            else:
                assert got == sha(expected), name


def test_the_toolbar_does_what_the_keys_do(page, sites):
    state = page.open(sites[True].url + "?seed=7&octaves=2&scale=clouds")
    assert state["ready"], state
    # The page's list holds the files: the browser's folder stays empty.
    Folder(page, "deny")
    # Each button makes its key's files, the same bytes under the same names.
    for index, key in enumerate(KEYS):
        count = page.state("downloads.length")
        page.key(GRAPH, key)
        by_key = page.download_digests(count)
        page.click_element(f"#tools [data-export='{index}']")
        by_button = page.download_digests(count + len(by_key))
        assert by_button == by_key and by_key, key
        assert page.evaluate(f"document.querySelector(\"#tools [data-export='{index}']\").title") \
            == "Key " + key
    # Copy link: key i's address, on the clipboard.
    origin = sites[True].url.rstrip("/")
    page.tab.call("Browser.grantPermissions", origin=origin,
                  permissions=["clipboardReadWrite", "clipboardSanitizedWrite"])
    page.click_element("#copy")
    copied = page.wait_for("noisedemoPage.copied")
    assert copied == page.state("address") and "?seed=7&" in copied
    assert page.evaluate("navigator.clipboard.readText()") == copied
    # Help opens, and Escape closes it, the focus back on its button.
    page.click_element("#help-button")
    assert page.evaluate("!document.getElementById('help').hidden")
    page.press_key("Escape")
    assert page.evaluate("document.getElementById('help').hidden") and page.focused() == "Help"
    assert not page.state("ended")
    Folder(page)


def test_key_b_after_a_resize_and_with_downloads_denied(page, sites):
    state = page.open(sites[False].url + "?seed=5&octaves=3&scale=fire")
    assert state["ready"], state
    folder = Folder(page)
    try:
        # A BMP of the texture window as it is: its new size, its pixels.
        page.resize(TEXTURE, 300, 220)
        page.key(TEXTURE, "b")
        (name, data), = page.downloads(0)
        assert name == "image003NY.bmp"
        assert folder.take(1) == [(name, sha(data))]
        assert bmp_rgb(data) == page.canvas(TEXTURE).tobytes()
        assert page.canvas(TEXTURE).size == (300, 220)

        # Denied by the browser, the file is still listed on the page with a
        # link to save it, and the program carries on. The page holds no
        # file: the link holds no blob, and makes the file again from the
        # program, the same bytes.
        # The folder is the browser's for the whole run: earlier tests' files
        # may be in it, and only a new one would be this test's fault.
        Folder(page, "deny")
        before = set(os.listdir(folder.path))
        page.key(GRAPH, "b")
        assert [n for n, _ in page.downloads(1)] == ["image003NY.bmp"]
        assert links(page) == [["image003NY.bmp", False]]
        page.evaluate("document.querySelector('#downloads a').click()")
        assert page.downloads(1) == [(name, data)] * 2
        assert links(page) == [["image003NY.bmp", False]]
        graph = page.digest(GRAPH)
        x, y = dot_place(page, 3, GRAPH_START)
        page.drag(GRAPH, [(x, y), (x, y + 30 if y < 250 else y - 30)])
        assert page.digest(GRAPH) != graph
        # Another picture now: the link says so rather than make a
        # different file under the old name.
        page.evaluate("document.querySelector('#downloads a').click()")
        assert page.state("downloads.length") == 3
        assert page.message() == ("'image003NY.bmp' was made from another picture: press its key"
                                  " again to make it from this one.")
        assert set(os.listdir(folder.path)) == before
        assert page.state("error") == "" and not page.state("ended")
    finally:
        Folder(page)


def links(page):
    """The download list's links: [name, whether it holds a blob]."""
    return page.evaluate("[...document.querySelectorAll('#downloads a')]"
                         ".map(a => [a.download, a.href.startsWith('blob:')])")


def memory(page):
    """The page's memory in bytes after a full collection: its JS heap with
    the array buffers' storage (a file's bytes are one) and the module's
    WebAssembly memory (which the heap's figures leave out; it only grows)."""
    page.tab.call("HeapProfiler.collectGarbage")
    heap = page.tab.call("Runtime.getHeapUsage")
    return (heap["usedSize"] + heap["backingStorageSize"]
            + page.evaluate("noisedemoPage.module.HEAPU8.buffer.byteLength"))


def test_fifty_stl_exports_keep_no_file(page, sites):
    # Each press of s makes a 16 MB ASCII STL and a BMP; a page that kept
    # them would grow by about 800 MB over the 49 further presses.
    state = page.open(sites[True].url + "?seed=9&octaves=4&turbulence", keep_bytes=False)
    assert state["ready"], state
    Folder(page, "deny")
    try:
        page.key(GRAPH, "s")
        first = memory(page)
        for _ in range(49):
            page.key(GRAPH, "s")
        assert page.state("downloads.length") == 100
        assert memory(page) - first <= 20 * 2 ** 20
        assert links(page) == [["image004TG.bmp", False], ["noise004T.stl", False]]
    finally:
        Folder(page)
