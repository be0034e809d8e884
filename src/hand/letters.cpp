// The characters the hand can write: the text read as UTF-8, strictly, each character matched to
// the glyph that writes it; anything else is refused by name, never echoing a control byte.
#include "letters.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <utility>

#include "ownglyphs.h"
#include "utf8.h"

namespace {

constexpr char32_t kNoBreakSpace = 0xA0;
constexpr const char* kCoverage =
    "it writes printable ASCII, the letters of Latin-1 and Latin Extended-A, S and T with a comma "
    "below, and the quotes, dashes, ellipsis, inverted marks, euro, pound and degree signs "
    "people paste";
constexpr char32_t kFirstCombining = 0x300, kLastCombining = 0x36F;
constexpr char32_t kMultiply = 0xD7, kDivide = 0xF7;
constexpr char32_t kDotlessI = 0x131, kDotlessJ = 0x237;  // the i and j that accents sit on
constexpr int kBaseline = 9;
constexpr int kMarkGap = 3;     // between a letter's ink and an accent above it
constexpr int kMarkMargin = 2;  // right of a mark, before the next letter's box
constexpr int kTurnMiddle = 2;  // '!' and '?' turned about it hang from the x-height
constexpr int kCapitalIJCloser = 4, kApostropheNCloser = 4;

// An accented letter: its base letter and the mark a writer adds to it. The offset moves a
// mark from where it would sit by the base's ink; a mark placed at a point is set there.
struct Accented {
  char32_t code, base;
  Mark mark;
  int dx = 0, dy = 0;
};

// clang-format off
const Accented kAccented[] = {
    {U'À', U'A', Mark::kGrave},
    {U'Á', U'A', Mark::kAcute},
    {U'Â', U'A', Mark::kCircumflex},
    {U'Ã', U'A', Mark::kTilde},
    {U'Ä', U'A', Mark::kDiaeresis},
    {U'Å', U'A', Mark::kRing},
    {U'Ç', U'C', Mark::kCedilla},
    {U'È', U'E', Mark::kGrave},
    {U'É', U'E', Mark::kAcute},
    {U'Ê', U'E', Mark::kCircumflex},
    {U'Ë', U'E', Mark::kDiaeresis},
    {U'Ì', U'I', Mark::kGrave},
    {U'Í', U'I', Mark::kAcute},
    {U'Î', U'I', Mark::kCircumflex},
    {U'Ï', U'I', Mark::kDiaeresis},
    {U'Ð', U'D', Mark::kBar, -2, -3},
    {U'Ñ', U'N', Mark::kTilde},
    {U'Ò', U'O', Mark::kGrave},
    {U'Ó', U'O', Mark::kAcute},
    {U'Ô', U'O', Mark::kCircumflex},
    {U'Õ', U'O', Mark::kTilde},
    {U'Ö', U'O', Mark::kDiaeresis},
    {U'Ø', U'O', Mark::kSlashCapitalO, 0, -1},
    {U'Ù', U'U', Mark::kGrave},
    {U'Ú', U'U', Mark::kAcute},
    {U'Û', U'U', Mark::kCircumflex},
    {U'Ü', U'U', Mark::kDiaeresis},
    {U'Ý', U'Y', Mark::kAcute},
    {U'à', U'a', Mark::kGrave},
    {U'á', U'a', Mark::kAcute},
    {U'â', U'a', Mark::kCircumflex},
    {U'ã', U'a', Mark::kTilde},
    {U'ä', U'a', Mark::kDiaeresis},
    {U'å', U'a', Mark::kRing},
    {U'ç', U'c', Mark::kCedilla},
    {U'è', U'e', Mark::kGrave},
    {U'é', U'e', Mark::kAcute},
    {U'ê', U'e', Mark::kCircumflex},
    {U'ë', U'e', Mark::kDiaeresis},
    {U'ì', kDotlessI, Mark::kGrave},
    {U'í', kDotlessI, Mark::kAcute},
    {U'î', kDotlessI, Mark::kCircumflex},
    {U'ï', kDotlessI, Mark::kDiaeresis},
    {U'ñ', U'n', Mark::kTilde},
    {U'ò', U'o', Mark::kGrave},
    {U'ó', U'o', Mark::kAcute},
    {U'ô', U'o', Mark::kCircumflex},
    {U'õ', U'o', Mark::kTilde},
    {U'ö', U'o', Mark::kDiaeresis},
    {U'ø', U'o', Mark::kSlashO, -1, 4},
    {U'ù', U'u', Mark::kGrave},
    {U'ú', U'u', Mark::kAcute},
    {U'û', U'u', Mark::kCircumflex},
    {U'ü', U'u', Mark::kDiaeresis},
    {U'ý', U'y', Mark::kAcute},
    {U'ÿ', U'y', Mark::kDiaeresis},
    {U'Ā', U'A', Mark::kMacron},
    {U'ā', U'a', Mark::kMacron},
    {U'Ă', U'A', Mark::kBreve},
    {U'ă', U'a', Mark::kBreve},
    {U'Ą', U'A', Mark::kOgonek},
    {U'ą', U'a', Mark::kOgonek},
    {U'Ć', U'C', Mark::kAcute},
    {U'ć', U'c', Mark::kAcute},
    {U'Ĉ', U'C', Mark::kCircumflex},
    {U'ĉ', U'c', Mark::kCircumflex},
    {U'Ċ', U'C', Mark::kDot},
    {U'ċ', U'c', Mark::kDot},
    {U'Č', U'C', Mark::kCaron},
    {U'č', U'c', Mark::kCaron},
    {U'Ď', U'D', Mark::kCaron},
    {U'ď', U'd', Mark::kApostrophe, 11, -11},
    {U'Đ', U'D', Mark::kBar, -2, -3},
    {U'đ', U'd', Mark::kBar, 6, -7},
    {U'Ē', U'E', Mark::kMacron},
    {U'ē', U'e', Mark::kMacron},
    {U'Ĕ', U'E', Mark::kBreve},
    {U'ĕ', U'e', Mark::kBreve},
    {U'Ė', U'E', Mark::kDot},
    {U'ė', U'e', Mark::kDot},
    {U'Ę', U'E', Mark::kOgonek},
    {U'ę', U'e', Mark::kOgonek},
    {U'Ě', U'E', Mark::kCaron},
    {U'ě', U'e', Mark::kCaron},
    {U'Ĝ', U'G', Mark::kCircumflex},
    {U'ĝ', U'g', Mark::kCircumflex},
    {U'Ğ', U'G', Mark::kBreve},
    {U'ğ', U'g', Mark::kBreve},
    {U'Ġ', U'G', Mark::kDot},
    {U'ġ', U'g', Mark::kDot},
    {U'Ģ', U'G', Mark::kCommaBelow},
    {U'ģ', U'g', Mark::kTurnedComma},
    {U'Ĥ', U'H', Mark::kCircumflex},
    {U'ĥ', U'h', Mark::kCircumflex},
    {U'Ħ', U'H', Mark::kLongBar, 3, -8},
    {U'ħ', U'h', Mark::kBar, -1, -8},
    {U'Ĩ', U'I', Mark::kTilde},
    {U'ĩ', kDotlessI, Mark::kTilde},
    {U'Ī', U'I', Mark::kMacron},
    {U'ī', kDotlessI, Mark::kMacron},
    {U'Ĭ', U'I', Mark::kBreve},
    {U'ĭ', kDotlessI, Mark::kBreve},
    {U'Į', U'I', Mark::kOgonek},
    {U'į', U'i', Mark::kOgonek},
    {U'İ', U'I', Mark::kDot},
    {U'Ĵ', U'J', Mark::kCircumflex},
    {U'ĵ', kDotlessJ, Mark::kCircumflex},
    {U'Ķ', U'K', Mark::kCommaBelow},
    {U'ķ', U'k', Mark::kCommaBelow},
    {U'Ĺ', U'L', Mark::kAcute},
    {U'ĺ', U'l', Mark::kAcute},
    {U'Ļ', U'L', Mark::kCommaBelow},
    {U'ļ', U'l', Mark::kCommaBelow},
    {U'Ľ', U'L', Mark::kApostrophe, 10, -11},
    {U'ľ', U'l', Mark::kApostrophe, 7, -11},
    {U'Ŀ', U'L', Mark::kMiddleDot, 5, -2},
    {U'ŀ', U'l', Mark::kMiddleDot, 5, -3},
    {U'Ł', U'L', Mark::kSlash, 1, -3},
    {U'ł', U'l', Mark::kSlash, -1, -3},
    {U'Ń', U'N', Mark::kAcute},
    {U'ń', U'n', Mark::kAcute},
    {U'Ņ', U'N', Mark::kCommaBelow},
    {U'ņ', U'n', Mark::kCommaBelow},
    {U'Ň', U'N', Mark::kCaron},
    {U'ň', U'n', Mark::kCaron},
    {U'Ō', U'O', Mark::kMacron},
    {U'ō', U'o', Mark::kMacron},
    {U'Ŏ', U'O', Mark::kBreve},
    {U'ŏ', U'o', Mark::kBreve},
    {U'Ő', U'O', Mark::kDoubleAcute},
    {U'ő', U'o', Mark::kDoubleAcute},
    {U'Ŕ', U'R', Mark::kAcute},
    {U'ŕ', U'r', Mark::kAcute},
    {U'Ŗ', U'R', Mark::kCommaBelow},
    {U'ŗ', U'r', Mark::kCommaBelow},
    {U'Ř', U'R', Mark::kCaron},
    {U'ř', U'r', Mark::kCaron},
    {U'Ś', U'S', Mark::kAcute},
    {U'ś', U's', Mark::kAcute},
    {U'Ŝ', U'S', Mark::kCircumflex},
    {U'ŝ', U's', Mark::kCircumflex},
    {U'Ş', U'S', Mark::kCedilla},
    {U'ş', U's', Mark::kCedilla},
    {U'Š', U'S', Mark::kCaron},
    {U'š', U's', Mark::kCaron},
    {U'Ţ', U'T', Mark::kCedilla},
    {U'ţ', U't', Mark::kCedilla},
    {U'Ť', U'T', Mark::kCaron},
    {U'ť', U't', Mark::kApostrophe, 7, -11},
    {U'Ŧ', U'T', Mark::kBar, 4, -3},
    {U'ŧ', U't', Mark::kBar, 0, 0},
    {U'Ũ', U'U', Mark::kTilde},
    {U'ũ', U'u', Mark::kTilde},
    {U'Ū', U'U', Mark::kMacron},
    {U'ū', U'u', Mark::kMacron},
    {U'Ŭ', U'U', Mark::kBreve},
    {U'ŭ', U'u', Mark::kBreve},
    {U'Ů', U'U', Mark::kRing},
    {U'ů', U'u', Mark::kRing},
    {U'Ű', U'U', Mark::kDoubleAcute},
    {U'ű', U'u', Mark::kDoubleAcute},
    {U'Ų', U'U', Mark::kOgonek},
    {U'ų', U'u', Mark::kOgonek},
    {U'Ŵ', U'W', Mark::kCircumflex},
    {U'ŵ', U'w', Mark::kCircumflex},
    {U'Ŷ', U'Y', Mark::kCircumflex},
    {U'ŷ', U'y', Mark::kCircumflex},
    {U'Ÿ', U'Y', Mark::kDiaeresis},
    {U'Ź', U'Z', Mark::kAcute},
    {U'ź', U'z', Mark::kAcute},
    {U'Ż', U'Z', Mark::kDot},
    {U'ż', U'z', Mark::kDot},
    {U'Ž', U'Z', Mark::kCaron},
    {U'ž', U'z', Mark::kCaron},
    {U'Ș', U'S', Mark::kCommaBelow},
    {U'ș', U's', Mark::kCommaBelow},
    {U'Ț', U'T', Mark::kCommaBelow},
    {U'ț', U't', Mark::kCommaBelow},
};
// clang-format on

// The accents that follow their letter in decomposed text, as macOS writes names.
constexpr std::pair<char32_t, Mark> kCombining[] = {
    {0x300, Mark::kGrave},       {0x301, Mark::kAcute},     {0x302, Mark::kCircumflex},
    {0x303, Mark::kTilde},       {0x304, Mark::kMacron},    {0x306, Mark::kBreve},
    {0x307, Mark::kDot},         {0x308, Mark::kDiaeresis}, {0x30A, Mark::kRing},
    {0x30B, Mark::kDoubleAcute}, {0x30C, Mark::kCaron},     {0x326, Mark::kCommaBelow},
    {0x327, Mark::kCedilla},     {0x328, Mark::kOgonek},
};

// Whether a letter's mark is the accent, or the form that accent takes on this letter: the
// caron of ď written as an apostrophe, the cedilla of ķ and ģ as a comma.
bool Writes(Mark mark, Mark accent, bool exactly) {
  if (mark == accent) return true;
  if (exactly) return false;
  return (accent == Mark::kCaron && mark == Mark::kApostrophe) ||
         (accent == Mark::kCedilla && (mark == Mark::kCommaBelow || mark == Mark::kTurnedComma));
}

// The accented letter that base followed by a combining accent makes, or 0.
char32_t Composed(char32_t base, char32_t accent) {
  const auto combining =
      std::find_if(std::begin(kCombining), std::end(kCombining),
                   [accent](const std::pair<char32_t, Mark>& m) { return m.first == accent; });
  if (combining == std::end(kCombining)) return 0;
  const char32_t dotless = base == 'i' ? kDotlessI : base == 'j' ? kDotlessJ : base;
  for (bool exactly : {true, false})
    for (const Accented& a : kAccented)
      if ((a.base == base || a.base == dotless) && Writes(a.mark, combining->second, exactly))
        return a.code;
  return 0;
}

// The character at text[i] and the bytes it takes, as Decode, a letter and a combining accent
// that follows it read as the accented letter they make.
std::size_t Next(const std::string& text, std::size_t i, char32_t* code) {
  const std::size_t n = Decode(text, i, code);
  char32_t accent = 0;
  if (n == 0 || i + n >= text.size()) return n;
  const std::size_t more = Decode(text, i + n, &accent);
  const char32_t both = more > 0 ? Composed(*code, accent) : 0;
  if (both == 0) return n;
  *code = both;
  return n + more;
}

// The bytes at text[i] that fail to be UTF-8: the lead and the continuation bytes it gathers.
std::string BadBytes(const std::string& text, std::size_t i) {
  const std::size_t n = Announced(static_cast<unsigned char>(text[i]));
  std::string named = "the byte";
  std::size_t k = i;
  do {
    char hex[8];
    std::snprintf(hex, sizeof hex, " 0x%02X", static_cast<unsigned char>(text[k]));
    named += hex;
    ++k;
  } while (k < i + n && k < text.size() && IsContinuation(static_cast<unsigned char>(text[k])));
  if (k - i > 1) named.insert(8, "s");
  return named + (k - i > 1 ? ", which are not UTF-8" : ", which is not UTF-8");
}

bool Control(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

// Whether a terminal shows c as a mark of its own: not a control, a line or paragraph separator,
// a direction or other format control, a private or non-character, all of which may reorder or
// hide the rest of the line.
bool Shown(char32_t c) {
  if (Control(c) || c == 0xAD || c == 0xFEFF || c >= 0xE0000) return false;
  if ((c >= 0x200B && c <= 0x200F) || (c >= 0x2028 && c <= 0x202E) || (c >= 0x2060 && c <= 0x206F))
    return false;
  if (c >= 0xE000 && c <= 0xF8FF) return false;
  if ((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE || (c >= 0xFFF9 && c <= 0xFFFB))
    return false;
  return true;
}

// Names the character c, encoded as bytes, which the hand cannot write.
std::string Describe(char32_t c, const std::string& bytes) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
  if (c == '\t') return std::string(code) + " (a tab)";
  if (c == '\n') return std::string(code) + " (a line break)";
  if (Control(c)) return "the control character " + std::string(code);
  if (c >= kFirstCombining && c <= kLastCombining)
    return std::string(code) + ", an accent on no letter it has with that accent";
  if (!Shown(c)) return std::string(code) + ", which prints as nothing";
  return "'" + bytes + "' (" + code + ")";
}

Glyph FontGlyph(char c, const std::vector<Glyph>& font) {
  return font[static_cast<std::size_t>(c - kFirstGlyph)];
}

Glyph Dotless(Glyph g) {
  g.strokes.erase(std::remove_if(g.strokes.begin(), g.strokes.end(), IsDot), g.strokes.end());
  return g;
}

Strokes Moved(const Strokes& strokes, int dx, int dy) {
  Strokes moved = strokes;
  for (auto& stroke : moved)
    for (FontPoint& p : stroke) p = {p.x + dx, p.y + dy};
  return moved;
}

// Two glyphs made one, the second drawn closer into the first by so many units.
Glyph Pair(const Glyph& a, const Glyph& b, int closer) {
  const int dx = a.right - b.left - closer;
  Glyph both = a;
  both.right = b.right + dx;
  for (const auto& stroke : Moved(b.strokes, dx, 0)) both.strokes.push_back(stroke);
  for (const auto& stroke : Moved(b.marks, dx, 0)) both.marks.push_back(stroke);
  return both;
}

// Turned half a turn within its box, and about y = middle: '!' into '¡'.
Glyph Turned(Glyph g, int middle) {
  for (auto& stroke : g.strokes)
    for (FontPoint& p : stroke) p = {g.left + g.right - p.x, 2 * middle - p.y};
  return g;
}

// The middle of the x that the ink reaches at the given heights.
int MiddleOfInk(const Glyph& g, int from, int to) {
  int least = 1 << 20, most = -(1 << 20);
  for (const auto& stroke : g.strokes)
    for (FontPoint p : stroke)
      if (p.y >= from && p.y <= to) least = std::min(least, p.x), most = std::max(most, p.x);
  return least <= most ? (least + most) / 2 : (g.left + g.right) / 2;
}

int RightOfFoot(const Glyph& g) {
  int most = g.left;
  for (const auto& stroke : g.strokes)
    for (FontPoint p : stroke)
      if (p.y >= kBaseline - 1 && p.y <= kBaseline) most = std::max(most, p.x);
  return most;
}

int InkTop(const Strokes& strokes) {
  int top = 1 << 20;
  for (const auto& stroke : strokes)
    for (FontPoint p : stroke) top = std::min(top, p.y);
  return top;
}

// The letter with its mark: above the ink's top, clear of it; below on the baseline; hanging
// from the foot; or where the letter asks. The box grows to hold a mark that sticks out right.
Glyph WithMark(Glyph g, const Accented& a) {
  const MarkShape shape = ShapeOf(a.mark);
  FontPoint at{a.dx, a.dy};
  if (shape.place == Place::kAbove) {
    const int top = InkTop(g.strokes);
    at = {MiddleOfInk(g, top, top + 1) + a.dx, top - kMarkGap + a.dy};
  } else if (shape.place == Place::kBelow) {
    at = {MiddleOfInk(g, kBaseline - 1, kBaseline) + a.dx, kBaseline + a.dy};
  } else if (shape.place == Place::kOgonek) {
    at = {RightOfFoot(g) + a.dx, kBaseline + a.dy};
  }
  for (const auto& stroke : Moved(shape.strokes, at.x, at.y)) {
    g.marks.push_back(stroke);
    for (FontPoint p : stroke) g.right = std::max(g.right, p.x + kMarkMargin);
  }
  return g;
}

// The kra: the stem of an n, the arm and leg of a k.
Glyph Kra(const std::vector<Glyph>& font) {
  const Glyph n = FontGlyph('n', font);
  Glyph kra = FontGlyph('k', font);
  kra.left = n.left;
  kra.strokes.front() = n.strokes.front();
  return kra;
}

}  // namespace

bool Covered(char32_t c) {
  const bool latin1 = c >= 0xC0 && c <= 0xFF && c != kMultiply && c != kDivide;
  const bool extended = (c >= 0x100 && c <= 0x17F) || (c >= 0x218 && c <= 0x21B);
  return (c >= ' ' && c <= '~') || c == kNoBreakSpace || latin1 || extended || HasOwnGlyph(c) ||
         c == U'¡' || c == U'¿';
}

std::string TextProblem(const std::string& words) {
  if (words.empty()) return "--text needs something to write";
  bool inked = false;
  for (std::size_t i = 0; i < words.size();) {
    char32_t c = 0;
    const std::size_t n = Next(words, i, &c);
    if (n == 0) return "--text cannot write " + BadBytes(words, i);
    if (!Covered(c))
      return "--text cannot write " + Describe(c, words.substr(i, n)) + "; " + kCoverage;
    inked = inked || (c != ' ' && c != kNoBreakSpace);
    i += n;
  }
  if (!inked) return "--text has only spaces; give it something to write";
  return "";
}

std::u32string Characters(const std::string& text) {
  std::u32string characters;
  for (std::size_t i = 0; i < text.size();) {
    char32_t c = 0;
    const std::size_t n = Next(text, i, &c);
    i += n > 0 ? n : 1;
    characters += c == kNoBreakSpace ? U' ' : c;
  }
  return characters;
}

Glyph GlyphFor(char32_t c, const std::vector<Glyph>& font) {
  if (c == kNoBreakSpace) c = ' ';
  if (c < 0x80) return FontGlyph(static_cast<char>(c), font);
  if (HasOwnGlyph(c)) return OwnGlyph(c);
  switch (c) {
    case U'¡':
      return Turned(FontGlyph('!', font), kTurnMiddle);
    case U'¿':
      return Turned(FontGlyph('?', font), kTurnMiddle);
    case kDotlessI:
      return Dotless(FontGlyph('i', font));
    case kDotlessJ:
      return Dotless(FontGlyph('j', font));
    case U'ĳ':
      return Pair(FontGlyph('i', font), FontGlyph('j', font), 0);
    case U'Ĳ':
      return Pair(FontGlyph('I', font), FontGlyph('J', font), kCapitalIJCloser);
    case U'ŉ':
      return Pair(OwnGlyph(U'’'), FontGlyph('n', font), kApostropheNCloser);
    case U'ĸ':
      return Kra(font);
  }
  for (const Accented& a : kAccented)
    if (a.code == c) return WithMark(GlyphFor(a.base, font), a);
  return {};
}
