// Reading a small input file whole, without blocking and within a size bound.
#include "readfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

bool ReadAll(int fd, unsigned char* to, std::size_t bytes) {
  while (bytes > 0) {
    const ssize_t got = read(fd, to, bytes);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    to += got;
    bytes -= static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace

std::string ReadRegularFile(const char* path, std::size_t most, const char* what,
                            std::vector<unsigned char>* bytes) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::strerror(errno);
  struct stat st;
  std::string why;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    why = "not a regular file";
  } else if (static_cast<unsigned long long>(st.st_size) > most) {
    why = std::string("too large for ") + what;
  } else {
    bytes->resize(static_cast<std::size_t>(st.st_size));
    if (!ReadAll(fd, bytes->data(), bytes->size())) why = "cannot be read";
  }
  close(fd);
  return why;
}
