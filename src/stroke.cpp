// The stroke: samples each curve, stamps the ball at every sample straight onto the screen and
// scrolls the screen one pixel left every second stamp; a mouse press saves it and stops.
#include "stroke.h"

#include <cstdio>

#include "main3.h"
#include "safesave.h"

int t = 0;
BITMAP* ball = nullptr;
bool dumpfailed = false;

namespace {

constexpr int kSamples = 140;     // points sampled on every curve, whatever its length
constexpr int kSampleRoom = 200;  // entries in each sample buffer
constexpr int kScreenW = 1024;    // pixels
constexpr int kScreenH = 768;     // pixels
constexpr int kRightColumn = kScreenW - 1;
constexpr int kBlack = 0;

void TakeScreenshot() {
  BITMAP* shot = create_bitmap(kScreenW, kScreenH);
  if (!shot) {
    std::fprintf(stderr, "inkstrip: cannot write %s: no memory for a copy of the screen\n",
                 kDumpFile);
    dumpfailed = true;
    return;
  }
  blit(screen, shot, 0, 0, 0, 0, kScreenW, kScreenH);
  if (!SaveBitmapWhole(kDumpFile, shot)) dumpfailed = true;
  destroy_bitmap(shot);
}

// A press is looked for only here, once per curve; the flag goes up before the screenshot so
// that nothing can draw after the moment the user chose. A stop signal is taken the same way,
// without the screenshot.
bool Stopped() {
  if (escape) return true;
  if (stopsignal) {
    escape = true;
    return true;
  }
  if (mouse_b == 0) return false;
  escape = true;
  TakeScreenshot();
  return true;
}

// Blackening the right column before the copy leaves columns 1022 and 1023 both black.
void ScrollStrip() {
  vline(screen, kRightColumn, 0, kScreenH - 1, kBlack);
  blit(screen, screen, 1, 0, 0, 0, kScreenW - 1, kScreenH);
}

}  // namespace

// Each stamp is pulled left by half the stamps made in this word, which matches the scroll of
// one pixel every second stamp, so the word keeps its shape on the moving strip.
void Bezier(const int points[8]) {
  if (Stopped()) return;
  int sx[kSampleRoom];
  int sy[kSampleRoom];
  calc_spline(points, kSamples, sx, sy);
  for (int i = 0; i < kSamples; ++i) {
    if (i % 2 == 1) ScrollStrip();
    draw_sprite(screen, ball, sx[i] - t / 2, sy[i]);
    ++t;
  }
}
