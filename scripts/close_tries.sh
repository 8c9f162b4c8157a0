#!/bin/bash
# How the program ends when another client closes one of its windows.
#
#   scripts/close_tries.sh [PROGRAM] [TRIES]
#
# For each of the graph and texture windows, and for each of xdotool's
# windowclose (XDestroyWindow) and windowkill (XKillClient: the whole X
# connection goes), starts the program TRIES times (default 20) on a virtual
# display, closes the window, and counts the runs that ended within 2 seconds
# with the expected status (0 for a closed window, 1 for a lost connection).
# A run still alive after 10 seconds is killed and counted as hung.
set -u
here=$(cd "$(dirname "$0")" && pwd)
program=$(realpath "${1:-$here/../build/noisedemo}")
tries=${2:-20}
. "$here/xvfb.sh"
start_xvfb
work=$(mktemp -d)
trap 'kill "$XVFB_PID" 2>/dev/null; rm -rf "$work"' EXIT

now_ms() { date +%s%3N; }

# One run: prints "<status> <milliseconds>" (status "hung" if it never ended).
one_try() {
  local title=$1 how=$2 pid window start end status i
  (cd "$work" && exec "$program" 2>"$work/stderr.txt") &
  pid=$!
  window=$(find_window "$title")
  # All three windows shown, so the program is in its main loop.
  find_window 'User Interface Window' >/dev/null
  start=$(now_ms)
  xdotool "$how" "$window" 2>/dev/null
  for i in $(seq 1000); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.01
  done
  end=$(now_ms)
  if kill -0 "$pid" 2>/dev/null; then
    kill -9 "$pid"
    wait "$pid" 2>/dev/null
    echo "hung $((end - start))"
    return
  fi
  wait "$pid"
  status=$?
  echo "$status $((end - start))"
}

printf '%-24s %-12s %s\n' window kind "ended within 2 s (expected status)"
for title in "Noise Demo -- Quenmarl" "2D Noise"; do
  for how in windowclose windowkill; do
    expected=0
    [ "$how" = windowkill ] && expected=1
    good=0 slowest=0 other=""
    for n in $(seq "$tries"); do
      read -r status ms < <(one_try "$title" "$how")
      if [ "$status" = "$expected" ] && [ "$ms" -le 2000 ]; then
        good=$((good + 1))
      else
        other="$other $status/${ms}ms"
      fi
      [ "$ms" -gt "$slowest" ] && slowest=$ms
    done
    printf '%-24s %-12s %d of %d (slowest %d ms)%s\n' "$title" "$how" "$good" "$tries" \
      "$slowest" "${other:+; others:$other}"
  done
done
