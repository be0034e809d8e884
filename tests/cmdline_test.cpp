// The command line: what it takes, the lines it refuses (status 2, a line naming the problem and
// the usage on stderr, nothing on stdout), and --help and --version.
#include "cmdline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  o.status = ReadCommandLine(static_cast<int>(words.size()), argv.data(), &o.options);
  o.out = ::testing::internal::GetCapturedStdout();
  o.err = ::testing::internal::GetCapturedStderr();
  return o;
}

constexpr const char* kUsage = "usage: inkstrip [--windowed] [--pace N] [--help] [--version]\n";

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
      {{"--fast"}, "unknown option '--fast'"},
      {{"-x"}, "unknown option '-x'"},
      {{"--windowed=yes"}, "--windowed takes no value"},
      {{"stray"}, "unexpected argument 'stray'"},
      {{"--windowed", "--pace", "5", "extra"}, "unexpected argument 'extra'"},
  };
  for (const auto& line : kRefused) {
    const Outcome o = Read(line.words);
    SCOPED_TRACE(line.words.front());
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    ASSERT_EQ(o.err.rfind("inkstrip: ", 0), 0u) << o.err;
    const std::size_t first = o.err.find('\n');
    EXPECT_NE(o.err.substr(0, first).find(line.problem), std::string::npos) << o.err;
    EXPECT_EQ(o.err.substr(first + 1), kUsage);
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
}

TEST(CommandLine, HelpAndVersionPrintOnStdoutAndEnd) {
  Outcome o = Read({"--help"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out.rfind(kUsage, 0), 0u);
  for (const char* told : {"--windowed", "--pace N", "--version", "Escape", "mouse button",
                           "ball4.bmp", "dump.bmp", "share/inkstrip", "Exit status"})
    EXPECT_NE(o.out.find(told), std::string::npos) << told;
  EXPECT_EQ(Read({"--windowed", "-h", "--pace", "abc"}).status, 0);

  o = Read({"--version"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, std::string("inkstrip ") + INKSTRIP_VERSION + "\n");
  EXPECT_EQ(Read({"-V"}).out, o.out);
}

}  // namespace
