"""An edited picture made again: key i and the PNG Comment name every edited
control point, and that command gives the same pictures, byte for byte."""
import os
import subprocess

import pytest
from PIL import Image

from conftest import PROGRAM, Session, control_values, dot_row, layout, point_x

NO_DISPLAY = {k: v for k, v in os.environ.items() if k != "DISPLAY"}


def batch(cwd, args):
    done = subprocess.run([os.path.abspath(PROGRAM), *args], cwd=cwd, capture_output=True,
                          text=True, timeout=60, env=NO_DISPLAY)
    assert done.returncode == 0, done.stderr
    return done


def key_line(s, window):
    lines = len(s.stdout().splitlines())
    window.key("i")
    return s.wait_for_stdout_lines(lines + 1)[lines]


def point_fields(line, point):
    """The value, gradient and curvature that `line` gives `point`, as written."""
    words = [w for w in line.split() if w.startswith(f"--point={point}:")]
    assert len(words) == 1, line
    return words[0].partition(":")[2].split(",")


@pytest.mark.parametrize("noise", [["--noise=gradient"],
                                   ["--noise=value+gradient", "--blend=quintic"]])
def test_key_i_and_the_png_comment_remake_an_edited_picture(xserver, tmp_path, noise):
    folders = {name: tmp_path / name for name in ("edited", "batch", "fresh")}
    for folder in folders.values():
        folder.mkdir()
    s = Session(xserver, str(folders["edited"]), args=["--seed=31", *noise])
    s.settle()
    gradient, curvature = layout(s).sliders

    # Pick point 3 where it is drawn (on the midpoint line under Gradient-Only)
    # and drag it up; then move both sliders of the picked point.
    value = 0.5 if noise == ["--noise=gradient"] else control_values(s.texture.screenshot())[3] / 255
    x, row = int(point_x(3)), int(dot_row(value))
    s.graph.drag(x, row, x, row - 70, steps=5)
    s.settle()
    dragged = key_line(s, s.graph)
    towards_right = layout(s).sliders[0].thumb < 90
    s.panel.click(gradient.x + (gradient.w - 30 if towards_right else 30), gradient.y + 8)
    s.panel.click(curvature.x + 30, curvature.y + 8)
    s.settle()
    line = key_line(s, s.texture)
    assert line.startswith(f"noisedemo --seed=31 {noise[0]} "), line
    assert line.count("--point=") == 1, line
    v, g, c = point_fields(line, 3)
    assert point_fields(dragged, 3)[0] == v and point_fields(dragged, 3)[1] != g, (dragged, line)
    assert float(c) < 0, line  # a fill leaves every curvature at 0

    # The texture window's snapshots, and that command in batch: the same files.
    s.texture.key("b", "p")
    s.wait_for_stderr(".png' created.\n")
    png = next(folders["edited"].glob("image*.png"))
    assert Image.open(png).text["Comment"] == line
    command = line.split()[1:]
    batch(folders["batch"], command + ["--bmp=remade.bmp", "--png=remade.png"])
    assert (folders["batch"] / "remade.bmp").read_bytes() == png.with_suffix(".bmp").read_bytes()
    assert (folders["batch"] / "remade.png").read_bytes() == png.read_bytes()
    # Without the edit the picture is another: the comparison can fail.
    batch(folders["batch"], command[:-1] + ["--bmp=seed.bmp"])
    assert (folders["batch"] / "seed.bmp").read_bytes() != png.with_suffix(".bmp").read_bytes()

    # With no point selected, at the start sizes, the graph window of a fresh
    # program started with that command is the edited one.
    s.graph.click(600, 30)
    s.settle()
    edited_graph = s.graph.screenshot().tobytes()
    s.stop()
    fresh = Session(xserver, str(folders["fresh"]), args=command)
    try:
        fresh.settle()
        assert fresh.graph.screenshot().tobytes() == edited_graph
        assert key_line(fresh, fresh.graph) == line
    finally:
        fresh.stop()
