#!/usr/bin/env bash
# Sets up, builds and runs inkstrip in ./out, passing on any options (./run.sh --windowed
# --pace 20; ./run.sh --help lists them). Press any mouse button to save the screen as
# out/dump.bmp and stop, or Escape to stop without saving. With no display it runs on a private
# virtual X server and presses the button itself after INKSTRIP_PRESS_AFTER seconds (default 5).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh run
. scripts/xlib.sh

mkdir -p out
cd out

# The safe save puts a new file in place, so a new screenshot is a new inode.
dump_id() { stat -c %i.%Y dump.bmp 2>/dev/null || true; }

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "inkstrip is writing; press any mouse button to save dump.bmp and stop, or Escape." >&2
  before=$(dump_id)
  ../build/inkstrip "$@" || exit
  [ "$(dump_id)" != "$before" ] && echo "saved: $PWD/dump.bmp" >&2
  exit 0
fi

after=${INKSTRIP_PRESS_AFTER:-5}
start_xvfb 1024x768x24
trap stop_xvfb EXIT
rm -f dump.bmp
../build/inkstrip "$@" &
pid=$!
# --help, --version and a bad command line end at once: nothing to press.
if wait_for_exit "$pid" 1; then
  wait "$pid"
  exit
fi
echo "no display here: running on a virtual X server ($DISPLAY), pressing the mouse in ${after}s" >&2
sleep "$after"
# A press held down is seen at the start of a curve; should it end too soon, press again rather
# than wait for ever.
for attempt in 1 2 3; do
  press_mouse 0.3
  wait_for_exit "$pid" 20 && break
done
kill -0 "$pid" 2>/dev/null && kill "$pid"
status=0
wait "$pid" || status=$?
[ -e dump.bmp ] || exit "$status"
convert dump.bmp dump.png
echo "saved: $PWD/dump.bmp" >&2
echo "and a PNG copy: $PWD/dump.png" >&2
exit "$status"
