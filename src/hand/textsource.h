// Where the words come from besides --text: a file or standard input, read whole or followed as
// a live feed of lines, and a program run before each pass whose output is the words.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

// A file, or a stream read whole, holds at most this many bytes.
constexpr std::size_t kMostTextBytes = 64 * 1024;
// A program's output is cut to at most this many bytes each run.
constexpr std::size_t kMostProgramBytes = 4 * 1024;
// A line of a live feed holds at most this many bytes; a longer one is skipped.
constexpr std::size_t kMostFeedLineBytes = 4 * 1024;
// A pipe or terminal that ends within this time of the start is read whole; one still open then
// is a live feed.
constexpr std::chrono::milliseconds kWholeWithin{1000};
// A program still running after this time is ended.
constexpr std::chrono::milliseconds kProgramTimeLimit{10000};
// How long a wait goes without looking whether the program is asked to end.
constexpr std::chrono::milliseconds kWaitStep{40};

// The words of a text's bytes: a leading byte-order mark dropped, each line break (LF or CRLF) a
// space, nothing for the break that ends the last line, and each tab a space.
std::string JoinedLines(const std::string& bytes);

// "" when the lines of bytes make a text that can be written, or why not: "line N: why" for the
// first line with a character that cannot be written, or that there is nothing to write.
std::string LinesProblem(const std::string& bytes);

// The length of the longest start of text of at most most bytes that does not end inside a
// UTF-8 sequence.
std::size_t CharacterCut(const std::string& text, std::size_t most);

enum class TextFile {
  kFailed,  // said on stderr; or a stop signal came (StopAsked)
  kWhole,   // the words are the whole text, written pass after pass
  kFeed,    // a live feed: NextFeedLine gives its lines
};

// Reads the file name ('-': standard input). A regular file, or a stream that ends within
// kWholeWithin, is read whole into words; a stream still open then becomes the live feed, and
// what came so far is its first lines.
TextFile ReadTextFile(const std::string& name, std::string* words,
                      std::chrono::milliseconds whole = kWholeWithin);

enum class FeedNews {
  kLine,     // the next line that can be written
  kNothing,  // none came in the time given
  kEnded,    // the feed has ended and every line was given
};

// Waits at most wait for the next line of the feed. Lines that cannot be written are named on
// stderr and skipped; blank lines are skipped. An ended feed still waits the whole time, so that
// a loop around this stays paced. A stop signal cuts the wait short.
FeedNews NextFeedLine(std::chrono::milliseconds wait, std::string* line);

// Runs command through /bin/sh -c, in a process group of its own with standard input from
// /dev/null, and makes its output, cut to kMostProgramBytes, the words. Says on stderr, in one
// line, why there are none: it failed, printed nothing or nothing that can be written, or ran
// past limit and was ended. Between looks at the program it calls wait (when set), which may ask
// to give up by returning false; a stop signal gives up too. The program never outlives the call.
bool RunTextProgram(const std::string& command, std::string* words, bool (*wait)() = nullptr,
                    std::chrono::milliseconds limit = kProgramTimeLimit);
