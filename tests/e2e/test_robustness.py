"""The program ends cleanly whatever ends it, leaves no temporary file behind,
and carries on when its standard error is gone."""
import glob
import os
import resource
import signal
import subprocess
import threading
import time

import pytest

from conftest import GRAPH_TITLE, PROGRAM, Session


def wait_until(condition, timeout, what, poll=0.02):
    deadline = time.time() + timeout
    while time.time() < deadline:
        found = condition()
        if found:
            return found
        time.sleep(poll)
    raise AssertionError(f"timed out waiting for {what}")


@pytest.mark.parametrize("window", ["graph", "texture"])
@pytest.mark.parametrize("how, status, line", [
    ("windowclose", 0, "noisedemo: the window '{title}' was closed; exiting\n"),
    ("windowkill", 1, "noisedemo: lost the connection to the X display\n")])
def test_a_window_ended_by_another_client_ends_the_program(xserver, tmp_path, window, how,
                                                           status, line):
    session = Session(xserver, str(tmp_path))
    try:
        target = getattr(session, window)
        title = xserver.run("xdotool", "getwindowname", target.id).stdout.strip()
        xserver.run("xdotool", how, target.id)
        assert session.proc.wait(timeout=10) == status
        assert line.format(title=title) in session.stderr()
        assert "X Error" not in session.stderr()  # Xlib's own report, then exit()
    finally:
        session.stop()


def test_a_signal_during_an_export_removes_its_temporary_file(xserver, tmp_path):
    session = Session(xserver, str(tmp_path), args=("--octaves=8",))
    temporary = os.path.join(str(tmp_path), ".noise008N.stl.*.tmp")
    try:
        # Catch the solid being written and freeze the program there; a press
        # whose write was over before we looked is simply tried again.
        for attempt in range(10):
            writing = session.stderr().count("Writing STL file 'noise008N.stl':")
            done = session.stderr().count("triangles written")

            def mid_write():
                return glob.glob(temporary) and session.stderr().count(
                    "Writing STL file 'noise008N.stl':") > writing

            press = threading.Thread(target=session.graph.key, args=("s",))
            press.start()
            wait_until(lambda: mid_write() or session.stderr().count("triangles written") > done,
                       10, "the STL export", poll=0.001)
            os.kill(session.proc.pid, signal.SIGSTOP)
            press.join()
            # Frozen after "Writing STL file" and before "triangles written".
            if mid_write() and session.stderr().count("triangles written") == done:
                break
            os.kill(session.proc.pid, signal.SIGCONT)
        else:
            pytest.fail("never caught the STL file being written")
        os.kill(session.proc.pid, signal.SIGTERM)
        os.kill(session.proc.pid, signal.SIGCONT)
        assert session.proc.wait(timeout=10) == -signal.SIGTERM
        assert glob.glob(temporary) == []
    finally:
        session.stop()


NO_DISPLAY = {k: v for k, v in os.environ.items() if k != "DISPLAY"}


def limits(file_size=resource.RLIM_INFINITY):
    """For preexec_fn: no core file (SIGQUIT's default makes one), and a file
    size limit as `ulimit -f` sets it."""
    def apply():
        resource.setrlimit(resource.RLIMIT_CORE, (0, 0))
        hard = resource.getrlimit(resource.RLIMIT_FSIZE)[1]
        resource.setrlimit(resource.RLIMIT_FSIZE, (file_size, hard))
    return apply


@pytest.mark.parametrize("number", [signal.SIGQUIT, signal.SIGUSR1, signal.SIGALRM,
                                    signal.SIGRTMIN])
def test_any_ending_signal_during_a_batch_export_removes_its_temporary_file(tmp_path, number):
    temporary = os.path.join(str(tmp_path), ".s.stl.*.noisedemo.tmp")
    for attempt in range(20):
        proc = subprocess.Popen([os.path.abspath(PROGRAM), "--seed=1", "--octaves=8",
                                 "--stl=s.stl"], cwd=str(tmp_path), env=NO_DISPLAY,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                preexec_fn=limits())
        wait_until(lambda: proc.poll() is not None or glob.glob(temporary), 30,
                   "the temporary file", poll=0.0005)
        os.kill(proc.pid, signal.SIGSTOP)
        if glob.glob(temporary):  # frozen mid-write
            break
        # Done before we looked: try again.
        os.kill(proc.pid, signal.SIGCONT)
        proc.wait(timeout=30)
        os.unlink(tmp_path / "s.stl")
    else:
        pytest.fail("never caught the STL file being written")
    os.kill(proc.pid, number)
    os.kill(proc.pid, signal.SIGCONT)
    assert proc.wait(timeout=30) == -number
    assert os.listdir(tmp_path) == []


def test_a_file_past_the_size_limit_is_a_failed_write(tmp_path):
    (tmp_path / "b.stl").write_bytes(b"an earlier solid")
    done = subprocess.run([os.path.abspath(PROGRAM), "--seed=1", "--stl-binary=b.stl",
                           "--png=p.png"], cwd=str(tmp_path), env=NO_DISPLAY,
                          capture_output=True, timeout=60, preexec_fn=limits(1000 * 1024))
    assert done.returncode == 1
    # The 4 MB solid fails, the 300 KB image that comes first is written.
    assert done.stderr == (b"Image file 'p.png' created.\n"
                           b"Writing STL file 'b.stl':\nCannot write STL file 'b.stl'\n"
                           b"  File too large\n")
    assert sorted(os.listdir(tmp_path)) == ["b.stl", "p.png"]
    assert (tmp_path / "b.stl").read_bytes() == b"an earlier solid"


def test_a_closed_standard_error_is_no_reason_to_stop(xserver, tmp_path):
    read_end, write_end = os.pipe()
    os.close(read_end)  # every message now fails with EPIPE
    env = dict(os.environ, DISPLAY=xserver.display)
    proc = subprocess.Popen([os.path.abspath(PROGRAM)], cwd=str(tmp_path), env=env,
                            stdout=subprocess.DEVNULL, stderr=write_end)
    os.close(write_end)
    try:
        def graph_window():
            assert proc.poll() is None, f"noisedemo ended with {proc.returncode}"
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name",
                                    f"^{GRAPH_TITLE}$"], env=env, capture_output=True,
                                   text=True, timeout=30).stdout.split()
            return found[0] if found else None
        window = wait_until(graph_window, 15, "the graph window", poll=0.1)

        def keys(*names):
            subprocess.run(["xdotool", "mousemove", "--window", window, "5", "5", "key", *names],
                           env=env, check=True, timeout=30)
        keys("x")  # "Don't know what to do with keyboard hit" goes nowhere
        keys("b")
        bmp = tmp_path / "image001NG.bmp"
        wait_until(bmp.exists, 10, "image001NG.bmp")
        assert proc.poll() is None
    finally:
        proc.terminate()
        proc.wait(timeout=10)
