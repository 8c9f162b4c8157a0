"""Prints the benchmark medians that run_bench.sh collected as tables.

Reads the JSON files of one results folder: main.json (every benchmark),
lp-single.json (Display with LP_NUM_THREADS=0) and one-core.json (taskset to
one core), the last two optional.
"""
import json
import os
import sys

# The targets the fill and the redraw are held to.
HEAVIEST = "value+gradient/quintic/8oct/turb/grey"
FILL_LIMIT_MS = 4.0
RATIO_MIN = 18.0
DISPLAY_LIMIT_MS = 8.0
STL_LIMIT_MS = 150.0

# The export benchmarks, at the heaviest settings (eight octaves, quintic,
# turbulence), with what each one measures.
EXPORTS = [
    ("BM_StlSampling/1", "WriteStl sampling, gradient-only"),
    ("BM_StlSampling/2", "WriteStl sampling, value+gradient"),
    ("BM_StlText", "WriteStl text of 81590 facets, to memory"),
    ("BM_StlExport", "WriteStl whole: sample, write, fsync, rename"),
    ("BM_BmpExport", "WriteBmp file writing, 512 x 512"),
    ("BM_PngExport", "PNG snapshot (key p), 512 x 512 rainbow"),
    ("BM_HeightmapExport", "16-bit heightmap (key h): noise and file"),
    ("BM_StlBinaryExport", "binary STL (key m): sample, write, fsync, rename"),
]
FORMATTERS = [("BM_FormatFixed", "one %8.4f number, our formatter"),
              ("BM_Snprintf", "one %8.4f number, snprintf")]


FILE_BYTES = {}  # benchmark name: the size of the file it writes


def medians(path):
    """{benchmark name: median real time in ms}, or {} if the file is absent."""
    if not os.path.exists(path):
        return {}
    with open(path) as f:
        data = json.load(f)
    result = {}
    for b in data.get("benchmarks", []):
        if b.get("error_occurred"):
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"]).removesuffix("/real_time")
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b.get("time_unit", "ns")]
        result[name] = b["real_time"] * scale
        if "file_bytes" in b:
            FILE_BYTES[name] = int(b["file_bytes"])
    return result


def setting_columns(setting):
    kind, interp, octaves, turbulence, scale = setting.split("/")
    octaves = octaves.removesuffix("oct")
    return (f"{kind:<15} {interp:<8} {octaves + (' octave ' if octaves == '1' else ' octaves'):<10}"
            f" {'turbulence' if turbulence == 'turb' else 'plain':<11} {scale:<8}")


def with_prefix(results, prefix):
    return {k[len(prefix):]: v for k, v in results.items() if k.startswith(prefix)}


def main(folder):
    main_run = medians(os.path.join(folder, "main.json"))
    lp_single = medians(os.path.join(folder, "lp-single.json"))
    one_core = medians(os.path.join(folder, "one-core.json"))
    verdicts = []

    fast = with_prefix(main_run, "FillTexture/fast/")
    reference = with_prefix(main_run, "FillTexture/reference/")
    print("FillTexture: median milliseconds per fill of the 512 x 512 texture")
    print(f"{'setting':<56} {'reference':>10} {'fast':>8} {'ratio':>7}")
    for setting, ms in fast.items():
        ref = reference.get(setting)
        ratio = f"{ref / ms:7.1f}" if ref else f"{'-':>7}"
        ref_text = f"{ref:10.2f}" if ref else f"{'-':>10}"
        print(f"{setting_columns(setting):<56} {ref_text} {ms:8.3f} {ratio}")
    if HEAVIEST in fast and HEAVIEST in reference:
        ms, ratio = fast[HEAVIEST], reference[HEAVIEST] / fast[HEAVIEST]
        verdicts.append((f"heaviest FillTexture at most {FILL_LIMIT_MS:g} ms", f"{ms:.2f} ms",
                         ms <= FILL_LIMIT_MS))
        verdicts.append((f"heaviest FillTexture at least {RATIO_MIN:g} times the reference",
                         f"{ratio:.1f} times", ratio >= RATIO_MIN))

    paths = with_prefix(main_run, "FillPath/")
    if paths:
        print()
        print(f"Fast fill by instruction set and threads, {HEAVIEST.replace('/', ', ')}")
        for name, ms in paths.items():
            path, threads = name.split("/")[:2]
            print(f"  {path:<10} {threads.removesuffix('thread') + ' thread(s)':<12} {ms:8.3f} ms")

    plots = {k: v for k, v in main_run.items() if k.startswith(("PlotLine/", "PlotBar/"))}
    if plots:
        print()
        print("1D plots (448 evaluations of Noise1D each, drawn and finished)")
        for name, ms in plots.items():
            plot, setting = name.split("/", 1)
            print(f"  {plot:<9} {setting_columns(setting)} {ms:8.3f} ms")

    display = with_prefix(main_run, "Display/")
    if display:
        single = with_prefix(lp_single, "Display/")
        core = with_prefix(one_core, "Display/")
        print()
        print("Whole render-mode Display pass on Xvfb (graph, texture fill, texture upload and"
              " draw, both swaps, glFinish)")
        print(f"{'setting':<56} {'default':>8} {'LP_NUM_THREADS=0':>17} {'one core':>9}")
        for setting, ms in display.items():
            s = f"{single[setting]:17.2f}" if setting in single else f"{'-':>17}"
            c = f"{core[setting]:9.2f}" if setting in core else f"{'-':>9}"
            print(f"{setting_columns(setting):<56} {ms:8.2f} {s} {c}")
        worst = max(display, key=display.get)
        verdicts.append((f"Display pass at most {DISPLAY_LIMIT_MS:g} ms at every setting",
                         f"slowest {display[worst]:.2f} ms ({worst})",
                         display[worst] <= DISPLAY_LIMIT_MS))
        if single:
            # Not a target (the program runs with Mesa's threads), but worth seeing.
            worst = max(single, key=single.get)
            print(f"With LP_NUM_THREADS=0 the slowest Display pass took {single[worst]:.2f} ms"
                  f" ({worst}).")
    else:
        print()
        print("Display pass: not measured (no X display)")

    exports = [(name, text) for name, text in EXPORTS + FORMATTERS if name in main_run]
    if exports:
        print()
        print("Exports (median)")
        for name, text in EXPORTS:
            if name in main_run:
                size = f"  {FILE_BYTES[name]:>10,} bytes" if name in FILE_BYTES else ""
                print(f"  {text:<56} {main_run[name]:10.3f} ms{size}")
        for name, text in FORMATTERS:
            if name in main_run:
                print(f"  {text:<56} {main_run[name] * 1e6:10.1f} ns")
        if "BM_StlExport" in main_run:
            ms = main_run["BM_StlExport"]
            verdicts.append((f"heaviest WriteStl at most {STL_LIMIT_MS:g} ms", f"{ms:.1f} ms",
                             ms <= STL_LIMIT_MS))

    # Benchmarks this table has no section for yet (a new source file in
    # bench/) are still shown.
    known = ("FillTexture/", "FillPath/", "PlotLine/", "PlotBar/", "Display/") + tuple(
        name for name, _ in EXPORTS + FORMATTERS)
    others = {k: v for k, v in main_run.items() if not k.startswith(known)}
    if others:
        print()
        print("Other benchmarks (median)")
        for name, ms in others.items():
            print(f"  {name:<70} {ms:10.3f} ms")

    core_fill = one_core.get("FillTexture/fast/" + HEAVIEST)
    if core_fill is not None:
        print()
        print(f"Held to one core: heaviest FillTexture {core_fill:.2f} ms")

    if verdicts:
        print()
        print("Targets")
        for text, value, met in verdicts:
            print(f"  {text:<58} {value:<28} {'met' if met else 'NOT MET'}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "build-release/bench-results")
