"""Keys b, p, h, s and m in the page against the native batch exports.

The page makes every file with the desktop's own code compiled to
WebAssembly, so the BMP and both STL files must be the batch's files byte for
byte. The page's PNGs are encoded by our stored-block encoder, not libpng, so
their bytes differ: they must decode to the same pixels and carry the same
text chunks, in the same order, and pngcheck must accept them.
"""
import io
import os
import struct
import subprocess
import urllib.parse

import pytest
from PIL import Image

from conftest import native
from test_browser import options_of, wait_for_file

# A --point edit as the address gives it, the heaviest setting, and one on
# the other slope rule; alternately on the threaded and the one-thread build.
SETTINGS = [
    "seed=7&octaves=6&noise=value+gradient&scale=clouds&point=3:0.75,-0.3,4.5",
    "seed=4242&noise=value+gradient&blend=quintic&octaves=8&turbulence&scale=rainbow",
    "seed=99&noise=gradient&slopes=catmull-rom&octaves=2&turbulence&scale=fire",
]

# key: (batch option, the page's line once the file is made; {} is the name)
KEYS = {
    "b": ("--bmp", "Image file '{}' created."),
    "p": ("--png", "Image file '{}' created."),
    "h": ("--heightmap", "Heightmap file '{}' created."),
    "s": ("--stl", "STL file '{}' created: 81590 triangles written."),
    "m": ("--stl-binary", "STL file '{}' created: 81590 triangles written."),
}


def text_chunks(png):
    """The tEXt chunks in file order, as (keyword, text)."""
    chunks, at = [], 8
    while at < len(png):
        size, kind = struct.unpack(">I4s", png[at:at + 8])
        if kind == b"tEXt":
            keyword, text = png[at + 8:at + 8 + size].split(b"\0", 1)
            chunks.append((keyword.decode("latin-1"), text.decode("latin-1")))
        at += 12 + size
    return chunks


def pixels(png):
    image = Image.open(io.BytesIO(png))
    return image.mode, image.size, image.tobytes()


@pytest.mark.parametrize("index", range(len(SETTINGS)))
def test_every_download_is_the_native_export(page, sites, tmp_path, index):
    query = SETTINGS[index]
    state = page.open(sites[index % 2 == 0].url + "?" + urllib.parse.quote(query, safe="=&+:,"))
    assert state["error"] == "" and state["frames"] == 1, state

    outputs = {key: tmp_path / ("native" + key) for key in KEYS}
    status, messages = native(*options_of(query),
                              *(f"{KEYS[key][0]}={path}" for key, path in outputs.items()))
    assert status == 0, messages

    for key, (option, made) in KEYS.items():
        page.browser.key(key)
        message = page.browser.wait_for(
            "document.getElementById('message').textContent.match(/created/)"
            " && document.getElementById('message').textContent")
        name = message.split("'")[1]
        assert message == made.format(name), key
        got = wait_for_file(page.browser.downloads, name)
        path = os.path.join(page.browser.downloads, name)
        expected = outputs[key].read_bytes()
        if option in ("--png", "--heightmap"):
            assert pixels(got) == pixels(expected), key
            assert text_chunks(got) == text_chunks(expected), key
            checked = subprocess.run(["pngcheck", path], capture_output=True, text=True)
            assert checked.returncode == 0, checked.stdout
        else:
            assert got == expected, key
        os.remove(path)
        # The next key's line must be its own, not this one left standing.
        page.browser.evaluate("document.getElementById('message').textContent = ''")


def message_becomes(page, text):
    return page.browser.wait_for(
        f"document.getElementById('message').textContent === {text!r}", timeout=10)


def test_a_blocked_download_is_said_and_the_page_carries_on(page, sites):
    state = page.open(sites[False].url + "?seed=5&octaves=3")
    assert state["frames"] == 1
    page.browser.evaluate("self.realCreate = URL.createObjectURL;"
                          " URL.createObjectURL = () => { throw new Error('downloads are blocked'); }")
    page.browser.key("p")
    message_becomes(page, "Cannot write PNG file 'image003NG.png'\n  downloads are blocked")
    page.browser.evaluate("URL.createObjectURL = self.realCreate")
    page.browser.key("m")
    message_becomes(page, "STL file 'noise003N.bin.stl' created: 81590 triangles written.")
    wait_for_file(page.browser.downloads, "noise003N.bin.stl")
    os.remove(os.path.join(page.browser.downloads, "noise003N.bin.stl"))
