// Writing a bitmap as a PNG through libpng: 8-bit RGB, the very pixels of the bitmap.
#pragma once

#include "packio.h"

// A FileWriter (see safesave.h) for the BITMAP* what: the PNG's bytes into sink; 0 or an errno.
int WritePng(DescriptorSink* sink, void* what);
