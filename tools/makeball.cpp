// Draws the ink ball sprite: a shaded blue sphere on the mask colour (255, 0, 255), written as a
// 24-bit BMP with the classic 40-byte info header. Usage: makeball OUT.bmp
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kSize = 18;  // pixels across, and down
constexpr double kRadius = kSize / 2.0;
constexpr double kAmbient = 0.25;                   // share of the base colour lit by nothing
constexpr double kShine = 0.6;                      // strength of the white highlight
constexpr double kShininess = 20.0;                 // higher is a smaller highlight
constexpr double kBase[3] = {40, 110, 230};         // red, green, blue of the lit ink
constexpr double kLight[3] = {-0.45, -0.55, 0.70};  // toward the light: up and to the left

struct Rgb {
  std::uint8_t r, g, b;
};

constexpr Rgb kMask = {255, 0, 255};

std::uint8_t Clamp(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5); }

// Phong shading of the sphere point seen through pixel (px, py). Outside the disc is the mask;
// inside there is no blending toward it, so the rim has no pinkish pixels.
Rgb Shade(int px, int py) {
  const double nx = (px + 0.5 - kRadius) / kRadius;
  const double ny = (py + 0.5 - kRadius) / kRadius;
  const double rr = nx * nx + ny * ny;
  if (rr > 1.0) return kMask;
  const double nz = std::sqrt(1.0 - rr);
  const double len =
      std::sqrt(kLight[0] * kLight[0] + kLight[1] * kLight[1] + kLight[2] * kLight[2]);
  const double lx = kLight[0] / len, ly = kLight[1] / len, lz = kLight[2] / len;
  const double diffuse = std::max(0.0, nx * lx + ny * ly + nz * lz);
  const double reflect_z = 2 * diffuse * nz - lz;  // the viewer looks down the z axis
  const double spec = std::pow(std::max(0.0, reflect_z), kShininess) * kShine * 255;
  const double lit = kAmbient + (1 - kAmbient) * diffuse;
  return {Clamp(kBase[0] * lit + spec), Clamp(kBase[1] * lit + spec), Clamp(kBase[2] * lit + spec)};
}

void Put16(std::vector<std::uint8_t>& out, unsigned v) {
  out.push_back(v & 0xff);
  out.push_back((v >> 8) & 0xff);
}

void Put32(std::vector<std::uint8_t>& out, unsigned v) {
  Put16(out, v & 0xffff);
  Put16(out, v >> 16);
}

std::vector<std::uint8_t> Bmp() {
  const unsigned row = (kSize * 3 + 3) / 4 * 4;
  const unsigned pixels = row * kSize;
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + pixels);
  Put32(out, 0);
  Put32(out, 54);  // pixel data offset
  Put32(out, 40);  // info header size
  Put32(out, kSize);
  Put32(out, kSize);
  Put16(out, 1);   // planes
  Put16(out, 24);  // bits per pixel
  Put32(out, 0);   // no compression
  Put32(out, pixels);
  Put32(out, 2835);  // 72 dpi
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int py = kSize - 1; py >= 0; --py) {  // bottom row first
    for (int px = 0; px < kSize; ++px) {
      const Rgb c = Shade(px, py);
      out.insert(out.end(), {c.b, c.g, c.r});
    }
    out.resize(out.size() + row - kSize * 3, 0);
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: makeball OUT.bmp\n");
    return 2;
  }
  const std::vector<std::uint8_t> bytes = Bmp();
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f) {
    std::perror(argv[1]);
    return 1;
  }
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (std::fclose(f) != 0 || !ok) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
