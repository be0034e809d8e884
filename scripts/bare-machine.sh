#!/usr/bin/env bash
# Keeps the README's commands honest: makes a bare Debian 12 (debootstrap --variant=minbase, from
# the package source this machine's apt is set up with), copies a clean clone of the committed
# tree into it, runs ./run.sh there as a newcomer would, with no display, so that it installs,
# builds, runs on a virtual X server and presses the button itself, and checks that the saved
# dump.bmp is exactly a screen of the default run. With --test it then runs ./test.sh there too.
# Needs root. The minbase tree is kept in INKSTRIP_BARE_CACHE (default
# /var/cache/inkstrip/bookworm-minbase.tar) and made again only when missing.
# Usage: scripts/bare-machine.sh [--test]
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
[ "$(id -u)" = 0 ] || { echo "bare-machine: needs root (for debootstrap and chroot)" >&2; exit 1; }
also_test=false
[ "${1:-}" = --test ] && also_test=true
cache=${INKSTRIP_BARE_CACHE:-/var/cache/inkstrip/bookworm-minbase.tar}

if ! command -v debootstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

# The first Debian archive this machine's apt takes bookworm's main component from.
mirror() {
  apt-get indextargets --format '$(RELEASE) $(COMPONENT) $(SITE)' 'Identifier: Packages' |
    awk '$1 == "bookworm" && $2 == "main" { print $3; exit }'
}

root=$(mktemp -d /var/tmp/inkstrip-bare.XXXXXX)
chmod 755 "$root"  # the root of a machine: every user may look in
mounts=()
cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount "${mounts[i]}" 2>/dev/null || umount -l "${mounts[i]}"; done
  rm -rf --one-file-system "$root"
}
trap cleanup EXIT

if [ -s "$cache" ]; then
  echo "bare-machine: a minbase Debian 12 from $cache"
  tar -xf "$cache" -C "$root"
else
  site=$(mirror)
  [ -n "$site" ] || { echo "bare-machine: apt has no source for bookworm main" >&2; exit 1; }
  echo "bare-machine: debootstrap --variant=minbase bookworm from $site"
  debootstrap --variant=minbase bookworm "$root" "$site" >"$root.log" 2>&1 ||
    { tail -20 "$root.log"; exit 1; }
  rm -f "$root.log"
  mkdir -p "$(dirname "$cache")"
  tar -cf "$cache.part" -C "$root" . && mv "$cache.part" "$cache"
fi

cp /etc/resolv.conf "$root/etc/resolv.conf"
for m in proc sys dev dev/pts; do
  mkdir -p "$root/$m"
  case $m in
    proc) mount -t proc proc "$root/proc" ;;
    sys) mount -t sysfs sysfs "$root/sys" ;;
    *) mount --bind "/$m" "$root/$m" ;;
  esac
  mounts+=("$root/$m")
done

git clone -q "$top" "$root/root/inkstrip"
inside() {
  chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    LANG=C.UTF-8 /bin/bash -c "cd /root/inkstrip && $1"
}

echo "bare-machine: ./run.sh"
start=$SECONDS
inside ./run.sh
echo "bare-machine: ./run.sh passed in $((SECONDS - start)) s"
inside 'test -s out/dump.bmp && build/dumpmatch build/ball4.bmp out/dump.bmp'

if $also_test; then
  echo "bare-machine: ./test.sh"
  start=$SECONDS
  inside ./test.sh
  echo "bare-machine: ./test.sh passed in $((SECONDS - start)) s"
fi
