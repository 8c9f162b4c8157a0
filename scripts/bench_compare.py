"""Compares the benchmark medians of two builds over several runs each.

    bench_compare.py BEFORE_RESULTS... -- AFTER_RESULTS...

Each argument is a results folder that run_bench.sh filled (its main.json).
For every benchmark both sides ran, prints the spread of the runs' medians
(lowest to highest) before and after. A benchmark is marked "slower" only
when the fastest run after is slower than the slowest run before, and
"faster" the other way round: with a few runs on a shared machine, a
difference inside either side's spread says nothing.
"""
import json
import os
import sys


def medians(folder):
    with open(os.path.join(folder, "main.json")) as f:
        runs = json.load(f)["benchmarks"]
    return {b["run_name"]: b["real_time"] * {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
            for b in runs if b.get("aggregate_name") == "median"}


def main(args):
    if "--" not in args:
        sys.exit(__doc__)
    split = args.index("--")
    before = [medians(f) for f in args[:split]]
    after = [medians(f) for f in args[split + 1:]]
    if not before or not after:
        sys.exit(__doc__)
    names = [n for n in before[0] if all(n in r for r in before + after)]
    width = max(len(n) for n in names)
    print(f"{'benchmark (median ms per run)':{width}}  {'before':>17}  {'after':>17}")
    verdicts = {"slower": 0, "faster": 0}
    for name in names:
        b = [r[name] for r in before]
        a = [r[name] for r in after]
        verdict = "slower" if min(a) > max(b) else "faster" if max(a) < min(b) else ""
        if verdict:
            verdicts[verdict] += 1
        print(f"{name:{width}}  {min(b):8.3f}-{max(b):<8.3f}  {min(a):8.3f}-{max(a):<8.3f}  {verdict}")
    print(f"{len(names)} benchmarks in both; outside the other side's spread: "
          f"{verdicts['slower']} slower, {verdicts['faster']} faster")


if __name__ == "__main__":
    main(sys.argv[1:])
