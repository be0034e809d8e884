// The characters the hand can write: the text's UTF-8 read into characters, and each character
// matched to the glyph that writes it, the font's own or one made from it.
#pragma once

#include <string>
#include <vector>

#include "font.h"

// Whether the hand can write c.
bool Covered(char32_t c);

// "" when text can be written, or why not, naming the first character it cannot write.
std::string TextProblem(const std::string& text);

// The characters of text, which must have passed TextProblem; a no-break space is a space.
std::u32string Characters(const std::string& text);

// The glyph that writes c, a character TextProblem lets through, in this font.
Glyph GlyphFor(char32_t c, const std::vector<Glyph>& font);
