// The screen the program writes on: its size and colour depth, the same on a display, in a
// window and on the memory screen of a recording or a test, and the colour it starts as.
#pragma once

constexpr int kScreenW = 1024;                   // pixels
constexpr int kScreenH = 768;                    // pixels
constexpr int kRightColumn = kScreenW - 1;       // the column the strip is fed from
constexpr int kColorDepth = 32;                  // bits per pixel
constexpr int kBytesPerPixel = kColorDepth / 8;  // bytes
constexpr int kBlack = 0;                        // the colour value of black at this depth
