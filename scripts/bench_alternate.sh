#!/usr/bin/env bash
# Times the same benchmarks of two builds in turn, ROUNDS times each, held to
# one core, and sets them side by side with bench_compare.py. Alternating
# rounds share whatever else the machine does, which one long run per build
# does not; a difference that stays inside the runs' spread is none. Two
# rounds are too few: a build set against itself has come out "faster" in
# two; take three or more.
#   bench_alternate.sh BEFORE_BUILD AFTER_BUILD [ROUNDS [FILTER]]
# Each build is a Release build with -DNOISEDEMO_BENCH=ON (make bench makes one).
# The Display benchmarks draw, so every run has the virtual screen of
# run_bench.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
before=$(cd "$1" && pwd)
after=$(cd "$2" && pwd)
rounds=${3:-3}
filter=${4:-'^FillTexture/fast/.*8oct|^FillPath/.*1thread'}
out=$(mktemp -d)
. "$here/xvfb.sh"
start_xvfb
for round in $(seq "$rounds"); do
  for side in before after; do
    build=$before; [ "$side" = after ] && build=$after
    mkdir -p "$out/$side-$round"
    echo "$side, round $round: load average $(cut -d' ' -f1 /proc/loadavg)"
    taskset -c 0 "$build/bench/noisedemo_bench" --benchmark_filter="$filter" \
      --benchmark_repetitions=9 --benchmark_report_aggregates_only=true --benchmark_min_time=0.2 \
      --benchmark_out_format=json --benchmark_out="$out/$side-$round/main.json" >/dev/null
  done
done
/usr/bin/python3 "$here/bench_compare.py" "$out"/before-* -- "$out"/after-*
echo "(runs kept in $out)"
