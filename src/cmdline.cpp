// The command line, read with getopt_long; numbers are read whole and checked for range.
#include "cmdline.h"

#include <getopt.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "say.h"

#ifndef INKSTRIP_VERSION
#error "the build gives INKSTRIP_VERSION"
#endif

namespace {

constexpr double kSlowestPace = 0.01;   // curves a second: one every 100 s
constexpr double kFastestPace = 10000;  // curves a second, far past what a display can show
constexpr int kBadLine = 2;
constexpr int kWriteFailed = 1;

constexpr const char* kUsage = "usage: inkstrip [--windowed] [--pace N] [--help] [--version]";

constexpr const char* kHelp = R"(
Writes "Hello" and "world" in joined-up handwriting on a strip that scrolls left, full screen at
1024x768, until a mouse button is pressed.

  --windowed   write in a 1024x768 window titled "inkstrip" instead of the full screen
  --pace N     write at most N curves a second, N from 0.01 to 10000 (for example 0.5 or 30);
               without it the writing runs as fast as the machine allows
  --help       show this text and end
  --version    show the name and version and end

Mouse and keys:
  any mouse button  save the screen as dump.bmp in the working directory and end
  Escape            end without saving (so does the window's close button)

Files:
  ball4.bmp  the sprite, looked for in the working directory, then in ../share/inkstrip
             beside the program's own directory, then beside the program
  dump.bmp   the screenshot, written to the working directory

Exit status: 0 ended by a press or Escape; 1 could not start, could not save dump.bmp or lost
the display; 2 a bad command line; 128+N ended by signal N.
)";

enum OptionId { kHelpId = 'h', kVersionId = 'V', kWindowedId = 256, kPaceId };

const struct option kOptions[] = {
    {"help", no_argument, nullptr, kHelpId},
    {"version", no_argument, nullptr, kVersionId},
    {"windowed", no_argument, nullptr, kWindowedId},
    {"pace", required_argument, nullptr, kPaceId},
    {nullptr, 0, nullptr, 0},
};

int BadLine(const std::string& problem) {
  std::fprintf(stderr, "inkstrip: %s\n%s\n", problem.c_str(), kUsage);
  return kBadLine;
}

// As coreutils does: text that could not be written out is a failure, said on stderr.
int Printed() {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return 0;
  Say("write error", std::strerror(errno));
  return kWriteFailed;
}

// Plain decimal only: no sign, no spaces, no hexadecimal, no "inf" or "nan".
bool ReadPace(const char* text, double* pace) {
  if (text[0] == '\0' || std::strspn(text, "0123456789.eE+-") != std::strlen(text)) return false;
  if (!(std::isdigit(static_cast<unsigned char>(text[0])) || text[0] == '.')) return false;
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text, &end);
  if (*end != '\0' || errno == ERANGE) return false;
  if (!(value >= kSlowestPace && value <= kFastestPace)) return false;
  *pace = value;
  return true;
}

// What getopt_long turned down: an unknown short option shows in optopt; a long one, known or
// not, is the word it has just stepped past.
std::string GetoptProblem(char** argv) {
  if (optopt > 0 && optopt < 128 && std::isprint(optopt) && !std::strchr("hV", optopt))
    return std::string("unknown option '-") + static_cast<char>(optopt) + "'";
  const std::string word = argv[optind - 1];
  const std::size_t equals = word.find('=');
  if (optopt != 0 && equals != std::string::npos) return word.substr(0, equals) + " takes no value";
  return "unknown option '" + word.substr(0, equals) + "'";
}

}  // namespace

int ReadCommandLine(int argc, char** argv, Options* options) {
  opterr = 0;
  optind = 0;  // starts glibc's scan afresh, so the line can be read more than once
  int id;
  while ((id = getopt_long(argc, argv, ":hV", kOptions, nullptr)) != -1) {
    switch (id) {
      case kHelpId:
        std::printf("%s\n%s", kUsage, kHelp);
        return Printed();
      case kVersionId:
        std::printf("inkstrip %s\n", INKSTRIP_VERSION);
        return Printed();
      case kWindowedId:
        options->windowed = true;
        break;
      case kPaceId:
        if (!ReadPace(optarg, &options->pace))
          return BadLine(std::string("--pace takes a number of curves a second from 0.01 to ") +
                         "10000, not '" + optarg + "'");
        break;
      case ':':
        return BadLine(std::string(argv[optind - 1]) + " needs a value");
      default:
        return BadLine(GetoptProblem(argv));
    }
  }
  if (optind < argc) return BadLine(std::string("unexpected argument '") + argv[optind] + "'");
  return kGoOn;
}
