// Reading a small input file whole: the sprite, the font. The file is opened without blocking
// and must be a regular file of bounded size, so a pipe, a device or a huge file of that name
// can neither stall the program nor exhaust its memory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Reads path into bytes; returns "" or why it cannot: the system's reason, "not a regular file",
// "too large for <what>", or "cannot be read".
std::string ReadRegularFile(const char* path, std::size_t most, const char* what,
                            std::vector<unsigned char>* bytes);
