// The handwriting script as a whole: where the pen and the stamp count stand after each word,
// the exact screen after each word of a pass, what a pass leaves on the screen, and a button
// held from the start.
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

// FNV-1a over every pixel, row by row.
std::uint64_t Digest(BITMAP* bmp) {
  std::uint64_t h = 14695981039346656037ull;
  for (int row = 0; row < bmp->h; ++row) {
    for (int col = 0; col < bmp->w; ++col) {
      h ^= static_cast<std::uint32_t>(getpixel(bmp, col, row));
      h *= 1099511628211ull;
    }
  }
  return h;
}

// After every curve its stamps are on the screen, so a digest of the screen after each curve,
// folded into one per word, covers every number of the script. The screens were saved and
// looked at once (INKSTRIP_SAVE_WORDS=DIR saves the screen after every curve again, as BMP
// files): the letters of "Hello" and "world", joined, and nothing else.
constexpr std::uint64_t kHelloDigest = 3506730467273428213ull;
constexpr std::uint64_t kWorldDigest = 13930898539450292141ull;

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
