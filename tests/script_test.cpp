// The handwriting script as a whole: where the pen and the stamp count stand after each word,
// what a pass leaves on the screen, and a button held from the start.
#include "main3.h"
#include "pen.h"
#include "stand.h"
#include "stroke.h"

namespace {

using ScriptTest = Stand;

TEST_F(ScriptTest, PenAndStampCountAfterEachWord) {
  WriteWord(0);
  EXPECT_EQ(x, 1698);
  EXPECT_EQ(y, 398);
  EXPECT_EQ(t, 2520);
  WriteWord(1);
  EXPECT_EQ(x, 1986);
  EXPECT_EQ(y, 479);
  EXPECT_EQ(t, 3640);
  EXPECT_FALSE(escape);
}

// By the end of a pass the strip has moved 1820 pixels since "world" began: what is left of it
// lies at the left edge, and "Hello" has gone off the screen.
TEST_F(ScriptTest, APassLeavesOnlyTheEndOfWorldAtTheLeft) {
  destroy_bitmap(ball);
  ball = load_bitmap(BALL_FILE, nullptr);
  ASSERT_NE(ball, nullptr);
  WritePass();
  int inked = 0, rightmost = -1;
  for (int row = 0; row < kH; ++row) {
    for (int col = 0; col < kW; ++col) {
      if (getpixel(screen, col, row) == 0) continue;
      ++inked;
      rightmost = std::max(rightmost, col);
    }
  }
  EXPECT_GT(inked, 1000);
  EXPECT_LE(rightmost, 166 + ball->w);
  EXPECT_GT(rightmost, 100);
}

TEST_F(ScriptTest, AButtonHeldFromTheStartSavesABlankScreenAndDrawsNothing) {
  clear_to_color(screen, makecol(10, 20, 30));
  mouse_b = 1;
  WritePass();
  EXPECT_TRUE(escape);
  EXPECT_EQ(x, 1986);
  EXPECT_EQ(y, 479);
  EXPECT_EQ(t, 0);
  EXPECT_EQ(Count(screen, makecol(10, 20, 30)), kW * kH);
  BITMAP* dump = load_bitmap("dump.bmp", nullptr);
  ASSERT_NE(dump, nullptr);
  EXPECT_EQ(Count(dump, makecol(10, 20, 30)), kW * kH);
  destroy_bitmap(dump);
}

}  // namespace
