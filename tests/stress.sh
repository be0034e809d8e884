#!/usr/bin/env bash
# Races the real program against what cannot be timed exactly, many times over, and counts the
# outcomes: the X server killed at random moments before, during and after a press; two
# SIGTERMs 0-120 ms after a press, while the screenshot may be being saved; the sprite swapped for a
# file the check refuses while the program starts; standard error closed; a stop signal 0-80 ms
# after exec, while the library starts; and SIGINT at the same moments when the caller ignores it.
# Run by hand after scripts/setup.sh test; not part of the suite, since it takes minutes.
# Usage: tests/stress.sh [RUNS] [xloss|signals|swap|stderr|startup|ignored ...]   (default 50, all)
set -u
cd "$(dirname "$0")/.."
. scripts/xlib.sh
runs=${1:-50}
shift || true
modes=("$@")
[ ${#modes[@]} -gt 0 ] || modes=(xloss signals swap stderr startup ignored)
prog=$PWD/build/inkstrip
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
ulimit -c unlimited
declare -A tally

count() { tally[$1]=$((${tally[$1]:-0} + 1)); }
ms() { sleep "$(printf '0.%03d' "$1")"; }
litter() { ls -A "$1" | grep -cvE '^(ball4\.bmp|dump\.bmp|err|out|bad\.bmp|good\.bmp|next)$'; }
whole_or_none() { [ ! -e "$1/dump.bmp" ] || [ "$(stat -c %s "$1/dump.bmp")" = $DUMP_BYTES ]; }
fresh() {
  dir="$work/$1.$2"
  mkdir -p "$dir"
  cp build/ball4.bmp "$dir/"
}
# Judges one run: no core file, no temporary file, dump.bmp whole or absent, and stderr at most
# one line of the program's own. Counts the outcome under its exit status.
judge() {
  local rc=$1
  if [ "$(litter "$dir")" != 0 ] || ! whole_or_none "$dir" ||
    [ "$(grep -cv '^inkstrip: ' "$dir/err")" != 0 ] || [ "$(wc -l <"$dir/err")" -gt 1 ]; then
    count "$mode: BAD"
    echo "BAD run in $dir (status $rc):"
    ls -la "$dir"
    cat "$dir/err"
    cp -r "$dir" "/tmp/inkstrip-stress-bad.$mode.$i" 2>/dev/null
  else
    count "$mode: status $rc$([ -e "$dir/dump.bmp" ] && echo ", dump.bmp saved")"
  fi
}

xloss() {
  fresh xloss "$i"
  start_xvfb 1024x768x24
  (cd "$dir" && exec "$prog" >out 2>err) &
  local pid=$!
  sleep 1
  case $((i % 3)) in
    0) ms $((RANDOM % 900)) ;;                        # mid-run, no press
    1) press_mouse 0.2 & ms $((RANDOM % 120)) ;;      # during the held press
    2) xdotool click 1 & ms $((RANDOM % 120)) ;;      # just after a tap
  esac
  kill "$XVFB_PID"
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
  wait_for_exit "$pid" 20 || { kill -9 "$pid"; count "xloss: HUNG"; }
  wait "$pid"
  judge $?
}

signals() {
  fresh signals "$i"
  (cd "$dir" && exec "$prog" >out 2>err) &
  local pid=$!
  sleep 1
  # xdotool takes about 100 ms to return, and the program has saved by then: the signals are
  # timed from the click's start, to fall before, during and after the save.
  if ((i % 2)); then xdotool click 1 & else press_mouse 0.1 & fi
  ms $((RANDOM % 120))
  kill -TERM "$pid" 2>/dev/null
  kill -TERM "$pid" 2>/dev/null
  wait_for_exit "$pid" 20 || { kill -9 "$pid"; count "signals: HUNG"; }
  wait "$!" 2>/dev/null
  wait "$pid"
  judge $?
}

swap() {
  fresh swap "$i"
  convert -size 4097x40 xc:lime BMP3:"$dir/bad.bmp"  # refused: wider than 4096
  cp build/ball4.bmp "$dir/good.bmp"
  (
    cd "$dir"
    for _ in $(seq 400); do
      ln -f bad.bmp next && mv -f next ball4.bmp
      ln -f good.bmp next && mv -f next ball4.bmp
    done
  ) 2>/dev/null &
  local swapper=$!
  ms $((RANDOM % 18))
  (cd "$dir" && exec "$prog" >out 2>err) &
  local pid=$!
  sleep 1.2
  kill "$swapper" 2>/dev/null
  wait "$swapper" 2>/dev/null
  rm -f "$dir/next"
  press_mouse 0.3
  wait_for_exit "$pid" 20 || { kill -9 "$pid"; count "swap: HUNG"; }
  wait "$pid"
  local rc=$?
  if [ -e "$dir/dump.bmp" ] &&
    [ "$(convert "$dir/dump.bmp" -fill black +opaque lime -format '%[fx:maxima]' info:)" != 0 ]; then
    count "swap: REFUSED FILE DRAWN"
  fi
  judge "$rc"
}

stderr() {
  fresh stderr "$i"
  mkdir "$dir/dump.bmp"
  : >"$dir/err"
  (cd "$dir" && exec timeout 30 "$prog" 2>&-) &
  local pid=$!
  sleep 1
  xdotool click 1
  wait "$pid"
  local rc=$?
  rmdir "$dir/dump.bmp"
  [ "$rc" = 124 ] && count "stderr: HUNG"
  judge "$rc"
}

# A stop signal while the program starts ends it by that signal, never by an abort or a crash
# inside the library. Job control keeps SIGINT and SIGQUIT from being ignored in the job.
startup() {
  fresh startup "$i"
  local sigs=(INT TERM HUP QUIT) sig
  sig=${sigs[i % 4]}
  set -m
  (cd "$dir" && exec "$prog" >out 2>err) &
  local pid=$!
  set +m
  ms $((RANDOM % 81))
  kill -s "$sig" "$pid"
  wait_for_exit "$pid" 20 || { kill -9 "$pid"; count "startup: HUNG"; }
  wait "$pid"
  local rc=$?
  [ "$rc" = $((128 + $(kill -l "$sig"))) ] || count "startup: NOT ENDED BY SIG$sig"
  judge "$rc"
}

# Ignored by the caller, as under nohup, SIGINT stays ignored: the program writes on and a press
# ends it as usual.
ignored() {
  fresh ignored "$i"
  set -m
  (cd "$dir" && trap '' INT && exec "$prog" >out 2>err) &
  local pid=$!
  set +m
  ms $((RANDOM % 81))
  kill -s INT "$pid"
  sleep 1.5
  press_mouse 0.3
  wait_for_exit "$pid" 20 || { kill -9 "$pid"; count "ignored: HUNG"; }
  wait "$pid"
  local rc=$?
  [ "$rc" = 0 ] && [ -e "$dir/dump.bmp" ] || count "ignored: NOT IGNORED"
  judge "$rc"
}

for mode in "${modes[@]}"; do
  if [ "$mode" != xloss ]; then start_xvfb 1024x768x24; fi
  for ((i = 1; i <= runs; i++)); do "$mode"; done
  stop_xvfb
done
for k in "${!tally[@]}"; do echo "$k: ${tally[$k]}"; done | sort
! printf '%s\n' "${!tally[@]}" | grep -qE 'BAD|HUNG|DRAWN|NOT'
