"""The page in Debian's headless Chromium against the native program.

The page reads its settings from its address with the command line's own
parser and fills the texture with the same code compiled to WebAssembly, so
the canvas must hold the native batch BMP's pixels exactly, the page's BMP
download must be that file byte for byte, and an address the command line
would refuse must be refused with the same words, drawing nothing.
"""
import os
import time
import urllib.parse

import pytest

from conftest import bmp_rgb, native

# (address query, the same settings as options). Every noise type, blend,
# slope rule and colour scale, one to eight octaves, turbulence on and off,
# the heaviest setting included; alternately on the threaded and the
# one-thread build.
SETTINGS = [
    "seed=4242&noise=value+gradient&blend=quintic&octaves=8&turbulence&scale=rainbow",
    "seed=7&octaves=6&noise=value+gradient&scale=clouds",
    "seed=0&noise=value&blend=cubic&octaves=1&scale=grey",
    "seed=4294967295&noise=gradient&blend=quintic&octaves=3&turbulence&scale=fire",
    "seed=123456&noise=value&slopes=catmull-rom&octaves=5&turbulence&scale=rainbow",
    "seed=99&noise=gradient&blend=cubic&octaves=7&scale=grey",
    "seed=31337&noise=value+gradient&blend=cubic&octaves=2&turbulence&scale=clouds",
]


def options_of(query):
    return ["--" + urllib.parse.unquote(part) for part in query.split("&")]


def wait_for_file(folder, name, timeout=30.0):
    """The finished download: Chromium writes NAME.crdownload until it is done."""
    path = os.path.join(folder, name)
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if os.path.exists(path) and not os.path.exists(path + ".crdownload"):
            with open(path, "rb") as f:
                return f.read()
        time.sleep(0.05)  # polling the download folder, not a wait on the page
    raise AssertionError(f"no download named {name} in {os.listdir(folder)}")


@pytest.mark.parametrize("index", range(len(SETTINGS)))
def test_canvas_and_download_equal_the_native_bmp(page, sites, tmp_path, index):
    query = SETTINGS[index]
    isolated = index % 2 == 0
    state = page.open(sites[isolated].url + "?" + query)
    assert state["error"] == "" and state["frames"] == 1, state
    assert state["isolated"] == isolated

    native_bmp = tmp_path / "native.bmp"
    status, messages = native(*options_of(query), f"--bmp={native_bmp}")
    assert status == 0, messages
    expected = native_bmp.read_bytes()

    # What the canvas shows, as a screenshot of it.
    assert page.canvas_rgb() == bmp_rgb(expected)

    # Key b: the same file, under the name the desktop's key b gives it.
    octaves = next(o for o in options_of(query) if o.startswith("--octaves="))[10:]
    scale = next(o for o in options_of(query) if o.startswith("--scale="))[8:]
    name = "image%03d%s%s.bmp" % (int(octaves), "T" if "turbulence" in query else "N",
                                  {"grey": "G", "rainbow": "R", "clouds": "S", "fire": "Y"}[scale])
    page.browser.evaluate("document.getElementById('texture').focus()")
    page.browser.key("b")
    assert wait_for_file(page.browser.downloads, name) == expected
    os.remove(os.path.join(page.browser.downloads, name))
    assert page.browser.evaluate("document.getElementById('message').textContent") == \
        f"Image file '{name}' created."


def test_key_i_gives_an_address_and_a_command_that_make_the_picture_again(page, sites):
    first = page.open(sites[False].url + "?seed=2024&octaves=4&noise=gradient&scale=fire")
    assert first["frames"] == 1
    pixels = page.canvas_rgb()
    page.browser.key("i")
    url, command = page.browser.evaluate(
        "document.getElementById('command').textContent").split("\n")
    assert command == ("noisedemo --seed=2024 --noise=gradient --blend=cubic --slopes=zero"
                       " --octaves=4 --scale=fire")
    # The command's options as an address: the same picture.
    query = "&".join(urllib.parse.quote(option[2:], safe="=+") for option in command.split()[1:])
    again = page.open(sites[True].url + "?" + query)
    assert again["frames"] == 1
    assert page.canvas_rgb() == pixels
    assert url.endswith("?seed=2024&octaves=4&noise=gradient&scale=fire")


# Addresses the command line refuses, and two it takes but the page cannot
# act on (files are downloads here, not options).
REFUSED = [
    "octaves=9",
    "seed=7&noise=value gradient",
    "seed=-1",
    "scale=blue&seed=3",
    "turbulence=yes",
    "seed=1&colour=grey",
    "seed=5&octaves=",
    "display=:0",
]


def test_a_refused_address_says_why_and_draws_nothing(page, sites):
    for query in REFUSED:
        state = page.open(sites[False].url + "?" + urllib.parse.quote(query, safe="=&+"))
        status, messages = native(*options_of(query))
        assert status == 2, (query, messages)
        # The native program's first line of refusal, word for word.
        assert state["frames"] == 0 and state["message"] == messages.splitlines()[0], (query, state)
        assert page.canvas_alpha_max() == 0, query

    for query in ["seed=3&bmp=x.bmp", "help"]:
        state = page.open(sites[False].url + "?" + query)
        assert state["frames"] == 0 and state["message"].startswith("noisedemo: the page "), state

    # An escape that decodes to nothing: no option to blame, still a message.
    state = page.open(sites[False].url + "?seed=%E0%A4%A")
    assert state["frames"] == 0 and "not well-formed" in state["message"], state
