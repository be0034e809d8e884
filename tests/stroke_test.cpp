// Stamping and scrolling: where each stamp lands on the moving strip, what the scroll leaves
// behind, and stamps that hang over the screen's edges.
#include "stroke.h"

#include <csignal>
#include <set>
#include <utility>

#include "stand.h"
#include "stopping.h"

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

// With a large pen one curve takes long, so a stop signal is not left waiting for its end.
TEST_F(StrokeTest, AStopSignalCutsTheCurveShort) {
  curvestart = [](const int*, int) { stopsignal = SIGTERM; };
  const int spot[8] = {500, 300, 500, 300, 500, 300, 500, 300};
  Bezier(spot);
  stopsignal = 0;
  EXPECT_EQ(t, 0);
  EXPECT_EQ(Count(screen, white_), 0);
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

// A stamp hanging over the top or bottom edge keeps its own place: only its rows on the screen
// show, not a stamp moved or dropped to fit. The ball is white over green over red; the library
// samples a curve held at y = -2 at -2 first and at -1 after that.
TEST_F(StrokeTest, StampsOverTheTopAndBottomEdgesShowOnlyTheirRowsOnScreen) {
  const int green = makecol(0, 255, 0), red = makecol(255, 0, 0);
  destroy_bitmap(ball);
  ball = create_bitmap(1, 3);
  putpixel(ball, 0, 0, white_);
  putpixel(ball, 0, 1, green);
  putpixel(ball, 0, 2, red);
  const int above[8] = {500, -2, 500, -2, 500, -2, 500, -2};
  Bezier(above);
  EXPECT_EQ(getpixel(screen, 430, 0), green);
  EXPECT_EQ(getpixel(screen, 431, 0), green);
  EXPECT_EQ(getpixel(screen, 430, 1), red);
  EXPECT_EQ(getpixel(screen, 431, 1), red);
  EXPECT_EQ(Count(screen, 0), kW * kH - 4);

  clear_to_color(screen, 0);
  t = 0;
  const int below[8] = {500, kH - 2, 500, kH - 2, 500, kH - 2, 500, kH - 2};
  Bezier(below);
  EXPECT_EQ(getpixel(screen, 430, kH - 2), white_);
  EXPECT_EQ(getpixel(screen, 431, kH - 1), green);
  EXPECT_EQ(Count(screen, 0), kW * kH - 4);
}

}  // namespace
