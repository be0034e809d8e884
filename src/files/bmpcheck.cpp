// Checks a BMP image before the library's loader sees it: the header fields the loader trusts,
// the room the pixel data needs, and for run-length files a walk of the codes, without decoding.
#include "bmpcheck.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "readfile.h"

namespace {

constexpr std::size_t kFileHeader = 14;  // bytes
constexpr std::size_t kCoreHeader = 12;  // OS/2 header, bytes
constexpr std::size_t kInfoHeader = 40;  // classic Windows header, bytes
constexpr std::size_t kMaskBytes = 12;   // three colour masks after the header
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3;
// The largest legitimate file, a 4096 x 4096 image at 32 bits per pixel, with room for headers;
// run-length coding takes at most 2 bytes a pixel.
constexpr std::size_t kMaxFileBytes = std::size_t{4} * kMaxBmpSide * kMaxBmpSide + 64 * 1024;

struct Header {
  std::size_t size;  // of the info header
  long long width, height;
  unsigned bits;
  std::uint32_t compression;
  std::uint32_t colours;  // palette entries the file says it uses; 0 means all
  std::size_t entry;      // bytes per palette entry
  std::uint32_t offset;   // of the pixel data from the start of the file
};

unsigned U16(const unsigned char* p) { return p[0] | p[1] << 8; }
std::uint32_t U32(const unsigned char* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}
std::int32_t S32(const unsigned char* p) { return static_cast<std::int32_t>(U32(p)); }

std::string Format(const char* format, long long a, long long b = 0) {
  char text[240];
  std::snprintf(text, sizeof text, format, a, b);
  return text;
}

std::string ReadHeader(const unsigned char* d, std::size_t size, Header* h) {
  if (size < kFileHeader + kCoreHeader) return "too short to be a BMP image";
  if (d[0] != 'B' || d[1] != 'M') return "not a BMP image";
  const std::uint32_t offset = U32(d + 10);
  const std::uint32_t header = U32(d + 14);
  const unsigned char* i = d + kFileHeader;
  if (header == kCoreHeader) {
    *h = {kCoreHeader, U16(i + 4), U16(i + 6), U16(i + 10), kRgb, 0, 3, offset};
    return "";
  }
  if (header != kInfoHeader)
    return Format(
        "has a %lld-byte header; only 12- and 40-byte BMP headers are read (save it with "
        "a plain 40-byte header, for example with ImageMagick: convert in.png "
        "BMP3:ball4.bmp)",
        header);
  if (size < kFileHeader + kInfoHeader) return "ends inside its header";
  *h = {kInfoHeader, S32(i + 4), S32(i + 8), U16(i + 14), U32(i + 16), U32(i + 32), 4, offset};
  return "";
}

std::string CheckSize(const Header& h) {
  if (h.height < 0) return "is stored top-down, which is not supported";
  if (h.width < 1 || h.width > kMaxBmpSide || h.height < 1 || h.height > kMaxBmpSide)
    return Format("is %lld x %lld pixels; each side must be 1 to 4096", h.width, h.height);
  return "";
}

bool DepthKnown(const Header& h) {
  switch (h.bits) {
    case 1:
    case 4:
    case 8:
    case 24:
      return true;
    case 16:
    case 32:
      return h.size == kInfoHeader;
    default:
      return false;
  }
}

// Only the masks of the usual 5-5-5, 5-6-5 and 8-8-8 layouts are read as they are meant.
bool MasksKnown(const unsigned char* m, unsigned bits) {
  const std::uint32_t r = U32(m), g = U32(m + 4), b = U32(m + 8);
  if (bits == 32) return r == 0xFF0000 && g == 0xFF00 && b == 0xFF;
  return b == 0x1F && ((r == 0x7C00 && g == 0x3E0) || (r == 0xF800 && g == 0x7E0));
}

std::string CheckCoding(const Header& h, const unsigned char* d, std::size_t size) {
  if (!DepthKnown(h)) return Format("has %lld bits per pixel, which is not supported", h.bits);
  const bool fits = (h.compression == kRgb) || (h.compression == kRle8 && h.bits == 8) ||
                    (h.compression == kRle4 && h.bits == 4) ||
                    (h.compression == kBitfields && (h.bits == 16 || h.bits == 32));
  if (!fits)
    return Format("uses compression method %lld at %lld bits per pixel, which is not supported",
                  h.compression, h.bits);
  if (h.compression != kBitfields) return "";
  if (size < kFileHeader + kInfoHeader + kMaskBytes) return "ends inside its colour masks";
  if (!MasksKnown(d + kFileHeader + kInfoHeader, h.bits)) return "has unusual colour masks";
  return "";
}

std::string CheckPalette(const Header& h, std::size_t size) {
  std::size_t before = kFileHeader + h.size + (h.compression == kBitfields ? kMaskBytes : 0);
  if (h.bits <= 8) {
    const std::uint32_t most = 1u << h.bits;
    if (h.colours > most)
      return Format("claims %lld palette colours for %lld bits per pixel", h.colours, h.bits);
    before += (h.colours ? h.colours : most) * h.entry;
  }
  if (before > size) return "ends inside its palette";
  if (h.offset < before) return "has its pixel data inside its header or palette";
  if (h.offset > size) return "has its pixel data past the end of the file";
  return "";
}

std::string CheckPlainPixels(const Header& h, std::size_t size) {
  const unsigned long long row = (static_cast<unsigned long long>(h.width) * h.bits + 31) / 32 * 4;
  if (row * h.height > size - h.offset) return "ends before all its pixel rows";
  return "";
}

// Follows the run-length codes as the loader will, refusing any run, literal or skip that
// would leave the image and data that stops before its end-of-image mark.
class RleWalk {
 public:
  RleWalk(const Header& h, const unsigned char* d, std::size_t size)
      : w_(h.width),
        h_(h.height),
        four_(h.compression == kRle4),
        d_(d),
        size_(size),
        p_(h.offset) {}

  std::string Run() {
    for (;;) {
      if (!Has(2)) return Early();
      const unsigned n = d_[p_], code = d_[p_ + 1];
      p_ += 2;
      std::string why;
      if (n > 0) {
        why = Paint(n);
      } else if (code == 0) {
        x_ = 0;
        if (++y_ > h_) return "has run-length rows below the image";
      } else if (code == 1) {
        return "";
      } else if (code == 2) {
        why = Skip();
      } else {
        why = Literal(code);
      }
      if (!why.empty()) return why;
    }
  }

 private:
  bool Has(std::size_t bytes) const { return bytes <= size_ - p_; }
  static std::string Early() { return "ends inside its run-length data"; }

  std::string Paint(long long n) {
    if (y_ >= h_ || x_ + n > w_) return "has a run-length run that leaves the image";
    x_ += n;
    return "";
  }

  std::string Skip() {
    if (!Has(2)) return Early();
    const long long dx = d_[p_], dy = d_[p_ + 1];
    p_ += 2;
    if (x_ + dx > w_ || y_ + dy >= h_) return "has a run-length skip that leaves the image";
    x_ += dx;
    y_ += dy;
    return "";
  }

  std::string Literal(unsigned n) {
    const std::size_t bytes = four_ ? (n + 1) / 2 : n;
    const std::size_t padded = bytes + bytes % 2;
    if (!Has(padded)) return Early();
    p_ += padded;
    return Paint(n);
  }

  const long long w_, h_;
  const bool four_;
  const unsigned char* d_;
  const std::size_t size_;
  std::size_t p_;
  long long x_ = 0, y_ = 0;  // y counts rows from the bottom
};

}  // namespace

std::string BmpProblem(const unsigned char* data, std::size_t size) {
  Header h{};
  std::string why = ReadHeader(data, size, &h);
  if (why.empty()) why = CheckSize(h);
  if (why.empty()) why = CheckCoding(h, data, size);
  if (why.empty()) why = CheckPalette(h, size);
  if (!why.empty()) return why;
  if (h.compression == kRle8 || h.compression == kRle4) return RleWalk(h, data, size).Run();
  return CheckPlainPixels(h, size);
}

std::string BmpFileProblem(const char* path, std::vector<unsigned char>* bytes) {
  std::vector<unsigned char> read;
  if (!bytes) bytes = &read;
  const std::string why = ReadRegularFile(path, kMaxFileBytes, "a sprite", bytes);
  return why.empty() ? BmpProblem(bytes->data(), bytes->size()) : why;
}

bool HasInk(BITMAP* sprite) {
  const int mask = bitmap_mask_color(sprite);
  for (int row = 0; row < sprite->h; ++row)
    for (int col = 0; col < sprite->w; ++col)
      if (getpixel(sprite, col, row) != mask) return true;
  return false;
}
