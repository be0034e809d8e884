// Recording one pass as an animated GIF through giflib, from a memory screen. The screen only
// ever holds black and the pen's colours, so when those are 256 or fewer the palette holds every
// one and each frame is exact; otherwise giflib's quantizer chooses them. Frames are timed by
// the curves or stamps they cover, and each stores only the rectangle that changed.
#include "record.h"

#include <allegro.h>
#include <gif_lib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <unordered_map>
#include <vector>

#include "geometry.h"
#include "safesave.h"
#include "say.h"
#include "stopping.h"
#include "stroke.h"

namespace {

constexpr int kPaletteRoom = 256;
constexpr GifByteType kBlackIndex = 0;
constexpr int kHoldLastCs = 100;  // the finished screen stays a second before the GIF starts over
constexpr int kShortestCs = 2;    // players show shorter delays as a tenth of a second
// With no --pace, frames are timed as if ten of the script's curves were written a second:
// fast enough to watch a pass in under five seconds, slow enough to follow the pen.
constexpr double kStampsPerSecond = 1400;
constexpr int kLinearSteps = 16384;  // resolution of the table back from linear light

using Pixel = std::uint32_t;  // 0xRRGGBB

Pixel Rgb(int r, int g, int b) { return static_cast<Pixel>(r << 16 | g << 8 | b); }
int Red(Pixel p) { return p >> 16 & 0xFF; }
int Green(Pixel p) { return p >> 8 & 0xFF; }
int Blue(Pixel p) { return p & 0xFF; }

// Averaging is done in linear light, so a stroke's edge keeps its brightness at half size.
double Linear(int v) {
  const double c = v / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int Encoded(double linear) {
  const double c = linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
  return static_cast<int>(std::lround(std::clamp(c, 0.0, 1.0) * 255));
}

struct Tables {
  double linear[256];
  int encoded[kLinearSteps + 1];
};

const Tables& Light() {
  static const Tables tables = [] {
    Tables t{};
    for (int v = 0; v < 256; ++v) t.linear[v] = Linear(v);
    for (int i = 0; i <= kLinearSteps; ++i)
      t.encoded[i] = Encoded(static_cast<double>(i) / kLinearSteps);
    return t;
  }();
  return tables;
}

Pixel Mix(const Pixel* four) {
  const Tables& t = Light();
  double sum[3] = {0, 0, 0};
  for (int k = 0; k < 4; ++k) {
    sum[0] += t.linear[Red(four[k])];
    sum[1] += t.linear[Green(four[k])];
    sum[2] += t.linear[Blue(four[k])];
  }
  auto back = [&t](double s) { return t.encoded[std::lround(s / 4 * kLinearSteps)]; };
  return Rgb(back(sum[0]), back(sum[1]), back(sum[2]));
}

Pixel ScreenPixel(BITMAP* bmp, int x, int y) {
  const int c = getpixel(bmp, x, y);
  const int depth = bitmap_color_depth(bmp);
  return Rgb(getr_depth(depth, c), getg_depth(depth, c), getb_depth(depth, c));
}

// The colours a frame can hold, and each pixel's index among them.
class Palette {
 public:
  // Black first, then the others; more than 255 others are quantized. Says whether exact.
  bool Build(const std::vector<Pixel>& others) {
    std::vector<Pixel> distinct(others);
    std::sort(distinct.begin(), distinct.end());
    distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
    distinct.erase(std::remove(distinct.begin(), distinct.end(), Rgb(0, 0, 0)), distinct.end());
    colours_.assign(1, Rgb(0, 0, 0));
    if (static_cast<int>(distinct.size()) < kPaletteRoom) {
      colours_.insert(colours_.end(), distinct.begin(), distinct.end());
      return true;
    }
    Quantize(others);
    return false;
  }

  GifByteType Index(Pixel p) {
    if (p == 0) return kBlackIndex;
    const auto found = index_.find(p);
    if (found != index_.end()) return found->second;
    return index_[p] = Nearest(p);
  }

  // giflib wants a power of two; the spare entries stay black.
  ColorMapObject* Map() const {
    int size = 2;
    while (size < static_cast<int>(colours_.size())) size *= 2;
    std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < colours_.size(); ++i)
      entries[i] = {static_cast<GifByteType>(Red(colours_[i])),
                    static_cast<GifByteType>(Green(colours_[i])),
                    static_cast<GifByteType>(Blue(colours_[i]))};
    return GifMakeMapObject(size, entries.data());
  }

 private:
  void Quantize(const std::vector<Pixel>& samples) {
    const std::size_t n = samples.size();
    std::vector<GifByteType> r(n), g(n), b(n), out(n);
    for (std::size_t i = 0; i < n; ++i) {
      r[i] = static_cast<GifByteType>(Red(samples[i]));
      g[i] = static_cast<GifByteType>(Green(samples[i]));
      b[i] = static_cast<GifByteType>(Blue(samples[i]));
    }
    int size = kPaletteRoom - 1;  // leaving room for black
    std::vector<GifColorType> chosen(static_cast<std::size_t>(kPaletteRoom));
    if (GifQuantizeBuffer(static_cast<unsigned>(n), 1, &size, r.data(), g.data(), b.data(),
                          out.data(), chosen.data()) != GIF_OK)
      size = 0;
    for (int i = 0; i < size; ++i)
      colours_.push_back(Rgb(chosen[i].Red, chosen[i].Green, chosen[i].Blue));
  }

  GifByteType Nearest(Pixel p) const {
    std::size_t best = 0;
    long long closest = -1;
    for (std::size_t i = 0; i < colours_.size(); ++i) {
      const long long dr = Red(p) - Red(colours_[i]), dg = Green(p) - Green(colours_[i]),
                      db = Blue(p) - Blue(colours_[i]);
      const long long d = dr * dr + dg * dg + db * db;
      if (closest < 0 || d < closest) closest = d, best = i;
    }
    return static_cast<GifByteType>(best);
  }

  std::vector<Pixel> colours_;
  std::unordered_map<Pixel, GifByteType> index_;
};

std::vector<Pixel> PenColours(BITMAP* pen) {
  std::vector<Pixel> colours;
  const int mask = bitmap_mask_color(pen);
  for (int y = 0; y < pen->h; ++y)
    for (int x = 0; x < pen->w; ++x)
      if (getpixel(pen, x, y) != mask) colours.push_back(ScreenPixel(pen, x, y));
  return colours;
}

// What half size can show: the pen's colours mixed with black by quarters, and the pen itself
// averaged at each of the four ways a stamp can fall on the grid of four.
std::vector<Pixel> HalfColours(BITMAP* pen) {
  std::vector<Pixel> colours;
  for (Pixel c : PenColours(pen)) {
    for (int part = 1; part <= 4; ++part) {
      const Pixel four[4] = {c, part > 1 ? c : 0, part > 2 ? c : 0, part > 3 ? c : 0};
      colours.push_back(Mix(four));
    }
  }
  const int mask = bitmap_mask_color(pen);
  auto at = [pen, mask](int x, int y) -> Pixel {
    if (x < 0 || y < 0 || x >= pen->w || y >= pen->h || getpixel(pen, x, y) == mask) return 0;
    return ScreenPixel(pen, x, y);
  };
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx)
      for (int y = -dy; y < pen->h; y += 2)
        for (int x = -dx; x < pen->w; x += 2) {
          const Pixel four[4] = {at(x, y), at(x + 1, y), at(x, y + 1), at(x + 1, y + 1)};
          colours.push_back(Mix(four));
        }
  return colours;
}

struct Rect {
  int left, top, width, height;
};

// The recording under way: the GIF, the frame waiting for its delay and the one last written.
struct Recorder {
  GifFileType* gif = nullptr;
  RecordPlan plan;
  int w = 0, h = 0;
  Palette palette;
  void (*pass)() = nullptr;
  std::vector<GifByteType> waiting, shown;  // waiting is empty until the first frame is taken
  bool failed = false;
  long long stamps = 0, curves = 0;  // since the waiting frame was taken
  double clock = 0;                  // seconds from the start to the waiting frame
  long long writtencs = 0;           // hundredths of a second of the frames written
  int frames = 0;
};

Recorder rec;

void Take(std::vector<GifByteType>* frame) {
  frame->resize(static_cast<std::size_t>(rec.w) * rec.h);
  GifByteType* out = frame->data();
  const bool half = rec.plan.half;
  for (int y = 0; y < rec.h; ++y) {
    for (int x = 0; x < rec.w; ++x) {
      if (!half) {
        *out++ = rec.palette.Index(ScreenPixel(screen, x, y));
        continue;
      }
      const Pixel four[4] = {
          ScreenPixel(screen, 2 * x, 2 * y), ScreenPixel(screen, 2 * x + 1, 2 * y),
          ScreenPixel(screen, 2 * x, 2 * y + 1), ScreenPixel(screen, 2 * x + 1, 2 * y + 1)};
      *out++ = rec.palette.Index(Mix(four));
    }
  }
}

// The smallest rectangle holding every pixel that differs from the frame shown before.
Rect Changed(const std::vector<GifByteType>& frame) {
  if (rec.shown.empty()) return {0, 0, rec.w, rec.h};
  int left = rec.w, right = -1, top = rec.h, bottom = -1;
  for (int y = 0; y < rec.h; ++y) {
    const GifByteType* a = &frame[static_cast<std::size_t>(y) * rec.w];
    const GifByteType* b = &rec.shown[static_cast<std::size_t>(y) * rec.w];
    for (int x = 0; x < rec.w; ++x) {
      if (a[x] == b[x]) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return {0, 0, 1, 1};  // nothing changed: one pixel, as it was
  return {left, top, right - left + 1, bottom - top + 1};
}

bool Put(const std::vector<GifByteType>& frame, int delaycs) {
  GraphicsControlBlock control{DISPOSE_DO_NOT, false, std::max(delaycs, kShortestCs),
                               NO_TRANSPARENT_COLOR};
  GifByteType extension[4];
  const std::size_t n = EGifGCBToExtension(&control, extension);
  const Rect r = Changed(frame);
  if (EGifPutExtension(rec.gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(n), extension) != GIF_OK ||
      EGifPutImageDesc(rec.gif, r.left, r.top, r.width, r.height, false, nullptr) != GIF_OK)
    return false;
  for (int y = r.top; y < r.top + r.height; ++y) {
    GifByteType* row =
        const_cast<GifByteType*>(&frame[static_cast<std::size_t>(y) * rec.w + r.left]);
    if (EGifPutLine(rec.gif, row, r.width) != GIF_OK) return false;
  }
  rec.shown = frame;
  ++rec.frames;
  return true;
}

// The waiting frame goes out once its time on screen is known: the curves or stamps since it.
void PutWaiting() {
  const double seconds =
      rec.plan.pace > 0 ? rec.curves / rec.plan.pace : rec.stamps / kStampsPerSecond;
  rec.clock += seconds;
  const long long until = std::llround(rec.clock * 100);
  if (!Put(rec.waiting, static_cast<int>(until - rec.writtencs))) rec.failed = true;
  rec.writtencs = until;
}

void OnCurve(const int*, int samples) {
  if (rec.failed) return;
  if (rec.waiting.empty() || rec.stamps >= rec.plan.stampsperframe) {
    if (!rec.waiting.empty()) PutWaiting();
    Take(&rec.waiting);
    rec.stamps = rec.curves = 0;
  }
  rec.stamps += samples;
  ++rec.curves;
  if (rec.failed) escape = true;  // nothing more can be written: let the pass run out
}

int OnGifBytes(GifFileType* gif, const GifByteType* bytes, int n) {
  return PutBytes(static_cast<DescriptorSink*>(gif->UserData), bytes, static_cast<std::size_t>(n))
             ? n
             : 0;
}

bool Begin(DescriptorSink* sink) {
  int err = 0;
  rec.gif = EGifOpen(sink, OnGifBytes, &err);
  if (!rec.gif) return false;
  EGifSetGifVersion(rec.gif, true);
  ColorMapObject* map = rec.palette.Map();
  const bool begun = map && EGifPutScreenDesc(rec.gif, rec.w, rec.h, 8, kBlackIndex, map) == GIF_OK;
  GifFreeMapObject(map);
  // Loop for ever: the NETSCAPE2.0 application extension with a count of 0.
  const GifByteType loop[3] = {1, 0, 0};
  return begun && EGifPutExtensionLeader(rec.gif, APPLICATION_EXT_FUNC_CODE) == GIF_OK &&
         EGifPutExtensionBlock(rec.gif, 11, "NETSCAPE2.0") == GIF_OK &&
         EGifPutExtensionBlock(rec.gif, 3, loop) == GIF_OK &&
         EGifPutExtensionTrailer(rec.gif) == GIF_OK;
}

// The whole recording, into the private file that SaveWhole puts in place.
int Write(DescriptorSink* sink, void*) {
  bool ok = Begin(sink);
  if (ok) {
    curvestart = OnCurve;
    rec.pass();
    curvestart = nullptr;
    if (!rec.waiting.empty() && !rec.failed && !stopsignal) {
      PutWaiting();
      Take(&rec.waiting);
      ok = !rec.failed && Put(rec.waiting, kHoldLastCs);
    }
    ok = ok && !rec.failed && !rec.waiting.empty();
  }
  int err = 0;
  if (rec.gif && EGifCloseFile(rec.gif, &err) != GIF_OK) ok = false;
  rec.gif = nullptr;
  if (stopsignal) return ECANCELED;
  if (sink->error) return sink->error;
  return ok ? 0 : EIO;
}

void Report(const std::string& path) {
  struct stat st;
  const long long bytes = stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : 0;
  std::printf("inkstrip: recorded %s: %d frames, %dx%d, %lld KB\n", path.c_str(), rec.frames, rec.w,
              rec.h, (bytes + 512) / 1024);
  std::fflush(stdout);
}

}  // namespace

bool StartMemoryScreen() {
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
    Say("cannot start the Allegro library", allegro_error);
    return false;
  }
  set_color_depth(kColorDepth);
  screen = create_bitmap(kScreenW, kScreenH);
  if (!screen) {
    Say("cannot record", "no memory for a 1024x768 screen");
    return false;
  }
  clear_to_color(screen, 0);
  return true;
}

bool RecordPass(void (*pass)(), const std::string& path, const RecordPlan& plan) {
  rec = Recorder();
  rec.plan = plan;
  rec.w = plan.half ? kScreenW / 2 : kScreenW;
  rec.h = plan.half ? kScreenH / 2 : kScreenH;
  const bool exact = rec.palette.Build(plan.half ? HalfColours(ball) : PenColours(ball));
  if (!exact && !plan.half)
    Say("recording",
        "the pen has more than 255 colours; giflib's quantizer chooses the 256 the "
        "GIF holds, so its colours are close but not exact");
  rec.pass = pass;
  if (!SaveWhole(path.c_str(), Write, nullptr)) return false;
  Report(path);
  return true;
}
