// Saving a bitmap so that the named file ends up either as the whole new image or as it was.
// The library's own save truncates the file first, follows links and does not check its close,
// so the image goes through the descriptor of a fresh private file, which only replaces the
// real one once it is complete.
#include "safesave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "packio.h"
#include "say.h"

namespace {

constexpr std::size_t kBmpHeaders = 14 + 40;                 // file header + info header, bytes
constexpr std::size_t kPaletteBytes = std::size_t{256} * 4;  // written only for 8-bit images
constexpr const char* kBmpSuffix = ".bmp";
constexpr mode_t kNewFileMode = 0666;  // before the umask, as for any new file

void Complain(const char* path, const std::string& why) {
  Say(("cannot write " + std::string(path)).c_str(), why.c_str());
}

// A new file that cannot be made is the directory's doing, not the file's, so say which.
std::string CannotCreateIn(const char* path, int err) {
  std::string dir = path;
  const std::size_t slash = dir.rfind('/');
  dir = slash == std::string::npos ? "." : dir.substr(0, slash + 1);
  char real[PATH_MAX];
  if (realpath(dir.c_str(), real)) dir = real;
  return "cannot make a new file in the directory " + dir + " (" + std::strerror(err) + ")";
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

// The size on disk is the verdict: whatever the library or the writes said, the file must hold
// every byte of the image. write_error, when there was one, is the reason given.
bool Complete(int fd, std::size_t bytes, int write_error) {
  struct stat held;
  if (fsync(fd) != 0 || fstat(fd, &held) != 0) return false;
  if (static_cast<std::size_t>(held.st_size) == bytes) return true;
  errno = write_error ? write_error : EIO;
  return false;
}

// Before the rename, the temporary name must still be the file we created.
bool StillOurs(int fd, const std::string& name) {
  struct stat held, named;
  if (fstat(fd, &held) != 0 || lstat(name.c_str(), &named) != 0) return false;
  if (held.st_dev == named.st_dev && held.st_ino == named.st_ino) return true;
  errno = EEXIST;
  return false;
}

bool WriteImage(int fd, BITMAP* bmp, std::size_t bytes) {
  DescriptorSink sink;
  sink.fd = fd;
  PACKFILE* pf = WriteToDescriptor(&sink);
  if (!pf) return false;
  save_bmp_pf(pf, bmp, nullptr);
  pack_fclose(pf);
  return Complete(fd, bytes, sink.error);
}

bool WriteAndPlace(int fd, const std::string& temp, const char* path, BITMAP* bmp) {
  const std::size_t bytes = BmpFileSize(bmp->w, bmp->h, bitmap_color_depth(bmp));
  if (fchmod(fd, kNewFileMode & ~CurrentUmask()) != 0 || !RoomFor(fd, bytes)) return false;
  return WriteImage(fd, bmp, bytes) && StillOurs(fd, temp) && std::rename(temp.c_str(), path) == 0;
}

}  // namespace

std::size_t BmpFileSize(int width, int height, int depth) {
  const std::size_t pixel_bytes = depth == 8 ? 1 : 3;
  const std::size_t row = (static_cast<std::size_t>(width) * pixel_bytes + 3) / 4 * 4;
  const std::size_t palette = depth == 8 ? kPaletteBytes : 0;
  return kBmpHeaders + palette + row * static_cast<std::size_t>(height);
}

bool SaveBitmapWhole(const char* path, BITMAP* bmp) {
  // Should it ever be left behind, the private name still says what it holds.
  std::string temp = std::string(path) + ".XXXXXX" + kBmpSuffix;
  const int fd = mkstemps(temp.data(), static_cast<int>(std::strlen(kBmpSuffix)));
  if (fd < 0) {
    Complain(path, CannotCreateIn(path, errno));
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
