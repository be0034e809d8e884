// Makes BMP files of every form the library reads, and broken ones, for the tests, the fuzz seed
// corpus and the end-to-end samples.
#include "bmpmaker.h"

namespace {

constexpr Rgb kColours[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 0, 255}};

int PaletteSize(const BmpForm& f) {
  if (f.bits > 8) return 0;
  return f.colours ? static_cast<int>(f.colours) : 1 << f.bits;
}

Rgb PaletteColour(const BmpForm& f, int i) {
  if (f.bits == 1) return i == 0 ? kColours[0] : kColours[3];
  return i < 4 ? kColours[i] : Rgb{0, 0, 0};
}

int Index(const BmpForm& f, int x, int y) { return (x + y) % (f.bits == 1 ? 2 : 4); }

int Rows(const BmpForm& f) { return f.height < 0 ? -f.height : f.height; }

// The y of the file's row r: files run from the bottom row up unless stored top-down.
int RowY(const BmpForm& f, int r) { return f.height < 0 ? r : f.height - 1 - r; }

void Put(std::string& s, int byte) { s.push_back(static_cast<char>(byte & 0xFF)); }
void Put16(std::string& s, unsigned v) {
  Put(s, v);
  Put(s, v >> 8);
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}

unsigned Pack16(const BmpForm& f, Rgb c) {
  if (f.five_six_five) return (c.r >> 3) << 11 | (c.g >> 2) << 5 | c.b >> 3;
  return (c.r >> 3) << 10 | (c.g >> 3) << 5 | c.b >> 3;
}

void PutPixel(std::string& row, const BmpForm& f, int x, int y) {
  const Rgb c = PatternColour(f, x, y);
  if (f.bits == 16) {
    Put16(row, Pack16(f, c));
  } else {
    Put(row, c.b);
    Put(row, c.g);
    Put(row, c.r);
    if (f.bits == 32) Put(row, 0);
  }
}

// Indices packed most significant bits first, as BMP stores them.
std::string PackedIndices(const BmpForm& f, int y) {
  std::string row;
  int acc = 0, used = 0;
  for (int x = 0; x < f.width; ++x) {
    acc = acc << f.bits | Index(f, x, y);
    used += f.bits;
    if (used == 8) {
      Put(row, acc);
      acc = used = 0;
    }
  }
  if (used) Put(row, acc << (8 - used));
  return row;
}

std::string PlainRow(const BmpForm& f, int y) {
  std::string row;
  if (f.bits <= 8) {
    row = PackedIndices(f, y);
  } else {
    for (int x = 0; x < f.width; ++x) PutPixel(row, f, x, y);
  }
  while (row.size() % 4) Put(row, 0);
  return row;
}

std::string RleRow(const BmpForm& f, int y) {
  std::string row;
  const bool four = f.compression == 2;
  if (f.literals && f.width >= 3) {
    std::string packed = four ? PackedIndices(f, y) : std::string();
    if (!four)
      for (int x = 0; x < f.width; ++x) Put(packed, Index(f, x, y));
    if (packed.size() % 2) Put(packed, 0);
    Put(row, 0);
    Put(row, f.width);
    return row + packed;
  }
  for (int x = 0; x < f.width; ++x) {
    Put(row, 1);
    Put(row, four ? Index(f, x, y) << 4 : Index(f, x, y));
  }
  return row;
}

std::string Pixels(const BmpForm& f) {
  std::string data;
  const bool rle = f.compression == 1 || f.compression == 2;
  for (int r = 0; r < Rows(f); ++r) {
    data += rle ? RleRow(f, RowY(f, r)) : PlainRow(f, RowY(f, r));
    if (rle) data += r + 1 < Rows(f) ? std::string("\0\0", 2) : std::string("\0\1", 2);
  }
  return data;
}

std::string InfoHeader(const BmpForm& f, std::size_t pixel_bytes) {
  std::string h;
  if (f.header == 12) {
    Put32(h, 12);
    Put16(h, f.width);
    Put16(h, f.height);
    Put16(h, 1);
    Put16(h, f.bits);
    return h;
  }
  Put32(h, f.header);
  Put32(h, f.width);
  Put32(h, f.height);
  Put16(h, 1);
  Put16(h, f.bits);
  Put32(h, f.compression);
  Put32(h, static_cast<std::uint32_t>(pixel_bytes));
  Put32(h, 2835);
  Put32(h, 2835);
  Put32(h, f.colours);
  Put32(h, 0);
  h.resize(static_cast<std::size_t>(f.header), '\0');
  return h;
}

std::string Masks(const BmpForm& f) {
  std::string m;
  if (f.compression != 3) return m;
  if (f.bits == 32) {
    Put32(m, 0xFF0000);
    Put32(m, 0xFF00);
    Put32(m, 0xFF);
  } else {
    Put32(m, f.five_six_five ? 0xF800 : 0x7C00);
    Put32(m, f.five_six_five ? 0x7E0 : 0x3E0);
    Put32(m, 0x1F);
  }
  return m;
}

std::string Palette(const BmpForm& f) {
  std::string p;
  for (int i = 0; i < PaletteSize(f); ++i) {
    const Rgb c = PaletteColour(f, i);
    Put(p, c.b);
    Put(p, c.g);
    Put(p, c.r);
    if (f.header != 12) Put(p, 0);
  }
  return p;
}

NamedBmp Named(const std::string& name, const BmpForm& f) { return {name, MakeBmp(f), f, ""}; }

std::string Bytes(std::initializer_list<int> list) {
  std::string s;
  for (int b : list) Put(s, b);
  return s;
}

NamedBmp WithPixels(const std::string& name, BmpForm f, const std::string& pixels,
                    const std::string& why) {
  return {name, MakeBmp(f, &pixels), f, why};
}

BmpForm Form(int w, int h, int bits, unsigned compression = 0) {
  BmpForm f;
  f.width = w;
  f.height = h;
  f.bits = bits;
  f.compression = compression;
  return f;
}

}  // namespace

Rgb PatternColour(const BmpForm& f, int x, int y) {
  if (f.bits <= 8) return PaletteColour(f, Index(f, x, y));
  return kColours[(x + y) % 4];
}

void Poke16(std::string& file, std::size_t at, unsigned value) {
  file[at] = static_cast<char>(value & 0xFF);
  file[at + 1] = static_cast<char>(value >> 8 & 0xFF);
}

void Poke32(std::string& file, std::size_t at, std::uint32_t value) {
  Poke16(file, at, value & 0xFFFF);
  Poke16(file, at + 2, value >> 16);
}

std::string MakeBmp(const BmpForm& f, const std::string* pixels) {
  const std::string data = pixels ? *pixels : Pixels(f);
  const std::string body =
      InfoHeader(f, data.size()) + Masks(f) + Palette(f) + std::string(f.gap, '\xAA');
  std::string file = "BM";
  Put32(file, static_cast<std::uint32_t>(14 + body.size() + data.size()));
  Put32(file, 0);
  Put32(file, static_cast<std::uint32_t>(14 + body.size()));
  return file + body + data;
}

std::vector<NamedBmp> GoodBmps() {
  std::vector<NamedBmp> good;
  for (int w : {1, 3, 16, 17}) {
    const std::string wide = "-w" + std::to_string(w) + ".bmp";
    for (int bits : {1, 4, 8, 24, 32})
      good.push_back(Named(std::to_string(bits) + "bit" + wide, Form(w, 3, bits)));
    BmpForm f = Form(w, 3, 16);
    good.push_back(Named("16bit-555" + wide, f));
    f.compression = 3;
    f.five_six_five = true;
    good.push_back(Named("16bit-565" + wide, f));
    good.push_back(Named("32bit-fields" + wide, Form(w, 3, 32, 3)));
    for (int bits : {1, 4, 8, 24}) {
      BmpForm os2 = Form(w, 3, bits);
      os2.header = 12;
      good.push_back(Named("os2-" + std::to_string(bits) + "bit" + wide, os2));
    }
    for (unsigned rle : {1u, 2u}) {
      BmpForm r = Form(w, 3, rle == 1 ? 8 : 4, rle);
      const std::string kind = rle == 1 ? "rle8" : "rle4";
      good.push_back(Named(kind + "-runs" + wide, r));
      r.literals = true;
      good.push_back(Named(kind + "-literals" + wide, r));
    }
  }
  // Palettes stated in full, as ImageMagick writes them: 2, 16 and 256 colours.
  for (int bits : {1, 4, 8}) {
    BmpForm full = Form(5, 3, bits);
    full.colours = 1u << bits;
    good.push_back(Named(std::to_string(bits) + "bit-whole-palette.bmp", full));
  }
  BmpForm gap = Form(5, 3, 8);
  gap.gap = 300;
  gap.colours = 4;
  good.push_back(Named("8bit-4colours-gap.bmp", gap));
  return good;
}

std::string AllMaskBmp() {
  const std::string row = Bytes({255, 0, 255, 255, 0, 255, 0, 0});
  const std::string rows = row + row;
  return MakeBmp(Form(2, 2, 24), &rows);
}

std::vector<NamedBmp> BadBmps() {
  std::vector<NamedBmp> bad;
  const std::string eob = Bytes({0, 1});
  const std::string runs = "run-length run that leaves", skips = "run-length skip that leaves";
  bad.push_back(WithPixels("rle8-run255-w16.bmp", Form(16, 2, 8, 1), Bytes({255, 1}) + eob, runs));
  bad.push_back(
      WithPixels("rle4-run255-w16.bmp", Form(16, 2, 4, 2), Bytes({255, 0x12}) + eob, runs));
  bad.push_back(WithPixels("rle8-literal255-w16.bmp", Form(16, 2, 8, 1),
                           Bytes({0, 255}) + std::string(256, '\1') + eob, runs));
  bad.push_back(WithPixels("rle4-literal255-w16.bmp", Form(16, 2, 4, 2),
                           Bytes({0, 255}) + std::string(128, '\x12') + eob, runs));
  bad.push_back(WithPixels("rle8-long-skip.bmp", Form(16, 2, 8, 1),
                           Bytes({0, 2, 250, 0, 4, 1}) + eob, skips));
  bad.push_back(WithPixels("rle8-skip-below.bmp", Form(16, 2, 8, 1),
                           Bytes({0, 2, 0, 200, 4, 1}) + eob, skips));
  bad.push_back(WithPixels("rle8-width1-run2.bmp", Form(1, 2, 8, 1), Bytes({2, 1}) + eob, runs));
  bad.push_back(WithPixels("rle4-width1-run2.bmp", Form(1, 2, 4, 2), Bytes({2, 0x11}) + eob, runs));
  bad.push_back(WithPixels("rle8-no-end.bmp", Form(4, 2, 8, 1), Bytes({4, 1, 0, 0, 4, 2}),
                           "ends inside its run-length data"));
  // One row: its end of line is the last the image has room for; the next is one too many.
  bad.push_back(WithPixels("rle8-rows-below.bmp", Form(4, 1, 8, 1), Bytes({4, 1, 0, 0, 0, 0}) + eob,
                           "rows below the image"));
  // A skip onto the row just past the top of a two-row image.
  bad.push_back(
      WithPixels("rle8-skip-past-top.bmp", Form(4, 2, 8, 1), Bytes({0, 2, 0, 2}) + eob, skips));
  bad.push_back(WithPixels("rle8-at-24bit.bmp", Form(4, 2, 24, 1), Bytes({4, 1, 0, 0, 4, 1}) + eob,
                           "compression method 1 at 24 bits"));
  const std::string few(64, '\0');
  const std::string sides = "each side must be 1 to 4096";
  bad.push_back(WithPixels("wrap-65536x65536-8bit.bmp", Form(65536, 65536, 8), few, sides));
  bad.push_back(WithPixels("wrap-65536x65536-24bit.bmp", Form(65536, 65536, 24), few, sides));
  bad.push_back(WithPixels("wrap-32768x32768-32bit.bmp", Form(32768, 32768, 32), few, sides));
  bad.push_back(
      WithPixels("wrap-one-row-2p30+1-32bit.bmp", Form((1 << 30) + 1, 1, 32), few, sides));
  bad.push_back(WithPixels("height-minus-2p31.bmp", Form(4, INT32_MIN, 24), few, "top-down"));
  bad.push_back(
      WithPixels("claims-20000x20000.bmp", Form(20000, 20000, 24), few, "is 20000 x 20000"));
  bad.push_back(WithPixels("claims-4097-wide.bmp", Form(4097, 1, 8), few, "is 4097 x 1 pixels"));
  bad.push_back(WithPixels("zero-width.bmp", Form(0, 4, 24), few, "is 0 x 4 pixels"));
  for (int bits : {0, 2, 7, 15, 48})
    bad.push_back(WithPixels("depth" + std::to_string(bits) + ".bmp", Form(4, 2, bits), few,
                             "has " + std::to_string(bits) + " bits per pixel"));
  bad.push_back({"top-down.bmp", MakeBmp(Form(4, -2, 24)), {}, "stored top-down"});
  for (int size : {64, 108, 124}) {
    BmpForm f = Form(4, 2, 24);
    f.header = size;
    bad.push_back({"header" + std::to_string(size) + ".bmp", MakeBmp(f), f,
                   "has a " + std::to_string(size) + "-byte header; only 12- and 40-byte BMP " +
                       "headers are read (save it with a plain 40-byte header, for example with " +
                       "ImageMagick: convert in.png BMP3:ball4.bmp)"});
  }
  BmpForm many = Form(4, 2, 8);
  many.colours = 300;
  bad.push_back({"300-colours.bmp", MakeBmp(many), many, "claims 300 palette colours"});
  std::string far = MakeBmp(Form(4, 2, 24));
  Poke32(far, 10, 100000);
  bad.push_back({"pixels-past-the-end.bmp", far, {}, "pixel data past the end"});
  std::string early = MakeBmp(Form(4, 2, 8));
  Poke32(early, 10, 14 + 40 + 4 * 256 - 8);  // two entries before the palette's end
  bad.push_back(
      {"pixels-inside-palette.bmp", early, {}, "pixel data inside its header or palette"});
  std::string cut = MakeBmp(Form(4, 4, 24));
  cut.resize(cut.size() - 20);
  bad.push_back({"rows-cut-short.bmp", cut, {}, "ends before all its pixel rows"});
  // One pixel of 24 bits is 3 bytes, padded to 4: the second row lacks its padding byte.
  std::string unpadded = MakeBmp(Form(1, 2, 24));
  unpadded.resize(unpadded.size() - 1);
  bad.push_back({"rows-unpadded-w1.bmp", unpadded, {}, "ends before all its pixel rows"});
  std::string masks = MakeBmp(Form(4, 2, 32, 3));
  Poke32(masks, 54, 0xFF);
  bad.push_back({"odd-masks.bmp", masks, {}, "unusual colour masks"});
  bad.push_back({"header-cut-short.bmp",
                 MakeBmp(Form(4, 2, 24)).substr(0, 40),
                 {},
                 "ends inside its header"});
  bad.push_back(
      {"text.bmp", "this is a line of text, not a picture of a ball\n", {}, "not a BMP image"});
  bad.push_back({"empty.bmp", "", {}, "too short to be a BMP image"});
  return bad;
}
