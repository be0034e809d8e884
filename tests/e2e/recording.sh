#!/usr/bin/env bash
# End-to-end recordings: a pass written to a GIF with no display at all or with one that is not
# there, and a small one of the user's words timed by --pace.
# Usage: recording.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow path/to/dumpmatch
#   path/to/libraise_early.so
. "$(dirname "$(realpath "$0")")/common.sh"

for display in unset :4999; do
  new_case "record_display_$display"
  run_refused_on "$display" --record pass.gif
  [ "$rc" = 0 ] && [ ! -s "$case_dir/err" ] && grep -q "recorded 'pass.gif': 45 frames, 1024x768" "$case_dir/out" &&
    [ "$(identify "$case_dir/pass.gif" | wc -l)" = 45 ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out pass.gif " ]
  judge "--record with DISPLAY $display: 45 frames, status 0, nothing else left"
done

new_case record_text
run_refused_on unset --record words.gif --half --text "Ink, on a strip" --pace 10000
[ "$rc" = 0 ] && grep -q "recorded 'words.gif': [0-9]* frames, 512x384" "$case_dir/out" &&
  [ "$(identify -format "%T\n" "$case_dir/words.gif" | sort -un | tr "\n" " ")" = "2 100 " ]
judge "--record --half --text: a small GIF of the words, its frames timed by --pace"

# A long pass in the smallest hand, whose dense letters fall furthest behind the writing spot:
# the pen writes on the right half of the strip to the end, so every frame after the first
# changes pixels there (a frame stores only the rectangle that changed). It used to drift off the
# left edge after some 200 characters, and the frames after that were black.
new_case record_long_pass
letter=""
for i in $(seq 12); do letter+="words of a long letter $i, "; done
(unset DISPLAY && cd "$case_dir" && exec timeout -k 5 120 "$prog" --record long.gif --half \
  --size 24 --text "$letter" --pace 10000 >out 2>err)
[ "$?" = 0 ] && [ "$(identify -format "%X %w\n" "$case_dir/long.gif" | awk 'NR > 1 && $1 + $2 <= 256' |
  wc -l)" = 0 ]
judge "--record of a 315-character pass at --size 24: the pen on the right half to the end"

# The report is part of the work: when stdout is full it is an error, and the GIF goes too.
new_case record_full_stdout
(unset DISPLAY && cd "$case_dir" && exec timeout -k 5 20 "$prog" --record p.gif >/dev/full 2>err)
rc=$?
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: write error: No space left on device" ] &&
  [ "$(left_in "$case_dir")" = "ball4.bmp err " ]
judge "--record with stdout full: the write error, status 1, no GIF left"

# Refused before the pass, each in one line: a directory at the name, and a name with a line
# break, shown escaped.
new_case record_refused
setup "make a directory at the name" mkdir "$case_dir/out.gif"
run_refused_on unset --record out.gif
[ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: cannot write 'out.gif': it is a directory" ]
judge "--record at a directory: refused at start, status 1"
run_refused_on unset --record "no
where/p.gif"
[ "$rc" = 1 ] && [ "$(wc -l <"$case_dir/err")" = 1 ] && grep -qF "'no\nwhere/p.gif'" "$case_dir/err" &&
  [ "$(left_in "$case_dir")" = "ball4.bmp err out out.gif " ]
judge "--record with a line break in the name: one line naming it, status 1"

finish
