// The characters of a text: UTF-8 read strictly, the refusals named without a raw control byte,
// and every character the hand writes written with ink, its accents placed as a hand places them.
#include "letters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "font.h"
#include "lettering.h"
#include "stand.h"
#include "stroke.h"

namespace {

using LettersOnScreen = Stand;

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(Letters, TextIsStrictUtf8AndWhatIsRefusedIsNamed) {
  const std::pair<std::string, std::string> kRefused[] = {
      {"\xED\xA0\x80", "the bytes 0xED 0xA0 0x80, which are not UTF-8"},  // a surrogate
      {"a\xC0\xAF\x80", "the bytes 0xC0 0xAF, which"},  // an overlong "/", a stray byte
      {"\xE0\x80\xAF", "the bytes 0xE0 0x80 0xAF,"},
      {"\xF4\x90\x80\x80", "the bytes 0xF4 0x90 0x80 0x80,"},  // past U+10FFFF
      {"ab\xE2\x82", "the bytes 0xE2 0x82,"},                  // cut short at the end
      {"\xE2\x82z", "the bytes 0xE2 0x82,"},                   // and before a letter
      {"\x80z", "the byte 0x80, which is not UTF-8"},
      {"\xFE", "the byte 0xFE,"},
      {"Zh\xE4\xB8\xAD", "cannot write '\xE4\xB8\xAD' (U+4E2D); it writes"},
      {"\xF0\x9F\x98\x80", "'\xF0\x9F\x98\x80' (U+1F600)"},
      {"\xF4\x8F\xBF\xBF", "cannot write U+10FFFF, which prints as nothing"},
      {"\xE2\x80\xAE", "cannot write U+202E, which prints"},  // turns the line right to left
      {"a\nb", "U+000A (a line break)"},
      {"a\x1B[31m", "the control character U+001B"},
      {"\xC2\x9B", "the control character U+009B"},
      {"\xC2\xA0 \xC2\xA0", "--text has only spaces"},
      {"\xCC\x80", "U+0300, an accent on no letter"},
      {"q\xCC\x81", "U+0301, an accent on no letter"},
  };
  for (const auto& [text, why] : kRefused)
    EXPECT_TRUE(Has(TextProblem(text), why)) << text << ": " << TextProblem(text);
  EXPECT_EQ(Characters("a\xC2\xA0z"), U"a z");
  // Decomposed, as macOS pastes names: the letter and the accent that follows are one.
  const std::string decomposed = "Zoe\xCC\x88 i\xCC\x81 d\xCC\x8C S\xCC\xA6 S\xCC\xA7";
  EXPECT_EQ(TextProblem(decomposed), "");
  EXPECT_EQ(Characters(decomposed), U"Zo\u00EB \u00ED \u010F \u0218 \u015E");
}

// Each byte alone, after a letter and inside a word: a message may name it, never carry it.
TEST(Letters, NoControlByteReachesTheMessage) {
  for (int b = 0; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    for (const std::string& text : {byte, "a" + byte, "a" + byte + "b", "\xC2" + byte}) {
      const std::string why = TextProblem(text);
      if ((b < ' ' || b >= 0x7F) && text[0] != '\xC2') {
        EXPECT_NE(why, "") << b;
      }
      for (char m : why) {
        const auto u = static_cast<unsigned char>(m);
        EXPECT_FALSE(u < ' ' || (u >= 0x7F && u < 0xA0)) << "byte " << b << ": " << why;
      }
    }
  }
}

std::vector<Glyph> TheFont() {
  std::vector<Glyph> glyphs;
  EXPECT_EQ(ReadFont(kFontFile, &glyphs), "");
  return glyphs;
}

std::string Utf8(char32_t c) {
  if (c < 0x80) return std::string(1, static_cast<char>(c));
  std::string bytes;
  int lead = c < 0x800 ? 0xC0 : 0xE0;
  for (int shift = c < 0x800 ? 6 : 12; shift >= 0; shift -= 6, lead = 0x80)
    bytes += static_cast<char>(lead | ((c >> shift) & 0x3F));
  return bytes;
}

int Top(const std::vector<std::vector<FontPoint>>& strokes) {
  int top = 99;
  for (const auto& stroke : strokes)
    for (FontPoint p : stroke) top = std::min(top, p.y);
  return top;
}

int Lowest(const std::vector<std::vector<FontPoint>>& strokes) {
  int lowest = -99;
  for (const auto& stroke : strokes)
    for (FontPoint p : stroke) lowest = std::max(lowest, p.y);
  return lowest;
}

bool SameStrokes(const Glyph& a, const Glyph& b) {
  if (a.strokes.size() != b.strokes.size()) return false;
  for (std::size_t i = 0; i < a.strokes.size(); ++i) {
    if (a.strokes[i].size() != b.strokes[i].size()) return false;
    for (std::size_t k = 0; k < a.strokes[i].size(); ++k)
      if (a.strokes[i][k].x != b.strokes[i][k].x || a.strokes[i][k].y != b.strokes[i][k].y)
        return false;
  }
  return true;
}

// An accented letter is its base as the font draws it, and the accent a delayed mark: above a
// capital clear of its ink by more than the pen is wide, on i in place of the dot, and a
// cedilla under the baseline.
TEST(Letters, AnAccentedLetterIsItsBaseWithAMarkClearOfIt) {
  const std::vector<Glyph> font = TheFont();
  const Glyph e = GlyphFor('E', font), ecirc = GlyphFor(U'Ê', font);
  EXPECT_TRUE(SameStrokes(ecirc, e));
  EXPECT_EQ(ecirc.left, e.left);
  ASSERT_FALSE(ecirc.marks.empty());
  for (const auto& stroke : ecirc.marks)
    for (FontPoint p : stroke) EXPECT_TRUE(p.x > e.left && p.x < e.right) << p.x;
  EXPECT_LT(Lowest(ecirc.marks), Top(e.strokes) - 2);

  const Glyph i = GlyphFor('i', font), iacute = GlyphFor(U'í', font);
  EXPECT_EQ(iacute.strokes.size(), i.strokes.size() - 1);  // no dot under the accent
  EXPECT_TRUE(SameStrokes(iacute, GlyphFor(U'ı', font)));
  EXPECT_LT(Lowest(iacute.marks), Top(iacute.strokes) - 2);

  const Glyph cedilla = GlyphFor(U'ç', font);
  EXPECT_TRUE(SameStrokes(cedilla, GlyphFor('c', font)));
  EXPECT_GE(Top(cedilla.marks), 9);  // hangs from the baseline
}

// Every code point up to the euro is written with ink or refused: all the letters of Latin-1
// and Latin Extended-A, the four with a comma below and the pasted signs are written.
TEST(Letters, EveryCharacterWrittenHasInk) {
  const std::vector<Glyph> font = TheFont();
  int latin = 0;
  for (char32_t c = 0x21; c <= 0x20AC; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    if (TextProblem(Utf8(c)) != "") continue;
    latin += c >= 0xC0 && c <= 0x17F;
    EXPECT_FALSE(GlyphFor(c, font).strokes.empty()) << std::hex << static_cast<unsigned>(c);
    EXPECT_EQ(Characters(Utf8(c)), std::u32string(1, c));
  }
  EXPECT_EQ(latin, 0x17F - 0xC0 + 1 - 2);  // all but the signs for times and divide
  EXPECT_EQ(TextProblem("\xC8\x98\xC8\x99\xC8\x9A\xC8\x9B"), "");
  EXPECT_EQ(TextProblem("‘’“”„«»–—…¡¿€£°"), "");
}

// The accent is written: the same word with an accent leaves more ink than without.
TEST_F(LettersOnScreen, TheMarksAreWritten) {
  const std::vector<Glyph> font = TheFont();
  destroy_bitmap(ball);
  ball = load_bitmap(BALL_FILE, nullptr);
  int blank[2];
  for (int k = 0; k < 2; ++k) {
    clear_bitmap(screen);
    SetText(k == 0 ? "e" : "\xC3\xAA", font, ball->w, ball->h);  // e, then ê
    WriteTextPass();
    blank[k] = Count(screen, 0);
  }
  EXPECT_LT(blank[1], blank[0]);
}

}  // namespace
