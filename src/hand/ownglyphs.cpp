// The marks and glyphs we add to the handwriting font, as tables in font units drawn to match
// Script Simplex: single strokes slanting a little right, lower case 9 units tall on the
// baseline y = 9, capitals and ascenders reaching y = -12, descenders y = 21.
#include "ownglyphs.h"

#include <climits>
#include <cstddef>

namespace {

// The tables are constant data, so that nothing is built before the program starts and runs out
// of memory where it cannot say so; a shape is made from its entry when it is asked for.
constexpr int kNoPoint = INT_MIN;

// A point of an entry, or the pen lifted between two strokes; the entry's points past its last
// are unused.
struct TablePoint {
  int x = kNoPoint, y = kNoPoint;
};
constexpr TablePoint kLift{kNoPoint, 0};

constexpr int kMostMarkPoints = 11;   // the diaeresis: two dots and the lift between them
constexpr int kMostGlyphPoints = 43;  // Œ: its two strokes and the lift
constexpr int kMostGlyphMarkPoints = 2;

struct MarkEntry {
  Mark mark;
  Place place;
  TablePoint points[kMostMarkPoints];
};

struct OwnEntry {
  char32_t code;
  int left, right;
  TablePoint strokes[kMostGlyphPoints];
  TablePoint marks[kMostGlyphMarkPoints] = {};
};

// clang-format off
constexpr MarkEntry kMarks[] = {
    {Mark::kAcute, Place::kAbove, {{2, -3}, {-1, 0}}},
    {Mark::kGrave, Place::kAbove, {{-2, -3}, {1, 0}}},
    {Mark::kCircumflex, Place::kAbove, {{-2, 0}, {0, -3}, {2, 0}}},
    {Mark::kCaron, Place::kAbove, {{-2, -3}, {0, 0}, {2, -3}}},
    {Mark::kDiaeresis, Place::kAbove, {{-3, -1}, {-3, 0}, {-2, 0}, {-2, -1}, {-3, -1}, kLift,
                                       {2, -1}, {2, 0}, {3, 0}, {3, -1}, {2, -1}}},
    {Mark::kTilde, Place::kAbove, {{-3, -1}, {-2, -2}, {-1, -2}, {1, -1}, {2, -1}, {3, -2}}},
    {Mark::kRing, Place::kAbove, {{0, 0}, {-1, -1}, {-1, -2}, {0, -3}, {1, -3}, {2, -2}, {2, -1},
                                  {1, 0}, {0, 0}}},
    {Mark::kBreve, Place::kAbove, {{-3, -3}, {-2, -1}, {0, 0}, {2, -1}, {3, -3}}},
    {Mark::kMacron, Place::kAbove, {{-3, -1}, {3, -1}}},
    {Mark::kDoubleAcute, Place::kAbove, {{0, -3}, {-2, 0}, kLift, {4, -3}, {2, 0}}},
    {Mark::kDot, Place::kAbove, {{0, -1}, {0, 0}, {1, 0}, {1, -1}, {0, -1}}},
    {Mark::kTurnedComma, Place::kAbove, {{1, -4}, {-1, -2}, {-1, -1}, {0, 0}, {1, -1}, {0, -2},
                                         {-1, -2}}},
    {Mark::kCedilla, Place::kBelow, {{0, 0}, {-1, 2}, {1, 3}, {1, 5}, {-1, 6}, {-3, 6}}},
    {Mark::kCommaBelow, Place::kBelow, {{0, 4}, {-1, 3}, {0, 2}, {1, 3}, {1, 4}, {0, 6}, {-2, 8}}},
    {Mark::kOgonek, Place::kOgonek, {{0, 0}, {-2, 2}, {-3, 4}, {-2, 6}, {0, 6}, {1, 5}}},
    {Mark::kApostrophe, Place::kAt, {{0, -1}, {-1, -2}, {0, -3}, {1, -2}, {1, -1}, {0, 1},
                                     {-2, 3}}},
    {Mark::kMiddleDot, Place::kAt, {{0, -1}, {-1, 0}, {0, 1}, {1, 0}, {0, -1}}},
    {Mark::kBar, Place::kAt, {{-4, 0}, {4, 0}}},
    {Mark::kLongBar, Place::kAt, {{-8, 0}, {8, 0}}},
    {Mark::kSlash, Place::kAt, {{-3, 2}, {3, -2}}},
    {Mark::kSlashO, Place::kAt, {{-6, 6}, {6, -6}}},
    {Mark::kSlashCapitalO, Place::kAt, {{-8, 10}, {9, -12}}},
};

// The letters and signs the font lacks. ß, æ, œ, þ, µ and the capitals are in the manner of the
// font's b, a, e, o, p, u and A, E, O, P; the quotes and dots take the font's own comma and dot.
constexpr OwnEntry kOwn[] = {
    {U'ß', -5, 11, {{-4, 13}, {-3, 9}, {-1, 1}, {1, -6}, {2, -9}, {4, -11}, {6, -12}, {8, -11},
                    {9, -9}, {8, -7}, {5, -6}, {8, -5}, {9, -3}, {9, 1}, {8, 5}, {6, 8}, {3, 9},
                    {1, 8}}},
    {U'æ', -6, 12, {{3, 3}, {2, 1}, {0, 0}, {-2, 0}, {-4, 1}, {-5, 2}, {-6, 4}, {-6, 6}, {-5, 8},
                    {-3, 9}, {-1, 9}, {1, 8}, {2, 6}, {4, 0}, {3, 5}, {3, 7}, {5, 6}, {6, 5},
                    {7, 3}, {7, 1}, {6, 0}, {5, 0}, {3, 2}, {3, 4}, {3, 7}, {4, 8}, {6, 9}, {8, 9},
                    {10, 7}, {12, 4}}},
    {U'Æ', -11, 18, {{-11, 9}, {-9, 8}, {-6, 5}, {-3, 1}, {1, -6}, {4, -12}, kLift, {12, -8},
                     {12, -7}, {13, -6}, {15, -6}, {16, -7}, {16, -9}, {15, -11}, {12, -12},
                     {8, -12}, {5, -11}, {4, -9}, {4, -6}, {5, -4}, {6, -3}, {9, -2}, {6, -2},
                     {3, -1}, {2, 0}, {1, 2}, {1, 5}, {2, 7}, {3, 8}, {6, 9}, {9, 9}, {12, 8},
                     {14, 6}, {15, 4}, kLift, {-5, 2}, {1, 2}}},
    {U'œ', -6, 13, {{0, 0}, {-2, 0}, {-4, 1}, {-5, 2}, {-6, 4}, {-6, 6}, {-5, 8}, {-3, 9}, {-1, 9},
                    {1, 8}, {2, 7}, {3, 5}, {3, 3}, {2, 1}, {0, 0}, kLift, {3, 5}, {5, 5}, {6, 4},
                    {7, 2}, {7, 1}, {6, 0}, {5, 0}, {3, 2}, {3, 4}, {3, 7}, {4, 8}, {6, 9}, {8, 9},
                    {11, 7}, {13, 4}}},
    {U'Œ', -10, 19, {{6, -12}, {2, -12}, {-1, -11}, {-3, -9}, {-5, -6}, {-6, -4}, {-7, 0}, {-7, 4},
                     {-6, 7}, {-5, 8}, {-3, 9}, {-1, 9}, {2, 8}, {4, 6}, {5, 4}, kLift, {13, -8},
                     {13, -7}, {14, -6}, {16, -6}, {17, -7}, {17, -9}, {16, -11}, {13, -12},
                     {9, -12}, {6, -11}, {5, -9}, {5, -6}, {6, -4}, {7, -3}, {10, -2}, {7, -2},
                     {4, -1}, {3, 0}, {2, 2}, {2, 5}, {3, 7}, {4, 8}, {7, 9}, {10, 9}, {13, 8},
                     {15, 6}, {16, 4}}},
    {U'ð', -6, 8, {{3, 3}, {2, 1}, {0, 0}, {-2, 0}, {-4, 1}, {-5, 2}, {-6, 4}, {-6, 6}, {-5, 8},
                   {-3, 9}, {-1, 9}, {1, 8}, {3, 5}, {4, 1}, {4, -3}, {3, -7}, {1, -10}, {-2, -12}},
                  {{-1, -6}, {5, -10}}},
    {U'þ', -7, 8, {{-7, 4}, {-5, 1}, {-2, -4}, {-1, -6}, {0, -9}, {0, -11}, {-1, -12}, {-3, -11},
                   {-4, -9}, {-5, -4}, {-11, 21}, kLift, {-5, 3}, {-4, 1}, {-2, 0}, {0, 0}, {2, 1},
                   {3, 3}, {3, 5}, {2, 7}, {1, 8}, {-1, 9}, kLift, {-5, 8}, {-3, 9}, {0, 9},
                   {3, 8}, {5, 7}, {8, 4}}},
    {U'Þ', -9, 13, {{2, -12}, {1, -8}, {-1, 0}, {-3, 9}, kLift, {1, -7}, {4, -8}, {7, -8}, {9, -7},
                    {10, -5}, {9, -2}, {7, -1}, {4, -1}, {0, -2}}},
    {U'ª', -5, 7, {{3, -10}, {2, -12}, {0, -12}, {-1, -11}, {-2, -9}, {-1, -7}, {1, -7}, {2, -9},
                   {3, -12}, {2, -8}, {3, -7}, {5, -8}, kLift, {-3, -4}, {5, -4}}},
    {U'º', -5, 6, {{1, -12}, {-1, -11}, {-2, -9}, {-1, -7}, {1, -7}, {2, -8}, {3, -10}, {2, -12},
                   {1, -12}, kLift, {-3, -4}, {4, -4}}},
    {U'µ', -6, 9, {{-6, 4}, {-4, 0}, {-6, 6}, {-6, 8}, {-5, 9}, {-3, 9}, {-1, 8}, {1, 6}, {3, 3},
                   kLift, {4, 0}, {2, 6}, {2, 8}, {3, 9}, {4, 9}, {6, 8}, {7, 7}, {9, 4}, kLift,
                   {-4, 0}, {-6, 6}, {-9, 16}}},
    {U'ŋ', -8, 10, {{-8, 4}, {-6, 1}, {-4, 0}, {-3, 1}, {-3, 2}, {-4, 6}, {-5, 9}, kLift, {-4, 6},
                    {-3, 4}, {-1, 1}, {1, 0}, {3, 0}, {4, 1}, {4, 3}, {3, 8}, {2, 13}, {0, 17},
                    {-2, 18}, {-4, 17}, kLift, {3, 9}, {6, 8}, {8, 7}, {10, 4}}},
    {U'Ŋ', -13, 11, {{-8, -5}, {-10, -6}, {-11, -8}, {-11, -9}, {-10, -11}, {-8, -12}, {-7, -12},
                     {-5, -11}, {-4, -9}, {-4, -7}, {-5, -2}, {-6, 2}, {-8, 9}, kLift, {-6, 2},
                     {-3, -6}, {-1, -10}, {0, -11}, {2, -12}, {4, -12}, {6, -11}, {7, -9}, {7, -7},
                     {6, -2}, {4, 5}, {3, 9}, {1, 13}, {-1, 15}, {-3, 15}, {-4, 14}}},
    {U'ſ', -3, 5, {{-3, 4}, {1, -1}, {3, -4}, {4, -6}, {5, -9}, {5, -11}, {4, -12}, {2, -11},
                   {1, -9}, {-1, -1}, {-3, 6}, {-5, 13}, {-6, 15}}},
    {U'‘', -5, 6, {{2, -8}, {3, -7}, {2, -6}, {1, -7}, {1, -8}, {2, -10}, {4, -12}}},
    {U'’', -5, 6, {{3, -10}, {2, -11}, {3, -12}, {4, -11}, {4, -10}, {3, -8}, {1, -6}}},
    {U'“', -6, 9, {{0, -8}, {1, -7}, {0, -6}, {-1, -7}, {-1, -8}, {0, -10}, {2, -12}, kLift,
                   {5, -8}, {6, -7}, {5, -6}, {4, -7}, {4, -8}, {5, -10}, {7, -12}}},
    {U'”', -6, 9, {{1, -10}, {0, -11}, {1, -12}, {2, -11}, {2, -10}, {1, -8}, {-1, -6}, kLift,
                   {6, -10}, {5, -11}, {6, -12}, {7, -11}, {7, -10}, {6, -8}, {4, -6}}},
    {U'‚', -5, 6, {{-2, 9}, {-3, 8}, {-2, 7}, {-1, 8}, {-1, 9}, {-2, 11}, {-4, 13}}},
    {U'„', -6, 9, {{-2, 9}, {-3, 8}, {-2, 7}, {-1, 8}, {-1, 9}, {-2, 11}, {-4, 13}, kLift, {3, 9},
                   {2, 8}, {3, 7}, {4, 8}, {4, 9}, {3, 11}, {1, 13}}},
    {U'«', -6, 7, {{0, 1}, {-4, 4}, {-1, 7}, kLift, {4, 1}, {0, 4}, {3, 7}}},
    {U'»', -6, 7, {{-3, 1}, {0, 4}, {-4, 7}, kLift, {1, 1}, {4, 4}, {0, 7}}},
    {U'–', -12, 12, {{-10, 0}, {10, 0}}},
    {U'—', -17, 17, {{-15, 0}, {15, 0}}},
    {U'…', -10, 10, {{-5, 7}, {-6, 8}, {-5, 9}, {-4, 8}, {-5, 7}, kLift, {0, 7}, {-1, 8}, {0, 9},
                     {1, 8}, {0, 7}, kLift, {5, 7}, {4, 8}, {5, 9}, {6, 8}, {5, 7}}},
    {U'€', -11, 10, {{8, -9}, {6, -11}, {3, -12}, {0, -11}, {-3, -8}, {-5, -4}, {-6, 0}, {-6, 4},
                     {-5, 7}, {-3, 9}, {0, 9}, {3, 8}, {5, 6}, kLift, {-9, -3}, {4, -3}, kLift,
                     {-10, 1}, {3, 1}}},
    {U'£', -11, 10, {{7, -8}, {7, -10}, {5, -12}, {2, -12}, {0, -10}, {-1, -6}, {-2, 0}, {-3, 5},
                     {-5, 8}, {-7, 9}, {-9, 8}, {-8, 6}, {-5, 6}, {-1, 8}, {2, 9}, {5, 9}, {7, 7},
                     kLift, {-6, -2}, {3, -2}}},
    {U'°', -5, 6, {{1, -12}, {-1, -11}, {-1, -9}, {1, -8}, {3, -9}, {3, -11}, {1, -12}}},
};
// clang-format on

template <std::size_t N>
Strokes StrokesOf(const TablePoint (&points)[N]) {
  Strokes strokes;
  bool lifted = true;
  for (const TablePoint& p : points) {
    if (p.x == kNoPoint && p.y == kNoPoint) break;
    if (p.x == kNoPoint) {
      lifted = true;
      continue;
    }
    if (lifted) strokes.emplace_back();
    lifted = false;
    strokes.back().push_back({p.x, p.y});
  }
  return strokes;
}

const OwnEntry* OwnEntryFor(char32_t c) {
  for (const OwnEntry& entry : kOwn)
    if (entry.code == c) return &entry;
  return nullptr;
}

}  // namespace

MarkShape ShapeOf(Mark mark) {
  for (const MarkEntry& entry : kMarks)
    if (entry.mark == mark) return {entry.place, StrokesOf(entry.points)};
  return {kMarks[0].place, StrokesOf(kMarks[0].points)};
}

bool HasOwnGlyph(char32_t c) { return OwnEntryFor(c) != nullptr; }

Glyph OwnGlyph(char32_t c) {
  const OwnEntry* entry = OwnEntryFor(c);
  if (!entry) return {};
  return {entry->left, entry->right, StrokesOf(entry->strokes), StrokesOf(entry->marks)};
}
