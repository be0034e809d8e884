// The colours of a recording: linear-light averaging for half size, the distinct colours of a
// pen gathered in a fixed table of one bit a colour, and the GIF palette built from them.
#include "colours.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kLinearSteps = 16384;           // resolution of the table back from linear light
constexpr std::size_t kAllColours = 1 << 24;  // every 0xRRGGBB
constexpr int kWordBits = 64;

Pixel Rgb(int r, int g, int b) { return static_cast<Pixel>(r << 16 | g << 8 | b); }
int Red(Pixel p) { return p >> 16 & 0xFF; }
int Green(Pixel p) { return p >> 8 & 0xFF; }
int Blue(Pixel p) { return p & 0xFF; }

// The sRGB transfer functions.
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

// One bit for each of the 2^24 colours: two megabytes whatever the pen's size.
class ColourSet {
 public:
  ColourSet() : bits_(kAllColours / kWordBits) {}
  void Add(Pixel p) { bits_[p / kWordBits] |= std::uint64_t{1} << (p % kWordBits); }
  std::vector<Pixel> AllButBlack() const {
    std::vector<Pixel> out;
    for (std::size_t w = 0; w < bits_.size(); ++w)
      for (std::uint64_t b = bits_[w]; b != 0; b &= b - 1)
        out.push_back(static_cast<Pixel>(w * kWordBits + __builtin_ctzll(b)));
    if (!out.empty() && out.front() == 0) out.erase(out.begin());
    return out;
  }

 private:
  std::vector<std::uint64_t> bits_;
};

void AddOwnColours(BITMAP* pen, ColourSet* set) {
  const int mask = bitmap_mask_color(pen);
  for (int y = 0; y < pen->h; ++y)
    for (int x = 0; x < pen->w; ++x)
      if (getpixel(pen, x, y) != mask) set->Add(ScreenPixel(pen, x, y));
}

void AddQuarters(const std::vector<Pixel>& own, ColourSet* set) {
  for (Pixel c : own)
    for (int part = 1; part <= 4; ++part) {
      const Pixel four[4] = {c, part > 1 ? c : 0, part > 2 ? c : 0, part > 3 ? c : 0};
      set->Add(Mix(four));
    }
}

void AddGridAverages(BITMAP* pen, ColourSet* set) {
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
          set->Add(Mix(four));
        }
}

}  // namespace

Pixel ScreenPixel(BITMAP* bmp, int x, int y) {
  const int c = getpixel(bmp, x, y);
  const int depth = bitmap_color_depth(bmp);
  return Rgb(getr_depth(depth, c), getg_depth(depth, c), getb_depth(depth, c));
}

Pixel Mix(const Pixel four[4]) {
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

std::vector<Pixel> PenColours(BITMAP* pen, bool half) {
  ColourSet set;
  AddOwnColours(pen, &set);
  if (half) {
    AddQuarters(set.AllButBlack(), &set);
    AddGridAverages(pen, &set);
  }
  return set.AllButBlack();
}

bool Palette::Build(const std::vector<Pixel>& distinct) {
  colours_.assign(1, Rgb(0, 0, 0));
  index_.clear();
  if (static_cast<int>(distinct.size()) < kPaletteRoom) {
    colours_.insert(colours_.end(), distinct.begin(), distinct.end());
    return true;
  }
  Quantize(distinct);
  return false;
}

GifByteType Palette::Index(Pixel p) {
  if (p == 0) return kBlackIndex;
  const auto found = index_.find(p);
  if (found != index_.end()) return found->second;
  return index_[p] = Nearest(p);
}

ColorMapObject* Palette::Map() const {
  int size = 2;
  while (size < static_cast<int>(colours_.size())) size *= 2;
  std::vector<GifColorType> entries(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
  for (std::size_t i = 0; i < colours_.size(); ++i)
    entries[i] = {static_cast<GifByteType>(Red(colours_[i])),
                  static_cast<GifByteType>(Green(colours_[i])),
                  static_cast<GifByteType>(Blue(colours_[i]))};
  return GifMakeMapObject(size, entries.data());
}

void Palette::Quantize(const std::vector<Pixel>& samples) {
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

GifByteType Palette::Nearest(Pixel p) const {
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
