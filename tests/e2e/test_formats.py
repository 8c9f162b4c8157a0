"""The files that every tool opens: the PNG snapshot, the 16-bit heightmap and
the binary STL with colours, from the keys and from the command line."""
import os
import re
import struct
import subprocess

import pytest
from PIL import Image, ImageChops

from conftest import PROGRAM, Session

NO_DISPLAY = {k: v for k, v in os.environ.items() if k != "DISPLAY"}


def batch(cwd, *args):
    return subprocess.run([os.path.abspath(PROGRAM), *args], cwd=cwd, capture_output=True,
                          text=True, timeout=60, env=NO_DISPLAY)


def png_texts(path):
    checked = subprocess.run(["pngcheck", "-t", str(path)], capture_output=True, text=True)
    assert checked.returncode == 0, checked.stdout
    return checked.stdout


def test_keys_write_a_png_of_the_snapshot_a_heightmap_and_a_binary_solid(xserver, tmp_path):
    s = Session(xserver, str(tmp_path), args=["--seed=11", "--octaves=3", "--scale=rainbow"])
    try:
        s.texture.key("b")
        s.wait_for_stderr("Image file 'image003NR.bmp' created.\n")
        s.graph.key("P")
        s.wait_for_stderr("Image file 'image003NR.png' created.\n")
        s.texture.key("h")
        s.wait_for_stderr("Heightmap file 'height003N.png' created.\n")
        s.graph.key("m")
        s.wait_for_stderr("Writing STL file 'noise003N.bin.stl':\n81590 triangles written.\n")
    finally:
        s.stop()
    # The PNG holds exactly the pixels of the BMP written from the same window.
    png = Image.open(tmp_path / "image003NR.png")
    assert png.mode == "RGB"
    bmp = Image.open(tmp_path / "image003NR.bmp").convert("RGB")
    assert ImageChops.difference(png, bmp).getbbox() is None
    texts = png_texts(tmp_path / "image003NR.png")
    assert "Software:\n    noisedemo " in texts
    assert ("Comment:\n    noisedemo --seed=11 --noise=value --blend=cubic --slopes=zero "
            "--octaves=3 --scale=rainbow\n") in texts
    assert "16-bit grayscale" in subprocess.run(["pngcheck", tmp_path / "height003N.png"],
                                                capture_output=True, text=True).stdout
    assert (tmp_path / "noise003N.bin.stl").stat().st_size == 84 + 50 * 81590


@pytest.mark.parametrize("noise", ["value", "gradient", "value+gradient"])
def test_the_heightmap_holds_the_noise_before_any_colour_scale(tmp_path, noise):
    args = ["--seed=5", f"--noise={noise}", "--octaves=4", "--scale=grey"]
    done = batch(tmp_path, *args, "--heightmap=h.png", "--bmp=g.bmp")
    assert done.returncode == 0, done.stderr
    assert "Heightmap file 'h.png' created.\n" in done.stderr
    height = Image.open(tmp_path / "h.png")
    assert height.size == (512, 512) and height.mode.startswith("I")
    grey = Image.open(tmp_path / "g.bmp").convert("L")
    # The grey texture is round(v * 255) of the same values, row 0 at the bottom
    # in both; the heightmap is round(v * 65535). Where the grey rounding is not
    # a close call, both roundings must name the same level.
    checked = 0
    for x in range(0, 512, 37):
        for y in range(0, 512, 41):
            h = height.getpixel((x, y))
            level = h * 255 / 65535
            if abs(level - int(level) - 0.5) > 0.02:
                assert int(level + 0.5) == grey.getpixel((x, y)), (x, y, h)
                checked += 1
    assert checked > 150
    # Gradient-only noise is exactly the midpoint at texel (0, 0), the image's
    # bottom-left corner: round(0.5 * 65535).
    if noise == "gradient":
        assert height.getpixel((0, 511)) == 32768


def facets_of_ascii(text):
    """For each facet of the ASCII solid: its colour line's channels (or None)
    and its nine vertex numbers."""
    facets, colour = [], None
    lines = text.splitlines()
    k = 0
    while k < len(lines):
        line = lines[k]
        if line.startswith(" color "):
            colour = [float(v) for v in line.split()[1:]]
        elif line.startswith(" facet normal"):
            vertices = [float(v) for n in (2, 3, 4) for v in lines[k + n].split()[1:]]
            facets.append((colour, vertices))
            colour = None
            k += 6
        k += 1
    return facets


def test_the_binary_solid_is_the_ascii_solid_with_its_colours(tmp_path):
    done = batch(tmp_path, "--seed=3", "--noise=value+gradient", "--octaves=5", "--turbulence",
                 "--stl=a.stl", "--stl-binary=b.stl")
    assert done.returncode == 0, done.stderr
    data = (tmp_path / "b.stl").read_bytes()
    assert len(data) == 84 + 50 * 81590
    assert data[:6] == b"COLOR=" and list(data[6:10]) == [128, 128, 128, 255]
    assert data[10:20] == b",MATERIAL=" and b"\0" not in data[:32]
    assert struct.unpack("<I", data[80:84]) == (81590,)

    ascii_facets = facets_of_ascii((tmp_path / "a.stl").read_text())
    assert len(ascii_facets) == 81590
    top = 0
    for n, (colour, vertices) in enumerate(ascii_facets):
        record = struct.unpack("<12fH", data[84 + 50 * n:84 + 50 * (n + 1)])
        assert all(abs(a - b) <= 0.00005 + 1e-6 for a, b in zip(record[3:12], vertices)), n
        attribute = record[12]
        if colour is None:
            assert attribute == 16 | 16 << 5 | 16 << 10, n  # the default grey, as its own colour
        else:
            top += 1
            assert not attribute & 0x8000, n
            stored = [(attribute >> (5 * c)) & 31 for c in range(3)]
            assert all(abs(s - c * 31) <= 1 for s, c in zip(stored, colour)), (n, stored, colour)
    assert top == 2 * 199 * 199

    # admesh takes it as it is: one closed part, nothing disconnected.
    report = subprocess.run(["admesh", str(tmp_path / "b.stl")], capture_output=True,
                            encoding="latin-1").stdout
    assert re.search(r"Number of parts\s*:\s*1\b", report), report
    assert re.search(r"Total disconnected facets\s*:\s*0\b", report), report


@pytest.mark.parametrize("option, kind", [("--png", "PNG"), ("--heightmap", "HEIGHTMAP"),
                                          ("--stl-binary", "STL")])
def test_a_failed_write_is_reported_and_keeps_the_earlier_file(tmp_path, small_disk, option,
                                                              kind):
    # A folder at the name.
    (tmp_path / "taken").mkdir()
    done = batch(tmp_path, "--seed=1", f"{option}=taken")
    assert done.returncode == 1
    assert done.stderr == f"Cannot create {kind} file 'taken'\n  Is a directory\n"
    # A full disk: the earlier file of that name stays as it was.
    (small_disk / "out").write_text("an earlier file")
    filler = os.open(small_disk / "filler", os.O_WRONLY | os.O_CREAT)
    try:
        while os.write(filler, b"\0" * 65536) > 0:
            pass
    except OSError:
        pass
    os.close(filler)
    done = batch(small_disk, "--seed=1", "--octaves=8", f"{option}=out")
    assert done.returncode == 1
    assert f"Cannot write {kind} file 'out'\n  No space left on device\n" in done.stderr
    assert "created" not in done.stderr and "triangles written" not in done.stderr
    assert (small_disk / "out").read_text() == "an earlier file"
    assert sorted(os.listdir(small_disk)) == ["filler", "out"]
