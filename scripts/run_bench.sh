#!/usr/bin/env bash
# Runs the benchmarks of a Release build on a virtual display and prints a
# table of medians: the fast texture fill beside the plain evaluation with
# their ratio, the fill's instruction sets and thread counts, the 1D plots,
# and the whole Display pass (with Mesa's rasteriser threads and without,
# and with the whole program held to one core).
#   run_bench.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
bench="$build/bench/noisedemo_bench"
[ -x "$bench" ] || { echo "no benchmark program at $bench: build with -DNOISEDEMO_BENCH=ON" >&2; exit 1; }
out="$build/bench-results"
mkdir -p "$out"
rm -f "$out"/*.json

# The same screen as `make run` without a display: the texture window is then
# 512 by 512, one screen pixel per texel.
. "$here/xvfb.sh"
start_xvfb

repetitions=7
run() {  # run NAME [benchmark flags...]: one JSON file per run, console output to a log
  local name=$1
  shift
  "$@" --benchmark_repetitions=$repetitions --benchmark_report_aggregates_only=true \
    --benchmark_min_time=0.1 --benchmark_out_format=json --benchmark_out="$out/$name.json" \
    >"$out/$name.log" 2>&1 || { echo "benchmark run '$name' failed, see $out/$name.log" >&2; exit 1; }
}

# Medians still move with whatever else the machine is doing; say how busy it was.
echo "Load average before the run: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) CPU(s)"
echo "Benchmarks ($repetitions repetitions each; this takes a few minutes)..."
echo "  all benchmarks"
run main "$bench"
echo "  Display pass with Mesa's rasteriser on the calling thread (LP_NUM_THREADS=0)"
LP_NUM_THREADS=0 run lp-single "$bench" --benchmark_filter='^Display/'
if command -v taskset >/dev/null 2>&1 && [ "$(nproc)" -gt 1 ]; then
  echo "  heaviest fill and Display pass held to one core (taskset -c 0)"
  run one-core taskset -c 0 "$bench" \
    --benchmark_filter='^(FillTexture/fast|Display)/value\+gradient/quintic/8oct/turb/grey'
fi
echo "Load average after the run: $(cut -d' ' -f1-3 /proc/loadavg)"
echo
/usr/bin/python3 "$here/bench_table.py" "$out"
echo
echo "Raw results: $out"
