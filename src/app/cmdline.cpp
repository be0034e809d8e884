// The command line, read with getopt_long from the option table; numbers are read whole and
// checked for range, text for what the font can write, and file names for a format the
// program writes.
#include "cmdline.h"

#include <getopt.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "helptext.h"
#include "letters.h"
#include "safesave.h"
#include "say.h"
#include "xwindows.h"

#ifndef INKSTRIP_VERSION
#error "the build gives INKSTRIP_VERSION"
#endif

namespace {

constexpr int kBadLine = 2;
constexpr int kFirstLongId = 256;  // getopt_long ids above any one-letter option's

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

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
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

// The readers of the options' values, in the table's order; an option that takes no value
// only raises its flag.

template <bool Options::*flag>
std::string Raise(const char*, Options* o) {
  o->*flag = true;
  return "";
}

std::string SetPace(const char* value, Options* o) {
  if (ReadPace(value, &o->pace)) return "";
  return "--pace takes a number of curves a second from " + PaceRange() + ", not " + Quoted(value);
}

std::string SetText(const char* value, Options* o) {
  if (std::string why = TextProblem(value); !why.empty()) return why;
  o->text = value;
  return "";
}

std::string SetSize(const char* value, Options* o) {
  unsigned long size = 0;
  if (!ReadWhole(value, kSmallestSize, kLargestSize, &size))
    return "--size takes the height of an x in pixels, a whole number from " +
           std::to_string(kSmallestSize) + " to " + std::to_string(kLargestSize) + ", not " +
           Quoted(value);
  o->hand.size = static_cast<int>(size);
  o->sized = true;
  return "";
}

std::string SetVary(const char*, Options* o) {
  o->hand.vary = true;
  return "";
}

std::string SetSeed(const char* value, Options* o) {
  unsigned long seed = 0;
  if (!ReadWhole(value, 0, kLargestSeed, &seed))
    return "--seed takes a whole number from 0 to " + std::to_string(kLargestSeed) + ", not " +
           Quoted(value);
  o->hand.seed = static_cast<unsigned>(seed);
  o->seeded = true;
  return "";
}

std::string SetTextFile(const char* value, Options* o) {
  if (!*value) return "--text-file needs a file name, or - for standard input";
  o->textfile = value;
  return "";
}

std::string SetTextProgram(const char* value, Options* o) {
  if (!*value) return "--text-program needs a command";
  o->textprogram = value;
  return "";
}

std::string SetSprite(const char* value, Options* o) {
  if (std::string why = NameProblem("--sprite", value); !why.empty()) return why;
  o->sprite = value;
  return "";
}

std::string SetOutput(const char* value, Options* o) {
  if (std::string why = NameProblem("--output", value); !why.empty()) return why;
  if (!EndsWith(value, ".bmp") && !EndsWith(value, ".png"))
    return "--output takes a file name ending in .bmp or .png, not " + Quoted(value);
  o->output = value;
  return "";
}

std::string SetRecord(const char* value, Options* o) {
  if (std::string why = NameProblem("--record", value); !why.empty()) return why;
  if (!EndsWith(value, ".gif") && !EndsWith(value, ".webm"))
    return "--record takes a file name ending in .gif or .webm, not " + Quoted(value);
  o->record = value;
  return "";
}

std::string SetWindowId(const char* value, Options* o) {
  if (ReadWindowId(value, &o->windowid)) return "";
  return "--window-id takes a window id, decimal or 0x hexadecimal, not " + Quoted(value);
}

}  // namespace

const OptionSpec kOptionTable[] = {
    {"windowed", 0, nullptr, Raise<&Options::windowed>,
     "write in a {screen} window titled \"inkstrip\" instead of the full screen",
     "The pixels are the same; the display must still be at least {screen}."},
    {"fit", 0, nullptr, Raise<&Options::fit>,
     "fill the display at its own size, with no change of mode, on the monitor under the "
     "pointer: the {screen} strip is scaled with its shape kept, black bars where the shapes "
     "differ (--fit --pace 30); with --windowed, a resizable window that the writing follows "
     "(--windowed --fit)",
     "A press still saves the {screen} screen itself."},
    {"root", 0, nullptr, Raise<&Options::root>,
     "as a screensaver: write into the window in $XSCREENSAVER_WINDOW, or else the root window, "
     "scaled to fit; no input is taken and nothing is saved (in ~/.xscreensaver: \"inkstrip "
     "--root --pace 20\")",
     "Nothing is grabbed; the program ends by SIGTERM, or quietly with status 0 when the window "
     "is destroyed. -root is taken too."},
    {"window-id", 0, "ID", SetWindowId,
     "the same into window ID, decimal or 0x hexadecimal, as a screensaver's preview gives it "
     "(--window-id 0x2a00007); -root and -window-id work too",
     nullptr},
    {"pace", 0, "N", SetPace,
     "write at most N curves a second, N from {pace-range} (for example 0.5 or 30); without it "
     "the writing runs as fast as the machine allows. The script is 44 curves a pass; with "
     "--text a curve joins two points of a letter's stroke, 10 to 40 to a letter, and a few "
     "more curves let the strip run on past a space: --pace 40 writes about two letters a "
     "second",
     "The stamps of each curve are spread over its share of the time, so the pen is seen moving "
     "along it. The pixels and the screenshot are those of an unpaced run; with --record it "
     "times the frames instead."},
    {"text", 0, "TEXT", SetText,
     "write TEXT instead, in the Hershey script hand, on one line, pass after pass: UTF-8: "
     "printable ASCII, the letters of Latin-1 and Latin Extended-A with Ș ș Ț ț, and the "
     "quotes, dashes, … ¡ ¿ € £ ° people paste (--text 'Happy birthday, Ada') (--text 'Grüße "
     "aus Łódź')",
     "The pen writes near one spot while the finished words travel left. Anything else is "
     "refused, naming its code point, or its bytes when the text is not UTF-8. Each word is one "
     "line of the pen, the letters joined as a hand joins them; the pen lifts between words, "
     "and for the dots of i and j, the cross of t, the second stroke of x and the accents, "
     "which it makes once the word is written. Unless --sprite chooses the pen, it is a small "
     "pale disc in proportion to the size."},
    {"size", 0, "PX", SetSize,
     "with --text: letters PX pixels tall, as the height of an x, a whole number from {sizes}; "
     "{default-size} by default, a line of a few words on the screen at once (--size 60)",
     "Capitals and the loops of tall letters rise about 2.3 times as high."},
    {"vary", 0, nullptr, SetVary,
     "with --text: every letter a little different, as a person writes: its size, slant and "
     "baseline a few percent off the font's (--vary)",
     nullptr},
    {"seed", 0, "N", SetSeed,
     "with --vary: vary as seed N does, {seeds}, the same every time, so that a recording can "
     "be made again (--vary --seed 7); 0 without it",
     nullptr},
    {"text-file", 0, "FILE", SetTextFile,
     "write the words of FILE, UTF-8 text, its lines joined by spaces, as --text writes them "
     "(--text-file poem.txt); - reads standard input. A pipe or a terminal still open a second "
     "after the start is a live feed: each line is written once as it comes, and while nothing "
     "comes the pen rests and the strip moves on (tail -f chat.log | inkstrip --text-file -)",
     "LF or CRLF; the break after the last line adds nothing; a tab counts as a space. A "
     "regular file, or a pipe or terminal that ends within a second, is read whole, up to 64 "
     "KiB; a line that cannot be written is refused, naming the line. A line of a feed that "
     "cannot be written, or is longer than 4 KiB, is named on standard error and skipped. With "
     "--record, a feed is recorded until it ends, without the waits between its lines."},
    {"text-program", 0, "CMD", SetTextProgram,
     "run CMD with /bin/sh before each pass and write what it prints, as --text would "
     "(--text-program fortune); its first 4 KiB, within 10 s",
     "Its standard input is /dev/null. A run that fails or prints nothing is said on standard "
     "error and the last words are written again; when the first run gives nothing the program "
     "ends with status 1. --text, --text-file and --text-program exclude one another."},
    {"sprite", 0, "FILE", SetSprite,
     "stamp FILE, a BMP image, instead of {ball} (--sprite pen.bmp)",
     "It is checked as {ball} is, before the display opens."},
    {"output", 0, "FILE", SetOutput,
     "save the screenshot as FILE instead of {dump}: a name ending in .bmp is written as BMP, "
     "one ending in .png as PNG (--output ~/writing.png)",
     "The pixels are the same. A directory that cannot take the file is refused before the "
     "display opens."},
    {"record", 0, "FILE", SetRecord,
     "write one whole pass with no display at all, and end: FILE.gif as an animated GIF "
     "(--record pass.gif), FILE.webm as a VP9 video in WebM, 30 frames a second of the pass's "
     "own time, the pen seen moving along its curves (--record pass.webm); it prints the "
     "frames and the size",
     "In a GIF the script gets a frame at the start of every curve, exactly the screen a press "
     "would save there, and the finished screen last; a text gets a frame every 140 stamps. "
     "When the pen has more than 255 colours they are quantized, and it says so. A video's "
     "frames are timed as the GIF's are (ten of the script's curves a second, or --pace), each "
     "the screen as the pass has drawn it by then; the finished screen is held a second. Its "
     "colours are BT.601 limited range with the chroma halved each way; its PSNR against the "
     "screen each frame shows is at least 35 dB (33 dB with --half). Every option that goes "
     "with a GIF goes with a video; any other ending than .gif or .webm is refused."},
    {"half", 0, nullptr, Raise<&Options::half>,
     "with --record: half the size each way, every pixel the average of four, in linear light",
     nullptr},
    {"help", 'h', nullptr, nullptr, "show this text and end",
     "The usage, the options, the keys and the files, on standard output."},
    {"version", 'V', nullptr, nullptr, "show the name and version and end", nullptr},
};

const std::size_t kOptionCount = std::size(kOptionTable);

namespace {

// The words come from one place only.
std::string SourcesProblem(const Options& o) {
  const int sources = !o.text.empty() + !o.textfile.empty() + !o.textprogram.empty();
  if (sources > 1) return "--text, --text-file and --text-program each give the words: give one";
  return "";
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

std::string LineProblem(const Options& o) {
  if (const std::string why = SourcesProblem(o); !why.empty()) return why;
  const bool words = !o.text.empty() || !o.textfile.empty() || !o.textprogram.empty();
  if (o.sized && !words) return "--size goes with --text, --text-file or --text-program";
  if (o.hand.vary && !words) return "--vary goes with --text, --text-file or --text-program";
  if (o.seeded && !o.hand.vary) return "--seed goes with --vary";
  if (!o.record.empty()) return RecordProblem(o);
  if (o.half) return "--half goes with --record";
  if (IntoGivenWindow(o)) return GivenWindowProblem(o);
  return "";
}

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
    const std::string dashed = words[i];
    for (const OptionSpec& spec : kOptionTable)
      if (spec.value && dashed == std::string("--") + spec.name) {
        ++i;
        break;
      }
  }
  words.push_back(nullptr);
  return words;
}

// getopt_long's id for the option at i in the table: a one-letter form stands for itself, the
// others for their place.
int IdOf(std::size_t i) {
  return kOptionTable[i].letter ? kOptionTable[i].letter : kFirstLongId + static_cast<int>(i);
}

std::vector<option> GetoptTable() {
  std::vector<option> table;
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    const OptionSpec& spec = kOptionTable[i];
    table.push_back({spec.name, spec.value ? required_argument : no_argument, nullptr, IdOf(i)});
  }
  table.push_back({nullptr, 0, nullptr, 0});
  return table;
}

std::string Letters() {
  std::string letters = ":";
  for (const OptionSpec& spec : kOptionTable)
    if (spec.letter) letters += spec.letter;
  return letters;
}

// What getopt_long turned down: an unknown short option shows in optopt; a long one, known or
// not, is the word it has just stepped past.
std::string GetoptProblem(char** argv) {
  if (optopt > 0 && optopt < 128 && std::isprint(optopt) &&
      Letters().find(static_cast<char>(optopt)) == std::string::npos)
    return "unknown option " + Quoted(std::string("-") + static_cast<char>(optopt));
  const std::string word = argv[optind - 1];
  const std::size_t equals = word.find('=');
  if (optopt != 0 && equals != std::string::npos) return word.substr(0, equals) + " takes no value";
  return "unknown option " + Quoted(word.substr(0, equals));
}

const OptionSpec* SpecFor(int id) {
  for (std::size_t i = 0; i < kOptionCount; ++i)
    if (IdOf(i) == id) return &kOptionTable[i];
  return nullptr;
}

// --help and --version end the reading at once, whatever else the line holds.
int Ending(const OptionSpec& spec) {
  if (spec.letter == 'h') {
    std::printf("%s\n%s", kUsage, HelpText().c_str());
  } else {
    std::printf("inkstrip %s\n", INKSTRIP_VERSION);
  }
  return Printed();
}

}  // namespace

std::string PaceRange() { return Number(kSlowestPace) + " to " + Number(kFastestPace); }

bool IntoGivenWindow(const Options& options) { return options.root || options.windowid != 0; }

bool Scaled(const Options& options) { return options.fit || IntoGivenWindow(options); }

int ReadCommandLine(int argc, char** argv_given, Options* options) {
  std::vector<char*> words = DoubleDashed(argc, argv_given);
  char** argv = words.data();
  const std::vector<option> table = GetoptTable();
  const std::string letters = Letters();
  opterr = 0;
  optind = 0;  // starts glibc's scan afresh, so the line can be read more than once
  int id;
  while ((id = getopt_long(argc, argv, letters.c_str(), table.data(), nullptr)) != -1) {
    if (id == ':') return BadLine(std::string(argv[optind - 1]) + " needs a value");
    const OptionSpec* spec = SpecFor(id);
    if (!spec) return BadLine(GetoptProblem(argv));
    if (!spec->read) return Ending(*spec);
    if (const std::string why = spec->read(optarg, options); !why.empty()) return BadLine(why);
  }
  if (optind < argc) return BadLine("unexpected argument " + Quoted(argv[optind]));
  if (const std::string why = LineProblem(*options); !why.empty()) return BadLine(why);
  return kGoOn;
}
