#!/usr/bin/env bash
# One short end-to-end run under valgrind's memcheck: the real program on a private X server,
# pressed once. Fails on any memory error, on any block lost, and on any bitmap still held at
# the end (every bitmap the program makes or loads must be destroyed).
# Usage: memcheck.sh path/to/inkstrip
set -u
prog=$(realpath "$1")
here=$(dirname "$(realpath "$0")")
. "$here/../scripts/xlib.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/inkstrip-memcheck.XXXXXX")
trap 'stop_xvfb; rm -rf "$work"' EXIT
cp "$(dirname "$prog")/ball4.bmp" "$work/"
start_xvfb 1024x768x24 || exit 1

cd "$work"
valgrind --leak-check=full --show-leak-kinds=all --num-callers=40 --error-exitcode=99 \
  --log-file=valgrind.log "$prog" >out 2>err &
pid=$!
sleep 8
# Under valgrind a curve takes far longer, so the button is held until the press is seen.
press_mouse 3
if ! wait_for_exit "$pid" 240; then kill -9 "$pid"; fi
wait "$pid"
rc=$?

grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable" valgrind.log
held=$(grep -cE "create_bitmap|load_bitmap|load_bmp" valgrind.log)
lost=$(grep -E "(definitely|indirectly) lost: [1-9]" valgrind.log)
if [ "$rc" = 0 ] && [ "$held" = 0 ] && [ -z "$lost" ] && [ -s dump.bmp ]; then
  echo "1 passed, 0 failed"
  exit 0
fi
echo "status $rc, bitmaps still held: $held, lost: ${lost:-none}"
cat err
echo "0 passed, 1 failed"
exit 1
