// Saving a file so that the named file ends up either as the whole new file or as it was: the
// screenshot (BMP or PNG) and the recording.
#pragma once

#include <allegro.h>

#include <cstddef>
#include <string>

#include "packio.h"

// Size in bytes of the BMP file the library writes for a bitmap of this size and depth.
std::size_t BmpFileSize(int width, int height, int depth);

// Puts a file's bytes into the sink; returns 0, or an errno that says why it could not
// (ECANCELED: asked to stop, which is no fault to report).
using FileWriter = int (*)(DescriptorSink* sink, void* what);

// Writes a private file beside path through write(sink, what), checks it holds every byte, then
// renames it over path. On failure says why on stderr, leaves path untouched and returns false.
bool SaveWhole(const char* path, FileWriter write, void* what);

// The same for a bitmap: as PNG when path ends in .png, otherwise as BMP.
bool SaveBitmapWhole(const char* path, BITMAP* bmp);

// Before any drawing: "" when the directory of path takes a new file, otherwise why not.
std::string NewFileProblem(const char* path);

// Whether a file name ends in this ending, in any case, with something before it.
bool EndsWith(const std::string& name, const char* ending);
