// Draws the program's icon from its own writing: the "He" of the first pass, written by the
// program's drawing code on a memory screen, cut square around its ink and shrunk to the size.
// Usage: inkicon BALL.bmp SIZE OUT.png   (SIZE in pixels, 16 to 512)
#include <allegro.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "geometry.h"
#include "main3.h"
#include "safesave.h"
#include "stroke.h"

namespace {

constexpr int kIconCurves = 8;     // the first curves of "Hello": its "He"
constexpr int kMarginPercent = 6;  // black around the ink, in hundredths of the square's side
constexpr int kSmallest = 16, kLargest = 512;  // pixels

struct Box {
  int left, top, right, bottom;  // inclusive; left > right when there is no ink
};

Box InkBox(BITMAP* bmp) {
  Box box = {bmp->w, bmp->h, -1, -1};
  for (int y = 0; y < bmp->h; ++y)
    for (int x = 0; x < bmp->w; ++x)
      if (getpixel(bmp, x, y) != 0) {
        box.left = std::min(box.left, x), box.right = std::max(box.right, x);
        box.top = std::min(box.top, y), box.bottom = std::max(box.bottom, y);
      }
  return box;
}

// Each pixel of to is the average of the pixels of from that it covers, so that strokes far
// thinner than a pixel of the icon still show as a fainter line rather than breaking up.
void ShrinkInto(BITMAP* from, BITMAP* to) {
  for (int y = 0; y < to->h; ++y) {
    const int y0 = y * from->h / to->h, y1 = std::max(y0 + 1, (y + 1) * from->h / to->h);
    for (int x = 0; x < to->w; ++x) {
      const int x0 = x * from->w / to->w, x1 = std::max(x0 + 1, (x + 1) * from->w / to->w);
      long sum[3] = {0, 0, 0};
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx) {
          const int c = getpixel(from, sx, sy);
          sum[0] += getr(c), sum[1] += getg(c), sum[2] += getb(c);
        }
      const long n = static_cast<long>(x1 - x0) * (y1 - y0);
      putpixel(to, x, y, makecol(sum[0] / n, sum[1] / n, sum[2] / n));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int size = argc == 4 ? std::atoi(argv[2]) : 0;
  if (argc != 4 || size < kSmallest || size > kLargest) {
    std::fprintf(stderr, "usage: inkicon BALL.bmp SIZE OUT.png   (SIZE from %d to %d)\n", kSmallest,
                 kLargest);
    return 2;
  }
  install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(kColorDepth);
  set_color_conversion(COLORCONV_TOTAL);
  ball = load_bitmap(argv[1], nullptr);
  if (!ball) {
    std::fprintf(stderr, "inkicon: cannot read %s\n", argv[1]);
    return 1;
  }
  screen = create_bitmap(kScreenW, kScreenH);
  clear_to_color(screen, 0);
  BeginWord(0);
  for (int i = 0; i < kIconCurves; ++i) RunCommand(0, i);
  const Box ink = InkBox(screen);
  if (ink.left > ink.right) {
    std::fprintf(stderr, "inkicon: the writing left no ink\n");
    return 1;
  }
  const int inkside = std::max(ink.right - ink.left, ink.bottom - ink.top) + 1;
  const int side = inkside * 100 / (100 - 2 * kMarginPercent);
  BITMAP* square = create_bitmap(side, side);
  BITMAP* icon = create_bitmap(size, size);
  clear_to_color(square, 0);
  blit(screen, square, ink.left, ink.top, (side - (ink.right - ink.left + 1)) / 2,
       (side - (ink.bottom - ink.top + 1)) / 2, ink.right - ink.left + 1, ink.bottom - ink.top + 1);
  ShrinkInto(square, icon);
  const bool saved = SaveBitmapWhole(argv[3], icon);
  destroy_bitmap(icon);
  destroy_bitmap(square);
  destroy_bitmap(screen);
  destroy_bitmap(ball);
  return saved ? 0 : 1;
}
