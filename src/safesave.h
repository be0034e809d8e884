// Saving a bitmap so that the named file ends up either as the whole new image or as it was.
#pragma once

#include <allegro.h>

#include <cstddef>

// Size in bytes of the BMP file the library writes for a bitmap of this size and depth.
std::size_t BmpFileSize(int width, int height, int depth);

// Writes bmp as a BMP beside path, checks it is all there, then renames it over path. On
// failure says why on stderr, leaves path untouched and returns false.
bool SaveBitmapWhole(const char* path, BITMAP* bmp);
