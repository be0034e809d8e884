# Shell helpers for running inkstrip on a private virtual X server and pressing its mouse.
# Source this file; it defines functions and one constant only.

# The size of a screenshot: a 1024x768 BMP at 24 bits per pixel, headers included.
DUMP_BYTES=$((14 + 40 + 1024 * 768 * 3))

# Starts Xvfb on a free display number at the given size and depth (default 1024x768x24), with
# any further arguments passed to Xvfb, and exports DISPLAY. Sets XVFB_PID. Returns non-zero if
# the server does not come up.
start_xvfb() {
  local screen=${1:-1024x768x24} private fifo
  private=$(mktemp -d "${TMPDIR:-/tmp}/inkstrip-xvfb.XXXXXX") || return 1
  fifo=$private/displayfd
  mkfifo -m 600 "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -ac "${@:2}" 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local number=""
  read -r -t 20 number <"$fifo"
  rm -rf "$private"
  if [ -z "$number" ]; then
    kill "$XVFB_PID" 2>/dev/null
    echo "could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=":$number"
}

stop_xvfb() {
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
}

# Holds mouse button 1 down long enough to be seen at the start of a curve.
press_mouse() {
  xdotool mousedown 1 && sleep "${1:-0.3}" && xdotool mouseup 1
}

# Waits up to $2 seconds for process $1 to end; returns 1 if it is still running.
wait_for_exit() {
  local pid=$1 limit=$2 i
  for ((i = 0; i < limit * 10; i++)); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  return 1
}
