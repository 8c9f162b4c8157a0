"""The program starts, opens its windows where and as large as it should,
and can be stopped."""
import signal

import pytest

from conftest import GRAPH_START, GRAPH_TITLE, TEXTURE_TITLE, Session


@pytest.mark.parametrize("xserver, side", [((1400, 1112), 512), ((1400, 800), 200),
                                           ((1400, 600), 200)],
                         indirect=["xserver"])
def test_windows_have_their_titles_positions_and_sizes(xserver, tmp_path, side):
    s = Session(xserver, str(tmp_path))
    try:
        s.settle()
        assert s.graph.geometry() == (0, 0, *GRAPH_START)
        assert s.texture.geometry() == (50, 560, side, side)
        titles = xserver.run("xdotool", "search", "--onlyvisible", "--name", ".").stdout.split()
        names = {xserver.run("xdotool", "getwindowname", w).stdout.strip() for w in titles}
        assert GRAPH_TITLE in names and TEXTURE_TITLE in names
    finally:
        s.stop()
    assert s.proc.returncode == -signal.SIGTERM


def test_unknown_glut_option_gets_glut_own_message(xserver, tmp_path):
    import subprocess
    from conftest import PROGRAM
    import os
    proc = subprocess.run([os.path.abspath(PROGRAM), "-geometry"], env=xserver.env,
                          cwd=str(tmp_path), capture_output=True, text=True, timeout=20)
    assert proc.returncode != 0
    assert "geometry" in proc.stderr
