# The helpers every end-to-end file shares: the programs under test, a private work directory,
# the verdicts and the closing count, and the ways of running, pressing and signalling the program.
# Sourced by each file with its arguments: path/to/inkstrip path/to/bmpsamples
#   path/to/closewindow path/to/dumpmatch path/to/libraise_early.so
# (or INKSTRIP, INKSTRIP_SAMPLES, INKSTRIP_CLOSEWINDOW, INKSTRIP_DUMPMATCH, INKSTRIP_RAISE_EARLY).
set -u
e2e_dir=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
. "$e2e_dir/../../scripts/xlib.sh"

passed=0
failed=0
# Ends the file with its count; the status is non-zero when anything failed.
finish() {
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ]
  exit
}
ok() { passed=$((passed + 1)); echo "ok: $1"; }
bad() { failed=$((failed + 1)); echo "FAILED: $1"; sed 's/^/  | /' "$case_dir/err" 2>/dev/null; }
# Judges the condition just tested: judge "what it shows" after a command or a list of them.
judge() { if [ $? = 0 ]; then ok "$1"; else bad "$1"; fi; }
# Seconds an awaited condition may take before the test fails: on a busy machine a program or
# a server can take a minute or two to start, draw or end, and each look at a large screen
# some seconds.
wait_limit=180
# Waits, by the clock, up to $wait_limit seconds for the command to succeed.
await() {
  local until=$((SECONDS + wait_limit))
  until "$@"; do
    [ "$SECONDS" -lt "$until" ] || return 1
    sleep 0.1
  done
}

# Runs a command the test needs but does not test: if it fails, the file fails as a set-up
# failure, never blamed on the program. Usage: setup "what it does" command...
setup() {
  local what=$1
  shift
  "$@" && return 0
  failed=$((failed + 1))
  echo "SET-UP FAILED: $what"
  finish
}

program_path() { [ -n "$1" ] && realpath -e "$1" 2>/dev/null; }
prog=$(program_path "${1:-${INKSTRIP:-}}")
setup "find the program" test -x "$prog"
samples=$(program_path "${2:-${INKSTRIP_SAMPLES:-}}")
closewindow=$(program_path "${3:-${INKSTRIP_CLOSEWINDOW:-}}")
dumpmatch=$(program_path "${4:-${INKSTRIP_DUMPMATCH:-}}")
raise_early=$(program_path "${5:-${INKSTRIP_RAISE_EARLY:-}}")
ball=$(dirname "$prog")/ball4.bmp

work=$(mktemp -d "${TMPDIR:-/tmp}/inkstrip-e2e.XXXXXX") || {
  echo "SET-UP FAILED: make a work directory"
  echo "0 passed, 1 failed"
  exit 1
}
chmod 755 "$work"
mounted=""
trap 'stop_xvfb; [ -n "$mounted" ] && umount "$mounted"; rm -rf "$work"' EXIT

# Starts this file's own X server: start_display SIZExDEPTH [Xvfb arguments].
start_display() { setup "start Xvfb $*" start_xvfb "$@"; }
# The sample sprites, good and hostile, in $work/samples.
make_samples() { setup "make the sample sprites" "$samples" "$work/samples"; }

# A fresh working directory with the sprite in it.
new_case() {
  case_dir="$work/$1"
  setup "make the case $1" mkdir -p "$case_dir"
  setup "copy the sprite into $1" cp "$ball" "$case_dir/"
}

# Runs the program in the case's directory with the options after the first two arguments and
# core files allowed, and after $1 seconds does $2 ("press" holds the button). When $as_user is
# set for the call, runs as that user the copy at $work/inkstrip, which another user can reach
# whatever the permissions of the build folder. Leaves the exit status in $rc, the pid in $running.
run_and_press() {
  local delay=$1 action=$2
  shift 2
  if [ -n "${as_user:-}" ]; then
    (cd "$case_dir" && ulimit -c unlimited && exec setpriv --reuid="$as_user" \
      --regid="$as_user" --clear-groups "$work/inkstrip" "$@" >out 2>err) &
  else
    (cd "$case_dir" && ulimit -c unlimited && exec "$prog" "$@" >out 2>err) &
  fi
  local pid=$!
  running=$pid
  sleep "$delay"
  if [ "$action" = press ]; then press_mouse 0.3; else $action; fi
  if ! wait_for_exit "$pid" 60; then kill -9 "$pid"; fi
  wait "$pid"
  rc=$?
}

# Runs the program where it is expected to refuse to start or end at once; never presses.
run_refused() {
  (cd "$case_dir" && exec timeout -k 5 20 "$prog" "$@" >out 2>err)
  rc=$?
}
# The same with DISPLAY set to $1 for this run alone, or taken away if $1 is "unset".
run_refused_on() {
  local display=$1
  shift
  if [ "$display" = unset ]; then
    (unset DISPLAY; run_refused "$@"; exit "$rc")
  else
    (export DISPLAY=$display; run_refused "$@"; exit "$rc")
  fi
  rc=$?
}

# Runs the program, sends it signal $1 while it writes, and leaves its exit status in $rc and
# the seconds it took to end in $took. Job control keeps SIGINT from being ignored in the job.
run_and_signal() {
  set -m
  (cd "$case_dir" && ulimit -c unlimited && exec "$prog" >out 2>err) &
  local pid=$!
  set +m
  sleep 1.5
  local start=$SECONDS
  kill -s "$1" "$pid"
  if ! wait_for_exit "$pid" 20; then kill -9 "$pid"; fi
  wait "$pid"
  rc=$?
  took=$((SECONDS - start))
}

whole_dump() { [ "$(stat -c %s "$1/dump.bmp" 2>/dev/null)" = "$DUMP_BYTES" ]; }
# The screenshot is, to the pixel, the memory screen of the default run before some curve.
exact_dump() { "$dumpmatch" "$ball" "$1/dump.bmp" >/dev/null; }
left_in() { ls -A "$1" | sort | tr "\n" " "; }
same_pixels() { [ "$(convert "$1" rgb:- | md5sum)" = "$(convert "$2" rgb:- | md5sum)" ]; }
