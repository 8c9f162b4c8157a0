"""Drives the real program on a virtual X display, as a person would.

Each test gets a fresh Xvfb server and a fresh noisedemo process; windows are
found by title with xdotool, input is sent with xdotool, and the evidence is
screenshots (ImageMagick's import) and the files the program writes.
"""
import functools
import itertools
import os
import re
import runpy
import signal
import subprocess
import time

import pytest
from PIL import Image, ImageChops
from Xlib import X
from Xlib import display as xdisplay
from Xlib import error as xerror

GRAPH_TITLE = "Noise Demo -- Quenmarl"
TEXTURE_TITLE = "2D Noise"
PANEL_TITLE = "User Interface Window"

# How long a wait for the program may last before the test fails. Every wait
# ends as soon as its condition holds, so this bounds only how long a failure
# takes to be reported; it is generous because another test run may share the
# processors.
WAIT = 30

PROGRAM = os.environ.get("NOISEDEMO") or os.path.join(
    os.path.dirname(__file__), "..", "..", "build", "noisedemo")
SOFT_RENDER = os.environ.get("SOFT_RENDER") or os.path.join(
    os.path.dirname(__file__), "..", "..", "build", "tests", "soft_render")


@functools.lru_cache(maxsize=None)
def _export_names(options):
    done = subprocess.run([os.path.abspath(SOFT_RENDER), *options, "--names"],
                          capture_output=True, text=True, timeout=60, check=True)
    return dict(line.split(" ", 1) for line in done.stdout.splitlines())


def export_names(options):
    """{batch format (bmp, png, heightmap, stl, stl-binary): the file name its
    key saves to} under the command line's options, as the program names them."""
    return _export_names(tuple(options))


class XServer:
    def __init__(self, width, height):
        read_fd, write_fd = os.pipe()
        self.proc = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0",
             f"{width}x{height}x24", "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as pipe:
            number = pipe.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number
        # llvmpipe's linear rasteriser truncates a colour to 8 bits where its
        # other path rounds (green 0.45 gives 114 against 115), and which
        # of the two draws a tile changes from run to run: the f'' labels
        # of a resized graph differed in about one run in three. Every
        # picture the tests hold against softgl or a file is taken on the
        # path that rounds, as GL's conversion rule does.
        self.env = dict(os.environ, DISPLAY=self.display, LP_PERF="no_rast_linear")

        # Our own connection, for screen grabs and round trips: far quicker
        # than starting `import` for every picture.
        self.conn = xdisplay.Display(self.display)

    def run(self, *args, check=True):
        return subprocess.run(list(args), env=self.env, check=check,
                              capture_output=True, text=True, timeout=30)

    def sync(self):
        """A round trip: the server has handled every request sent before."""
        self.conn.sync()

    def grab(self, wid):
        """The window's pixels as an RGB image, or None while it is unmapped
        (or gone)."""
        window = self.conn.create_resource_object("window", int(wid, 0))
        try:
            size = window.get_geometry()
            raw = window.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xffffffff)
        except (xerror.BadMatch, xerror.BadDrawable, xerror.BadWindow):
            return None
        return Image.frombytes("RGB", (size.width, size.height), raw.data, "raw", "BGRX")

    def stop(self):
        self.conn.close()
        self.proc.terminate()
        self.proc.wait(timeout=10)


class Window:
    def __init__(self, session, wid):
        self.session = session
        self.id = wid

    def geometry(self):
        """(x, y, width, height) of the window on the screen."""
        out = self.session.x.run("xwininfo", "-id", self.id).stdout
        fields = {}
        for line in out.splitlines():
            if ":" in line:
                key, _, value = line.strip().partition(":")
                fields[key] = value.strip()
        return (int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"]),
                int(fields["Width"]), int(fields["Height"]))

    def screenshot(self):
        shot = self.session.x.grab(self.id)
        assert shot is not None, f"window {self.id} is not mapped"
        return shot

    def key(self, *keys):
        self.session.x.run("xdotool", "mousemove", "--window", self.id, "5", "5")
        self.session.x.run("xdotool", "key", *keys)

    def move(self, x, y):
        self.session.x.run("xdotool", "mousemove", "--window", self.id, str(x), str(y))

    def click(self, x, y, button=1):
        self.move(x, y)
        self.session.x.run("xdotool", "click", str(button))

    def press(self, x, y, button=1):
        self.move(x, y)
        self.session.x.run("xdotool", "mousedown", str(button))

    def release(self, button=1):
        self.session.x.run("xdotool", "mouseup", str(button))

    def drag(self, x0, y0, x1, y1, steps=8, button=1):
        self.press(x0, y0, button)
        for k in range(1, steps + 1):
            self.move(x0 + (x1 - x0) * k // steps, y0 + (y1 - y0) * k // steps)
        self.release(button)

    def resize(self, width, height):
        self.session.x.run("xdotool", "windowsize", self.id, str(width), str(height))


class Session:
    """One running noisedemo on its own X server, started in `workdir`."""

    def __init__(self, x, workdir, args=(), logs=None):
        self.x = x
        self.workdir = workdir
        # Elsewhere when the working folder is itself under test (a full disk).
        logs = logs or workdir
        self.stderr_path = os.path.join(logs, "stderr.txt")
        self.stdout_path = os.path.join(logs, "stdout.txt")
        self._stderr = open(self.stderr_path, "wb")
        self._stdout = open(self.stdout_path, "wb")
        self.proc = subprocess.Popen([os.path.abspath(PROGRAM), *args], cwd=workdir,
                                     env=x.env, stdout=self._stdout, stderr=self._stderr)
        self.graph = self.window(GRAPH_TITLE)
        self.texture = self.window(TEXTURE_TITLE)
        self.panel = self.window(PANEL_TITLE)

    def window(self, title, timeout=WAIT):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.proc.poll() is not None:
                raise RuntimeError(f"noisedemo exited with {self.proc.returncode}: {self.stderr()}")
            out = self.x.run("xdotool", "search", "--onlyvisible", "--name", f"^{title}$",
                             check=False).stdout.split()
            if out:
                return Window(self, out[0])
            time.sleep(0.1)
        raise RuntimeError(f"no window titled {title!r}")

    def stderr(self):
        self._stderr.flush()
        with open(self.stderr_path, "rb") as f:
            return f.read().decode("latin-1")

    def stdout(self):
        with open(self.stdout_path, "rb") as f:
            return f.read().decode("latin-1")

    def wait_for_stderr(self, text, timeout=WAIT):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if text in self.stderr():
                return self.stderr()
            time.sleep(0.02)
        raise AssertionError(f"{text!r} not printed; stderr was:\n{self.stderr()}")

    def wait_for_stdout_lines(self, at_least, timeout=WAIT):
        """Waits until standard output holds `at_least` whole lines; returns them."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            out = self.stdout()
            if out.count("\n") >= at_least:
                return out.splitlines()
            time.sleep(0.02)
        raise AssertionError(f"stdout has not {at_least} lines:\n{self.stdout()}")

    def count(self, text):
        return self.stderr().count(text)

    def wait_for_count(self, text, at_least, timeout=WAIT):
        """Waits until `text` has been printed `at_least` times (Debug traces)."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            if self.count(text) >= at_least:
                return
            time.sleep(0.02)
        raise AssertionError(f"{text!r} printed {self.count(text)} times, not {at_least}")

    def cpu_ns(self):
        """CPU time all the program's threads have run so far, in nanoseconds
        (the scheduler's own count: a short event handler shows too, where
        the clock-tick figures of /proc/PID/stat may not move)."""
        total = 0
        folder = f"/proc/{self.proc.pid}/task"
        for task in os.listdir(folder):
            try:
                with open(f"{folder}/{task}/schedstat") as f:
                    total += int(f.read().split()[0])
            except FileNotFoundError:  # a thread that just ended
                pass
        return total

    def runnable(self):
        """Whether a thread of the program or the X server is running or
        waiting for a processor. On a loaded machine a program with work to
        do may wait its turn longer than a poll: its CPU time stands still
        then, but it is not quiet."""
        tasks = [f"/proc/{self.x.proc.pid}/stat"]
        folder = f"/proc/{self.proc.pid}/task"
        tasks += [f"{folder}/{task}/stat" for task in os.listdir(folder)]
        for path in tasks:
            try:
                with open(path) as f:
                    if f.read().rpartition(")")[2].split()[0] == "R":
                        return True
            except FileNotFoundError:
                pass
        return False

    def _state(self):
        if self.proc.poll() is not None:
            raise AssertionError(f"noisedemo exited with {self.proc.returncode}: "
                                 f"{self.stderr()[-2000:]}")
        # Read before the grabs below, which keep the server busy for a while.
        busy = self.runnable()
        shots = []
        for w in (self.graph, self.texture, self.panel):
            shot = self.x.grab(w.id)
            shots.append(None if shot is None else (shot.size, shot.tobytes()))
        return busy, self.cpu_ns(), shots

    def settle(self, timeout=WAIT, polls=2, interval=0.03):
        """Waits until the program has handled everything sent to it so far:
        after a round trip to the server, neither the program nor the server
        has work, the program runs no more and its windows look the same,
        over `polls` polls in a row. Raises if that does not happen within
        `timeout` seconds."""
        self.x.sync()
        deadline = time.monotonic() + timeout
        last, quiet = self._state(), 0
        while quiet < polls:
            if time.monotonic() > deadline:
                raise AssertionError(f"noisedemo still busy after {timeout} s")
            time.sleep(interval)
            now = self._state()
            quiet = quiet + 1 if now == last and not now[0] else 0
            last = now

    def wait_exit(self, timeout=10):
        return self.proc.wait(timeout=timeout)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
            try:
                self.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.proc.kill()
                self.proc.wait()
        self._stderr.close()
        self._stdout.close()


# ---------------------------------------------------------------------------
# The control panel's controls, found by their look in a screenshot of the
# panel window, top to bottom (left to right within a row). Coordinates are
# the window's own, as Window.click takes them.
# ---------------------------------------------------------------------------
WHITE = (255, 255, 255)
DISABLED_INSIDE = (192, 192, 192)
BLACK = (0, 0, 0)
SHADOW = (128, 128, 128)
STIPPLE = {(64, 64, 64), (192, 192, 192)}


# ---------------------------------------------------------------------------
# The graph window's drawing
# ---------------------------------------------------------------------------
YELLOW = (255, 255, 0)
GREEN = (0, 255, 0)


# The drawing's units and the window's opening size, from render/graph_layout.h.
PROGRAM_TABLES = runpy.run_path(os.path.join(os.path.dirname(__file__), "..", "graph_layout.py"))
LAYOUT, CHOICES, MAX_OCTAVES = (PROGRAM_TABLES[name] for name in ("LAYOUT", "CHOICES", "OCTAVES"))
UNITS_W, UNITS_H = LAYOUT.kGraphUnitsWide, LAYOUT.kGraphUnitsHigh  # 700 x 500
GRAPH_START = (LAYOUT.kGraphWindowWidth, LAYOUT.kGraphWindowHeight)


def point_x(i):
    return LAYOUT.kLeftMargin + i * LAYOUT.kGraphWidth / (LAYOUT.kControlPoints - 1)


def dot_x(i, width=GRAPH_START[0]):
    """The screen column of control point i's dot in a window `width` pixels wide."""
    return int(point_x(i) * width / UNITS_W)


def gap_x(gap, width):
    """The screen column half way between points gap and gap + 1."""
    return int((point_x(gap) + point_x(gap + 1)) / 2 * width / UNITS_W)


def dot_row(value, height=GRAPH_START[1]):
    """The screen row of a dot for a control point value, in a window `height`
    pixels high (the drawing's units are stretched over it)."""
    return (UNITS_H - (LAYOUT.kBottomMargin + value * LAYOUT.kGraphHeight)) * height / UNITS_H


def control_values(texture_shot):
    """Grey levels of texels (0, 64 i): the control points' values, to 1/255."""
    height = texture_shot.height
    return [texture_shot.getpixel((64 * i, height - 1))[0] for i in range(8)]


def find_dot(shot, x, y_from, y_to, colour=WHITE):
    """Centre of the solid 7 by 7 square of colour (a control point's dot:
    white, or green when current) whose columns include x, searched between
    rows y_from and y_to; None if there is none. Axis lines and label glyphs
    are never that solid."""
    pixels = shot.load()
    x = int(x)
    found = [(left + 3, top + 3)
             for left in range(max(x - 6, 0), min(x, shot.width - 7) + 1)
             for top in range(max(y_from, 0), min(y_to, shot.height) - 6)
             if all(pixels[left + dx, top + dy] == colour for dy in range(7) for dx in range(7))]
    if not found:
        return None
    # The axis next to point 0 widens the white area; its dot is the square
    # farthest from the axis.
    return max(found)


class Control:
    def __init__(self, kind, x, y, w, h, on=False, enabled=True):
        self.kind, self.x, self.y, self.w, self.h = kind, x, y, w, h
        self.on, self.enabled = on, enabled
        self.thumb = None  # sliders: the thumb's left edge L, in slider pixels
        self.inside = None  # radios, check boxes: a pixel of the inside no mark covers

    @property
    def centre(self):
        return self.x + self.w // 2, self.y + self.h // 2

    def overlaps(self, other):
        return (self.x < other.x + other.w and other.x < self.x + self.w and
                self.y < other.y + other.h and other.y < self.y + self.h)

    def __repr__(self):
        return f"{self.kind}@({self.x},{self.y},{self.w}x{self.h},on={self.on},en={self.enabled})"


class PanelLayout:
    """Radio buttons (a sunken circle, inside 10 pixels across), check boxes
    (a sunken square, inside 9 pixels), buttons (a raised box: a long black
    bottom edge over a grey shadow line) and sliders (a stippled track between
    two long black lines)."""

    def __init__(self, image):
        self.image = image
        self.width, self.height = image.size
        self.pixels = list(image.getdata())
        self.controls = sorted(self._boxes() + self._buttons() + self._sliders(),
                               key=lambda c: (c.y // 4, c.x))

    def px(self, x, y):
        return self.pixels[y * self.width + x]

    def of_kind(self, kind):
        return [c for c in self.controls if c.kind == kind]

    @property
    def radios(self):
        return self.of_kind("radio")

    @property
    def checkboxes(self):
        return self.of_kind("checkbox")

    @property
    def buttons(self):
        return self.of_kind("button")

    @property
    def sliders(self):
        return self.of_kind("slider")

    def dark_pixels(self, x0, y0, x1, y1):
        """Pixels darker than the background's shadow in the box (text, marks)."""
        n = 0
        for y in range(max(y0, 0), min(y1, self.height)):
            for x in range(max(x0, 0), min(x1, self.width)):
                if sum(self.px(x, y)) <= 3 * 110:
                    n += 1
        return n

    def _boxes(self):
        found, seen = [], set()
        for start, colour in enumerate(self.pixels):
            if colour not in (WHITE, DISABLED_INSIDE) or start in seen:
                continue
            seen.add(start)
            stack, xs, ys = [start], [], []
            while stack:
                i = stack.pop()
                x, y = i % self.width, i // self.width
                xs.append(x)
                ys.append(y)
                for nx, ny in ((x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)):
                    j = ny * self.width + nx
                    if 0 <= nx < self.width and 0 <= ny < self.height and j not in seen \
                            and self.pixels[j] == colour:
                        seen.add(j)
                        stack.append(j)
            w, h = max(xs) - min(xs) + 1, max(ys) - min(ys) + 1
            if len(xs) < 40 or w != h or w not in (9, 10):
                continue
            x0, y0 = min(xs) - 2, min(ys) - 2  # the image's corner
            enabled = colour == WHITE
            if w == 10:
                on = sum(self.px(x0 + 7, y0 + 7)) < 3 * 140
                found.append(Control("radio", x0, y0, 14, 14, on, enabled))
            else:
                on = self.dark_pixels(x0 + 2, y0 + 2, x0 + 11, y0 + 11) > 5
                found.append(Control("checkbox", x0, y0, 13, 13, on, enabled))
            # The first pixel of the inside colour in reading order: never the mark.
            found[-1].inside = (start % self.width, start // self.width)
        return found

    def _runs(self, y, colour, min_len):
        runs, x = [], 0
        while x < self.width:
            if self.px(x, y) == colour:
                start = x
                while x < self.width and self.px(x, y) == colour:
                    x += 1
                if x - start >= min_len:
                    runs.append((start, x - 1))
            else:
                x += 1
        return runs

    def _buttons(self):
        found = []
        for y in range(19, self.height):
            for x0, x1 in self._runs(y, BLACK, 95):
                middle = (x0 + x1) // 2
                if self.px(middle, y - 1) == SHADOW and self.px(middle, y - 19) == WHITE:
                    found.append(Control("button", x0, y - 19, x1 - x0 + 1, 20))
        return found

    def _sliders(self):
        found = []
        for y in range(self.height - 16):
            for x0, x1 in self._runs(y, BLACK, 150):
                # The thumb may cover any one place of the track, even its
                # ends: look for the stipple along the whole line.
                if not any({self.px(x, y + 1), self.px(x + 1, y + 1)} == STIPPLE
                           for x in range(x0, x1, 23)):
                    continue
                left = x0 - 17
                slider = Control("slider", left, y, (x1 - x0 + 1) + 34, 16)
                for x in range(x0, x1 + 1):
                    if self.px(x, y + 8) == WHITE:
                        slider.thumb = x - 1 - left
                        break
                found.append(slider)
        return found


# The settings' words on the command line, from the program's tables; the radio buttons top to
# bottom are theirs in that order (noise type, interpolation, gradient rule, octaves, colour
# scale), and then the two check boxes.
NOISE_WORDS, BLEND_WORDS, SLOPE_WORDS, SCALE_WORDS = (CHOICES.Noise, CHOICES.Blend, CHOICES.Slope,
                                                      CHOICES.Scale)
ENDS = list(itertools.accumulate(map(len, (NOISE_WORDS, BLEND_WORDS, SLOPE_WORDS,
                                           range(MAX_OCTAVES), SCALE_WORDS)), initial=0))
GROUPS = NOISE, INTERPOLATION, RULE, OCTAVES, SCALES = [list(range(a, b)) for a, b in zip(ENDS, ENDS[1:])]
RADIOS = ENDS[-1]
TURBULENCE, DEBUG = 0, 1
TEXTURE_START = (512, 512)


class SessionDriver:
    """What the desktop's and the browser's random session drivers share:
    a failure that says how to replay the session (self.seed, self.done, the
    actions so far, and self.model)."""
    LABEL, REPLAY = "session", "NOISEDEMO_SESSION_SEEDS"

    def fail(self, what):
        raise AssertionError(
            f"{self.LABEL} seed {self.seed} (replay: {self.REPLAY}={self.seed}), "
            f"action {len(self.done)} {self.done[-1] if self.done else 'start'}: {what}\n"
            f"model: {vars(self.model)}\nactions so far: {self.done}")

    def expect(self, problem):
        if problem:
            self.fail(problem)


# The teaching views' switches as app/choices.h lists them, (word, key) in
# the order key i names them, the octave view's words and the two keys of
# the octave chooser: a row added there joins the sessions' actions.
_CHOICES = open(os.path.join(os.path.dirname(__file__), "..", "..", "app", "choices.h")).read()
VIEW_SWITCHES = re.findall(r"\{&TeachingViews::\w+, \"[^\"]*\", \"(\w+)\", '(\w)'\}", _CHOICES)
OCTAVE_VIEW_WORDS = re.findall(r'\{k\w+Octaves?, "[^"]*", "(\w+)"',
                               _CHOICES.split("kOctaveViewChoices[] =")[1].split("};")[0])
OCTAVE_VIEW_KEY = re.search(r"kOctaveViewKey = '(\w)'", _CHOICES).group(1)
OCTAVE_NUMBER_KEY = re.search(r"kOctaveViewNumberKey = '(\w)'", _CHOICES).group(1)
TEXTURE_CENTRE = (256, 256)  # (row, column): the texel the probe reads until the pointer moves


def pointer_texel(x, y, size):
    """The texel (row, column) a pointer at pixel (x, y) of a texture window
    of `size` points at, as the program works it out (row 0 at the bottom)."""
    w, h = size
    return (min(max((h - 1 - y) * 512 // h, 0), 511), min(max(x * 512 // w, 0), 511))


class SettingsModel:
    """What the program's settings must be, by the rules of the README, for
    the random sessions of both front ends: the settings, the lattice's
    seed, the current point, the enabled states, and the edited points as
    key i last printed them."""

    def __init__(self, rng):
        self.seed = rng.randrange(2 ** 32)
        self.noise, self.blend, self.slopes = 0, 0, 0
        self.octaves, self.turbulence, self.scale = 1, False, 0
        if rng.random() < 0.7:  # else the defaults, with no options but the seed
            self.noise, self.blend, self.slopes = rng.randrange(3), rng.randrange(2), rng.randrange(2)
            self.octaves, self.turbulence = rng.randint(1, 8), rng.random() < 0.3
            self.scale = rng.randrange(4)
        self.debug = False
        self.current = -1
        self.sliders = False
        self.rule_enabled = self.noise == 0
        self.edited = set()  # the points a drag or a slider may have changed
        self.points = {}  # point: its --point option, as key i last printed it
        self.views, self.octave_view, self.octave_k = set(), 0, 1  # all off, as at start
        self.pointer = TEXTURE_CENTRE  # the texel under the pointer, as the program saw it

    def settings(self):
        return [f"--noise={NOISE_WORDS[self.noise]}", f"--blend={BLEND_WORDS[self.blend]}",
                f"--slopes={SLOPE_WORDS[self.slopes]}", f"--octaves={self.octaves}"] + \
            (["--turbulence"] if self.turbulence else []) + [f"--scale={SCALE_WORDS[self.scale]}"]

    def options(self, scale=True):
        """The options that make this picture again, edits included; the
        graph does not depend on the colour scale."""
        settings = self.settings() if scale else self.settings()[:-1]
        return [f"--seed={self.seed}"] + settings + self.view_options() + \
            [self.points[i] for i in sorted(self.points)]

    def view_options(self):
        on = [word for word, _ in VIEW_SWITCHES if word in self.views]
        return ([f"--views={','.join(on)}"] if on else []) + \
            ([f"--octave-view={OCTAVE_VIEW_WORDS[self.octave_view]}:{self.octave_k}"]
             if self.octave_view else [])

    VIEW_KEYS = [k for _, k in VIEW_SWITCHES] + [OCTAVE_VIEW_KEY, OCTAVE_NUMBER_KEY]

    def view_key(self, key):
        """A view key pressed in the graph or texture window."""
        for word, k in VIEW_SWITCHES:
            if key == k:
                self.views ^= {word}
        if key == OCTAVE_VIEW_KEY:
            self.octave_view = (self.octave_view + 1) % len(OCTAVE_VIEW_WORDS)
        if key == OCTAVE_NUMBER_KEY:
            self.octave_k = self.octave_k % 8 + 1

    def view_clicked(self, kind, i):
        """A click on the Views panel's i-th check box (kind 0), octave view
        (1) or octave number (2, which does nothing while the octave view is
        all octaves)."""
        if kind == 0:
            self.views ^= {VIEW_SWITCHES[i][0]}
        elif kind == 1:
            self.octave_view = i
        elif self.octave_view != 0:
            self.octave_k = i + 1

    def texture_overlaid(self):
        """Whether a view draws over the texture (then the colour scales'
        pixel rules do not hold)."""
        return bool(self.views - {"octaves"}) or self.octave_view != 0

    def probe_elsewhere(self):
        """Whether the texture shows the texel under the pointer, and that is
        not the one a batch export shows (the centre)."""
        return bool(self.views & {"probe", "stats"}) and self.pointer != TEXTURE_CENTRE

    def line(self):
        """What key i prints."""
        return " ".join(["noisedemo"] + self.options())

    # Key i's command, as each front end's session gives it: the problem it
    # shows, or None.
    def key_i_problem(self, command):
        return None if command == self.line() else f"key i gave {command!r}, not {self.line()!r}"

    def learn_points(self, command):
        """After an edit: the points it lists are learned. Every other word
        must be the model's, and only points a drag or a slider worked on may
        be listed; from then on the windows are compared with what it makes."""
        before = self.line()
        self.points = {int(w[len("--point="):].split(":")[0]): w for w in command.split(" ")
                       if w.startswith("--point=")}
        if command != self.line() or not set(self.points) <= self.edited:
            return (f"key i gave {command!r}; expected {before!r} with --point options "
                    f"for points {sorted(self.edited)} at most, in order")

    def learn_seed(self, command):
        """After Re-Randomize: no point is edited, and the new seed is learned;
        the rest must be the model's."""
        import re
        self.edited, self.points = set(), {}
        seed = re.match(r"noisedemo --seed=(\d+) ", command)
        old, self.seed = self.seed, int(seed.group(1)) if seed else None
        if command != self.line() or self.seed == old:
            return (f"after Re-Randomize key i gave {command!r}, expected a new seed and "
                    f"{self.line()!r}")

    def radios_on(self):
        chosen = {NOISE[self.noise], INTERPOLATION[self.blend], RULE[self.slopes],
                  OCTAVES[self.octaves - 1], SCALES[self.scale]}
        return [i in chosen for i in range(RADIOS)]

    def press(self, picked):
        """A press in the graph or texture window that picked `picked` (-1: none)."""
        self.current = picked
        if picked >= 0 and self.noise != 0:
            self.sliders = True
        elif picked < 0:
            self.sliders = False

    def choose_noise(self, noise):
        self.noise = noise
        if noise != 0:
            self.sliders = self.sliders or self.current >= 0
        else:
            self.sliders = False
        self.rule_enabled = noise == 0

    def choose_radio(self, i):
        """A click on radio button i: nothing if it is on already or disabled."""
        if (i in RULE and not self.rule_enabled) or self.radios_on()[i]:
            return
        if i in NOISE:
            self.choose_noise(i - NOISE[0])
        elif i in INTERPOLATION:
            self.blend = i - INTERPOLATION[0]
        elif i in RULE:
            self.slopes = i - RULE[0]
        elif i in OCTAVES:
            self.octaves = i - OCTAVES[0] + 1
        else:
            self.scale = i - SCALES[0]

    def reset(self):
        # Settings only: Reset leaves the lattice, its edits and every
        # enabled state as they are.
        self.noise, self.blend, self.slopes = 0, 0, 0
        self.octaves, self.turbulence, self.scale, self.debug = 1, False, 0, False
        self.current = -1
        self.views, self.octave_view, self.octave_k = set(), 0, 1


def view_controls(image):
    """The Views panel's check boxes, octave view buttons and octave number
    buttons (the second column), read from a picture of it."""
    found = PanelLayout(image)
    radios = sorted(found.radios, key=lambda r: (r.x, r.y))
    assert (len(found.checkboxes), len(radios)) == \
        (len(VIEW_SWITCHES), len(OCTAVE_VIEW_WORDS) + 8), found.controls
    return found.checkboxes, radios[:len(OCTAVE_VIEW_WORDS)], radios[len(OCTAVE_VIEW_WORDS):]


def views_panel_problems(shot, controls, model):
    """What the Views panel shows that the model does not: each check box's
    tick (7 columns of 3 black pixels inside its frame), which buttons are
    on, and the octave numbers enabled only when an octave view picks one."""
    p, pixels = [], shot.load()
    boxes, chooser, numbers = controls
    for box, (word, _) in zip(boxes, VIEW_SWITCHES):
        dark = sum(sum(pixels[box.x + dx, box.y + dy]) < 3 * 140
                   for dx in range(2, 11) for dy in range(2, 11))
        if dark != (21 if word in model.views else 0):
            p.append(f"Views check box {word}: {dark} dark pixels")
    for i, radio in enumerate(chooser + numbers):
        number = i - len(chooser)
        on = i == model.octave_view if number < 0 else number == model.octave_k - 1
        enabled = number < 0 or model.octave_view != 0
        if (sum(pixels[radio.x + 7, radio.y + 7]) < 3 * 140) != on:
            p.append(f"Views radio {i} on: {not on}")
        if (pixels[radio.inside] == WHITE) != enabled:
            p.append(f"Views radio {i} enabled: {not enabled}")
    return p


def scale_problems(shot, scale):
    """What in the texture window breaks the rule every pixel of the colour
    scale obeys (empty if nothing). The rules follow from the scales' bytes:
    grey r = g = b; clouds (s, s, 1) gives r = g and b = 255; fire (1, s, 0)
    gives r = 255 and b = 0. Each survives the texture's linear filtering in
    a resized window exactly, since every channel is filtered with the same
    weights and a blend of equal bytes is that byte. Rainbow bytes have one
    channel at 255 and one at 0 only texel for texel, so that rule is checked
    at one texel per pixel alone."""
    r, g, b = shot.split()

    def constant(channel, value):
        return channel.getextrema() == (value, value)

    def same(a, c):
        return ImageChops.difference(a, c).getbbox() is None
    if scale == 0:
        ok = same(r, g) and same(g, b)
    elif scale == 2:
        ok = same(r, g) and constant(b, 255)
    elif scale == 3:
        ok = constant(r, 255) and constant(b, 0)
    elif shot.size == TEXTURE_START:
        ok = (constant(ImageChops.lighter(ImageChops.lighter(r, g), b), 255) and
              constant(ImageChops.darker(ImageChops.darker(r, g), b), 0))
    else:
        ok = True
    return [] if ok else [f"texture not in the {SCALE_WORDS[scale]} scale"]
REDRAW = "FillTexture\n"  # the last trace of a graph redisplay, with Debug on


def layout(session, name=None):
    image = session.panel.screenshot()
    if name:
        image.save(f"{session.workdir}/{name}.png")
    found = PanelLayout(image)
    # Everything below clicks at these places: check first that the panel is
    # the one the clicks assume.
    assert len(found.radios) == RADIOS, found.controls
    assert len(found.checkboxes) == 2, found.controls
    assert len(found.buttons) == 3, found.controls
    assert len(found.sliders) == 2, found.controls
    return found


@pytest.fixture
def xserver(request):
    width, height = getattr(request, "param", (1400, 1112))
    server = XServer(width, height)
    yield server
    server.stop()


@pytest.fixture
def small_disk(tmp_path):
    """A 24 MiB tmpfs to fill up, mounted under tmp_path; needs root."""
    mountpoint = tmp_path / "disk"
    mountpoint.mkdir()
    done = subprocess.run(["mount", "-t", "tmpfs", "-o", "size=24m,mode=0755", "tmpfs",
                           str(mountpoint)], capture_output=True, text=True)
    if done.returncode != 0:
        pytest.skip("cannot mount a small tmpfs to fill up (needs root): "
                    + done.stderr.strip())
    yield mountpoint
    subprocess.run(["umount", "-l", str(mountpoint)], check=False)


@pytest.fixture
def session(xserver, tmp_path):
    s = Session(xserver, str(tmp_path))
    s.settle()
    yield s
    s.stop()


def thumb_of(image, slider):
    """The thumb's left edge L of `slider` (a layout's Control) in a panel
    image: its first white pixel along the track's middle row."""
    y = slider.y + 8
    for x in range(slider.x + 17, slider.x + slider.w - 17):
        if image.getpixel((x, y)) == WHITE:
            return x - 1 - slider.x
    return None


def wait_for_thumb(session, slider, condition, timeout=WAIT):
    """Waits until condition(thumb) holds for the slider's thumb on screen."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        thumb = thumb_of(session.panel.screenshot(), slider)
        if thumb is not None and condition(thumb):
            return thumb
        time.sleep(0.02)
    raise AssertionError(f"slider thumb stayed at {thumb}")
