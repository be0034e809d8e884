// The command line, read with getopt_long; numbers are read whole and checked for range, text
// for what the font can write, and file names for a format the program writes.
#include "cmdline.h"

#include <getopt.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "font.h"
#include "geometry.h"
#include "letters.h"
#include "safesave.h"
#include "say.h"
#include "screenshot.h"
#include "sprite.h"

#ifndef INKSTRIP_VERSION
#error "the build gives INKSTRIP_VERSION"
#endif

namespace {

constexpr double kSlowestPace = 0.01;   // curves a second: one every 100 s
constexpr double kFastestPace = 10000;  // curves a second, far past what a display can show
constexpr unsigned long kLargestSeed = 4294967295;  // the generator takes 32 bits
constexpr int kBadLine = 2;
constexpr int kWriteFailed = 1;
constexpr unsigned long kLargestWindowId = 0xFFFFFFFFul;  // X resource ids are 32 bits

constexpr const char* kUsage =
    "usage: inkstrip [--windowed] [--pace N] [--text TEXT] [--sprite FILE] [--output FILE]\n"
    "       inkstrip --fit [--windowed] [--pace N] [--text TEXT] [--sprite FILE] [--output FILE]\n"
    "       inkstrip --root | --window-id ID [--pace N] [--text TEXT] [--sprite FILE]\n"
    "       inkstrip --record FILE.gif [--half] [--pace N] [--text TEXT] [--sprite FILE]\n"
    "       with --text: [--size PX] [--vary [--seed N]]\n"
    "       (--text-file FILE or --text-program CMD in place of --text)\n"
    "       inkstrip --help | --version";

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// Made when asked for rather than before the program starts, where running out of memory
// could not be said.
std::string ScreenSize() { return std::to_string(kScreenW) + "x" + std::to_string(kScreenH); }
std::string PaceRange() { return Number(kSlowestPace) + " to " + Number(kFastestPace); }

std::string Help() {
  const std::string screen = ScreenSize();
  return R"(
Writes "Hello" and "world", or your own words, in joined-up handwriting on a strip that scrolls
left, full screen at )" +
         screen + R"(, until a mouse button is pressed.

  --windowed       write in a )" +
         screen + R"( window titled "inkstrip" instead of the full screen
  --fit            fill the display at its own size, with no change of mode, on the monitor
                   under the pointer: the )" +
         screen + R"( strip is scaled with its shape kept, black
                   bars where the shapes differ (--fit --pace 30); with --windowed, a
                   resizable window that the writing follows (--windowed --fit)
  --root           as a screensaver: write into the window in $XSCREENSAVER_WINDOW, or else
                   the root window, scaled to fit; no input is taken and nothing is saved
                   (in ~/.xscreensaver: "inkstrip --root --pace 20")
  --window-id ID   the same into window ID, decimal or 0x hexadecimal, as a screensaver's
                   preview gives it (--window-id 0x2a00007); -root and -window-id work too
  --pace N         write at most N curves a second, N from )" +
         PaceRange() + R"( (for example 0.5 or
                   30); without it the writing runs as fast as the machine allows. The script
                   is 44 curves a pass; with --text a curve joins two points of a letter's
                   stroke, 10 to 40 to a letter, and a few more curves let the strip run on
                   past a space: --pace 40 writes about two letters a second
  --text TEXT      write TEXT instead, in the Hershey script hand, on one line, pass after pass:
                   UTF-8: printable ASCII, the letters of Latin-1 and Latin Extended-A with
                   Ș ș Ț ț, and the quotes, dashes, … ¡ ¿ € £ ° people paste
                   (--text 'Happy birthday, Ada') (--text 'Grüße aus Łódź')
  --size PX        with --text: letters PX pixels tall, as the height of an x, a whole number
                   from )" +
         std::to_string(kSmallestSize) + " to " + std::to_string(kLargestSize) + "; " +
         std::to_string(kDefaultSize) + R"( by default, a line of a few words on the screen at once
                   (--size 60)
  --vary           with --text: every letter a little different, as a person writes: its
                   size, slant and baseline a few percent off the font's (--vary)
  --seed N         with --vary: vary as seed N does, 0 to )" +
         std::to_string(kLargestSeed) + R"(, the same every time,
                   so that a recording can be made again (--vary --seed 7); 0 without it
  --text-file FILE write the words of FILE, UTF-8 text, its lines joined by spaces, as --text
                   writes them (--text-file poem.txt); - reads standard input. A pipe or a
                   terminal still open a second after the start is a live feed: each line is
                   written once as it comes, and while nothing comes the pen rests and the
                   strip moves on (tail -f chat.log | inkstrip --text-file -)
  --text-program CMD  run CMD with /bin/sh before each pass and write what it prints, as
                   --text would (--text-program fortune); its first 4 KiB, within 10 s
  --sprite FILE    stamp FILE, a BMP image, instead of )" +
         kBallFile + R"( (--sprite pen.bmp)
  --output FILE    save the screenshot as FILE instead of )" +
         kDumpFile + R"(: a name ending in .bmp is
                   written as BMP, one ending in .png as PNG (--output ~/writing.png)
  --record FILE.gif  write one whole pass as an animated GIF, with no display at all, and end
                   (--record pass.gif); it prints the GIF's frames and size
  --half           with --record: half the size each way, every pixel the average of four
  --help           show this text and end
  --version        show the name and version and end

Mouse and keys:
  any mouse button  save the screen as )" +
         kDumpFile + R"( (or the --output file) and end
  Escape            end without saving (so does the window's close button)

Files:
  )" + kBallFile +
         R"(  the sprite, looked for in the working directory, then in ../share/inkstrip
             beside the program's own directory, then beside the program
  )" + kDumpFile +
         R"(   the screenshot, written to the working directory
  )" + kFontFile +
         R"(  the hand for --text (Debian's )" + kFontPackage + R"()

Exit status: 0 ended by a press or Escape, a recording made, or the window given by --root or
--window-id gone; 1 could not start, nothing to
write from the file or the program, could not save the screenshot or the recording, or lost the
display; 2 a bad command line; 128+N ended by signal N.
)";
}

enum OptionId {
  kHelpId = 'h',
  kVersionId = 'V',
  kWindowedId = 256,
  kPaceId,
  kTextId,
  kSpriteId,
  kOutputId,
  kRecordId,
  kHalfId,
  kSizeId,
  kVaryId,
  kSeedId,
  kTextFileId,
  kTextProgramId,
  kFitId,
  kRootId,
  kWindowIdId
};

const struct option kOptions[] = {
    {"help", no_argument, nullptr, kHelpId},
    {"version", no_argument, nullptr, kVersionId},
    {"windowed", no_argument, nullptr, kWindowedId},
    {"pace", required_argument, nullptr, kPaceId},
    {"text", required_argument, nullptr, kTextId},
    {"sprite", required_argument, nullptr, kSpriteId},
    {"output", required_argument, nullptr, kOutputId},
    {"record", required_argument, nullptr, kRecordId},
    {"half", no_argument, nullptr, kHalfId},
    {"size", required_argument, nullptr, kSizeId},
    {"vary", no_argument, nullptr, kVaryId},
    {"seed", required_argument, nullptr, kSeedId},
    {"text-file", required_argument, nullptr, kTextFileId},
    {"text-program", required_argument, nullptr, kTextProgramId},
    {"fit", no_argument, nullptr, kFitId},
    {"root", no_argument, nullptr, kRootId},
    {"window-id", required_argument, nullptr, kWindowIdId},
    {nullptr, 0, nullptr, 0},
};

int BadLine(const std::string& problem) {
  std::fprintf(stderr, "inkstrip: %s\n%s\n", problem.c_str(), kUsage);
  return kBadLine;
}

// As coreutils does: text that could not be written out is a failure, said on stderr.
int Printed() { return StdoutWritten() ? 0 : kWriteFailed; }

// A file name is never empty: an empty one would quietly stand for the default, or for nothing.
std::string NameProblem(const char* option, const char* name) {
  if (name[0] == '\0') return std::string(option) + " takes a file name, not an empty one";
  return "";
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

// A whole number from lowest to highest, in plain decimal digits.
bool ReadWhole(const char* text, unsigned long lowest, unsigned long highest,
               unsigned long* value) {
  if (text[0] == '\0' || std::strspn(text, "0123456789") != std::strlen(text)) return false;
  errno = 0;
  const unsigned long read = std::strtoul(text, nullptr, 10);
  if (errno == ERANGE || read < lowest || read > highest) return false;
  *value = read;
  return true;
}

// The words come from one place only.
std::string SourcesProblem(const Options& o) {
  const int sources = !o.text.empty() + !o.textfile.empty() + !o.textprogram.empty();
  if (sources > 1) return "--text, --text-file and --text-program each give the words: give one";
  return "";
}

// What the options say together, once all are read.
// Screensavers start their programs with single-dash options; only those two words are taken
// so, and only where an option may stand: never as the value of another option, nor after "--".
std::vector<char*> DoubleDashed(int argc, char** argv) {
  static char root[] = "--root";
  static char windowid[] = "--window-id";
  std::vector<char*> words(argv, argv + argc);
  for (int i = 1; i < argc; ++i) {
    const std::string word = argv[i];
    if (word == "--") break;
    if (word == "-root") words[i] = root;
    if (word == "-window-id") words[i] = windowid;
    for (const char* valued :
         {"--pace", "--text", "--sprite", "--output", "--record", "--size", "--seed", "--text-file",
          "--text-program", "--window-id", "-window-id"})
      if (word == valued) ++i;
  }
  words.push_back(nullptr);
  return words;
}

std::string RecordProblem(const Options& o) {
  if (o.windowed) return "--record opens no display, so --windowed has no place beside it";
  if (!o.output.empty()) return "--record saves no screenshot, so --output has no place beside it";
  if (o.fit || o.root || o.windowid)
    return "--record opens no display, so --fit, --root and --window-id have no place beside it";
  return "";
}

std::string GivenWindowProblem(const Options& o) {
  if (o.root && o.windowid) return "--root and --window-id each name the window; give one";
  if (o.fit) return "--fit opens a screen of its own; --root and --window-id draw into another's";
  if (o.windowed)
    return "--windowed opens a window of its own; --root and --window-id draw into another's";
  if (!o.output.empty())
    return "--root and --window-id take no input and save no screenshot, so --output has no "
           "place beside them";
  return "";
}

std::string LineProblem(const Options& o, bool sized, bool seeded) {
  if (const std::string why = SourcesProblem(o); !why.empty()) return why;
  const bool words = !o.text.empty() || !o.textfile.empty() || !o.textprogram.empty();
  if (sized && !words) return "--size goes with --text, --text-file or --text-program";
  if (o.hand.vary && !words) return "--vary goes with --text, --text-file or --text-program";
  if (seeded && !o.hand.vary) return "--seed goes with --vary";
  if (!o.record.empty()) return RecordProblem(o);
  if (o.half) return "--half goes with --record";
  if (IntoGivenWindow(o)) return GivenWindowProblem(o);
  return "";
}

// What getopt_long turned down: an unknown short option shows in optopt; a long one, known or
// not, is the word it has just stepped past.
std::string GetoptProblem(char** argv) {
  if (optopt > 0 && optopt < 128 && std::isprint(optopt) && !std::strchr("hV", optopt))
    return "unknown option " + Quoted(std::string("-") + static_cast<char>(optopt));
  const std::string word = argv[optind - 1];
  const std::size_t equals = word.find('=');
  if (optopt != 0 && equals != std::string::npos) return word.substr(0, equals) + " takes no value";
  return "unknown option " + Quoted(word.substr(0, equals));
}

}  // namespace

bool ReadWindowId(const char* text, unsigned long* id) {
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text + 2 : text;
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits[0] == '\0' || std::strspn(digits, allowed) != std::strlen(digits)) return false;
  errno = 0;
  const unsigned long long value = std::strtoull(digits, nullptr, hex ? 16 : 10);
  if (errno == ERANGE || value == 0 || value > kLargestWindowId) return false;
  *id = static_cast<unsigned long>(value);
  return true;
}

bool IntoGivenWindow(const Options& options) { return options.root || options.windowid != 0; }

bool Scaled(const Options& options) { return options.fit || IntoGivenWindow(options); }

int ReadCommandLine(int argc, char** argv_given, Options* options) {
  std::vector<char*> words = DoubleDashed(argc, argv_given);
  char** argv = words.data();
  opterr = 0;
  optind = 0;  // starts glibc's scan afresh, so the line can be read more than once
  int id;
  bool sized = false, seeded = false;
  unsigned long whole = 0;
  while ((id = getopt_long(argc, argv, ":hV", kOptions, nullptr)) != -1) {
    switch (id) {
      case kHelpId:
        std::printf("%s\n%s", kUsage, Help().c_str());
        return Printed();
      case kVersionId:
        std::printf("inkstrip %s\n", INKSTRIP_VERSION);
        return Printed();
      case kWindowedId:
        options->windowed = true;
        break;
      case kPaceId:
        if (!ReadPace(optarg, &options->pace))
          return BadLine("--pace takes a number of curves a second from " + PaceRange() + ", not " +
                         Quoted(optarg));
        break;
      case kTextId:
        if (const std::string why = TextProblem(optarg); !why.empty()) return BadLine(why);
        options->text = optarg;
        break;
      case kSpriteId:
        if (const std::string why = NameProblem("--sprite", optarg); !why.empty())
          return BadLine(why);
        options->sprite = optarg;
        break;
      case kOutputId:
        if (const std::string why = NameProblem("--output", optarg); !why.empty())
          return BadLine(why);
        if (!EndsWith(optarg, ".bmp") && !EndsWith(optarg, ".png"))
          return BadLine("--output takes a file name ending in .bmp or .png, not " +
                         Quoted(optarg));
        options->output = optarg;
        break;
      case kRecordId:
        if (const std::string why = NameProblem("--record", optarg); !why.empty())
          return BadLine(why);
        if (!EndsWith(optarg, ".gif"))
          return BadLine("--record takes a file name ending in .gif, not " + Quoted(optarg));
        options->record = optarg;
        break;
      case kHalfId:
        options->half = true;
        break;
      case kSizeId:
        if (!ReadWhole(optarg, kSmallestSize, kLargestSize, &whole))
          return BadLine("--size takes the height of an x in pixels, a whole number from " +
                         std::to_string(kSmallestSize) + " to " + std::to_string(kLargestSize) +
                         ", not " + Quoted(optarg));
        options->hand.size = static_cast<int>(whole);
        sized = true;
        break;
      case kVaryId:
        options->hand.vary = true;
        break;
      case kSeedId:
        if (!ReadWhole(optarg, 0, kLargestSeed, &whole))
          return BadLine(std::string("--seed takes a whole number from 0 to ") +
                         std::to_string(kLargestSeed) + ", not " + Quoted(optarg));
        options->hand.seed = static_cast<unsigned>(whole);
        seeded = true;
        break;
      case kTextFileId:
        if (!*optarg) return BadLine("--text-file needs a file name, or - for standard input");
        options->textfile = optarg;
        break;
      case kTextProgramId:
        if (!*optarg) return BadLine("--text-program needs a command");
        options->textprogram = optarg;
        break;
      case kFitId:
        options->fit = true;
        break;
      case kRootId:
        options->root = true;
        break;
      case kWindowIdId:
        if (!ReadWindowId(optarg, &options->windowid))
          return BadLine("--window-id takes a window id, decimal or 0x hexadecimal, not " +
                         Quoted(optarg));
        break;
      case ':':
        return BadLine(std::string(argv[optind - 1]) + " needs a value");
      default:
        return BadLine(GetoptProblem(argv));
    }
  }
  if (optind < argc) return BadLine("unexpected argument " + Quoted(argv[optind]));
  if (const std::string why = LineProblem(*options, sized, seeded); !why.empty())
    return BadLine(why);
  return kGoOn;
}
