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

// Reads a whole file into bytes, or says why it cannot: not a regular file, too large to be a
// sprite, or the system's reason. Whatever it is, the read does not block.
std::string ReadBmpFile(const char* path, std::vector<unsigned char>* bytes);

// BmpProblem for a file, or ReadBmpFile's reason when it cannot be read.
std::string BmpFileProblem(const char* path);

// Whether a loaded sprite has at least one pixel that is not the mask colour.
bool HasInk(BITMAP* sprite);
