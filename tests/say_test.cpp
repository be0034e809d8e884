// Names quoted for a message: whatever bytes a name holds, it shows on one line and sends the
// terminal nothing but printable characters, while printable UTF-8 stays as it is.
#include "say.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Quoted, ShowsControlsAndBadBytesEscapedAndKeepsPrintableText) {
  const struct {
    std::string name, shown;
  } kNames[] = {
      {"dump.bmp", "'dump.bmp'"},
      {"two\nlines\r", "'two\\nlines\\r'"},
      {"a\tb\\c", "'a\\tb\\\\c'"},
      {"\x1b[31mred\x7f", "'\\x1b[31mred\\x7f'"},
      {std::string("nul\0end", 7), "'nul\\x00end'"},
      {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x96\x8b", "'caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x96\x8b'"},
      {"c1\xc2\x85", "'c1\\xc2\\x85'"},       // NEL, a control in UTF-8
      {"nbsp\xc2\xa0", "'nbsp\xc2\xa0'"},     // the first printable past the C1 range
      {"\xff\xc0\xaf", "'\\xff\\xc0\\xaf'"},  // never UTF-8; an overlong '/'
      {"\xed\xa0\x80", "'\\xed\\xa0\\x80'"},  // a surrogate
      {"cut\xe2\x82", "'cut\\xe2\\x82'"},     // a sequence that ends too soon
      {"\xc3\nnext", "'\\xc3\\nnext'"},       // nor may a lead byte take the line break with it
      {"\xf4\x90\x80\x80", "'\\xf4\\x90\\x80\\x80'"}  // past U+10FFFF
  };
  for (const auto& n : kNames) EXPECT_EQ(Quoted(n.name), n.shown);
}

}  // namespace
