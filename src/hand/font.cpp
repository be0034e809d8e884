// The handwriting font: reads the Hershey .jhf format into glyphs of strokes in font units.
#include "font.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "readfile.h"

namespace {

constexpr std::size_t kMostFontBytes = 1 << 20;  // the real file is about 6 KB
constexpr int kGlyphs = kLastGlyph - kFirstGlyph + 1;
constexpr char kOrigin = 'R';  // the character that stands for coordinate 0
constexpr std::size_t kNumberColumns = 5, kCountColumns = 3;

bool Printable(char c) { return c >= ' ' && c <= '~'; }

std::string RecordProblem(int record, const char* what) {
  char text[120];
  std::snprintf(text, sizeof text, "glyph record %d %s", record, what);
  return text;
}

// The pairs after the box: coordinates, or " R" to lift the pen.
void ReadStrokes(const std::string& pairs, Glyph* glyph) {
  std::vector<FontPoint> stroke;
  for (std::size_t i = 0; i + 1 < pairs.size(); i += 2) {
    if (pairs[i] == ' ' && pairs[i + 1] == kOrigin) {
      if (!stroke.empty()) glyph->strokes.push_back(stroke);
      stroke.clear();
      continue;
    }
    stroke.push_back({pairs[i] - kOrigin, pairs[i + 1] - kOrigin});
  }
  if (!stroke.empty()) glyph->strokes.push_back(stroke);
}

// One record from its first line on, taking further lines while its pairs run on.
std::string ReadRecord(std::istream& in, const std::string& first, int record, Glyph* glyph) {
  if (first.size() < kNumberColumns + kCountColumns + 2)
    return RecordProblem(record, "is cut short");
  int count = 0;
  if (std::sscanf(first.substr(kNumberColumns, kCountColumns).c_str(), "%d", &count) != 1 ||
      count < 1)
    return RecordProblem(record, "has no count of coordinate pairs");
  std::string data = first.substr(kNumberColumns + kCountColumns);
  std::string more;
  while (data.size() < 2 * static_cast<std::size_t>(count) && std::getline(in, more)) {
    if (!more.empty() && more.back() == '\r') more.pop_back();
    data += more;
  }
  if (data.size() < 2 * static_cast<std::size_t>(count))
    return RecordProblem(record, "is cut short");
  if (data.find_first_not_of(' ', 2 * static_cast<std::size_t>(count)) != std::string::npos)
    return RecordProblem(record, "runs past its count of coordinate pairs");
  data.resize(2 * static_cast<std::size_t>(count));
  for (char c : data)
    if (!Printable(c)) return RecordProblem(record, "holds a character that is not a coordinate");
  if (data[0] == ' ' && data[1] == kOrigin) return RecordProblem(record, "has no box");
  glyph->left = data[0] - kOrigin;
  glyph->right = data[1] - kOrigin;
  if (glyph->right < glyph->left) return RecordProblem(record, "has a box narrower than nothing");
  ReadStrokes(data.substr(2), glyph);
  return "";
}

}  // namespace

std::string ParseFont(const std::string& text, std::vector<Glyph>* glyphs) {
  glyphs->clear();
  std::istringstream in(text);
  std::string line;
  while (static_cast<int>(glyphs->size()) < kGlyphs && std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(' ') == std::string::npos) continue;
    Glyph glyph;
    const std::string why = ReadRecord(in, line, static_cast<int>(glyphs->size()) + 1, &glyph);
    if (!why.empty()) return why;
    glyphs->push_back(glyph);
  }
  if (static_cast<int>(glyphs->size()) < kGlyphs) return "has fewer than the 95 glyphs ' ' to '~'";
  return "";
}

std::string ReadFont(const std::string& path, std::vector<Glyph>* glyphs) {
  std::vector<unsigned char> bytes;
  const std::string why = ReadRegularFile(path.c_str(), kMostFontBytes, "a font", &bytes);
  if (!why.empty()) return why;
  return ParseFont(std::string(bytes.begin(), bytes.end()), glyphs);
}

bool IsDot(const std::vector<FontPoint>& stroke) {
  const auto [left, right] = std::minmax_element(
      stroke.begin(), stroke.end(), [](FontPoint a, FontPoint b) { return a.x < b.x; });
  const auto [top, bottom] = std::minmax_element(
      stroke.begin(), stroke.end(), [](FontPoint a, FontPoint b) { return a.y < b.y; });
  return right->x - left->x <= kDotSize && bottom->y - top->y <= kDotSize;
}
