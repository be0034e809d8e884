// PACKFILEs over memory and over an open descriptor, for the library's BMP reader and writer.
#include "packio.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

struct MemorySource {
  const unsigned char* data;
  std::size_t size;
  std::size_t at;
};

MemorySource& Source(void* userdata) { return *static_cast<MemorySource*>(userdata); }
DescriptorSink& Sink(void* userdata) { return *static_cast<DescriptorSink*>(userdata); }

int MemClose(void*) { return 0; }

int MemGetc(void* userdata) {
  MemorySource& s = Source(userdata);
  return s.at < s.size ? s.data[s.at++] : EOF;
}

int MemUngetc(int c, void* userdata) {
  MemorySource& s = Source(userdata);
  if (s.at == 0) return EOF;
  --s.at;
  return c;
}

long MemRead(void* p, long n, void* userdata) {
  MemorySource& s = Source(userdata);
  const std::size_t take = std::min(static_cast<std::size_t>(n), s.size - s.at);
  std::memcpy(p, s.data + s.at, take);
  s.at += take;
  return static_cast<long>(take);
}

int MemPutc(int, void*) { return EOF; }
long MemWrite(const void*, long, void*) { return 0; }

int MemSeek(void* userdata, int offset) {
  MemorySource& s = Source(userdata);
  if (offset < 0 || static_cast<std::size_t>(offset) > s.size - s.at) return -1;
  s.at += static_cast<std::size_t>(offset);
  return 0;
}

int MemEof(void* userdata) { return Source(userdata).at >= Source(userdata).size; }
int MemError(void*) { return 0; }

const PACKFILE_VTABLE kMemoryTable = {MemClose, MemGetc, MemUngetc, MemRead, MemPutc,
                                      MemWrite, MemSeek, MemEof,    MemError};

// Writes what is buffered, through short writes and interruptions; the first failure is kept
// so that the caller can say what really went wrong.
void WriteOut(DescriptorSink& s) {
  std::size_t done = 0;
  while (s.error == 0 && done < s.used) {
    const ssize_t n = write(s.fd, s.buffer + done, s.used - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      s.error = n < 0 ? errno : EIO;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  s.used = 0;
}

long SinkWrite(const void* p, long n, void* userdata) {
  return PutBytes(&Sink(userdata), p, static_cast<std::size_t>(n)) ? n : -1;
}

int SinkPutc(int c, void* userdata) {
  const unsigned char byte = static_cast<unsigned char>(c);
  return SinkWrite(&byte, 1, userdata) == 1 ? byte : EOF;
}

int SinkClose(void* userdata) { return Flush(&Sink(userdata)) ? 0 : -1; }

int SinkGetc(void*) { return EOF; }
int SinkUngetc(int, void*) { return EOF; }
long SinkRead(void*, long, void*) { return 0; }
int SinkSeek(void*, int) { return -1; }
int SinkEof(void*) { return 0; }
int SinkError(void* userdata) { return Sink(userdata).error != 0; }

const PACKFILE_VTABLE kSinkTable = {SinkClose, SinkGetc, SinkUngetc, SinkRead, SinkPutc,
                                    SinkWrite, SinkSeek, SinkEof,    SinkError};

}  // namespace

BITMAP* LoadBmpFromMemory(const std::vector<unsigned char>& bytes) {
  MemorySource source{bytes.data(), bytes.size(), 0};
  PACKFILE* pf = pack_fopen_vtable(&kMemoryTable, &source);
  if (!pf) return nullptr;
  BITMAP* bmp = load_bmp_pf(pf, nullptr);
  pack_fclose(pf);
  return bmp;
}

PACKFILE* WriteToDescriptor(DescriptorSink* sink) { return pack_fopen_vtable(&kSinkTable, sink); }

bool PutBytes(DescriptorSink* s, const void* bytes, std::size_t n) {
  const unsigned char* from = static_cast<const unsigned char*>(bytes);
  s->total += n;
  while (n > 0 && s->error == 0) {
    const std::size_t take = std::min(n, sizeof s->buffer - s->used);
    std::memcpy(s->buffer + s->used, from, take);
    s->used += take;
    from += take;
    n -= take;
    if (s->used == sizeof s->buffer) WriteOut(*s);
  }
  return s->error == 0;
}

bool Flush(DescriptorSink* s) {
  WriteOut(*s);
  return s->error == 0;
}
