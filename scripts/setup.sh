#!/usr/bin/env bash
# Installs what inkstrip needs from Debian's packages (only what is missing) and builds it: the
# run path builds the program alone; the test path adds the test tools and builds the tests,
# with every warning an error.
# Usage: scripts/setup.sh [run|test]   (default run)
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-run}

packages=(g++ cmake make pkg-config liballegro4-dev libpng-dev libgif-dev libsdl2-dev libvpx-dev
  hershey-fonts-data xvfb xdotool imagemagick)
testing=OFF
werror=OFF
if [ "$mode" = test ]; then
  # libwebm-dev: the tests and the benchmark read recorded videos back with its parser.
  packages+=(libgtest-dev libwebm-dev valgrind clang libclang-rt-14-dev dpkg-dev file lintian
    x11-utils openbox desktop-file-utils appstream libxml2-utils xscreensaver xscreensaver-data
    weston xwayland)
  testing=ON
  werror=ON
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
fi

cmake -S . -B build -DBUILD_TESTING="$testing" -DINKSTRIP_WERROR="$werror" >/dev/null
cmake --build build -j "$(nproc)"
