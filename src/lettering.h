// Writing the user's own words: each glyph's strokes become smooth cubic curves for the pen, and
// each curve gets as many stamps as keep the writing near one spot on the screen while the
// finished words travel left, like a ticker tape, with the stamps close enough to join up.
#pragma once

#include <string>
#include <vector>

#include "font.h"

// Stamps a text curve may have: at least two, at most what the stroke's sample buffers hold,
// and always even, so every second stamp of the word scrolls the strip as in the script.
constexpr int kFewestStamps = 2;
constexpr int kMostStamps = 200;
// The widest gap between stamps, in pixels: the script's own longest curve spaces its samples
// about this far, and the 18-pixel ball still draws an unbroken line. At this step every glyph,
// even 'f' with the most ink for its width, needs fewer stamps than twice its width, so the
// strip always moves less than the glyph is wide and the writing cannot drift off the left.
constexpr double kWidestStep = 8;
// The size of the hand: lower-case letters 126 pixels tall, two thirds of the script's "world",
// so that a short word fits on the screen whole and can be read there.
constexpr double kPixelsPerUnit = 14;

struct PixelPoint {
  double x, y;
};

// One cubic Bezier curve as the stroke takes it: x0, y0, x1, y1, x2, y2, x3, y3.
struct Cubic {
  int p[8];
};

// Whether any character of text has strokes in this font.
bool Inked(const std::string& text, const std::vector<Glyph>& font);

// The curves through a stroke's points, Catmull-Rom style: each passes through two neighbouring
// points, leaving each point in the direction from the point before to the point after (the
// ends count as their own neighbours). A stroke of one point is a dot: one curve standing still.
std::vector<Cubic> StrokeCurves(const std::vector<PixelPoint>& points);

// The length of a curve's control polygon, in pixels: never shorter than the curve.
double PolygonLength(const Cubic& c);

// The stamps for a curve of this length that would move the strip wanted / 2 pixels: as near
// to wanted as the bounds allow (kFewestStamps, kMostStamps, and no step wider than kWidestStep).
int StampsFor(double length, long long wanted);

// Sets what to write, in this font, with a pen of penw x penh pixels; the first pass begins with
// the first glyph at the writing spot. The text must have passed TextProblem.
void SetText(const std::string& text, const std::vector<Glyph>& font, int penw, int penh);

// One pass: the whole text once, then a gap before the next pass begins. After a stop the pen
// walks through the rest without drawing.
void WriteTextPass();

// Where the next glyph's left edge stands on the screen, in pixels.
extern int cursor;
