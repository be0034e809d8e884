// Prints figures, not a test: how close a recorded video's frames are to the screens they show,
// as PSNR against a fresh run of the same pass on a memory screen at the default timing.
// Usage: videopsnr FILE.webm [TEXT]   (run where ball4.bmp is; TEXT as given to --text)
#include <allegro.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "display.h"
#include "font.h"
#include "lettering.h"
#include "main3.h"
#include "videocheck.h"
#include "wordpasses.h"

namespace {

std::vector<Glyph> hand;

// The pass the recording wrote, with the pen it wrote with.
void (*PassOf(const char* text))() {
  if (!text) {
    ball = load_bitmap("ball4.bmp", nullptr);
    return ball ? WritePass : nullptr;
  }
  WordsPlan plan;
  plan.text = text;
  plan.recording = true;
  ball = PenFor(plan.style.size);
  if (!ball || !ReadFont(kFontFile, &hand).empty()) return nullptr;
  return WordsPass(plan, hand);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: videopsnr FILE.webm [TEXT]\n");
    return 2;
  }
  VideoRead video;
  if (!ReadVideo(argv[1], &video) || video.frames.empty()) {
    std::fprintf(stderr, "videopsnr: cannot read %s\n", argv[1]);
    return 1;
  }
  if (!StartMemoryScreen()) return 1;
  void (*pass)() = PassOf(argc == 3 ? argv[2] : nullptr);
  if (!pass) {
    std::fprintf(stderr, "videopsnr: cannot load the pen or the font\n");
    return 1;
  }
  const std::vector<double> psnr = PsnrAlongPass(video, pass, 0);
  const double mean = std::accumulate(psnr.begin(), psnr.end(), 0.0) / psnr.size();
  std::printf("%s: %zu frames, %dx%d; PSNR against the screens: lowest %.1f dB, mean %.1f dB\n",
              argv[1], psnr.size(), video.width, video.height,
              *std::min_element(psnr.begin(), psnr.end()), mean);
  return 0;
}
