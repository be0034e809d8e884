// The passes that write the user's own words: a text pass after pass, a program's words asked
// for again before each pass, or a live feed written line by line as it comes.
#pragma once

#include <string>
#include <vector>

#include "font.h"
#include "lettering.h"

struct WordsPlan {
  std::string text;        // the words, or empty for a live feed
  bool feed = false;       // the words come line by line from a feed
  bool recording = false;  // a recording holds a feed's lines until it ends, without its waits
  std::string command;     // the program that gives the words, run again before each later pass
  HandStyle style;
};

// Sets the words up, with the ball already the pen, and returns the pass that writes them. The
// font must outlive the passes.
void (*WordsPass(const WordsPlan& plan, const std::vector<Glyph>& font))();
