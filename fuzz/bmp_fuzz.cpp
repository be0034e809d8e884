// libFuzzer target: any bytes as ball4.bmp. What the check lets through goes on, as the same
// bytes, to the library's loader and the ink test, as in the program, so a file that passes the
// check yet crashes the loader is found.
#include <allegro.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bmpcheck.h"
#include "packio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool started = [] {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    return true;
  }();
  (void)started;
  if (!BmpProblem(data, size).empty()) return 0;
  BITMAP* bmp = LoadBmpFromMemory(std::vector<unsigned char>(data, data + size));
  if (!bmp) std::abort();  // the check let through a file the loader refuses
  HasInk(bmp);
  destroy_bitmap(bmp);
  return 0;
}
