// The stroke: stamps the ball along one cubic Bezier curve while the screen scrolls left like
// a paper strip, spread over the curve's time when paced, and at the start of each curve takes
// the user's requests: the screenshot and stop on the first mouse-button press, or a stop.
#pragma once

#include <allegro.h>

extern int t;         // stamps made since the current word began
extern BITMAP* ball;  // the sprite stamped along the curves

constexpr int kSamples = 140;  // points sampled on every curve of the script, whatever its length
constexpr int kSampleRoom = 200;     // the most samples a curve can have: its buffers' size
constexpr int kStampsPerScroll = 2;  // the strip moves one pixel every this many stamps

// points: x0, y0, x1, y1, x2, y2, x3, y3 (start, first control, second control, end). The
// script's curves take kSamples; others from 1 to kSampleRoom, a multiple of kStampsPerScroll
// keeping each scroll at the same stamp of every curve of a word.
void Bezier(const int points[8], int samples = kSamples);

// When set, called at the start of every curve that is drawn, with its points and samples: a
// recording takes its frames here.
extern void (*curvestart)(const int points[8], int samples);

// When set, called in a paced run after every stamp, before the wait for the next one: a screen
// that is shown by a library of our own shows the pen moving here.
extern void (*stampdrawn)();

// When set, called after every stamp, paced or not, once it is on the screen: a recording of
// video takes its frames here, at the moments they fall between two stamps.
extern void (*stampmade)();

// When set, moves the screen one pixel left in place of the copy, leaving the same pixels, with a
// black column 1023 (the one before the move is already black): a memory screen that is a window
// onto a wider sheet moves the window instead.
extern void (*scroll)();

// When set, called once, at the curve start where a mouse press is first seen, after escape is
// raised and before anything else is drawn: the shell saves the screenshot here.
extern void (*pressstart)();
