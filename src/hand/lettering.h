// Writing the user's own words: each word's letters become one joined-up line of smooth cubic
// curves for the pen, and each curve gets as many stamps as keep the writing near one spot on
// the screen while the finished words travel left, like a ticker tape, with the stamps joined.
#pragma once

#include <allegro.h>

#include <string>
#include <vector>

#include "font.h"
#include "stroke.h"

// Stamps a text curve may have: at least two, at most what the stroke's sample buffers hold,
// and always even, so every second stamp of the word scrolls the strip as in the script.
constexpr int kFewestStamps = 2;
constexpr int kMostStamps = kSampleRoom;
// The widest gap between stamps, in pixels: the script's own longest curve spaces its samples
// about this far, and the 18-pixel ball still draws an unbroken line. A hand steps shorter in
// proportion to its size, with a pen in proportion too.
constexpr double kWidestStep = 8;
// The largest hand: 14 pixels a font unit, lower-case letters 126 pixels tall.
constexpr double kPixelsPerUnit = 14;
constexpr int kXHeightUnits = 9;  // font units from the top of an 'x' down to the baseline

// The size of the hand, as the height of an 'x' in pixels: small enough by default for a line of
// words to be read on the screen at once, up to the largest hand.
constexpr int kSmallestSize = 24;
constexpr int kDefaultSize = 36;
constexpr int kLargestSize = 126;

struct HandStyle {
  int size = kDefaultSize;  // pixels, kSmallestSize to kLargestSize
  bool vary = false;        // every letter a little different, as a person writes
  unsigned seed = 0;        // the variation's seed: the same seed varies the same way
};

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
// to wanted as the bounds allow (kFewestStamps, kMostStamps, and no step wider than step).
int StampsFor(double length, long long wanted, double step = kWidestStep);

// The widest step between stamps for a hand of this size, in pixels.
double StepFor(int size);

// The pen for a hand of this size, a new bitmap, or nullptr if it cannot be made.
BITMAP* PenFor(int size);

// Where the pen goes down for one word, in order, as it would write the word at this size with
// its left edge at x = 0 and the font's y = 0 at y = 0: the joined-up line, then each stroke
// made once the word is written (dots, crosses, accents).
std::vector<std::vector<PixelPoint>> WordStrokes(const std::string& word,
                                                 const std::vector<Glyph>& font, int size);

// Sets what to write, in this font, with a pen of penw x penh pixels, in this style; the first
// pass begins with the first glyph at the writing spot. The text must have passed TextProblem.
void SetText(const std::string& text, const std::vector<Glyph>& font, int penw, int penh,
             const HandStyle& style = HandStyle());

// One pass: the whole text once, then a gap before the next pass begins. After a stop the pen
// walks through the rest without drawing.
void WriteTextPass();

// A line of a live feed, written once, as one pass of a text of those words would write it.
void WriteLineOnce(const std::string& line, const std::vector<Glyph>& font, int penw, int penh,
                   const HandStyle& style);

// The pen rests where the last ink is while the strip moves on stamps / 2 pixels; before any
// words, and once that ink has left the strip, it rests off the strip, where nothing shows.
void RestAWhile(int stamps);
