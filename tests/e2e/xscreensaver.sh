#!/usr/bin/env bash
# End-to-end: inkstrip as a screensaver under XScreenSaver itself, on a 1920x1080 Xvfb. Activated,
# its writing shows on the screen, scaled to it with its shape kept; deactivated, the program is
# gone and has left no file behind. Also a preview: -window-id into a 200x150 window another
# program made shows the writing. XScreenSaver refuses to run as root, so under root it runs as
# the ordinary user inkstrip-test, made if missing.
# Usage: xscreensaver.sh path/to/inkstrip path/to/givenwindow
given=$(realpath -e "${2:-}" 2>/dev/null)
. "$(dirname "$(realpath "$0")")/common.sh" "$1"
. "$e2e_dir/ink.sh"
setup "find givenwindow" test -x "$given"
new_case screensaver

screen_w=1920 screen_h=1080
test_user=inkstrip-test
look_every=0.7  # seconds between the looks at a screen
least_ink=2000  # inked pixels that are the writing on the full screen: a few of its stamps
least_preview_ink=100  # the same in the 200x150 preview

saver_pid=""
given_pid=""
stop_saver() {
  [ -n "$given_pid" ] && kill "$given_pid" 2>/dev/null
  local left="" pid
  if [ -n "$saver_pid" ]; then
    left=$(hacks)
    as_user xscreensaver-command -exit >/dev/null 2>&1
    wait_for_exit "$saver_pid" 5 || kill "$saver_pid" 2>/dev/null
  fi
  for pid in $left; do kill -9 "$pid" 2>/dev/null; done
}
trap 'stop_saver; stop_xvfb; rm -rf "$work"' EXIT

user=$(id -un)
if [ "$(id -u)" = 0 ]; then
  user=$test_user
  id -u "$user" >/dev/null 2>&1 || setup "make the user $user" useradd -m "$user"
fi
home=$work/home
setup "make a home for $user" mkdir "$home"
setup "give it to $user" chown "$user:" "$home"
# XScreenSaver finds the program by its name on the PATH, as it finds its own.
path=$(dirname "$prog"):$PATH
# Runs a command as that user, in its fresh home, on the test's display.
as_user() {
  if [ "$(id -u)" = 0 ]; then
    (cd "$home" && setpriv --reuid="$user" --regid="$(id -g "$user")" --init-groups \
      env -i PATH="$path" HOME="$home" USER="$user" LOGNAME="$user" DISPLAY="$DISPLAY" "$@")
  else
    (cd "$home" && env -i PATH="$path" HOME="$home" USER="$user" DISPLAY="$DISPLAY" "$@")
  fi
}
# The program under this file's XScreenSaver: the user's processes named inkstrip that descend
# from the daemon started here, for other runs of this file beside it have theirs under the
# same user.
hacks() {
  local pid found=1
  for pid in $(pgrep -u "$user" -x inkstrip); do ours "$pid" && echo "$pid" && found=0; done
  return "$found"
}
ours() {
  local pid=$1
  while [ -n "$pid" ] && [ "$pid" -gt 1 ]; do
    [ "$pid" = "$saver_pid" ] && return 0
    pid=$(awk '$1 == "PPid:" { print $2 }' "/proc/$pid/status" 2>/dev/null)
  done
  return 1
}
# The daemon's log, which holds the program's own messages under it too, for a failed check.
show_log() { sed 's/^/  | /' "$work/xscreensaver.log"; }
saver_answers() { as_user xscreensaver-command -time >/dev/null 2>&1; }
no_hacks() { ! hacks >/dev/null; }

start_display "${screen_w}x${screen_h}x24"
cat >"$home/.xscreensaver" <<EOF
mode:		one
selected:	0
programs:	inkstrip --root
timeout:	1:00:00
lock:		False
fade:		False
unfade:		False
splash:		False
dpmsEnabled:	False
EOF
setup "give the settings to $user" chown "$user:" "$home/.xscreensaver"
as_user xscreensaver -no-splash >"$work/xscreensaver.log" 2>&1 &
saver_pid=$!
# The daemon starts slowly when the machine is busy (the memcheck runs beside it under ctest -j).
await saver_answers || show_log
setup "start xscreensaver as $user" saver_answers
touch "$work/before"

setup "xscreensaver-command -activate" as_user xscreensaver-command -activate >/dev/null
await hacks >/dev/null || show_log
hack=$(hacks | head -1)
[ -n "$hack" ]
judge "activated, XScreenSaver starts inkstrip --root"
hack_dir=""
[ -n "$hack" ] && hack_dir=$(readlink "/proc/$hack/cwd")

look_at_root() { import -window root "$1" 2>/dev/null; }
# The first look with ink, then two more while the strip moves on.
activated=$SECONDS
await_ink look_at_root "$wait_limit" "$least_ink" hacks >/dev/null || show_log
inked=$((SECONDS - activated))
for i in 2 3; do
  sleep "$look_every"
  setup "import -window root" look_at_root "$work/shot$i.png"
done
ink_box "$work/first.png" "$work/shot2.png" "$work/shot3.png"
echo "ink on the screen ${inked} s after the program started: $box"
judge_scaled_writing "$screen_w" "$screen_h" "the writing shows on the screen"

setup "xscreensaver-command -deactivate" as_user xscreensaver-command -deactivate >/dev/null
await no_hacks || show_log
[ -n "$hack" ] && no_hacks
judge "deactivated, no inkstrip process is left"
# What the user made since activation, in the program's working directory and in /tmp; the
# settings file the daemon itself keeps is not the program's, nor are the homes that other runs
# of this file beside it give the same user.
[ -n "$hack_dir" ] && new=$( (
  find "$hack_dir" -newer "$work/before" ! -path "$home" ! -name '.xscreensaver*'
  find /tmp -maxdepth 3 -user "$user" -newer "$work/before" ! -path '/tmp/inkstrip-e2e.*/home' \
    ! -path '/tmp/inkstrip-e2e.*/home/*' 2>/dev/null
)) && echo "left behind: ${new:-nothing}" && [ -z "$new" ]
judge "and it left no file in its working directory or /tmp"

# The preview: a 200x150 window of another program's, given with -window-id as a dialog does.
"$given" 200x150 >"$work/given" &
given_pid=$!
setup "make a 200x150 window" await test -s "$work/given"
window=$(cat "$work/given")
new_case preview
(cd "$case_dir" && exec "$prog" -window-id "$window" >out 2>err) &
preview_pid=$!
look_at_preview() { import -window "$window" "$1" 2>/dev/null; }
await_ink look_at_preview "$wait_limit" "$least_preview_ink" kill -0 "$preview_pid"
judge "a preview with -window-id in a 200x150 window shows the writing ($ink_pixels inked pixels)"
kill "$preview_pid" 2>/dev/null
wait_for_exit "$preview_pid" 5 || kill -9 "$preview_pid" 2>/dev/null

finish
