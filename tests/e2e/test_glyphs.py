"""The glyph tables against GLUT's fonts: the same program run twice side by
side, once drawing text with GLUT's bitmaps and once (NOISEDEMO_GLYPHS=table)
with the tables converted from Debian's X fonts, the browser's glyphs. After
every step the windows are compared.

The panel (12-pixel Helvetica) and the texture must be the same bytes. In
the graph, the labels' 9x15 font has one glyph that differs: GLUT's bitmaps
were made from an older edition of the misc-fixed 9x15 font, whose 7 was
redrawn since (so were $ ' * B D E F and `, which the graph never writes),
and no Debian package ships the old one. The axes write a 7 twice ("0.75"
and "7.00"), so every differing graph pixel must fall in one of at most two
glyph cells.
"""
import os

import pytest

from conftest import DEBUG, GREEN, Session, XServer, find_dot, layout, point_x

FIXED_CELL = (9, 15)  # the 9x15 font's glyph cell, in pixels
# The 9x15 characters redrawn since GLUT's bitmaps were made (see above).
REDRAWN_FIXED = set("$'*7BDEF`")
GLYPH_COMPARE = os.environ.get("GLYPH_COMPARE") or os.path.join(
    os.path.dirname(__file__), "..", "..", "build", "tests", "glyph_compare")


def test_every_character_of_both_fonts():
    """All 95 characters of both fonts, one at a time: same advance, and the
    same pixels except in the redrawn 9x15 glyphs."""
    x = XServer(640, 480)
    try:
        out = x.run(os.path.abspath(GLYPH_COMPARE)).stdout.splitlines()
    finally:
        x.stop()
    assert out[-1] == "compared 190", out[-1]
    differ = {}
    for line in out[:-1]:
        font, code, _, glut_width, table_width, *_ = line.split()
        assert glut_width == table_width, line
        differ.setdefault(font, set()).add(chr(int(code)))
    assert "helvetica12" not in differ, out
    assert differ.get("fixed9x15", set()) <= REDRAWN_FIXED, out

SETTINGS = [
    ["--seed=1"],
    ["--seed=4242", "--noise=gradient", "--blend=quintic", "--octaves=3", "--scale=rainbow"],
    ["--seed=99", "--slopes=catmull-rom", "--scale=fire", "--octaves=2"],
]


def differing(a, b):
    assert a.size == b.size
    pa, pb = a.load(), b.load()
    return [(x, y) for y in range(a.height) for x in range(a.width) if pa[x, y] != pb[x, y]]


def groups(points, reach):
    """Points closer than `reach` in both directions (through a chain) form
    one group; returns the groups' bounding boxes."""
    boxes = []
    for x, y in points:
        near = [b for b in boxes
                if b[0] - reach < x < b[2] + reach and b[1] - reach < y < b[3] + reach]
        merged = [min([x] + [b[0] for b in near]), min([y] + [b[1] for b in near]),
                  max([x] + [b[2] for b in near]), max([y] + [b[3] for b in near])]
        boxes = [b for b in boxes if b not in near] + [merged]
    return boxes


def same_windows(glut, table, step):
    glut.settle()
    table.settle()
    for name in ("panel", "texture"):
        a = getattr(glut, name).screenshot()
        b = getattr(table, name).screenshot()
        assert a.size == b.size, (step, name, a.size, b.size)
        assert a.tobytes() == b.tobytes(), (step, name, differing(a, b)[:20])
    diff = differing(glut.graph.screenshot(), table.graph.screenshot())
    boxes = groups(diff, max(FIXED_CELL))
    assert len(boxes) <= 2, (step, boxes)
    for box in boxes:
        assert box[2] - box[0] < FIXED_CELL[0] and box[3] - box[1] < FIXED_CELL[1], (step, box)


@pytest.mark.parametrize("args", SETTINGS, ids=lambda a: a[0])
def test_table_glyphs_draw_what_glut_draws(tmp_path, args):
    servers, sessions = [], []
    try:
        for glyphs in ("glut", "table"):
            x = XServer(1400, 1112)
            servers.append(x)
            x.env.pop("NOISEDEMO_GLYPHS", None)
            if glyphs == "table":
                x.env["NOISEDEMO_GLYPHS"] = "table"
            folder = tmp_path / glyphs
            folder.mkdir()
            sessions.append(Session(x, str(folder), args))
        glut, table = sessions
        same_windows(glut, table, "start")

        # Both get the same input; every step changes some text on the panel
        # or moves the graph's labels.
        shot = glut.graph.screenshot()
        dot = find_dot(shot, point_x(3), 0, shot.height)
        assert dot is not None
        for s in sessions:
            s.graph.click(*dot)
        same_windows(glut, table, "picked")
        panel = layout(glut)
        for slider in panel.sliders:
            grab = slider.x + slider.thumb + 4
            for s in sessions:
                s.panel.drag(grab, slider.y + 8, grab + 37, slider.y + 8)
            same_windows(glut, table, "slider")
        for s in sessions:
            s.panel.click(*panel.checkboxes[DEBUG].centre)
        same_windows(glut, table, "debug")
        shot = glut.graph.screenshot()
        dot = find_dot(shot, point_x(3), 0, shot.height, GREEN)
        assert dot is not None
        for s in sessions:
            s.graph.drag(dot[0], dot[1], dot[0], dot[1] - 40)
        same_windows(glut, table, "dragged")
        # Labels at positions that are no longer whole pixels.
        for s in sessions:
            s.graph.resize(523, 377)
        same_windows(glut, table, "resized")
    finally:
        for s in sessions:
            s.stop()
        for x in servers:
            x.stop()
