"""The page's start, its refusals and its end, against the native program.

The page reads its address with the command line's own parser and draws with
the program's own code, so its texture canvas must hold the native batch
BMP's pixels exactly, its panel must show the settings, an address the
command line refuses must be refused in the same words with no window
opened, and Quit must end the program without an error.
"""
import urllib.parse

import pytest
from PIL import ImageChops

from conftest import (GRAPH, PANEL, TEXTURE, BLEND_WORDS, NOISE_WORDS, SCALE_WORDS, SLOPE_WORDS,
                      expected_panel, native, options_of)

# Every noise word (value+gradient also with its plus escaped), both blends
# and slope rules, one to eight octaves, turbulence on and off, every scale,
# point edits, the heaviest setting; seeds at both ends of their range.
# Alternately on the threaded and the one-thread page.
SETTINGS = [
    "seed=4242&noise=value%2Bgradient&blend=quintic&octaves=8&turbulence&scale=rainbow",
    "seed=0&noise=value&blend=cubic&slopes=catmull-rom&octaves=1&scale=grey",
    "seed=4294967295&noise=gradient&blend=quintic&octaves=3&turbulence&scale=fire",
    "seed=7&noise=value+gradient&octaves=6&scale=clouds&point=3:0.75,-0.3,4.5",
    "seed=123456&noise=value&slopes=catmull-rom&blend=quintic&octaves=5&turbulence&scale=rainbow"
    "&point=0:-1,1,-10&point=7:0.5,0,0",
    "seed=99&noise=gradient&octaves=7&scale=grey&point=5:0.1,-0.25,9.5",
    "seed=31337&noise=value+gradient&octaves=2&turbulence&scale=clouds",
    "seed=2026&noise=value&octaves=4&scale=fire",
]


def settings_of(options):
    """The panel's settings that the options choose, defaults elsewhere."""
    words = dict(o[2:].split("=", 1) if "=" in o else (o[2:], True) for o in options)
    return (NOISE_WORDS.index(words.get("noise", "value")),
            BLEND_WORDS.index(words.get("blend", "cubic")),
            SLOPE_WORDS.index(words.get("slopes", "zero")),
            int(words.get("octaves", 1)), "turbulence" in words,
            SCALE_WORDS.index(words.get("scale", "grey")))


@pytest.mark.parametrize("index", range(len(SETTINGS)))
def test_start_shows_the_native_texture_and_the_settings(page, sites, exports, index):
    query = SETTINGS[index]
    isolated = index % 2 == 0
    state = page.open(sites[isolated].url + "?" + query)
    assert state["ready"] and state["error"] == "" and state["canvases"] == 3, state
    assert state["isolated"] == isolated

    options = options_of(query)
    texture = page.canvas(TEXTURE)
    assert texture.size == (512, 512)
    assert texture.tobytes() == exports.bmp_rgb(options)
    # The canvas is what the browser shows: its screenshot holds the same
    # pixels (one CSS pixel per pixel, nothing scaled or blended, and the
    # grip of a resizable window drawn in a frame beside the canvas).
    windows = (GRAPH, TEXTURE, PANEL) if index == 0 else (TEXTURE,)
    for window in windows:
        shown, own = page.screenshot(window), page.canvas(window)
        assert ImageChops.difference(shown, own).getbbox() is None, window

    assert page.panel_states() == expected_panel(*settings_of(options))


# Addresses the command line refuses: the page must say the native
# program's first line of refusal, word for word.
REFUSED = [
    "octaves=9",
    "seed=7&noise=value gradient",
    "seed=7&noise=perlin",
    "seed=-1",
    "seed=12x",
    "scale=blue&seed=3",
    "blend=linear",
    "slopes=flat",
    "turbulence=yes",
    "seed=1&colour=grey",
    "seed=5&octaves=",
    "display=:0",
    "point=8:0,0,0",
    "point=2:1.5,0,0",
    "point=2:0,0",
    "seed=3&point=4:0.5,0,0&point=4:0.25,0,0",
]


def no_window(page, state):
    assert not state["ready"] and state["canvases"] == 0, state
    assert page.evaluate("noisedemoPage.windows.size") == 0


def test_a_refused_address_says_why_and_opens_no_window(page, sites):
    for query in REFUSED:
        state = page.open(sites[False].url + "?" + urllib.parse.quote(query, safe="=&+:,"))
        status, messages = native(*options_of(urllib.parse.quote(query, safe="=&+:,")))
        assert status == 2, (query, messages)
        assert state["message"] == messages.splitlines()[0], (query, state)
        no_window(page, state)

    # Options the command line takes but a page cannot act on: files are
    # downloads here, and there is no terminal for the help.
    for query in ["seed=3&bmp=x.bmp", "stl=-", "help", "version"]:
        state = page.open(sites[False].url + "?" + query)
        assert state["message"].startswith("noisedemo: the page "), (query, state)
        no_window(page, state)

    # A broken %-escape: there is no option to name, only the address.
    state = page.open(sites[False].url + "?seed=%E0%A4%A")
    assert "not well-formed" in state["message"], state
    no_window(page, state)


def exceptions(page):
    return [e["params"] for e in page.tab.events
            if e["method"] == "Runtime.exceptionThrown"
            or (e["method"] == "Runtime.consoleAPICalled" and e["params"]["type"] == "error")]


@pytest.mark.parametrize("how", ["Quit button", "q", "Escape"])
def test_quit_ends_the_program_cleanly(page, sites, how):
    state = page.open(sites[how == "q"].url + "?seed=11&octaves=2")
    assert state["ready"], state
    before = page.canvas(GRAPH).tobytes()
    if how == "Quit button":
        page.click(PANEL, *page.layout().buttons[2].centre)
    else:
        page.key(GRAPH, how)
    page.wait_for("noisedemoPage.ended")
    assert page.message() == "noisedemo has quit. Reload the page to start it again."
    assert page.state("error") == "" and exceptions(page) == []
    # The windows stay as they were and take nothing more.
    page.drag(GRAPH, [(50, 200), (50, 100)])
    page.key(GRAPH, "b")
    assert page.canvas(GRAPH).tobytes() == before
    assert page.state("downloads.length") == 0 and exceptions(page) == []
