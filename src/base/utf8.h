// Reading UTF-8, strictly: the one decoder that the user's words, the quoting of names in
// messages and the cutting of long text and file names at a character's start all share.
#pragma once

#include <cstddef>
#include <string>

constexpr std::size_t kLongestUtf8 = 4;  // bytes a character takes at most

// A byte that continues a sequence rather than beginning one.
inline bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length a lead byte announces: 2 to 4, or 1 for a byte no sequence begins with (ASCII, a
// continuation byte, 0xF8 and above). 0xC0, 0xC1 and 0xF5 to 0xF7 announce sequences that can
// only be overlong or out of range, so the bytes they gather are named together.
std::size_t Announced(unsigned char lead);

// The character encoded at text[i] and the bytes it takes, or 0 bytes when they are not UTF-8:
// a stray continuation byte, a sequence cut short, an overlong form, a surrogate or a code
// beyond U+10FFFF.
std::size_t Decode(const std::string& text, std::size_t i, char32_t* code);

// Where the character that text[at] belongs to begins, so that a cut there leaves it whole; at
// itself when text[at] begins one, or when what lies before it is not UTF-8.
std::size_t CharacterStart(const std::string& text, std::size_t at);
