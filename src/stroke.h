// The stroke: stamps the ball along one cubic Bezier curve while the screen scrolls left like
// a paper strip, and at the start of each curve keeps to the pace and takes the user's
// requests: the screenshot and stop on the first mouse-button press, or a stop without it.
#pragma once

#include <allegro.h>

extern int t;            // stamps made since the current word began
extern BITMAP* ball;     // the sprite stamped along the curves
extern bool dumpfailed;  // the press came but dump.bmp could not be written

constexpr const char* kDumpFile = "dump.bmp";

// points: x0, y0, x1, y1, x2, y2, x3, y3 (start, first control, second control, end).
void Bezier(const int points[8]);
