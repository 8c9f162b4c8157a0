"""Keyboard and mouse in the graphics windows, used as a person uses them:
picking control points, dragging them, the sliders that follow the picked
point, the export and quit keys, and odd input."""
import os

import pytest
from PIL import ImageChops

from conftest import (DEBUG, GRAPH_START, GREEN, LAYOUT, NOISE, OCTAVES, REDRAW, SCALES, TURBULENCE,
                      UNITS_H, UNITS_W, WHITE, Session, control_values, dot_row, find_dot, layout,
                      point_x, wait_for_thumb)


def dots(shot, values, height=GRAPH_START[1]):
    """For each control point: 'green', 'white' or None, looked up where the
    point must be drawn."""
    found = []
    for i, value in enumerate(values):
        row = int(dot_row(value, height))
        x = point_x(i) * shot.width / UNITS_W
        if find_dot(shot, x, max(row - 8, 0), min(row + 9, shot.height), GREEN):
            found.append("green")
        elif find_dot(shot, x, max(row - 8, 0), min(row + 9, shot.height), WHITE):
            found.append("white")
        else:
            found.append(None)
    return found


def redrawn(session, before):
    """Waits for a graph redisplay after `before` traces (Debug is on)."""
    session.wait_for_count(REDRAW, before + 1)
    session.settle()


def debug_on(session):
    panel = layout(session)
    session.panel.click(*panel.checkboxes[DEBUG].centre)
    session.wait_for_count(REDRAW, 1)
    session.settle()
    return panel


def test_picking_selects_and_deselects_points(session):
    debug_on(session)
    values = [v / 255 for v in control_values(session.texture.screenshot())]
    assert dots(session.graph.screenshot(), values) == ["white"] * 8

    # A press on point 3 makes it green, the others stay white.
    before = session.count(REDRAW)
    row3 = int(dot_row(values[3]))
    session.graph.click(int(point_x(3)), row3)
    redrawn(session, before)
    assert dots(session.graph.screenshot(), values) == ["white"] * 3 + ["green"] + ["white"] * 4
    err = session.stderr()
    assert f"MouseButton: 0, 0, {int(point_x(3))}, {row3}\n" in err
    assert f"MouseButton: 0, 1, {int(point_x(3))}, {row3}\n" in err
    assert "# pick hits = 1\n" in err
    assert "Hit #  0 found  1 items on the name stack\n" in err
    zw = (UNITS_H - row3 - LAYOUT.kBottomMargin) * 2.0 / LAYOUT.kGraphHeight - 1.0
    assert f"MouseButton: zw = {zw:8.2f}\n" in err

    # The selection survives a release and a press in the texture window
    # deselects: nothing is ever hit there.
    before = session.count(REDRAW)
    session.texture.click(100, 100)
    redrawn(session, before)
    assert "# pick hits = 0\n" in session.stderr()
    assert dots(session.graph.screenshot(), values) == ["white"] * 8

    # Point 6, then empty graph space: none is current again.
    before = session.count(REDRAW)
    session.graph.click(int(point_x(6)), int(dot_row(values[6])))
    redrawn(session, before)
    assert dots(session.graph.screenshot(), values)[6] == "green"
    before = session.count(REDRAW)
    session.graph.click(600, 30)
    redrawn(session, before)
    assert dots(session.graph.screenshot(), values) == ["white"] * 8


def test_sliders_follow_the_picked_point_under_gradient_noise(session):
    panel = debug_on(session)
    gradient, curvature = panel.sliders
    values = [v / 255 for v in control_values(session.texture.screenshot())]

    # Value-Only: a picked point is current but the sliders stay disabled.
    session.graph.click(int(point_x(3)), int(dot_row(values[3])))
    session.settle()
    session.panel.click(gradient.x + gradient.w - 8, gradient.y + 8)
    session.settle()
    assert "SetSliderG" not in session.stderr()

    # Gradient-Only puts every point on the midpoint line; choosing it with
    # point 3 current enables the sliders and loads them from the point.
    before = session.count(REDRAW)
    session.panel.click(*panel.radios[NOISE[1]].centre)
    redrawn(session, before)
    loaded = layout(session)
    graph = session.graph.screenshot()
    texture = session.texture.screenshot()
    assert dots(graph, [0.5] * 8) == ["white"] * 3 + ["green"] + ["white"] * 4
    # The curvature of a fresh lattice is 0: that slider's thumb is centred.
    assert loaded.sliders[1].thumb == 98

    # Held, an arrow keeps stepping the gradient (the thumb moves a pixel
    # every few steps) and stops on release; the curve and the texture's
    # bottom band follow. The arrow towards the far end, so there is room.
    start = loaded.sliders[0].thumb
    towards = 1 if start < 90 else -1
    traces = session.count("SetSliderG\n")
    session.panel.press(gradient.x + (gradient.w - 8 if towards > 0 else 8), gradient.y + 8)
    session.wait_for_count("SetSliderG\n", traces + 3)
    wait_for_thumb(session, gradient, lambda thumb: (thumb - start) * towards > 0)
    session.panel.release()
    session.settle()
    released = session.count("SetSliderG\n")
    session.settle(polls=4)
    assert session.count("SetSliderG\n") == released
    stepped = session.graph.screenshot()
    assert ImageChops.difference(stepped, graph).getbbox() is not None
    changed = ImageChops.difference(session.texture.screenshot(), texture).getbbox()
    assert changed is not None and changed[1] >= 512 - 64, changed
    assert (layout(session).sliders[0].thumb - start) * towards > 0

    # A press on empty space deselects and disables both sliders again.
    session.graph.click(600, 30)
    session.settle()
    traces = session.count("SetSliderG\n")
    session.panel.click(gradient.x + gradient.w - 8, gradient.y + 8)
    session.panel.click(curvature.x + 8, curvature.y + 8)
    session.settle()
    assert session.count("SetSliderG\n") == traces
    assert dots(session.graph.screenshot(), [0.5] * 8) == ["white"] * 8

    # Picking a point under a gradient noise type enables them by itself; the
    # curvature slider's arrow moves its thumb and sets the point.
    session.graph.click(int(point_x(5)), int(dot_row(0.5)))
    session.settle()
    session.panel.press(curvature.x + 8, curvature.y + 8)
    session.wait_for_count("SetSliderG\n", traces + 3)
    wait_for_thumb(session, curvature, lambda thumb: thumb < 98)
    session.panel.release()
    session.settle()
    assert layout(session).sliders[1].thumb < 98


def test_dragging_a_point_to_the_top_sets_it_to_one(session):
    debug_on(session)
    texture = session.texture.screenshot()
    values = [v / 255 for v in control_values(texture)]
    x, row = int(point_x(2)), int(dot_row(values[2]))

    # Drag past the top edge of the graph to the window's top edge.
    session.graph.drag(x, row, x, 0, steps=10)
    session.settle()
    assert "MouseMotion: " in session.stderr()
    graph = session.graph.screenshot()
    assert find_dot(graph, point_x(2), 46, 55, GREEN) is not None
    after = session.texture.screenshot()
    # Texel (0, 128) is point 2 itself, now 1.0; only the bottom 64 rows changed.
    assert after.getpixel((128, 511)) == WHITE
    changed = ImageChops.difference(after, texture).getbbox()
    assert changed is not None and changed[1] >= 512 - 64, changed
    assert control_values(after)[:2] == control_values(texture)[:2]

    # Dragging below the window reaches -1 at most: the dot is drawn below the
    # window's bottom edge, and the texture's grey is black.
    session.graph.drag(x, 51, x, 499, steps=6)
    session.settle()
    assert session.texture.screenshot().getpixel((128, 511)) == (0, 0, 0)


def test_a_drag_after_resizing_keeps_the_point_under_the_pointer(session):
    values = [v / 255 for v in control_values(session.texture.screenshot())]
    session.graph.resize(GRAPH_START[0], 1000)
    session.settle()
    x, row = int(point_x(5)), int(dot_row(values[5], 1000))
    assert find_dot(session.graph.screenshot(), point_x(5), row - 6, row + 7) is not None
    session.graph.drag(x, row, x, 300, steps=6)
    session.settle()
    # The pointer at row 300 of 1000 is 350 drawing units up: value 2/3,
    # drawn right under it.
    dot = find_dot(session.graph.screenshot(), point_x(5), 280, 320, GREEN)
    assert dot is not None and abs(dot[1] - 300) <= 2, dot


def test_export_keys_work_in_both_windows_and_name_files_from_the_settings(session):
    panel = debug_on(session)
    for control in (panel.radios[OCTAVES[2]], panel.checkboxes[TURBULENCE],
                    panel.radios[SCALES[1]]):
        session.panel.click(*control.centre)
    session.settle()

    session.texture.key("b")
    session.wait_for_stderr("Image file 'image003TR.bmp' created.\n")
    assert "Keyboard: 'b' (0x62)\n" in session.stderr()
    assert os.path.getsize(os.path.join(session.workdir, "image003TR.bmp")) == 54 + 512 * 512 * 3

    session.graph.key("S")
    session.wait_for_stderr("81590 triangles written.\n", timeout=20)
    assert os.path.exists(os.path.join(session.workdir, "noise003T.stl"))
    assert session.count("Image file 'image003TR.bmp' created.\n") == 2
    # Every key ends with a redisplay of the graph window.
    before = session.count(REDRAW)
    session.texture.key("B")
    redrawn(session, before)


def test_unknown_keys_and_mouse_buttons_are_reported(session):
    session.graph.key("x")
    session.texture.key("7")
    session.wait_for_stderr("Don't know what to do with keyboard hit: '7' (0x37)\n")
    assert "Don't know what to do with keyboard hit: 'x' (0x78)\n" in session.stderr()
    # A control key reaches the terminal escaped, never raw.
    session.graph.key("ctrl+m")
    session.wait_for_stderr("Don't know what to do with keyboard hit: '\\r' (0xd)\n")
    assert "\r" not in session.stderr()
    session.graph.click(300, 300, button=4)  # wheel up: GLUT button 3
    session.graph.click(300, 300, button=5)  # wheel down: GLUT button 4
    session.wait_for_stderr("Unknown mouse button: 4\n")
    assert "Unknown mouse button: 3\n" in session.stderr()
    assert session.proc.poll() is None


@pytest.mark.parametrize("key, window", [("q", "graph"), ("Q", "texture"), ("Escape", "graph")])
def test_quit_keys_end_the_program_with_status_zero(xserver, tmp_path, key, window):
    s = Session(xserver, str(tmp_path))
    try:
        s.settle()
        getattr(s, window).key(key)
        assert s.wait_exit() == 0
    finally:
        s.stop()
