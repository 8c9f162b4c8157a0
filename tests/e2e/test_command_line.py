"""The program's own command line: batch exports with no display at all,
and mistakes that are refused before any window opens."""
import concurrent.futures
import os
import pty
import subprocess
import time

import pytest

from conftest import GRAPH_START, PROGRAM, Session

BATCH = ["--seed=7", "--noise=gradient", "--octaves=3", "--turbulence", "--scale=rainbow"]


def run(args, cwd, env=None):
    no_display = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
    return subprocess.run([os.path.abspath(PROGRAM), *args], cwd=cwd, capture_output=True,
                          text=True, timeout=60, env=env or no_display)


def test_batch_exports_need_no_display_and_are_reproducible(tmp_path):
    first = run(BATCH + ["--bmp=slide.bmp", "--stl=print.stl"], tmp_path)
    assert first.returncode == 0, first.stderr
    assert "Image file 'slide.bmp' created.\n" in first.stderr
    # A pipe is no terminal: no progress marks between the two lines.
    assert "Writing STL file 'print.stl':\n81590 triangles written.\n" in first.stderr
    bmp = (tmp_path / "slide.bmp").read_bytes()
    assert len(bmp) == 54 + 512 * 512 * 3 and bmp[:2] == b"BM"
    assert (tmp_path / "print.stl").read_bytes().startswith(b"solid noise\n")

    # The same seed and settings give the same bytes; another seed does not.
    again = run(BATCH + ["--bmp=again.bmp"], tmp_path)
    assert again.returncode == 0 and (tmp_path / "again.bmp").read_bytes() == bmp
    other = run(["--seed=8"] + BATCH[1:] + ["--bmp=other.bmp"], tmp_path)
    assert other.returncode == 0 and (tmp_path / "other.bmp").read_bytes() != bmp
    # GLUT's options change nothing without a window, and a batch run says so.
    glut = run(["-display", ":9", *BATCH, "-sync", "-geometry", "1x1+0+0", "--bmp=again.bmp"],
               tmp_path)
    assert glut.returncode == 0 and (tmp_path / "again.bmp").read_bytes() == bmp
    assert glut.stderr == ("noisedemo: a batch run opens no window, so it ignores GLUT's "
                           "-display :9 -sync -geometry 1x1+0+0\n"
                           "Image file 'again.bmp' created.\n")
    assert sorted(os.listdir(tmp_path)) == ["again.bmp", "other.bmp", "print.stl", "slide.bmp"]


# Three settings a lesson uses: gradient noise in grey, value+gradient with
# turbulence in clouds, value noise with Catmull-Rom slopes in fire.
OCTAVE_LESSONS = (["--seed=11", "--noise=gradient"],
                  ["--seed=12", "--noise=value+gradient", "--turbulence", "--scale=clouds"],
                  ["--seed=13", "--noise=value", "--slopes=catmull-rom", "--scale=fire"])


def assert_captioned(captioned, plain, why):
    """The captioned BMP is the plain one byte for byte but in the caption's
    box across its top rows (one line of 15 pixels and 4 of margin, 20 rows
    with the box's edge): there each texel is the plain one, its quarter (the
    box's shade) or the white of a glyph, and some are not the plain one."""
    header, row, box = 54, 512 * 3, 20
    assert len(captioned) == len(plain) == header + 512 * row, why
    top = len(plain) - box * row  # BMP rows run bottom up
    assert captioned[:top] == plain[:top], why
    shaded = 0
    for n in range(top, len(plain), 3):
        texel, under = captioned[n:n + 3], plain[n:n + 3]
        assert texel in (under, bytes(c // 4 for c in under), b"\xff\xff\xff"), (why, n)
        shaded += texel != under
    assert shaded > 0, why


def test_the_first_k_octaves_are_the_picture_of_k_octaves_byte_for_byte(tmp_path):
    def bmp(args):
        name = "o" + "_".join(a.strip("-").replace(":", "").replace("=", "").replace("+", "") for a in args) + ".bmp"
        done = run(args + [f"--bmp={name}"], tmp_path)
        assert done.returncode == 0, (args, done.stderr)
        with open(tmp_path / name, "rb") as f:
            return f.read()
    with concurrent.futures.ThreadPoolExecutor(2) as pool:
        made = {}
        for lesson in OCTAVE_LESSONS:
            for k in range(1, 9):
                for view in ([f"--octaves={k}"], ["--octaves=8", f"--octave-view=first:{k}"],
                             ["--octaves=8", f"--octave-view=one:{k}"]):
                    made[tuple(lesson + view)] = pool.submit(bmp, lesson + view)
            # K past the octave setting is the setting's own picture.
            for view in (["--octaves=2"], ["--octaves=2", "--octave-view=first:5"]):
                made[tuple(lesson + view)] = pool.submit(bmp, lesson + view)
        got = {args: future.result() for args, future in made.items()}
    for lesson in OCTAVE_LESSONS:
        def of(*view):
            return got[tuple(lesson + list(view))]
        assert of("--octaves=2", "--octave-view=first:5") == of("--octaves=2"), lesson
        for k in range(1, 9):
            whole = of(f"--octaves={k}")
            first = of("--octaves=8", f"--octave-view=first:{k}")
            if k == 8:
                assert first == whole, lesson
            else:
                assert_captioned(first, whole, (lesson, k))
            # One octave alone is drawn at full strength under its caption:
            # never the running sum, not even the first octave's.
            alone = of("--octaves=8", f"--octave-view=one:{k}")
            assert alone != whole and alone[:54] == whole[:54], (lesson, k)
        # The octaves differ from one another (each doubles the frequency).
        assert len({of("--octaves=8", f"--octave-view=one:{k}") for k in range(1, 9)}) == 8


def test_a_failed_batch_export_says_why_and_keeps_what_was_there(tmp_path):
    (tmp_path / "taken.bmp").mkdir()
    (tmp_path / "good.stl").write_text("an earlier solid")
    done = run(["--seed=1", "--bmp=taken.bmp"], tmp_path)
    assert done.returncode == 1
    assert done.stderr == "Cannot create BMP file 'taken.bmp'\n  Is a directory\n"
    done = run(["--seed=1", "--stl=missing/x.stl", "--bmp=fine.bmp"], tmp_path)
    assert done.returncode == 1
    assert "Cannot create STL file 'missing/x.stl'\n  No such file or directory\n" in done.stderr
    assert (tmp_path / "fine.bmp").exists()
    assert (tmp_path / "good.stl").read_text() == "an earlier solid"
    assert sorted(os.listdir(tmp_path)) == ["fine.bmp", "good.stl", "taken.bmp"]


@pytest.mark.parametrize("args, reason", [
    (["--octaves=9"], "--octaves takes a number from 1 to 8, not '9'"),
    (["--seed=abc", "--bmp=x.bmp"], "--seed takes a whole number from 0 to 4294967295, not 'abc'"),
    (["--scale"], "option '--scale' needs a value, as in --scale=..."),
    (["--fast"], "unknown option '--fast'"),
    (["--point=3:0.5,0,0", "--point=3:0.6,0,0"], "--point gives control point 3 twice"),
    # GLUT's options, checked before glutInit could take one of ours as a
    # value or end the program with its own message.
    (["-display"], "GLUT option '-display' needs a value, as in -display DISPLAY"),
    (["--seed=1", "-geometry"], "GLUT option '-geometry' needs a value, as in -geometry WxH+X+Y"),
    (["-display", "--seed=1", "--bmp=o.bmp"], "GLUT option '-display' needs a value, as in "
     "-display DISPLAY, not the option '--seed=1'"),
    (["-geometry", "garbage"], "-geometry takes WIDTHxHEIGHT, +X+Y or both, as in 700x500+0+0 "
     "(sizes from 1, every number up to 32767; -X and -Y count from the right and bottom), "
     "not 'garbage'"),
    (["--point=-1:0,0,0"], "--point: control points run from 0 to 7, not '-1'"),
    (["--point=3:1e-46,0,0"], "--point: the value of control point 3, '1e-46', is nearer 0 "
     "than any float but 0 (it would read as 0); write 0"),
    # What the terminal would act on is shown escaped.
    (["--scale=\x1b]0;x\x07\r"],
     "--scale takes grey, rainbow, clouds or fire, not '\\x1b]0;x\\x07\\r'"),
])
def test_mistakes_are_refused_before_any_window_opens(xserver, tmp_path, args, reason):
    done = run(args, tmp_path, env=xserver.env)
    assert done.returncode == 2
    assert done.stderr == f"noisedemo: {reason}\nTry 'noisedemo --help'.\n"
    assert done.stdout == ""
    assert os.listdir(tmp_path) == []
    windows = xserver.run("xdotool", "search", "--name", ".", check=False).stdout.split()
    names = {xserver.run("xdotool", "getwindowname", w, check=False).stdout.strip()
             for w in windows}
    assert not names & {"Noise Demo -- Quenmarl", "2D Noise", "User Interface Window"}


def test_help_and_version_print_on_standard_output(tmp_path):
    shown = run(["--help"], tmp_path)
    assert shown.returncode == 0 and shown.stderr == ""
    assert shown.stdout.startswith("Usage: noisedemo ")
    for option in ("--seed=N", "--noise=", "--blend=", "--slopes=", "--octaves=", "--turbulence",
                   "--scale=", "--point=K:V,G,C", "--bmp=FILE", "--stl=FILE", "--version"):
        assert option in shown.stdout
    version = run(["--version"], tmp_path)
    assert version.returncode == 0 and version.stdout.startswith("noisedemo ")
    # A text that could not be written is no success.
    for option in ("--help", "--version"):
        with open("/dev/full", "w") as full:
            failed = subprocess.run([os.path.abspath(PROGRAM), option], stdout=full,
                                    stderr=subprocess.PIPE, text=True, timeout=60)
        assert failed.returncode == 1
        assert failed.stderr == "noisedemo: cannot write to standard output: No space left on device\n"


def test_a_terminal_gets_the_progress_and_no_raw_control_character(tmp_path):
    main, side = pty.openpty()
    proc = subprocess.Popen([os.path.abspath(PROGRAM), "--seed=1", "--stl=a\rb\x1b[2J.stl"],
                            cwd=tmp_path, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                            stderr=side)
    os.close(side)
    shown = b""
    try:
        while True:  # until the program's end closes the terminal's other side
            try:
                part = os.read(main, 65536)
            except OSError:
                break
            if not part:
                break
            shown += part
    finally:
        os.close(main)
    assert proc.wait(timeout=60) == 0
    # The terminal turns each "\n" into "\r\n"; the name's own CR and ESC
    # arrive as text.
    assert shown.startswith(b"Writing STL file 'a\\rb\\x1b[2J.stl':\r\n\b\b\b\b\b\b     2\b")
    assert shown.endswith(b"\b\b\b\b\b\b 81590\r\n81590 triangles written.\r\n")
    assert shown.count(b"\b\b\b\b\b\b") == 199 * 199 + 4 * 199 + 1
    assert os.listdir(tmp_path) == ["a\rb\x1b[2J.stl"]


def test_geometry_gives_the_graph_window_its_size_and_place(xserver, tmp_path):
    # The screen is 1400 by 1112; a minus counts from its right and bottom.
    for geometry, expected in [("350x250+40+30", (40, 30, 350, 250)),
                               ("300x200-0-0", (1100, 912, 300, 200)),
                               ("+7+9", (7, 9, *GRAPH_START))]:
        session = Session(xserver, str(tmp_path), args=("--seed=1", "-geometry", geometry))
        try:
            assert session.graph.geometry() == expected
            # The texture window keeps its place and size (screen height - 600).
            assert session.texture.geometry() == (50, 560, 512, 512)
            # The graph is drawn, stretched to the window: its yellow curve.
            deadline = time.time() + 30
            while True:
                shot = session.graph.screenshot()
                if shot.size == expected[2:] and (255, 255, 0) in {c for _, c in
                                                                    shot.getcolors(1 << 20)}:
                    break
                assert time.time() < deadline, "the graph was not drawn"
                time.sleep(0.05)
        finally:
            session.stop()
