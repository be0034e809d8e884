#!/usr/bin/env bash
# End-to-end install: the installed tree, moved elsewhere and run from an empty directory, finds
# its sprite from the program's own place, and says where it looked when the sprite is gone.
# Usage: install.sh path/to/inkstrip path/to/bmpsamples path/to/closewindow path/to/dumpmatch
#   path/to/libraise_early.so
. "$(dirname "$(realpath "$0")")/common.sh"
start_display 1024x768x24

install_quietly() { cmake --install "$(dirname "$prog")" --prefix "$1" >/dev/null; }
setup "install the build" install_quietly "$work/installed"
setup "move the installed tree" mv "$work/installed" "$work/moved"
installed="$work/moved/bin/inkstrip"
[ -x "$installed" ] && [ -s "$work/moved/share/inkstrip/ball4.bmp" ] &&
  [ -s "$work/moved/share/man/man6/inkstrip.6.gz" ]
judge "the installed tree holds the program, the sprite and the manual page"

case_dir="$work/empty"
setup "make an empty directory" mkdir "$case_dir"
prog=$installed run_and_press 1.5 press
[ "$rc" = 0 ] && whole_dump "$case_dir" && [ "$(left_in "$case_dir")" = "dump.bmp err out " ]
judge "a moved install tree runs from an empty directory and saves dump.bmp there"

setup "take the sprite away" rm "$work/moved/share/inkstrip/ball4.bmp"
case_dir="$work/nowhere"
setup "make an empty directory" mkdir "$case_dir"
prog=$installed run_refused
[ "$rc" = 1 ] && grep -qF "cannot find ball4.bmp: looked in the working directory, '$work/moved/share/inkstrip', '$work/moved/bin'" "$case_dir/err"
judge "with no sprite anywhere, the message says where it looked"

finish
