// The handwriting font: the Hershey Script Simplex single-stroke font, read from the .jhf file
// that Debian's hershey-fonts-data package installs. Each glyph is a set of strokes, polylines
// in font units drawn with the pen down, the pen lifted between them.
#pragma once

#include <string>
#include <vector>

constexpr const char* kFontFile = "/usr/share/hershey-fonts/scripts.jhf";
constexpr const char* kFontPackage = "hershey-fonts-data";
constexpr char kFirstGlyph = ' ';  // the font's glyphs are printable ASCII, in order
constexpr char kLastGlyph = '~';

struct FontPoint {
  int x, y;  // font units: x to the right, y downward, the baseline at y = 9
};

struct Glyph {
  int left = 0, right = 0;  // the glyph's box: it takes right - left units of the line
  std::vector<std::vector<FontPoint>> strokes;
  // Strokes a writer adds once the word is written, as accents are: none in the font's own
  // glyphs, whose dots and crosses are among their strokes.
  std::vector<std::vector<FontPoint>> marks;
};

// Reads a font in the .jhf format: one glyph a record, a record being its number (5 columns), its
// count of coordinate pairs (3 columns, the box included), the box and the pairs, each a
// coordinate as a character counted from 'R', " R" lifting the pen; a record may run on over
// several lines. The first 95 glyphs are ' ' to '~'. Returns "" or what is wrong with the file.
std::string ReadFont(const std::string& path, std::vector<Glyph>* glyphs);

// The same from the file's text.
std::string ParseFont(const std::string& text, std::vector<Glyph>* glyphs);

// A stroke no wider and no taller than this, in font units, is a dot: of an i or a j, or a
// full stop.
constexpr int kDotSize = 2;

// The box around the stroke is no more than a dot.
bool IsDot(const std::vector<FontPoint>& stroke);

// Whether the font has a glyph for c.
inline bool InFont(char c) { return c >= kFirstGlyph && c <= kLastGlyph; }
