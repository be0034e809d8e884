#!/usr/bin/env bash
# Records what inkstrip shows: runs the real program on a private virtual X server, films its
# first SECONDS seconds into docs/inkstrip.gif, presses the button, and keeps the screenshot as
# docs/dump.png. Usage: scripts/showcase.sh [SECONDS]   (default 4)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-4}
scripts/setup.sh run
if ! command -v ffmpeg >/dev/null; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get install -y -qq --no-install-recommends ffmpeg >/dev/null
fi
. scripts/xlib.sh

work=$(mktemp -d)
trap 'stop_xvfb; rm -rf "$work"' EXIT
cp build/ball4.bmp "$work/"
start_xvfb 1024x768x24

ffmpeg -loglevel error -f x11grab -video_size 1024x768 -framerate 25 -i "$DISPLAY" \
  -t "$seconds" -c:v ffv1 "$work/film.mkv" &
film=$!
(cd "$work" && exec "$OLDPWD/build/inkstrip") &
prog=$!
wait "$film"
press_mouse 0.3
wait "$prog"

mkdir -p docs
ffmpeg -loglevel error -y -i "$work/film.mkv" -filter_complex \
  "fps=15,scale=512:-1:flags=lanczos,split[a][b];[a]palettegen=max_colors=64[p];[b][p]paletteuse" \
  docs/inkstrip.gif
convert "$work/dump.bmp" docs/dump.png
echo "made docs/inkstrip.gif ($(stat -c %s docs/inkstrip.gif) bytes) and docs/dump.png"
