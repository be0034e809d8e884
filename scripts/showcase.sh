#!/usr/bin/env bash
# Makes the README's pictures with the program itself, on a memory screen, with no display and
# nothing to film: the default pass as an animated GIF (docs/inkstrip.gif), a pass of the user's
# own words (docs/words.gif), both at half size, and the screen a press saves part way through
# the default pass (docs/dump.png, from a full-size recording, whose frames are exactly those
# screens). Usage: scripts/showcase.sh [CURVE]   (the curve the press comes before; default 14)
set -euo pipefail
cd "$(dirname "$0")/.."
curve=${1:-14}
scripts/setup.sh run >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

build/inkstrip --record docs/inkstrip.gif --half
build/inkstrip --record docs/words.gif --half --text "Grüße, señor! Déjà vu à Łódź."
build/inkstrip --record "$work/pass.gif" >/dev/null
# ImageMagick numbers the frames from 0: frame00 is the blank screen before curve 1, and so on.
convert "$work/pass.gif" -coalesce "$work/frame%02d.png"
convert "$work/frame$(printf %02d $((curve - 1))).png" docs/dump.png
echo "made docs/inkstrip.gif, docs/words.gif and docs/dump.png (the press before curve $curve)"
