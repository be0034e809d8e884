// The characters of a text: UTF-8 read strictly, the refusals named without a raw control byte,
// and every character the hand writes written with ink, its accents placed as a hand places them.
#include "letters.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "font.h"

namespace {

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
  };
  for (const auto& [text, why] : kRefused)
    EXPECT_TRUE(Has(TextProblem(text), why)) << text << ": " << TextProblem(text);
  EXPECT_EQ(Characters("a\xC2\xA0z"), U"a z");
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

}  // namespace
