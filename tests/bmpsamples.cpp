// Writes the sample BMP files into a folder: good/ and bad/, for the end-to-end tests and as the
// fuzz seed corpus. Usage: bmpsamples DIR
#include <sys/stat.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "bmpmaker.h"

namespace {

bool WriteOne(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  return static_cast<bool>(out);
}

bool WriteAll(const std::string& dir, const std::vector<NamedBmp>& files) {
  mkdir(dir.c_str(), 0755);
  for (const NamedBmp& f : files)
    if (!WriteOne(dir + "/" + f.name, f.bytes)) return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: bmpsamples DIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  mkdir(dir.c_str(), 0755);
  if (WriteAll(dir + "/good", GoodBmps()) && WriteAll(dir + "/bad", BadBmps()) &&
      WriteOne(dir + "/all-mask.bmp", AllMaskBmp()))
    return 0;
  std::fprintf(stderr, "bmpsamples: cannot write into %s\n", argv[1]);
  return 1;
}
