#!/usr/bin/env bash
# End-to-end: inkstrip as a screensaver under XScreenSaver itself, on a 1920x1080 Xvfb. Activated,
# its writing shows on the screen, scaled to it with its shape kept; deactivated, the program is
# gone and has left no file behind. Also a preview: --window-id into a 200x150 window another
# program made shows the writing. XScreenSaver refuses to run as root, so under root it runs as
# the ordinary user inkstrip-test, made if missing.
# Usage: tests/e2e/xscreensaver.sh INKSTRIP GIVENWINDOW
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/xlib.sh"
prog=$(realpath "$1")
givenwindow=$(realpath "$2")

test_user=inkstrip-test
screen_w=1920 screen_h=1080
# The strip at the largest size that fits 1920x1080 with its shape kept: 1440x1080, centred.
fit_w=$((1024 * screen_h / 768)) fit_x=$(((screen_w - 1024 * screen_h / 768) / 2))
bar_slack=4  # pixels of the bars' inner edge left unchecked, for the scaler's rounding

passed=0
failed=0
work=$(mktemp -d)
chmod 755 "$work"
saver_pid=""
host_pid=""
finish() {
  set +e
  [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null
  if [ -n "$saver_pid" ]; then
    as_user xscreensaver-command -exit >/dev/null 2>&1
    wait_for_exit "$saver_pid" 5 || kill "$saver_pid" 2>/dev/null
  fi
  stop_xvfb
  rm -rf "$work"
}
trap finish EXIT
check() {
  local what=$1
  shift
  if "$@"; then
    echo "ok: $what"
    passed=$((passed + 1))
  else
    echo "FAILED: $what"
    failed=$((failed + 1))
  fi
}
set_up_failed() {
  echo "SET-UP FAILED: $*"
  failed=$((failed + 1))
  echo "xscreensaver: $passed passed, $failed failed"
  exit 1
}

user=$(id -un)
if [ "$(id -u)" = 0 ]; then
  user=$test_user
  id -u "$user" >/dev/null 2>&1 || useradd -m "$user" || set_up_failed "cannot make the user $user"
fi
home=$work/home
mkdir "$home"
chown "$user:" "$home"
# XScreenSaver finds the program by its name, on the PATH, as it finds its own.
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
# Writes to $1 the pen's blue ink in the brightest each pixel was in the other images, as a white
# mask: blue above red by more than 15%, which XScreenSaver's own grey and white messages never are.
ink() {
  convert "${@:2}" -evaluate-sequence max -separate -delete 1 -compose minus_dst -composite \
    -threshold 15% "$1"
}
# The user's own processes named inkstrip, the program under XScreenSaver.
saver_hacks() { pgrep -u "$user" -x inkstrip || true; }

start_xvfb "${screen_w}x${screen_h}x24" || set_up_failed "Xvfb at ${screen_w}x${screen_h}"
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
chown "$user:" "$home/.xscreensaver"
as_user xscreensaver -no-splash >"$work/xscreensaver.log" 2>&1 &
saver_pid=$!
for ((i = 0; i < 50; i++)); do
  as_user xscreensaver-command -time >/dev/null 2>&1 && break
  sleep 0.2
done
as_user xscreensaver-command -time >/dev/null 2>&1 ||
  set_up_failed "xscreensaver did not start: $(tail -3 "$work/xscreensaver.log")"
touch "$work/before"

as_user xscreensaver-command -activate >/dev/null || set_up_failed "xscreensaver-command -activate"
for ((i = 0; i < 50; i++)); do
  [ -n "$(saver_hacks)" ] && break
  sleep 0.1
done
hack=$(saver_hacks)
started() { [ -n "$hack" ]; }
check "activated, XScreenSaver starts inkstrip --root" started
hack_dir=""
[ -n "$hack" ] && hack_dir=$(readlink "/proc/$hack/cwd" || true)

# Three looks at the screen 0.7 s apart, merged: the brightest each pixel was.
shots=()
for i in 1 2 3; do
  sleep 0.7
  import -window root "$work/shot$i.png" 2>/dev/null && shots+=("$work/shot$i.png")
done
[ ${#shots[@]} = 3 ] || set_up_failed "import -window root"
# The box around every pixel of the pen's ink, as WxH+X+Y; "0x0+..." when there is none.
ink "$work/ink.png" "${shots[@]}" || set_up_failed "convert cannot read the screenshots"
box=$(convert "$work/ink.png" -format '%@' info: 2>/dev/null)
read -r ink_w ink_h ink_x ink_y < <(echo "$box" | tr 'x+' '  ')
echo "ink on the screen: $box"
writing_shows() { [ "$ink_w" -gt 0 ] && [ "$ink_h" -gt 0 ]; }
check "the writing shows on the screen" writing_shows
# Unscaled, the 1024x768 strip lies in the middle of the screen: ink outside it shows scaling.
scaled() {
  local left=$(((screen_w - 1024) / 2)) top=$(((screen_h - 768) / 2))
  writing_shows || return 1
  [ "$ink_x" -lt "$left" ] || [ "$ink_y" -lt "$top" ] ||
    [ $((ink_x + ink_w)) -gt $((left + 1024)) ] || [ $((ink_y + ink_h)) -gt $((top + 768)) ]
}
check "it is scaled up: ink beyond the middle 1024x768" scaled
shape_kept() {
  [ "$ink_w" -gt 0 ] && [ "$ink_x" -ge $((fit_x - bar_slack)) ] &&
    [ $((ink_x + ink_w)) -le $((fit_x + fit_w + bar_slack)) ]
}
check "its shape is kept: no ink in the black bars left and right of the ${fit_w}x$screen_h strip" \
  shape_kept

as_user xscreensaver-command -deactivate >/dev/null || set_up_failed "xscreensaver-command -deactivate"
for ((i = 0; i < 50; i++)); do
  [ -z "$(saver_hacks)" ] && break
  sleep 0.1
done
gone() { started && [ -z "$(saver_hacks)" ]; }
check "deactivated, no inkstrip process is left" gone
# What the user made since activation, in the program's working directory and in /tmp; the
# XScreenSaver settings the daemon itself rewrites are not the program's.
left_nothing() {
  local new
  [ -n "$hack_dir" ] || { echo "the program's working directory is not known" >&2; return 1; }
  new=$( (
    find "$hack_dir" -newer "$work/before" ! -path "$home" \
      ! -name '.xscreensaver*' -print
    find /tmp -maxdepth 3 -user "$user" -newer "$work/before" -print 2>/dev/null
  ) || true)
  [ -z "$new" ] || { echo "left behind: $new" >&2; return 1; }
}
check "and it left no file in its working directory ($hack_dir) or /tmp" left_nothing

# The preview: a 200x150 window of another program's, given with -window-id as a dialog does.
"$givenwindow" 200x150 >"$work/host" &
host_pid=$!
for ((i = 0; i < 50; i++)); do
  [ -s "$work/host" ] && break
  sleep 0.1
done
window=$(cat "$work/host")
[ -n "$window" ] || set_up_failed "givenwindow made no window"
(cd "$work" && exec "$prog" -window-id "$window" >"$work/preview.out" 2>&1) &
preview_pid=$!
preview_ink=0
for i in 1 2 3; do
  sleep 0.7
  import -window "$window" "$work/preview$i.png" 2>/dev/null || continue
  ink "$work/ink.png" "$work/preview$i.png" || continue
  ink=$(convert "$work/ink.png" -format '%[fx:int(mean*w*h)]' info:)
  [ "$ink" -gt "$preview_ink" ] && preview_ink=$ink
done
kill "$preview_pid" 2>/dev/null || true
wait_for_exit "$preview_pid" 5 || kill -9 "$preview_pid" 2>/dev/null || true
preview_shows() {
  [ "$preview_ink" -gt 0 ] || { echo "preview: $(head -2 "$work/preview.out")" >&2; return 1; }
}
check "a preview with -window-id in a 200x150 window shows the writing ($preview_ink inked pixels)" \
  preview_shows

echo "xscreensaver: $passed passed, $failed failed"
[ "$failed" = 0 ]
