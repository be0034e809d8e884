// Recording one pass as an animated GIF: the pass is written by the program's own drawing code
// onto a memory screen, with no display at all, and a frame is taken at the start of curves, so
// each frame is exactly the screen that a press at that moment would have saved.
#pragma once

#include <string>

#include "stroke.h"

// A recording of text takes a frame this often, in stamps: one of the script's curves' worth.
constexpr int kTextFrameStamps = kSamples;

struct RecordPlan {
  int stampsperframe = 0;  // a frame at the first curve start this many stamps after the last
  double pace = 0;         // curves a second the frames are timed at; 0: the default pace
  bool half = false;       // half size each way, each pixel the average of four
};

// Writes pass(), run once on the memory screen with the ball loaded, into path as an animated
// GIF, whole or not at all; prints what it made on stdout before the file takes its name. On
// failure, running out of memory or stdout failing included, says why on stderr and leaves no
// file behind; a stop signal ends the recording early, at any stage, and leaves none either.
// Until the file is begun nothing needs tidying, so StopAtOnce, when on, stays on until then.
bool RecordPass(void (*pass)(), const std::string& path, const RecordPlan& plan);
