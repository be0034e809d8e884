#!/usr/bin/env bash
# Builds the Debian package in build/ with cpack and checks it: lintian finds no error or
# warning; its Depends (worked out from the libraries the program links) name Allegro 4's
# runtime; it holds the program, the sprite, the manual page and the licence; and unpacked
# anywhere it runs from an empty directory and saves dump.bmp on a press. With --install it is
# also installed with apt-get, run as plain "inkstrip" the same way, and removed again.
# Run after scripts/setup.sh test. Usage: scripts/package.sh [--install]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/xlib.sh

(cd build && cpack -G DEB >cpack.log 2>&1) || { cat build/cpack.log; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/CMakeCache.txt)
deb=build/inkstrip_${version}_$(dpkg --print-architecture).deb
work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
passed=0
failed=0
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

lintian_clean() {
  lintian --fail-on error,warning "$deb" 2>&1 | grep -v 'running with root privileges' >&2
  return "${PIPESTATUS[0]}"
}
depends=$(dpkg-deb -f "$deb" Depends)
echo "$deb: Depends: $depends"
names_runtimes() {
  local d
  for d in liballegro4.4 libx11-6 libpng16-16 libgif7 hershey-fonts-data; do
    [[ "$depends" == *"$d"* ]] || { echo "Depends lacks $d" >&2; return 1; }
  done
}
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
holds_all() {
  local f
  for f in usr/bin/inkstrip usr/share/inkstrip/ball4.bmp usr/share/man/man6/inkstrip.6.gz \
    usr/share/doc/inkstrip/copyright usr/share/doc/inkstrip/changelog.gz; do
    grep -qx "./$f" "$work/contents" || { echo "missing: $f" >&2; return 1; }
  done
}
check "lintian finds no error and no warning" lintian_clean
check "Depends names Allegro 4, Xlib, libpng, giflib and the Hershey fonts" names_runtimes
check "it holds the program, the sprite, the manual page, the copyright file and the changelog" holds_all

# Runs $1 in a new empty directory, holds the button after 1.5 s; says whether dump.bmp came.
runs_and_saves() {
  local dir
  dir=$(mktemp -d "$work/run.XXXXXX")
  (cd "$dir" && exec "$@" >out 2>err) &
  local pid=$!
  sleep 1.5
  press_mouse 0.3
  wait_for_exit "$pid" 30 || kill -9 "$pid"
  wait "$pid" && [ "$(stat -c %s "$dir/dump.bmp" 2>/dev/null)" = "$DUMP_BYTES" ]
}

start_xvfb 1024x768x24
dpkg-deb -x "$deb" "$work/unpacked"
check "unpacked elsewhere, it runs from an empty directory and saves dump.bmp" \
  runs_and_saves "$work/unpacked/usr/bin/inkstrip"

if [ "${1:-}" = --install ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "./$deb" >/dev/null
  check "installed with apt-get, inkstrip runs from an empty directory and saves dump.bmp" \
    runs_and_saves inkstrip
  manual() { man -w inkstrip >/dev/null 2>&1 || [ -s /usr/share/man/man6/inkstrip.6.gz ]; }
  check "and its manual page is there" manual
  DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq inkstrip >/dev/null
fi
echo "package: $passed passed, $failed failed"
[ "$failed" = 0 ]
