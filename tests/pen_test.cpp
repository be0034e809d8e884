// The pen: offsets in sixths of a pixel, truncated toward zero, taken from the curve's start;
// smooth joins; the pen keeps walking when nothing is drawn.
#include "pen.h"

#include <vector>

#include "main3.h"
#include "stand.h"
#include "stroke.h"

namespace {

class PenTest : public Stand {
 protected:
  // The screen that Bezier alone draws for these curves, one after the other, from t = 0.
  BITMAP* DrawnBy(const std::vector<std::vector<int>>& curves) {
    BITMAP* real = screen;
    const int saved_t = t;
    screen = create_bitmap(kW, kH);
    clear_to_color(screen, 0);
    t = 0;
    for (const auto& c : curves) Bezier(c.data());
    BITMAP* drawn = screen;
    screen = real;
    t = saved_t;
    return drawn;
  }

  void ExpectScreenOf(const std::vector<std::vector<int>>& curves) {
    BITMAP* expected = DrawnBy(curves);
    EXPECT_TRUE(Same(screen, expected));
    destroy_bitmap(expected);
  }
};

TEST_F(PenTest, FirstCommandOfTheScriptGivesItsControlPoints) {
  Moveto(550, 150);
  Cproc(-141, -889, 909, -41, 1313, -788);
  EXPECT_EQ(x, 768);
  EXPECT_EQ(y, 19);
  EXPECT_EQ(lastcx, 701);
  EXPECT_EQ(lastcy, 144);
  EXPECT_EQ(t, 140);
  ExpectScreenOf({{550, 150, 527, 2, 701, 144, 768, 19}});
}

// Each offset is divided on its own and truncated toward zero: -5 and 5 move nothing, 11 moves
// one pixel where rounding would move two, -11 and -7 move one where flooring would move two.
TEST_F(PenTest, OffsetsTruncateTowardZeroEachOnItsOwn) {
  Moveto(100, 100);
  Cproc(-5, 5, 11, -11, -7, 17);
  EXPECT_EQ(x, 99);
  EXPECT_EQ(y, 102);
  EXPECT_EQ(lastcx, 101);
  EXPECT_EQ(lastcy, 99);
  ExpectScreenOf({{100, 100, 100, 100, 101, 99, 99, 102}});
}

TEST_F(PenTest, SprocMirrorsTheLastControlPointThroughTheJoin) {
  Moveto(300, 300);
  Cproc(60, 0, 120, 60, 180, 0);
  Sproc(120, -60, 180, 0);
  EXPECT_EQ(x, 360);
  EXPECT_EQ(y, 300);
  EXPECT_EQ(lastcx, 350);
  EXPECT_EQ(lastcy, 290);
  // The join (330, 300) lies midway between the old second control point and the new first one.
  ExpectScreenOf(
      {{300, 300, 310, 300, 320, 310, 330, 300}, {330, 300, 340, 290, 350, 290, 360, 300}});
}

TEST_F(PenTest, MovetoKeepsTheControlPointAndTheStampCount) {
  Moveto(300, 300);
  Cproc(60, 0, 120, 60, 180, 0);
  Moveto(500, 400);
  EXPECT_EQ(lastcx, 320);
  EXPECT_EQ(lastcy, 310);
  EXPECT_EQ(t, 140);
  Sproc(0, 0, 0, 0);  // mirrors (320, 310), which lay before the move
  ExpectScreenOf(
      {{300, 300, 310, 300, 320, 310, 330, 300}, {500, 400, 680, 490, 500, 400, 500, 400}});
}

TEST_F(PenTest, SprocBeforeAnyCurveMirrorsTheOrigin) {
  Moveto(200, 100);
  Sproc(60, 0, 120, 0);
  ExpectScreenOf({{200, 100, 400, 200, 210, 100, 220, 100}});
}

TEST_F(PenTest, ThePenWalksOnAfterTheStop) {
  escape = true;
  BITMAP* before = Copy(screen);
  Moveto(550, 150);
  Cproc(-141, -889, 909, -41, 1313, -788);
  Sproc(-242, 949, -546, 3222);
  EXPECT_EQ(x, 768 - 91);
  EXPECT_EQ(y, 19 + 537);
  EXPECT_EQ(lastcx, 768 - 40);
  EXPECT_EQ(lastcy, 19 + 158);
  EXPECT_EQ(t, 0);
  EXPECT_TRUE(Same(screen, before));
  destroy_bitmap(before);
}

}  // namespace
