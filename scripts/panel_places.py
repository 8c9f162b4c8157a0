#!/usr/bin/python3
"""Prints where the control panel's controls are, as shell assignments, found
in a picture of the panel window the way the end-to-end tests find them
(PanelLayout in tests/e2e/conftest.py), so that scripts click what is there
rather than at pixels written down once.

    eval "$(scripts/panel_places.py WINDOW_ID)"

sets, in panel pixels: debug_x debug_y (the Debug check box), gradient_only_x
gradient_only_y (the Gradient-Only radio button), slider_left_x slider_right_x
slider_y (the arrows of "Set Gradient")."""
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))

from PIL import Image  # noqa: E402
from Xlib import X, display as xdisplay  # noqa: E402

from conftest import PanelLayout  # noqa: E402


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: panel_places.py WINDOW_ID")
    conn = xdisplay.Display()
    window = conn.create_resource_object("window", int(sys.argv[1], 0))
    # A panel just mapped may not be drawn yet: look again until it shows the
    # controls the places assume (19 radio buttons, Turbulence and Debug, two
    # sliders), for up to 10 seconds.
    deadline = time.monotonic() + 10
    while True:
        size = window.get_geometry()
        raw = window.get_image(0, 0, size.width, size.height, X.ZPixmap, 0xffffffff)
        image = Image.frombytes("RGB", (size.width, size.height), raw.data, "raw", "BGRX")
        found = PanelLayout(image)
        if len(found.radios) == 19 and len(found.checkboxes) == 2 and len(found.sliders) == 2:
            break
        if time.monotonic() > deadline:
            sys.exit(f"panel_places.py: not the panel expected: {found.controls}")
        time.sleep(0.1)
    debug, gradient_only, slider = found.checkboxes[1], found.radios[1], found.sliders[0]
    places = {
        "debug": debug.centre,
        "gradient_only": gradient_only.centre,
    }
    for name, (x, y) in places.items():
        print(f"{name}_x={x} {name}_y={y}")
    # The arrows sit 8 pixels in from the slider's ends, as the tests press them.
    print(f"slider_left_x={slider.x + 8} slider_right_x={slider.x + slider.w - 8} "
          f"slider_y={slider.y + 8}")


if __name__ == "__main__":
    main()
