#!/usr/bin/env bash
# End-to-end: the real program on a private X server, pressed with the real mouse, tapped, sent
# Escape and closed; its options; its start-up, display, screenshot and signal faults; losing
# the X server; and the installed tree, moved elsewhere.
# Usage: e2e.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow path/to/dumpmatch
#   path/to/libraise_early.so
set -u
prog=$(realpath "$1")
samples=$(realpath "$2")
closewindow=$(realpath "$3")
dumpmatch=$(realpath "$4")
raise_early=$(realpath "$5")
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
# Judges the condition just tested: judge "what it shows" after a command or a list of them.
judge() { if [ $? = 0 ]; then ok "$1"; else bad "$1"; fi; }

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
  running=$pid
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
  xprop -id "$(xdotool search --name '^inkstrip$' | head -1)" WM_CLASS _NET_WM_NAME _NET_WM_PID \
    >"$case_dir/properties"
  import -window root "$case_dir/desktop.png"
  "$closewindow" inkstrip
}

# Runs the program where it is expected to refuse to start or end at once; never presses.
run_refused() {
  (cd "$case_dir" && exec timeout -k 5 20 "$prog" "$@" >out 2>err)
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

whole_dump() { [ "$(stat -c %s "$1/dump.bmp" 2>/dev/null)" = "$DUMP_BYTES" ]; }
# The screenshot is, to the pixel, the memory screen of the default run before some curve.
exact_dump() { "$dumpmatch" "$ball" "$1/dump.bmp" >/dev/null; }
left_in() { ls -A "$1" | sort | tr "\n" " "; }
same_pixels() { [ "$(convert "$1" rgb:- | md5sum)" = "$(convert "$2" rgb:- | md5sum)" ]; }

start_xvfb 1024x768x24 || exit 1

new_case press
run_and_press 2
[ "$rc" = 0 ] && [ ! -s "$case_dir/err" ]
judge "a press ends the program with status 0 and says nothing"
whole_dump "$case_dir" && exact_dump "$case_dir"
judge "dump.bmp is a whole BMP of exactly the screen before a curve of the default run"
[ "$(left_in "$case_dir")" = "ball4.bmp dump.bmp err out " ]
judge "nothing else is left in the working directory"

new_case dump_is_a_directory
mkdir "$case_dir/dump.bmp"
run_and_press 2
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot write dump.bmp: Is a directory" ] &&
  [ -d "$case_dir/dump.bmp" ]
judge "an unwritable dump.bmp stops the program with status 1, says why, leaves the directory"

new_case no_ball
ln -sf missing.bmp "$case_dir/ball4.bmp"
run_refused
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot use ball4.bmp: No such file or directory" ]
judge "a missing ball4.bmp is named, status 1"

new_case ball_not_bmp
echo "this is a line of text, not a picture of a ball" >"$case_dir/ball4.bmp"
run_refused
[ "$rc" = 1 ] && grep -q "ball4.bmp: not a BMP image" "$case_dir/err"
judge "a ball4.bmp that is not a BMP is named, status 1"

new_case all_mask_ball
cp "$work/samples/all-mask.bmp" "$case_dir/ball4.bmp"
run_refused
[ "$rc" = 1 ] && grep -q "every pixel is the mask colour" "$case_dir/err"
judge "a ball4.bmp with nothing but the mask colour is refused"

# Each of these crashed the library's loader, or made it allocate gigabytes or read garbage.
for bad in rle8-run255-w16 rle4-literal255-w16 rle8-skip-below rle8-no-end \
  wrap-65536x65536-24bit wrap-32768x32768-32bit height-minus-2p31 claims-20000x20000 depth7; do
  new_case "bad_$bad"
  cp "$work/samples/bad/$bad.bmp" "$case_dir/ball4.bmp"
  run_refused
  [ "$rc" = 1 ] && grep -q "cannot use ball4.bmp" "$case_dir/err"
  judge "hostile sprite $bad: refused with a message, no crash"
done

new_case link_at_dump
echo "not to be overwritten" >"$case_dir/victim"
ln -s victim "$case_dir/dump.bmp"
run_and_press 2
[ "$rc" = 0 ] && [ "$(cat "$case_dir/victim")" = "not to be overwritten" ] &&
  [ ! -L "$case_dir/dump.bmp" ] && whole_dump "$case_dir"
judge "a link at dump.bmp is replaced, never written through"

# Root may write anywhere, so the program is run as nobody; only root can switch to nobody.
if [ "$(id -u)" = 0 ]; then
  new_case read_only_directory
  echo "an older screenshot" >"$case_dir/dump.bmp"
  chmod 555 "$case_dir"
  as_user=65534
  run_and_press 2
  as_user=""
  [ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot write dump.bmp: cannot make a new file in the directory $case_dir (Permission denied)" ] &&
    [ "$(cat "$case_dir/dump.bmp")" = "an older screenshot" ]
  judge "a read-only directory stops with a message and status 1, the older dump.bmp left as it was"
  chmod 755 "$case_dir"
else
  echo "skipped: read-only directory (needs root to run the program as another user)"
fi

new_case full_disk
if mount -t tmpfs -o size=1m tmpfs "$case_dir" 2>/dev/null; then
  mounted=$case_dir
  cp "$ball" "$case_dir/"
  echo "an older screenshot" >"$case_dir/dump.bmp"
  run_and_press 2
  [ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot write dump.bmp: No space left on device" ] &&
    [ "$(cat "$case_dir/dump.bmp")" = "an older screenshot" ] &&
    [ "$(left_in "$case_dir")" = "ball4.bmp dump.bmp err out " ]
  judge "a full disk stops with a message and status 1, the older dump.bmp whole, nothing else behind"
  umount "$case_dir"
  mounted=""
else
  echo "skipped: full disk (cannot mount a tmpfs here)"
fi

for sig in INT TERM HUP QUIT; do
  new_case "signal_$sig"
  run_and_signal "$sig"
  [ "$rc" = $((128 + $(kill -l "$sig"))) ] && [ "$took" -le 5 ] && [ ! -s "$case_dir/err" ] &&
    [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
  judge "SIG$sig while it writes: ends promptly by that signal, no core dump"
done

# A tap is a press and a release about a millisecond apart, well inside one curve; any button.
for n in 1 2 3 4 5; do
  new_case "tap_$n"
  run_and_press "1.$n" "xdotool click $(((n - 1) % 3 + 1))"
  [ "$rc" = 0 ] && whole_dump "$case_dir" && exact_dump "$case_dir"
  judge "tap $n (button $(((n - 1) % 3 + 1))): noticed, status 0, an exact dump.bmp"
done

# The user's own words, a PNG of exactly the pixels the BMP would have, and another pen.
new_case text
opts=(--text "Dear Ada,  thank you!" --output shot.png)
run_and_press 3
opts=()
[ "$rc" = 0 ] && [ ! -s "$case_dir/err" ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out shot.png " ] &&
  [ "$(convert "$case_dir/shot.png" -format "%[fx:mean]" info:)" != 0 ]
judge "--text with --output shot.png: a press saves the words as a PNG and nothing else"

new_case png_output
opts=(--output Shot.PNG)
run_and_press 2
opts=()
convert "$case_dir/Shot.PNG" BMP3:"$case_dir/dump.bmp" && [ "$rc" = 0 ] && exact_dump "$case_dir"
judge "--output Shot.PNG: the exact pixels of the default run"

new_case other_pen
convert -size 6x6 xc:red BMP3:"$case_dir/red.bmp"
opts=(--sprite red.bmp --output pen.bmp)
run_and_press 2
opts=()
[ "$rc" = 0 ] && [ "$(convert "$case_dir/pen.bmp" -unique-colors -format "%w" info:)" = 2 ] &&
  [ "$(convert "$case_dir/pen.bmp" -format "%[fx:maxima.r]" info:)" = 1 ]
judge "--sprite red.bmp: the writing is drawn with the red pen alone"

new_case escape
run_and_press 1 escape_key
[ "$rc" = 0 ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out " ] && [ ! -s "$case_dir/err" ]
judge "Escape ends with status 0 and saves nothing"

# At one curve every two seconds, a second into the run the screen holds exactly the first
# curve; a tap then gives that very screen.
new_case paced
opts=(--pace 0.5)
run_and_press 1 shoot_and_tap
opts=()
[ "$rc" = 0 ] && whole_dump "$case_dir" && same_pixels "$case_dir/dump.bmp" "$case_dir/shown.png" &&
  [ "$(convert "$case_dir/shown.png" -crop 300x768+724+0 -format "%[fx:maxima]" info:)" = 0 ] &&
  [ "$(convert "$case_dir/shown.png" -format "%[fx:maxima]" info:)" != 0 ]
judge "--pace 0.5: one curve in the first second, and a tap saves exactly what was shown"

new_case closed_stderr
mkdir "$case_dir/dump.bmp"
(cd "$case_dir" && exec timeout -k 5 30 "$prog" 2>&-) &
pid=$!
sleep 1.5
press_mouse 0.3
wait "$pid"
rc=$?
[ "$rc" = 1 ]
judge "with stderr closed, a failure after the display opened ends with status 1, no hang"

new_case display_lost
run_and_press 1 stop_xvfb
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: lost the X display" ] &&
  [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
judge "losing the X server mid-run: one line, status 1, nothing left behind"
start_xvfb 1024x768x24 || exit 1

# Displays: larger screens and 16 bits show the writing as it is; smaller screens cut it off
# and 8 or 15 bits show it in the wrong colours, so those are refused.
stop_xvfb
start_xvfb 1280x1024x24 -wr || exit 1  # a white desktop, which a full screen would cover in black
new_case windowed
opts=(--windowed)
run_and_press 1.5
[ "$rc" = 0 ] && whole_dump "$case_dir" && exact_dump "$case_dir"
judge "--windowed on 1280x1024: a 1024x768 window, pressed inside, an exact dump.bmp"
new_case windowed_close
opts=(--windowed)
run_and_press 1.5 measure_and_close
opts=()
grep -q "Geometry: 1024x768" "$case_dir/geometry" &&
  [ "$(convert "$case_dir/desktop.png" -crop 256x1024+1024+0 -format "%[fx:minima]" info:)" = 1 ]
judge "--windowed: a window of 1024x768, the desktop beside it left showing"
[ "$(cat "$case_dir/properties")" = "WM_CLASS(STRING) = \"inkstrip\", \"inkstrip\"
_NET_WM_NAME(UTF8_STRING) = \"inkstrip\"
_NET_WM_PID(CARDINAL) = $running" ]
judge "--windowed: the window names itself (WM_CLASS, _NET_WM_NAME, _NET_WM_PID)"
[ "$rc" = 0 ] && [ "$(left_in "$case_dir")" = "ball4.bmp desktop.png err geometry out properties " ]
judge "--windowed: the close button ends it like Escape"
stop_xvfb
for screen in 1280x1024x24 1024x768x16; do
  start_xvfb "$screen" || exit 1
  new_case "display_$screen"
  run_and_press 2
  [ "$rc" = 0 ] && exact_dump "$case_dir"
  judge "a $screen display runs and stops on a press with an exact dump.bmp"
  stop_xvfb
done
for screen in 800x600x24 1024x700x24 1024x768x8 1024x768x15; do
  start_xvfb "$screen" || exit 1
  new_case "display_$screen"
  run_refused
  [ "$rc" = 1 ] && grep -q "cannot open a 1024x768 full screen" "$case_dir/err"
  judge "a $screen display is refused with a message"
  stop_xvfb
done

new_case no_display
unset DISPLAY
run_refused
[ "$rc" = 1 ] && grep -q "no display" "$case_dir/err"
judge "no DISPLAY gives a message and status 1"
run_refused --version
[ "$rc" = 0 ] && [ ! -s "$case_dir/err" ] && grep -q "^inkstrip " "$case_dir/out"
judge "--version needs no display"
(cd "$case_dir" && exec "$prog" --version >/dev/full 2>err)
rc=$?
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: write error: No space left on device" ]
judge "--version that cannot be written: one line and status 1"
run_refused --windowed --pace 0
[ "$rc" = 2 ] && [ ! -s "$case_dir/out" ] && [ "$(sed -n 2p "$case_dir/err" | cut -c1-16)" = "usage: inkstrip " ] &&
  [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
judge "a bad command line: status 2, the problem and the usage, nothing on stdout or on disk"

# Everything the program reads or writes is checked before the display would open: with no
# display at all, each of these is refused for its own reason.
cp "$work/samples/bad/depth7.bmp" "$case_dir/odd.bmp"
for refused in "1 cannot use missing.bmp: No such file or directory|--sprite missing.bmp" \
  "1 cannot use odd.bmp: has 7 bits per pixel|--sprite odd.bmp" \
  "1 cannot write nowhere/shot.png: cannot make a new file in the directory nowhere/|--output nowhere/shot.png" \
  "1 cannot write nowhere/pass.gif: cannot make a new file|--record nowhere/pass.gif" \
  "2 --output takes a file name ending in .bmp or .png|--output shot.jpg" \
  "2 --record takes a file name ending in .gif|--record pass.png" \
  "2 --text cannot write 'é' (U+00E9)|--text café"; do
  IFS='|' read -r expected words <<<"$refused"
  read -ra opts <<<"$words"
  run_refused "${opts[@]}"
  [ "$rc" = "${expected%% *}" ] && head -1 "$case_dir/err" | grep -qF "inkstrip: ${expected#* }" &&
    [ "$(left_in "$case_dir")" = "ball4.bmp err odd.bmp out " ]
  judge "$words: refused with status ${expected%% *} before any display, for its own reason"
done
opts=()

# A pass recorded with no display at all, and with a display that is not there.
for display in unset :4999; do
  new_case "record_display_$display"
  if [ "$display" = unset ]; then unset DISPLAY; else export DISPLAY=$display; fi
  run_refused --record pass.gif
  [ "$rc" = 0 ] && [ ! -s "$case_dir/err" ] && grep -q "recorded pass.gif: 45 frames, 1024x768" "$case_dir/out" &&
    [ "$(identify "$case_dir/pass.gif" | wc -l)" = 45 ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out pass.gif " ]
  judge "--record with DISPLAY $display: 45 frames, status 0, nothing else left"
done
unset DISPLAY

new_case record_text
run_refused --record words.gif --half --text "Ink, on a strip" --pace 10000
[ "$rc" = 0 ] && grep -q "recorded words.gif: [0-9]* frames, 512x384" "$case_dir/out" &&
  [ "$(identify -format "%T\n" "$case_dir/words.gif" | sort -un | tr "\n" " ")" = "2 100 " ]
judge "--record --half --text: a small GIF of the words, its frames timed by --pace"

# A long recording stopped by a signal: ended by it, and no unfinished file left.
new_case record_stopped
set -m
(cd "$case_dir" && exec "$prog" --record long.gif --text "$(printf 'a long line %.0s' {1..200})" >out 2>err) &
pid=$!
set +m
sleep 1
kill -TERM "$pid"
wait "$pid"
rc=$?
[ "$rc" = 143 ] && [ ! -s "$case_dir/err" ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
judge "a signal during a recording ends it by the signal and leaves no file behind"

# A SIGQUIT raised while the libraries initialise, before main: held back until the program's
# own handler takes it, so it ends the program by that signal without a core file.
new_case signal_before_main
(cd "$case_dir" && ulimit -c unlimited && INKSTRIP_RAISE_EARLY=3 LD_PRELOAD="$raise_early" \
  ASAN_OPTIONS=verify_asan_link_order=0 exec "$prog" >out 2>err)
rc=$?
[ "$rc" = 131 ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
judge "SIGQUIT while the libraries start, before main: ends by it, no core file"

new_case display_nowhere
export DISPLAY=:4999
run_refused
[ "$rc" = 1 ] && grep -q "cannot start" "$case_dir/err"
judge "a DISPLAY with no server behind it gives a message and status 1"

# Installed, then moved elsewhere, and run from an empty directory: the sprite is found from
# the program's own place.
start_xvfb 1024x768x24 || exit 1
cmake --install "$(dirname "$prog")" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/moved"
prog="$work/moved/bin/inkstrip"
case_dir="$work/empty"
mkdir "$case_dir"
run_and_press 1.5
[ -x "$work/moved/bin/inkstrip" ] && [ -s "$work/moved/share/inkstrip/ball4.bmp" ] &&
  [ -s "$work/moved/share/man/man6/inkstrip.6.gz" ]
judge "the installed tree holds the program, the sprite and the manual page"
[ "$rc" = 0 ] && whole_dump "$case_dir" && [ "$(left_in "$case_dir")" = "dump.bmp err out " ]
judge "a moved install tree runs from an empty directory and saves dump.bmp there"
rm "$work/moved/share/inkstrip/ball4.bmp"
case_dir="$work/nowhere"
mkdir "$case_dir"
run_refused
[ "$rc" = 1 ] && grep -qF "cannot find ball4.bmp: looked in the working directory, $work/moved/share/inkstrip, $work/moved/bin" "$case_dir/err"
judge "with no sprite anywhere, the message says where it looked"
stop_xvfb

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
