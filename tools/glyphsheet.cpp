// Draws the contact sheet of the handwriting font: its 95 glyphs and every letter and sign we add
// to it, accents and all, labelled by character or code point, each stamped with the ball
// along the very curves --text writes, at the widest step between stamps the writing ever takes,
// at full size and then shrunk three times each way, labelled, 12 to a row; then words joined
// up as --text joins them, each a line of the pen with its dots and crosses after; as a PNG.
// Usage: glyphsheet BALL.bmp OUT.png
#include <allegro.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "font.h"
#include "lettering.h"
#include "letters.h"
#include "ownglyphs.h"
#include "safesave.h"

namespace {

constexpr int kShrink = 3;
constexpr int kColumns = 12;
constexpr int kCellW = 480, kCellH = 560;  // full size: the widest glyph and the font's height
constexpr int kLabelGap = 12;
constexpr char32_t kLastAdded = 0x20FF;  // past the last sign --text writes

// The glyph as the strip keeps it: every stroke's curves, stamped at the widest step.
void Stamp(BITMAP* cell, const Glyph& g, BITMAP* pen, int top) {
  const double left = (kCellW - (g.right - g.left) * kPixelsPerUnit) / 2;
  Strokes all = g.strokes;
  all.insert(all.end(), g.marks.begin(), g.marks.end());
  for (const auto& stroke : all) {
    std::vector<PixelPoint> points;
    for (FontPoint p : stroke)
      points.push_back({left + (p.x - g.left) * kPixelsPerUnit, (p.y - top) * kPixelsPerUnit});
    for (const Cubic& c : StrokeCurves(points)) {
      const int n = StampsFor(PolygonLength(c), 0);
      std::vector<int> xs(n), ys(n);
      calc_spline(c.p, n, xs.data(), ys.data());
      for (int i = 0; i < n; ++i) draw_sprite(cell, pen, xs[i], ys[i]);
    }
  }
}

// Words that show the joins: letters begun mid-glyph, strokes retraced, dots, crosses, capitals.
constexpr const char* kJoinedWords[] = {"hello", "lemon", "minimum", "summer", "rose",  "quick",
                                        "brown", "fox",   "jumps",   "over",   "lazy",  "dogs",
                                        "Hello", "world", "Kate",    "café",   "Grüße", "Łódź"};
constexpr int kWordGap = 240;  // full-size pixels between the words

// The curves of the strokes, stamped at the widest step, moved by (dx, dy).
void StampStrokes(BITMAP* cell, const std::vector<std::vector<PixelPoint>>& strokes, BITMAP* pen,
                  double dx, double dy) {
  for (auto stroke : strokes) {
    for (PixelPoint& p : stroke) p = {p.x + dx, p.y + dy};
    for (const Cubic& c : StrokeCurves(stroke)) {
      const int n = StampsFor(PolygonLength(c), 0);
      std::vector<int> xs(n), ys(n);
      calc_spline(c.p, n, xs.data(), ys.data());
      for (int i = 0; i < n; ++i) draw_sprite(cell, pen, xs[i], ys[i]);
    }
  }
}

double WidthOf(const std::string& word, const std::vector<Glyph>& glyphs) {
  double width = 0;
  for (char32_t c : Characters(word)) width += GlyphFor(c, glyphs).right - GlyphFor(c, glyphs).left;
  return width * kPixelsPerUnit;
}

// The joined words at full size, as many rows of kCellH as they need, kColumns cells wide.
BITMAP* JoinedWords(const std::vector<Glyph>& glyphs, BITMAP* pen, int top) {
  const int wide = kColumns * kCellW;
  int rows = 1;
  double x = kWordGap;
  for (const char* word : kJoinedWords) {
    if (x + WidthOf(word, glyphs) > wide) ++rows, x = kWordGap;
    x += WidthOf(word, glyphs) + kWordGap;
  }
  BITMAP* words = create_bitmap(wide, rows * kCellH);
  clear_to_color(words, 0);
  x = kWordGap;
  int row = 0;
  for (const char* word : kJoinedWords) {
    if (x + WidthOf(word, glyphs) > wide) ++row, x = kWordGap;
    StampStrokes(words, WordStrokes(word, glyphs, kLargestSize), pen, x,
                 row * kCellH - top * kPixelsPerUnit);
    x += WidthOf(word, glyphs) + kWordGap;
  }
  return words;
}

void Shrink(BITMAP* from, BITMAP* to, int x0, int y0) {
  for (int y = 0; y < from->h / kShrink; ++y) {
    for (int x = 0; x < from->w / kShrink; ++x) {
      int sum[3] = {0, 0, 0};
      for (int dy = 0; dy < kShrink; ++dy)
        for (int dx = 0; dx < kShrink; ++dx) {
          const int c = getpixel(from, x * kShrink + dx, y * kShrink + dy);
          sum[0] += getr(c), sum[1] += getg(c), sum[2] += getb(c);
        }
      const int n = kShrink * kShrink;
      putpixel(to, x0 + x, y0 + y, makecol(sum[0] / n, sum[1] / n, sum[2] / n));
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: glyphsheet BALL.bmp OUT.png\n");
    return 2;
  }
  install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(32);
  std::vector<Glyph> glyphs;
  const std::string why = ReadFont(kFontFile, &glyphs);
  BITMAP* pen = load_bitmap(argv[1], nullptr);
  if (!why.empty() || !pen) {
    std::fprintf(stderr, "glyphsheet: %s\n", why.empty() ? "cannot load the ball" : why.c_str());
    return 1;
  }
  std::vector<char32_t> written;
  for (char32_t c = kFirstGlyph; c <= kLastAdded; ++c)
    if (Covered(c)) written.push_back(c);
  int top = 0;
  for (char32_t c : written) {
    const Glyph g = GlyphFor(c, glyphs);
    for (const auto& strokes : {g.strokes, g.marks})
      for (const auto& stroke : strokes)
        for (FontPoint p : stroke) top = std::min(top, p.y);
  }
  const int rows = (static_cast<int>(written.size()) + kColumns - 1) / kColumns;
  const int cellw = kCellW / kShrink, cellh = kCellH / kShrink + kLabelGap;
  BITMAP* words = JoinedWords(glyphs, pen, top - 1);
  BITMAP* sheet = create_bitmap(kColumns * cellw, rows * cellh + words->h / kShrink);
  BITMAP* cell = create_bitmap(kCellW, kCellH);
  clear_to_color(sheet, makecol(40, 40, 40));
  for (std::size_t i = 0; i < written.size(); ++i) {
    const int x0 = static_cast<int>(i % kColumns) * cellw,
              y0 = static_cast<int>(i / kColumns) * cellh;
    clear_to_color(cell, 0);
    Stamp(cell, GlyphFor(written[i], glyphs), pen, top - 1);
    Shrink(cell, sheet, x0, y0 + kLabelGap);
    char label[12] = {static_cast<char>(written[i]), '\0'};
    if (written[i] > kLastGlyph)
      std::snprintf(label, sizeof label, "%04X", static_cast<unsigned>(written[i]));
    textout_ex(sheet, font, label, x0 + 4, y0 + 2, makecol(230, 230, 230), -1);
  }
  Shrink(words, sheet, 0, rows * cellh);
  destroy_bitmap(words);
  const bool saved = SaveBitmapWhole(argv[2], sheet);
  destroy_bitmap(cell);
  destroy_bitmap(sheet);
  destroy_bitmap(pen);
  return saved ? 0 : 1;
}
