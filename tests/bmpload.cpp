// Puts files through the sprite check and, where it lets them pass, through the library's loader,
// so that a memory checker can watch the loader on every file the program would hand it.
// Usage: bmpload FILE...   Exit status 1 if a file that passed the check did not load.
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bmpcheck.h"
#include "packio.h"

int main(int argc, char** argv) {
  install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(32);
  int passed = 0, unloadable = 0;
  for (int i = 1; i < argc; ++i) {
    std::vector<unsigned char> bytes;
    if (!BmpFileProblem(argv[i], &bytes).empty()) continue;
    ++passed;
    // The bytes that were checked, through the loader the program uses.
    BITMAP* bmp = LoadBmpFromMemory(bytes);
    if (!bmp) {
      std::fprintf(stderr, "bmpload: %s passed the check but did not load\n", argv[i]);
      ++unloadable;
      continue;
    }
    HasInk(bmp);
    destroy_bitmap(bmp);
  }
  std::printf("bmpload: %d files, %d passed the check, %d of those did not load\n", argc - 1,
              passed, unloadable);
  return unloadable ? 1 : 0;
}
