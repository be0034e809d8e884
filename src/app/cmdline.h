// The command line, read before anything else starts, so that a bad line opens no display and
// writes no file.
#pragma once

#include <string>

#include "lettering.h"

struct Options {
  bool windowed = false;  // a 1024x768 window instead of the full screen
  double pace = 0;        // at most this many curves a second; 0: as fast as the machine allows
  std::string text;       // the words to write; empty: the script's "Hello" and "world"
  std::string sprite;     // the pen; empty: ball4.bmp where it is found
  std::string output;     // the screenshot, .bmp or .png; empty: dump.bmp
  std::string record;     // a GIF to record one pass into, with no display; empty: none
  bool half = false;      // the recording at half size
  HandStyle hand;         // the size and variation of the hand for --text

  // In place of text: the lines of a file ('-': standard input), or what a shell command prints
  // before each pass.
  std::string textfile;
  std::string textprogram;
  bool fit = false;   // scaled to fill the display, or with --windowed a resizable window
  bool root = false;  // draw into $XSCREENSAVER_WINDOW, or the root window, as a screensaver
  unsigned long windowid = 0;  // draw into this window of another program; 0: none
};

constexpr int kGoOn = -1;

// Fills options and returns kGoOn, or returns the status to end with at once: 0 after --help
// or --version (printed on stdout; 1 if they cannot be written), 2 for a line it refuses (said
// on stderr, with the usage).
int ReadCommandLine(int argc, char** argv, Options* options);

// Drawing into a given window, as a screensaver does, rather than a screen of its own.
bool IntoGivenWindow(const Options& options);

// Scaled by a library of our own choosing onto a display, rather than Allegro's screen.
bool Scaled(const Options& options);
