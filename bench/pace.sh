#!/usr/bin/env bash
# Prints figures, not a test: how closely a paced run keeps its pace, on one private Xvfb. For
# each mode, each run's curves a second over $MEASURE seconds (8) after the first second, against
# the pace asked for, and the longest gap between two stamps drawn; timed by the program's own
# trace (INKSTRIP_TRACE). With BUSY=N, N busy loops share the machine for the runs.
# Usage: bench/pace.sh [path/to/inkstrip] [WIDTHxHEIGHT]   (default build/inkstrip 1024x768)
# PACE (20), REPEAT (3) runs a mode and MODES ("default --fit") choose what is run.
set -eu
here=$(dirname "$(realpath "$0")")
prog=$(realpath "${1:-$here/../build/inkstrip}")
size=${2:-1024x768}
pace=${PACE:-20}
measure=${MEASURE:-8}
. "$here/../scripts/xlib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/inkstrip-pace.XXXXXX")
busy=()
stop_busy() { local b; for b in "${busy[@]}"; do kill "$b" 2>/dev/null; done; busy=(); }
trap 'stop_busy; stop_xvfb; rm -rf "$work"' EXIT
cp "$(dirname "$prog")/ball4.bmp" "$work/"
start_xvfb "${size}x24"
for ((i = 0; i < ${BUSY:-0}; i++)); do
  (while :; do :; done) &
  busy+=($!)
done

# Runs the program with options "$@" for a second more than the measure, then Escape, and
# leaves its trace in $work/trace.
run_traced() {
  rm -f "$work/trace"
  (cd "$work" && INKSTRIP_TRACE="$work/trace" exec "$prog" "$@" >/dev/null 2>&1) &
  local pid=$!
  sleep "$((measure + 2))"
  xdotool key Escape
  wait_for_exit "$pid" 20 || kill -9 "$pid"
  wait "$pid" || true
}

# Curves begun from one second after the first for $measure seconds, a second; and the longest
# gap between two stamps in that time, in milliseconds.
figures() {
  awk -v span="$measure" '
    { if (!t0) t0 = $2; from = t0 + 1e9; to = from + span * 1e9 }
    $2 < from || $2 >= to { next }
    $1 == "c" { n++ }
    $1 == "s" { if (last && $2 - last > gap) gap = $2 - last; last = $2 }
    END { printf "%8.2f %+7.2f%% %10.1f", n / span, (n / span / '"$pace"' - 1) * 100, gap / 1e6 }
  ' "$work/trace"
}

printf "%-10s %8s %8s %10s\n" mode curves/s "off by" "gap (ms)"
for mode in ${MODES:-default --fit}; do
  opts=()
  [ "$mode" = --fit ] && opts=(--fit)
  for ((i = 0; i < ${REPEAT:-3}; i++)); do
    run_traced "${opts[@]}" --pace "$pace"
    printf "%-10s %s\n" "$mode" "$(figures)"
  done
done
echo "(--pace $pace on a $size Xvfb, ${BUSY:-0} busy loops beside it)"
