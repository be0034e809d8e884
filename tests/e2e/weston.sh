#!/usr/bin/env bash
# End-to-end: inkstrip --fit on a Wayland desktop, under Weston's Xwayland. Weston runs headless
# at 1920x1080, drawing with pixman, with its debug protocols on so that its own screenshot tool
# can ask for the screen: that screenshot, the compositor's own picture of what it shows, must
# hold the writing, scaled to the screen. SIGTERM then ends the program as it always has.
# Usage: tests/e2e/weston.sh INKSTRIP
set -euo pipefail
prog=$(realpath "$1")

screen_w=1920 screen_h=1080
start_limit=10  # seconds for Weston and its Xwayland to come up
sigterm_status=$((128 + 15))

passed=0
failed=0
work=$(mktemp -d)
weston_pid=""
prog_pid=""
finish() {
  set +e
  [ -n "$prog_pid" ] && kill -9 "$prog_pid" 2>/dev/null
  if [ -n "$weston_pid" ]; then
    kill "$weston_pid" 2>/dev/null
    wait "$weston_pid" 2>/dev/null
  fi
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
  echo "weston: $passed passed, $failed failed"
  exit 1
}

# Weston wants a runtime directory of its own, private to the user.
export XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=inkstrip-$$
weston --backend=headless-backend.so --use-pixman --xwayland --debug --socket="$socket" \
  --width="$screen_w" --height="$screen_h" --idle-time=0 --log="$work/weston.log" \
  >/dev/null 2>&1 &
weston_pid=$!
# Weston names the X display its Xwayland listens on in its log.
display=""
for ((i = 0; i < start_limit * 10; i++)); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" \
    2>/dev/null | tail -1 || true)
  [ -n "$display" ] && [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
  kill -0 "$weston_pid" 2>/dev/null || break
  sleep 0.1
done
[ -n "$display" ] ||
  set_up_failed "weston with Xwayland did not start: $(tail -3 "$work/weston.log" 2>/dev/null)"

# Weston's own screenshot into $1, a PNG of the whole output.
screenshot() {
  local dir=$work/shot.$RANDOM
  mkdir "$dir"
  (cd "$dir" && WAYLAND_DISPLAY=$socket timeout 10 weston-screenshooter >/dev/null 2>&1) &&
    mv "$dir"/*.png "$1" 2>/dev/null
}
screenshot "$work/desktop.png" || set_up_failed "weston-screenshooter took no screenshot"

(cd "$work" && DISPLAY=$display exec "$prog" --fit >"$work/out" 2>&1) &
prog_pid=$!
# Xwayland starts at the program's first connection; then the program opens full screen.
sleep 2.5
shots=()
for i in 1 2 3; do
  screenshot "$work/shot$i.png" && shots+=("$work/shot$i.png")
  sleep 0.5
done
[ ${#shots[@]} = 3 ] || set_up_failed "weston-screenshooter took no screenshot with the program up"
# The pen's blue ink in the brightest each pixel was: blue above red by more than 15%, which
# Weston's grey desktop and panel never are.
convert "${shots[@]}" -alpha off -evaluate-sequence max -separate -delete 1 -compose minus_dst \
  -composite -threshold 15% "$work/ink.png"
box=$(convert "$work/ink.png" -format '%@' info: 2>/dev/null)
read -r ink_w ink_h ink_x ink_y < <(echo "$box" | tr 'x+' '  ')
echo "ink in Weston's screenshot: $box"
writing_shows() {
  [ "$ink_w" -gt 0 ] || { echo "the program said: $(head -2 "$work/out")" >&2; return 1; }
}
check "inkstrip --fit under Xwayland: Weston's own screenshot shows the writing" writing_shows
# Unscaled, the 1024x768 strip would lie in the middle of the screen: ink outside it shows scaling.
scaled() {
  local left=$(((screen_w - 1024) / 2)) top=$(((screen_h - 768) / 2))
  [ "$ink_w" -gt 0 ] && { [ "$ink_x" -lt "$left" ] || [ "$ink_y" -lt "$top" ] ||
    [ $((ink_x + ink_w)) -gt $((left + 1024)) ] || [ $((ink_y + ink_h)) -gt $((top + 768)) ]; }
}
check "and it is scaled to the screen: ink beyond the middle 1024x768" scaled

ends_by_sigterm() {
  kill -TERM "$prog_pid" 2>/dev/null || return 1
  local status=0
  wait "$prog_pid" || status=$?
  prog_pid=""
  [ "$status" = "$sigterm_status" ] || { echo "status $status: $(head -2 "$work/out")" >&2; return 1; }
}
check "SIGTERM ends it with status $sigterm_status" ends_by_sigterm

echo "weston: $passed passed, $failed failed"
[ "$failed" = 0 ]
