#!/bin/bash
# Whether a reader could read the hand: records one pass of a pangram with --text, takes five
# frames spread over it as screenshots, has tesseract read each and prints what it read, then
# counts the sentence's six longer words read at least once ("the" and "fox" are too short to
# tell much). Passes when it read at least four of them.
# Usage: scripts/ocr-check.sh [INKSTRIP [OPTION...]]
set -euo pipefail
inkstrip=${1:-build/inkstrip}
shift || true
sentence='the quick brown fox jumps over lazy dogs'
words='quick brown jumps over lazy dogs'
needed=4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$inkstrip" --record "$dir/pass.gif" --text "$sentence" "$@" >/dev/null
# A frame of the GIF holds only what changed: coalescing makes each the whole screen.
convert "$dir/pass.gif" -coalesce "$dir/frame-%d.png"
frames=$(identify "$dir/pass.gif" | wc -l)
read_text=""
for k in 1 2 3 4 5; do
  frame=$((frames * k / 6))
  line=$(tesseract "$dir/frame-$frame.png" - --psm 6 2>/dev/null | tr -s '\n ' '  ')
  echo "frame $frame of $frames: $line"
  read_text+=" $line"
done
found=0
for word in $words; do
  if grep -qiw -- "$word" <<<"$read_text"; then found=$((found + 1)); fi
done
echo "read $found of the $(wc -w <<<"$words") words: $words"
[ "$found" -ge "$needed" ]
