// Makes BMP files of every form the library reads, and broken ones, for the tests, the fuzz seed
// corpus and the end-to-end samples. Pixels follow a fixed pattern of red, green, blue and the
// mask colour, so a loaded image can be checked pixel by pixel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct BmpForm {
  int width = 4;
  int height = 2;  // negative: stored top-down
  int bits = 24;
  int header = 40;             // 12 for OS/2; other sizes are padded out with zeros
  unsigned compression = 0;    // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
  unsigned colours = 0;        // palette entries the header claims; 0 means all
  bool five_six_five = false;  // 16 bits: 5-6-5 masks rather than 5-5-5
  bool literals = false;       // run-length: code rows as literals rather than runs
  int gap = 0;                 // spare bytes between the palette and the pixels
};

struct Rgb {
  int r, g, b;
};

// The colour the pattern puts at (x, y), with y counted from the top row.
Rgb PatternColour(const BmpForm& form, int x, int y);

// The whole file. pixels, when given, replaces the coded pixel data.
std::string MakeBmp(const BmpForm& form, const std::string* pixels = nullptr);

// Little-endian helpers for patching files.
void Poke16(std::string& file, std::size_t at, unsigned value);
void Poke32(std::string& file, std::size_t at, std::uint32_t value);

struct NamedBmp {
  std::string name;
  std::string bytes;
  BmpForm form;     // for the good ones: what was drawn
  std::string why;  // for the bad ones: words the check's reason must hold
};

// Files the library reads correctly, in every depth and coding.
std::vector<NamedBmp> GoodBmps();
// A sprite that passes every check but has nothing to show: all of it is the mask colour.
std::string AllMaskBmp();
// Files the library would crash on, be fooled by, or allocate gigabytes for, each with words of
// the one reason that must refuse it.
std::vector<NamedBmp> BadBmps();
