// The UTF-8 decoder: well-formed sequences only, each code point in its shortest form.
#include "utf8.h"

namespace {

constexpr char32_t kLastCode = 0x10FFFF;
constexpr char32_t kFirstSurrogate = 0xD800;
constexpr char32_t kLastSurrogate = 0xDFFF;

}  // namespace

std::size_t Announced(unsigned char lead) {
  return lead >= 0xC0 && lead < 0xE0   ? 2
         : lead >= 0xE0 && lead < 0xF0 ? 3
         : lead >= 0xF0 && lead < 0xF8 ? 4
                                       : 1;
}

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
    if (!IsContinuation(at(i + k))) return 0;
    c = c << 6 | (at(i + k) & 0x3F);
  }
  constexpr char32_t kFewest[kLongestUtf8 + 1] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kFewest[n] || (c >= kFirstSurrogate && c <= kLastSurrogate) || c > kLastCode) return 0;
  *code = c;
  return n;
}

std::size_t CharacterStart(const std::string& text, std::size_t at) {
  std::size_t start = at;
  for (std::size_t back = 1; back < kLongestUtf8 && start > 0; ++back) {
    if (start >= text.size() || !IsContinuation(static_cast<unsigned char>(text[start]))) break;
    --start;
  }
  if (start < text.size() && IsContinuation(static_cast<unsigned char>(text[start]))) return at;
  return start;
}
