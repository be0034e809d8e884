// Recording one pass as an animated GIF or a video: the pass is written by the program's own
// drawing code onto a memory screen, with no display at all. A GIF's frames are taken at the
// start of curves, so each is exactly the screen a press at that moment would have saved.
#pragma once

#include <cstddef>
#include <string>

#include "stroke.h"

// With no --pace, a recording is timed as if ten of the script's curves were written a second:
// fast enough to watch a pass in under five seconds, slow enough to follow the pen.
constexpr double kDefaultCurvesPerSecond = 10;
constexpr double kStampsPerSecond = kDefaultCurvesPerSecond * kSamples;
constexpr double kHoldLastSeconds = 1;  // the finished screen stays this long at the end

// A recording of text takes a frame this often, in stamps: one of the script's curves' worth.
constexpr int kTextFrameStamps = kSamples;

struct RecordPlan {
  int stampsperframe = 0;  // a frame at the first curve start this many stamps after the last
  double pace = 0;         // curves a second the frames are timed at; 0: the default pace
  bool half = false;       // half size each way, each pixel the average of four
};

// Writes pass(), run once on the memory screen with the ball loaded, into path as an animated
// GIF, or as a WebM video when path ends in .webm, whole or not at all; prints what it made on
// stdout before the file takes its name. On failure, running out of memory or stdout failing
// included, says why on stderr and leaves no file behind; a stop signal ends the recording early,
// at any stage, and leaves none either. Until the file is begun nothing needs tidying, so
// StopAtOnce, when on, stays on until then.
bool RecordPass(void (*pass)(), const std::string& path, const RecordPlan& plan);

// The line that says what was made, on stdout; whether stdout took it.
bool ReportRecorded(const std::string& path, int frames, int width, int height, std::size_t bytes);
