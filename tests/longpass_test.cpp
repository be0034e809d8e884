// Passes of the user's words of any length: the pen stays on the screen near its writing spot,
// and every curve it hands the library, and the stamp count, stay within what the library's
// fixed-point sampling and an int take.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "font.h"
#include "lettering.h"
#include "letters.h"
#include "pen.h"
#include "stand.h"
#include "stroke.h"

namespace {

using LongPassTest = Stand;

constexpr int kWritingX = 940;              // pixels: where the hand means to write
constexpr int kFixedMost = 32767;           // the largest whole number in 16.16 fixed point
constexpr int kNear = kWritingX - kW / 2;   // pixels: half a screen left of the spot
constexpr int kMostStampsSeen = 2 * 32768;  // a count far below an int's limit

// What the curves of a pass did, seen at each curve start.
struct Watch {
  long long inked = 0;
  int widest = 0;            // the largest |coordinate| handed to the stroke
  int most = 0;              // the largest stamp count at a curve start
  int leftmost = INT_MAX;    // the smallest screen x of a curve that puts ink down
  int off = 0;               // curves that put ink down off the screen
  int lastx = 0, lasty = 0;  // where the curve before ended
  long long stamps = 0;      // made in the pass before the curve under way
  long long laststrip = 0;   // where on the strip the last curve that puts ink down begins
};
Watch seen;

std::vector<Glyph> TheFont() {
  std::vector<Glyph> glyphs;
  EXPECT_EQ(ReadFont(kFontFile, &glyphs), "");
  return glyphs;
}

// A resting pen stands still on the ink it made last, or wholly off the screen: neither puts
// ink down.
void Look(const int p[8], int samples) {
  for (int k = 0; k < 8; ++k) seen.widest = std::max(seen.widest, std::abs(p[k]));
  seen.most = std::max(seen.most, t);
  const int sx = p[0] - t / 2;
  const bool still = std::equal(p, p + 2, p + 2) && std::equal(p, p + 4, p + 4);
  const bool resting = still && ((p[0] == seen.lastx && p[1] == seen.lasty) || sx + ball->w <= 0 ||
                                 p[1] + ball->h <= 0);
  seen.lastx = p[6];
  seen.lasty = p[7];
  const long long before = seen.stamps;
  seen.stamps += samples;
  if (resting) return;
  seen.laststrip = sx + before / kStampsPerScroll;
  ++seen.inked;
  seen.leftmost = std::min(seen.leftmost, sx);
  seen.off += sx < 0 || sx > kW - ball->w || p[1] < 0 || p[1] > kH - ball->h;
}

// Takes the pen the program gives a hand of this size, and watches the curves. The pixels are
// not looked at, so a one-pixel screen stands in for the strip: a pass of 10,000 characters
// scrolls some 350,000 times, and the column blackened and the 3 MB copied at each scroll made
// these tests take two minutes instead of under a second.
void Watching(int size) {
  destroy_bitmap(ball);
  ball = PenFor(size);
  destroy_bitmap(screen);
  screen = create_bitmap(1, 1);
  seen = Watch();
  curvestart = Look;
}

void Begin(const std::string& words, const HandStyle& style) {
  Watching(style.size);
  SetText(words, TheFont(), ball->w, ball->h, style);
}

// A long letter, "words of a long letter 1, words of a long letter 2, ...", this long at least.
std::string Letter(std::size_t least) {
  std::string text;
  for (int i = 1; text.size() < least; ++i)
    text += "words of a long letter " + std::to_string(i) + ", ";
  return text;
}

// The letter, 10,000 characters and more, at the default size and varied at the smallest, whose
// letters fall furthest behind; and a word with no end, as a program's long line can be, of
// dense letters at the smallest size and sparse ones at the default size. The pen writes on
// the screen to the end, the letter within half a screen of its spot, and no curve reaches past
// what the library samples.
TEST_F(LongPassTest, ALongPassIsWrittenOnTheScreenToTheEnd) {
  HandStyle varied;
  varied.size = kSmallestSize;
  varied.vary = true;
  varied.seed = 5;
  HandStyle small;
  small.size = kSmallestSize;
  std::string alphabet;
  while (alphabet.size() < 2000) alphabet += "abcdefghijklmnopqrstuvwxyz";
  const struct {
    std::string words;
    HandStyle style;
    long long inked;  // curves that put ink down: at least
    int leftmost;     // the screen x no inked curve starts left of
  } kPasses[] = {{Letter(10000), HandStyle(), 100000, kNear},
                 {Letter(10000), varied, 100000, kNear},
                 {alphabet, small, 20000, 0},
                 {std::string(2000, 'm'), HandStyle(), 20000, 0}};
  for (const auto& pass : kPasses) {
    Begin(pass.words, pass.style);
    WriteTextPass();
    const std::string which = pass.words.substr(0, 12) + " at " + std::to_string(pass.style.size);
    EXPECT_GT(seen.inked, pass.inked) << which;
    EXPECT_EQ(seen.off, 0) << which;
    EXPECT_GE(seen.leftmost, pass.leftmost) << which;
    EXPECT_LE(seen.widest, kFixedMost) << which;
    EXPECT_LE(seen.most, kMostStampsSeen) << which;
  }
}

// A run of 1,000 spaces, and a live feed that waits after its line for as long as 20,000 rests
// take: the resting pen follows its ink off the strip and stays there, its coordinates and the
// stamp count as small as ever.
TEST_F(LongPassTest, ALongRestKeepsThePenWithinRange) {
  Begin("ink" + std::string(1000, ' ') + "ink", HandStyle());
  WriteTextPass();
  EXPECT_LE(seen.widest, kFixedMost);
  EXPECT_LE(seen.most, kMostStampsSeen);
  const HandStyle style;
  Watching(style.size);
  WriteLineOnce("a feed's line", TheFont(), ball->w, ball->h, style);
  for (int i = 0; i < 20000; ++i) RestAWhile(4);
  EXPECT_LE(seen.widest, kFixedMost);
}

// The pen rests over each blank for as long as the strip takes to move it past: a second space
// between two words puts its own width, no more and no less, between them on the strip.
TEST_F(LongPassTest, EachSpaceKeepsItsWidthOnTheStrip) {
  const std::vector<Glyph> font = TheFont();
  const Glyph space = GlyphFor(' ', font);
  const HandStyle style;
  long long last[2] = {0, 0};
  for (int spaces = 1; spaces <= 2; ++spaces) {
    Watching(style.size);
    SetText("ink" + std::string(spaces, ' ') + "ink", font, ball->w, ball->h, style);
    WriteTextPass();
    last[spaces - 1] = seen.laststrip;
  }
  EXPECT_EQ(last[1] - last[0], std::lround((space.right - space.left) *
                                           static_cast<double>(style.size) / kXHeightUnits));
}

}  // namespace
