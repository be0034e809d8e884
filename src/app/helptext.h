// What the program says of itself: the usage, the --help text and the manual page's options,
// all made from the one table of options.
#pragma once

#include <string>

constexpr const char* kUsage =
    "usage: inkstrip [--windowed] [--pace N] [--text TEXT] [--sprite FILE] [--output FILE]\n"
    "       inkstrip --fit [--windowed] [--pace N] [--text TEXT] [--sprite FILE] [--output FILE]\n"
    "       inkstrip --root | --window-id ID [--pace N] [--text TEXT] [--sprite FILE]\n"
    "       inkstrip --record FILE.gif|FILE.webm [--half] [--pace N] [--text TEXT] [--sprite "
    "FILE]\n"
    "       with --text: [--size PX] [--vary [--seed N]]\n"
    "       (--text-file FILE or --text-program CMD in place of --text)\n"
    "       inkstrip --help | --version";

// A table text with its {names} filled in; for the manual page the screen's size is written with
// a multiplication sign.
std::string Filled(const char* text, bool manual = false);

// Everything --help prints after the usage: what the program does, the options from the table
// wrapped as wide as the usage, the mouse and keys, the files and the exit status.
std::string HelpText();

// The manual page's OPTIONS entries, in roff: for each option of the table its help and what
// the manual says besides, option names in bold and every character outside ASCII escaped.
std::string ManualOptions();
