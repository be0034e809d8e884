// Writing a bitmap as a PNG through libpng, into a descriptor sink. libpng reports its errors
// by longjmp, so nothing with a destructor lives across the setjmp.
#include "pngsave.h"

#include <allegro.h>
#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <vector>

namespace {

constexpr int kBitsPerChannel = 8;
constexpr int kChannels = 3;  // red, green, blue: a screen has no transparency

void Put(png_structp png, png_bytep data, png_size_t n) {
  PutBytes(static_cast<DescriptorSink*>(png_get_io_ptr(png)), data, n);
}

void NoFlush(png_structp) {}

void Row(BITMAP* bmp, int y, png_bytep row) {
  const int depth = bitmap_color_depth(bmp);
  for (int x = 0; x < bmp->w; ++x) {
    const int c = getpixel(bmp, x, y);
    row[kChannels * x] = static_cast<png_byte>(getr_depth(depth, c));
    row[kChannels * x + 1] = static_cast<png_byte>(getg_depth(depth, c));
    row[kChannels * x + 2] = static_cast<png_byte>(getb_depth(depth, c));
  }
}

// Returns false when libpng gave up part way.
bool Encode(png_structp png, png_infop info, BITMAP* bmp, png_bytep row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, bmp->w, bmp->h, kBitsPerChannel, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < bmp->h; ++y) {
    Row(bmp, y, row);
    png_write_row(png, row);
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

int WritePng(DescriptorSink* sink, void* what) {
  BITMAP* bmp = static_cast<BITMAP*>(what);
  std::vector<png_byte> row(static_cast<std::size_t>(bmp->w) * kChannels);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return ENOMEM;
  }
  png_set_write_fn(png, sink, Put, NoFlush);
  const bool done = Encode(png, info, bmp, row.data());
  png_destroy_write_struct(&png, &info);
  if (sink->error) return sink->error;
  return done ? 0 : EIO;
}
