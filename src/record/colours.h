// The colours of a recording: pixels as 0xRRGGBB, the average of four in linear light for half
// size, the colours a pen can put on the screen, and the palette of at most 256 that a GIF frame
// holds, exact when they fit and chosen by giflib's quantizer when they do not.
#pragma once

#include <allegro.h>
#include <gif_lib.h>

#include <cstdint>
#include <unordered_map>
#include <vector>

using Pixel = std::uint32_t;  // 0xRRGGBB

constexpr int kPaletteRoom = 256;  // colours a GIF frame can hold, black among them
constexpr GifByteType kBlackIndex = 0;

Pixel ScreenPixel(BITMAP* bmp, int x, int y);

// The average of four pixels in linear light, so that a stroke's edge keeps its brightness at
// half size.
Pixel Mix(const Pixel four[4]);

// Every colour but black, each once, that stamps of this pen can leave on a screen: its own
// colours, or at half size those mixed with black by quarters and the pen averaged at each of
// the four ways a stamp can fall on the grid of four. Memory grows with the colours, not the
// pen's pixels.
std::vector<Pixel> PenColours(BITMAP* pen, bool half);

// The colours a frame can hold, and each pixel's index among them.
class Palette {
 public:
  // Black first, then the colours; more than kPaletteRoom - 1 of them are quantized, each
  // weighing the same. Says whether every colour is held exactly.
  bool Build(const std::vector<Pixel>& distinct);

  GifByteType Index(Pixel p);

  // giflib wants a power of two; the spare entries stay black. nullptr when out of memory.
  ColorMapObject* Map() const;

 private:
  void Quantize(const std::vector<Pixel>& samples);
  GifByteType Nearest(Pixel p) const;

  std::vector<Pixel> colours_;
  std::unordered_map<Pixel, GifByteType> index_;
};
