#!/bin/bash
# The pictures of docs/views/texture-*.png: each texture view at the three
# lesson settings (seed 7), side by side, as the texture window exports it
# with key p, the pointer on texel row 300, column 180:
#   scripts/view_pictures.sh PROGRAM OUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "$1")
out=$(realpath "$2")
source "$here/xvfb.sh"
start_xvfb
work=$(mktemp -d)
trap 'kill "$XVFB_PID" 2>/dev/null || true; rm -rf "$work"' EXIT

settings=("--noise=gradient --octaves=1 --scale=grey"
          "--noise=value+gradient --octaves=4 --turbulence --scale=clouds"
          "--noise=value --octaves=8 --scale=fire")
views=("octave-alone:--octave-view=one:2"
       "first-octaves:--octave-view=first:2"
       "lattice:--views=lattice"
       "probe:--views=probe"
       "stats:--views=stats")

# One window's PNG: the program started, the pointer moved onto the texel,
# key p pressed, and its file waited for (the program says when it wrote it).
shot() {
  local name=$1; shift
  local dir="$work/$name"
  mkdir -p "$dir"
  (cd "$dir" && exec "$program" --seed=7 "$@" >log 2>&1) &
  local pid=$! window
  window=$(find_window "2D Noise")
  # The probe follows the pointer, once the program is taking the window's
  # events: wait for its first picture (the window is black until then).
  for _ in $(seq 100); do
    [ "$(import -window "$window" -crop 1x1+0+0 txt:- | grep -c '#000000')" = 0 ] && break
    sleep 0.1
  done
  # From elsewhere (the last picture left the pointer on this very spot), a
  # few times over: a motion the program takes before its first fill is
  # over may be lost to a later start-up step.
  for _ in 1 2 3; do
    xdotool mousemove --sync --window "$window" 10 10
    xdotool mousemove --sync --window "$window" 180 $((511 - 300))
    sleep 0.3
  done
  xdotool key --window "$window" p
  for _ in $(seq 100); do
    grep -q "created" "$dir/log" 2>/dev/null && break
    sleep 0.1
  done
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  mv "$dir"/*.png "$work/$name.png"
}

for view in "${views[@]}"; do
  name=${view%%:*}
  for n in 0 1 2; do
    # shellcheck disable=SC2086
    shot "$name-$n" ${settings[$n]} ${view#*:}
  done
  /usr/bin/python3 - "$work" "$name" "$out/texture-$name.png" <<'EOF'
import sys
from PIL import Image
work, name, out = sys.argv[1:]
strip = Image.new("RGB", (3 * 512 + 2 * 8, 512), (48, 48, 48))
for n in range(3):
    strip.paste(Image.open(f"{work}/{name}-{n}.png").convert("RGB"), (n * 520, 0))
strip.save(out)
EOF
done
