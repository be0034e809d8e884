#!/usr/bin/env bash
# Prints figures, not a test: on one private Xvfb, the default full screen side by side with
# --fit: unpaced curves a second; the CPU of the program and the X server together at --pace 20;
# the longest gap between two stamps drawn at --pace 5. Curves and stamps are timed by the
# program's own trace (INKSTRIP_TRACE), CPU from /proc/PID/stat.
# On a shared machine the figures swing from run to run: each is the best of $REPEAT runs (3).
# Usage: bench/screens.sh [path/to/inkstrip] [WIDTHxHEIGHT]   (default build/inkstrip 1920x1080)
# MODES="default --fit" chooses the modes; SDL's own variables (SDL_RENDER_DRIVER) pass through.
set -eu
here=$(dirname "$(realpath "$0")")
prog=$(realpath "${1:-$here/../build/inkstrip}")
size=${2:-1920x1080}
. "$here/../scripts/xlib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/inkstrip-bench.XXXXXX")
trap 'stop_xvfb; rm -rf "$work"' EXIT
cp "$(dirname "$prog")/ball4.bmp" "$work/"
start_xvfb "${size}x24"
tick=$(getconf CLK_TCK)

# Runs the program with options "$@" for $seconds, then Escape; sets pid while it runs and
# leaves its trace in $work/trace. $during is run once, $settle seconds in.
run_for() {
  rm -f "$work/trace"
  (cd "$work" && INKSTRIP_TRACE="$work/trace" exec "$prog" "$@" >/dev/null 2>&1) &
  pid=$!
  sleep "$settle"
  $during
  sleep "$((seconds - settle))"
  xdotool key Escape
  wait_for_exit "$pid" 20 || kill -9 "$pid"
  wait "$pid" || true
}

cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
measure_cpu() {
  local p0 x0
  p0=$(cpu_ticks "$pid")
  x0=$(cpu_ticks "$XVFB_PID")
  sleep 5
  cpu=$((($(cpu_ticks "$pid") - p0 + $(cpu_ticks "$XVFB_PID") - x0) * 100 / (5 * tick)))
}

# Curves begun between one and six seconds after the first, a second.
curves_per_second() {
  awk '$1 == "c" { if (!t0) t0 = $2; if ($2 >= t0 + 1e9 && $2 < t0 + 6e9) n++ }
       END { printf "%.1f", n / 5 }' "$work/trace"
}

# The longest time between two stamps drawn, past the first second, in milliseconds.
longest_gap() {
  awk '$1 == "s" { if (!t0) t0 = $2; if (last && $2 >= t0 + 1e9 && $2 - last > gap) gap = $2 - last;
       last = $2 } END { printf "%.1f", gap / 1e6 }' "$work/trace"
}

printf "%-10s %18s %22s %26s\n" mode "unpaced curves/s" "CPU at --pace 20 (%)" "longest stamp gap at 5 (ms)"
best() { printf "%s\n" "$@" | sort -g | sed -n "${pick}p"; }
for mode in ${MODES:-default --fit}; do
  opts=()
  [ "$mode" = --fit ] && opts=(--fit)
  rates=() cpus=() gaps=()
  for ((i = 0; i < ${REPEAT:-3}; i++)); do
    settle=1 seconds=7 during=: run_for "${opts[@]}"
    rates+=("$(curves_per_second)")
    settle=2 seconds=8 during=measure_cpu run_for "${opts[@]}" --pace 20
    cpus+=("$cpu")
    settle=1 seconds=5 during=: run_for "${opts[@]}" --pace 5
    gaps+=("$(longest_gap)")
  done
  printf "%-10s %18s %22s %26s\n" "$mode" "$(pick=\$ best "${rates[@]}")" \
    "$(pick=1 best "${cpus[@]}")" "$(pick=1 best "${gaps[@]}")"
done
echo "($size Xvfb; CPU is the program and the X server together, 100 = one core)"
