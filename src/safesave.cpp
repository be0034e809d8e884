// Saving a bitmap so that the named file ends up either as the whole new image or as it was.
// The library's own save truncates the file first, follows links and does not check its close,
// so the image goes to a fresh private file that only replaces the real one once complete.
#include "safesave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr std::size_t kBmpHeaders = 14 + 40;                 // file header + info header, bytes
constexpr std::size_t kPaletteBytes = std::size_t{256} * 4;  // written only for 8-bit images
constexpr const char* kBmpSuffix = ".bmp";
constexpr mode_t kNewFileMode = 0666;  // before the umask, as for any new file

void Complain(const char* path, const char* why) {
  std::fprintf(stderr, "inkstrip: cannot write %s: %s\n", path, why);
}

mode_t CurrentUmask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

bool RoomFor(int fd, std::size_t bytes) {
  struct statvfs fs;
  if (fstatvfs(fd, &fs) != 0) return true;  // cannot tell: let the write find out
  if (static_cast<unsigned long long>(fs.f_bavail) * fs.f_frsize >= bytes) return true;
  errno = ENOSPC;
  return false;
}

// The temporary name must still be the file we created and hold every byte of the image.
bool Complete(int fd, const std::string& name, std::size_t bytes) {
  struct stat held, named;
  if (fsync(fd) != 0 || fstat(fd, &held) != 0 || lstat(name.c_str(), &named) != 0) return false;
  if (held.st_dev != named.st_dev || held.st_ino != named.st_ino) {
    errno = EEXIST;
    return false;
  }
  if (static_cast<std::size_t>(held.st_size) == bytes) return true;
  errno = ENOSPC;
  return false;
}

bool WriteAndPlace(int fd, const std::string& temp, const char* path, BITMAP* bmp) {
  const std::size_t bytes = BmpFileSize(bmp->w, bmp->h, bitmap_color_depth(bmp));
  if (fchmod(fd, kNewFileMode & ~CurrentUmask()) != 0 || !RoomFor(fd, bytes)) return false;
  errno = 0;
  if (save_bitmap(temp.c_str(), bmp, nullptr) != 0) {
    if (errno == 0) errno = EIO;
    return false;
  }
  return Complete(fd, temp, bytes) && std::rename(temp.c_str(), path) == 0;
}

}  // namespace

std::size_t BmpFileSize(int width, int height, int depth) {
  const std::size_t pixel_bytes = depth == 8 ? 1 : 3;
  const std::size_t row = (static_cast<std::size_t>(width) * pixel_bytes + 3) / 4 * 4;
  const std::size_t palette = depth == 8 ? kPaletteBytes : 0;
  return kBmpHeaders + palette + row * static_cast<std::size_t>(height);
}

bool SaveBitmapWhole(const char* path, BITMAP* bmp) {
  // The library picks the format from the name's extension, so the private name keeps ".bmp".
  std::string temp = std::string(path) + ".XXXXXX" + kBmpSuffix;
  const int fd = mkstemps(temp.data(), static_cast<int>(std::strlen(kBmpSuffix)));
  if (fd < 0) {
    Complain(path, std::strerror(errno));
    return false;
  }
  const bool placed = WriteAndPlace(fd, temp, path, bmp);
  const int err = errno;
  close(fd);
  if (placed) return true;
  unlink(temp.c_str());
  Complain(path, std::strerror(err));
  return false;
}
