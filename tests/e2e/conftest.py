"""Drives the real program on a virtual X display, as a person would.

Each test gets a fresh Xvfb server and a fresh noisedemo process; windows are
found by title with xdotool, input is sent with xdotool, and the evidence is
screenshots (ImageMagick's import) and the files the program writes.
"""
import io
import os
import signal
import subprocess
import time

import pytest
from PIL import Image

GRAPH_TITLE = "Noise Demo -- Quenmarl"
TEXTURE_TITLE = "2D Noise"
PANEL_TITLE = "User Interface Window"

PROGRAM = os.environ.get("NOISEDEMO") or os.path.join(
    os.path.dirname(__file__), "..", "..", "build", "noisedemo")


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
        self.env = dict(os.environ, DISPLAY=self.display)

    def run(self, *args, check=True):
        return subprocess.run(list(args), env=self.env, check=check,
                              capture_output=True, text=True, timeout=30)

    def stop(self):
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
        png = subprocess.run(["import", "-window", self.id, "png:-"], env=self.session.x.env,
                             check=True, capture_output=True, timeout=30).stdout
        return Image.open(io.BytesIO(png)).convert("RGB")

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

    def __init__(self, x, workdir, args=(), stderr_path=None):
        self.x = x
        self.workdir = workdir
        # Elsewhere when the working folder is itself under test (a full disk).
        self.stderr_path = stderr_path or os.path.join(workdir, "stderr.txt")
        self._stderr = open(self.stderr_path, "wb")
        self.proc = subprocess.Popen([os.path.abspath(PROGRAM), *args], cwd=workdir,
                                     env=x.env, stdout=subprocess.DEVNULL, stderr=self._stderr)
        self.graph = self.window(GRAPH_TITLE)
        self.texture = self.window(TEXTURE_TITLE)

    def window(self, title, timeout=15):
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

    def wait_for_stderr(self, text, timeout=10):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if text in self.stderr():
                return self.stderr()
            time.sleep(0.05)
        raise AssertionError(f"{text!r} not printed; stderr was:\n{self.stderr()}")

    def settle(self, seconds=0.4):
        """Let the program handle queued events and redraw."""
        time.sleep(seconds)

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
    s.settle(0.8)
    yield s
    s.stop()
