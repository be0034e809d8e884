#!/usr/bin/env bash
# Prints figures, not a test: the GIF and the WebM video of the same passes (the script, the
# script at half size, a text at half size), each file's size and the best wall time of $REPEAT
# runs (3), with no display; and each video's PSNR against the screens of a fresh run.
# Usage: bench/record.sh [path/to/inkstrip] [path/to/videopsnr]
#   (default build/inkstrip build/tests/videopsnr)
set -eu
here=$(dirname "$(realpath "$0")")
prog=$(realpath "${1:-$here/../build/inkstrip}")
psnr=$(realpath "${2:-$here/../build/tests/videopsnr}")
repeat=${REPEAT:-3}
text='The quick brown fox jumps over the lazy dog.'
work=$(mktemp -d "${TMPDIR:-/tmp}/inkstrip-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$(dirname "$prog")/ball4.bmp" "$work/"
cd "$work"
unset DISPLAY

# The best wall time of $repeat recordings into $1 with the options after it, in seconds.
best_time() {
  local file=$1 best="" s e took
  shift
  for _ in $(seq "$repeat"); do
    s=$(date +%s%N)
    "$prog" --record "$file" "$@" >/dev/null 2>>"$work/said"
    e=$(date +%s%N)
    took=$(((e - s) / 1000000))
    [ -z "$best" ] || [ "$took" -lt "$best" ] && best=$took
  done
  printf '%d.%02d' $((best / 1000)) $((best % 1000 / 10))
}

kb() { echo $((($(stat -c %s "$1") + 512) / 1024)); }

row() {
  local name=$1 gifs webms quality
  shift
  gifs=$(best_time pass.gif "$@")
  webms=$(best_time pass.webm "$@")
  if [ "$name" = text ]; then
    quality=$("$psnr" pass.webm "$text")
  else
    quality=$("$psnr" pass.webm)
  fi
  quality=${quality#*screens: }
  printf '| %s | %s KB | %s s | %s KB | %s s | %s |\n' "$name" "$(kb pass.gif)" "$gifs" \
    "$(kb pass.webm)" "$webms" "$quality"
}

echo "| pass | GIF | GIF time | WebM | WebM time | WebM PSNR against the screens |"
echo "|---|---|---|---|---|---|"
row script
row "script --half" --half
row text --half --text "$text"
