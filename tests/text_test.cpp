// The user's own words: the font file read as it is meant, one glyph's strokes turned into the
// curves the pen draws, the stamps a curve gets, and a long text written on the memory screen
// with every stroke drawn on screen.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "font.h"
#include "geometry.h"
#include "lettering.h"
#include "letters.h"
#include "main3.h"
#include "pen.h"
#include "stand.h"
#include "stroke.h"

namespace {

using TextTest = Stand;

std::vector<Glyph> TheFont() {
  std::vector<Glyph> glyphs;
  EXPECT_EQ(ReadFont(kFontFile, &glyphs), "");
  return glyphs;
}

// Every stamp of one pass as a point on the strip, in order: a stamp's screen x plus the scroll
// steps made before it.
struct StripPoint {
  double x, y;
};
std::vector<StripPoint> stamps;
long long scrolls;

void Trace(const int p[8], int samples) {
  std::vector<int> xs(samples), ys(samples);
  calc_spline(p, samples, xs.data(), ys.data());
  for (int i = 0; i < samples; ++i)
    stamps.push_back({static_cast<double>(xs[i] - (t + i) / 2 + scrolls + (i + 1) / 2),
                      static_cast<double>(ys[i])});
  scrolls += samples / 2;
}

// The pass's stamps, for text written at this size.
std::vector<StripPoint> Stamps(const std::string& words, int size, const HandStyle& style = {}) {
  HandStyle s = style;
  s.size = size;
  SetText(words, TheFont(), 1, 1, s);
  stamps.clear();
  scrolls = 0;
  curvestart = Trace;
  WriteTextPass();
  curvestart = nullptr;
  return stamps;
}

double Gap(const std::vector<StripPoint>& s, std::size_t i) {
  return std::hypot(s[i].x - s[i - 1].x, s[i].y - s[i - 1].y);
}

// Where the pen lifted: each jump between consecutive stamps wider than twice the widest step
// and a pixel, which no stamps along a curve make.
std::vector<std::size_t> Lifts(const std::vector<StripPoint>& s, int size) {
  std::vector<std::size_t> lifts;
  for (std::size_t i = 1; i < s.size(); ++i)
    if (Gap(s, i) > 2 * StepFor(size) + 1) lifts.push_back(i);
  return lifts;
}

// How far the point is from the nearest of the strokes' segments.
double FromInk(const std::vector<std::vector<PixelPoint>>& strokes, double x, double y) {
  double nearest = 1e9;
  for (const auto& stroke : strokes)
    for (std::size_t k = 0; k + 1 < stroke.size(); ++k) {
      const PixelPoint a = stroke[k], b = stroke[k + 1];
      const double dx = b.x - a.x, dy = b.y - a.y, span = dx * dx + dy * dy;
      const double along =
          span > 0 ? std::clamp(((x - a.x) * dx + (y - a.y) * dy) / span, 0.0, 1.0) : 0;
      nearest = std::min(nearest, std::hypot(x - a.x - along * dx, y - a.y - along * dy));
    }
  return nearest;
}

// Records of 95 glyphs, each a box alone but the one at the given place.
std::string Records(const std::string& record, int at = 1) {
  std::string text;
  for (int i = 0; i < 95; ++i) text += i == at ? record : "  100  1JZ\n";
  return text;
}

TEST(Font, RecordsMayRunOnOverLinesAndMustHoldWhatTheySay) {
  std::vector<Glyph> glyphs;
  // '!': the box, a stroke of two points, the pen lifted, a dot, over two lines.
  ASSERT_EQ(ParseFont(Records("  200  5JZPRTV R\nRR\n"), &glyphs), "");
  ASSERT_EQ(glyphs.size(), 95u);
  EXPECT_EQ(glyphs[1].left, -8);
  EXPECT_EQ(glyphs[1].right, 8);
  ASSERT_EQ(glyphs[1].strokes.size(), 2u);
  EXPECT_EQ(glyphs[1].strokes[0].size(), 2u);
  EXPECT_EQ(glyphs[1].strokes[0][1].x, 2);
  EXPECT_EQ(glyphs[1].strokes[0][1].y, 4);
  EXPECT_EQ(glyphs[1].strokes[1].size(), 1u);
  EXPECT_TRUE(Inked("a!", glyphs));  // nothing but '!' has strokes here
  EXPECT_FALSE(Inked("ab", glyphs));

  EXPECT_NE(ParseFont(Records("  200  6JZPRTV R\nRR\n", 94), &glyphs).find("95 is cut short"),
            std::string::npos);
  EXPECT_NE(ParseFont(Records("  200  xJZ\n"), &glyphs).find("no count"), std::string::npos);
  EXPECT_NE(ParseFont(Records("  200  2JZPRTV\n"), &glyphs).find("runs past"), std::string::npos);
  EXPECT_NE(ParseFont(Records("  200  2JZP\x01\n"), &glyphs).find("not a coordinate"),
            std::string::npos);
  EXPECT_NE(ParseFont("  100  1JZ\n", &glyphs).find("fewer than the 95"), std::string::npos);
  EXPECT_EQ(ReadFont("no-such.jhf", &glyphs), "No such file or directory");
}

// '<' is one stroke of three points. Each curve passes through two of them and leaves a point
// in the direction from the point before it to the point after; the ends are their own
// neighbours, so a curve leaves an end a sixth of the way to the next point.
TEST(Font, AGlyphsStrokeBecomesCurvesThroughItsPoints) {
  const Glyph less = TheFont().at('<' - kFirstGlyph);
  ASSERT_EQ(less.strokes.size(), 1u);
  std::vector<PixelPoint> points;
  for (FontPoint p : less.strokes[0]) points.push_back({p.x * 6.0, p.y * 6.0});
  const std::vector<Cubic> curves = StrokeCurves(points);
  ASSERT_EQ(curves.size(), 2u);
  EXPECT_EQ(std::vector<int>(curves[0].p, curves[0].p + 8),
            (std::vector<int>{48, -54, 32, -45, -48, -18, -48, 0}));
  EXPECT_EQ(std::vector<int>(curves[1].p, curves[1].p + 8),
            (std::vector<int>{-48, 0, -48, 18, 32, 45, 48, 54}));
  const std::vector<Cubic> dot = StrokeCurves({{5, 7}});
  ASSERT_EQ(dot.size(), 1u);
  EXPECT_EQ(std::vector<int>(dot[0].p, dot[0].p + 8), (std::vector<int>{5, 7, 5, 7, 5, 7, 5, 7}));
}

// As many as the strip needs, but never so few that the stamps part, never more than the
// sample buffers hold, and always even.
TEST(Font, AStrokeGetsTheStampsTheStripNeedsWithinItsBounds) {
  EXPECT_EQ(StampsFor(0, -40), 2);
  EXPECT_EQ(StampsFor(64, 0), 10);  // 9 stamps make the 8 steps of 8 pixels, made even
  EXPECT_EQ(StampsFor(60, 51), 52);
  EXPECT_EQ(StampsFor(60, 40), 40);
  EXPECT_EQ(StampsFor(1000, 5), 126);
  EXPECT_EQ(StampsFor(5000, 0), 200);
  EXPECT_EQ(StampsFor(0, 1000000), 200);
}

// Wide and narrow glyphs, dense and sparse ones, runs of spaces and a pass after pass, in the
// largest hand and in the smallest, whose letters need the most stamps for their width: every
// curve that puts ink down starts on the screen with room for the pen, and the pen rests
// between glyphs leave the finished words alone.
TEST_F(TextTest, ALongTextIsWrittenOnScreenPassAfterPass) {
  destroy_bitmap(ball);
  ball = load_bitmap(BALL_FILE, nullptr);
  for (int size : {kLargestSize, kSmallestSize}) {
    HandStyle style;
    style.size = size;
    SetText("  X@M f-f,   mW.", TheFont(), ball->w, ball->h, style);
    static int inked, off, lastx, lasty;
    inked = off = 0;
    lastx = lasty = -1;
    curvestart = [](const int p[8], int) {
      const bool still = std::equal(p, p + 2, p + 2) && std::equal(p, p + 4, p + 4);
      const bool resting = still && p[0] == lastx && p[1] == lasty;
      lastx = p[6];
      lasty = p[7];
      if (resting) return;
      ++inked;
      const int sx = p[0] - t / 2;
      off += sx < 0 || sx > kW - ball->w || p[1] < 0 || p[1] > kH - ball->h;
    };
    WriteTextPass();
    WriteTextPass();
    curvestart = nullptr;
    EXPECT_GT(inked, 400) << size;
    EXPECT_EQ(off, 0) << size;
    EXPECT_GT(Count(screen, 0), kW * kH / 2) << size;
  }
}

// A press during a pass of text: the screen is saved, nothing more is drawn, and the pass runs
// out, resting pen and all, without drawing.
TEST_F(TextTest, APressStopsTheWritingAndThePassRunsOut) {
  SetText("a    b", TheFont(), 1, 1);
  WriteTextPass();
  BITMAP* before = Copy(screen);
  mouse_b = 1;
  WriteTextPass();
  EXPECT_TRUE(escape);
  EXPECT_TRUE(Same(screen, before));
  EXPECT_TRUE(IsFile("dump.bmp"));
  destroy_bitmap(before);
}

// One pass of each, its stamps taken as points on the strip: inside a word the pen stays down;
// it lifts between words, and for the dots of i and j, the cross of t, the second stroke of x
// and accents, which it makes once the word is written.
TEST_F(TextTest, ThePenLiftsOnlyBetweenWordsAndForDotsAndCrosses) {
  const struct {
    const char* words;
    std::size_t lifts;
  } kPasses[] = {{"lemon", 0}, {"hello", 0}, {"summer rose", 1}, {"Hello world", 1},
                 {"the", 1},   {"fox", 1},   {"caf\u00e9", 1}};
  for (const auto& pass : kPasses)
    EXPECT_EQ(Lifts(Stamps(pass.words, kDefaultSize), kDefaultSize).size(), pass.lifts)
        << pass.words;
  // The i dots come once the last m is made: the pen lifts from the end of the word.
  const std::vector<StripPoint> minimum = Stamps("minimum", kDefaultSize);
  const std::vector<std::size_t> lifts = Lifts(minimum, kDefaultSize);
  ASSERT_EQ(lifts.size(), 2u);
  double end = 0;
  for (std::size_t i = 0; i < lifts[0]; ++i) end = std::max(end, minimum[i].x);
  EXPECT_EQ(minimum[lifts[0] - 1].x, end);
}

// Where one letter runs into the next, the line keeps its direction: the curve that arrives and
// the curve that leaves are mirror images about the point they share, as the script's S joins
// are (at a turn, where the pen goes back over its ink, both stand still).
TEST_F(TextTest, TheLineKeepsItsDirectionWhereLettersJoin) {
  static std::vector<std::vector<int>> curves;
  curves.clear();
  curvestart = [](const int p[8], int) { curves.emplace_back(p, p + 8); };
  SetText("hello lemon summer", TheFont(), 1, 1);
  WriteTextPass();
  curvestart = nullptr;
  auto still = [](const std::vector<int>& c) {
    return std::equal(c.begin(), c.end() - 2, c.begin() + 2);
  };
  int joints = 0;
  for (std::size_t k = 1; k < curves.size(); ++k) {
    const std::vector<int>&a = curves[k - 1], &b = curves[k];
    if (a[6] != b[0] || a[7] != b[1] || still(a) || still(b)) continue;
    ++joints;
    for (int axis = 0; axis < 2; ++axis)
      EXPECT_LE(std::abs((a[6 + axis] - a[4 + axis]) - (b[2 + axis] - b[axis])), 2)
          << "at curve " << k << " (" << b[0] << ", " << b[1] << ")";
  }
  EXPECT_GT(joints, 100);
}

// A letter that begins mid-glyph is entered from the letter before over its own ink, as a hand
// writes it, not by a bar across its bowl: all of the line after the m lies on the letter's own
// strokes.
TEST(Joins, ALetterBegunMidGlyphIsEnteredAlongItsOwnInk) {
  const std::vector<Glyph> font = TheFont();
  const double scale = kPixelsPerUnit;
  const Glyph m = font.at('m' - kFirstGlyph);
  const double exit = (m.right - m.left) * scale;
  for (char c : std::string("acdgoq")) {
    const Glyph g = font.at(c - kFirstGlyph);
    std::vector<std::vector<PixelPoint>> ink;
    for (const auto& stroke : g.strokes) {
      ink.emplace_back();
      for (FontPoint p : stroke) ink.back().push_back({exit + (p.x - g.left) * scale, p.y * scale});
    }
    const auto strokes = WordStrokes(std::string("m") + c, font, kLargestSize);
    ASSERT_EQ(strokes.size(), 1u) << c;
    double farthest = 0;
    for (const Cubic& curve : StrokeCurves(strokes[0])) {
      if (curve.p[0] < exit - 1) continue;
      int xs[16], ys[16];
      calc_spline(curve.p, 16, xs, ys);
      for (int i = 0; i < 16; ++i) farthest = std::max(farthest, FromInk(ink, xs[i], ys[i]));
    }
    EXPECT_LT(farthest, scale) << c;
  }
}

// At every size the stamps run into one line, no further apart than at the largest size, nor
// than the pen is wide.
TEST_F(TextTest, AtEverySizeTheStampsJoin) {
  for (int size : {kSmallestSize, kDefaultSize, kLargestSize}) {
    BITMAP* pen = PenFor(size);
    ASSERT_NE(pen, nullptr);
    const std::vector<StripPoint> s = Stamps("lemon", size);
    double widest = 0;
    for (std::size_t i = 1; i < s.size(); ++i) widest = std::max(widest, Gap(s, i));
    EXPECT_LE(widest, std::min<double>(kWidestStep, pen->w)) << size;
    destroy_bitmap(pen);
  }
}

// With --vary every letter is a little different, and the same again for the same seed, so that
// a recording can be repeated; another seed writes otherwise. The writing keeps the font's
// height within 15%, and without --vary the seed changes nothing.
TEST_F(TextTest, AVariedHandRepeatsForItsSeedAndKeepsItsHeight) {
  auto written = [](const HandStyle& style) {
    clear_to_color(screen, 0);
    SetText("Hi Ada", TheFont(), 1, 1, style);
    WriteTextPass();
    return Digest(screen);
  };
  auto varied = [](unsigned seed) {
    HandStyle style;
    style.vary = true;
    style.seed = seed;
    return style;
  };
  HandStyle seeded;
  seeded.seed = 9;
  const auto plain = written(HandStyle());
  EXPECT_EQ(written(seeded), plain);
  const auto first = written(varied(1));
  EXPECT_NE(first, plain);
  EXPECT_EQ(written(varied(1)), first);
  EXPECT_NE(written(varied(2)), first);
  auto height = [](const std::vector<StripPoint>& s) {
    auto [low, high] = std::minmax_element(s.begin(), s.end(),
                                           [](StripPoint a, StripPoint b) { return a.y < b.y; });
    return high->y - low->y;
  };
  const double font = height(Stamps("Hi Ada", kDefaultSize));
  for (unsigned seed : {1u, 2u, 3u}) {
    const double h = height(Stamps("Hi Ada", kDefaultSize, varied(seed)));
    EXPECT_GT(h, font * 0.85) << seed;
    EXPECT_LT(h, font * 1.15) << seed;
  }
}

}  // namespace
