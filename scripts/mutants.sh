#!/usr/bin/env bash
# Breaks the program on purpose, one line at a time, and runs the suite against each break: a
# mutant that no test fails on is a fault the tests would let through. The mutants are listed in
# scripts/mutants.txt. Each is applied in a scratch copy of the tree, which is rebuilt; the unit
# tests run first, the end-to-end files only if they all pass, and the memcheck runs last. Not
# part of CI: it takes about a minute a mutant. Run after scripts/setup.sh test.
# Usage: scripts/mutants.sh [PATTERN...]   (only the mutants whose line holds one of them)
set -uo pipefail
cd "$(dirname "$0")/.."
list=scripts/mutants.txt
patterns=("$@")
scratch=${INKSTRIP_MUTANTS_DIR:-/tmp/inkstrip-mutants}
mkdir -p "$scratch"
# A copy of the tree as it stands. Only files that differ from the last copy are copied, and so
# get a new time, which the build sees; the rest keep theirs, and the scratch build stays warm.
git ls-files --cached --others --exclude-standard | while read -r f; do
  [ -f "$f" ] || continue
  mkdir -p "$scratch/tree/$(dirname "$f")"
  cmp -s "$f" "$scratch/tree/$f" || cp "$f" "$scratch/tree/$f"
done
cmake -S "$scratch/tree" -B "$scratch/build" -DBUILD_TESTING=ON >/dev/null || exit 1
cmake --build "$scratch/build" -j "$(nproc)" >/dev/null || exit 1

killed=0
survived=0
equivalent=0
invalid=0
survivors=()
while IFS= read -r row; do
  [[ -z "$row" || "$row" == \#* ]] && continue
  # Tabs become a separator that is not white space, so that an empty field stays a field.
  IFS=$'\x1f' read -r file text replacement note <<<"${row//$'\t'/$'\x1f'}"
  line="$file: $text -> $replacement"
  if [ ${#patterns[@]} -gt 0 ]; then
    wanted=false
    for p in "${patterns[@]}"; do [[ "$line" == *"$p"* ]] && wanted=true; done
    $wanted || continue
  fi
  # "⏎" in the list stands for a line break, for a line that stands more than once alone.
  export MUT_TEXT=${text//⏎/$'\n'} MUT_REPLACEMENT=${replacement//⏎/$'\n'}
  target="$scratch/tree/$file"
  cp "$file" "$target"
  # The text must stand exactly once, or the mutant would not be the one described.
  if [ "$(perl -0ne 'print scalar(() = /\Q$ENV{MUT_TEXT}\E/g)' "$target")" != 1 ]; then
    echo "INVALID (not found exactly once): $line"
    invalid=$((invalid + 1))
    continue
  fi
  perl -0pi -e 's/\Q$ENV{MUT_TEXT}\E/$ENV{MUT_REPLACEMENT}/' "$target"
  verdict=survived
  if ! cmake --build "$scratch/build" -j "$(nproc)" >"$scratch/build.log" 2>&1; then
    echo "INVALID (does not build): $line"
    invalid=$((invalid + 1))
    cp "$file" "$target"
    continue
  elif ! (cd "$scratch/build" && ctest -j 2 -E '^e2e_|memcheck' --stop-on-failure \
    --timeout 120 >"$scratch/unit.log" 2>&1); then
    verdict="killed by $(grep -m1 -E 'Failed|Timeout|Exception' "$scratch/unit.log" |
      sed -E 's/.*#[0-9]+: ([^ ]+).*/\1/')"
  elif ! (cd "$scratch/build" && ctest -j 2 -R '^e2e_' --timeout 300 >"$scratch/e2e.log" 2>&1); then
    verdict="killed by $(grep -m1 -E 'Failed|Timeout' "$scratch/e2e.log" | sed -E 's/.*#[0-9]+: ([^ ]+).*/\1/') \
($(grep -m1 -E '^(FAILED|SET-UP FAILED)' "$scratch/build/Testing/Temporary/LastTest.log"))"
  elif ! (cd "$scratch/build" && ctest -R memcheck --timeout 300 >"$scratch/memcheck.log" 2>&1); then
    verdict="killed by $(grep -m1 -E 'Failed|Timeout' "$scratch/memcheck.log" | sed -E 's/.*#[0-9]+: ([^ ]+).*/\1/')"
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
