"""Every export lands where its name says, whatever stands there: a link, a
FIFO, a device, standard output, a name of 255 bytes; and it says so only
when every byte got there."""
import os
import pty
import shutil
import subprocess
import threading
import time

import pytest

from conftest import GRAPH_TITLE, PROGRAM

NO_DISPLAY = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
SEED = ["--seed=1", "--octaves=2", "--scale=fire"]


def batch(cwd, *args, **kw):
    kw.setdefault("stdout", subprocess.PIPE)
    kw.setdefault("stderr", subprocess.PIPE)
    return subprocess.run([os.path.abspath(PROGRAM), *args], cwd=cwd, timeout=60,
                          env=kw.pop("env", NO_DISPLAY), **kw)


def reference(tmp_path, option, name):
    """The bytes a plain export to a fresh regular file gives."""
    folder = tmp_path / "reference"
    folder.mkdir(exist_ok=True)
    done = batch(folder, *SEED, f"{option}={name}")
    assert done.returncode == 0, done.stderr
    return (folder / name).read_bytes()


def test_a_closed_standard_stream_changes_no_byte(xserver, tmp_path):
    # Batch: the same bytes with standard error (and input, and output) closed.
    closed = tmp_path / "closed"
    closed.mkdir()
    done = subprocess.run(["sh", "-c", 'exec "$0" "$@" <&- >&- 2>&-', os.path.abspath(PROGRAM),
                           *SEED, "--stl=c.stl", "--stl-binary=c.bin.stl"],
                          cwd=closed, env=NO_DISPLAY, capture_output=True, timeout=60)
    assert done.returncode == 0
    assert (closed / "c.stl").read_bytes() == reference(tmp_path, "--stl", "c.stl")
    binary = (closed / "c.bin.stl").read_bytes()
    assert binary == reference(tmp_path, "--stl-binary", "c.bin.stl")

    # Windows: the X connection must not take descriptor 2 either, so key m
    # still writes the very solid the batch run wrote.
    windows = tmp_path / "windows"
    windows.mkdir()
    proc = subprocess.Popen(["sh", "-c", 'exec "$0" "$@" 2>&-', os.path.abspath(PROGRAM),
                             *SEED], cwd=windows, env=xserver.env, stdout=subprocess.DEVNULL)
    try:
        deadline = time.time() + 15
        found = []
        while not found and time.time() < deadline:
            assert proc.poll() is None, f"noisedemo ended with {proc.returncode}"
            found = xserver.run("xdotool", "search", "--onlyvisible", "--name",
                                f"^{GRAPH_TITLE}$", check=False).stdout.split()
        assert found, "no graph window"
        xserver.run("xdotool", "mousemove", "--window", found[0], "5", "5", "key", "m")
        solid = windows / "noise002N.bin.stl"  # appears complete, by its rename
        while not solid.exists() and time.time() < deadline + 30:
            assert proc.poll() is None, f"noisedemo ended with {proc.returncode}"
            time.sleep(0.05)
        assert solid.read_bytes() == binary
        assert proc.poll() is None
    finally:
        proc.terminate()
        proc.wait(timeout=10)


def test_links_fifos_and_standard_output_get_the_bytes(tmp_path):
    png = reference(tmp_path, "--png", "p.png")
    work = tmp_path / "work"
    (work / "real").mkdir(parents=True)
    (work / "real/target.png").write_bytes(b"stale")
    os.symlink("real/target.png", work / "link.png")
    os.symlink("real/new.png", work / "dangling.png")
    os.mkfifo(work / "pipe.png")

    got = {}
    reader = threading.Thread(target=lambda: got.update(fifo=(work / "pipe.png").read_bytes()),
                              daemon=True)  # never keeps pytest from ending
    reader.start()
    done = batch(work, *SEED, "--png=link.png", "--bmp=dangling.png", "--heightmap=pipe.png")
    reader.join(timeout=60)
    assert done.returncode == 0, done.stderr
    for name in ("link.png", "dangling.png"):
        assert os.path.islink(work / name)
    assert (work / "real/target.png").read_bytes() == png
    assert (work / "real/new.png").read_bytes() == reference(tmp_path, "--bmp", "b.bmp")
    assert got["fifo"] == reference(tmp_path, "--heightmap", "h.png")
    assert sorted(os.listdir(work)) == ["dangling.png", "link.png", "pipe.png", "real"]
    assert sorted(os.listdir(work / "real")) == ["new.png", "target.png"]

    # "-" is standard output: into a pipe, not onto a terminal.
    piped = batch(work, *SEED, "--png=-")
    assert piped.returncode == 0 and piped.stdout == png
    assert piped.stderr == b"Image file '-' created.\n"
    # Nor onto a terminal by any other name: standard output's, or another's.
    main, side = pty.openpty()
    other_main, other_side = pty.openpty()
    try:
        for name, advice in [("-", b"redirect standard output to a file or a pipe"),
                             ("/dev/stdout", b"redirect standard output to a file or a pipe"),
                             (os.ttyname(other_side), b"name a file or a pipe")]:
            on_terminal = batch(work, *SEED, f"--png={name}", stdout=side)
            assert on_terminal.returncode == 2
            assert on_terminal.stderr == (b"noisedemo: --png=" + name.encode() +
                                          b" would put binary data on the terminal; " +
                                          advice + b"\n")
    finally:
        for fd in (side, main, other_side, other_main):
            os.close(fd)

    # A standard output closed at start is no place for "-": the bytes
    # would go to the /dev/null put in its place.
    closed = subprocess.run(["sh", "-c", 'exec "$0" "$@" >&-', os.path.abspath(PROGRAM), *SEED,
                             "--png=-", "--bmp=kept.bmp"], cwd=work, env=NO_DISPLAY,
                            capture_output=True, timeout=60)
    assert closed.returncode == 2
    assert closed.stderr == (b"noisedemo: --png=-: standard output was closed at start, so the "
                             b"data would go nowhere; redirect it to a file or a pipe\n")
    assert sorted(os.listdir(work)) == ["dangling.png", "link.png", "pipe.png", "real"]


DEVICES = """
set -e
mount -t tmpfs -o size=1m,mode=0755 tmpfs /dev
mknod -m 666 /dev/null c 1 3
mknod -m 666 /dev/full c 1 7
ln -s /proc/self/fd/1 /dev/stdout
"$@" && status=0 || status=$?
stat -c '%F' /dev/null /dev/full /dev/stdout >&2
exit $status
"""


def in_private_dev(tmp_path, *args):
    """The program with its own /dev: a tmpfs in a mount namespace of its
    own, never the machine's."""
    if os.geteuid() != 0 or not shutil.which("unshare"):
        pytest.skip("a private /dev needs root and unshare")
    return subprocess.run(["unshare", "-m", "--propagation", "private", "sh", "-c", DEVICES,
                           "sh", os.path.abspath(PROGRAM), *SEED, *args], cwd=tmp_path,
                          env=NO_DISPLAY, capture_output=True, timeout=60)


DEVICE_TYPES = b"character special file\ncharacter special file\nsymbolic link\n"


def test_devices_take_the_bytes_in_place_and_report_honestly(tmp_path):
    png = reference(tmp_path, "--png", "p.png")
    sink = in_private_dev(tmp_path, "--png=/dev/null")
    assert sink.returncode == 0, sink.stderr
    assert sink.stderr == b"Image file '/dev/null' created.\n" + DEVICE_TYPES

    full = in_private_dev(tmp_path, "--png=/dev/full", "--stl-binary=/dev/null")
    assert full.returncode == 1
    assert full.stderr == (b"Cannot write PNG file '/dev/full'\n  No space left on device\n"
                           b"Writing STL file '/dev/null':\n81590 triangles written.\n"
                           + DEVICE_TYPES)

    out = in_private_dev(tmp_path, "--png=/dev/stdout")
    assert out.returncode == 0, out.stderr
    assert out.stdout == png
    assert out.stderr == b"Image file '/dev/stdout' created.\n" + DEVICE_TYPES
    assert sorted(os.listdir(tmp_path)) == ["reference"]


def test_every_name_the_folder_takes_and_no_stale_file_of_ours(tmp_path):
    gone = subprocess.Popen(["true"])
    gone.wait()
    stale = [f".noise001N.stl.{gone.pid}-0.noisedemo.tmp",   # this export's
             f".image002NG.png.{gone.pid}-3.noisedemo.tmp"]  # another name's
    kept = [f".noise001N.stl.{os.getpid()}-0.noisedemo.tmp",  # a live writer's
            f".noise001N.stl.{gone.pid}-0.tmp",               # not our name
            f".noise001N.stl.{gone.pid}-0.noisedemo.tmp.bak"]
    for name in stale + kept:
        (tmp_path / name).write_text("half a solid")
    longest = "n" * 251 + ".png"
    done = batch(tmp_path, *SEED, f"--png={longest}")
    assert done.returncode == 0, done.stderr
    assert (tmp_path / longest).read_bytes() == reference(tmp_path, "--png", "p.png")
    assert sorted(os.listdir(tmp_path)) == sorted(kept + [longest, "reference"])
    too_long = batch(tmp_path, *SEED, "--png=" + "n" * 256)
    assert too_long.returncode == 1
    assert too_long.stderr.endswith(b"'\n  File name too long\n")

    # Every path the system takes, to PATH_MAX - 1 bytes (4095 here), though
    # the temporary file's whole path is longer than that.
    deep = tmp_path / "deep"
    folder = os.path.join("deep", *["d" * 250] * 16)
    os.makedirs(tmp_path / folder)
    path = os.path.join(folder, "p" * (os.pathconf(tmp_path, "PC_PATH_MAX") - 2 - len(folder)))
    assert len(path) == 4095 and len(os.path.basename(path)) <= 255
    done = batch(tmp_path, *SEED, f"--png={path}")
    assert done.returncode == 0, done.stderr
    # Read by the folder's descriptor: the test's own whole path is too long.
    top = os.open(tmp_path, os.O_RDONLY | os.O_DIRECTORY)
    inner = os.open(folder, os.O_RDONLY | os.O_DIRECTORY, dir_fd=top)
    try:
        with os.fdopen(os.open(os.path.basename(path), os.O_RDONLY, dir_fd=inner), "rb") as f:
            assert f.read() == reference(tmp_path, "--png", "p.png")
        assert os.listdir(inner) == [os.path.basename(path)]
    finally:
        os.close(inner)
        os.close(top)
    shutil.rmtree(deep)


@pytest.mark.parametrize("args, reason", [
    (["--bmp=x", "--png=x"], "--bmp=x and --png=x name the same file"),
    (["--stl=y", "--stl-binary=./y"], "--stl=y and --stl-binary=./y name the same file"),
    (["--png=z", "--heightmap=hard"], "--png=z and --heightmap=hard name the same file"),
    (["--png=-", "--bmp=-"], "--bmp=- and --png=- name the same file"),
    (["--png=a.png", "--png=b.png"], "--png=a.png and --png=b.png: each output is written once"),
])
def test_two_outputs_never_share_a_file(tmp_path, args, reason):
    (tmp_path / "z").write_bytes(b"earlier")
    os.link(tmp_path / "z", tmp_path / "hard")
    done = batch(tmp_path, "--seed=1", *args)
    assert done.returncode == 2
    assert done.stderr.decode().startswith(f"noisedemo: {reason}")
    assert done.stdout == b""
    assert sorted(os.listdir(tmp_path)) == ["hard", "z"]
    assert (tmp_path / "z").read_bytes() == b"earlier"


def test_a_batch_run_without_a_seed_says_which_it_took(tmp_path):
    done = batch(tmp_path, "--octaves=2", "--scale=fire", "--png=first.png")
    assert done.returncode == 0, done.stderr
    first, created = done.stderr.decode().splitlines()
    assert first.startswith("noisedemo: --seed=") and created == "Image file 'first.png' created."
    again = batch(tmp_path, first.split()[1], "--octaves=2", "--scale=fire", "--png=again.png")
    assert again.returncode == 0 and again.stderr == b"Image file 'again.png' created.\n"
    assert (tmp_path / "again.png").read_bytes() == (tmp_path / "first.png").read_bytes()
