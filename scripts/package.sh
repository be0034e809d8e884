#!/usr/bin/env bash
# Builds the Debian package in build/ with cpack and checks it: lintian finds no error or
# warning; its Depends (worked out from the libraries the program links) name Allegro 4's
# runtime; it holds the program, the sprite, the manual page and the licence; its desktop,
# AppStream and XScreenSaver files validate, its icons are what their directories say, and every
# command line those files give is one the program takes; the screensaver link runs the program;
# and unpacked anywhere it runs from an empty directory and saves dump.bmp on a press. With
# --install it is also installed with apt-get, run as plain "inkstrip" the same way, and removed
# again.
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
  for d in liballegro4.4 libx11-6 libpng16-16 libgif7 libsdl2-2.0-0 libvpx7 hershey-fonts-data; do
    [[ "$depends" == *"$d"* ]] || { echo "Depends lacks $d" >&2; return 1; }
  done
}
dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
holds_all() {
  local f
  for f in usr/bin/inkstrip usr/share/inkstrip/ball4.bmp usr/share/man/man6/inkstrip.6.gz \
    usr/share/doc/inkstrip/copyright usr/share/doc/inkstrip/changelog.gz \
    usr/libexec/xscreensaver/inkstrip usr/share/xscreensaver/config/inkstrip.xml \
    "${desktop_files[@]}" "$metainfo" "${icon_files[@]}"; do
    grep -qx "./$f" "$work/contents" || { echo "missing: $f" >&2; return 1; }
  done
}
desktop_files=(usr/share/applications/inkstrip.desktop
  usr/share/applications/screensavers/inkstrip.desktop)
metainfo=usr/share/metainfo/org.example.inkstrip.metainfo.xml
icon_files=()
for size in 64 128 256; do icon_files+=("usr/share/icons/hicolor/${size}x$size/apps/inkstrip.png"); done
check "lintian finds no error and no warning" lintian_clean
check "Depends names Allegro 4, Xlib, libpng, giflib, SDL2 and the Hershey fonts" names_runtimes
check "it holds the program, the sprite, the manual page, the copyright file, the changelog and the desktop and screensaver files" holds_all

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

root=$work/unpacked
dpkg-deb -x "$deb" "$root"
desktop_valid() { (cd "$root" && desktop-file-validate "${desktop_files[@]}"); }
metainfo_valid() { appstreamcli validate --no-net "$root/$metainfo" >&2; }
# XScreenSaver ships no schema of its settings files: ours must match the one its own files
# share, and they must all match it too, so that the shape checked is XScreenSaver's and not ours.
config_valid() {
  local ours=$root/usr/share/xscreensaver/config/inkstrip.xml
  xmllint --noout --dtdvalid tests/xscreensaver-config.dtd "$ours" /usr/share/xscreensaver/config/*.xml &&
    [ "$(xmllint --xpath 'string(/screensaver/@name)' "$ours")" = inkstrip ]
}
check "both desktop entries pass desktop-file-validate" desktop_valid
check "the AppStream metainfo passes appstreamcli validate" metainfo_valid
check "the XScreenSaver settings name inkstrip and are shaped like XScreenSaver's own" config_valid

# Each icon a PNG of its directory's size, its writing in it: some pixels well away from black.
icons_right() {
  local f size
  for f in "${icon_files[@]}"; do
    size=${f#*/hicolor/}
    size=${size%%/*}
    [ "$(identify -format '%m %wx%h' "$root/$f")" = "PNG $size" ] || { echo "$f is not a PNG of $size" >&2; return 1; }
    [ "$(convert "$root/$f" -colorspace gray -threshold 25% -format '%[fx:mean>0.02]' info:)" = 1 ] ||
      { echo "$f shows no writing" >&2; return 1; }
  done
}
check "the icons are PNGs of 64, 128 and 256 pixels with the writing on them" icons_right

metainfo_release() {
  [ "$(xmllint --xpath 'string(//releases/release[1]/@version)' "$root/$metainfo")" = "$version" ]
}
check "the metainfo's newest release is this version" metainfo_release

# Every command line the files start the program with, taken with --version after it: the
# program reads options in order, so it prints its version only when it took all before it.
# XScreenSaver's dialog adds each setting's arg after the command, at its lowest, highest and
# default value, and the pen as a file.
takes() {
  local out
  out=$("$root/usr/bin/inkstrip" "$@" --version 2>&1) && [ "$out" = "inkstrip $version" ] ||
    { echo "inkstrip $* --version: $out" >&2; return 1; }
}
command_lines_taken() {
  local f line config=$root/usr/share/xscreensaver/config/inkstrip.xml base arg n v
  for f in "${desktop_files[@]}"; do
    line=$(sed -n 's/^Exec=[^ ]*//p' "$root/$f")
    # shellcheck disable=SC2086 # the Exec line is split into words as the desktop splits it
    takes $line || return 1
  done
  base=$(xmllint --xpath 'string(/screensaver/command/@arg)' "$config")
  [[ " $base " == *" -root "* ]] || { echo "the command lacks -root: $base" >&2; return 1; }
  n=$(xmllint --xpath 'count(//number)' "$config")
  for ((i = 1; i <= n; i++)); do
    arg=$(xmllint --xpath "string((//number)[$i]/@arg)" "$config")
    for v in low high default; do
      v=$(xmllint --xpath "string((//number)[$i]/@$v)" "$config")
      # shellcheck disable=SC2086
      takes $base ${arg//%/$v} || return 1
    done
  done
  arg=$(xmllint --xpath 'string(//file[@id="pen"]/@arg)' "$config")
  # shellcheck disable=SC2086
  takes $base ${arg//%/$root/usr/share/inkstrip/ball4.bmp}
}
check "the program takes every command line the desktop and XScreenSaver files give it" \
  command_lines_taken

# Through XScreenSaver's link the program still finds its sprite: a recording needs no display.
link_finds_sprite() {
  local dir
  dir=$(mktemp -d "$work/run.XXXXXX")
  (cd "$dir" && "$root/usr/libexec/xscreensaver/inkstrip" --record pass.gif >/dev/null) &&
    [ -s "$dir/pass.gif" ]
}
check "run through the XScreenSaver link, the program finds its sprite" link_finds_sprite

start_xvfb 1024x768x24
check "unpacked elsewhere, it runs from an empty directory and saves dump.bmp" \
  runs_and_saves "$root/usr/bin/inkstrip"

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
