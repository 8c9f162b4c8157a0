"""What the graph and texture windows show, checked pixel by pixel.

The lattice is random on every start, so the tests read the control points'
values off the texture (its bottom row is lattice row 0) and check that the
graph's points, curve and bar agree with them.
"""
from conftest import (DEBUG, GRAPH_START, LAYOUT, REDRAW, UNITS_H, UNITS_W, WHITE, YELLOW, control_values,
                      dot_row, find_dot, layout, point_x)


def test_points_curve_bar_and_texture_agree(session):
    graph = session.graph.screenshot()
    texture = session.texture.screenshot()
    assert graph.size == GRAPH_START and texture.size == (512, 512)
    greys = control_values(texture)

    for i, grey in enumerate(greys):
        value = grey / 255
        x = int(point_x(i))
        # Each dot is a 7-pixel square at the height of its value.
        dot = find_dot(graph, point_x(i), 40, 346)
        assert dot is not None, i
        assert abs(dot[0] - point_x(i)) <= 1.5, (i, dot)
        centre = dot[1]
        expected = dot_row(value)
        assert abs(centre - expected) <= 2, (i, centre, expected)
        # With zero slopes the curve is level at the point: the yellow line
        # leaves the dot at its height on both sides. Six pixels out, at t =
        # 6 / (pixels per interval), the cubic blend has moved (3t^2 - 2t^3)
        # of the way to the neighbour, which the greys give to 1/255 each:
        # that move, in rows, is allowed on top of the dot's own 2.
        for side in (-6, 6):
            if (i == 0 and side < 0) or (i == 7 and side > 0):
                continue
            t = 6 / (point_x(1) - point_x(0))
            step = abs(greys[i + (1 if side > 0 else -1)] - grey) + 2
            allowed = 2 + LAYOUT.kGraphHeight * step / 255 * (3 * t * t - 2 * t ** 3)
            yellow = [y for y in range(40, 460) if graph.getpixel((x + side, y)) == YELLOW]
            assert yellow and abs(sum(yellow) / len(yellow) - centre) <= allowed, (i, side, yellow)
        # The bar below shows the same value as a grey level.
        bar = graph.getpixel((x, 440))
        assert bar[0] == bar[1] == bar[2] and abs(bar[0] - grey) <= 1, (i, bar, grey)


def test_axes_and_midpoint_line(session):
    graph = session.graph.screenshot()  # at its opening size: one pixel per unit
    # The x axis along the bottom margin between the side ones, the noise axis along the left one.
    left, right, axis = LAYOUT.kLeftMargin, UNITS_W - LAYOUT.kRightMargin, UNITS_H - LAYOUT.kBottomMargin
    top, middle = axis - LAYOUT.kGraphHeight, axis - LAYOUT.kGraphHeight // 2
    for x in range(left + 2, right - 2, 7):
        assert graph.getpixel((x, axis)) == WHITE or graph.getpixel((x, axis - 1)) == WHITE, x
    for y in range(top + 2, axis - 2, 7):
        assert graph.getpixel((left, y)) == WHITE or graph.getpixel((left - 1, y)) == WHITE, y
    # Eight ticks below the x axis, five left of the noise axis; the midpoint line half way up.
    ticks = [x for x in range(left - 10, right + 10) if graph.getpixel((x, axis + 7)) == WHITE]
    assert len({round(point_x(i)) for i in range(8)} - set(ticks) - {t + 1 for t in ticks}) == 0
    for y in range(axis, top - 1, -LAYOUT.kGraphHeight // 4):
        assert graph.getpixel((left - 6, y)) == WHITE or graph.getpixel((left - 6, y - 1)) == WHITE, y
    mid = [x for x in range(left + 5, right - 5) if graph.getpixel((x, middle - 1)) == (178, 255, 0)
           or graph.getpixel((x, middle)) == (178, 255, 0)]
    assert len(mid) > 300
    # Labels are drawn: white text pixels left of the ticks and below the axis.
    label_pixels = sum(1 for x in range(0, 48) for y in range(40, 360)
                       if graph.getpixel((x, y)) == WHITE)
    assert label_pixels > 150


def test_texture_rows_run_bottom_up_and_resizing_stretches(session):
    texture = session.texture.screenshot()
    greys = control_values(texture)
    # Texel row 0 is the bottom row: the grey at (0, 0) sits in the bottom-left corner.
    assert texture.getpixel((0, 511))[0] == greys[0]

    session.graph.resize(350, 250)
    session.texture.resize(256, 400)
    session.settle()
    graph = session.graph.screenshot()
    assert graph.size == (350, 250)
    for i, grey in enumerate(greys):
        # The dot keeps its 7 pixels; its place scales with the window.
        dot = find_dot(graph, point_x(i) / 2, 20, 172)
        expected = dot_row(grey / 255, graph.height)
        assert dot is not None, i
        assert abs(dot[0] - point_x(i) / 2) <= 1.5 and abs(dot[1] - expected) <= 2, (i, dot)
    stretched = session.texture.screenshot()
    assert stretched.size == (256, 400)
    # The whole image still fills the window: same bottom-left texel.
    assert abs(stretched.getpixel((0, 399))[0] - greys[0]) <= 1


def test_debug_traces_of_a_redisplay(session):
    panel = layout(session)
    session.panel.click(*panel.checkboxes[DEBUG].centre)
    session.wait_for_count(REDRAW, 1)
    session.settle()
    # A reshape of the graph window is traced, then redraws both windows in
    # the order the graph's display pass draws them.
    start = len(session.stderr())
    session.graph.resize(640, 480)
    session.wait_for_stderr("ReSize: 640, 480\n")
    session.wait_for_count(REDRAW, 2)
    traced = session.stderr()[start:]
    one_pass = ("Display; CurrentPoint = -1\nXaxis\nZaxis\nPlotLine\nPlotPoints\nPlotBar\n"
                "FillTexture\n")
    assert traced.startswith("ReSize: 640, 480\n" + one_pass), traced
    # Debug off: a redisplay prints nothing.
    session.panel.click(*panel.checkboxes[DEBUG].centre)
    session.settle()
    quiet = len(session.stderr())
    session.graph.resize(*GRAPH_START)
    session.settle()
    assert session.stderr()[quiet:] == ""


def test_visibility_changes_are_traced_and_showing_again_redraws(session):
    panel = layout(session)
    session.panel.click(*panel.checkboxes[DEBUG].centre)
    session.wait_for_count(REDRAW, 1)
    session.settle()
    session.x.run("xdotool", "windowunmap", "--sync", session.graph.id)
    session.wait_for_stderr("Visibility: 0\n")
    session.settle()
    hidden = session.count(REDRAW)
    session.x.run("xdotool", "windowmap", "--sync", session.graph.id)
    session.wait_for_stderr("Visibility: 1\n")
    session.wait_for_count(REDRAW, hidden + 1)
