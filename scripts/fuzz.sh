#!/usr/bin/env bash
# Fuzzes the sprite check together with the library's loader behind it (libFuzzer, clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer), from a seed corpus of real BMPs of every
# form; then loads everything the run found that passes the check under valgrind's memcheck.
# Usage: scripts/fuzz.sh [SECONDS] [CORPUS_DIR]   (defaults: 45, a fresh temporary folder)
# Run after scripts/setup.sh test. A longer run by hand: scripts/fuzz.sh 3600 fuzz-corpus
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-45}
corpus=${2:-$(mktemp -d)}
mkdir -p "$corpus" build-fuzz/crashes

cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DINKSTRIP_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target bmp_fuzz >/dev/null
build-fuzz/fuzz/bmp_fuzz -runs=0 >/dev/null 2>&1 || { echo "fuzz: the target does not run"; exit 1; }
seeds=$(mktemp -d)
trap 'rm -rf "$seeds"' EXIT
build/tests/bmpsamples "$seeds"

# rss and malloc limits: a file that made the loader allocate gigabytes is a finding too.
build-fuzz/fuzz/bmp_fuzz -max_total_time="$seconds" -rss_limit_mb=1024 -malloc_limit_mb=512 \
  -artifact_prefix=build-fuzz/crashes/ -print_final_stats=1 \
  "$corpus" "$seeds/good" "$seeds/bad" 2>&1 | grep -E "^(stat::|Done|==|SUMMARY)|ERROR" || true
if [ -n "$(ls -A build-fuzz/crashes)" ]; then
  echo "fuzz: findings in build-fuzz/crashes:"
  ls build-fuzz/crashes
  exit 1
fi
find "$corpus" "$seeds" -type f -print0 |
  xargs -0 valgrind -q --undef-value-errors=no --error-exitcode=99 build/tests/bmpload
echo "fuzz: no findings"
