// Says which curve of which pass a screenshot of the default run shows, by writing the passes on
// a memory screen and comparing it, before every curve, with the screenshot: a screenshot from
// the real display is exact when it matches one of them to the pixel.
// Usage: dumpmatch BALL.bmp DUMP.bmp [PASSES]   (default 20 passes; status 1 if none matches)
#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "geometry.h"
#include "main3.h"
#include "stroke.h"

namespace {

constexpr int kDefaultPasses = 20;

bool SameScreen(BITMAP* a, BITMAP* b) {
  for (int row = 0; row < kScreenH; ++row)
    if (std::memcmp(a->line[row], b->line[row], kScreenW * sizeof(std::uint32_t)) != 0)
      return false;
  return true;
}

// Curves are numbered from 1 within the pass; 0 is the screen at the end of the pass.
bool Find(BITMAP* dump, int passes, int* pass, int* curve) {
  for (*pass = 1; *pass <= passes; ++*pass) {
    *curve = 0;
    for (int word = 0; word < 2; ++word) {
      BeginWord(word);
      for (int i = 0; i < CommandsIn(word); ++i) {
        ++*curve;
        if (SameScreen(screen, dump)) return true;
        RunCommand(word, i);
      }
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  const int passes = argc == 4 ? std::atoi(argv[3]) : kDefaultPasses;
  if ((argc != 3 && argc != 4) || passes < 1) {
    std::fprintf(stderr, "usage: dumpmatch BALL.bmp DUMP.bmp [PASSES]\n");
    return 2;
  }
  install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(32);
  set_color_conversion(COLORCONV_TOTAL);
  ball = load_bitmap(argv[1], nullptr);
  BITMAP* dump = load_bitmap(argv[2], nullptr);
  if (!ball || !dump || dump->w != kScreenW || dump->h != kScreenH) {
    std::fprintf(stderr, "dumpmatch: cannot read %s, or %s is not a %dx%d image\n", argv[1],
                 argv[2], kScreenW, kScreenH);
    return 2;
  }
  screen = create_bitmap(kScreenW, kScreenH);
  clear_to_color(screen, 0);
  int pass = 0, curve = 0;
  const bool found = Find(dump, passes, &pass, &curve);
  if (found)
    std::printf("dumpmatch: the screen before curve %d, first seen in pass %d\n", curve, pass);
  else
    std::printf("dumpmatch: no match in the first %d passes\n", passes);
  destroy_bitmap(screen);
  destroy_bitmap(dump);
  destroy_bitmap(ball);
  return found ? 0 : 1;
}
