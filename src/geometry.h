// The screen the program writes on: its size and colour depth, the same on a display, in a
// window and on the memory screen of a recording or a test.
#pragma once

constexpr int kScreenW = 1024;   // pixels
constexpr int kScreenH = 768;    // pixels
constexpr int kColorDepth = 32;  // bits per pixel
