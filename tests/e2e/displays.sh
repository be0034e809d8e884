#!/usr/bin/env bash
# End-to-end displays that work: larger screens and 16 bits show the writing as it is, a window
# on a larger desktop names itself and closes like Escape, and losing the X server mid-run is a
# clear failure.
# Usage: displays.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow path/to/dumpmatch
#   path/to/libraise_early.so
. "$(dirname "$(realpath "$0")")/common.sh"

measure_and_close() {
  xdotool search --name '^inkstrip$' getwindowgeometry >"$case_dir/geometry"
  xprop -id "$(xdotool search --name '^inkstrip$' | head -1)" WM_CLASS _NET_WM_NAME _NET_WM_PID \
    >"$case_dir/properties"
  import -window root "$case_dir/desktop.png"
  "$closewindow" inkstrip
}

start_display 1024x768x24
new_case display_lost
run_and_press 1 stop_xvfb
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: lost the X display" ] &&
  [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
judge "losing the X server mid-run: one line, status 1, nothing left behind"

start_display 1280x1024x24 -wr # a white desktop, which a full screen would cover in black
new_case windowed
run_and_press 1.5 press --windowed
[ "$rc" = 0 ] && whole_dump "$case_dir" && exact_dump "$case_dir"
judge "--windowed on 1280x1024: a 1024x768 window, pressed inside, an exact dump.bmp"
new_case windowed_close
run_and_press 1.5 measure_and_close --windowed
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
  start_display "$screen"
  new_case "display_$screen"
  run_and_press 2 press
  [ "$rc" = 0 ] && exact_dump "$case_dir"
  judge "a $screen display runs and stops on a press with an exact dump.bmp"
  stop_xvfb
done

finish
