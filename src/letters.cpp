// The characters the hand can write: the text read as UTF-8, strictly, each character matched to
// the glyph that writes it; anything else is refused by name, never echoing a control byte.
#include "letters.h"

#include <cstdio>

namespace {

constexpr char32_t kNoBreakSpace = 0xA0;
constexpr char32_t kLastCode = 0x10FFFF;
constexpr const char* kCoverage = "it writes the printable ASCII characters, from space to '~'";

// The length a lead byte announces: 2 to 4, or 1 for a byte no sequence begins with (ASCII, a
// continuation byte, 0xF8 and above). 0xC0, 0xC1 and 0xF5 to 0xF7 announce sequences that can
// only be overlong or out of range, so the bytes they gather are named together.
std::size_t Announced(unsigned char lead) {
  return lead >= 0xC0 && lead < 0xE0   ? 2
         : lead >= 0xE0 && lead < 0xF0 ? 3
         : lead >= 0xF0 && lead < 0xF8 ? 4
                                       : 1;
}

bool Continuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// The character encoded at text[i] and the bytes it takes, or 0 bytes when they are not UTF-8:
// a stray continuation byte, a sequence cut short, an overlong form, a surrogate or a code
// beyond U+10FFFF.
std::size_t Decode(const std::string& text, std::size_t i, char32_t* code) {
  const auto at = [&text](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = at(i);
  if (lead < 0x80) {
    *code = lead;
    return 1;
  }
  const std::size_t n = Announced(lead);
  if (n == 1 || i + n > text.size()) return 0;
  char32_t c = lead & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    if (!Continuation(at(i + k))) return 0;
    c = c << 6 | (at(i + k) & 0x3F);
  }
  constexpr char32_t kFewest[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kFewest[n] || (c >= 0xD800 && c <= 0xDFFF) || c > kLastCode) return 0;
  *code = c;
  return n;
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
  } while (k < i + n && k < text.size() && Continuation(static_cast<unsigned char>(text[k])));
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
  if (!Shown(c)) return std::string(code) + ", which prints as nothing";
  return "'" + bytes + "' (" + code + ")";
}

}  // namespace

bool Covered(char32_t c) { return (c >= ' ' && c <= '~') || c == kNoBreakSpace; }

std::string TextProblem(const std::string& words) {
  if (words.empty()) return "--text needs something to write";
  bool inked = false;
  for (std::size_t i = 0; i < words.size();) {
    char32_t c = 0;
    const std::size_t n = Decode(words, i, &c);
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
    const std::size_t n = Decode(text, i, &c);
    i += n > 0 ? n : 1;
    characters += c == kNoBreakSpace ? U' ' : c;
  }
  return characters;
}

Glyph GlyphFor(char32_t c, const std::vector<Glyph>& font) {
  if (c == kNoBreakSpace) c = ' ';
  return font[static_cast<std::size_t>(c) - kFirstGlyph];
}
