// The sprite asset: readable by the library, the right size, no pink specks at its rim, wide
// enough for unbroken strokes, and exactly what its generator draws.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "stand.h"

namespace {

std::string Bytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(Ball, IsAClassicBmpOfAShadedSphereOnTheMask) {
  StartLibraryOnce();
  const std::string file = Bytes(BALL_FILE);
  ASSERT_GT(file.size(), 54u);
  EXPECT_EQ(file.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(file[14]), 40);  // info header size

  BITMAP* ball = load_bitmap(BALL_FILE, nullptr);
  ASSERT_NE(ball, nullptr);
  EXPECT_EQ(bitmap_color_depth(ball), 32);
  EXPECT_GE(ball->w, 16);
  EXPECT_LE(ball->w, 20);
  EXPECT_EQ(ball->w, ball->h);

  const int mask = bitmap_mask_color(ball);
  int ink = 0, widest = 0, shades = 0, last = -1;
  for (int row = 0; row < ball->h; ++row) {
    int across = 0;
    for (int col = 0; col < ball->w; ++col) {
      const int c = getpixel(ball, col, row);
      if (c == mask) continue;
      ++ink;
      ++across;
      shades += c != last;
      last = c;
      const int r = getr32(c), g = getg32(c), b = getb32(c);
      EXPECT_FALSE(r > 160 && b > 160 && g < 100) << "pinkish pixel at " << col << "," << row;
    }
    widest = std::max(widest, across);
  }
  EXPECT_GE(widest, 9);  // samples of the longest curve lie up to 8 pixels apart
  EXPECT_GT(ink, ball->w * ball->h / 2);
  EXPECT_GT(shades, 20);  // shaded, not flat
  EXPECT_EQ(getpixel(ball, 0, 0), mask);
  destroy_bitmap(ball);
}

TEST(Ball, TheGeneratorRedrawsTheCommittedFile) {
  const std::string out = ::testing::TempDir() + "ball-again.bmp";
  ASSERT_EQ(std::system((std::string(MAKEBALL) + " " + out).c_str()), 0);
  EXPECT_EQ(Bytes(out), Bytes(BALL_FILE));
  std::remove(out.c_str());
}

}  // namespace
