// Writes the manual page from its template, with the options written in from the program's own
// table, so that the manual, --help and the command line never disagree:
// build/manpage inkstrip.6.template inkstrip.6
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "helptext.h"

namespace {

constexpr const char* kMarker = ".\\\" OPTIONS:";

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: manpage TEMPLATE OUTPUT\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  std::ostringstream page;
  bool placed = false;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(kMarker, 0) == 0) {
      page << ManualOptions();
      placed = true;
    } else {
      page << line << '\n';
    }
  }
  if (!in.eof() || !placed) {
    std::cerr << "manpage: cannot read " << argv[1] << " or it has no line for the options\n";
    return 1;
  }
  std::ofstream out(argv[2]);
  out << page.str();
  out.close();
  if (!out) {
    std::cerr << "manpage: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
