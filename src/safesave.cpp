// Saving a file so that the named file ends up either as the whole new file or as it was. The
// library's own save truncates the file first, follows links and does not check its close, so
// every file goes through the descriptor of a fresh private file, which only replaces the real
// one once it is complete.
#include "safesave.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pngsave.h"
#include "say.h"

namespace {

constexpr std::size_t kBmpHeaders = 14 + 40;                 // file header + info header, bytes
constexpr std::size_t kPaletteBytes = std::size_t{256} * 4;  // written only for 8-bit images
constexpr const char* kPrivateMark = ".XXXXXX";              // mkstemps makes it unique
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
// every byte that was put into it.
bool Complete(int fd, std::size_t bytes) {
  struct stat held;
  if (fsync(fd) != 0 || fstat(fd, &held) != 0) return false;
  if (static_cast<std::size_t>(held.st_size) == bytes) return true;
  errno = EIO;
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

int WriteBmp(DescriptorSink* sink, void* what) {
  BITMAP* bmp = static_cast<BITMAP*>(what);
  if (!RoomFor(sink->fd, BmpFileSize(bmp->w, bmp->h, bitmap_color_depth(bmp)))) return errno;
  PACKFILE* pf = WriteToDescriptor(sink);
  if (!pf) return ENOMEM;
  save_bmp_pf(pf, bmp, nullptr);
  pack_fclose(pf);
  return sink->error;
}

bool WriteAndPlace(int fd, const std::string& temp, const char* path, FileWriter write,
                   void* what) {
  if (fchmod(fd, kNewFileMode & ~CurrentUmask()) != 0) return false;
  DescriptorSink sink;
  sink.fd = fd;
  const int failed = write(&sink, what);
  if (!Flush(&sink) || failed) {
    errno = failed ? failed : sink.error;
    return false;
  }
  if (!Complete(fd, sink.total)) return false;
  return StillOurs(fd, temp) && std::rename(temp.c_str(), path) == 0;
}

// The private name keeps the file's own ending, so should it ever be left behind it still says
// what it holds.
std::string PrivateName(const char* path) {
  const std::string name = path;
  const std::size_t dot = name.rfind('.');
  const std::size_t slash = name.rfind('/');
  const bool ending = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  return ending ? name.substr(0, dot) + kPrivateMark + name.substr(dot) : name + kPrivateMark;
}

int EndingLength(const std::string& temp) {
  return static_cast<int>(temp.size() - temp.rfind(kPrivateMark) - std::strlen(kPrivateMark));
}

}  // namespace

std::size_t BmpFileSize(int width, int height, int depth) {
  const std::size_t pixel_bytes = depth == 8 ? 1 : 3;
  const std::size_t row = (static_cast<std::size_t>(width) * pixel_bytes + 3) / 4 * 4;
  const std::size_t palette = depth == 8 ? kPaletteBytes : 0;
  return kBmpHeaders + palette + row * static_cast<std::size_t>(height);
}

bool SaveWhole(const char* path, FileWriter write, void* what) {
  std::string temp = PrivateName(path);
  const int fd = mkstemps(temp.data(), EndingLength(temp));
  if (fd < 0) {
    Complain(path, CannotCreateIn(path, errno));
    return false;
  }
  const bool placed = WriteAndPlace(fd, temp, path, write, what);
  const int err = errno;
  close(fd);
  if (placed) return true;
  unlink(temp.c_str());
  if (err != ECANCELED) Complain(path, std::strerror(err));  // stopped on purpose: no fault
  return false;
}

bool SaveBitmapWhole(const char* path, BITMAP* bmp) {
  return SaveWhole(path, EndsWith(path, ".png") ? WritePng : WriteBmp, bmp);
}

std::string NewFileProblem(const char* path) {
  std::string probe = PrivateName(path);
  const int fd = mkstemps(probe.data(), EndingLength(probe));
  if (fd < 0) return CannotCreateIn(path, errno);
  close(fd);
  unlink(probe.c_str());
  return "";
}

bool EndsWith(const std::string& name, const char* ending) {
  const std::size_t n = std::strlen(ending);
  if (name.size() <= n || name[name.size() - n - 1] == '/') return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != ending[i])
      return false;
  return true;
}
