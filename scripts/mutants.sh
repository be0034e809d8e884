#!/usr/bin/env bash
# Breaks the program on purpose, one line at a time, and runs the suite against each break: a
# mutant that no test fails on is a fault the tests would let through. The mutants are listed in
# tests/mutants.txt. Each is applied in a scratch copy of the tree, which is rebuilt; the unit
# tests run first and the end-to-end tests only if they all pass. Not part of CI: it takes about
# a minute a mutant. Run after scripts/setup.sh test.
# Usage: scripts/mutants.sh [PATTERN]   (only the mutants whose line matches PATTERN)
set -uo pipefail
cd "$(dirname "$0")/.."
list=tests/mutants.txt
pattern=${1:-}
scratch=${INKSTRIP_MUTANTS_DIR:-/tmp/inkstrip-mutants}
mkdir -p "$scratch"
# A copy of the tree as it stands, build folders left out; kept times keep the scratch build warm.
rm -rf "$scratch/tree"
mkdir -p "$scratch/tree"
tar -c --exclude='./build*' --exclude=./out --exclude=./.git . | tar -x -C "$scratch/tree"
cmake -S "$scratch/tree" -B "$scratch/build" -DBUILD_TESTING=ON >/dev/null || exit 1
cmake --build "$scratch/build" -j "$(nproc)" >/dev/null || exit 1

killed=0
survived=0
equivalent=0
invalid=0
survivors=()
while IFS=$'\t' read -r file text replacement note; do
  [[ -z "$file" || "$file" == \#* ]] && continue
  line="$file: $text -> $replacement"
  [[ -n "$pattern" && "$line" != *$pattern* ]] && continue
  target="$scratch/tree/$file"
  cp "$file" "$target"
  # The text must stand exactly once, or the mutant would not be the one described.
  if [ "$(grep -cF -- "$text" "$target")" != 1 ] || [ "$(grep -oF -- "$text" "$target" | wc -l)" != 1 ]; then
    echo "INVALID (not found exactly once): $line"
    invalid=$((invalid + 1))
    continue
  fi
  MUT_TEXT=$text MUT_REPLACEMENT=$replacement perl -0pi -e \
    's/\Q$ENV{MUT_TEXT}\E/$ENV{MUT_REPLACEMENT}/' "$target"
  verdict=survived
  if ! cmake --build "$scratch/build" -j "$(nproc)" >"$scratch/build.log" 2>&1; then
    verdict="killed (does not build)"
  elif ! (cd "$scratch/build" && ctest -j 2 -E 'end_to_end|memcheck' --stop-on-failure \
    --timeout 120 >"$scratch/unit.log" 2>&1); then
    verdict="killed by $(grep -m1 -E 'Failed|Timeout|Exception' "$scratch/unit.log" |
      sed -E 's/.*#[0-9]+: ([^ ]+).*/\1/')"
  elif ! (cd "$scratch/build" && ctest -R '^end_to_end$' --timeout 300 >"$scratch/e2e.log" 2>&1); then
    verdict="killed by end_to_end ($(grep -m1 '^ *[0-9]*: FAILED' "$scratch/build/Testing/Temporary/LastTest.log" | sed 's/^ *[0-9]*: //'))"
  fi
  cp "$file" "$target"
  if [ "$verdict" = survived ]; then
    if [[ "$note" == equivalent:* ]]; then
      equivalent=$((equivalent + 1))
      echo "equivalent: $line  [${note#equivalent: }]"
    else
      survived=$((survived + 1))
      survivors+=("$line")
      echo "SURVIVED: $line"
    fi
  else
    killed=$((killed + 1))
    echo "$verdict: $line"
  fi
done <"$list"
cmake --build "$scratch/build" -j "$(nproc)" >/dev/null

counted=$((killed + survived))
echo "mutants: $killed killed, $survived survived, $equivalent equivalent (change nothing observable), $invalid invalid"
if [ "$counted" -gt 0 ]; then
  echo "kill rate: $killed of $counted that change behaviour ($((killed * 1000 / counted / 10)).$((killed * 1000 / counted % 10))%)"
fi
for s in "${survivors[@]}"; do echo "  survivor: $s"; done
[ "$survived" = 0 ] && [ "$invalid" = 0 ]
