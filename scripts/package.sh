#!/usr/bin/env bash
# Builds the Debian package in build/ with cpack and checks it: its Depends (worked out from the
# libraries the program links) name Allegro 4's runtime, it holds the program, the sprite and the
# manual page, and unpacked anywhere it runs from an empty directory and saves dump.bmp on a
# press. With --install it is also installed with apt-get, run as plain "inkstrip" the same way,
# and removed again. Run after scripts/setup.sh test. Usage: scripts/package.sh [--install]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/xlib.sh

(cd build && cpack -G DEB >cpack.log 2>&1) || { cat build/cpack.log; exit 1; }
deb=$(ls build/inkstrip_*.deb)
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
passed=0
failed=0
check() {
  if eval "$2"; then
    echo "ok: $1"
    passed=$((passed + 1))
  else
    echo "FAILED: $1"
    failed=$((failed + 1))
  fi
}

depends=$(dpkg-deb -f "$deb" Depends)
echo "$deb: Depends: $depends"
check "Depends names Allegro 4's runtime and Xlib" \
  '[[ "$depends" == *liballegro4.4* ]] && [[ "$depends" == *libx11-6* ]]'
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
check "it holds the program, the sprite and the manual page" \
  'grep -qx ./usr/bin/inkstrip "$work/contents" && grep -qx ./usr/share/inkstrip/ball4.bmp "$work/contents" &&
   grep -qx ./usr/share/man/man6/inkstrip.6 "$work/contents"'

# Runs $1 in a new empty directory, holds the button after 1.5 s; says whether dump.bmp came.
runs_and_saves() {
  local dir
  dir=$(mktemp -d "$work/run.XXXXXX")
  (cd "$dir" && exec "$@" >out 2>err) &
  local pid=$!
  sleep 1.5
  press_mouse 0.3
  wait_for_exit "$pid" 30 || kill -9 "$pid"
  wait "$pid" && [ "$(stat -c %s "$dir/dump.bmp" 2>/dev/null)" = 2359350 ]
}

start_xvfb 1024x768x24
dpkg-deb -x "$deb" "$work/unpacked"
check "unpacked elsewhere, it runs from an empty directory and saves dump.bmp" \
  'runs_and_saves "$work/unpacked/usr/bin/inkstrip"'

if [ "${1:-}" = --install ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
  check "installed with apt-get, inkstrip runs from an empty directory and saves dump.bmp" \
    'runs_and_saves inkstrip'
  check "and its manual page is there" 'man -w inkstrip >/dev/null 2>&1 || [ -s /usr/share/man/man6/inkstrip.6 ]'
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq inkstrip >/dev/null
fi
echo "package: $passed passed, $failed failed"
[ "$failed" = 0 ]
