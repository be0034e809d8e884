// Checks a BMP image before the library's loader sees it. The loader trusts the file's header
// and its run-length codes, so a wrong or hostile file can crash it or make it allocate
// gigabytes; only files it is known to read correctly get through.
#pragma once

#include <allegro.h>

#include <cstddef>
#include <string>
#include <vector>

constexpr int kMaxBmpSide = 4096;  // pixels, for either side

// An empty string when the loader reads these bytes safely and correctly, otherwise what is
// wrong with them, in words for the user.
std::string BmpProblem(const unsigned char* data, std::size_t size);

// The same for a file, read once and without blocking; also says why a file cannot be read at
// all. When bytes is given it receives what was read, so that exactly those bytes are loaded.
std::string BmpFileProblem(const char* path, std::vector<unsigned char>* bytes = nullptr);

// Whether a loaded sprite has at least one pixel that is not the mask colour.
bool HasInk(BITMAP* sprite);
