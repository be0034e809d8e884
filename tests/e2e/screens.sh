#!/usr/bin/env bash
# End-to-end: the scaled screens on a private X server under a window manager: --fit at three
# display sizes, --windowed --fit resized, and --window-id and --root drawing into a window
# another program holds, ended by SIGTERM and by that window's end.
# Usage: screens.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow path/to/dumpmatch
#   path/to/libraise_early.so path/to/givenwindow
. "$(dirname "$(realpath "$0")")/common.sh"
givenwindow=$(program_path "${6:-${INKSTRIP_GIVENWINDOW:-}}")
setup "find givenwindow" test -x "$givenwindow"

wm_pid=""
holder=""
stop_all() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null && wait "$holder" 2>/dev/null
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null && wait "$wm_pid" 2>/dev/null
  holder=""
  wm_pid=""
  stop_xvfb
}
trap 'stop_all; rm -rf "$work"' EXIT

# A display of the given size with openbox managing its windows.
start_desktop() {
  stop_all
  start_display "$1x24"
  openbox >/dev/null 2>&1 &
  wm_pid=$!
  await wm_up
}
# The window manager has said it manages the display (EWMH).
wm_up() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; }

# Starts the program in the case's directory with the given options; sets pid.
start() {
  (cd "$case_dir" && exec "$prog" "$@" >out 2>err) &
  pid=$!
}

# Waits for the program to end (killing it after $wait_limit seconds) and leaves its status in rc.
await_end() {
  if ! wait_for_exit "$pid" "$wait_limit"; then kill -9 "$pid"; fi
  wait "$pid"
  rc=$?
}

# The rectangle of everything not black in an image, as X0 Y0 X1 Y1 (last column and row);
# nothing when all of it is black (the library then gives an empty box at the far corner).
ink_box() {
  convert "$1" -fuzz 8% -format '%@\n' info: 2>/dev/null |
    sed -E 's/([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)/\3 \4 \1 \2/' |
    { read -r x y w h && [ "$w" -gt 0 ] && [ "$h" -gt 0 ] &&
      echo "$x $y $((x + w - 1)) $((y + h - 1))"; }
}

display_size() { xdpyinfo | sed -n 's/^ *dimensions: *\([0-9]*x[0-9]*\) pixels.*/\1/p'; }

# Whether row $1 of a screen shown at $3 pixels high is row $2 of the 1024x768 strip, scaled,
# give or take 40 strip rows: what is shown may be a curve behind the saved screen. The lowest ink
# moves little from curve to curve; unscaled, it would be 56 strip rows away or more.
scaled_row() {
  [[ $1 =~ ^[0-9]+$ && $2 =~ ^[0-9]+$ ]] || return 1  # no ink, or no screenshot
  local d=$(($1 - $2 * $3 / 768)) give=$((40 * $3 / 768))
  [ "$d" -le "$give" ] && [ "$d" -ge "-$give" ]
}

# Waits up to $wait_limit seconds for ink to show in window $1 (a large screen takes a while to
# come up under load), leaving the screenshot with it in first.png.
inked() {
  import -window "$1" "$case_dir/first.png" &&
    [ "$(convert "$case_dir/first.png" -format '%[fx:maxima]' info:)" != 0 ]
}
await_ink() { await inked "$1"; }
# Waits for the program's own window and for ink in it; sets win.
await_window() {
  await eval 'win=$(xdotool search --name "^inkstrip$" | head -1) && [ -n "$win" ]' &&
    await_ink "$win"
}

# Looks at window $1 into last.ppm; succeeds when it shows the same as the look before: with the
# program held still, the server has drawn all it was sent (a large screen takes a while).
settled() {
  import -window "$1" "$case_dir/look.ppm" || return 1
  cmp -s "$case_dir/look.ppm" "$case_dir/last.ppm"
  local same=$?
  mv "$case_dir/look.ppm" "$case_dir/last.ppm"
  return "$same"
}

# Looks at the screen with the program held still and presses the button while it is, then lets
# it go: paced, the press is taken at the end of the curve that was being drawn.
shoot_then_press() {
  await_ink "$1"
  sleep 2
  kill -STOP "$pid"
  rm -f "$case_dir/last.ppm"
  await settled "$1"
  convert "$case_dir/last.ppm" "$case_dir/shown.png"
  xdotool mousedown 1
  kill -CONT "$pid"
  sleep 0.3
  xdotool mouseup 1
  await_end
}

# --fit on a WxH display: the writing is scaled into the letterbox [L, R) over the whole height
# (its lowest ink where the saved strip's falls, scaled); the display keeps its size;
# a press saves the exact 1024x768 screen.
fit_case() {
  local size=$1 left=$2 right=$3 pace=$4 high=${1#*x}
  start_desktop "$size"
  new_case "fit_$size"
  start --fit --pace "$pace"
  await_ink root
  local during
  during=$(display_size)
  shoot_then_press root
  read -r x0 y0 x1 y1 < <(ink_box "$case_dir/shown.png")
  read -r _ d0 _ d1 < <(ink_box "$case_dir/dump.bmp")
  [ "$x0" -ge "$left" ] && [ "$x1" -lt "$right" ] && scaled_row "$y1" "$d1" "$high"
  judge "--fit on $size writes scaled in [$left, $right) (ink $x0,$y0-$x1,$y1; saved rows $d0-$d1)"
  [ "$during" = "$size" ] && [ "$(display_size)" = "$size" ]
  judge "--fit on $size keeps the display's mode ($during)"
  [ "$rc" = 0 ] && [ ! -s "$case_dir/err" ] && exact_dump "$case_dir"
  judge "--fit on $size: a press saves exactly the 1024x768 screen of the default run"
}

# With no graphics card a 4K screen is shown less often than a curve at 20 a second is written.
fit_case 1920x1080 240 1680 20
fit_case 3840x2160 480 3360 2
fit_case 1280x720 160 1120 20

# Escape ends a --fit run as it ends the default one: status 0, nothing saved.
new_case fit_escape
start --fit
await_ink root
xdotool key Escape
await_end
[ "$rc" = 0 ] && [ ! -e "$case_dir/dump.bmp" ] && [ ! -s "$case_dir/err" ]
judge "Escape ends --fit with status 0 and saves nothing"

# --windowed --fit: a 1024x768 window to begin with, resized to 640x480, shows the strip scaled
# to it: its lowest ink is the saved strip's, scaled by 480/768.
start_desktop 1280x1024
new_case windowed_fit
start --windowed --fit --pace 20
await_window
first=$(xdotool getwindowgeometry "$win" | sed -n 's/ *Geometry: //p')
xdotool windowsize "$win" 640 480
sleep 1.5
shoot_then_press "$win"
read -r _ wy0 wx1 wy1 < <(ink_box "$case_dir/shown.png")
read -r _ dy0 _ dy1 < <(ink_box "$case_dir/dump.bmp")
[ "$first" = 1024x768 ] && [ "$(identify -format %wx%h "$case_dir/shown.png")" = 640x480 ] &&
  [ "$wx1" -lt 640 ] && scaled_row "$wy1" "$dy1" 480
judge "--windowed --fit opens 1024x768 ($first) and, resized to 640x480, shows the whole strip in it (ink rows $wy0-$wy1, saved $dy0-$dy1)"
[ "$rc" = 0 ] && exact_dump "$case_dir"
judge "--windowed --fit: a press saves exactly the 1024x768 screen"

new_case windowed_fit_close
start --windowed --fit
await_window
"$closewindow" inkstrip
await_end
[ "$rc" = 0 ] && [ ! -e "$case_dir/dump.bmp" ] && [ ! -s "$case_dir/err" ]
judge "the close button ends --windowed --fit with status 0 and saves nothing"

# A window held by another program, as a screensaver's preview is.
hold_window() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null && wait "$holder" 2>/dev/null
  "$givenwindow" "$1" >"$case_dir/window" &
  holder=$!
  await test -s "$case_dir/window"
  window=$(cat "$case_dir/window")
}

new_case window_id_sigterm
hold_window 200x150
start --window-id "$window"
await_ink "$window"
import -window "$window" "$case_dir/shown.png"
xdotool mousemove --window "$window" 100 75 click 1
xdotool windowsize "$window" 400 300
# The writing follows the window: ink past the 200x150 it had.
followed() {
  import -window "$window" "$case_dir/resized.png" &&
    read -r x0 y0 x1 y1 < <(ink_box "$case_dir/resized.png") &&
    [ -n "$x0" ] && { [ "$x1" -ge 200 ] || [ "$y1" -ge 150 ]; }
}
await followed
resized=$?
kill -TERM "$pid"
await_end
read -r x0 y0 x1 y1 < <(ink_box "$case_dir/shown.png")
[ -n "$x0" ] && [ "$x1" -lt 200 ] && [ "$y1" -lt 150 ]
judge "--window-id writes into a 200x150 window of another program (ink $x0,$y0-$x1,$y1)"
read -r x0 y0 x1 y1 < <(ink_box "$case_dir/resized.png")
[ "$resized" = 0 ]
judge "--window-id follows the window resized to 400x300 (ink $x0,$y0-$x1,$y1)"
[ "$rc" = 143 ] && [ ! -e "$case_dir/dump.bmp" ] && [ ! -s "$case_dir/err" ]
judge "--window-id ignores a press, and SIGTERM ends it as the signal does, quietly (status $rc)"

new_case window_id_destroyed
hold_window 320x200
start -window-id "$window" --pace 20
await_ink "$window"
kill -STOP "$pid"
sleep 0.3
kill -CONT "$pid"
sleep 0.5
kill "$holder"
wait "$holder" 2>/dev/null
holder=""
await_end
[ "$rc" = 0 ] || [ "$rc" = 1 ] && [ "$(wc -l <"$case_dir/err")" -le 1 ]
judge "-window-id survives SIGSTOP and SIGCONT, and ends quietly when its window is destroyed (status $rc)"

new_case root_screensaver_window
hold_window 400x300
(export XSCREENSAVER_WINDOW=$window && cd "$case_dir" && exec "$prog" -root >out 2>err) &
pid=$!
await_ink "$window"
import -window "$window" "$case_dir/shown.png"
kill -TERM "$pid"
await_end
read -r x0 y0 x1 y1 < <(ink_box "$case_dir/shown.png")
[ -n "$x0" ] && [ "$rc" = 143 ] && [ ! -s "$case_dir/err" ]
judge "-root writes into the window in \$XSCREENSAVER_WINDOW (ink $x0,$y0-$x1,$y1)"

new_case window_id_missing
(cd "$case_dir" && exec timeout "$wait_limit" "$prog" --window-id 0x7ffffff >out 2>err)
rc=$?
[ "$rc" = 1 ] && [ "$(wc -l <"$case_dir/err")" = 1 ] && grep -q "no such window" "$case_dir/err"
judge "--window-id of a window that does not exist says so in one line, status 1"

# Losing the X server under a scaled screen is the same clear failure as under the default.
stop_all
start_display 1024x768x24
new_case fit_display_lost
start --fit
await_ink root
stop_xvfb
await_end
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: lost the X display" ]
judge "--fit: losing the X server mid-run is one line and status 1"

finish
