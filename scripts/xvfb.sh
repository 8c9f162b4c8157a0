# Sourced by the scripts that run the program without a display of their own:
#   start_xvfb [WIDTHxHEIGHT]
# starts a virtual X server on a free display number (default screen
# 1400x1112, on which the texture window is 512 by 512, one screen pixel per
# texel), exports DISPLAY and XVFB_PID, and stops the server when the calling
# script exits (a script with an EXIT trap of its own kills XVFB_PID there).
start_xvfb() {
  local size=${1:-1400x1112} fd number
  exec {fd}<> <(:)
  Xvfb -displayfd "$fd" -screen 0 "${size}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  XVFB_PID=$!
  trap 'kill "$XVFB_PID" 2>/dev/null || true' EXIT
  read -r -t 10 number <&"$fd" || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$number"
}

#   find_window TITLE
# prints the id of the visible window titled exactly TITLE, waiting up to
# 15 s for it to appear; fails if it never does.
find_window() {
  local id
  for _ in $(seq 150); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
