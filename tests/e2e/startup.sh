#!/usr/bin/env bash
# End-to-end start-up faults: sprites missing, hostile or empty; no display, one with no server
# and unsuitable ones; bad command lines; outputs in directories that are not there.
# Usage: startup.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow path/to/dumpmatch
#   path/to/libraise_early.so
. "$(dirname "$(realpath "$0")")/common.sh"
make_samples
start_display 1024x768x24

new_case no_ball
setup "link the sprite to nothing" ln -sf missing.bmp "$case_dir/ball4.bmp"
run_refused
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot use 'ball4.bmp': No such file or directory" ]
judge "a missing ball4.bmp is named, status 1"

new_case ball_not_bmp
echo "this is a line of text, not a picture of a ball" >"$case_dir/ball4.bmp"
run_refused
[ "$rc" = 1 ] && grep -q "ball4.bmp': not a BMP image" "$case_dir/err"
judge "a ball4.bmp that is not a BMP is named, status 1"

new_case all_mask_ball
setup "copy the all-mask sample" cp "$work/samples/all-mask.bmp" "$case_dir/ball4.bmp"
run_refused
[ "$rc" = 1 ] && grep -q "every pixel is the mask colour" "$case_dir/err"
judge "a ball4.bmp with nothing but the mask colour is refused"

# Each of these crashed the library's loader, or made it allocate gigabytes or read garbage.
for bad in rle8-run255-w16 rle4-literal255-w16 rle8-skip-below rle8-no-end \
  wrap-65536x65536-24bit wrap-32768x32768-32bit height-minus-2p31 claims-20000x20000 depth7; do
  new_case "bad_$bad"
  setup "copy the sample $bad" cp "$work/samples/bad/$bad.bmp" "$case_dir/ball4.bmp"
  run_refused
  [ "$rc" = 1 ] && grep -q "cannot use 'ball4.bmp'" "$case_dir/err"
  judge "hostile sprite $bad: refused with a message, no crash"
done

# A run that could never be pressed must not start.
new_case no_mouse
(cd "$case_dir" && INKSTRIP_NO_MOUSE=1 LD_PRELOAD="$raise_early" ASAN_OPTIONS=verify_asan_link_order=0 \
  exec timeout -k 5 20 "$prog" >out 2>err)
rc=$?
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot use the mouse: no mouse driver found" ]
judge "a mouse that will not install: one line, status 1"
stop_xvfb

# Smaller screens cut the writing off, and 8 or 15 bits show it in the wrong colours.
for screen in 800x600x24 1024x700x24 1024x768x8 1024x768x15; do
  start_display "$screen"
  new_case "display_$screen"
  run_refused
  [ "$rc" = 1 ] && grep -q "cannot open a 1024x768 full screen" "$case_dir/err"
  judge "a $screen display is refused with a message"
  stop_xvfb
done

new_case no_display
run_refused_on unset
[ "$rc" = 1 ] && grep -q "no display" "$case_dir/err"
judge "no DISPLAY gives a message and status 1"
run_refused_on unset --version
[ "$rc" = 0 ] && [ ! -s "$case_dir/err" ] && grep -q "^inkstrip " "$case_dir/out"
judge "--version needs no display"
(unset DISPLAY && cd "$case_dir" && exec "$prog" --version >/dev/full 2>err)
rc=$?
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: write error: No space left on device" ]
judge "--version that cannot be written: one line and status 1"
run_refused_on unset --windowed --pace 0
[ "$rc" = 2 ] && [ ! -s "$case_dir/out" ] && [ "$(sed -n 2p "$case_dir/err" | cut -c1-16)" = "usage: inkstrip " ] &&
  [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
judge "a bad command line: status 2, the problem and the usage, nothing on stdout or on disk"

# Everything the program reads or writes is checked before the display would open: with no
# display at all, each of these is refused for its own reason.
setup "copy the 7-bit sample" cp "$work/samples/bad/depth7.bmp" "$case_dir/odd.bmp"
for refused in "1 cannot use 'missing.bmp': No such file or directory|--sprite missing.bmp" \
  "1 cannot use 'odd.bmp': has 7 bits per pixel|--sprite odd.bmp" \
  "1 cannot write 'nowhere/shot.png': cannot make a new file in the directory 'nowhere/'|--output nowhere/shot.png" \
  "1 cannot write 'nowhere/pass.gif': cannot make a new file|--record nowhere/pass.gif" \
  "2 --output takes a file name ending in .bmp or .png|--output shot.jpg" \
  "2 --record takes a file name ending in .gif|--record pass.png" \
  "2 --text cannot write '中' (U+4E2D)|--text 中文"; do
  IFS='|' read -r expected words <<<"$refused"
  read -ra opts <<<"$words"
  run_refused_on unset "${opts[@]}"
  [ "$rc" = "${expected%% *}" ] && head -1 "$case_dir/err" | grep -qF "inkstrip: ${expected#* }" &&
    [ "$(left_in "$case_dir")" = "ball4.bmp err odd.bmp out " ]
  judge "$words: refused with status ${expected%% *} before any display, for its own reason"
done

new_case display_nowhere
run_refused_on :4999
[ "$rc" = 1 ] && grep -q "cannot start" "$case_dir/err"
judge "a DISPLAY with no server behind it gives a message and status 1"

finish
