#!/usr/bin/env bash
# End-to-end screenshots: a press or a tap of any button saves exactly the screen, as BMP or PNG,
# with the user's words or pen; Escape saves nothing; and a dump.bmp that cannot be written
# (a directory, a link, a read-only directory, a full disk, no stderr) is a clear failure.
# Usage: screenshot.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow path/to/dumpmatch
#   path/to/libraise_early.so
. "$(dirname "$(realpath "$0")")/common.sh"
start_display 1024x768x24

tap() { xdotool click 1; }
escape_key() { xdotool key Escape; }
shoot_and_tap() {
  import -window root "$case_dir/shown.png"
  tap
}

new_case press
run_and_press 2 press
[ "$rc" = 0 ] && [ ! -s "$case_dir/err" ]
judge "a press ends the program with status 0 and says nothing"
whole_dump "$case_dir" && exact_dump "$case_dir"
judge "dump.bmp is a whole BMP of exactly the screen before a curve of the default run"
[ "$(left_in "$case_dir")" = "ball4.bmp dump.bmp err out " ]
judge "nothing else is left in the working directory"

new_case dump_is_a_directory
setup "make a directory at dump.bmp" mkdir "$case_dir/dump.bmp"
run_and_press 2 press
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot write 'dump.bmp': Is a directory" ] &&
  [ -d "$case_dir/dump.bmp" ]
judge "an unwritable dump.bmp stops the program with status 1, says why, leaves the directory"

new_case link_at_dump
echo "not to be overwritten" >"$case_dir/victim"
setup "link dump.bmp to a victim" ln -s victim "$case_dir/dump.bmp"
run_and_press 2 press
[ "$rc" = 0 ] && [ "$(cat "$case_dir/victim")" = "not to be overwritten" ] &&
  [ ! -L "$case_dir/dump.bmp" ] && whole_dump "$case_dir"
judge "a link at dump.bmp is replaced, never written through"

# Root may write anywhere, so the program is run as nobody; only root can switch to nobody.
if [ "$(id -u)" = 0 ]; then
  new_case read_only_directory
  setup "copy the program where nobody can run it" cp "$prog" "$work/inkstrip"
  echo "an older screenshot" >"$case_dir/dump.bmp"
  chmod 555 "$case_dir"
  as_user=65534 run_and_press 2 press
  [ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot write 'dump.bmp': cannot make a new file in the directory '$case_dir' (Permission denied)" ] &&
    [ "$(cat "$case_dir/dump.bmp")" = "an older screenshot" ]
  judge "a read-only directory stops with a message and status 1, the older dump.bmp left as it was"
  chmod 755 "$case_dir"
else
  echo "skipped: read-only directory (needs root to run the program as another user)"
fi

new_case full_disk
if mount -t tmpfs -o size=1m tmpfs "$case_dir" 2>/dev/null; then
  mounted=$case_dir
  setup "copy the sprite onto the small disk" cp "$ball" "$case_dir/"
  echo "an older screenshot" >"$case_dir/dump.bmp"
  run_and_press 2 press
  [ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot write 'dump.bmp': No space left on device" ] &&
    [ "$(cat "$case_dir/dump.bmp")" = "an older screenshot" ] &&
    [ "$(left_in "$case_dir")" = "ball4.bmp dump.bmp err out " ]
  judge "a full disk stops with a message and status 1, the older dump.bmp whole, nothing else behind"
  umount "$case_dir"
  mounted=""
else
  echo "skipped: full disk (cannot mount a tmpfs here)"
fi

# A tap is a press and a release about a millisecond apart, well inside one curve; any button.
for n in 1 2 3 4 5; do
  new_case "tap_$n"
  run_and_press "1.$n" "xdotool click $(((n - 1) % 3 + 1))"
  [ "$rc" = 0 ] && whole_dump "$case_dir" && exact_dump "$case_dir"
  judge "tap $n (button $(((n - 1) % 3 + 1))): noticed, status 0, an exact dump.bmp"
done

# The user's own words, a PNG of exactly the pixels the BMP would have, and another pen.
new_case text
run_and_press 3 press --text "Dear Ada,  thank you!" --output shot.png
[ "$rc" = 0 ] && [ ! -s "$case_dir/err" ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out shot.png " ] &&
  [ "$(convert "$case_dir/shot.png" -format "%[fx:mean]" info:)" != 0 ]
judge "--text with --output shot.png: a press saves the words as a PNG and nothing else"

new_case png_output
run_and_press 2 press --output Shot.PNG
convert "$case_dir/Shot.PNG" BMP3:"$case_dir/dump.bmp" && [ "$rc" = 0 ] && exact_dump "$case_dir"
judge "--output Shot.PNG: the exact pixels of the default run"

new_case other_pen
setup "make a red pen" convert -size 6x6 xc:red BMP3:"$case_dir/red.bmp"
run_and_press 2 press --sprite red.bmp --output pen.bmp
[ "$rc" = 0 ] && [ "$(convert "$case_dir/pen.bmp" -unique-colors -format "%w" info:)" = 2 ] &&
  [ "$(convert "$case_dir/pen.bmp" -format "%[fx:maxima.r]" info:)" = 1 ]
judge "--sprite red.bmp: the writing is drawn with the red pen alone"

new_case escape
run_and_press 1 escape_key
[ "$rc" = 0 ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out " ] && [ ! -s "$case_dir/err" ]
judge "Escape ends with status 0 and saves nothing"

# At one curve every two seconds, its stamps spread over them, a second into the run the screen
# holds part of the first curve and nothing past it; a tap then has the rest of that curve drawn
# at once and saves exactly the screen before the second.
new_case paced
run_and_press 1 shoot_and_tap --pace 0.5
[ "$rc" = 0 ] && whole_dump "$case_dir" &&
  [ "$("$dumpmatch" "$ball" "$case_dir/dump.bmp")" = \
    "dumpmatch: the screen before curve 2, first seen in pass 1" ] &&
  ! same_pixels "$case_dir/dump.bmp" "$case_dir/shown.png" &&
  [ "$(convert "$case_dir/shown.png" -crop 300x768+724+0 -format "%[fx:maxima]" info:)" = 0 ] &&
  [ "$(convert "$case_dir/shown.png" -format "%[fx:maxima]" info:)" != 0 ]
judge "--pace 0.5: part of the first curve in the first second, and a tap saves it whole"

new_case closed_stderr
setup "make a directory at dump.bmp" mkdir "$case_dir/dump.bmp"
(cd "$case_dir" && exec timeout -k 5 30 "$prog" 2>&-) &
pid=$!
sleep 1.5
press_mouse 0.3
wait "$pid"
rc=$?
[ "$rc" = 1 ]
judge "with stderr closed, a failure after the display opened ends with status 1, no hang"

finish
