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

# Under any address-space limit that the loader can start the program under, each run does its
# work whole or says in one line that it cannot, with status 1: never an abort or a crash, never
# a half GIF or a temporary file left. The limits are in KiB: the lowest the loader starts under,
# the pages just above it, where the runtime itself starts, and a spread from there to a little
# past where the run first succeeds, each found by halving; the judging starts few processes of
# its own, so that the sweeps stay quick on a busy machine.
# AddressSanitizer reserves terabytes of address space for its shadow before the program starts,
# and its own allocations are what a limit then refuses, so only a plain build is swept.
if ldd "$prog" | grep -q libasan; then
  echo "skipped: the address-limit sweeps, which a build with AddressSanitizer cannot run under"
  finish
fi
kib_page=4
# A core file is allowed where it can be, to be seen if one is left. The shell's own word on a
# run that aborts is kept out of the log: the verdict says it.
run_limited() {
  local limit=$1
  shift
  { (unset DISPLAY && cd "$case_dir" && { ulimit -c unlimited || :; } && ulimit -v "$limit" &&
    exec timeout -k 5 60 "$prog" "$@" >out 2>err); } 2>/dev/null
  rc=$?
}
# The loader's own failures end with 127 before any of the program runs; ours never do.
loader_starts() { run_limited "$1" --version; [ "$rc" != 127 ]; }
new_case limit_floor
floor_lo=1024 floor=$((32 << 10))
setup "the loader cannot start the program under 1 MiB" test "$(loader_starts $floor_lo || echo no)" = no
while ! loader_starts $floor; do
  floor_lo=$floor floor=$((floor * 2))
  setup "the loader starts the program under 4 GiB" test $floor -le $((4 << 20))
done
while [ $((floor - floor_lo)) -gt $kib_page ]; do
  mid=$(((floor_lo + floor) / 2))
  if loader_starts "$mid"; then floor=$mid; else floor_lo=$mid; fi
done
echo "the loader starts the program from ulimit -v $floor KiB"

# The names in the case's directory, hidden ones too, in $names.
names_in() {
  local f
  names=""
  for f in "$1"/.[!.]* "$1"/*; do [ -e "$f" ] && names="$names${f##*/} "; done
}
# What the run just made was: "whole" (status 0, nothing said, the output and file the unlimited
# run made and nothing else), "refused" (status 1, one line, no output, nothing left but the
# line), or else what was wrong, in $verdict.
judge_run() {
  local ref=$work/limit_${name}_reference lines got want want_out
  names_in "$ref" && want=$names
  names_in "$case_dir"
  mapfile -t lines <"$case_dir/err"
  IFS= read -r -d '' got <"$case_dir/out"
  IFS= read -r -d '' want_out <"$ref/out"
  if [ "$rc" = 0 ] && [ ${#lines[@]} = 0 ] && [ "$got" = "$want_out" ] && [ "$names" = "$want" ] &&
    { [ -z "$made" ] || cmp -s "$ref/$made" "$case_dir/$made"; }; then
    verdict=whole
  elif [ "$rc" = 1 ] && [ ${#lines[@]} = 1 ] && [ -z "$got" ] && [ "$names" = "ball4.bmp err out " ]
  then
    verdict=refused
  elif [ "$rc" = 0 ]; then
    verdict="status 0 but not what the unlimited run made, left: $names"
  else
    verdict="status $rc, ${#lines[@]} lines (${lines[*]:0:2}), left: $names"
  fi
}
# Runs the sweep's program under the limit $1, with its options, and counts the verdict in
# $wholes, $refusals or $wrong; the status says whether the run was whole.
try_at() {
  rm -f "$case_dir/out" "$case_dir/err" "$case_dir"/core* ${made:+"$case_dir/$made"}
  run_limited "$1" "${options[@]}"
  judge_run
  case $verdict in
    whole) wholes=$((wholes + 1)) ;;
    refused) refusals=$((refusals + 1)) ;;
    *) wrong="$wrong
  at $1 KiB: $verdict" ;;
  esac
  [ "$verdict" = whole ]
}
# Sweeps one kind of run, from $pages pages above the floor and $spread limits spread to a
# little past where it is first whole, and judges it once, naming each limit that went wrong.
# Usage: sweep NAME FILE-IT-MAKES-OR-"" options...
sweep() {
  local name=$1 made=$2 options lo hi mid span top k wrong="" wholes=0 refusals=0 start=$SECONDS
  shift 2
  options=("$@")
  new_case "limit_${name}_reference"
  (unset DISPLAY && cd "$case_dir" && exec timeout -k 5 60 "$prog" "$@" >out 2>err)
  setup "run $name with no limit" test $? = 0
  new_case "limit_$name"
  # Where it is first whole: the span from the floor doubled, then halved to 1 MiB.
  span=256
  until try_at $((floor + span)) || [ $span -ge $((4 << 20)) ]; do span=$((span * 2)); done
  lo=$((floor + span / 2)) hi=$((floor + span))
  while [ $((hi - lo)) -gt 1024 ]; do
    mid=$(((lo + hi) / 2))
    if try_at $mid; then hi=$mid; else lo=$mid; fi
  done
  top=$((hi + (hi - floor) / 32))
  for ((k = 0; k < pages; k++)); do try_at $((floor + k * kib_page)); done
  for ((k = 1; k <= spread; k++)); do try_at $((floor + (top - floor) * k / spread)); done
  echo "$name: whole from about $hi KiB; $wholes whole and $refusals refused between $floor and" \
    "$top KiB, in $((SECONDS - start)) s"
  [ -z "$wrong" ] && [ "$wholes" -gt 0 ] && [ "$refusals" -gt 0 ]
  judge "$name under every address limit: the whole result or one line and status 1$wrong"
}
pages=16 spread=20
sweep help "" --help
# The runtime's start is the same for every run: the recordings, slower, take fewer pages of
# it and fewer limits.
pages=4 spread=16
sweep record pass.gif --record pass.gif
sweep record_text words.gif --record words.gif --text "Straße “ð” ŉ"
# The video's encoder asks for tens of megabytes more, in libvpx's own allocations.
sweep record_video words.webm --record words.webm --half --text "Ink" --pace 200

finish
