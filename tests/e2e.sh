#!/usr/bin/env bash
# End-to-end: the real program on a private X server, pressed with the real mouse, tapped, sent
# Escape and closed; its options; its start-up, display, screenshot and signal faults; losing
# the X server; and the installed tree, moved elsewhere.
# Usage: e2e.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow
set -u
prog=$(realpath "$1")
samples=$(realpath "$2")
closewindow=$(realpath "$3")
ball=$(dirname "$prog")/ball4.bmp
here=$(dirname "$(realpath "$0")")
. "$here/../scripts/xlib.sh"

passed=0
failed=0
work=$(mktemp -d "${TMPDIR:-/tmp}/inkstrip-e2e.XXXXXX")
chmod 755 "$work"
mounted=""
trap 'stop_xvfb; [ -n "$mounted" ] && umount "$mounted"; rm -rf "$work"' EXIT
"$samples" "$work/samples" || exit 1
# A copy another user can reach whatever the permissions of the build folder.
cp "$prog" "$work/inkstrip"

ok() { passed=$((passed + 1)); echo "ok: $1"; }
bad() { failed=$((failed + 1)); echo "FAILED: $1"; sed 's/^/  | /' "$case_dir/err" 2>/dev/null; }
expect() { if eval "$2"; then ok "$1"; else bad "$1 [$2]"; fi; }

# A fresh working directory with the sprite in it.
new_case() {
  case_dir="$work/$1"
  mkdir -p "$case_dir"
  cp "$ball" "$case_dir/"
}

# Runs the program in the case's directory (as the user in $as_user, if set), with the
# options in the array $opts and core files allowed, and after $1 seconds does $2 (default:
# holds the button). Leaves the exit status in $rc.
opts=()
run_and_press() {
  if [ -n "${as_user:-}" ]; then
    (cd "$case_dir" && ulimit -c unlimited && exec setpriv --reuid="$as_user" \
      --regid="$as_user" --clear-groups "$work/inkstrip" "${opts[@]}" >out 2>err) &
  else
    (cd "$case_dir" && ulimit -c unlimited && exec "$prog" "${opts[@]}" >out 2>err) &
  fi
  local pid=$!
  sleep "$1"
  ${2:-press_mouse 0.3}
  if ! wait_for_exit "$pid" 60; then kill -9 "$pid"; fi
  wait "$pid"
  rc=$?
}

tap() { xdotool click 1; }
escape_key() { xdotool key Escape; }
shoot_and_tap() {
  import -window root "$case_dir/shown.png"
  tap
}
measure_and_close() {
  xdotool search --name '^inkstrip$' getwindowgeometry >"$case_dir/geometry"
  import -window root "$case_dir/desktop.png"
  "$closewindow" inkstrip
}

# Runs the program where it is expected to refuse to start or end at once; never presses.
run_refused() {
  (cd "$case_dir" && exec timeout 20 "$prog" "$@" >out 2>err)
  rc=$?
}

# Runs the program, sends it signal $1 while it writes, and leaves its exit status in $rc and
# the seconds it took to end in $took. Job control keeps SIGINT from being ignored in the job.
run_and_signal() {
  set -m
  (cd "$case_dir" && ulimit -c unlimited && exec "$prog" >out 2>err) &
  local pid=$!
  set +m
  sleep 1.5
  local start=$SECONDS
  kill -s "$1" "$pid"
  if ! wait_for_exit "$pid" 20; then kill -9 "$pid"; fi
  wait "$pid"
  rc=$?
  took=$((SECONDS - start))
}

le32() { od -An -tu4 -j "$2" -N4 "$1" | tr -d ' '; }
whole_dump() { [ "$(stat -c %s "$1/dump.bmp" 2>/dev/null)" = 2359350 ]; }
left_in() { ls -A "$1" | sort | tr "\n" " "; }
same_pixels() { [ "$(convert "$1" rgb:- | md5sum)" = "$(convert "$2" rgb:- | md5sum)" ]; }

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
ln -sf missing.bmp "$case_dir/ball4.bmp"
run_refused
expect "a missing ball4.bmp is named, status non-zero" \
  '[ "$rc" = 1 ] && grep -q "ball4.bmp: No such file" "$case_dir/err"'

new_case ball_not_bmp
echo "this is a line of text, not a picture of a ball" >"$case_dir/ball4.bmp"
run_refused
expect "a ball4.bmp that is not a BMP is named, status non-zero" \
  '[ "$rc" = 1 ] && grep -q "ball4.bmp: not a BMP image" "$case_dir/err"'

new_case all_mask_ball
cp "$work/samples/all-mask.bmp" "$case_dir/ball4.bmp"
run_refused
expect "a ball4.bmp with nothing but the mask colour is refused" \
  '[ "$rc" = 1 ] && grep -q "every pixel is the mask colour" "$case_dir/err"'

# Each of these crashed the library's loader, or made it allocate gigabytes or read garbage.
for bad in rle8-run255-w16 rle4-literal255-w16 rle8-skip-below rle8-no-end \
  wrap-65536x65536-24bit wrap-32768x32768-32bit height-minus-2p31 claims-20000x20000 depth7; do
  new_case "bad_$bad"
  cp "$work/samples/bad/$bad.bmp" "$case_dir/ball4.bmp"
  run_refused
  expect "hostile sprite $bad: refused with a message, no crash" \
    '[ "$rc" = 1 ] && grep -q "cannot use ball4.bmp" "$case_dir/err"'
done

new_case link_at_dump
echo "not to be overwritten" >"$case_dir/victim"
ln -s victim "$case_dir/dump.bmp"
run_and_press 2
expect "a link at dump.bmp is replaced, never written through" \
  '[ "$rc" = 0 ] && [ "$(cat "$case_dir/victim")" = "not to be overwritten" ] &&
   [ ! -L "$case_dir/dump.bmp" ] && [ "$(stat -c %s "$case_dir/dump.bmp")" = 2359350 ]'

new_case read_only_directory
echo "an older screenshot" >"$case_dir/dump.bmp"
chmod 555 "$case_dir"
as_user=65534
run_and_press 2
as_user=""
expect "a read-only directory (as a user who is not root) stops with a message and status 1" \
  '[ "$rc" = 1 ] && grep -qF "cannot write dump.bmp: cannot make a new file in the directory $case_dir (Permission denied)" "$case_dir/err"'
expect "and the older dump.bmp is left as it was" \
  '[ "$(cat "$case_dir/dump.bmp")" = "an older screenshot" ]'
chmod 755 "$case_dir"

new_case full_disk
if mount -t tmpfs -o size=1m tmpfs "$case_dir" 2>/dev/null; then
  mounted=$case_dir
  cp "$ball" "$case_dir/"
  echo "an older screenshot" >"$case_dir/dump.bmp"
  run_and_press 2
  expect "a full disk stops with a message and status 1" \
    '[ "$rc" = 1 ] && grep -q "No space left on device" "$case_dir/err"'
  expect "and leaves the older dump.bmp whole and nothing else behind" \
    '[ "$(cat "$case_dir/dump.bmp")" = "an older screenshot" ] &&
     [ "$(ls -A "$case_dir" | sort | tr "\n" " ")" = "ball4.bmp dump.bmp err out " ]'
  umount "$case_dir"
  mounted=""
else
  echo "skipped: full disk (cannot mount a tmpfs here)"
fi

for sig in INT TERM HUP QUIT; do
  new_case "signal_$sig"
  run_and_signal "$sig"
  expect "SIG$sig while it writes: ends promptly by that signal, no core dump" \
    '[ "$rc" = $((128 + $(kill -l "$sig"))) ] && [ "$took" -le 5 ] && [ ! -s "$case_dir/err" ] &&
     [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]'
done

# A tap is a press and a release about a millisecond apart, well inside one curve.
for n in 1 2 3 4 5; do
  new_case "tap_$n"
  run_and_press "1.$n" tap
  expect "tap $n: noticed, a whole dump.bmp, status 0" '[ "$rc" = 0 ] && whole_dump "$case_dir"'
done

new_case escape
run_and_press 1 escape_key
expect "Escape ends with status 0 and saves nothing" \
  '[ "$rc" = 0 ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out " ] && [ ! -s "$case_dir/err" ]'

# At one curve every two seconds, a second into the run the screen holds exactly the first
# curve; a tap then gives that very screen.
new_case paced
opts=(--pace 0.5)
run_and_press 1 shoot_and_tap
opts=()
expect "--pace 0.5: one curve in the first second, and a tap saves exactly what was shown" \
  '[ "$rc" = 0 ] && whole_dump "$case_dir" && same_pixels "$case_dir/dump.bmp" "$case_dir/shown.png" &&
   [ "$(convert "$case_dir/shown.png" -crop 300x768+724+0 -format "%[fx:maxima]" info:)" = 0 ] &&
   [ "$(convert "$case_dir/shown.png" -format "%[fx:maxima]" info:)" != 0 ]'

new_case closed_stderr
mkdir "$case_dir/dump.bmp"
(cd "$case_dir" && exec timeout 30 "$prog" 2>&-) &
pid=$!
sleep 1.5
press_mouse 0.3
wait "$pid"
rc=$?
expect "with stderr closed, a failure after the display opened ends with status 1, no hang" \
  '[ "$rc" = 1 ]'

new_case display_lost
run_and_press 1 stop_xvfb
expect "losing the X server mid-run: one line, status 1, nothing left behind" \
  '[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: lost the X display" ] &&
   [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]'
start_xvfb 1024x768x24 || exit 1

# Displays: larger screens and 16 bits show the writing as it is; smaller screens cut it off
# and 8 or 15 bits show it in the wrong colours, so those are refused.
stop_xvfb
start_xvfb 1280x1024x24 -wr || exit 1  # a white desktop, which a full screen would cover in black
new_case windowed
opts=(--windowed)
run_and_press 1.5
expect "--windowed on 1280x1024: a 1024x768 window, pressed inside, a whole dump.bmp" \
  '[ "$rc" = 0 ] && whole_dump "$case_dir"'
new_case windowed_close
opts=(--windowed)
run_and_press 1.5 measure_and_close
opts=()
expect "--windowed: a window of 1024x768, the desktop beside it left showing" \
  'grep -q "Geometry: 1024x768" "$case_dir/geometry" &&
   [ "$(convert "$case_dir/desktop.png" -crop 256x1024+1024+0 -format "%[fx:minima]" info:)" = 1 ]'
expect "--windowed: the close button ends it like Escape" \
  '[ "$rc" = 0 ] && [ "$(left_in "$case_dir")" = "ball4.bmp desktop.png err geometry out " ]'
stop_xvfb
for screen in 1280x1024x24 1024x768x16; do
  start_xvfb "$screen" || exit 1
  new_case "display_$screen"
  run_and_press 2
  expect "a $screen display runs and stops on a press" '[ "$rc" = 0 ] && [ -s "$case_dir/dump.bmp" ]'
  stop_xvfb
done
for screen in 800x600x24 1024x700x24 1024x768x8 1024x768x15; do
  start_xvfb "$screen" || exit 1
  new_case "display_$screen"
  run_refused
  expect "a $screen display is refused with a message" \
    '[ "$rc" = 1 ] && grep -q "cannot open a 1024x768 full screen" "$case_dir/err"'
  stop_xvfb
done

new_case no_display
unset DISPLAY
run_refused
expect "no DISPLAY gives a message and status 1" '[ "$rc" = 1 ] && grep -q "no display" "$case_dir/err"'
run_refused --version
expect "--version needs no display" '[ "$rc" = 0 ] && [ ! -s "$case_dir/err" ] && grep -q "^inkstrip " "$case_dir/out"'
run_refused --windowed --pace 0
expect "a bad command line: status 2, the problem and the usage, nothing on stdout or on disk" \
  '[ "$rc" = 2 ] && [ ! -s "$case_dir/out" ] && [ "$(wc -l <"$case_dir/err")" = 2 ] &&
   [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]'

new_case display_nowhere
export DISPLAY=:4999
run_refused
expect "a DISPLAY with no server behind it gives a message and status 1" \
  '[ "$rc" = 1 ] && grep -q "cannot start" "$case_dir/err"'

# Installed, then moved elsewhere, and run from an empty directory: the sprite is found from
# the program's own place.
start_xvfb 1024x768x24 || exit 1
cmake --install "$(dirname "$prog")" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/moved"
prog="$work/moved/bin/inkstrip"
case_dir="$work/empty"
mkdir "$case_dir"
run_and_press 1.5
expect "the installed tree holds the program, the sprite and the manual page" \
  '[ -x "$work/moved/bin/inkstrip" ] && [ -s "$work/moved/share/inkstrip/ball4.bmp" ] &&
   [ -s "$work/moved/share/man/man6/inkstrip.6" ]'
expect "a moved install tree runs from an empty directory and saves dump.bmp there" \
  '[ "$rc" = 0 ] && whole_dump "$case_dir" && [ "$(left_in "$case_dir")" = "dump.bmp err out " ]'
rm "$work/moved/share/inkstrip/ball4.bmp"
case_dir="$work/nowhere"
mkdir "$case_dir"
run_refused
expect "with no sprite anywhere, the message says where it looked" \
  '[ "$rc" = 1 ] && grep -qF "cannot find ball4.bmp: looked in the working directory, $work/moved/share/inkstrip, $work/moved/bin" "$case_dir/err"'
stop_xvfb

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
