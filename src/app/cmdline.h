// The command line, read before anything else starts, so that a bad line opens no display and
// writes no file; and the table of its options, from which --help and the manual page are made.
#pragma once

#include <cstddef>
#include <string>

#include "lettering.h"

struct Options {
  bool windowed = false;  // a 1024x768 window instead of the full screen
  double pace = 0;        // at most this many curves a second; 0: as fast as the machine allows
  std::string text;       // the words to write; empty: the script's "Hello" and "world"
  std::string sprite;     // the pen; empty: ball4.bmp where it is found
  std::string output;     // the screenshot, .bmp or .png; empty: dump.bmp
  std::string record;     // a file to record one pass into, with no display; empty: none
  bool half = false;      // the recording at half size
  HandStyle hand;         // the size and variation of the hand for --text
  bool sized = false;     // --size was given
  bool seeded = false;    // --seed was given

  // In place of text: the lines of a file ('-': standard input), or what a shell command prints
  // before each pass.
  std::string textfile;
  std::string textprogram;
  bool fit = false;   // scaled to fill the display, or with --windowed a resizable window
  bool root = false;  // draw into $XSCREENSAVER_WINDOW, or the root window, as a screensaver
  unsigned long windowid = 0;  // draw into this window of another program; 0: none
};

// Takes an option's value (nullptr for an option that takes none) into the options; returns ""
// or the problem, as the line that says it.
using OptionReader = std::string (*)(const char* value, Options* options);

// One option: what it is called, what it takes, how it is read and what it does. The texts
// name the program's numbers and files as {screen}, {pace-range}, {sizes}, {default-size},
// {seeds}, {ball}, {dump}, {font} and {font-package}, filled in where they are shown.
struct OptionSpec {
  const char* name;    // the long form, without its dashes
  char letter;         // the one-letter form, or 0
  const char* value;   // what its value stands for ("N", "FILE"), or nullptr when it takes none
  OptionReader read;   // nullptr for --help and --version, which end the reading
  const char* help;    // what it does, for --help and the manual page alike
  const char* manual;  // what the manual page says besides, or nullptr
};

extern const OptionSpec kOptionTable[];
extern const std::size_t kOptionCount;

constexpr double kSlowestPace = 0.01;   // curves a second: one every 100 s
constexpr double kFastestPace = 10000;  // curves a second, far past what a display can show
constexpr unsigned long kLargestSeed = 4294967295;  // the generator takes 32 bits

// The paces taken, as the messages and the help say them: "0.01 to 10000".
std::string PaceRange();

constexpr int kGoOn = -1;

// Fills options and returns kGoOn, or returns the status to end with at once: 0 after --help
// or --version (printed on stdout; 1 if they cannot be written), 2 for a line it refuses (said
// on stderr, with the usage).
int ReadCommandLine(int argc, char** argv, Options* options);

// Drawing into a given window, as a screensaver does, rather than a screen of its own.
bool IntoGivenWindow(const Options& options);

// Scaled by a library of our own choosing onto a display, rather than Allegro's screen.
bool Scaled(const Options& options);
