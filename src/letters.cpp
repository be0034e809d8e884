// The characters the hand can write: printable ASCII, each the font's own glyph; anything else
// is refused by name.
#include "letters.h"

#include <cstdio>

namespace {

// The length of the UTF-8 sequence that starts at text[i] and its code point, or 0.
std::size_t Utf8At(const std::string& words, std::size_t i, unsigned* code) {
  const unsigned char lead = static_cast<unsigned char>(words[i]);
  const std::size_t n = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (n == 0 || i + n > words.size() || lead >= 0xF5) return 0;
  *code = lead & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    const unsigned char next = static_cast<unsigned char>(words[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    *code = *code << 6 | (next & 0x3F);
  }
  return n;
}

// Names the character at words[i], which the font does not have.
std::string Describe(const std::string& words, std::size_t i) {
  const unsigned char c = static_cast<unsigned char>(words[i]);
  char what[80];
  unsigned code = 0;
  if (c == '\t') return "a tab";
  if (c == '\n') return "a line break";
  if (c < ' ' || c == 0x7F) {
    std::snprintf(what, sizeof what, "the control character 0x%02X", c);
  } else if (const std::size_t n = Utf8At(words, i, &code); n > 0) {
    std::snprintf(what, sizeof what, "'%s' (U+%04X)", words.substr(i, n).c_str(), code);
  } else {
    std::snprintf(what, sizeof what, "the byte 0x%02X, which is not ASCII", c);
  }
  return what;
}

}  // namespace

std::string TextProblem(const std::string& words) {
  if (words.empty()) return "--text needs something to write";
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (InFont(words[i])) continue;
    return "--text cannot write " + Describe(words, i) +
           "; it writes the printable ASCII characters, from space to '~'";
  }
  if (words.find_first_not_of(' ') == std::string::npos)
    return "--text has only spaces; give it something to write";
  return "";
}

std::u32string Characters(const std::string& text) {
  std::u32string characters;
  for (char c : text) characters += static_cast<char32_t>(static_cast<unsigned char>(c));
  return characters;
}

Glyph GlyphFor(char32_t c, const std::vector<Glyph>& font) {
  return font[static_cast<std::size_t>(c) - kFirstGlyph];
}
