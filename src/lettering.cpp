// Writing the user's own words in the Hershey script hand on the moving strip, glyph by glyph,
// as curves of the pen, with the stamps of each glyph chosen so the writing keeps its place.
#include "lettering.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "geometry.h"
#include "letters.h"
#include "pen.h"
#include "stroke.h"

int cursor = 0;

namespace {

// Where each glyph's writing should leave the next glyph's left edge, in screen pixels, unless
// the next glyph is too wide to start there: right of the middle, so that the words just written
// stay in view on the left, like the script's.
constexpr int kWritingX = 760;
constexpr int kGapSpaces = 3;  // after the text, before the next pass, in widths of a space

std::u32string text;
std::vector<Glyph> glyphline;  // the glyph of each character of text
int baseline = 0;              // screen y of the font's y = 0
int penwidth = 0;
int spacewidth = 0;  // pixels

int Width(std::size_t i) {
  return static_cast<int>(std::lround((glyphline[i].right - glyphline[i].left) * kPixelsPerUnit));
}

// The blank strip after the glyph at i before the next one with ink: the spaces that follow it,
// and at the end of the text the gap and the spaces the text begins with.
int BlankAfter(std::size_t i) {
  int blank = 0;
  std::size_t j = i + 1;
  for (; j < text.size() && text[j] == ' '; ++j) blank += Width(j);
  if (j < text.size()) return blank;
  blank += kGapSpaces * spacewidth;
  for (j = 0; j < text.size() && text[j] == ' '; ++j) blank += Width(j);
  return blank;
}

PixelPoint OnScreen(const Glyph& g, FontPoint p) {
  return {cursor + (p.x - g.left) * kPixelsPerUnit, baseline + p.y * kPixelsPerUnit};
}

// The stamp count t restarts at every glyph, so pen coordinates are screen coordinates when the
// glyph begins; t stays even, so the shift t/2 and the scroll keep step exactly.
void DrawGlyph(const Glyph& g, long long wanted) {
  std::vector<std::vector<Cubic>> strokes;
  std::vector<double> lengths;
  double total = 0;
  // Until a word's marks are written after it, each letter's marks follow its own strokes.
  std::vector<std::vector<FontPoint>> all = g.strokes;
  all.insert(all.end(), g.marks.begin(), g.marks.end());
  for (const auto& stroke : all) {
    std::vector<PixelPoint> points;
    for (FontPoint p : stroke) points.push_back(OnScreen(g, p));
    strokes.push_back(StrokeCurves(points));
    for (const Cubic& c : strokes.back()) total += lengths.emplace_back(PolygonLength(c));
  }
  double done = 0;
  std::size_t k = 0;
  for (const auto& curves : strokes) {
    Moveto(curves.front().p[0], curves.front().p[1]);
    for (const Cubic& c : curves) {
      const double length = lengths[k++];
      done += length;
      const long long due = total > 0 ? std::llround(wanted * (done / total)) : wanted;
      Curveto(c.p + 2, StampsFor(length, due - t));
    }
  }
}

// The pen rests on its last point, where the ink already is, while the strip moves on: the
// stamps pile up unseen.
void Rest(long long wanted) {
  while (!escape && wanted - t >= kFewestStamps) {
    const int still[6] = {x, y, x, y, x, y};
    Curveto(still, StampsFor(0, wanted - t));
  }
}

// How far right of its left edge a glyph's ink reaches, pen included.
int Reach(const Glyph& g) {
  int reach = 0;
  for (const auto& stroke : g.strokes)
    for (FontPoint p : stroke)
      reach = std::max(reach, static_cast<int>(std::lround((p.x - g.left) * kPixelsPerUnit)));
  return reach + penwidth;
}

// Where the glyph at i should leave the next glyph's left edge: the writing spot, or further
// left when the next glyph with ink would otherwise begin with ink past the right edge.
int Target(std::size_t i) {
  std::size_t next = (i + 1) % text.size();
  while (glyphline[next].strokes.empty()) next = (next + 1) % text.size();
  return std::min(kWritingX, kScreenW - Reach(glyphline[next]));
}

void WriteGlyph(std::size_t i) {
  const Glyph& g = glyphline[i];
  if (g.strokes.empty()) return;  // a space: its width went to the glyph before it
  t = 0;
  const int width = Width(i);
  const int target = Target(i);
  DrawGlyph(g, 2LL * (cursor + width - target));
  const int blank = BlankAfter(i);
  Rest(2LL * (cursor + width + blank - target));
  cursor += width + blank - t / 2;
}

}  // namespace

bool Inked(const std::string& words, const std::vector<Glyph>& glyphs) {
  for (char32_t c : Characters(words))
    if (!GlyphFor(c, glyphs).strokes.empty()) return true;
  return false;
}

std::vector<Cubic> StrokeCurves(const std::vector<PixelPoint>& points) {
  const std::size_t n = points.size();
  auto at = [&points, n](std::ptrdiff_t i) {
    return points[static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(i, 0, n - 1))];
  };
  auto pixel = [](double v) { return static_cast<int>(std::lround(v)); };
  std::vector<Cubic> curves;
  for (std::ptrdiff_t i = 0; i + 1 < static_cast<std::ptrdiff_t>(std::max<std::size_t>(n, 2));
       ++i) {
    const PixelPoint a = at(i - 1), b = at(i), c = at(i + 1), d = at(i + 2);
    curves.push_back(
        {{pixel(b.x), pixel(b.y), pixel(b.x + (c.x - a.x) / 6), pixel(b.y + (c.y - a.y) / 6),
          pixel(c.x - (d.x - b.x) / 6), pixel(c.y - (d.y - b.y) / 6), pixel(c.x), pixel(c.y)}});
  }
  return curves;
}

double PolygonLength(const Cubic& c) {
  double length = 0;
  for (int k = 0; k < 6; k += 2) length += std::hypot(c.p[k + 2] - c.p[k], c.p[k + 3] - c.p[k + 1]);
  return length;
}

int StampsFor(double length, long long wanted) {
  const long long fewest = std::max<long long>(
      kFewestStamps, static_cast<long long>(std::ceil(length / kWidestStep)) + 1);
  const long long n =
      std::clamp<long long>(wanted, std::min<long long>(fewest, kMostStamps), kMostStamps);
  return static_cast<int>(n + n % 2);
}

void SetText(const std::string& words, const std::vector<Glyph>& glyphs, int penw, int penh) {
  text = Characters(words);
  glyphline.clear();
  for (char32_t c : text) glyphline.push_back(GlyphFor(c, glyphs));
  const Glyph space = GlyphFor(' ', glyphs);
  spacewidth = static_cast<int>(std::lround((space.right - space.left) * kPixelsPerUnit));
  penwidth = penw;
  int top = 0, bottom = 0;
  for (const Glyph& g : glyphs)
    for (const auto& stroke : g.strokes)
      for (FontPoint p : stroke) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  // The font's full height, pen included, centred on the screen.
  const int inked = static_cast<int>(std::lround((bottom - top) * kPixelsPerUnit)) + penh;
  baseline = (kScreenH - inked) / 2 - static_cast<int>(std::lround(top * kPixelsPerUnit));
  cursor = std::min(kWritingX, kScreenW - Reach(glyphline[text.find_first_not_of(' ')]));
}

void WriteTextPass() {
  for (std::size_t i = 0; i < text.size(); ++i) WriteGlyph(i);
}
