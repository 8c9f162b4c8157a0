#!/usr/bin/python3
"""Where a drag's frame goes on the page, by Chromium's sampling profiler.

    frame_profile.py SITE_FOLDER [--isolated] [--motions N] [--top N]

Serves the site (one thread unless --isolated), opens the page at the
heaviest setting in the desktop's placement, and profiles the same drag
make web-bench times (web/bench.py's drag_frames). Prints the functions
with the most time of their own and the share of the frame each of the
frame's stages takes (the program's pass, the fill, the graph, the copies
onto the canvases). The module's functions have names only in a build
linked with --profiling-funcs, in a build folder of its own:
    NODE_PATH=/usr/share/nodejs emcmake cmake -S web -B build-web-profile \
        -DCMAKE_EXE_LINKER_FLAGS=--profiling-funcs
    cmake --build build-web-profile --target noisedemo-simd noisedemo-mt
(the names change no instruction); otherwise they show as wasm-function[N].
"""
import argparse
import collections
import os
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import bench  # noqa: E402
import chromium  # noqa: E402
import serve  # noqa: E402


def profile_drag(site, isolated, motions):
    server = serve.make_server(site, 0, isolated, service_worker=False)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    try:
        with chromium.Chromium(timeout=600) as browser:
            browser.navigate(f"http://127.0.0.1:{server.server_address[1]}/?{bench.HEAVIEST}"
                             "&layout=desktop")
            browser.wait_for("self.noisedemoPage && noisedemoPage.frames > 0")
            bench.drag_frames(browser, 10)  # warm up: the module's code is compiled by now
            browser.call("Profiler.enable")
            browser.call("Profiler.setSamplingInterval", interval=50)
            browser.call("Profiler.start")
            frames = bench.drag_frames(browser, motions)
            profile = browser.call("Profiler.stop")["profile"]
    finally:
        server.shutdown()
    return frames, profile


def tally(profile):
    """Self and inclusive microseconds per function name."""
    nodes = {n["id"]: n for n in profile["nodes"]}
    parent = {}
    for n in profile["nodes"]:
        for child in n.get("children", []):
            parent[child] = n["id"]
    own = collections.Counter()
    inclusive = collections.Counter()
    for sample, delta in zip(profile["samples"], profile["timeDeltas"][1:] + [0]):
        node = nodes[sample]
        own[node["callFrame"]["functionName"] or "(anonymous)"] += delta
        seen = set()
        at = sample
        while at is not None:
            name = nodes[at]["callFrame"]["functionName"] or "(anonymous)"
            if name not in seen:
                inclusive[name] += delta
                seen.add(name)
            at = parent.get(at)
    return own, inclusive


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("site")
    parser.add_argument("--isolated", action="store_true")
    parser.add_argument("--motions", type=int, default=200)
    parser.add_argument("--top", type=int, default=40)
    args = parser.parse_args()
    (median, slowest), profile = profile_drag(args.site, args.isolated, args.motions)
    own, inclusive = tally(profile)
    frame = inclusive.get("frame", 0) or 1
    print(f"{args.motions} motions, frame median {median:.1f} ms, slowest {slowest:.1f} ms;"
          f" load {' '.join(open('/proc/loadavg').read().split()[:3])}")
    print(f"In the page's frame(): {frame / 1000 / args.motions:.2f} ms a motion")
    print()
    print(f"{'function':<60} {'own ms/frame':>12} {'incl ms/frame':>13} {'incl % of frame':>15}")
    for name, us in own.most_common(args.top):
        print(f"{name[:60]:<60} {us / 1000 / args.motions:>12.3f}"
              f" {inclusive[name] / 1000 / args.motions:>13.3f}"
              f" {100 * inclusive[name] / frame:>14.1f}%")


if __name__ == "__main__":
    main()
