// The screen the program writes on: its size and colour depth, the same on a display, in a
// window and on the memory screen of a recording or a test, and the colour it starts as.
#pragma once

#include <string>

constexpr int kScreenW = 1024;                   // pixels
constexpr int kScreenH = 768;                    // pixels
constexpr int kRightColumn = kScreenW - 1;       // the column the strip is fed from
constexpr int kColorDepth = 32;                  // bits per pixel
constexpr int kBytesPerPixel = kColorDepth / 8;  // bytes
constexpr int kBlack = 0;                        // the colour value of black at this depth

// The size as messages and the help say it, "1024x768", or with another sign between.
inline std::string ScreenSize(const char* by = "x") {
  return std::to_string(kScreenW) + by + std::to_string(kScreenH);
}
