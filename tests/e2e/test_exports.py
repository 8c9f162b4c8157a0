"""The keys b and s write the texture window as a BMP image and the noise as
an STL solid; failures say so and never cost an earlier file."""
import io
import os
import re
import struct
import subprocess

import pytest
from PIL import Image

from conftest import Session

BMP = "image001NG.bmp"  # the default settings: one octave, no turbulence, grey
STL = "noise001N.stl"


def read_bmp(path):
    with open(path, "rb") as f:
        data = f.read()
    assert data[:2] == b"BM"
    assert struct.unpack_from("<I", data, 2)[0] == len(data)
    return Image.open(path).convert("RGB")


def leftovers(folder, expected):
    """Entries of folder other than the expected ones (temporary files, say)."""
    return sorted(set(os.listdir(folder)) - set(expected))


def test_b_saves_the_texture_window_as_it_is_shown(session):
    session.texture.key("b")
    session.wait_for_stderr(f"Image file '{BMP}' created.\n")
    shown = session.texture.screenshot()
    saved = read_bmp(os.path.join(session.workdir, BMP))
    assert saved.size == shown.size == (512, 512)
    assert saved.tobytes() == shown.tobytes()
    # A noise image, not a blank read-back.
    assert len(set(saved.getdata())) > 50


@pytest.mark.parametrize("xserver", [(1400, 600)], indirect=True)
def test_b_saves_a_texture_window_that_runs_off_the_screen(session):
    # On a 600-pixel screen the 200 by 200 window at y = 560 shows only its
    # top 40 rows; the snapshot still holds the whole window.
    session.texture.key("b")
    session.wait_for_stderr(f"Image file '{BMP}' created.\n")
    saved = read_bmp(os.path.join(session.workdir, BMP))
    assert saved.size == (200, 200)
    png = subprocess.run(["import", "-window", "root", "png:-"], env=session.x.env,
                         check=True, capture_output=True).stdout
    screen = Image.open(io.BytesIO(png)).convert("RGB")
    assert saved.crop((0, 0, 200, 40)).tobytes() == screen.crop((50, 560, 250, 600)).tobytes()
    assert len(set(saved.crop((0, 40, 200, 200)).getdata())) > 20


def test_other_keys_are_reported_and_change_nothing(session):
    session.graph.key("x")
    session.wait_for_stderr("Don't know what to do with keyboard hit: 'x' (0x78)\n")
    assert leftovers(session.workdir, ["stderr.txt", "stdout.txt"]) == []


def test_s_writes_the_snapshot_then_a_closed_solid(session, tmp_path):
    session.graph.key("s")
    err = session.wait_for_stderr("triangles written.\n", timeout=20)
    assert err.index(f"Image file '{BMP}' created.\n") < err.index(f"Writing STL file '{STL}':\n")
    # Standard error is a file here, no terminal: no progress marks.
    assert err.endswith(f"Writing STL file '{STL}':\n81590 triangles written.\n")
    read_bmp(os.path.join(session.workdir, BMP))

    # Mesh tools do not know the colour lines; without them the file must
    # be one closed part to a real one.
    with open(os.path.join(session.workdir, STL)) as f:
        lines = [line for line in f if not line.lstrip().startswith("color")]
    plain = tmp_path / "plain.stl"
    plain.write_text("".join(lines))
    report = subprocess.run(["admesh", str(plain)], capture_output=True, text=True,
                            timeout=120).stdout
    figures = {}
    for line in report.splitlines():
        # "Number of parts       :     1        Volume   :  16.24"
        for part in re.split(r"\s{3,}(?=[A-Z])", line):
            name, sep, value = part.partition(":")
            if sep and value.split():
                figures[name.strip()] = value.split()
    assert figures["Number of facets"] == ["81590", "81590"], report
    assert figures["Number of parts"] == ["1"], report
    assert figures["Total disconnected facets"] == ["0", "0"], report
    for untouched in ("Degenerate facets", "Edges fixed", "Facets removed", "Facets added",
                      "Facets reversed", "Backwards edges"):
        assert figures[untouched] == ["0"], (untouched, report)
    assert re.search(r"Min Z = -0\.250000,", report), report


def test_a_folder_at_the_names_is_reported_and_kept(session):
    for name in (BMP, STL):
        os.mkdir(os.path.join(session.workdir, name))
        with open(os.path.join(session.workdir, name, "inside.txt"), "w") as f:
            f.write("kept")
    session.graph.key("s")
    err = session.wait_for_stderr(f"Cannot create STL file '{STL}'\n")
    assert f"Cannot create BMP file '{BMP}'\n" in err
    for claim in ("created", "Writing STL file", "triangles written"):
        assert claim not in err
    for name in (BMP, STL):
        with open(os.path.join(session.workdir, name, "inside.txt")) as f:
            assert f.read() == "kept"
    assert leftovers(session.workdir, [BMP, STL, "stderr.txt", "stdout.txt"]) == []

    # The program carries on: with the folder gone, the snapshot works.
    os.remove(os.path.join(session.workdir, BMP, "inside.txt"))
    os.rmdir(os.path.join(session.workdir, BMP))
    session.graph.key("b")
    session.wait_for_stderr(f"Image file '{BMP}' created.\n")
    read_bmp(os.path.join(session.workdir, BMP))


def test_a_full_disk_is_reported_and_keeps_the_earlier_files(xserver, small_disk, tmp_path):
    earlier = {BMP: b"an earlier snapshot", STL: b"solid earlier\nendsolid\n"}
    for name, data in earlier.items():
        (small_disk / name).write_bytes(data)
    filler = small_disk / "filler"
    with open(filler, "wb", buffering=0) as f:  # fill the disk to the last byte
        for size in (65536, 1):
            try:
                while f.write(b"\0" * size):
                    pass
            except OSError:
                pass

    s = Session(xserver, str(small_disk), logs=str(tmp_path))
    try:
        s.settle()
        s.graph.key("s")
        err = s.wait_for_stderr(f"Cannot write STL file '{STL}'\n", timeout=20)
        assert f"Cannot write BMP file '{BMP}'\n" in err
        assert "created" not in err and "triangles written" not in err
        for name, data in earlier.items():
            assert (small_disk / name).read_bytes() == data
        assert leftovers(small_disk, [BMP, STL, "filler"]) == []

        # With room again, the same key replaces both files.
        filler.unlink()
        s.graph.key("s")
        err = s.wait_for_stderr("81590 triangles written.\n", timeout=20)
        assert f"Image file '{BMP}' created.\n" in err
        assert read_bmp(small_disk / BMP).size == (512, 512)
        assert (small_disk / STL).read_text().startswith("solid noise\n")
        assert leftovers(small_disk, [BMP, STL]) == []
    finally:
        s.stop()
