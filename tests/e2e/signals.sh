#!/usr/bin/env bash
# End-to-end stop signals: each ends the program promptly by that very signal with no core file,
# while it writes, during a recording, and when raised before main while the libraries start.
# Usage: signals.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow path/to/dumpmatch
#   path/to/libraise_early.so
. "$(dirname "$(realpath "$0")")/common.sh"
start_display 1024x768x24

for sig in INT TERM HUP QUIT; do
  new_case "signal_$sig"
  run_and_signal "$sig"
  [ "$rc" = $((128 + $(kill -l "$sig"))) ] && [ "$took" -le 5 ] && [ ! -s "$case_dir/err" ] &&
    [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
  judge "SIG$sig while it writes: ends promptly by that signal, no core dump"
done

# A long recording stopped by a signal once its private file is there: ended by it, and no
# unfinished file left.
for file in long.gif long.webm; do
  new_case "record_stopped_$file"
  set -m
  (unset DISPLAY && cd "$case_dir" &&
    exec "$prog" --record "$file" --text "$(printf 'a long line %.0s' {1..200})" >out 2>err) &
  pid=$!
  set +m
  for _ in $(seq 100); do
    [ "$(find "$case_dir" -name "long*.${file#*.}" | wc -l)" = 1 ] && break
    sleep 0.1
  done
  kill -TERM "$pid"
  wait "$pid"
  rc=$?
  [ "$rc" = 143 ] && [ ! -s "$case_dir/err" ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
  judge "a signal during a recording of $file ends it by the signal and leaves no file behind"
done

# A SIGQUIT raised while the libraries initialise, before main: held back until the program's
# own handler takes it, so it ends the program by that signal without a core file. With no
# display, a signal lost on the way would end the run at once with status 1, not hang it.
new_case signal_before_main
(unset DISPLAY && cd "$case_dir" && ulimit -c unlimited && INKSTRIP_RAISE_EARLY=3 \
  LD_PRELOAD="$raise_early" ASAN_OPTIONS=verify_asan_link_order=0 exec "$prog" >out 2>err)
rc=$?
[ "$rc" = 131 ] && [ "$(left_in "$case_dir")" = "ball4.bmp err out " ]
judge "SIGQUIT while the libraries start, before main: ends by it, no core file"

finish
