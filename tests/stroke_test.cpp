// Stamping and scrolling: where each stamp lands on the moving strip, what the scroll leaves
// behind, and clipping at the screen's edges.
#include "stroke.h"

#include <set>
#include <utility>

#include "stand.h"

namespace {

using StrokeTest = Stand;

TEST_F(StrokeTest, ACurveScrollsSeventyPixelsAndBlackensTheRightColumnsFirst) {
  const int red = makecol(255, 0, 0);
  clear_to_color(screen, white_);
  putpixel(screen, 600, 400, red);
  const int offscreen[8] = {-100, -100, -100, -100, -100, -100, -100, -100};
  Bezier(offscreen);
  EXPECT_EQ(t, 140);
  EXPECT_EQ(getpixel(screen, 530, 400), red);
  EXPECT_EQ(Count(screen, red), 1);
  // Each step paints column 1023 before the copy, so 70 steps leave 71 black columns.
  for (int col = 953; col < kW; ++col) {
    for (int row : {0, 383, kH - 1}) ASSERT_EQ(getpixel(screen, col, row), 0) << col << "," << row;
  }
  EXPECT_EQ(Count(screen, 0), 71 * kH);
  EXPECT_EQ(getpixel(screen, 952, 0), white_);
}

// On the strip every sample keeps its curve x less the scroll of the whole curve; odd samples
// land one pixel further right because their scroll comes before their stamp.
TEST_F(StrokeTest, FirstCurveOfTheScriptLandsOnTheStripAtItsSamples) {
  const int points[8] = {550, 150, 527, 2, 701, 144, 768, 19};
  int sx[140], sy[140];
  calc_spline(points, 140, sx, sy);
  ASSERT_EQ(sx[0], 550);
  ASSERT_EQ(sy[0], 150);
  std::set<std::pair<int, int>> expected;
  for (int i = 0; i < 140; ++i) expected.insert({sx[i] - 70 + i % 2, sy[i]});
  Bezier(points);
  for (const auto& [px, py] : expected)
    EXPECT_EQ(getpixel(screen, px, py), white_) << px << "," << py;
  EXPECT_EQ(Count(screen, white_), static_cast<int>(expected.size()));
}

TEST_F(StrokeTest, CoincidentPointsPileUpOnePixelApartAndTheMaskStaysClear) {
  const int red = makecol(255, 0, 0);
  destroy_bitmap(ball);
  ball = Row({white_, makecol(255, 0, 255)});
  clear_to_color(screen, red);
  const int spot[8] = {500, 300, 500, 300, 500, 300, 500, 300};
  Bezier(spot);
  EXPECT_EQ(t, 140);
  EXPECT_EQ(getpixel(screen, 429, 300), red);
  EXPECT_EQ(getpixel(screen, 430, 300), white_);
  EXPECT_EQ(getpixel(screen, 431, 300), white_);
  EXPECT_EQ(getpixel(screen, 432, 300), red);
  EXPECT_EQ(Count(screen, white_), 2);
}

// The shift is half the word's stamp count, truncated: from an odd count even and odd samples
// get the same shift less one, and the pile closes up onto one pixel.
TEST_F(StrokeTest, TheShiftIsHalfTheStampCountOfTheWord) {
  const int spot[8] = {1000, 300, 1000, 300, 1000, 300, 1000, 300};
  t = 1000;
  Bezier(spot);
  EXPECT_EQ(t, 1140);
  EXPECT_EQ(getpixel(screen, 430, 300), white_);
  EXPECT_EQ(getpixel(screen, 431, 300), white_);
  EXPECT_EQ(Count(screen, white_), 2);

  clear_to_color(screen, 0);
  t = 1001;
  Bezier(spot);
  EXPECT_EQ(getpixel(screen, 430, 300), white_);
  EXPECT_EQ(Count(screen, white_), 1);
}

TEST_F(StrokeTest, StampsOffEveryEdgeAreClipped) {
  destroy_bitmap(ball);
  ball = load_bitmap(BALL_FILE, nullptr);
  ASSERT_NE(ball, nullptr);
  const int around[8] = {-10, -10, 1040, -10, 1040, 780, -10, 780};
  Bezier(around);
  EXPECT_EQ(t, 140);
  int top = 0, bottom = 0;
  for (int col = 0; col < kW; ++col) {
    top += getpixel(screen, col, 0) != 0;
    bottom += getpixel(screen, col, kH - 1) != 0;
  }
  EXPECT_GT(top, 0);
  EXPECT_GT(bottom, 0);
}

}  // namespace
