// PACKFILEs over bytes already in memory and over a file descriptor already open, so that the
// library reads exactly the bytes that were checked and writes into exactly the file that was
// created, never opening anything by name itself.
#pragma once

#include <allegro.h>

#include <cstddef>
#include <vector>

// Loads a BMP from bytes in memory, converting it as load_bitmap would. nullptr if it cannot.
BITMAP* LoadBmpFromMemory(const std::vector<unsigned char>& bytes);

// Where a PACKFILE made by WriteToDescriptor puts its bytes: buffered, then written to fd.
struct DescriptorSink {
  int fd = -1;
  int error = 0;          // errno of the first write that failed; nothing is written after it
  std::size_t used = 0;   // bytes waiting in buffer
  std::size_t total = 0;  // bytes taken in, written or waiting
  unsigned char buffer[65536];
};

// A PACKFILE that writes into sink; pack_fclose flushes it but leaves the descriptor open.
PACKFILE* WriteToDescriptor(DescriptorSink* sink);

// Puts bytes into sink, or the sink's first error; Flush writes out what waits. Both return
// whether all is well so far.
bool PutBytes(DescriptorSink* sink, const void* bytes, std::size_t n);
bool Flush(DescriptorSink* sink);
