// Our own additions to the handwriting font, in its units and its hand: the marks that make
// accented letters of the font's own, and the letters and signs the font has no glyph for.
#pragma once

#include <vector>

#include "font.h"

using Strokes = std::vector<std::vector<FontPoint>>;

enum class Mark {
  kAcute,
  kGrave,
  kCircumflex,
  kCaron,
  kDiaeresis,
  kTilde,
  kRing,
  kBreve,
  kMacron,
  kDoubleAcute,
  kDot,
  kTurnedComma,  // above, as Latvian writes g with a cedilla
  kCedilla,
  kCommaBelow,
  kOgonek,
  kApostrophe,  // the caron of d, t, l and L, written after the letter's ascender
  kMiddleDot,
  kBar,      // across a stem: Đ đ ħ Ŧ ŧ
  kLongBar,  // across both stems of Ħ
  kSlash,    // through a stem: Ł ł
  kSlashO,
  kSlashCapitalO,
};

// Where a mark goes on its letter.
enum class Place {
  kAbove,   // its origin at the middle of its bottom, set above the letter's ink
  kBelow,   // its origin at the middle of its top, set below the letter on the baseline
  kOgonek,  // its origin where it hangs from the right of the letter's foot
  kAt,      // its origin at its middle, set where the letter asks for it
};

struct MarkShape {
  Place place;
  Strokes strokes;  // font units about the origin, y downward
};

// Each is made anew when asked for, from constant tables, and may throw std::bad_alloc.
MarkShape ShapeOf(Mark mark);

// Whether we draw a glyph of our own for c.
bool HasOwnGlyph(char32_t c);

// Our glyph for c, or an empty one when we draw none. The glyph's box and strokes are in the
// font's units, about the same origin and baseline as the font's glyphs.
Glyph OwnGlyph(char32_t c);
