// Reading the words from a file, standard input or a program: every read bounded, every wait
// short and looking whether the program is asked to end, and no program left running behind.
#include "textsource.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include "letters.h"
#include "say.h"
#include "stopping.h"
#include "utf8.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr std::size_t kMarkBytes = 3;
constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kShownLineBytes = 60;  // of a skipped line, in the message that names it

// The live feed.
int feedfd = -1;
std::string feedbytes;  // read, not yet given out as lines
bool feedended = false;
bool dropping = false;  // the rest of a line too long to keep is being dropped

// A line as it is written: without the CR of a CRLF ending, and a tab a blank like a space, as
// a program's output (fortune's attributions) often holds.
std::string Cleaned(std::string line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::replace(line.begin(), line.end(), '\t', ' ');
  return line;
}

std::string WithoutMark(const std::string& bytes) {
  return bytes.compare(0, kMarkBytes, kByteOrderMark) == 0 ? bytes.substr(kMarkBytes) : bytes;
}

// Each line without its line break; the break that ends the last line makes no line of its own.
std::vector<std::string> Lines(const std::string& bytes) {
  const std::string text = WithoutMark(bytes);
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    lines.push_back(Cleaned(text.substr(start, end - start)));
    start = end + 1;
  }
  return lines;
}

bool Blank(const std::string& line) { return line.find_first_not_of(' ') == std::string::npos; }

// The letters' reasons speak of --text; here the words come from elsewhere.
std::string Reason(const std::string& why) {
  const std::string option = "--text ";
  return why.compare(0, option.size(), option) == 0 ? why.substr(option.size()) : why;
}

// A line as a message names it: quoted, and only its start when it is long.
std::string Shown(const std::string& line) {
  if (line.size() <= kShownLineBytes) return Quoted(line);
  return Quoted(line.substr(0, CharacterCut(line, kShownLineBytes))) + "...";
}

enum class Got { kData, kEnd, kNone, kFailed };

// What a stream brings within wait, appended to to: kNone when nothing came or a signal cut the
// wait short; kFailed with errno set.
Got ReadSome(int fd, milliseconds wait, std::string* to) {
  pollfd p{fd, POLLIN, 0};
  const int ready = poll(&p, 1, static_cast<int>(wait.count()));
  if (ready < 0) return errno == EINTR ? Got::kNone : Got::kFailed;
  if (ready == 0) return Got::kNone;
  char chunk[kReadChunk];
  const ssize_t n = read(fd, chunk, sizeof chunk);
  if (n < 0) return errno == EINTR || errno == EAGAIN ? Got::kNone : Got::kFailed;
  if (n == 0) return Got::kEnd;
  to->append(chunk, static_cast<std::size_t>(n));
  return Got::kData;
}

// Sleeps until deadline in short steps, or until a stop signal.
void WaitUntil(Clock::time_point deadline) {
  while (!StopAsked() && Clock::now() < deadline) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    poll(nullptr, 0, static_cast<int>(std::clamp(left, milliseconds{1}, kWaitStep).count()));
  }
}

std::string KiB(std::size_t bytes) { return std::to_string(bytes / 1024) + " KiB"; }

// A regular file read whole, from where fd stands, up to one byte past the bound.
std::string ReadRegular(int fd, std::string* bytes) {
  for (;;) {
    const Got got = ReadSome(fd, kWaitStep, bytes);
    if (got == Got::kFailed) return std::strerror(errno);
    if (bytes->size() > kMostTextBytes) return "it is larger than " + KiB(kMostTextBytes);
    if (got == Got::kEnd) return "";
  }
}

enum class Stream { kWhole, kFeed, kFailed };

// A stream read until it ends, or until it has been open for whole; said why when it fails.
Stream ReadStream(int fd, milliseconds whole, std::string* bytes, std::string* why) {
  const auto deadline = Clock::now() + whole;
  for (;;) {
    if (StopAsked()) return Stream::kFailed;
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (left <= milliseconds{0}) return Stream::kFeed;
    const Got got = ReadSome(fd, std::min(left, kWaitStep), bytes);
    if (got == Got::kEnd) return Stream::kWhole;
    if (got == Got::kFailed) *why = std::strerror(errno);
    if (bytes->size() > kMostTextBytes) *why = "it is larger than " + KiB(kMostTextBytes);
    if (!why->empty()) return Stream::kFailed;
  }
}

// The next whole line of the feed that can be written, if one has come; says and skips the rest.
bool TakeLine(std::string* line) {
  for (;;) {
    const std::size_t end = feedbytes.find('\n');
    if (end == std::string::npos) {
      if (feedbytes.size() <= kMostFeedLineBytes) return false;
      if (!dropping)
        Say("skipped " + Shown(feedbytes), "the line is longer than " + KiB(kMostFeedLineBytes));
      dropping = true;
      feedbytes.clear();
      return false;
    }
    const std::string got = Cleaned(feedbytes.substr(0, end));
    feedbytes.erase(0, end + 1);
    if (dropping) {
      dropping = false;
      continue;
    }
    if (got.size() > kMostFeedLineBytes) {
      Say("skipped " + Shown(got), "the line is longer than " + KiB(kMostFeedLineBytes));
    } else if (const std::string why = Blank(got) ? "" : TextProblem(got); !why.empty()) {
      Say("skipped " + Shown(got), Reason(why));
    } else if (!Blank(got)) {
      *line = got;
      return true;
    }
  }
}

// The program, through the shell, in a process group of its own so that all it starts can be
// ended together; with the signal mask and the dispositions the program set for itself undone.
bool Spawn(const std::string& command, int out, pid_t* pid) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, plain;
  sigemptyset(&none);
  sigemptyset(&plain);
  sigaddset(&plain, SIGPIPE);
  sigaddset(&plain, SIGXFSZ);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &plain);
  posix_spawnattr_setpgroup(&attributes, 0);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::string sh = "sh", c = "-c", line = command;
  char* argv[] = {sh.data(), c.data(), line.data(), nullptr};
  const int error = posix_spawn(pid, "/bin/sh", &actions, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  errno = error;
  return error == 0;
}

// Whether the program has ended, leaving it unreaped, so that its process group cannot be taken
// by another process before the rest of the group is ended.
bool Ended(pid_t pid) {
  siginfo_t info{};
  return waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
         info.si_pid == pid;
}

struct Run {
  std::string bytes;
  bool cut = false;       // more came than kMostProgramBytes, and no more was read
  bool stopped = false;   // a stop signal came, or the waiting gave up
  bool overtime = false;  // it ran past its time limit
  int status = 0;
};

// Reads the program's output until it ends, gives up or runs out of time, then ends all that is
// left of its process group and reaps it.
void Watch(pid_t pid, int fd, bool (*wait)(), milliseconds limit, Run* run) {
  const auto deadline = Clock::now() + limit;
  for (;;) {
    const Got got = fd >= 0 ? ReadSome(fd, kWaitStep, &run->bytes) : Got::kNone;
    if (fd < 0) poll(nullptr, 0, static_cast<int>(kWaitStep.count()));
    // Past the bound nothing more is read: the program ends on its closed pipe, as under head.
    run->cut = run->bytes.size() > kMostProgramBytes;
    if (fd >= 0 && (got == Got::kEnd || got == Got::kFailed || run->cut)) {
      close(fd);
      fd = -1;
    }
    if (StopAsked() || (wait && !wait())) {
      run->stopped = true;
      break;
    }
    if (Ended(pid)) break;
    if (Clock::now() >= deadline) {
      run->overtime = true;
      break;
    }
  }
  while (fd >= 0 && !run->stopped && run->bytes.size() <= kMostProgramBytes &&
         ReadSome(fd, milliseconds{0}, &run->bytes) == Got::kData) {
  }
  run->cut = run->bytes.size() > kMostProgramBytes;
  if (fd >= 0) close(fd);
  kill(-pid, SIGKILL);
  while (waitpid(pid, &run->status, 0) < 0 && errno == EINTR) {
  }
  GuardChild(0);
}

std::string Seconds(milliseconds limit) {
  const long long ms = limit.count();
  return std::to_string(ms / 1000) + (ms % 1000 ? "." + std::to_string(ms % 1000 / 100) : "") +
         " s";
}

// Why a finished run gives no words, or "".
std::string RunProblem(const Run& run, milliseconds limit) {
  if (run.overtime) return "it ran longer than " + Seconds(limit) + " and was ended";
  // Once cut, the program's own end is ours: it ended on the pipe that was closed.
  if (!run.cut && WIFSIGNALED(run.status))
    return "it was ended by signal " + std::to_string(WTERMSIG(run.status));
  if (!run.cut && WEXITSTATUS(run.status) != 0)
    return "it failed with status " + std::to_string(WEXITSTATUS(run.status));
  if (run.bytes.empty()) return "it printed nothing";
  const std::string why = LinesProblem(run.bytes);
  return why.empty() ? "" : "its output: " + why;
}

}  // namespace

std::string JoinedLines(const std::string& bytes) {
  std::string words;
  for (const std::string& line : Lines(bytes)) words += (words.empty() ? "" : " ") + line;
  return words;
}

std::string LinesProblem(const std::string& bytes) {
  const std::vector<std::string> lines = Lines(bytes);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (Blank(lines[i])) continue;
    if (const std::string why = TextProblem(lines[i]); !why.empty())
      return "line " + std::to_string(i + 1) + ": " + Reason(why);
  }
  if (bytes.empty()) return "it is empty";
  if (Blank(JoinedLines(bytes))) return "it holds nothing but spaces and line breaks";
  return Reason(TextProblem(JoinedLines(bytes)));
}

std::size_t CharacterCut(const std::string& text, std::size_t most) {
  if (text.size() <= most) return text.size();
  // The first byte left out continues a sequence: the sequence goes out whole.
  return CharacterStart(text, most);
}

TextFile ReadTextFile(const std::string& name, std::string* words, milliseconds whole) {
  const bool standard = name == "-";
  const std::string shown = standard ? "standard input" : Quoted(name);
  const int fd = standard ? STDIN_FILENO : open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat st;
  std::string what = "cannot read " + shown, why, bytes;
  Stream kind = Stream::kFailed;
  if (fd < 0 || fstat(fd, &st) != 0) {
    why = std::strerror(errno);
  } else if (S_ISDIR(st.st_mode)) {
    why = "it is a directory";
  } else if (S_ISREG(st.st_mode)) {
    why = ReadRegular(fd, &bytes);
    kind = why.empty() ? Stream::kWhole : Stream::kFailed;
  } else {
    kind = ReadStream(fd, whole, &bytes, &why);
  }
  if (kind == Stream::kWhole) {
    what = "cannot write the words of " + shown;
    why = LinesProblem(bytes);
  }
  if (kind == Stream::kFeed) {
    feedfd = fd;
    feedbytes = WithoutMark(bytes);
    feedended = dropping = false;
    return TextFile::kFeed;
  }
  if (fd > STDIN_FILENO) close(fd);
  if (!why.empty()) Say(what, why);
  if (!why.empty() || kind == Stream::kFailed) return TextFile::kFailed;
  *words = JoinedLines(bytes);
  return TextFile::kWhole;
}

FeedNews NextFeedLine(milliseconds wait, std::string* line) {
  const auto deadline = Clock::now() + wait;
  for (;;) {
    if (TakeLine(line)) return FeedNews::kLine;
    if (feedended) {
      WaitUntil(deadline);
      return FeedNews::kEnded;
    }
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
    if (StopAsked() || left <= milliseconds{0}) return FeedNews::kNothing;
    const Got got = ReadSome(feedfd, std::min(left, kWaitStep), &feedbytes);
    if (got == Got::kFailed) Say("cannot read the feed", std::strerror(errno));
    if (got == Got::kEnd || got == Got::kFailed) {
      feedended = true;
      // The last line counts even without its line break.
      if (!feedbytes.empty() || dropping) feedbytes += '\n';
    }
  }
}

bool RunTextProgram(const std::string& command, std::string* words, bool (*wait)(),
                    milliseconds limit) {
  static bool cutsaid = false;
  const std::string shown = Quoted(command);
  int out[2];
  if (pipe2(out, O_CLOEXEC) != 0) {
    Say("cannot run " + shown, std::strerror(errno));
    return false;
  }
  pid_t pid = 0;
  const bool spawned = Spawn(command, out[1], &pid);
  const int error = errno;
  close(out[1]);
  if (!spawned) {
    close(out[0]);
    Say("cannot run " + shown, std::strerror(error));
    return false;
  }
  GuardChild(pid);
  fcntl(out[0], F_SETFL, O_NONBLOCK);
  Run run;
  Watch(pid, out[0], wait, limit, &run);
  if (run.stopped) return false;
  if (run.cut) {
    run.bytes.resize(CharacterCut(run.bytes, kMostProgramBytes));
    if (!cutsaid)
      Say(shown, "it printed more than " + KiB(kMostProgramBytes) + "; only the first " +
                     std::to_string(run.bytes.size()) + " bytes are written");
    cutsaid = true;
  }
  if (const std::string why = RunProblem(run, limit); !why.empty()) {
    Say(shown, why);
    return false;
  }
  *words = JoinedLines(run.bytes);
  return true;
}
