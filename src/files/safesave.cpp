// Saving a file so that the named file ends up either as the whole new file or as it was. The
// library's own save truncates the file first, follows links and does not check its close, so
// every file goes through the descriptor of a fresh private file, which only replaces the real
// one once it is complete.
#include "safesave.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "pngsave.h"
#include "say.h"
#include "utf8.h"

namespace {

constexpr std::size_t kBmpHeaders = 14 + 40;                 // file header + info header, bytes
constexpr std::size_t kPaletteBytes = std::size_t{256} * 4;  // written only for 8-bit images
constexpr const char* kPrivateMark = ".XXXXXX";              // mkstemps makes it unique
constexpr mode_t kNewFileMode = 0666;  // before the umask, as for any new file
// Bytes in one name of a path, on Linux's own filesystems.
constexpr std::size_t kLongestName = NAME_MAX;

void Complain(const char* path, const std::string& why) {
  Say("cannot write " + Quoted(path), why);
}

std::string DirectoryOf(const char* path) {
  const std::string name = path;
  const std::size_t slash = name.rfind('/');
  return slash == std::string::npos ? "." : name.substr(0, slash + 1);
}

bool Unchangeable(const char* path) {
  const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return false;  // cannot tell: the rename will say
  int flags = 0;
  const bool got = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  close(fd);
  return got && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
}

// A new file that cannot be made is the directory's doing, not the file's, so say which.
std::string CannotCreateIn(const char* path, int err) {
  std::string dir = DirectoryOf(path);
  char real[PATH_MAX];
  if (realpath(dir.c_str(), real)) dir = real;
  return "cannot make a new file in the directory " + Quoted(dir) + " (" + std::strerror(err) + ")";
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
// what it holds. Its stem gives way to the mark, cut at a character's start, so that the private
// name fits wherever the final one does.
std::string PrivateName(const char* path) {
  const std::string name = path;
  const std::size_t slash = name.rfind('/');
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot < base) dot = name.size();
  if (name.size() - dot + std::strlen(kPrivateMark) > kLongestName) dot = name.size();
  const std::size_t ending = name.size() - dot;
  const std::size_t room =
      kLongestName - std::min(kLongestName, ending + std::strlen(kPrivateMark));
  const std::size_t stem =
      CharacterStart(name.substr(base, dot - base), std::min(dot - base, room));
  return name.substr(0, base + stem) + kPrivateMark + name.substr(dot);
}

int EndingLength(const std::string& temp) {
  return static_cast<int>(temp.size() - temp.rfind(kPrivateMark) - std::strlen(kPrivateMark));
}

// What stands at the name must give way to the rename: a directory never does, nor, in a
// directory that keeps each file for its owner (the sticky bit, as /tmp has), another user's
// file, nor a file marked immutable or append-only.
std::string KeptInPlace(const char* path) {
  struct stat there, dir;
  if (lstat(path, &there) != 0) return "";
  if (S_ISDIR(there.st_mode)) return "it is a directory";
  const uid_t me = geteuid();  // root may replace anyone's file
  if (stat(DirectoryOf(path).c_str(), &dir) == 0 && (dir.st_mode & S_ISVTX) && me != 0 &&
      there.st_uid != me && dir.st_uid != me)
    return "it belongs to another user in a directory that lets only its owner replace it";
  if (S_ISREG(there.st_mode) && Unchangeable(path))
    return "it is marked immutable or append-only, so it cannot be replaced";
  return "";
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

// No signal can end the program while the probe exists, so it is never left behind.
std::string NewFileProblem(const char* path) {
  std::string probe = PrivateName(path);
  sigset_t all, old;
  sigfillset(&all);
  pthread_sigmask(SIG_BLOCK, &all, &old);
  const int fd = mkstemps(probe.data(), EndingLength(probe));
  const int err = errno;
  if (fd >= 0) {
    close(fd);
    unlink(probe.c_str());
  }
  pthread_sigmask(SIG_SETMASK, &old, nullptr);
  if (fd < 0) return CannotCreateIn(path, err);
  return KeptInPlace(path);
}

bool EndsWith(const std::string& name, const char* ending) {
  const std::size_t n = std::strlen(ending);
  if (name.size() <= n || name[name.size() - n - 1] == '/') return false;
  for (std::size_t i = 0; i < n; ++i)
    if (std::tolower(static_cast<unsigned char>(name[name.size() - n + i])) != ending[i])
      return false;
  return true;
}
