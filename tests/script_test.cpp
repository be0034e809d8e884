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

std::uint64_t WordDigest(int word) {
  const char* keep = std::getenv("INKSTRIP_SAVE_WORDS");
  std::uint64_t folded = 0;
  BeginWord(word);
  for (int i = 0; i < CommandsIn(word); ++i) {
    RunCommand(word, i);
    folded = folded * 31 + Digest(screen);
    if (!keep) continue;
    const std::string name = std::string(keep) + "/word" + std::to_string(word) + "-curve" +
                             std::to_string(i + 1) + ".bmp";
    save_bitmap(name.c_str(), screen, nullptr);
  }
  return folded;
}

TEST_F(ScriptTest, EveryCurveOfAPassLeavesTheScreenLookedAtOnce) {
  destroy_bitmap(ball);
  ball = load_bitmap(BALL_FILE, nullptr);
  ASSERT_NE(ball, nullptr);
  const std::uint64_t hello = WordDigest(0);
  const std::uint64_t world = WordDigest(1);
  EXPECT_EQ(hello, kHelloDigest);
  EXPECT_EQ(world, kWorldDigest);
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
