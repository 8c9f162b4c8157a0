#!/usr/bin/env bash
# Memory soak: drives the program through many redraws of five kinds and
# reports how much its resident memory (VmRSS) grows per redraw.
#   soak.sh PROGRAM [REDRAWS]     (REDRAWS defaults to 10000)
#
# Kinds, in this order, in one process:
#   keys     an unknown key (x) typed into the graph window
#   drag     left button held on a control point, the pointer moved up and down
#   empty    left clicks on empty graph space (window pixel 600, 30)
#   point    left clicks on a control point (under Gradient-Only)
#   slider   the right or left arrow of "Set Gradient" held (auto-repeat)
# Every kind runs REDRAWS redraws. A click costs several times a key (a press
# also redraws the control panel) and a slider step waits for the 50 ms
# repeat, so at 10000 the whole soak takes about 45 minutes; SOAK_CLICKS and
# SOAK_SLIDER set other counts for those kinds.
#
# Redraws are counted, not assumed: the panel's Debug box is turned on, and
# every graph redraw ends with the trace "FillTexture" on standard error.
# Events are sent in chunks, each followed by a marker key (z); a chunk is
# done when the program has traced that marker and the redraw after it, so
# the X queue is drained before memory is read. Each kind goes on until its
# redraw count is reached. RSS is read after the first tenth of the kind
# (warm-up) and at its end; KB/redraw is the growth between the two divided
# by the redraws between them.
#
# Environment: SOAK_PACE (seconds between events in a chunk, default 0.012),
# SOAK_CHUNK (events per chunk, default 200), SOAK_KEEP=1 keeps the work
# directory (stderr of the program) and prints its path.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 PROGRAM [REDRAWS]" >&2
  exit 2
fi
program=$(readlink -f "$1")
redraws=${2:-10000}
[ -x "$program" ] || { echo "not an executable: $1" >&2; exit 2; }
[[ "$redraws" =~ ^[0-9]+$ ]] && [ "$redraws" -ge 20 ] || { echo "REDRAWS must be a number >= 20" >&2; exit 2; }
pace=${SOAK_PACE:-0.012}
chunk=${SOAK_CHUNK:-200}
slider_redraws=${SOAK_SLIDER:-$redraws}
click_redraws=${SOAK_CLICKS:-$redraws}

for tool in Xvfb xdotool convert import; do
  command -v "$tool" >/dev/null || { echo "missing $tool (scripts/install_deps.sh test)" >&2; exit 1; }
done

work=$(mktemp -d /tmp/soak.XXXXXX)
errlog="$work/stderr.txt"
app=""
XVFB_PID=""
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null || true
  [ -n "$app" ] && wait "$app" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  if [ "${SOAK_KEEP:-0}" = 1 ]; then echo "work directory kept: $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT

die() { echo "soak: $*" >&2; exit 1; }

# ---------------------------------------------------------------------------
# Virtual display and program
# ---------------------------------------------------------------------------
. "$(dirname "$0")/xvfb.sh"
start_xvfb || die "Xvfb did not start"
trap cleanup EXIT  # our clean-up stops the server too

(cd "$work" && exec "$program" 2>"$errlog") &
app=$!

graph=$(find_window "Noise Demo -- Quenmarl") || die "no graph window"
texwin=$(find_window "2D Noise") || die "no texture window"
panel=$(find_window "User Interface Window") || die "no control panel"

geometry() {  # prints "WIDTH HEIGHT" of a window
  xdotool getwindowgeometry "$1" | awk '/Geometry:/ { split($2, a, "x"); print a[1], a[2] }'
}
read -r gw gh < <(geometry "$graph")
read -r tw th < <(geometry "$texwin")
# Where the panel's controls are, found in a picture of the panel.
places=$(/usr/bin/python3 "$(dirname "$0")/panel_places.py" "$panel") || die "cannot find the panel's controls"
eval "$places"

# Graph drawing units (render/graph_layout.h's, y up) to window pixels (y down).
eval "$(/usr/bin/python3 "$(dirname "$0")/../tests/graph_layout.py")"
ux() { awk -v u="$1" -v w="$gw" -v units="$kGraphUnitsWide" 'BEGIN { printf "%d", u * w / units + 0.5 }'; }
uy() { awk -v u="$1" -v h="$gh" -v units="$kGraphUnitsHigh" 'BEGIN { printf "%d", h - u * h / units + 0.5 }'; }
point_units_x() {
  awk -v i="$1" -v left="$kLeftMargin" -v wide="$kGraphWidth" -v n="$kControlPoints" \
      'BEGIN { printf "%.3f", left + i * wide / (n - 1) }'
}

# ---------------------------------------------------------------------------
# Traces, memory, draining
# ---------------------------------------------------------------------------
count() { grep -c -F -- "$1" "$errlog" 2>/dev/null || true; }
redraw_count() { count "FillTexture"; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$app/status"; }
alive() { kill -0 "$app" 2>/dev/null || die "the program has exited"; }

wait_count() {  # wait_count TEXT AT_LEAST TIMEOUT_S
  local text=$1 want=$2 tries=$(( $3 * 50 ))
  for _ in $(seq "$tries"); do
    [ "$(count "$text")" -ge "$want" ] && return 0
    alive
    sleep 0.02
  done
  return 1
}

markers=0
# Sends the marker key into the graph window (the pointer must be over it)
# and waits until the program has handled it and redrawn after it: then every
# event sent before has been processed.
drain() {
  markers=$((markers + 1))
  xdotool key z
  wait_count "keyboard hit: 'z'" "$markers" 60 || die "the program did not handle marker $markers"
  for _ in $(seq 3000); do
    if awk '/keyboard hit: .z./ { m = NR } /^FillTexture$/ { f = NR } END { exit !(f > m) }' "$errlog"; then
      return 0
    fi
    alive
    sleep 0.02
  done
  die "no redraw after marker $markers"
}

# ---------------------------------------------------------------------------
# Setup: Debug on (its first trace proves it), read the control points
# ---------------------------------------------------------------------------
xdotool mousemove --window "$panel" "$debug_x" "$debug_y" click 1
xdotool mousemove --window "$graph" "$(ux 600)" "$(uy 470)"
markers=1
xdotool key z
wait_count "Keyboard: 'z'" 1 20 || die "could not turn on Debug (panel box at $debug_x,$debug_y)"
drain

# The control points' values, from the texture's bottom row: texel (0, 64 i)
# has grey level value * 255 in the default grayscale.
values=$(import -window "$texwin" -crop "${tw}x1+0+$((th - 1))" +repage -depth 8 txt:- 2>/dev/null |
  awk -v tw="$tw" 'NR > 1 { split($1, a, /[,:]/); grey[a[1]] = $0 }
    END { for (i = 0; i < 8; i++) { x = int((64 * i + 0.5) * tw / 512);
            s = grey[x]; sub(/^[^(]*\(/, "", s); split(s, c, /[,)]/); printf "%d ", c[1] } }')
read -r -a grey <<<"$values"
[ "${#grey[@]}" -eq 8 ] || die "could not read the control values from the texture"
# Drag the point nearest the middle so the zigzag stays inside the graph.
best=1
for i in 1 2 3 4 5 6; do
  d=$(( grey[i] > 128 ? grey[i] - 128 : 128 - grey[i] ))
  b=$(( grey[best] > 128 ? grey[best] - 128 : 128 - grey[best] ))
  [ "$d" -lt "$b" ] && best=$i
done

# ---------------------------------------------------------------------------
# The kinds. Each send_* sends up to N events (a chunk) paced by $pace.
# ---------------------------------------------------------------------------
send_keys() {
  xdotool mousemove --window "$graph" "$(ux 600)" "$(uy 470)"
  xdotool key --delay "$(awk -v p="$pace" 'BEGIN { printf "%d", p * 1000 }')" --repeat "$1" x
}

drag_x=$(ux "$(point_units_x "$best")")
drag_y0=$(uy "$(awk -v g="${grey[best]}" -v bottom="$kBottomMargin" -v high="$kGraphHeight" \
    'BEGIN { printf "%.3f", bottom + g / 255 * high }')")
drag_phase=0
drag_start() {
  xdotool mousemove --window "$graph" "$drag_x" "$drag_y0" mousedown 1
}
send_drag() {
  local args=() k y
  for ((k = 0; k < $1; k++)); do
    drag_phase=$(( (drag_phase + 1) % 40 ))
    y=$(( drag_y0 + (drag_phase < 20 ? drag_phase : 40 - drag_phase) - 10 ))
    args+=(mousemove --window "$graph" "$drag_x" "$y" sleep "$pace")
  done
  xdotool "${args[@]}"
}
drag_end() { xdotool mouseup 1; }

click_x=0
click_y=0
send_clicks() {
  local args=(mousemove --window "$graph" "$click_x" "$click_y") k
  for ((k = 0; k < $1; k++)); do args+=(click 1 sleep "$pace"); done
  xdotool "${args[@]}"
}

# run_kind NAME TARGET SENDER: sends chunks until TARGET redraws are counted.
declare -A r_redraws r_kb r_events r_mb
run_kind() {
  local name=$1 target=$2 sender=$3
  local start warm c0="" rss0="" c events=0 n
  start=$(redraw_count)
  warm=$(( target / 10 ))
  while :; do
    c=$(( $(redraw_count) - start ))
    if [ -z "$c0" ] && [ "$c" -ge "$warm" ]; then c0=$(redraw_count); rss0=$(rss_kb); fi
    [ "$c" -ge "$target" ] && break
    if [ -z "$c0" ]; then n=$(( warm - c )); else n=$(( target - c )); fi
    [ "$n" -gt "$chunk" ] && n=$chunk
    [ "$n" -lt 1 ] && n=1
    "$sender" "$n"
    events=$(( events + n ))
    drain
  done
  local c1 rss1
  c1=$(redraw_count)
  rss1=$(rss_kb)
  r_redraws[$name]=$(( c1 - start ))
  r_events[$name]=$events
  r_kb[$name]=$(awk -v a="$rss0" -v b="$rss1" -v n=$(( c1 - c0 )) 'BEGIN { printf "%.3f", (n > 0) ? (b - a) / n : 0 }')
  r_mb[$name]=$(awk -v a="$rss0" -v b="$rss1" 'BEGIN { printf "%.2f", (b - a) / 1024 }')
  printf '  %-7s done: %6d redraws, RSS %d -> %d KB after warm-up\n' "$name" "${r_redraws[$name]}" "$rss0" "$rss1" >&2
}

rss_start=$(rss_kb)
echo "soak: $program, $redraws redraws of keys and drag, $click_redraws of each click kind, $slider_redraws slider steps, display $DISPLAY" >&2
echo "  RSS at start: $rss_start KB" >&2

# (a) keys
run_kind keys "$redraws" send_keys

# (b) drag on the control point nearest the middle (value-only)
drag_start
drain
grep -q "Display; CurrentPoint = $best\$" <(tail -n 40 "$errlog") ||
  die "the press at ($drag_x, $drag_y0) did not pick control point $best"
run_kind drag "$redraws" send_drag
drag_end
drain

# (c) clicks on empty graph space
click_x=$(ux 600)
click_y=$(uy 470)
run_kind empty "$click_redraws" send_clicks

# (d) clicks on a control point, under Gradient-Only (every dot at 0.5)
xdotool mousemove --window "$panel" "$gradient_only_x" "$gradient_only_y" click 1
xdotool mousemove --window "$graph" "$(ux 600)" "$(uy 470)"
drain
click_x=$(ux "$(point_units_x 3)")
click_y=$(uy $((kBottomMargin + kGraphHeight / 2)))
xdotool mousemove --window "$graph" "$click_x" "$click_y" click 1
drain
grep -q "Display; CurrentPoint = 3\$" <(tail -n 40 "$errlog") ||
  die "Gradient-Only or the click on control point 3 failed"
run_kind point "$click_redraws" send_clicks

# (e) the Set Gradient slider's arrows held; point 3 stays selected.
slider_dir=right
send_slider() {
  local want have last stalled=0 x
  if [ "$slider_dir" = right ]; then x=$slider_right_x; else x=$slider_left_x; fi
  have=$(count "SetSliderG")
  want=$(( have + $1 ))
  xdotool mousemove --window "$panel" "$x" "$slider_y" mousedown 1
  last=$have
  while [ "$have" -lt "$want" ]; do
    sleep 0.05
    alive
    have=$(count "SetSliderG")
    if [ "$have" -eq "$last" ]; then
      stalled=$((stalled + 1))
      [ "$stalled" -ge 20 ] && break  # a second without a step: the end of the range
    else
      stalled=0
      last=$have
    fi
  done
  xdotool mouseup 1 mousemove --window "$graph" "$(ux 600)" "$(uy 470)"
  if [ "$slider_dir" = right ]; then slider_dir=left; else slider_dir=right; fi
}
chunk_saved=$chunk
chunk=200
run_kind slider "$slider_redraws" send_slider
chunk=$chunk_saved

rss_end=$(rss_kb)

# ---------------------------------------------------------------------------
# Report
# ---------------------------------------------------------------------------
echo
printf '%-8s %9s %9s %11s %12s\n' kind events redraws KB/redraw "growth MB"
for k in keys drag empty point slider; do
  printf '%-8s %9d %9d %11s %12s\n' "$k" "${r_events[$k]}" "${r_redraws[$k]}" "${r_kb[$k]}" "${r_mb[$k]}"
done
total_redraws=$(redraw_count)
printf '\ntotal: %d redraws, RSS %.1f MB -> %.1f MB, growth %.2f MB\n' "$total_redraws" \
  "$(awk -v v="$rss_start" 'BEGIN { print v / 1024 }')" "$(awk -v v="$rss_end" 'BEGIN { print v / 1024 }')" \
  "$(awk -v a="$rss_start" -v b="$rss_end" 'BEGIN { print (b - a) / 1024 }')"
worst=$(printf '%s\n' "${r_kb[@]}" | sort -g | tail -n 1)
growth=$(awk -v a="$rss_start" -v b="$rss_end" 'BEGIN { print (b - a) / 1024 }')
if awk -v w="$worst" -v g="$growth" 'BEGIN { exit !(w < 0.1 && g < 2) }'; then
  echo "target met: under 0.1 KB per redraw for every kind and under 2 MB in total"
else
  echo "target NOT met: wanted under 0.1 KB per redraw for every kind and under 2 MB in total"
fi
