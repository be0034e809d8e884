// The handwriting script as a whole: where the pen and the stamp count stand after each word,
// the exact screen after every curve of a pass, and a button held from the start.
#include <cstdint>
#include <cstdlib>
#include <string>

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

// Stops at the first curve whose screen differs: every screen after it differs too.
TEST_F(ScriptTest, EveryCurveOfAPassLeavesTheScreenLookedAtOnce) {
  destroy_bitmap(ball);
  ball = load_bitmap(BALL_FILE, nullptr);
  ASSERT_NE(ball, nullptr);
  const char* keep = std::getenv("INKSTRIP_SAVE_WORDS");
  int k = 0;
  for (int word = 0; word < 2; ++word) {
    BeginWord(word);
    for (int i = 0; i < CommandsIn(word); ++i, ++k) {
      ASSERT_LT(k, kPassCurves) << "word " << word << " has more commands than were looked at";
      const CurveDigest& want = kCurveDigests[k];
      ASSERT_TRUE(want.word == word && want.command == i + 1)
          << "word " << word << " command " << i + 1 << " stands where " << CurveName(want)
          << " was looked at";
      RunCommand(word, i);
      if (keep) {
        const std::string name = std::string(keep) + "/word" + std::to_string(word) + "-curve" +
                                 std::to_string(i + 1) + ".bmp";
        save_bitmap(name.c_str(), screen, nullptr);
      }
      ASSERT_EQ(Digest(screen), want.digest) << "the screen after " << CurveName(want);
    }
  }
  EXPECT_EQ(k, kPassCurves);
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
