// The command line: what it takes, the lines it refuses (status 2, a line naming the problem and
// the usage on stderr, nothing on stdout), and --help and --version.
#include "cmdline.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>
#include <string>
#include <vector>

#include "helptext.h"
#include "say.h"
#include "stand.h"

namespace {

struct Outcome {
  int status;
  std::string out, err;
  Options options;
};

Outcome Read(std::vector<std::string> words) {
  words.insert(words.begin(), "inkstrip");
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  Outcome o;
  o.out = Captured(1, [&] {
    o.err = Captured(2, [&] {
      o.status = ReadCommandLine(static_cast<int>(words.size()), argv.data(), &o.options);
    });
  });
  return o;
}

constexpr const char* kUsage = "usage: inkstrip [--windowed] [--pace N] [--text TEXT]";

TEST(CommandLine, RefusedLinesNameTheProblemThenTheUsage) {
  const struct {
    std::vector<std::string> words;
    const char* problem;
  } kRefused[] = {
      {{"--pace"}, "--pace needs a value"},
      {{"--pace", "0"}, "not '0'"},
      {{"--pace", "-5"}, "not '-5'"},
      {{"--pace", "abc"}, "not 'abc'"},
      {{"--pace", "1e999"}, "not '1e999'"},
      {{"--pace", "2x"}, "not '2x'"},
      {{"--pace", "0x10"}, "not '0x10'"},
      {{"--pace", "nan"}, "not 'nan'"},
      {{"--pace", " 5"}, "not ' 5'"},
      {{"--pace", ""}, "not ''"},
      {{"--pace=0.009"}, "not '0.009'"},
      {{"--pace", "10000.5"}, "not '10000.5'"},
      {{"--pace", "1.2.3"}, "not '1.2.3'"},
      {{"--pace", "5e"}, "not '5e'"},
      // strtod takes a sign, which the rule of plain decimal does not.
      {{"--pace", "+5"}, "not '+5'"},
      {{"--pace", "+.5"}, "not '+.5'"},
      {{"--pace=+1e2"}, "not '+1e2'"},
      {{"--text", ""}, "--text needs something to write"},
      {{"--text", "caf\xE4\xB8\xAD"}, "cannot write '\xE4\xB8\xAD' (U+4E2D); it writes"},
      {{"--text", "a\tb"}, "cannot write U+0009 (a tab)"},
      {{"--text", "a\x07"}, "cannot write the control character U+0007"},
      {{"--text", "\xFF"}, "cannot write the byte 0xFF, which is not UTF-8"},
      {{"--text", "   "}, "--text has only spaces"},
      {{"--text"}, "--text needs a value"},
      {{"--output", "shot.jpg"}, "ending in .bmp or .png, not 'shot.jpg'"},
      {{"--output", "dir/.png"}, "not 'dir/.png'"},
      {{"--record", "pass.png"}, "ending in .gif or .webm, not 'pass.png'"},
      {{"--record", "pass.webm.mp4"}, "ending in .gif or .webm, not 'pass.webm.mp4'"},
      {{"--record", ".webm"}, "not '.webm'"},
      {{"--output", "a\nb.jpg"}, "not 'a\\nb.jpg'"},
      {{"--sprite", ""}, "--sprite takes a file name, not an empty one"},
      {{"--output", ""}, "--output takes a file name, not an empty one"},
      {{"--record", ""}, "--record takes a file name, not an empty one"},
      {{"--half"}, "--half goes with --record"},
      {{"--record", "a.gif", "--windowed"}, "--windowed has no place"},
      {{"--record", "a.gif", "--output", "b.png"}, "--output has no place"},
      {{"--fast"}, "unknown option '--fast'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--windowed=yes"}, "--windowed takes no value"},
      {{"stray"}, "unexpected argument 'stray'"},
      {{"--windowed", "--pace", "5", "extra"}, "unexpected argument 'extra'"},
      {{"--text-file", ""}, "--text-file needs a file name"},
      {{"--text-program", ""}, "--text-program needs a command"},
      {{"--text", "a", "--text-file", "-"}, "give one"},
      {{"--text-program", "fortune", "--text-file", "f"}, "give one"},
      {{"--text", "a", "--text-program", "fortune"}, "give one"},
      {{"--window-id", "0"}, "not '0'"},
      {{"--window-id", "0x"}, "not '0x'"},
      {{"--window-id", "-5"}, "not '-5'"},
      {{"--window-id", "+5"}, "not '+5'"},
      {{"--window-id", " 5"}, "not ' 5'"},
      {{"--window-id", "5 "}, "not '5 '"},
      {{"--window-id", "0x1g"}, "not '0x1g'"},
      {{"--window-id", "12ab"}, "not '12ab'"},
      {{"--window-id", "4294967296"}, "not '4294967296'"},
      {{"--window-id", "0x100000000"}, "not '0x100000000'"},
      {{"--window-id", "99999999999999999999999"}, "not '99999999999999999999999'"},
      {{"--window-id", "0x\n1"}, "not '0x\\n1'"},
      {{"-window-id"}, "--window-id needs a value"},
      {{"--root", "--window-id", "7"}, "give one"},
      {{"-root", "--fit"}, "--fit opens a screen of its own"},
      {{"--window-id", "7", "--windowed"}, "--windowed opens a window of its own"},
      {{"--root", "--output", "a.png"}, "--output has no place"},
      {{"--record", "a.gif", "--fit"}, "--fit, --root and --window-id have no place"},
      {{"--record", "a.gif", "-root"}, "--fit, --root and --window-id have no place"},
      {{"--half", "--fit"}, "--half goes with --record"},
      {{"-fit"}, "unknown option '-f'"},
      {{"--", "-root"}, "unexpected argument '-root'"},
  };
  for (const auto& line : kRefused) {
    const Outcome o = Read(line.words);
    SCOPED_TRACE(line.words.front() + (line.words.size() > 1 ? " " + line.words[1] : ""));
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    ASSERT_EQ(o.err.rfind("inkstrip: ", 0), 0u) << o.err;
    const std::size_t first = o.err.find('\n');
    EXPECT_NE(o.err.substr(0, first).find(line.problem), std::string::npos) << o.err;
    EXPECT_EQ(o.err.find(kUsage, first + 1), first + 1);
  }
}

TEST(CommandLine, TakesTheWindowAndThePaceInAnyForm) {
  Outcome o = Read({});
  EXPECT_EQ(o.status, kGoOn);
  EXPECT_FALSE(o.options.windowed);
  EXPECT_EQ(o.options.pace, 0);

  o = Read({"--pace", "0.5", "--windowed"});
  EXPECT_EQ(o.status, kGoOn);
  EXPECT_TRUE(o.options.windowed);
  EXPECT_EQ(o.options.pace, 0.5);
  EXPECT_EQ(o.out + o.err, "");

  for (const char* edge : {"0.01", "10000", "1e2", ".5", "7."}) {
    o = Read({std::string("--pace=") + edge});
    EXPECT_EQ(o.status, kGoOn) << edge << o.err;
    EXPECT_EQ(o.options.pace, std::stod(edge));
  }

  o = Read({"--text", " ~Hi, Ada! (1)", "--sprite", "pen.bmp", "--output", "Shot.PNG"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_EQ(o.options.text, " ~Hi, Ada! (1)");
  EXPECT_EQ(o.options.sprite, "pen.bmp");
  EXPECT_EQ(o.options.output, "Shot.PNG");
  o = Read({"--record", "pass.GIF", "--half", "--pace", "5"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_EQ(o.options.record, "pass.GIF");
  EXPECT_TRUE(o.options.half);
  o = Read({"--record", "pass.WebM", "--half", "--text", "Ada", "--vary", "--seed", "7"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_EQ(o.options.record, "pass.WebM");
  o = Read({"--text-file", "-", "--record", "a.gif"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_EQ(o.options.textfile, "-");
  o = Read({"--text-program=fortune -s"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_EQ(o.options.textprogram, "fortune -s");
}

// The size is the height of an x in whole pixels within its range, and the variation and its
// seed go only where they change something.
TEST(CommandLine, TheHandsSizeAndVariationKeepToTheirRanges) {
  const struct {
    std::vector<std::string> words;
    const char* problem;
  } kRefused[] = {
      {{"--text", "a", "--size", "23"}, "from 24 to 126, not '23'"},
      {{"--text", "a", "--size", "127"}, "not '127'"},
      {{"--text", "a", "--size", "4294967320"}, "not '4294967320'"},
      {{"--text", "a", "--size", "-30"}, "not '-30'"},
      {{"--text", "a", "--size", "30.5"}, "not '30.5'"},
      {{"--text", "a", "--size="}, "not ''"},
      {{"--size", "40"}, "--size goes with --text"},
      {{"--vary"}, "--vary goes with --text"},
      {{"--text", "a", "--seed", "7"}, "--seed goes with --vary"},
      {{"--text", "a", "--vary", "--seed", "4294967296"}, "from 0 to 4294967295, not"},
      {{"--text", "a", "--vary", "--seed", "-1"}, "not '-1'"},
  };
  for (const auto& line : kRefused) {
    const Outcome o = Read(line.words);
    EXPECT_EQ(o.status, 2) << line.problem;
    EXPECT_NE(o.err.substr(0, o.err.find('\n')).find(line.problem), std::string::npos) << o.err;
  }
  Outcome o = Read({"--text", "a", "--size", "24"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_EQ(o.options.hand.size, 24);
  EXPECT_FALSE(o.options.hand.vary);
  o = Read({"--size=126", "--vary", "--seed", "4294967295", "--text", "a"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_EQ(o.options.hand.size, 126);
  EXPECT_TRUE(o.options.hand.vary);
  EXPECT_EQ(o.options.hand.seed, 4294967295u);
  EXPECT_EQ(Read({"--text", "a"}).options.hand.size, kDefaultSize);
}

// Screensavers give the window in decimal or 0x hexadecimal, in single-dash options; the edges
// of the 32 bits of an X id are taken.
TEST(CommandLine, TakesTheScreensaverFormsOfTheWindow) {
  const struct {
    std::vector<std::string> words;
    unsigned long id;
  } kGiven[] = {
      {{"--window-id", "1"}, 1},
      {{"--window-id", "0x2a00007"}, 0x2a00007},
      {{"--window-id", "0X2A00007"}, 0x2a00007},
      {{"--window-id=4294967295"}, 0xFFFFFFFFul},
      {{"-window-id", "0xffffffff"}, 0xFFFFFFFFul},
      {{"--window-id", "010"}, 10},
      {{"--pace", "5", "-window-id", "77"}, 77},
  };
  for (const auto& line : kGiven) {
    const Outcome o = Read(line.words);
    SCOPED_TRACE(line.words.back());
    EXPECT_EQ(o.status, kGoOn) << o.err;
    EXPECT_EQ(o.options.windowid, line.id);
    EXPECT_FALSE(o.options.root);
  }
  Outcome o = Read({"-root", "--pace", "20"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_TRUE(o.options.root);
  EXPECT_EQ(o.options.pace, 20);
  o = Read({"--text", "-root"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_EQ(o.options.text, "-root");
  EXPECT_FALSE(o.options.root);
  o = Read({"--windowed", "--fit"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_TRUE(o.options.fit && o.options.windowed);
}

TEST(CommandLine, HelpAndVersionPrintOnStdoutAndEnd) {
  Outcome o = Read({"--help"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out.rfind(kUsage, 0), 0u);
  for (const char* told :
       {"--windowed",       "--pace N",           "--text TEXT",    "--sprite FILE",
        "--output FILE",    "--record FILE",      "FILE.gif",       "FILE.webm",
        "--half",           "--version",          "Escape",         "mouse button",
        "ball4.bmp",        "dump.bmp",           "share/inkstrip", "hershey-fonts-data",
        "Exit status",      "--size PX",          "--vary",         "--seed N",
        "--text-file FILE", "--text-program CMD", "live feed",      "--fit",
        "--root",           "--window-id ID",     "-window-id",     "XSCREENSAVER_WINDOW"})
    EXPECT_NE(o.out.find(told), std::string::npos) << told;
  EXPECT_EQ(Read({"--windowed", "-h", "--pace", "abc"}).status, 0);

  o = Read({"--version"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, std::string("inkstrip ") + INKSTRIP_VERSION + "\n");
  EXPECT_EQ(Read({"-V"}).out, o.out);
}

// As coreutils' close_stdout: output lost on a full disk makes the status 1 at exit, even after
// work that went well, with one line on stderr, and only one when it was said already.
TEST(CommandLine, StdoutThatCannotBeWrittenIsAFailureSaidOnce) {
  for (bool version : {false, true}) {
    int pipefd[2];
    ASSERT_EQ(pipe(pipefd), 0);
    const pid_t pid = fork();
    if (pid == 0) {
      CheckStdoutAtExit();
      dup2(open("/dev/full", O_WRONLY), STDOUT_FILENO);
      dup2(pipefd[1], STDERR_FILENO);
      if (!version) {
        std::printf("inkstrip: recorded 'pass.gif'\n");
        std::exit(0);
      }
      char* argv[] = {const_cast<char*>("inkstrip"), const_cast<char*>("--version"), nullptr};
      Options o;
      std::exit(ReadCommandLine(2, argv, &o));
    }
    close(pipefd[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    char said[256] = {};
    ASSERT_GE(read(pipefd[0], said, sizeof said - 1), 0);
    close(pipefd[0]);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << version << ": " << status;
    EXPECT_STREQ(said, "inkstrip: write error: No space left on device\n") << version;
  }
}

// XScreenSaver's settings put the speed slider's --pace after the command's own --pace 20.
TEST(CommandLine, TheLastPaceGivenCounts) {
  const Outcome o = Read({"-root", "--pace", "20", "--pace", "5"});
  EXPECT_EQ(o.status, kGoOn) << o.err;
  EXPECT_EQ(o.options.pace, 5);
}

}  // namespace

// The command line, --help and the manual page are all made from the one table: every option
// in it can be given, and is told of in both, all of its words kept and no line of the help
// wider than the usage.
TEST(CommandLine, EveryOptionOfTheTableIsTakenAndToldOfInTheHelpAndTheManual) {
  const std::string help = Read({"--help"}).out;
  std::string folded;
  for (char c : help) folded += c == '\n' ? ' ' : c;
  const std::string manual = ManualOptions();
  std::size_t entries = 0;
  for (std::size_t at = manual.find(".TP\n"); at != std::string::npos;
       at = manual.find(".TP\n", at + 1))
    ++entries;
  EXPECT_EQ(entries, kOptionCount);
  for (std::size_t i = 0; i < kOptionCount; ++i) {
    const OptionSpec& spec = kOptionTable[i];
    const std::string dashed = std::string("--") + spec.name;
    std::vector<std::string> words = {dashed};
    if (spec.value) words.push_back("x");
    EXPECT_EQ(Read(words).err.find("unknown option"), std::string::npos) << dashed;
    EXPECT_NE(
        help.find("\n  " + (spec.letter ? std::string("-") + spec.letter + ", " : "") + dashed),
        std::string::npos)
        << dashed;
    std::string last = Filled(spec.help);
    last = last.substr(last.rfind(' ') + 1);
    EXPECT_NE(folded.find(last), std::string::npos) << dashed << ": " << last;
    std::string roffed;
    for (char c : dashed) roffed += c == '-' ? std::string("\\-") : std::string(1, c);
    EXPECT_NE(manual.find(roffed), std::string::npos) << dashed;
  }
  std::istringstream lines(help);
  for (std::string line; std::getline(lines, line);) {
    std::size_t columns = 0;
    for (char c : line) columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    EXPECT_LE(columns, 96u) << line;
  }
}
