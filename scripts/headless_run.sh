#!/usr/bin/env bash
# Runs the program on a virtual display for a few seconds, as `make run` does
# on a machine without one: screenshots of every window, the BMP and STL
# exports (key s), then quits with q.
#   headless_run.sh PROGRAM OUTPUT_DIR
set -euo pipefail
program=$(readlink -f "$1")
out=$(mkdir -p "$2" && cd "$2" && pwd)

. "$(dirname "$0")/xvfb.sh"
start_xvfb

echo "No display: running noisedemo on the virtual display $DISPLAY for a few seconds."
(cd "$out" && exec "$program" 2>"$out/stderr.txt") &
app=$!


graph=$(find_window "Noise Demo -- Quenmarl")
sleep 2
shot() {
  local id
  id=$(find_window "$1") || { echo "  (no window titled '$1')"; return 0; }
  import -window "$id" "$out/$2"
  echo "  $out/$2"
}
echo "Screenshots:"
shot "Noise Demo -- Quenmarl" graph-window.png
shot "2D Noise" texture-window.png
shot "User Interface Window" control-panel.png

# s writes the BMP snapshot and the STL height field; q quits.
xdotool mousemove --window "$graph" 20 20 key s
for _ in $(seq 100); do
  grep -q "triangles written" "$out/stderr.txt" 2>/dev/null && break
  sleep 0.1
done
xdotool key q
for _ in $(seq 30); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then kill "$app"; fi
wait "$app" 2>/dev/null || true

exports=$(cd "$out" && ls image*.bmp noise*.stl 2>/dev/null || true)
if [ -n "$exports" ]; then
  echo "Exports:"
  for f in $exports; do echo "  $out/$f"; done
fi
echo "Messages of the program: $out/stderr.txt"
