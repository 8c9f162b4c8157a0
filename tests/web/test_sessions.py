"""Random sessions on the page: user actions of every kind in an order drawn
from one seed, and after each action every canvas checked against a model of
what the program must show (tests/e2e/test_random_sessions.py's, leaner).

After every action key i's command must be the model's; after an action
that may edit a control point, the points it lists are learned from it (only
points the action worked on may appear). Then, exact by construction:
- the texture canvas at 512 by 512 is the native batch BMP of that command,
  byte for byte; at another size it has the window's size and every pixel
  obeys its colour scale's rule;
- the graph canvas is the graph canvas of a fresh page opened at key i's
  address (same program, same input), given the same graph size and the
  same selected point;
- the panel's radio buttons, their enabled states and the check boxes are
  the model's.

The fixed seeds run in `make test` (between them they take every kind of
action); replay others with NOISEDEMO_WEB_SESSION_SEEDS=<seed>[,<seed>...],
or try N fresh ones with NOISEDEMO_WEB_SESSIONS=N; NOISEDEMO_WEB_SESSION_ACTIONS=K
makes each K actions long.
"""
import hashlib
import os
import random

import pytest

from conftest import (GRAPH, GRAPH_START, PANEL, TEXTURE, TEXTURE_START, VIEWS, bmp_rgb,
                      export_names, dot_place, e2e, expected_panel)

FIXED_SEEDS = (20261208, 5, 777, 4)
ACTIONS = int(os.environ.get("NOISEDEMO_WEB_SESSION_ACTIONS", "25"))
# Not the space bar: over the graph and the texture the page leaves it to the
# browser (web/page.js, onKey), as it does Enter.
UNKNOWN_KEYS = ("x", "7", "z", ",")
# The actions that may change a control point; key i then tells how.
EDITS = ("drag a dot", "hold a slider arrow", "drag a slider thumb", "page a slider")


def session_seeds():
    chosen = os.environ.get("NOISEDEMO_WEB_SESSION_SEEDS")
    if chosen:
        return [int(s) for s in chosen.split(",")]
    count = os.environ.get("NOISEDEMO_WEB_SESSIONS")  # fresh seeds, by hand only
    if count:
        return [random.SystemRandom().randrange(2 ** 32) for _ in range(int(count))]
    return list(FIXED_SEEDS)


class Model(e2e.SettingsModel):
    """The settings' model, the panel it shows and the windows' sizes."""

    def __init__(self, rng):
        super().__init__(rng)
        self.size = {GRAPH: GRAPH_START, TEXTURE: TEXTURE_START}

    def panel(self):
        return expected_panel(self.noise, self.blend, self.slopes, self.octaves,
                              self.turbulence, self.scale, self.debug, self.rule_enabled)


class Session(e2e.SessionDriver):
    LABEL, REPLAY = "web session", "NOISEDEMO_WEB_SESSION_SEEDS"

    def __init__(self, seed, page, reference, sites, exports):
        self.seed, self.page, self.ref, self.sites, self.exports = seed, page, reference, sites, exports
        self.rng = random.Random(seed)
        self.model = Model(self.rng)
        self.done = []
        self.restore = {}  # window: (actions left, how to put its size back)
        self.graphs = {}  # (address, size, current): the fresh page's graph digest
        self.layout = self.view_controls = None

    def start(self):
        m = self.model
        defaults = (m.noise, m.blend, m.slopes, m.octaves, m.turbulence, m.scale) == \
            (0, 0, 0, 1, False, 0)
        query = "&".join(o[2:].replace("+", "%2B") for o in
                         [f"--seed={m.seed}"] + ([] if defaults else m.settings()))
        state = self.page.open(self.sites[self.seed % 2 == 0].url + "?" + query)
        if not state["ready"]:
            self.fail(f"the page did not start: {state}")
        self.layout = self.page.layout()
        self.view_controls = e2e.view_controls(self.page.canvas(VIEWS))

    # -- the checks ----------------------------------------------------------
    def key_i(self, learn=False):
        """Key i's command must be the model's; after an edit, the edited
        points are learned from it."""
        window = self.rng.choice((GRAPH, TEXTURE))
        command = self.page.command(window)
        if window == TEXTURE:  # the key is pressed with the pointer at (5, 5)
            self.model.pointer = e2e.pointer_texel(5, 5, self.model.size[TEXTURE])
        learned = self.model.learn_points if learn else self.model.key_i_problem
        self.expect(learned(command))
        return self.page.state("address")

    def reference_graph(self, address):
        """The graph of a fresh page at the address, at the model's graph
        size and with its selected point pressed."""
        m = self.model
        key = (address, m.size[GRAPH], m.current)
        if key not in self.graphs:
            ref = self.ref
            state = ref.open(address)
            if not state["ready"]:
                self.fail(f"the fresh page at {address} did not start: {state}")
            if m.size[GRAPH] != GRAPH_START:
                ref.resize(GRAPH, *m.size[GRAPH])
            if m.current >= 0:
                x, y = dot_place(ref, m.current, m.size[GRAPH])
                if y is None:
                    self.fail(f"no dot {m.current} in the fresh page's graph")
                ref.click(GRAPH, x, y)
            self.graphs[key] = ref.digest(GRAPH)
        return self.graphs[key]

    def check(self, learn=False):
        m, page = self.model, self.page
        page.settle()
        address = self.key_i(learn)
        problems = []
        width, height, texture = page.digest(TEXTURE)
        if (width, height) != m.size[TEXTURE]:
            problems.append(f"texture canvas {width} by {height}, not {m.size[TEXTURE]}")
        elif m.size[TEXTURE] == TEXTURE_START:
            # The native BMP probes the centre texel; a probe or the value
            # under the pointer elsewhere names another texel.
            same = texture == hashlib.sha256(self.exports.bmp_rgb(m.options())).hexdigest()
            if same == m.probe_elsewhere():
                problems.append(f"texture {'equals' if same else 'differs from'} the native BMP "
                                f"of key i's command, pointer at texel {m.pointer}")
        elif not m.texture_overlaid():
            problems += e2e.scale_problems(page.canvas(TEXTURE), m.scale)
        graph = page.digest(GRAPH)
        if graph[:2] != m.size[GRAPH]:
            problems.append(f"graph canvas {graph[:2]}, not {m.size[GRAPH]}")
        elif "stats" not in m.views and graph != self.reference_graph(address):
            # (With the statistics view the graph also reads the noise where
            # the pointer last crossed it, which no address carries.)
            problems.append("graph differs from a fresh page's at key i's address")
        shown = page.panel_states()
        if shown != m.panel():
            problems.append(f"panel shows {shown}, not {m.panel()}")
        problems += e2e.views_panel_problems(page.canvas(VIEWS), self.view_controls, m)
        if page.state("error") or page.state("ended"):
            problems.append(f"the page stopped: {page.state('error')}")
        if problems:
            self.fail("; ".join(problems))

    # -- the actions ---------------------------------------------------------
    def radio(self, i):
        self.page.click(PANEL, *self.layout.radios[i].centre)
        self.model.choose_radio(i)

    def checkbox(self, which):
        self.page.click(PANEL, *self.layout.checkboxes[which].centre)
        if which == 0:
            self.model.turbulence = not self.model.turbulence
        else:
            self.model.debug = not self.model.debug

    def reset(self):
        self.page.click(PANEL, *self.layout.buttons[1].centre)
        self.model.reset()

    def rerandomize(self):
        self.page.click(PANEL, *self.layout.buttons[0].centre)
        self.expect(self.model.learn_seed(self.page.command()))

    def press_dot(self, i):
        x, y = dot_place(self.page, i, self.model.size[GRAPH])
        if y is None:
            self.fail(f"no dot {i} to press on")
        self.page.click(GRAPH, x, y)
        self.model.press(i)

    def press_empty(self):
        w, h = self.model.size[GRAPH]
        gap = self.rng.randrange(7)
        x = e2e.gap_x(gap, w)
        self.page.click(GRAPH, x, self.rng.randrange(h))
        self.model.press(-1)

    def press_texture(self):
        w, h = self.model.size[TEXTURE]
        x, y = self.rng.randrange(w), self.rng.randrange(h)
        self.page.click(TEXTURE, x, y)
        self.model.pointer = e2e.pointer_texel(x, y, (w, h))
        self.model.press(-1)

    def key(self, window, key):
        """A key with the pointer over the window (at its pixel (5, 5))."""
        self.page.key(window, key)
        if window == TEXTURE:
            self.model.pointer = e2e.pointer_texel(5, 5, self.model.size[TEXTURE])

    def view_key(self):
        key = self.rng.choice(self.model.VIEW_KEYS)
        self.key(self.rng.choice((GRAPH, TEXTURE)), key)
        self.model.view_key(key)

    def view_click(self, kind):
        controls = self.view_controls[kind]
        i = self.rng.randrange(len(controls))
        self.page.click(VIEWS, *controls[i].centre)
        self.model.view_clicked(kind, i)

    def point_texture(self, centre):
        """The pointer over the texture: at a random pixel, or at the one
        that shows the centre texel at the window's opening size."""
        w, h = self.model.size[TEXTURE]
        x, y = (w // 2, h // 2 - 1) if centre else (self.rng.randrange(w), self.rng.randrange(h))
        self.page.move(TEXTURE, x, y)
        self.page.settle()
        self.model.pointer = e2e.pointer_texel(x, y, (w, h))

    def drag_dot(self, i):
        w, h = self.model.size[GRAPH]
        x, y = dot_place(self.page, i, (w, h))
        if y is None:
            self.fail(f"no dot {i} to drag")
        # Values from 0.02 to 0.95: the dot stays above the axis and the bar.
        target = int((e2e.UNITS_H - self.rng.uniform(156, 435)) * h / e2e.UNITS_H)
        if abs(target - y) < 8:
            target = y - 20 if y > h / 2 else y + 20
        steps = self.rng.randint(2, 6)
        self.page.drag(GRAPH, [(x, y + (target - y) * k // steps) for k in range(steps + 1)])
        self.model.press(i)
        self.model.edited.add(i)

    def thumb(self, k):
        """The slider's thumb: its first white pixel along the track's middle row."""
        slider = self.layout.sliders[k]
        xs = range(slider.x + 17, slider.x + slider.w - 17)
        row = self.page.pixels(PANEL, [(x, slider.y + 8) for x in xs])
        return next((x - 1 - slider.x for x, c in zip(xs, row) if c == e2e.WHITE), None)

    def slider_moved(self, k, before, traces):
        """Moved exactly when the sliders are enabled, with a SetSliderG trace
        when Debug is on."""
        m = self.model
        now = self.thumb(k)
        if (now != before) != m.sliders:
            self.fail(f"slider {k} thumb {before} -> {now}, sliders enabled: {m.sliders}")
        traced = self.traces() > traces
        if m.debug and traced != m.sliders:
            self.fail(f"slider {k} traced SetSliderG: {traced}, enabled: {m.sliders}")
        if m.sliders and m.current >= 0:
            m.edited.add(m.current)

    def traces(self):
        return self.page.evaluate("noisedemoPage.messages.filter(l => l === 'SetSliderG').length")

    def slider_hold(self, k):
        page, slider = self.page, self.layout.sliders[k]
        before, traces = self.thumb(k), self.traces()
        towards = 1 if before < 90 else -1  # the arrow with room beyond it
        x, y = slider.x + (slider.w - 8 if towards > 0 else 8), slider.y + 8
        page.press(PANEL, x, y)
        if self.model.sliders:
            # Held, the arrow repeats until the thumb has moved.
            xs = list(range(slider.x + 17, slider.x + slider.w - 17))
            page.wait_for(
                "(() => { const c = noisedemoPage.windows.get(%d).canvas;"
                " const d = c.getContext('2d').getImageData(%d, %d, %d, 1).data;"
                " let t = -1; for (let i = 0; i < d.length; i += 4)"
                "   if (d[i] === 255 && d[i + 1] === 255 && d[i + 2] === 255) { t = i / 4; break; }"
                " return t >= 0 && t + %d !== %d; })()"
                % (PANEL, xs[0], slider.y + 8, len(xs), 17 - 1, before))
        else:
            page.settle()
        page.release(PANEL, x, y)
        page.settle()
        self.slider_moved(k, before, traces)

    def slider_drag(self, k):
        slider = self.layout.sliders[k]
        before, traces = self.thumb(k), self.traces()
        distance = self.rng.randint(10, 40) * (1 if before < 90 else -1)
        x, y = slider.x + before + 3, slider.y + 8
        steps = self.rng.randint(2, 5)
        self.page.drag(PANEL, [(x + distance * j // steps, y) for j in range(steps + 1)])
        self.slider_moved(k, before, traces)

    def slider_page(self, k):
        """A press on the track pages the thumb towards it."""
        slider = self.layout.sliders[k]
        before, traces = self.thumb(k), self.traces()
        # The track between the arrows (17 pixels each), away from the thumb
        # (about 20 pixels wide).
        left, right = 17 + 2, slider.w - 17 - 3
        if before - left > 25:
            x = self.rng.randint(left, before - 25)
        else:
            x = self.rng.randint(before + 45, right)
        self.page.click(PANEL, slider.x + x, slider.y + 8)
        self.slider_moved(k, before, traces)

    def key_b(self):
        m = self.model
        name = export_names(m.settings())["bmp"]
        count, lines = self.page.state("downloads.length"), self.page.state("messages.length")
        self.key(self.rng.choice((GRAPH, TEXTURE)), "b")
        got, data = self.page.downloads(count)[0]
        # With Debug on, the redraw's traces follow the line.
        said = self.page.evaluate(f"noisedemoPage.messages.slice({lines})")
        if got != name or f"Image file '{name}' created." not in said:
            self.fail(f"key b made {got!r} and said {said!r}; expected {name!r}")
        if bmp_rgb(data) != self.page.canvas(TEXTURE).tobytes():
            self.fail(f"{name} is not the texture canvas")

    def key_unknown(self):
        char = self.rng.choice(UNKNOWN_KEYS)
        lines = self.page.state("messages.length")
        self.key(self.rng.choice((GRAPH, TEXTURE)), char)
        said = f"Don't know what to do with keyboard hit: '{char}' (0x{ord(char):x})"
        # With Debug on, traces of the key and of a redraw come with it.
        printed = self.page.evaluate(f"noisedemoPage.messages.slice({lines})")
        if (said not in printed) if self.model.debug else (printed != [said]):
            self.fail(f"an unknown key {char!r} printed {printed!r}, not {said!r}")

    def resize(self, window):
        w, h = ((self.rng.randint(360, 740), self.rng.randint(260, 550)) if window == GRAPH else
                (self.rng.randint(200, 690), self.rng.randint(200, 552)))
        self._resize_to(window, (w, h))
        start = GRAPH_START if window == GRAPH else TEXTURE_START
        self.restore[window] = (self.rng.randint(1, 4), lambda: self._resize_to(window, start))

    def _resize_to(self, window, size):
        self.page.resize(window, *size)
        self.model.size[window] = size

    def kinds(self):
        deck = [(1, f"radio {i}", lambda i=i: self.radio(i)) for i in range(19)]
        deck += [
            (2, "Turbulence", lambda: self.checkbox(0)),
            (1, "Debug", lambda: self.checkbox(1)),
            (1, "Reset", self.reset),
            (2, "Re-Randomize", self.rerandomize),
            (4, "press a dot", lambda: self.press_dot(self.rng.randrange(8))),
            (2, "press empty graph space", self.press_empty),
            (2, "press in the texture", self.press_texture),
            (5, "drag a dot", lambda: self.drag_dot(self.rng.randrange(8))),
            (2, "hold a slider arrow", lambda: self.slider_hold(self.rng.randrange(2))),
            (2, "drag a slider thumb", lambda: self.slider_drag(self.rng.randrange(2))),
            (2, "page a slider", lambda: self.slider_page(self.rng.randrange(2))),
            (1, "key i", lambda: None),  # every check presses it
            (2, "key b", self.key_b),
            (1, "unknown key", self.key_unknown),
            (2, "view key", self.view_key),
            (1, "Views check box", lambda: self.view_click(0)),
            (1, "octave view", lambda: self.view_click(1)),
            (1, "octave number", lambda: self.view_click(2)),
            (1, "point in the texture", lambda: self.point_texture(False)),
            (1, "point at the texture's centre", lambda: self.point_texture(True)),
            (2, "resize graph", lambda: self.resize(GRAPH)),
            (2, "resize texture", lambda: self.resize(TEXTURE)),
        ]
        return deck

    def run(self, count):
        self.start()
        self.check()
        deck = []
        while len(self.done) < count:
            due = [w for w, (left, _) in self.restore.items() if left <= 0]
            if due:
                what, act = f"resize {'graph' if due[0] == GRAPH else 'texture'} back", \
                    self.restore.pop(due[0])[1]
            else:
                if not deck:  # every kind, as often as its weight, in a fresh order
                    deck = [name for n, name, _ in self.kinds() for _ in range(n)]
                    self.rng.shuffle(deck)
                able = {name: act for _, name, act in self.kinds()
                        if not (name.startswith("resize ") and
                                (GRAPH if name.endswith("graph") else TEXTURE) in self.restore)}
                pick = next((name for name in deck if name in able), None)
                if pick is None:
                    deck = []
                    continue
                deck.remove(pick)
                what, act = pick, able[pick]
                for window, (left, back) in list(self.restore.items()):
                    self.restore[window] = (left - 1, back)
            self.done.append(what)
            act()
            self.check(learn=what in EDITS)
        for window, (_, back) in list(self.restore.items()):
            self.done.append("resize back")
            back()
            self.check()
        print(f"web session seed {self.seed}: {self.done}")


@pytest.mark.parametrize("seed", session_seeds())
def test_random_session_keeps_every_canvas_true_to_the_settings(seed, page, reference_page,
                                                               sites, exports):
    print(f"web session seed {seed}: replay with NOISEDEMO_WEB_SESSION_SEEDS={seed}")
    Session(seed, page, reference_page, sites, exports).run(ACTIONS)
