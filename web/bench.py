#!/usr/bin/python3
"""The texture fill in headless Chromium beside the native fill.

    bench.py SITE_FOLDER [NATIVE_BENCH_PROGRAM]

Serves the browser build, has bench.html time each WebAssembly module at the
heaviest setting (medians of 31 fills after 5 to warm up), times the page's
load to its first picture with and without the isolation headers, runs the
native benchmark program (Google Benchmark, the same setting) when given,
and prints one table.
"""
import json
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chromium  # noqa: E402
import serve  # noqa: E402

HEAVIEST = "seed=4242&noise=value+gradient&blend=quintic&octaves=8&turbulence&scale=rainbow"
HEAVIEST_OPTIONS = "--" + HEAVIEST.replace("&", " --")
# Every teaching view on, as app/choices.h lists the views' words.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "app", "choices.h")) as f:
    ALL_VIEWS = "views=" + ",".join(re.findall(r'\{&TeachingViews::\w+, "[^"]*", "(\w+)"', f.read()))
NATIVE_FILTER = (r"^(FillTexture/(fast|reference)/value\+gradient/quintic/8oct/turb/rainbow"
                 r"|FillPath/.*)(/real_time)?$")


def browser_figures(site):
    # Without the page's service worker, which would make the plain one
    # isolated too: each page runs as its headers say.
    isolated = serve.make_server(site, 0, True, service_worker=False)
    plain = serve.make_server(site, 0, False, service_worker=False)
    import threading
    for server in (isolated, plain):
        threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        with chromium.Chromium(timeout=600) as browser:
            version = browser.call("Browser.getVersion")["product"]
            first_frames, drags = {}, {}
            for name, server in (("isolated", isolated), ("not isolated", plain)):
                # The desktop's placement: the graph 700 x 500 whatever the
                # browser window, so figures compare across runs and machines.
                browser.navigate(f"http://127.0.0.1:{server.server_address[1]}/?{HEAVIEST}"
                                 "&layout=desktop")
                first_frames[name] = browser.wait_for(
                    "self.noisedemoPage && noisedemoPage.frames > 0 && noisedemoPage.firstFrameMs")
                drags[name] = drag_frames(browser)
            browser.navigate(f"http://127.0.0.1:{isolated.server_address[1]}/?{HEAVIEST}"
                             f"&{ALL_VIEWS}&layout=desktop")
            browser.wait_for("self.noisedemoPage && noisedemoPage.frames > 0")
            drags["isolated, " + ALL_VIEWS] = drag_frames(browser)
            browser.navigate(f"http://127.0.0.1:{isolated.server_address[1]}/bench.html?{HEAVIEST}")
            results = browser.wait_for("self.benchResults", timeout=600)
    finally:
        isolated.shutdown()
        plain.shutdown()
    if "error" in results:
        sys.exit("bench.html: " + results["error"])
    return version, first_frames, drags, results


def drag_frames(browser, motions=60):
    """A drag of control point 3 by real pointer events, one motion per
    frame: the page's whole frame (the program's pass and the copies onto
    the canvases) for each, as [median, slowest] in ms."""
    def settled():
        browser.wait_for("!noisedemoPage.module._NdBusy()")
    left, top = browser.evaluate(
        "(() => { const r = noisedemoPage.windows.get(1).canvas.getBoundingClientRect();"
        " return [r.left, r.top]; })()")
    x, y = left + 50 + 3 * 600 / 7 + 0.5, top + 250.5
    browser.evaluate("noisedemoPage.frameMs = []")

    def mouse(kind, y, buttons):
        browser.call("Input.dispatchMouseEvent", type=kind, x=x, y=y,
                     button="left" if kind != "mouseMoved" or buttons else "none", buttons=buttons)
    # The press lands on the dot or on the empty graph; either way the drag
    # redraws both windows on every motion, which is what is timed.
    mouse("mousePressed", y, 1)
    settled()
    browser.evaluate("noisedemoPage.frameMs = []")
    for k in range(motions):
        mouse("mouseMoved", y - 2 * (k % 40), 1)
        settled()
    times = sorted(browser.evaluate("noisedemoPage.frameMs"))
    mouse("mouseReleased", y, 0)
    return [times[len(times) // 2], times[-1]] if times else [0, 0]


def native_figures(program):
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        subprocess.run([program, f"--benchmark_filter={NATIVE_FILTER}",
                        "--benchmark_repetitions=7", "--benchmark_min_time=0.1",
                        f"--benchmark_out={out.name}", "--benchmark_out_format=json"],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env)
        data = json.load(open(out.name))
    rows = {}
    for b in data["benchmarks"]:
        if b.get("run_type") != "aggregate" or b["aggregate_name"] not in ("median", "min"):
            continue
        rows.setdefault(b["run_name"], {})[b["aggregate_name"]] = b["real_time"]
    for b in data["benchmarks"]:  # the fastest single repetition
        if b.get("run_type") == "iteration":
            row = rows.setdefault(b["run_name"], {})
            row["min"] = min(row.get("min", float("inf")), b["real_time"])
    return rows


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    site = sys.argv[1]
    load_before = open("/proc/loadavg").read().split()[:3]
    version, first_frames, drags, results = browser_figures(site)
    native = native_figures(sys.argv[2]) if len(sys.argv) == 3 else {}
    load_after = open("/proc/loadavg").read().split()[:3]

    print(f"Texture fill, 512 x 512, {HEAVIEST_OPTIONS}")
    print(f"{version}, {results['cores']} cores in the browser;"
          f" load average {' '.join(load_before)} before, {' '.join(load_after)} after")
    print()
    print(f"| {'fill':<46} | {'threads':>7} | {'median ms':>9} | {'fastest ms':>10} |")
    print(f"|{'-' * 48}|{'-' * 8}:|{'-' * 10}:|{'-' * 11}:|")
    described = {"fill-scalar": "WebAssembly, scalar", "fill-simd": "WebAssembly, SIMD",
                 "fill-mt": "WebAssembly, SIMD, web workers"}
    for row in results["rows"]:
        what = f"{described[row['module']]}: {row['what']}"
        print(f"| {what:<46} | {row['threads']:>7} | {row['ms']:>9.2f} | {row['fastest']:>10.2f} |")
    for name, figures in sorted(native.items()):
        parts = name.replace("/real_time", "").split("/")
        if parts[0] == "FillTexture":
            what, threads = f"native, best path: {parts[1]} fill", "all"
            if parts[1] == "reference":
                what, threads = "native: per-texel reference", "1"
        else:
            what, threads = f"native, {parts[1]} path, grey", parts[2].replace("thread", "")
        print(f"| {what:<46} | {threads:>7} | {figures.get('median', 0):>9.2f} |"
              f" {figures.get('min', 0):>10.2f} |")
    if not native:
        print("| (native figures: give the benchmark program, as make web-bench does) |")
    print()
    for name, ms in first_frames.items():
        print(f"Page load to first picture ({name}): {ms:.0f} ms")
    for name, (median, slowest) in drags.items():
        print(f"A drag's frame, whole page ({name}): median {median:.1f} ms, slowest {slowest:.1f} ms")
    if not results["isolated"]:
        print("The bench page was not cross-origin isolated: no threaded figures.")


if __name__ == "__main__":
    main()
