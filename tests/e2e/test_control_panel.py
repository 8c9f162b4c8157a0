"""The control panel, used as a person uses it: every radio button and check
box clicked, the buttons pressed, and the effect seen in the panel, in the two
graphics windows and in the Debug traces."""
from PIL import ImageChops

from conftest import (DEBUG, GROUPS, INTERPOLATION, NOISE, OCTAVES, REDRAW, RULE, SCALES,
                      TURBULENCE, layout)

def differs(a, b):
    return ImageChops.difference(a, b).getbbox() is not None


def shows_defaults(panel):
    for group in GROUPS:
        assert [panel.radios[i].on for i in group] == [i == group[0] for i in group], group
    assert not panel.checkboxes[TURBULENCE].on and not panel.checkboxes[DEBUG].on


def test_panel_opens_beside_the_graph_with_the_defaults_and_disabled_sliders(session):
    x, y, w, h = session.panel.geometry()
    assert (x, y) == (750, 0)
    panel = layout(session, "panel")

    # In GLUI's order: the radio groups and Turbulence, the texture scales, the
    # two sliders, Re-Randomize, Debug, then Reset and Quit side by side.
    kinds = [c.kind for c in panel.controls]
    assert kinds == ["radio"] * 15 + ["checkbox"] + ["radio"] * 4 + ["slider"] * 2 + \
        ["button", "checkbox", "button", "button"]
    reset, quit_ = panel.buttons[1], panel.buttons[2]
    assert reset.y == quit_.y and reset.x + reset.w < quit_.x
    shows_defaults(panel)
    assert all(c.enabled for c in panel.radios + panel.checkboxes)

    # Labels beside every mark; nothing overlaps; all inside the window, which
    # fits its controls with a 6-pixel margin.
    for c in panel.radios + panel.checkboxes:
        assert panel.dark_pixels(c.x + 18, c.y, c.x + 80, c.y + 13) > 8, c
    for i, a in enumerate(panel.controls):
        assert 0 <= a.x and a.x + a.w <= w and a.y + a.h <= h, a
        assert not any(a.overlaps(b) for b in panel.controls[i + 1:]), a
    assert h - (reset.y + reset.h) <= 12
    assert panel.image.getpixel((1, h - 2)) == (200, 200, 200)

    # Both sliders 200 wide with the thumb in the middle (value 0): L = 98.
    assert [(s.w, s.thumb) for s in panel.sliders] == [(200, 98), (200, 98)]

    # An untouched program takes no CPU time: the toolkit's idle handler is
    # not installed while no control needs it. Installed, it would run every
    # few milliseconds and the program would never be quiet this long.
    before = session.cpu_ns()
    session.settle(polls=6)
    assert session.cpu_ns() == before

    # The user cannot resize the panel.
    session.panel.resize(w + 120, h - 200)
    session.settle()
    assert session.panel.geometry()[2:] == (w, h)

    # The sliders start disabled: arrows, track and thumb do nothing.
    session.panel.click(*panel.checkboxes[DEBUG].centre)
    session.wait_for_count(REDRAW, 1)
    gradient, curvature = panel.sliders
    for s in panel.sliders:
        session.panel.click(s.x + s.w - 8, s.y + 8)
        session.panel.click(s.x + 150, s.y + 8)
        session.panel.press(s.x + 8, s.y + 8)
        session.settle()
        session.panel.release()
        session.panel.drag(s.x + s.thumb + 3, s.y + 8, s.x + s.thumb + 40, s.y + 8)
    session.settle()
    after = layout(session, "panel-sliders-pressed")
    assert [s.thumb for s in after.sliders] == [98, 98]
    assert "SetSliderG" not in session.stderr()


def test_every_radio_button_and_check_box_has_its_effect(session):
    panel = layout(session)
    click = session.panel.click
    shots = {"graph": session.graph.screenshot, "texture": session.texture.screenshot}

    def choose(control):
        """Clicks, waits for the redisplay that the change posts, returns both pictures."""
        drawn = session.count(REDRAW)
        click(*control.centre)
        session.wait_for_count(REDRAW, drawn + 1)
        session.settle()
        return {name: take() for name, take in shots.items()}

    # The graph's trace can come before the panel has drawn its check mark:
    # settle (all three windows still) before reading either.
    click(*panel.checkboxes[DEBUG].centre)
    session.wait_for_count(REDRAW, 1)
    session.settle()
    assert "Display; CurrentPoint = -1\n" in session.stderr()
    assert layout(session).checkboxes[DEBUG].on
    start = {name: take() for name, take in shots.items()}

    # Noise type: each type draws its own curve; only value-only noise keeps
    # the gradient-rule group enabled. Back to Value-Only, the same picture.
    gradient_only = choose(panel.radios[NOISE[1]])
    assert differs(gradient_only["graph"], start["graph"])
    now = layout(session, "panel-gradient-only")
    assert now.radios[NOISE[1]].on and not now.radios[NOISE[0]].on
    assert not any(now.radios[i].enabled for i in RULE)
    assert all(now.radios[i].enabled for i in NOISE + OCTAVES)
    both = choose(panel.radios[NOISE[2]])
    assert differs(both["graph"], gradient_only["graph"])
    assert not any(layout(session).radios[i].enabled for i in RULE)
    back = choose(panel.radios[NOISE[0]])
    assert back["graph"] == start["graph"]
    assert all(layout(session).radios[i].enabled for i in RULE)

    # Interpolation and the value-only gradient rule change the 1D curve.
    for group in (INTERPOLATION, RULE):
        other = choose(panel.radios[group[1]])
        assert differs(other["graph"], start["graph"]), group
        assert layout(session).radios[group[1]].on
        assert choose(panel.radios[group[0]])["graph"] == start["graph"], group

    # Every octave count looks different from the one before, in both windows.
    previous = start
    for i in OCTAVES[1:]:
        now = choose(panel.radios[i])
        assert differs(now["graph"], previous["graph"]), i
        assert differs(now["texture"], previous["texture"]), i
        previous = now
    assert layout(session).radios[OCTAVES[-1]].on
    assert choose(panel.radios[OCTAVES[0]]) == start

    # Turbulence folds the noise: both windows change, and change back.
    folded = choose(panel.checkboxes[TURBULENCE])
    assert differs(folded["graph"], start["graph"])
    assert differs(folded["texture"], start["texture"])
    assert layout(session).checkboxes[TURBULENCE].on
    assert choose(panel.checkboxes[TURBULENCE]) == start

    # Colour scales: the texture's colours, and the callback's own trace.
    def colours(image):
        return set(image.resize((64, 64)).getdata())

    traces = session.count("SetColorScale\n")
    rainbow = colours(choose(panel.radios[SCALES[1]])["texture"])
    # Mid values are green; lower ones lean to blue, higher ones to yellow.
    assert any(g > r and g > b for r, g, b in rainbow)
    assert any(b > r + 40 for r, g, b in rainbow) and any(r > b + 40 for r, g, b in rainbow)
    clouds = colours(choose(panel.radios[SCALES[2]])["texture"])
    assert all(b == 255 and abs(r - g) <= 1 for r, g, b in clouds) and len(clouds) > 10
    fire = colours(choose(panel.radios[SCALES[3]])["texture"])
    assert all(r == 255 and b == 0 for r, g, b in fire) and len(fire) > 10
    grey = choose(panel.radios[SCALES[0]])
    assert grey["texture"] == start["texture"]
    assert session.count("SetColorScale\n") == traces + 4
    assert "SetSliderG" not in session.stderr()

    # Debug off: changes are drawn without traces.
    click(*panel.checkboxes[DEBUG].centre)
    session.settle()
    quiet = session.count(REDRAW)
    click(*panel.radios[INTERPOLATION[1]].centre)
    session.settle()
    assert differs(session.graph.screenshot(), start["graph"])
    assert session.count(REDRAW) == quiet
    assert "freeglut" not in session.stderr()


def test_rerandomize_reset_and_quit(session):
    panel = layout(session)
    click = session.panel.click
    rerandomize, reset, quit_ = panel.buttons

    click(*panel.checkboxes[DEBUG].centre)
    session.wait_for_count(REDRAW, 1)
    session.settle()
    graph, texture = session.graph.screenshot(), session.texture.screenshot()

    # A new lattice: both windows change.
    click(*rerandomize.centre)
    session.wait_for_count(REDRAW, 2)
    session.settle()
    new_graph, new_texture = session.graph.screenshot(), session.texture.screenshot()
    assert differs(new_graph, graph)
    assert differs(new_texture, texture)

    # Change a setting of every kind, then Reset.
    for control in (panel.radios[NOISE[1]], panel.radios[INTERPOLATION[1]],
                    panel.radios[OCTAVES[4]], panel.checkboxes[TURBULENCE],
                    panel.radios[SCALES[1]]):
        click(*control.centre)
    session.settle()
    changed = layout(session)
    assert changed.radios[OCTAVES[4]].on and changed.checkboxes[TURBULENCE].on
    assert differs(session.texture.screenshot(), new_texture)

    click(*reset.centre)
    session.settle()
    after = layout(session, "panel-after-reset")
    shows_defaults(after)
    # Reset leaves enabled states alone: the rule group stays disabled.
    assert not any(after.radios[i].enabled for i in RULE)
    # The defaults over the same (re-randomised) lattice: the same pictures.
    assert session.graph.screenshot() == new_graph
    assert session.texture.screenshot() == new_texture

    click(*quit_.centre)
    assert session.wait_exit() == 0
    assert "freeglut" not in session.stderr()
