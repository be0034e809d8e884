#!/usr/bin/env bash
# Sets up, builds with every warning an error, and runs every test: a bounded fuzz run of the
# sprite check and loader; the unit and end-to-end tests built with AddressSanitizer and
# UndefinedBehaviorSanitizer; then the unit tests on a memory screen, the real program on private
# virtual X servers pressed with the real mouse, and a run under valgrind's memcheck; and last
# the Debian package, built, checked and run unpacked (and with INKSTRIP_INSTALL_PACKAGE=1
# installed with apt-get, run and removed).
# INKSTRIP_FUZZ_SECONDS sets the fuzz run (30).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh test

echo "== fuzzing the sprite check and the loader behind it"
scripts/fuzz.sh "${INKSTRIP_FUZZ_SECONDS:-30}"

echo "== with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-san -DINKSTRIP_SANITIZE=ON -DINKSTRIP_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  >/dev/null
cmake --build build-san -j "$(nproc)" >/dev/null
(cd build-san && ctest -j 2 --output-on-failure)

echo "== the Debian package"
scripts/package.sh ${INKSTRIP_INSTALL_PACKAGE:+--install}

echo "== the whole suite"
cd build
ctest --output-on-failure -j 2
