// The other sources of words: lines joined as --text takes them, the bounds, the refusals that
// name the line, a live feed line by line, and a program that fails, floods or hangs.
#include "textsource.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>

#include "stand.h"

namespace {

using std::chrono::milliseconds;
using TextSource = Stand;
constexpr auto npos = std::string::npos;

void Put(const char* name, const std::string& bytes) { std::ofstream(name) << bytes; }

TEST(TextSourceLines, JoinedBySpacesWhateverTheirEndings) {
  EXPECT_EQ(JoinedLines("Dear Ada,\r\nthank you!\r\n"), "Dear Ada, thank you!");
  EXPECT_EQ(JoinedLines("\xEF\xBB\xBFone\ntwo"), "one two");
  EXPECT_EQ(JoinedLines("one\n\ntwo\n"), "one  two");
  EXPECT_EQ(JoinedLines("\tone\ttwo"), " one two");
}

TEST(TextSourceLines, RefusalsNameTheLine) {
  EXPECT_EQ(LinesProblem("one\r\n\n  \ntwo\n"), "");
  EXPECT_EQ(LinesProblem("\xEF\xBB\xBFok\r\nok\r\nno\abell\r\n")
                .rfind("line 3: cannot write the control character U+0007", 0),
            0u);
  EXPECT_EQ(LinesProblem(""), "it is empty");
  EXPECT_NE(LinesProblem(" \r\n\n").find("nothing but spaces"), npos);
}

TEST(TextSourceLines, ACutNeverSplitsACharacter) {
  const std::string s = "a\xC3\xA9z\xF0\x9F\x98\x80";  // 1, 2, 1 and 4 bytes
  EXPECT_EQ(CharacterCut(s, 8), 8u);
  EXPECT_EQ(CharacterCut(s, 2), 1u);
  EXPECT_EQ(CharacterCut(s, 3), 3u);
  EXPECT_EQ(CharacterCut(s, 7), 4u);
}

TEST_F(TextSource, AFileIsReadWholeWithinItsBound) {
  std::string words;
  Put("full.txt", std::string(kMostTextBytes - 1, 'a') + "\n");
  EXPECT_EQ(ReadTextFile("full.txt", &words), TextFile::kWhole);
  EXPECT_EQ(words.size(), kMostTextBytes - 1);
  Put("over.txt", std::string(kMostTextBytes, 'a') + "\n");
  std::string err =
      Captured(2, [&] { EXPECT_EQ(ReadTextFile("over.txt", &words), TextFile::kFailed); });
  EXPECT_NE(err.find("'over.txt': it is larger than 64 KiB"), npos) << err;
  Put("bad.txt", "fine\nfi\x1b[2Jne\n");
  err = Captured(2, [&] { EXPECT_EQ(ReadTextFile("bad.txt", &words), TextFile::kFailed); });
  EXPECT_NE(err.find("'bad.txt': line 2: cannot write the control character U+001B"), npos) << err;
}

// A pipe still open when the wait for its end is over is followed line by line: lines it cannot
// write are named and skipped, and the last one counts without its line break.
TEST_F(TextSource, AnOpenPipeIsAFeedOfLines) {
  int p[2];
  ASSERT_EQ(pipe(p), 0);
  const std::string early = "first\r\n";
  ASSERT_EQ(write(p[1], early.data(), early.size()), static_cast<ssize_t>(early.size()));
  std::string words, line;
  ASSERT_EQ(ReadTextFile("/dev/fd/" + std::to_string(p[0]), &words, milliseconds{50}),
            TextFile::kFeed);
  EXPECT_EQ(NextFeedLine(milliseconds{0}, &line), FeedNews::kLine);
  EXPECT_EQ(line, "first");
  EXPECT_EQ(NextFeedLine(milliseconds{20}, &line), FeedNews::kNothing);
  const std::string later =
      std::string(kMostFeedLineBytes + 1, 'x') + "\n\n caf\x07 \nsecond\nlast";
  ASSERT_EQ(write(p[1], later.data(), later.size()), static_cast<ssize_t>(later.size()));
  close(p[1]);
  close(p[0]);
  const std::string err = Captured(2, [&] {
    EXPECT_EQ(NextFeedLine(milliseconds{1000}, &line), FeedNews::kLine);
    EXPECT_EQ(line, "second");
    EXPECT_EQ(NextFeedLine(milliseconds{1000}, &line), FeedNews::kLine);
    EXPECT_EQ(line, "last");
    EXPECT_EQ(NextFeedLine(milliseconds{0}, &line), FeedNews::kEnded);
  });
  EXPECT_NE(err.find("skipped 'xxx"), npos) << err;
  EXPECT_NE(err.find("...: the line is longer than 4 KiB"), npos) << err;
  EXPECT_NE(err.find("skipped ' caf\\x07 ': cannot write the control character U+0007"), npos)
      << err;
}

TEST_F(TextSource, AProgramsOutputIsTheWordsAndItsFailuresAreSaid) {
  std::string words;
  std::string err =
      Captured(2, [&] { EXPECT_TRUE(RunTextProgram("printf 'Hi\\r\\nAda\\n'", &words)); });
  EXPECT_EQ(words, "Hi Ada");
  EXPECT_EQ(err, "");
  const struct {
    const char* command;
    const char* said;
  } kFailing[] = {
      {"echo ignored; exit 3", "inkstrip: 'echo ignored; exit 3': it failed with status 3\n"},
      {"true", "inkstrip: 'true': it printed nothing\n"},
      {"echo; echo", "inkstrip: 'echo; echo': its output: it holds nothing but spaces"},
      {"kill -9 $$", "inkstrip: 'kill -9 $$': it was ended by signal 9\n"},
  };
  for (const auto& f : kFailing) {
    err = Captured(2, [&] { EXPECT_FALSE(RunTextProgram(f.command, &words)) << f.command; });
    EXPECT_EQ(err.rfind(f.said, 0), 0u) << err;
    EXPECT_EQ(err.find('\n'), err.size() - 1) << err;
  }
  // Past the bound no more is read, the cut is said once, and the program ends on its pipe.
  for (int run = 0; run < 2; ++run) {
    // 4096 bytes of "éa" would end inside an é.
    err = Captured(
        2, [&] { EXPECT_TRUE(RunTextProgram("while :; do printf '\\303\\251a'; done", &words)); });
    EXPECT_EQ(words.size(), kMostProgramBytes - 1) << run << err;
    EXPECT_EQ(err.find("printed more than 4 KiB") != npos, run == 0) << err;
  }
}

// Whether the process whose number is in pidfile is still running a second later: a kill takes
// a moment to land, and a zombie that its new parent has yet to reap runs no more.
bool StillRunning(const char* pidfile) {
  std::ifstream in(pidfile);
  std::string pid;
  if (!(in >> pid)) return false;
  for (int look = 0; look < 100; ++look) {
    std::ifstream stat("/proc/" + pid + "/stat");
    std::string number, name, state;
    if (!(stat >> number >> name >> state) || state == "Z") return false;
    usleep(10000);
  }
  return true;
}

// Ended at its time limit or when the wait gives up, with every process it started.
TEST_F(TextSource, AProgramThatHangsIsEndedWithAllItStarted) {
  std::string words;
  const auto start = std::chrono::steady_clock::now();
  const std::string err = Captured(2, [&] {
    EXPECT_FALSE(RunTextProgram("sleep 1000 & echo $! >late; echo early; wait", &words, nullptr,
                                milliseconds{300}));
  });
  EXPECT_LT(std::chrono::steady_clock::now() - start, milliseconds{2000});
  EXPECT_EQ(err,
            "inkstrip: 'sleep 1000 & echo $! >late; echo early; wait': it ran longer than 0.3 s "
            "and was ended\n");
  EXPECT_FALSE(StillRunning("late"));

  static int looks = 0;
  looks = 0;
  EXPECT_FALSE(
      RunTextProgram("echo $$ >shell; exec sleep 1000", &words, [] { return ++looks < 5; }));
  EXPECT_EQ(looks, 5);
  EXPECT_FALSE(StillRunning("shell"));
}

}  // namespace
