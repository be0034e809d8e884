#!/usr/bin/env bash
# End-to-end: the real program on a private X server, pressed with the real mouse, and its
# start-up and screenshot faults. Usage: e2e.sh path/to/inkstrip
set -u
prog=$(realpath "$1")
ball=$(dirname "$prog")/ball4.bmp
here=$(dirname "$(realpath "$0")")
. "$here/../scripts/xlib.sh"

passed=0
failed=0
work=$(mktemp -d "${TMPDIR:-/tmp}/inkstrip-e2e.XXXXXX")
trap 'stop_xvfb; rm -rf "$work"' EXIT

ok() { passed=$((passed + 1)); echo "ok: $1"; }
bad() { failed=$((failed + 1)); echo "FAILED: $1"; sed 's/^/  | /' "$case_dir/err" 2>/dev/null; }
expect() { if eval "$2"; then ok "$1"; else bad "$1 [$2]"; fi; }

# A fresh working directory with the sprite in it.
new_case() {
  case_dir="$work/$1"
  mkdir -p "$case_dir"
  cp "$ball" "$case_dir/"
}

# Runs the program in the case's directory and, after $1 seconds, holds the button. Leaves the
# exit status in $rc (124 if it had to be killed).
run_and_press() {
  (cd "$case_dir" && exec "$prog" >out 2>err) &
  local pid=$!
  sleep "$1"
  press_mouse 0.3
  if ! wait_for_exit "$pid" 60; then kill -9 "$pid"; fi
  wait "$pid"
  rc=$?
}

# Runs the program where it is expected to refuse to start; never presses.
run_refused() {
  (cd "$case_dir" && exec timeout 20 "$prog" >out 2>err)
  rc=$?
}

le32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }

start_xvfb 1024x768x24 || exit 1

new_case press
run_and_press 2
expect "a press ends the program with status 0" '[ "$rc" = 0 ]'
expect "a successful stop says nothing" '[ ! -s "$case_dir/err" ]'
expect "dump.bmp is a whole 1024x768 24-bit BMP" \
  '[ "$(stat -c %s "$case_dir/dump.bmp" 2>/dev/null)" = 2359350 ] &&
   [ "$(head -c2 "$case_dir/dump.bmp")" = BM ] &&
   [ "$(le32 "$case_dir/dump.bmp" 18)" = 1024 ] && [ "$(le32 "$case_dir/dump.bmp" 22)" = 768 ]'
expect "the screenshot shows ink" \
  '[ "$(tail -c +55 "$case_dir/dump.bmp" | tr -d "\000" | wc -c)" -gt 1000 ]'
expect "nothing else is left in the working directory" \
  '[ "$(ls -A "$case_dir" | sort | tr "\n" " ")" = "ball4.bmp dump.bmp err out " ]'

new_case dump_is_a_directory
mkdir "$case_dir/dump.bmp"
run_and_press 2
expect "an unwritable dump.bmp still stops the program, with a non-zero status" \
  '[ "$rc" != 0 ] && [ "$rc" != 124 ]'
expect "and says so" 'grep -q "cannot write dump.bmp" "$case_dir/err"'
expect "and leaves the directory alone" '[ -d "$case_dir/dump.bmp" ]'

new_case no_ball
rm "$case_dir/ball4.bmp"
run_refused
expect "a missing ball4.bmp is named, status non-zero" \
  '[ "$rc" = 1 ] && grep -q "ball4.bmp: No such file" "$case_dir/err"'

new_case ball_not_bmp
echo "not a picture" >"$case_dir/ball4.bmp"
run_refused
expect "a ball4.bmp that is not a BMP is named, status non-zero" \
  '[ "$rc" = 1 ] && grep -q "cannot load ball4.bmp" "$case_dir/err"'

display=$DISPLAY
new_case no_display
unset DISPLAY
run_refused
expect "no DISPLAY gives a message and status 1" '[ "$rc" = 1 ] && grep -q "no display" "$case_dir/err"'

new_case display_nowhere
export DISPLAY=:4999
run_refused
expect "a DISPLAY with no server behind it gives a message and status 1" \
  '[ "$rc" = 1 ] && grep -q "cannot start" "$case_dir/err"'
export DISPLAY=$display

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
