# Finding the pen's ink in screenshots taken by other programs (an X server, a screensaver, a
# compositor), and judging its place on a screen of a given size. Sourced after common.sh.

fit_slack=4  # pixels at the letterbox's inner edges left unjudged, for the scaler's rounding

# The pen's blue ink in the brightest each pixel was in the given images: blue above red by more
# than 15%, which no grey, white or black of a desktop, a panel or a message ever is. Sets
# box (WxH+X+Y of the inked pixels, 0x0+... when there are none), ink_w, ink_h, ink_x, ink_y and
# ink_pixels. Fails if the images cannot be read.
ink_box() {
  box="none" ink_w=0 ink_h=0 ink_x=0 ink_y=0 ink_pixels=0
  convert "$@" -alpha off -evaluate-sequence max -separate -delete 1 -compose minus_dst \
    -composite -threshold 15% "$work/ink.png" || return 1
  box=$(convert "$work/ink.png" -format '%@' info: 2>/dev/null)
  ink_pixels=$(convert "$work/ink.png" -format '%[fx:int(mean*w*h+0.5)]' info:)
  read -r ink_w ink_h ink_x ink_y < <(echo "$box" | tr 'x+' '  ')
}

# Takes a screenshot with "$1 FILE" every half second or so, up to $2 seconds, until one shows
# at least $3 inked pixels (the writing, which a loaded machine may take a while to draw, and not
# some blue speck of a desktop), while the command after them, which says the program is still
# running, succeeds; leaves the last in $work/first.png.
await_ink() {
  local take=$1 least=$3 until=$((SECONDS + $2))
  shift 3
  while [ "$SECONDS" -lt "$until" ]; do
    $take "$work/first.png" && ink_box "$work/first.png" && [ "$ink_pixels" -ge "$least" ] &&
      return 0
    "$@" || return 1
    sleep 0.5
  done
  return 1
}

# Whether ink lies outside the middle 1024x768 of a W x H screen, where the strip would be shown
# at its own size: that is, it is scaled up.
scaled_up() {
  local left=$((($1 - 1024) / 2)) top=$((($2 - 768) / 2))
  [ "$ink_w" -gt 0 ] && { [ "$ink_x" -lt "$left" ] || [ "$ink_y" -lt "$top" ] ||
    [ $((ink_x + ink_w)) -gt $((left + 1024)) ] || [ $((ink_y + ink_h)) -gt $((top + 768)) ]; }
}

# Whether all ink lies within the largest 4:3 picture that fits a W x H screen, centred: the
# strip keeps its shape, with black bars where the shapes differ.
within_fit() {
  local w=$1 h=$2 fw fh
  if ((w * 3 > h * 4)); then fw=$((h * 4 / 3)) fh=$h; else fw=$w fh=$((w * 3 / 4)); fi
  local left=$(((w - fw) / 2 - fit_slack)) top=$(((h - fh) / 2 - fit_slack))
  [ "$ink_w" -gt 0 ] && [ "$ink_x" -ge "$left" ] && [ "$ink_y" -ge "$top" ] &&
    [ $((ink_x + ink_w)) -le $((w - left)) ] && [ $((ink_y + ink_h)) -le $((h - top)) ]
}

# Judges the ink that ink_box found on a W x H screen: enough of it to be the writing (said as
# $3), scaled up, and with the strip's shape kept.
judge_scaled_writing() {
  [ "$ink_pixels" -ge "$least_ink" ]
  judge "$3"
  [ "$ink_pixels" -ge "$least_ink" ] && scaled_up "$1" "$2"
  judge "it is scaled up: ink beyond the middle 1024x768"
  [ "$ink_pixels" -ge "$least_ink" ] && within_fit "$1" "$2"
  judge "its shape is kept: no ink in the black bars beside the strip"
}
