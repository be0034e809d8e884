// The user's own words: the font file read as it is meant, one glyph's strokes turned into the
// curves the pen draws, the stamps a curve gets, and a long text written on the memory screen
// with every stroke drawn on screen.
#include <algorithm>
#include <string>
#include <vector>

#include "font.h"
#include "lettering.h"
#include "letters.h"
#include "pen.h"
#include "stand.h"
#include "stroke.h"

namespace {

using TextTest = Stand;

std::vector<Glyph> TheFont() {
  std::vector<Glyph> glyphs;
  EXPECT_EQ(ReadFont(kFontFile, &glyphs), "");
  return glyphs;
}

// Records of 95 glyphs, each a box alone but the one at the given place.
std::string Records(const std::string& record, int at = 1) {
  std::string text;
  for (int i = 0; i < 95; ++i) text += i == at ? record : "  100  1JZ\n";
  return text;
}

TEST(Font, RecordsMayRunOnOverLinesAndMustHoldWhatTheySay) {
  std::vector<Glyph> glyphs;
  // '!': the box, a stroke of two points, the pen lifted, a dot, over two lines.
  ASSERT_EQ(ParseFont(Records("  200  5JZPRTV R\nRR\n"), &glyphs), "");
  ASSERT_EQ(glyphs.size(), 95u);
  EXPECT_EQ(glyphs[1].left, -8);
  EXPECT_EQ(glyphs[1].right, 8);
  ASSERT_EQ(glyphs[1].strokes.size(), 2u);
  EXPECT_EQ(glyphs[1].strokes[0].size(), 2u);
  EXPECT_EQ(glyphs[1].strokes[0][1].x, 2);
  EXPECT_EQ(glyphs[1].strokes[0][1].y, 4);
  EXPECT_EQ(glyphs[1].strokes[1].size(), 1u);
  EXPECT_TRUE(Inked("a!", glyphs));  // nothing but '!' has strokes here
  EXPECT_FALSE(Inked("ab", glyphs));

  EXPECT_NE(ParseFont(Records("  200  6JZPRTV R\nRR\n", 94), &glyphs).find("95 is cut short"),
            std::string::npos);
  EXPECT_NE(ParseFont(Records("  200  xJZ\n"), &glyphs).find("no count"), std::string::npos);
  EXPECT_NE(ParseFont(Records("  200  2JZPRTV\n"), &glyphs).find("runs past"), std::string::npos);
  EXPECT_NE(ParseFont(Records("  200  2JZP\x01\n"), &glyphs).find("not a coordinate"),
            std::string::npos);
  EXPECT_NE(ParseFont("  100  1JZ\n", &glyphs).find("fewer than the 95"), std::string::npos);
  EXPECT_EQ(ReadFont("no-such.jhf", &glyphs), "No such file or directory");
}

// '<' is one stroke of three points. Each curve passes through two of them and leaves a point
// in the direction from the point before it to the point after; the ends are their own
// neighbours, so a curve leaves an end a sixth of the way to the next point.
TEST(Font, AGlyphsStrokeBecomesCurvesThroughItsPoints) {
  const Glyph less = TheFont().at('<' - kFirstGlyph);
  ASSERT_EQ(less.strokes.size(), 1u);
  std::vector<PixelPoint> points;
  for (FontPoint p : less.strokes[0]) points.push_back({p.x * 6.0, p.y * 6.0});
  const std::vector<Cubic> curves = StrokeCurves(points);
  ASSERT_EQ(curves.size(), 2u);
  EXPECT_EQ(std::vector<int>(curves[0].p, curves[0].p + 8),
            (std::vector<int>{48, -54, 32, -45, -48, -18, -48, 0}));
  EXPECT_EQ(std::vector<int>(curves[1].p, curves[1].p + 8),
            (std::vector<int>{-48, 0, -48, 18, 32, 45, 48, 54}));
  const std::vector<Cubic> dot = StrokeCurves({{5, 7}});
  ASSERT_EQ(dot.size(), 1u);
  EXPECT_EQ(std::vector<int>(dot[0].p, dot[0].p + 8), (std::vector<int>{5, 7, 5, 7, 5, 7, 5, 7}));
}

// As many as the strip needs, but never so few that the stamps part, never more than the
// sample buffers hold, and always even.
TEST(Font, AStrokeGetsTheStampsTheStripNeedsWithinItsBounds) {
  EXPECT_EQ(StampsFor(0, -40), 2);
  EXPECT_EQ(StampsFor(64, 0), 10);  // 9 stamps make the 8 steps of 8 pixels, made even
  EXPECT_EQ(StampsFor(60, 51), 52);
  EXPECT_EQ(StampsFor(60, 40), 40);
  EXPECT_EQ(StampsFor(1000, 5), 126);
  EXPECT_EQ(StampsFor(5000, 0), 200);
  EXPECT_EQ(StampsFor(0, 1000000), 200);
}

// Wide and narrow glyphs, dense and sparse ones, runs of spaces and a pass after pass: every
// curve that puts ink down starts on the screen with room for the pen, and the pen rests
// between glyphs leave the finished words alone.
TEST_F(TextTest, ALongTextIsWrittenOnScreenPassAfterPass) {
  destroy_bitmap(ball);
  ball = load_bitmap(BALL_FILE, nullptr);
  SetText("  X@M f-f,   mW.", TheFont(), ball->w, ball->h);
  static int inked, off, lastx, lasty;
  inked = off = 0;
  lastx = lasty = -1;
  curvestart = [](const int p[8], int) {
    const bool still = std::equal(p, p + 2, p + 2) && std::equal(p, p + 4, p + 4);
    const bool resting = still && p[0] == lastx && p[1] == lasty;
    lastx = p[6];
    lasty = p[7];
    if (resting) return;
    ++inked;
    const int sx = p[0] - t / 2;
    off += sx < 0 || sx > kW - ball->w || p[1] < 0 || p[1] > kH - ball->h;
  };
  WriteTextPass();
  WriteTextPass();
  curvestart = nullptr;
  EXPECT_GT(inked, 400);
  EXPECT_EQ(off, 0);
  EXPECT_GT(Count(screen, 0), kW * kH / 2);
}

// A press during a pass of text: the screen is saved, nothing more is drawn, and the pass runs
// out, resting pen and all, without drawing.
TEST_F(TextTest, APressStopsTheWritingAndThePassRunsOut) {
  SetText("a    b", TheFont(), 1, 1);
  WriteTextPass();
  BITMAP* before = Copy(screen);
  mouse_b = 1;
  WriteTextPass();
  EXPECT_TRUE(escape);
  EXPECT_TRUE(Same(screen, before));
  EXPECT_TRUE(IsFile("dump.bmp"));
  destroy_bitmap(before);
}

}  // namespace
