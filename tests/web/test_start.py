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

from conftest import (GRAPH, GRAPH_START, PANEL, TEXTURE, VIEWPORT, BLEND_WORDS, NOISE, NOISE_WORDS,
                      SCALE_WORDS, SLOPE_WORDS, SCALES, dot_place, expected_panel, native, options_of)

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
    assert state["ready"] and state["error"] == "" and state["canvases"] == 4, state  # graph, texture, panel, Views
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
    "seed=5&octaves=",
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
    # The address that works is a link to it.
    example = page.evaluate("(a => [a.href, a.textContent])(document.querySelector('#command a'))")
    assert example[0] == example[1] == sites[False].url + \
        "?seed=7&octaves=6&noise=value+gradient&scale=clouds", example

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


def address(page):
    """The page's address as the browser has it now."""
    return page.evaluate("location.href")


def test_the_address_follows_the_picture_and_leaves_other_words_alone(page, sites, exports):
    # A learning platform's and a campaign's words beside ours, and a word
    # that is no option of ours at all: left alone and named.
    query = "seed=5&utm_source=moodle&octaves=3&fbclid=IwAR0x&colour=grey"
    state = page.open(sites[False].url + "?" + query)
    assert state["ready"], state
    assert "Not the program's settings, left alone: utm_source, fbclid, colour." in \
        page.evaluate("document.getElementById('command').textContent")
    assert page.canvas(TEXTURE).tobytes() == exports.bmp_rgb(["--seed=5", "--octaves=3"])
    # From the start the address is key i's (the page's own layout word kept).
    page.command()
    assert address(page) == page.state("address") + "&layout=desktop"

    size = tuple(page.box(GRAPH)[2:])
    x, y = dot_place(page, 3, size)
    # A mouse picks as the desktop does: 20 pixels above the dot is no pick.
    before = address(page)
    page.drag(GRAPH, [(x, y - 20), (x, y - 60)])
    assert address(page) == before
    # A drag of point 3, then a scale chosen: the address follows each.
    page.drag(GRAPH, [(x, y), (x, y - 30)])
    page.wait_for(f"location.href !== {before!r}")
    page.command()
    assert address(page) == page.state("address") + "&layout=desktop" and "point=3:" in address(page)
    page.click(PANEL, *page.layout().radios[SCALES[3]].centre)
    page.wait_for("location.href.includes('scale=fire')")
    last = page.command()
    digest = page.digest(TEXTURE)
    # A reload gives the same picture.
    assert page.open("", reload=True)["ready"]
    assert page.command() == last and page.digest(TEXTURE) == digest


def test_a_bare_link_takes_a_fresh_seed_from_the_browser(page, sites, exports):
    # The browser's random source, made to give one number: the page says
    # it as the batch run does, puts it in the address and draws its texture.
    added = page.tab.call("Page.addScriptToEvaluateOnNewDocument",
                          source="crypto.getRandomValues = (a) => (a[0] = 3141592653, a);")
    try:
        assert page.open(sites[True].url + "?octaves=2")["ready"]
    finally:
        page.tab.call("Page.removeScriptToEvaluateOnNewDocument", identifier=added["identifier"])
    assert "noisedemo: --seed=3141592653" in page.state("messages")
    assert page.evaluate("location.search").startswith("?seed=3141592653&")
    assert page.canvas(TEXTURE).tobytes() == exports.bmp_rgb(["--seed=3141592653", "--octaves=2"])
    # Its own random source: two loads, two seeds (the same twice one time
    # in 2^32).
    seeds = []
    for _ in range(2):
        assert page.open(sites[False].url + "?octaves=2")["ready"]
        seed = page.evaluate("new URLSearchParams(location.search).get('seed')")
        assert f"noisedemo: --seed={seed}" in page.state("messages")
        seeds.append(seed)
    assert seeds[0] != seeds[1], seeds


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
    # The picture was the one the page opened with: nothing to ask.
    assert page.state("asked") == 0
    assert page.state("error") == "" and exceptions(page) == []
    # The windows stay as they were and take nothing more.
    page.drag(GRAPH, [(50, 200), (50, 100)])
    page.key(GRAPH, "b")
    assert page.canvas(GRAPH).tobytes() == before
    assert page.state("downloads.length") == 0 and exceptions(page) == []


def test_quit_asks_after_a_change_and_a_reload_brings_the_picture_back(page, sites):
    assert page.open(sites[False].url + "?seed=11&octaves=2")["ready"]
    page.click(PANEL, *page.layout().radios[SCALES[2]].centre)
    changed = page.command()
    # The user says no: every way of quitting asks, and the program goes on.
    page.evaluate("self.confirm = () => false")
    page.key(GRAPH, "q")
    page.click(PANEL, *page.layout().buttons[2].centre)
    assert page.state("asked") == 2 and not page.state("ended")
    page.evaluate("self.confirm = () => true")
    page.key(GRAPH, "Escape")
    page.wait_for("noisedemoPage.ended")
    assert page.open("", reload=True)["ready"]
    assert page.command() == changed


def test_the_keyboard_reaches_every_button_window_and_control(page, sites):
    assert page.open(sites[False].url + "?seed=21&noise=gradient")["ready"]
    # Tab goes through the toolbar and the address line, then the three
    # windows, each ringed.
    order = []
    for _ in range(11):
        page.press_key("Tab")
        order.append(page.focused())
    assert order == ["Save BMP", "Save PNG", "Save heightmap", "Save STL", "Save binary STL",
                     "Copy link", "Help", "DIV", GRAPH, TEXTURE, PANEL], order
    ring = ("(w => getComputedStyle(w.frame).boxShadow.includes('rgb(255, 204, 0)'))"
            "(noisedemoPage.windows.get(%d))")
    assert page.evaluate(ring % PANEL) and not page.evaluate(ring % GRAPH)
    # In the panel the arrows go from control to control and Space or Enter
    # presses, with the pointer anywhere: keys go to the focused window.
    page.move(GRAPH, 10, 10)
    page.press_key("ArrowDown")
    told = page.evaluate("document.getElementById('told').textContent")
    assert told == "Noise Type: Value-Only, radio button, not chosen", told
    assert page.evaluate("!document.querySelector('.focus-ring').hidden")
    page.press_key(" ")
    assert page.panel_states()["on"][NOISE[0]]
    page.press_key("ArrowDown")
    page.press_key("Enter")
    assert page.panel_states()["on"][NOISE[1]]
    page.press_key("ArrowUp")
    assert page.evaluate("document.getElementById('told').textContent").startswith("Noise Type: Value-Only")
    # A screen reader finds every control by name, in its state.
    mirror = page.evaluate("[...document.querySelectorAll('#mirror li')].map(li => li.textContent)")
    assert len(mirror) == 26 and "Noise Type: Gradient-Only, radio button, chosen" in mirror, mirror
    assert page.evaluate("document.getElementById('message').getAttribute('aria-live')") == "polite"
    # Space in the graph presses nothing and says nothing.
    page.press_key("Tab", shift=True)
    page.press_key("Tab", shift=True)
    assert page.focused() == GRAPH
    page.press_key(" ")
    assert not any("Don't know" in line for line in page.state("messages"))


# ---------------------------------------------------------------------------
# The layout: the windows fit the browser window
# ---------------------------------------------------------------------------

@pytest.fixture
def sized(page):
    """The page at other sizes; the suite's own size afterwards."""
    yield page
    page.viewport(*VIEWPORT)


def overlap(a, b):
    return a[0] < b[0] + b[2] and b[0] < a[0] + a[2] and a[1] < b[1] + b[3] and b[1] < a[1] + a[3]


SCREENS = [(1366, 768, False), (1280, 800, False), (1920, 1080, False), (820, 1180, True),
           (390, 844, True), (300, 600, True)]


@pytest.mark.parametrize("width, height, touch", SCREENS)
def test_the_windows_fit_the_screen(sized, sites, exports, width, height, touch):
    page, query = sized, "seed=31&noise=gradient&octaves=4&scale=rainbow"
    page.viewport(width, height, touch)
    state = page.open(sites[False].url + "?" + query, fitted=True)
    assert state["ready"], state
    frames = page.frames()
    across, down, scroll_width = page.evaluate(
        "[document.documentElement.clientWidth, document.documentElement.clientHeight,"
        " document.documentElement.scrollWidth]")
    # One canvas pixel per CSS pixel, and no window over another.
    for window in (GRAPH, TEXTURE, PANEL):
        _, _, w, h = page.box(window)
        assert page.canvas(window).size == (w, h), window
    assert not any(overlap(frames[a], frames[b]) for a, b in ((1, 2), (1, 3), (2, 3))), frames
    # None under the fixed bar, which grows when its lines wrap or change.
    page.wait_for("[...noisedemoPage.windows.values()].every(w => w.frame.getBoundingClientRect().top"
                  " + scrollY >= document.getElementById('bar').offsetHeight)")
    room = "document.getElementById('room').hidden ? '' : document.getElementById('room').textContent"
    too_small = "smaller than the program's windows" in page.evaluate(room)
    # The start hint stays in sight at every size.
    hint = page.evaluate("(r => [r.left, r.top, r.width, r.height])"
                         "(document.getElementById('hint').getBoundingClientRect())")
    assert hint[2] >= 100 and hint[1] >= 0 and hint[1] + hint[3] <= down, hint
    if width <= 316:
        # Below the panel's width the page scrolls across too, and says so
        # while it is so.
        assert too_small and scroll_width > across
        page.viewport(*VIEWPORT)
        page.wait_for(f"!({room})")
        return
    assert not too_small and scroll_width == across
    assert all(left >= 0 and left + w <= across for left, _, w, _ in frames.values()), frames
    if width >= 1280:
        # All three in sight, the texture at one texel per pixel: the
        # native batch BMP's pixels.
        assert all(top >= 58 and top + h <= down for _, top, _, h in frames.values()), frames
        assert page.canvas(TEXTURE).tobytes() == exports.bmp_rgb(options_of(query))
    else:
        # Stacked: the graph on top, then the texture, the panel beside or below it.
        assert frames[GRAPH][1] + frames[GRAPH][3] <= frames[TEXTURE][1] <= frames[PANEL][1]


def test_windows_move_rise_and_go_back(sized, sites):
    page = sized
    page.viewport(1366, 768)
    assert page.open(sites[True].url + "?seed=3", fitted=True)["ready"]
    laid_out = page.frames()
    graph, texture = laid_out[GRAPH], laid_out[TEXTURE]

    left, top, _, _ = page.box(TEXTURE)
    grab = (left + 40, top - 10)  # on the texture window's title bar

    def title(kind, dx=0, dy=0, count=1):
        page.front()
        page.tab.call("Input.dispatchMouseEvent", type=kind, x=grab[0] + dx, y=grab[1] + dy,
                      button="left", buttons=0 if kind == "mouseReleased" else 1,
                      clickCount=count)

    # The texture window dragged by its title bar over the graph's right part.
    dx, dy = graph[0] + graph[2] // 2 - texture[0], 30
    title("mousePressed")
    title("mouseMoved", dx // 2, dy // 2)
    title("mouseMoved", dx, dy)
    title("mouseReleased", dx, dy)
    grab = (grab[0] + dx, grab[1] + dy)
    moved = page.frames()
    assert moved[TEXTURE][:2] == (texture[0] + dx, texture[1] + dy), (texture, moved[TEXTURE])
    assert moved[GRAPH] == graph
    under = (graph[0] + graph[2] - 20, graph[1] + graph[3] // 2)
    on_top = f"document.elementFromPoint({under[0]}, {under[1]}).dataset.window"
    assert page.evaluate(on_top) == str(TEXTURE)
    # A press in the graph brings it to the front.
    page.click(GRAPH, 20, 20)
    assert page.evaluate(on_top) == str(GRAPH)
    # A double click on a title bar (the graph's, now in front) puts every
    # window back.
    left, top, _, _ = page.box(GRAPH)
    grab = (left + 40, top - 10)
    for count in (1, 2):
        title("mousePressed", count=count)
        title("mouseReleased", count=count)
    page.wait_for(f"(() => {{ const r = noisedemoPage.windows.get({TEXTURE}).frame"
                  f".getBoundingClientRect(); return r.left === {texture[0]}; }})()")
    assert page.frames() == laid_out
    # A larger browser window lays the windows out again: the graph at full size.
    page.viewport(1920, 1080)
    page.wait_for(f"noisedemoPage.windows.get({GRAPH}).canvas.width === {GRAPH_START[0]}"
                  " && !noisedemoPage.module._NdBusy()")
    assert page.canvas(GRAPH).size == GRAPH_START and page.frames()[GRAPH][:2] == laid_out[GRAPH][:2]


def test_the_embedded_layout_fits_a_frame(sized, sites):
    """A learning platform's 800 x 600 frame: the graph and the texture side
    by side in sight, the panel below them, reached by scrolling."""
    page = sized
    page.viewport(800, 600)
    assert page.open(sites[False].url + "?seed=9&octaves=3&layout=embed", fitted=True)["ready"]
    frames = page.frames()
    graph, texture, panel = frames[GRAPH], frames[TEXTURE], frames[PANEL]
    assert graph[1] == texture[1] and graph[0] + graph[2] < texture[0], frames
    assert texture[0] + texture[2] <= 800 and max(graph[1] + graph[3], texture[1] + texture[3]) <= 600
    assert panel[1] >= texture[1] + texture[3] and not overlap(panel, graph), frames
    assert page.evaluate("[document.documentElement.scrollWidth, document.getElementById('room').hidden]") \
        == [800, True]
    # The panel works where the frame scrolls to it.
    page.evaluate(f"noisedemoPage.windows.get({PANEL}).frame.scrollIntoView()")
    page.click(PANEL, *page.layout().radios[SCALES[1]].centre)
    assert page.panel_states()["on"][SCALES[1]]


def test_touch_on_a_phone(sized, sites):
    """Mobile emulation with touch events: a finger drags a control point as
    the mouse does, a tap on the panel clicks, a held slider arrow repeats,
    and a finger outside the canvases scrolls the page."""
    page = sized
    page.viewport(390, 844, touch=True)
    query = sites[False].url + "?seed=12&noise=gradient"

    def point3(command):
        return next(w for w in command.split(" ") if w.startswith("--point=3:"))

    def drag(touch):
        assert page.open(query, fitted=True)["ready"]
        size = tuple(page.box(GRAPH)[2:])
        x, y = dot_place(page, 3, size)
        assert y is not None and size[0] < 390
        steps = [(x, y), (x, y - 20), (x, y - 40)]
        if touch:
            page.touch("touchStart", GRAPH, *steps[0])
            for step in steps[1:]:
                page.touch("touchMove", GRAPH, *step)
            page.touch("touchEnd", GRAPH, *steps[-1])
            page.settle()
        else:
            page.drag(GRAPH, steps)
        return page.command()

    # The touch drag moves point 3 exactly as the same drag by the mouse.
    by_mouse = drag(touch=False)
    by_touch = drag(touch=True)
    assert point3(by_touch) == point3(by_mouse) and "--point=3:" in by_touch, by_touch

    # A finger picks a point within its reach: 20 pixels above point 3 (and
    # 40 or more from any other) the press takes point 3 and drags it.
    x, y = dot_place(page, 3, tuple(page.box(GRAPH)[2:]))
    assert page.evaluate("matchMedia('(pointer: coarse)').matches")
    before = page.command()
    page.touch("touchStart", GRAPH, x, y - 20)
    page.touch("touchMove", GRAPH, x, y - 40)
    page.touch("touchEnd", GRAPH, x, y - 40)
    page.settle()
    assert point3(page.command()) != point3(before)

    # A tap on the fire scale's radio button chooses it (the panel scrolled
    # into sight first, as a finger would).
    layout = page.layout()
    page.evaluate(f"noisedemoPage.windows.get({PANEL}).frame.scrollIntoView()")
    page.touch("touchStart", PANEL, *layout.radios[SCALES[3]].centre)
    page.touch("touchEnd", PANEL, *layout.radios[SCALES[3]].centre)
    page.settle()
    assert page.panel_states()["on"][SCALES[3]]

    # Point 3 is current: a tap on a slider's right arrow steps its gradient
    # once; held, the arrow repeats until the thumb has moved.
    slider = layout.sliders[0]
    arrow = (slider.x + slider.w - 8, slider.y + 8)
    before = point3(page.command())
    page.touch("touchStart", PANEL, *arrow)
    page.touch("touchEnd", PANEL, *arrow)
    page.settle()
    tapped = point3(page.command())
    assert tapped != before
    xs = (slider.x + 17, slider.w - 34)
    thumb = ("(() => { const d = noisedemoPage.windows.get(%d).canvas.getContext('2d')"
             ".getImageData(%d, %d, %d, 1).data; for (let i = 0; i < d.length; i += 4)"
             " if (d[i] === 255 && d[i + 1] === 255 && d[i + 2] === 255) return i / 4; return -1; })()"
             % (PANEL, xs[0], slider.y + 8, xs[1]))
    start = page.evaluate(thumb)
    page.touch("touchStart", PANEL, *arrow)
    page.wait_for(f"{thumb} > {start} + 3")
    page.touch("touchEnd", PANEL, *arrow)
    page.settle()
    held = point3(page.command())
    steps = [float(p.split(":")[1].split(",")[1]) for p in (before, tapped, held)]
    assert abs(steps[2] - steps[1]) > abs(steps[1] - steps[0]), steps

    # A tap 10 pixels left of the clouds scale's radio button, on no
    # control, chooses it: the nearest control within a finger's reach.
    clouds = page.evaluate("panelControls().find(c => c.name.includes('clouds'))")
    tap = (clouds["x"] - 10, clouds["y"] + clouds["h"] // 2)
    assert not page.evaluate(f"panelControls().some(c => {tap[0]} >= c.x && {tap[0]} <= c.x + c.w"
                             f" && {tap[1]} >= c.y && {tap[1]} <= c.y + c.h)")
    page.touch("touchStart", PANEL, *tap)
    page.touch("touchEnd", PANEL, *tap)
    page.settle()
    assert page.panel_states()["on"][SCALES[2]]

    # A finger on the texture window's title bar scrolls the page down.
    left, top, _, _ = page.box(TEXTURE)
    page.evaluate("scrollTo(0, 0)")
    page.front()
    for kind, y in (("touchStart", 0), ("touchMove", -100), ("touchMove", -200), ("touchEnd", 0)):
        page.tab.call("Input.dispatchTouchEvent", type=kind,
                      touchPoints=[] if kind == "touchEnd" else [{"x": left + 100, "y": top - 10 + y}])
    page.wait_for("scrollY > 0")
    assert page.evaluate("scrollX") == 0
