// libFuzzer target: any bytes as ball4.bmp. What the check lets through goes on to the library's
// loader and the ink test, so a file that passes the check yet crashes the loader is found.
#include <allegro.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bmpcheck.h"

namespace {

std::string Scratch() {
  const char* dir = std::getenv("TMPDIR");
  return std::string(dir ? dir : "/tmp") + "/inkstrip-fuzz-" + std::to_string(getpid()) + ".bmp";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = Scratch();
  static const bool started = [] {
    install_allegro(SYSTEM_NONE, &errno, atexit);
    set_color_depth(32);
    return true;
  }();
  (void)started;
  if (!BmpProblem(data, size).empty()) return 0;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  std::fwrite(data, 1, size, f);
  std::fclose(f);
  BITMAP* bmp = load_bitmap(path.c_str(), nullptr);
  if (!bmp) std::abort();  // the check let through a file the loader refuses
  HasInk(bmp);
  destroy_bitmap(bmp);
  std::remove(path.c_str());
  return 0;
}
