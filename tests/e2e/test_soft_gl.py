"""softgl against the desktop: the program's windows under Xvfb and Mesa's
llvmpipe (with NOISEDEMO_GLYPHS=table, the glyphs the browser draws with),
held against the same windows drawn by soft_render, which draws with softgl
what the desktop draws with GL.

Every window must be the same bytes: the panel, the texture window at
512 x 512 and stretched or squeezed to other sizes, and the graph, at its
first size and resized. softgl follows llvmpipe's own rules (fill rule, the
1/256 pixel grid, wide points, the line's diamond rule, the 8-bit linear
filter), so no pixel is allowed to differ.
"""
import os
import subprocess

import pytest
from PIL import Image

from conftest import DEBUG, SOFT_RENDER, Session, XServer, find_dot, layout, point_x

# Each noise type the command line offers, each colour scale, turbulence, the
# derivatives view, and a texture window resized to something smaller,
# larger and of both.
SETTINGS = [
    (["--seed=1"], (300, 260)),
    (["--seed=4242", "--noise=gradient", "--blend=quintic", "--octaves=3", "--scale=rainbow"],
     (700, 540)),
    (["--seed=7", "--noise=value+gradient", "--octaves=8", "--turbulence", "--scale=clouds"],
     (512, 300)),
    (["--seed=99", "--slopes=catmull-rom", "--scale=fire", "--octaves=2"], (257, 511)),
    # The derivatives strip and its labels, whose f'' labels run past a
    # resized graph's right edge.
    (["--seed=5", "--noise=value+gradient", "--blend=quintic", "--octaves=8",
      "--views=derivatives"], (300, 260)),
]


def differing(a, b):
    pa, pb = a.load(), b.load()
    return [(x, y) for y in range(a.height) for x in range(a.width) if pa[x, y] != pb[x, y]]


def soft_windows(folder, args, extra):
    os.makedirs(folder, exist_ok=True)
    subprocess.run([os.path.abspath(SOFT_RENDER), *args, *extra, f"--out={folder}"],
                   check=True, capture_output=True, timeout=60)
    return {name: Image.open(os.path.join(folder, f"{name}.png")).convert("RGB")
            for name in ("graph", "texture", "panel")}


def same_windows(session, folder, args, extra, step):
    session.settle()
    shots = {name: getattr(session, name).screenshot()
             for name in ("graph", "texture", "panel")}
    soft = soft_windows(os.path.join(folder, step), args, extra)
    for name, shot in shots.items():
        shot.save(os.path.join(folder, step, f"desktop-{name}.png"))
        assert shot.size == soft[name].size, (step, name, shot.size, soft[name].size)
        if shot.tobytes() != soft[name].tobytes():
            diff = differing(shot, soft[name])
            pytest.fail(f"{step}: {name}: {len(diff)} pixels differ, first {diff[:10]}")
    return shots


@pytest.mark.parametrize("args,texture_size", SETTINGS, ids=lambda a: a[0] if a else "")
def test_soft_gl_draws_what_llvmpipe_draws(tmp_path, args, texture_size):
    x = XServer(1400, 1112)
    x.env["NOISEDEMO_GLYPHS"] = "table"
    session = Session(x, str(tmp_path), args)
    try:
        same_windows(session, str(tmp_path), args, [], "start")

        # Point 3 pressed (green, and under the gradient types the sliders
        # come alive), then Debug on.
        shot = session.graph.screenshot()
        dot = find_dot(shot, point_x(3), 0, shot.height)
        assert dot is not None
        session.graph.click(*dot)
        panel = layout(session)
        session.panel.click(*panel.checkboxes[DEBUG].centre)
        pressed = ["--press=3", "--debug"]
        same_windows(session, str(tmp_path), args, pressed, "pressed")

        # Sizes at which positions no longer fall on whole pixels. The
        # windows' sizes are taken from the screen, so soft_render draws at
        # the size the desktop drew at.
        session.graph.resize(523, 377)
        session.texture.resize(*texture_size)
        session.settle()
        graph = session.graph.screenshot().size
        texture = session.texture.screenshot().size
        assert graph == (523, 377) and texture == texture_size, (graph, texture)
        resized = pressed + [f"--graph-size={graph[0]}x{graph[1]}",
                             f"--texture-size={texture[0]}x{texture[1]}"]
        same_windows(session, str(tmp_path), args, resized, "resized")
    finally:
        session.stop()
        x.stop()
