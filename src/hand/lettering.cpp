// Writing the user's own words in the Hershey script hand on the moving strip, word by word, each
// word one line of the pen as a hand joins it up, with the stamps of each letter chosen so the
// writing keeps its place.
#include "lettering.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "bmpcheck.h"
#include "geometry.h"
#include "letters.h"
#include "main3.h"
#include "pen.h"
#include "stroke.h"

namespace {

// Where each glyph's writing should leave the next glyph's left edge, in screen pixels, unless
// the next glyph is too wide to start there: right of the middle, so that the words just written
// stay in view on the left, like the script's.
constexpr int kWritingX = 940;
constexpr int kGapSpaces = 3;  // after the text, before the next pass, in widths of a space
// Dense letters in a small hand need more stamps to stay joined than their width lets the strip
// move, so the pen falls behind its spot as it writes them, and would walk off the screen in a
// long pass. It may fall this far behind, in pixels: a word begins no further left of its spot
// than kMostBehind, the strip before it left blank; a word that falls kWordBehind behind lifts
// the pen before a letter and goes on as a new word would. A word also lifts it once kLongestPart
// long, so that no curve's coordinates, nor the stamp count, grow with the word's length.
constexpr int kMostBehind = 160;
constexpr int kWordBehind = 640;
constexpr int kLongestPart = 8192;
// Pixels left of and above the screen, where not even the largest pen a sprite can be shows.
constexpr int kOffStrip = -(kScreenW + kMaxBmpSide);

// The joins, in font units. A hand joins two strokes, or two letters, that are no further apart
// than a little more than an x is tall (the upstroke of a t reaches the top of its stem); it goes
// straight into a next stroke that begins this near the pen, and back along a stroke it has
// just made when the next one begins this near that ink.
constexpr double kLongestJoin = 10;
constexpr double kStraightEntry = 4;
constexpr double kOnInk = 0.5;
constexpr double kJoinHeight = 4;  // the font's lower-case letters leave and enter at this y
constexpr double kBaselineY = kXHeightUnits;  // the top of an x is at y = 0
// A letter whose first stroke begins further in than this share of its width begins mid-glyph.
constexpr double kMidGlyph = 1.0 / 3;

// The pen and its step for each size: a disc a seventh of the x-height across but never thinner
// than four pixels, solid so that a thin line stays smooth, in the ball's blue made pale enough
// to read on black; and stamps at most about a third of that apart, so that they run into one
// line.
constexpr double kPenPerSize = 1.0 / 7;
constexpr int kThinnestPen = 4;  // pixels
constexpr int kPenRGB[3] = {140, 180, 255};
constexpr double kStepPerSize = 1.0 / 20;
constexpr double kShortestStep = 2;  // pixels

// How far a varied letter may stray from the font's: its size and slant as shares, its
// baseline in font units.
constexpr double kSizeVariation = 0.04;
constexpr double kSlantVariation = 0.05;
constexpr double kRiseVariation = 0.3;

// One letter's own way: its size against the font's, its slant (a lean right per unit of
// height) and how far it sits below the baseline, in font units.
struct Variation {
  double size = 1, slant = 0, rise = 0;
};

// How glyphs are put on the strip: pixels a font unit, and where the font's y = 0 lies.
struct Frame {
  double scale = kPixelsPerUnit;
  double top = 0;
};

// The lettering's state: the text, its glyphs and their variations for the pass under way, the
// hand's size and pen, and where the next glyph's left edge stands on the screen, in pixels.
struct Lettering {
  std::u32string text;
  std::vector<Glyph> glyphline;
  std::vector<Variation> variation;
  Frame frame;
  double step = kWidestStep;
  int penwidth = 0;
  int spacewidth = 0;
  int cursor = 0;
  bool vary = false;
  std::mt19937 random;
};

Lettering hand;

// A line the pen draws without lifting, with the glyph each point belongs to.
struct Run {
  std::vector<PixelPoint> points;
  std::vector<std::size_t> owner;
};

// How the pen writes one word: its joined-up lines, and the strokes it makes afterwards.
struct WordPlan {
  std::vector<Run> runs;
  std::vector<Run> delayed;
};

bool IsLetter(char32_t c) {
  if (c < 0x80) return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
  return c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7;
}

double Distance(PixelPoint a, PixelPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

double Distance(FontPoint a, FontPoint b) { return std::hypot(a.x - b.x, a.y - b.y); }

// The strokes a writer makes once the word is written: a letter's dots, a last stroke that
// leaves the pen far from where the stroke before left it ready for the next letter (the cross
// of a t, the second stroke of an x), and every mark.
std::vector<bool> Delayed(const Glyph& g, bool letter) {
  const std::size_t n = g.strokes.size();
  std::vector<bool> delayed(n, false);
  if (!letter || n < 2) return delayed;
  for (std::size_t k = 0; k < n; ++k) delayed[k] = IsDot(g.strokes[k]);
  const FontPoint exit = {g.right, static_cast<int>(kJoinHeight)};
  const auto& before = g.strokes[n - 2];
  if (Distance(before.back(), exit) <= kStraightEntry &&
      Distance(g.strokes[n - 1].back(), exit) > kStraightEntry)
    delayed[n - 1] = true;
  return delayed;
}

PixelPoint Place(FontPoint p, const Glyph& g, double edge, const Variation& v, const Frame& f) {
  const double x = (p.x - g.left + v.slant * (kBaselineY - p.y)) * v.size;
  const double y = kBaselineY + (p.y - kBaselineY) * v.size + v.rise;
  return {edge + x * f.scale, f.top + y * f.scale};
}

void Append(Run* run, PixelPoint p, std::size_t owner) {
  if (!run->points.empty() && Distance(run->points.back(), p) < 0.5) return;
  run->points.push_back(p);
  run->owner.push_back(owner);
}

// Where p lies on the stroke's ink, as the index of the segment it lies on, or -1.
std::ptrdiff_t SegmentUnder(const std::vector<PixelPoint>& stroke, PixelPoint p, double near) {
  for (std::size_t k = 0; k + 1 < stroke.size(); ++k) {
    const PixelPoint a = stroke[k], b = stroke[k + 1];
    const double dx = b.x - a.x, dy = b.y - a.y, span = dx * dx + dy * dy;
    const double along =
        span > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / span, 0.0, 1.0) : 0;
    if (Distance(p, {a.x + along * dx, a.y + along * dy}) <= near)
      return static_cast<std::ptrdiff_t>(k);
  }
  return -1;
}

// Carries the run on into the next stroke of the same letter, back along the stroke just made
// when the next begins on it, and says whether the pen could stay down.
bool JoinWithin(Run* run, const std::vector<PixelPoint>& made, std::vector<PixelPoint>* next,
                std::size_t owner, double scale) {
  const PixelPoint pen = run->points.back();
  if (const std::ptrdiff_t on = SegmentUnder(made, next->front(), kOnInk * scale); on >= 0) {
    for (std::ptrdiff_t k = static_cast<std::ptrdiff_t>(made.size()) - 2; k > on; --k)
      Append(run, made[static_cast<std::size_t>(k)], owner);
  } else if (Distance(next->back(), pen) <= kOnInk * scale) {
    std::reverse(next->begin(), next->end());  // drawn from the end the pen stands on
  } else if (Distance(next->front(), pen) > kLongestJoin * scale) {
    return false;
  }
  for (PixelPoint p : *next) Append(run, p, owner);
  return true;
}

// Carries the run on from one letter into the next one's first stroke. A letter that begins
// mid-glyph gets the upstroke a hand gives it: over its own ink to where it begins.
bool JoinLetters(Run* run, const std::vector<PixelPoint>& first, const Glyph& g, FontPoint start,
                 std::size_t owner, double scale) {
  const PixelPoint pen = run->points.back();
  const double straight = Distance(pen, first.front());
  std::size_t entry = 0;
  if (straight > kStraightEntry * scale && start.x - g.left > kMidGlyph * (g.right - g.left)) {
    for (std::size_t k = 1; k < first.size(); ++k)
      if (Distance(pen, first[k]) < Distance(pen, first[entry])) entry = k;
  }
  if (Distance(pen, first[entry]) > kLongestJoin * scale) return false;
  for (std::size_t k = entry; k > 0; --k) Append(run, first[k], owner);
  for (PixelPoint p : first) Append(run, p, owner);
  return true;
}

// The plan for the glyphs first to last - 1 of the line, the first with its left edge at x:
// letters joined into one line wherever a hand would join them, other glyphs a stroke at a time.
WordPlan PlanWord(const std::vector<Glyph>& glyphs, const std::u32string& chars,
                  const std::vector<Variation>& variation, std::size_t first, std::size_t last,
                  double x, const Frame& frame) {
  WordPlan plan;
  bool joinable = false;  // the pen stands at the end of a letter
  for (std::size_t i = first; i < last; ++i) {
    const Glyph& g = glyphs[i];
    const bool letter = IsLetter(chars[i]);
    const std::vector<bool> delayed = Delayed(g, letter);
    std::vector<PixelPoint> made;
    for (std::size_t k = 0; k < g.strokes.size(); ++k) {
      std::vector<PixelPoint> stroke;
      for (FontPoint p : g.strokes[k]) stroke.push_back(Place(p, g, x, variation[i], frame));
      if (delayed[k]) {
        plan.delayed.emplace_back();
        for (PixelPoint p : stroke) Append(&plan.delayed.back(), p, i);
        continue;
      }
      const bool joined =
          letter && !plan.runs.empty() &&
          (made.empty() ? joinable && JoinLetters(&plan.runs.back(), stroke, g, g.strokes[k][0], i,
                                                  frame.scale)
                        : JoinWithin(&plan.runs.back(), made, &stroke, i, frame.scale));
      if (!joined) {
        plan.runs.emplace_back();
        for (PixelPoint p : stroke) Append(&plan.runs.back(), p, i);
      }
      made = stroke;
    }
    for (const auto& mark : g.marks) {
      plan.delayed.emplace_back();
      for (FontPoint p : mark) Append(&plan.delayed.back(), Place(p, g, x, variation[i], frame), i);
    }
    joinable = letter && !made.empty();
    x += std::lround((g.right - g.left) * variation[i].size * frame.scale);
  }
  return plan;
}

int Width(std::size_t i) {
  const Glyph& g = hand.glyphline[i];
  return static_cast<int>(
      std::lround((g.right - g.left) * hand.variation[i].size * hand.frame.scale));
}

// The blank strip after the glyph at i before the next one with ink: the spaces that follow it,
// and at the end of the text the gap and the spaces the text begins with.
int BlankAfter(std::size_t i) {
  int blank = 0;
  std::size_t j = i + 1;
  for (; j < hand.text.size() && hand.glyphline[j].strokes.empty(); ++j) blank += Width(j);
  if (j < hand.text.size()) return blank;
  blank += kGapSpaces * hand.spacewidth;
  for (j = 0; j < hand.text.size() && hand.glyphline[j].strokes.empty(); ++j) blank += Width(j);
  return blank;
}

// The pen rests on its last point, where the ink already is, while the strip moves on: the
// stamps pile up unseen. Once that ink has left the strip the pen rests off it, where nothing
// shows, counting its stamps afresh, so that neither its coordinates nor the count grow however
// long it rests.
void Rest(long long stamps) {
  while (!escape && stamps >= kFewestStamps) {
    if (x - t / kStampsPerScroll < kOffStrip) {
      Moveto(kOffStrip, kOffStrip);
      t = 0;
    }
    const int still[6] = {x, y, x, y, x, y};
    const int n = StampsFor(0, stamps, hand.step);
    Curveto(still, n);
    stamps -= n;
  }
}

// How far right of its left edge a glyph's ink reaches, pen included.
int Reach(std::size_t i) {
  const Glyph& g = hand.glyphline[i];
  int reach = 0;
  for (const auto& stroke : g.strokes)
    for (FontPoint p : stroke)
      reach = std::max(reach, static_cast<int>(std::lround((p.x - g.left) * hand.frame.scale *
                                                           hand.variation[i].size)));
  return reach + hand.penwidth;
}

// Where the left edge of the glyph at i should stand, or of the next one with ink after it: the
// writing spot, or further left when that glyph would otherwise begin with ink past the right edge.
int Spot(std::size_t i) {
  std::size_t next = i % hand.text.size();
  while (hand.glyphline[next].strokes.empty()) next = (next + 1) % hand.text.size();
  return std::min(kWritingX, kScreenW - Reach(next));
}

// Where the glyph at i should leave the next glyph's left edge.
int Target(std::size_t i) { return Spot(i + 1); }

// A stroke made with the fewest stamps, where the pen happens to be on the strip.
void DrawStroke(const std::vector<PixelPoint>& points) {
  for (const Cubic& c : StrokeCurves(points)) {
    Moveto(c.p[0], c.p[1]);
    Curveto(c.p + 2, StampsFor(PolygonLength(c), 0, hand.step));
  }
}

// The stamps of a stroke made with the fewest.
long long StrokeStamps(const std::vector<PixelPoint>& points) {
  long long stamps = 0;
  for (const Cubic& c : StrokeCurves(points)) stamps += StampsFor(PolygonLength(c), 0, hand.step);
  return stamps;
}

// The delayed strokes that would leave the screen on the left before the strip has taken ahead
// more stamps, or while they are made, made now, in order, and taken from the plan; the stamps
// they take move the strip too, and may bring more of them to leave. All of them when ahead is
// past every one.
void MakeDelayed(std::vector<Run>* delayed, long long ahead) {
  auto leaving = [ahead](const Run& r) {
    const double moved = (t + ahead + StrokeStamps(r.points)) / 2.0;
    for (PixelPoint p : r.points)
      if (p.x - moved < 0) return true;
    return false;
  };
  for (auto r = std::find_if(delayed->begin(), delayed->end(), leaving); r != delayed->end();
       r = std::find_if(delayed->begin(), delayed->end(), leaving)) {
    DrawStroke(r->points);
    delayed->erase(r);
  }
}

// Stamps ahead past every delayed stroke: MakeDelayed then makes them all.
constexpr long long kAllOfThem = std::numeric_limits<long long>::max() / 4;

// The glyph that the k-th curve of a run ends in, whose stamps it shares.
std::size_t OwnerOf(const Run& run, std::size_t k) {
  return run.owner[std::min(k + 1, run.owner.size() - 1)];
}

// The left edges of the glyphs first to last - 1 on the strip as the word begins at the cursor,
// and the right edge of the last.
std::vector<int> Edges(std::size_t first, std::size_t last) {
  std::vector<int> edge(last - first + 1, hand.cursor);
  for (std::size_t i = first; i < last; ++i) edge[i - first + 1] = edge[i - first] + Width(i);
  return edge;
}

// The stamps due by the end of each glyph first to last - 1, from the word's start: enough to
// bring the next glyph's left edge to the writing spot.
std::vector<long long> Dues(std::size_t first, std::size_t last, const std::vector<int>& edge) {
  std::vector<long long> due(last - first + 1, 0);
  for (std::size_t i = first; i < last; ++i)
    due[i - first + 1] = 2LL * (edge[i - first + 1] - Target(i));
  return due;
}

// Whether the word written so far has fallen too far behind, or grown too long, to go on into
// the glyph that is due to begin at stamp due, along pixels from the word's left edge.
bool PartEnds(long long due, int along) {
  return t - due > 2LL * kWordBehind || along > kLongestPart;
}

// The word's part ends before the glyph at i, whose left edge is at edge on the strip: the
// strokes delayed from the glyphs before it are made now, and the next part begins at that edge.
std::size_t EndPart(std::vector<Run>* delayed, std::size_t i, int edge) {
  delayed->erase(std::remove_if(delayed->begin(), delayed->end(),
                                [i](const Run& r) { return r.owner.empty() || r.owner[0] >= i; }),
                 delayed->end());
  MakeDelayed(delayed, kAllOfThem);
  hand.cursor = edge - t / kStampsPerScroll;
  return i;
}

// After the word's last glyph, at i, with its right edge at edge on the strip: the pen rests
// until the blank after it brings the next glyph's left edge to its target, where the cursor
// then stands.
void EndWord(std::size_t i, int edge) {
  const int ahead = edge + BlankAfter(i) - t / kStampsPerScroll;
  const int target = Target(i);
  Rest(2LL * (ahead - target));
  hand.cursor = std::min(ahead, target);
}

// The glyphs first to last - 1, a word or the rest of one, written from the stamp count 0, so
// that pen coordinates are screen coordinates as the word begins; each glyph's curves share its
// stamps in proportion to their length. Returns where the writing stopped: at last, or at the
// glyph before which the pen lifted.
std::size_t WriteWord(std::size_t first, std::size_t last) {
  t = 0;
  hand.cursor = std::max(hand.cursor, Spot(first) - kMostBehind);
  const std::vector<int> edge = Edges(first, last);
  WordPlan plan =
      PlanWord(hand.glyphline, hand.text, hand.variation, first, last, edge[0], hand.frame);
  const std::vector<long long> due = Dues(first, last, edge);
  std::vector<std::vector<Cubic>> curves;
  std::vector<double> ink(last - first, 0), done(last - first, 0);
  std::vector<long long> fewest(last - first, 0);
  for (const Run& run : plan.runs) {
    curves.push_back(StrokeCurves(run.points));
    for (std::size_t k = 0; k < curves.back().size(); ++k) {
      const double length = PolygonLength(curves.back()[k]);
      ink[OwnerOf(run, k) - first] += length;
      fewest[OwnerOf(run, k) - first] += StampsFor(length, 0, hand.step);
    }
  }
  std::size_t at = first;
  for (std::size_t r = 0; r < plan.runs.size(); ++r) {
    for (std::size_t k = 0; k < curves[r].size(); ++k) {
      const std::size_t g = OwnerOf(plan.runs[r], k) - first;
      if (g + first != at) {
        if (PartEnds(due[g], edge[g] - edge[0])) return EndPart(&plan.delayed, g + first, edge[g]);
        // The glyph takes what is due, but never fewer stamps than keep its curves joined.
        MakeDelayed(&plan.delayed, std::max(due[g + 1] - t, fewest[g]));
      }
      at = g + first;
      const Cubic& c = curves[r][k];
      done[g] += PolygonLength(c);
      const double share = ink[g] > 0 ? done[g] / ink[g] : 1;
      const long long wanted = due[g] + std::llround((due[g + 1] - due[g]) * share);
      Moveto(c.p[0], c.p[1]);
      Curveto(c.p + 2, StampsFor(PolygonLength(c), wanted - t, hand.step));
    }
  }
  MakeDelayed(&plan.delayed, kAllOfThem);
  EndWord(last - 1, edge.back());
  return last;
}

Variation Vary() {
  if (!hand.vary) return {};
  auto within = [](double most) { return std::uniform_real_distribution<double>(-most, most); };
  Variation v;
  v.size = 1 + within(kSizeVariation)(hand.random);
  v.slant = within(kSlantVariation)(hand.random);
  v.rise = within(kRiseVariation)(hand.random);
  return v;
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

int StampsFor(double length, long long wanted, double step) {
  const long long fewest =
      std::max<long long>(kFewestStamps, static_cast<long long>(std::ceil(length / step)) + 1);
  const long long n =
      std::clamp<long long>(wanted, std::min<long long>(fewest, kMostStamps), kMostStamps);
  return static_cast<int>(n + n % 2);
}

double StepFor(int size) { return std::clamp(size * kStepPerSize, kShortestStep, kWidestStep); }

BITMAP* PenFor(int size) {
  const int across = std::max(kThinnestPen, static_cast<int>(std::lround(size * kPenPerSize)));
  BITMAP* pen = create_bitmap(across, across);
  if (!pen) return nullptr;
  clear_to_color(pen, bitmap_mask_color(pen));
  const int middle = across / 2;
  circlefill(pen, middle, middle, (across - 1) / 2, makecol(kPenRGB[0], kPenRGB[1], kPenRGB[2]));
  return pen;
}

std::vector<std::vector<PixelPoint>> WordStrokes(const std::string& word,
                                                 const std::vector<Glyph>& glyphs, int size) {
  const std::u32string chars = Characters(word);
  std::vector<Glyph> line;
  for (char32_t c : chars) line.push_back(GlyphFor(c, glyphs));
  const std::vector<Variation> plain(chars.size());
  Frame frame;
  frame.scale = static_cast<double>(size) / kXHeightUnits;
  const WordPlan plan = PlanWord(line, chars, plain, 0, chars.size(), 0, frame);
  std::vector<std::vector<PixelPoint>> strokes;
  for (const Run& r : plan.runs) strokes.push_back(r.points);
  for (const Run& r : plan.delayed) strokes.push_back(r.points);
  return strokes;
}

void SetText(const std::string& words, const std::vector<Glyph>& glyphs, int penw, int penh,
             const HandStyle& style) {
  hand.text = Characters(words);
  hand.glyphline.clear();
  for (char32_t c : hand.text) hand.glyphline.push_back(GlyphFor(c, glyphs));
  hand.variation.assign(hand.text.size(), Variation());
  hand.vary = style.vary;
  hand.random.seed(style.seed);
  hand.frame.scale = static_cast<double>(style.size) / kXHeightUnits;
  hand.step = StepFor(style.size);
  const Glyph space = GlyphFor(' ', glyphs);
  hand.spacewidth = static_cast<int>(std::lround((space.right - space.left) * hand.frame.scale));
  hand.penwidth = penw;
  int top = 0, bottom = 0;
  for (const Glyph& g : glyphs)
    for (const auto& stroke : g.strokes)
      for (FontPoint p : stroke) top = std::min(top, p.y), bottom = std::max(bottom, p.y);
  // The font's full height, pen included, centred on the screen.
  const double inked = (bottom - top) * hand.frame.scale + penh;
  hand.frame.top = std::round((kScreenH - inked) / 2 - top * hand.frame.scale);
  hand.cursor = std::min(kWritingX, kScreenW - Reach(hand.text.find_first_not_of(U' ')));
}

void WriteTextPass() {
  for (std::size_t i = 0; i < hand.text.size(); ++i)
    hand.variation[i] = hand.glyphline[i].strokes.empty() ? Variation() : Vary();
  for (std::size_t i = 0; i < hand.text.size();) {
    std::size_t end = i;
    while (end < hand.text.size() && !hand.glyphline[end].strokes.empty()) ++end;
    for (std::size_t from = i; from < end;) from = WriteWord(from, end);
    i = std::max(end, i + 1);
  }
}

void WriteLineOnce(const std::string& line, const std::vector<Glyph>& glyphs, int penw, int penh,
                   const HandStyle& style) {
  SetText(line, glyphs, penw, penh, style);
  WriteTextPass();
}

void RestAWhile(int stamps) {
  // t stays even, so x - t / 2 is exactly where the last point's ink has moved to.
  if (hand.text.empty()) {
    Moveto(kOffStrip, kOffStrip);
  } else {
    Moveto(x - t / 2, y);
  }
  t = 0;
  Rest(stamps);
}
