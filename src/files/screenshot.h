// The screenshot a mouse press asks for: a copy of the whole screen, saved whole or not at all,
// as BMP or PNG.
#pragma once

#include <string>

constexpr const char* kDumpFile = "dump.bmp";
extern std::string dumpfile;  // where the screenshot goes: kDumpFile unless the user chose
extern bool dumpfailed;       // the press came but the screenshot could not be written

// Copies the screen and saves it to dumpfile; on failure says why and raises dumpfailed.
void TakeScreenshot();
