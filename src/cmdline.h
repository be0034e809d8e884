// The command line: --windowed, --pace N, --help and --version, read before anything else
// starts, so that a bad line opens no display and writes no file.
#pragma once

struct Options {
  bool windowed = false;  // a 1024x768 window instead of the full screen
  double pace = 0;        // at most this many curves a second; 0: as fast as the machine allows
};

constexpr int kGoOn = -1;

// Fills options and returns kGoOn, or returns the status to end with at once: 0 after --help
// or --version (printed on stdout), 2 for a line it refuses (said on stderr, with the usage).
int ReadCommandLine(int argc, char** argv, Options* options);
