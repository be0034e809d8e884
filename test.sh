#!/usr/bin/env bash
# Sets up, builds and runs every test: unit tests on a memory screen, then the real program on a
# private virtual X server pressed with the real mouse.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh test
cd build
ctest --output-on-failure -j 2
