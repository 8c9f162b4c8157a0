#!/usr/bin/python3
"""Screenshots of all three windows at many settings, to prove that a change
in how something is drawn leaves every pixel where it was.

    scripts/pixel_check.py capture PROGRAM DIR    # one PNG per window and step
    scripts/pixel_check.py compare DIR_A DIR_B    # lists every file that differs
    scripts/pixel_check.py edges DIR_A DIR_B      # the same, and where they differ

Each setting starts the program on its own virtual display with a fixed seed,
then walks through the same steps: the first frame, a press on control point 3
(it turns green; under the gradient types the sliders come alive), a drag of
that point, a drag of each slider's thumb (when they are enabled), Debug switched on,
another press on the dot (its traces go to stderr.txt), and a resized
graph window. After every step the windows are left to settle
and each is saved. `compare` exits 1 if any image differs in size or in any
byte and counts the differing pixels of each. `edges` also checks that every
differing pixel lies within one pixel of the old drawing's edge: a pixel that
gained a colour touches (8-neighbourhood) a pixel of that colour in the old
image, and a pixel that lost one touches a pixel of that colour in the new
one. It writes DIR_B/FILE-diff.png beside each differing image: the old
picture dimmed, pixels gained in green, lost in red.
"""
import os
import sys

from PIL import Image, ImageChops

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import conftest  # noqa: E402

SETTINGS = {
    "value-grey": ["--seed=1"],
    "gradient-rainbow": ["--seed=4242", "--noise=gradient", "--blend=quintic", "--octaves=3",
                         "--scale=rainbow"],
    "vg-clouds-turb": ["--seed=7", "--noise=value+gradient", "--octaves=8", "--turbulence",
                       "--scale=clouds"],
    "value-catmull-fire": ["--seed=99", "--slopes=catmull-rom", "--scale=fire", "--octaves=2"],
    "gradient-grey-turb": ["--seed=123", "--noise=gradient", "--turbulence"],
    "vg-quintic-fire": ["--seed=5", "--noise=value+gradient", "--blend=quintic",
                        "--scale=fire", "--octaves=5"],
}


def save(session, folder, step):
    session.settle()
    for name, window in (("graph", session.graph), ("texture", session.texture),
                         ("panel", session.panel)):
        window.screenshot().save(os.path.join(folder, f"{step}-{name}.png"))


def capture_one(program, folder, args):
    os.makedirs(folder, exist_ok=True)
    conftest.PROGRAM = program
    x = conftest.XServer(1400, 1112)
    session = conftest.Session(x, folder, args)
    try:
        save(session, folder, "0-start")
        shot = session.graph.screenshot()
        dot = conftest.find_dot(shot, conftest.point_x(3), 0, shot.height)
        if dot is None:
            raise RuntimeError(f"no dot 3 in {args}")
        session.graph.click(*dot)
        save(session, folder, "1-picked")
        session.graph.drag(dot[0], dot[1], dot[0], dot[1] - 40)
        save(session, folder, "2-dragged")
        panel = conftest.layout(session)
        for k, slider in enumerate(panel.sliders):
            # The thumb dragged 37 pixels right (when the slider is enabled):
            # unlike a held arrow, where it lands does not depend on timing.
            grab = slider.x + slider.thumb + 4
            session.panel.drag(grab, slider.y + 8, grab + 37, slider.y + 8)
            save(session, folder, f"3-slider{k}")
        session.panel.click(*panel.checkboxes[conftest.DEBUG].centre)
        save(session, folder, "4-debug")
        # With Debug on, a press on the (green) dot prints the pick's traces.
        shot = session.graph.screenshot()
        dot = conftest.find_dot(shot, conftest.point_x(3), 0, shot.height, conftest.GREEN)
        if dot is None:
            raise RuntimeError(f"no green dot 3 in {args}")
        session.graph.click(*dot)
        save(session, folder, "5-repicked")
        session.graph.resize(523, 377)
        save(session, folder, "6-resized")
    finally:
        session.stop()
        x.stop()


def capture(program, folder):
    for name, args in SETTINGS.items():
        capture_one(os.path.abspath(program), os.path.join(folder, name), args)
        print(f"{name}: captured", flush=True)


def touches(pixels, size, x, y, colour):
    return any(pixels[nx, ny] == colour
               for nx in range(max(x - 1, 0), min(x + 2, size[0]))
               for ny in range(max(y - 1, 0), min(y + 2, size[1])))


def edge_report(ia, ib, out):
    """(differing pixels, how many are farther than one pixel from an edge)."""
    pa, pb = ia.load(), ib.load()
    shown = Image.eval(ia, lambda v: v // 3)
    ps = shown.load()
    n = far = 0
    for y in range(ia.height):
        for x in range(ia.width):
            if pa[x, y] == pb[x, y]:
                continue
            n += 1
            near = (touches(pa, ia.size, x, y, pb[x, y]) and
                    touches(pb, ib.size, x, y, pa[x, y]))
            far += not near
            ps[x, y] = (0, 255, 0) if pa[x, y] == (0, 0, 0) else (255, 0, 0)
    shown.save(out)
    return n, far


def compare(a, b, edges=False):
    bad = 0
    total = 0
    total_far = 0
    count = 0
    for root, _, files in os.walk(a):
        for f in sorted(files):
            if not f.endswith(".png") or f.endswith("-diff.png"):
                continue
            pa = os.path.join(root, f)
            pb = os.path.join(b, os.path.relpath(pa, a))
            count += 1
            if not os.path.exists(pb):
                print(f"missing: {pb}")
                bad += 1
                continue
            ia, ib = Image.open(pa).convert("RGB"), Image.open(pb).convert("RGB")
            if ia.size != ib.size:
                print(f"size {ia.size} != {ib.size}: {os.path.relpath(pa, a)}")
                bad += 1
                continue
            box = ImageChops.difference(ia, ib).getbbox()
            if box is not None:
                if edges:
                    n, far = edge_report(ia, ib, pb[:-4] + "-diff.png")
                    total_far += far
                    extra = f", {far} of them farther than one pixel from an edge"
                else:
                    diff = ImageChops.difference(ia, ib).convert("L")
                    n, extra = sum(1 for v in diff.getdata() if v), ""
                total += n
                print(f"{n} pixels differ in {box}{extra}: {os.path.relpath(pa, a)}")
                bad += 1
    print(f"{count} images compared, {bad} differ, {total} pixels in all"
          + (f", {total_far} farther than one pixel from an edge" if edges else ""))
    if edges:
        return 1 if total_far or count == 0 else 0
    return 1 if bad or count == 0 else 0


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "capture":
        capture(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "compare":
        sys.exit(compare(sys.argv[2], sys.argv[3]))
    elif len(sys.argv) == 4 and sys.argv[1] == "edges":
        sys.exit(compare(sys.argv[2], sys.argv[3], edges=True))
    else:
        sys.exit(__doc__)
