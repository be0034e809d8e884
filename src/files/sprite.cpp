// Finding ball4.bmp, reading it once, checking those bytes and loading the same bytes.
#include "sprite.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <filesystem>

#include "bmpcheck.h"
#include "packio.h"
#include "say.h"

#ifndef INKSTRIP_DATA_FROM_BIN
#error "the build gives INKSTRIP_DATA_FROM_BIN, the data directory relative to the program's"
#endif

namespace {

std::string OwnFile() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "";
  path[n] = '\0';
  return path;
}

// Anything of that name counts, a broken link too: its fault is then told, rather than
// another sprite taken from somewhere else.
bool SomethingThere(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0 || errno != ENOENT;
}

}  // namespace

std::vector<std::string> SpritePlaces(const std::string& exe) {
  std::vector<std::string> places = {kBallFile};
  if (exe.empty()) return places;
  const std::filesystem::path bin = std::filesystem::path(exe).parent_path();
  places.push_back((bin / INKSTRIP_DATA_FROM_BIN / kBallFile).lexically_normal().string());
  places.push_back((bin / kBallFile).string());
  return places;
}

std::string FindSprite(std::string* looked) {
  const std::vector<std::string> places = SpritePlaces(OwnFile());
  looked->clear();
  for (const std::string& place : places) {
    if (SomethingThere(place)) return place;
    const std::string dir = std::filesystem::path(place).parent_path().string();
    *looked += (looked->empty() ? "" : ", ") +
               (dir.empty() ? std::string("the working directory") : Quoted(dir));
  }
  return "";
}

BITMAP* LoadSprite(const std::vector<unsigned char>& bytes, std::string* why) {
  BITMAP* sprite = LoadBmpFromMemory(bytes);
  if (!sprite) {
    *why = "the library could not read it";
    return nullptr;
  }
  if (HasInk(sprite)) return sprite;
  *why = "every pixel is the mask colour (255, 0, 255), so nothing shows";
  destroy_bitmap(sprite);
  return nullptr;
}

bool ReadPen(const std::string& chosen, std::string* path, std::vector<unsigned char>* bytes) {
  std::string looked;
  *path = chosen.empty() ? FindSprite(&looked) : chosen;
  if (path->empty()) {
    Say(std::string("cannot find ") + kBallFile, "looked in " + looked);
    return false;
  }
  const std::string why = BmpFileProblem(path->c_str(), bytes);
  if (why.empty()) return true;
  Say("cannot use " + Quoted(*path), why);
  return false;
}

BITMAP* LoadPen(const std::vector<unsigned char>& bytes, const std::string& path) {
  std::string why;
  BITMAP* pen = LoadSprite(bytes, &why);
  if (!pen) Say("cannot use " + Quoted(path), why);
  return pen;
}
