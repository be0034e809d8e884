#!/usr/bin/env bash
# End-to-end: inkstrip --fit on a Wayland desktop, under Weston's Xwayland. Weston runs headless
# at 1920x1080, drawing with pixman, with its debug protocols on so that its own screenshot tool
# can ask for the screen: that screenshot, the compositor's own picture of what it shows, must
# hold the writing, scaled to the screen with its shape kept. SIGTERM then ends the program as
# it always has.
# Usage: weston.sh path/to/inkstrip
. "$(dirname "$(realpath "$0")")/common.sh" "$1"
. "$e2e_dir/ink.sh"

screen_w=1920 screen_h=1080
least_ink=2000  # inked pixels that are the writing on the full screen: a few of its stamps
sigterm_status=$((128 + 15))

weston_pid=""
prog_pid=""
stop_weston() {
  [ -n "$prog_pid" ] && kill -9 "$prog_pid" 2>/dev/null
  if [ -n "$weston_pid" ]; then
    kill "$weston_pid" 2>/dev/null
    wait "$weston_pid" 2>/dev/null
  fi
}
trap 'stop_weston; rm -rf "$work"' EXIT

# Weston wants a runtime directory of its own, private to the user.
export XDG_RUNTIME_DIR=$work/runtime
setup "make a private runtime directory" mkdir -m 700 "$XDG_RUNTIME_DIR"
socket=inkstrip-$$
weston --backend=headless-backend.so --use-pixman --xwayland --debug --socket="$socket" \
  --width="$screen_w" --height="$screen_h" --idle-time=0 --log="$work/weston.log" \
  >/dev/null 2>&1 &
weston_pid=$!
# Weston names the X display its Xwayland listens on in its log.
xwayland_up() {
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$work/weston.log" \
    2>/dev/null | tail -1)
  [ -n "$display" ] && [ -S "$XDG_RUNTIME_DIR/$socket" ]
}
# Up, or Weston gone: no use waiting longer.
xwayland_up_or_gone() { xwayland_up || ! kill -0 "$weston_pid" 2>/dev/null; }
await_xwayland() {
  await xwayland_up_or_gone && xwayland_up && return 0
  tail -3 "$work/weston.log" 2>/dev/null
  return 1
}
setup "start weston headless with Xwayland" await_xwayland

# Weston's own screenshot into $1, a PNG of the whole output.
screenshot() {
  local dir=$work/shot.$RANDOM
  mkdir "$dir" &&
    (cd "$dir" && WAYLAND_DISPLAY=$socket timeout "$wait_limit" weston-screenshooter \
      >/dev/null 2>&1) &&
    mv "$dir"/*.png "$1"
}
setup "take a screenshot with weston-screenshooter" screenshot "$work/desktop.png"

new_case fit
(cd "$case_dir" && DISPLAY=$display exec "$prog" --fit >out 2>err) &
prog_pid=$!
# Xwayland starts at the program's first connection; then the program opens full screen. The
# first screenshot with ink, then two more while the strip moves on.
await_ink screenshot "$wait_limit" "$least_ink" kill -0 "$prog_pid"
for i in 2 3; do
  sleep 0.5
  setup "take a screenshot with the program up" screenshot "$work/shot$i.png"
done
ink_box "$work/first.png" "$work/shot2.png" "$work/shot3.png"
echo "ink in Weston's screenshot: $box"
judge_scaled_writing "$screen_w" "$screen_h" "inkstrip --fit under Xwayland: Weston's own screenshot shows the writing"

kill -TERM "$prog_pid" 2>/dev/null && wait_for_exit "$prog_pid" 5 && wait "$prog_pid"
[ $? = "$sigterm_status" ]
judge "SIGTERM ends it within 5 s with status $sigterm_status"

finish
