#!/usr/bin/env bash
# End-to-end recordings: a pass written to a GIF with no display at all or with one that is not
# there, a small one of the user's words timed by --pace, and the same as a WebM video.
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

# A video of the words: an EBML file of DocType webm, one frame at the fast pace and 30 of the
# hold, with nothing else left behind.
new_case record_webm
run_refused_on unset --record words.webm --text "Ink, on a strip" --pace 10000 --vary --seed 7
[ "$rc" = 0 ] && [ ! -s "$case_dir/err" ] &&
  [ "$(cat "$case_dir/out")" = "inkstrip: recorded 'words.webm': 31 frames, 1024x768, $(((\
    $(stat -c %s "$case_dir/words.webm") + 512) / 1024)) KB" ] &&
  [ "$(head -c 4 "$case_dir/words.webm" | od -An -tx1 | tr -d ' ')" = 1a45dfa3 ] &&
  head -c 64 "$case_dir/words.webm" | grep -qa webm &&
  [ "$(left_in "$case_dir")" = "ball4.bmp err out words.webm " ]
judge "--record x.webm with DISPLAY unset: a WebM, status 0, the report line, nothing else left"
run_refused_on unset --record words.mp4
[ "$rc" = 2 ] && grep -q "^inkstrip: --record takes a file name ending in .gif or .webm, not 'words.mp4'" \
  "$case_dir/err" && [ "$(left_in "$case_dir")" = "ball4.bmp err out words.webm " ]
judge "--record with another ending: refused naming both, status 2"

# The report is part of the work: when stdout is full it is an error, and the file goes too.
for file in p.gif p.webm; do
  new_case "record_full_stdout_$file"
  (unset DISPLAY && cd "$case_dir" &&
    exec timeout -k 5 20 "$prog" --record "$file" --pace 1000 >/dev/full 2>err)
  rc=$?
  [ "$rc" = 1 ] && [ "$(cat "$case_dir/err")" = "inkstrip: write error: No space left on device" ] &&
    [ "$(left_in "$case_dir")" = "ball4.bmp err " ]
  judge "--record $file with stdout full: the write error, status 1, no file left"
done

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
