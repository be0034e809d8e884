#!/usr/bin/env bash
# End-to-end sources of words: a file, a pipe, a named pipe and a program write what --text
# writes, byte for byte in a recording; a live feed that pauses writes its lines in order and
# names the one it skips; a program that hangs yields to SIGTERM at once and leaves nothing
# running, with no display and with one.
# Usage: sources.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow path/to/dumpmatch
#   path/to/libraise_early.so
. "$(dirname "$(realpath "$0")")/common.sh"

# Milliseconds since the epoch.
now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Whether the process whose number is in file $1 still runs (a zombie runs no more).
still_running() {
  local pid state
  pid=$(cat "$1" 2>/dev/null) || return 1
  sleep 0.2
  state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}

# Records the words of --text "$1" into the case's $2, half size.
record_text() { (cd "$case_dir" && exec "$prog" --record "$2" --half --text "$1" >/dev/null 2>>err); }
# Records with the options after $1 into the case's $1, half size.
record() {
  local gif=$1
  shift
  (cd "$case_dir" && exec timeout -k 5 60 "$prog" --record "$gif" --half "$@" >/dev/null 2>>err)
}

new_case same
record_text "Encre, on a strïp" text.gif
printf 'Encre,\r\non a\r\nstr\303\257p' >"$case_dir/words.txt"
record file.gif --text-file words.txt
printf 'Encre,\non a str\303\257p\n' | record pipe.gif --text-file -
record stdin.gif --text-file - <"$case_dir/words.txt"
mkfifo "$case_dir/fifo"
(printf '\357\273\277Encre, on\na str\303\257p\n' >"$case_dir/fifo" &)
record fifo.gif --text-file fifo
record program.gif --text-program "printf 'Encre,\\non a\\nstr\\303\\257p\\n'"
[ -s "$case_dir/text.gif" ] && [ ! -s "$case_dir/err" ]
judge "the sources record without a word on stderr"
for source in file pipe stdin fifo program; do
  cmp -s "$case_dir/text.gif" "$case_dir/$source.gif"
  judge "--text-file and --text-program: the $source records what --text records, byte for byte"
done

# A pass ends with a blank of three spaces, so each line of a feed, written as a pass of its
# own, writes what --text writes with its lines three spaces apart. The line between them
# cannot be written: it is named, quoted, and the feed goes on.
new_case feed
record_text "Ink,   on" text.gif
{
  echo "Ink,"
  sleep 3
  printf 'caf\x1b[31m\n'
  echo "on"
} | record feed.gif --text-file -
cmp -s "$case_dir/text.gif" "$case_dir/feed.gif"
judge "a feed that pauses writes both its lines, in order, as --text writes them"
[ "$(wc -l <"$case_dir/err")" = 1 ] && grep -qF "inkstrip: skipped 'caf\\x1b[31m': " "$case_dir/err" &&
  ! grep -q $'\x1b' "$case_dir/err"
judge "a feed's line that cannot be written is named in one quoted line, and skipped"

new_case refused
printf 'fine\n\abell\n' >"$case_dir/bell.txt"
for refused in "cannot write the words of 'bell.txt': line 2: |--text-file bell.txt" \
  "'exit 4': it failed with status 4|--text-program exit 4" \
  "'true': it printed nothing|--text-program true"; do
  IFS='|' read -r said words <<<"$refused"
  read -ra opts <<<"$words"
  [ "${opts[0]}" = --text-program ] && opts=(--text-program "${words#--text-program }")
  run_refused_on unset --record none.gif "${opts[@]}"
  [ "$rc" = 1 ] && grep -qF "inkstrip: $said" "$case_dir/err" && [ "$(wc -l <"$case_dir/err")" = 1 ] &&
    [ ! -e "$case_dir/none.gif" ]
  judge "$words: one line on stderr and status 1, nothing recorded"
done

# Signalled $1 seconds after the start, the run of the options after $1 ends by SIGTERM within
# a second, and the program it ran is gone. Leaves the status in $rc, the time it took to end in
# $took_ms, and in $cpu_percent the share of a processor it took in the second before the signal.
term_after() {
  local delay=$1 pid start ticks
  shift
  set -m
  (cd "$case_dir" && exec "$prog" "$@" >out 2>err) &
  pid=$!
  set +m
  sleep "$((delay - 1))"
  ticks=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep 1
  cpu_percent=$(($(awk '{print $14 + $15}' "/proc/$pid/stat") - ticks))
  start=$(now_ms)
  kill -TERM "$pid"
  if ! wait_for_exit "$pid" 20; then kill -9 "$pid"; fi
  wait "$pid"
  rc=$?
  took_ms=$(($(now_ms) - start))
}

new_case hang
term_after 1 --record hang.gif --text-program 'echo $$ >pid; sleep 1000'
[ "$rc" = 143 ] && [ "$took_ms" -lt 1000 ] && ! still_running "$case_dir/pid" &&
  [ "$(left_in "$case_dir")" = "ball4.bmp err out pid " ]
judge "a program that hangs before a recording yields to SIGTERM in ${took_ms} ms, and is gone"

# On the screen the pen rests while it waits, the strip moving on, without spending the processor.
# Under the sanitizers every stamp costs several times over, so only a plain build is held to it.
restlimit=30
ldd "$prog" | grep -q libasan && restlimit=100
start_display 1024x768x24
new_case hang_later
term_after 3 --windowed --text-program \
  'if [ -e once ]; then echo $$ >pid; exec sleep 1000; fi; touch once; echo Ink'
[ "$rc" = 143 ] && [ "$took_ms" -lt 1000 ] && [ -s "$case_dir/pid" ] &&
  ! still_running "$case_dir/pid"
judge "a program that hangs before a later pass yields to SIGTERM in ${took_ms} ms, and is gone"
[ "$cpu_percent" -lt "$restlimit" ]
judge "the pen rests while a program runs: ${cpu_percent}% of a processor"

new_case feed_live
mkfifo "$case_dir/feed"
(exec >"$case_dir/feed" && echo Ink && exec sleep 30) &
writer=$!
term_after 3 --windowed --text-file feed
kill "$writer"
[ "$rc" = 143 ] && [ "$took_ms" -lt 1000 ] && [ "$cpu_percent" -lt "$restlimit" ] &&
  [ ! -s "$case_dir/err" ]
judge "a live feed at rest: ${cpu_percent}% of a processor, and SIGTERM in ${took_ms} ms"

finish
