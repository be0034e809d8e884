// Times whole passes of the handwriting script through the real pen and stroke code, against
// the floor of the same number of one-pixel scrolls done with plain memmove.
// Usage: inkbench [--display] [--runs N]   (run where ball4.bmp is, e.g. in build/)
#include <allegro.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

#include "geometry.h"
#include "main3.h"
#include "stroke.h"

namespace {

constexpr int kStampsPerPass = 6160;  // 44 curves of 140 samples
constexpr int kCurvesPerPass = 44;
constexpr int kScrollsPerPass = 3080;  // one every second stamp
constexpr int kDefaultRuns = 5;

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

double MedianOf(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) times.push_back(Seconds(work));
  return Median(times);
}

double PassSeconds(int runs) {
  return MedianOf(runs, [] {
    escape = false;
    mouse_b = 0;
    WritePass();
  });
}

// The scroll at its cheapest: each row moved left one pixel with memmove, column 1023 blackened.
double FloorSeconds(int runs) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(kScreenW) * kScreenH, 0x102030);
  const double t = MedianOf(runs, [&pixels] {
    for (int s = 0; s < kScrollsPerPass; ++s) {
      for (int row = 0; row < kScreenH; ++row) {
        std::uint32_t* line = pixels.data() + static_cast<std::size_t>(row) * kScreenW;
        line[kScreenW - 1] = 0;
        std::memmove(line, line + 1, (kScreenW - 1) * sizeof *line);
      }
    }
  });
  volatile std::uint32_t keep = pixels[12345];  // so the copies cannot be left out
  (void)keep;
  return t;
}

void Report(const char* where, double pass, int runs) {
  std::printf("%s: median of %d passes %.3f s a pass\n", where, runs, pass);
  std::printf("  %.2f passes/s, %.0f stamps/s, %.1f curves/s\n", 1 / pass, kStampsPerPass / pass,
              kCurvesPerPass / pass);
}

double MemoryPass(int runs) {
  BITMAP* real = screen;
  screen = create_bitmap_ex(kColorDepth, kScreenW, kScreenH);
  clear_to_color(screen, 0);
  const double pass = PassSeconds(runs);
  destroy_bitmap(screen);
  screen = real;
  return pass;
}

bool LoadBall() {
  ball = load_bitmap("ball4.bmp", nullptr);
  if (ball) return true;
  std::fprintf(stderr, "inkbench: cannot load ball4.bmp from the working directory\n");
  return false;
}

int OnMemory(int runs) {
  install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(32);
  if (!LoadBall()) return 1;
  const double pass = MemoryPass(runs);
  Report("memory screen", pass, runs);
  const double floor = FloorSeconds(runs);
  std::printf("memmove floor: %d one-pixel scrolls of 1023x768 in %.3f s\n", kScrollsPerPass,
              floor);
  std::printf("  pass / floor = %.2f\n", pass / floor);
  destroy_bitmap(ball);
  return 0;
}

int OnDisplay(int runs) {
  if (allegro_init() != 0) {
    std::fprintf(stderr, "inkbench: no display (is DISPLAY set to a running X server?)\n");
    return 1;
  }
  install_timer();
  install_keyboard();
  install_mouse();
  set_color_depth(32);
  if (set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, kScreenW, kScreenH, 0, 0) != 0) {
    std::fprintf(stderr, "inkbench: cannot set 1024x768x32: %s\n", allegro_error);
    return 1;
  }
  if (!LoadBall()) return 1;
  const double shown = PassSeconds(runs);
  const double memory = MemoryPass(runs);
  Report("display", shown, runs);
  Report("memory screen", memory, runs);
  std::printf("  display / memory = %.2f\n", shown / memory);
  destroy_bitmap(ball);
  allegro_exit();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  bool display = false;
  int runs = kDefaultRuns;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--display") == 0) {
      display = true;
    } else if (std::strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
    } else {
      runs = 0;
      break;
    }
  }
  if (runs < 1 || runs > 1000) {
    std::fprintf(stderr, "usage: inkbench [--display] [--runs N]   (N from 1 to 1000)\n");
    return 2;
  }
  return display ? OnDisplay(runs) : OnMemory(runs);
}
