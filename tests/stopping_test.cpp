// Ending from outside, each case in a child process so that it can really die: the first stop
// signal is noted and a second ends the program at once by that signal; signals ignored at
// start stay ignored; the end comes by the signal itself, without a core file; and neither
// signals nor a lost display cut the save short.
#include "stopping.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>

namespace {

struct Ended {
  int status;
  std::string said;  // the child's standard error
};

enum Signals { kCaught, kHeld };

// Runs body in a child whose stderr is kept, in a scratch directory where a core file would
// show, with the stop signals caught or only held as at the start of main; the child ends with
// status 99 if body returns.
Ended InChild(const std::function<void()>& body, Signals signals = kCaught) {
  int pipefd[2];
  EXPECT_EQ(pipe(pipefd), 0);
  char dir[] = "/tmp/inkstrip-stop-XXXXXX";
  EXPECT_NE(mkdtemp(dir), nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(pipefd[1], STDERR_FILENO);
    close(pipefd[0]);
    if (chdir(dir) != 0) _exit(98);
    const struct rlimit cores = {RLIM_INFINITY, RLIM_INFINITY};
    setrlimit(RLIMIT_CORE, &cores);
    HoldStopSignals();
    if (signals == kCaught) CatchStopSignals();
    body();
    _exit(99);
  }
  close(pipefd[1]);
  Ended e{};
  waitpid(pid, &e.status, 0);
  char buf[512];
  ssize_t n;
  while ((n = read(pipefd[0], buf, sizeof buf)) > 0)
    e.said.append(buf, static_cast<std::size_t>(n));
  close(pipefd[0]);
  EXPECT_EQ(std::system((std::string("rmdir ") + dir).c_str()), 0) << "left in " << dir;
  return e;
}

bool DiedBy(const Ended& e, int sig) {
  return WIFSIGNALED(e.status) && WTERMSIG(e.status) == sig && !WCOREDUMP(e.status);
}

bool ExitedWith(const Ended& e, int code) {
  return WIFEXITED(e.status) && WEXITSTATUS(e.status) == code;
}

TEST(StopSignals, TheFirstIsNotedTheSecondEndsTheProgramAtOnce) {
  const Ended e = InChild([] {
    raise(SIGTERM);
    if (stopsignal != SIGTERM) _exit(10);
    raise(SIGINT);
    _exit(11);
  });
  EXPECT_TRUE(DiedBy(e, SIGINT)) << e.status;
}

// Until a recording has a file there is nothing to tidy up: the first signal, even one held
// since the start, ends the program at once; afterwards the first is only noted again.
TEST(StopSignals, WhileNothingNeedsTidyingTheFirstEndsTheProgramAtOnce) {
  Ended e = InChild(
      [] {
        StopAtOnce(true);
        raise(SIGHUP);
        CatchStopSignals();
        _exit(10);
      },
      kHeld);
  EXPECT_TRUE(DiedBy(e, SIGHUP)) << e.status;

  e = InChild([] {
    StopAtOnce(true);
    StopAtOnce(false);
    raise(SIGTERM);
    _exit(stopsignal == SIGTERM ? 0 : 10);
  });
  EXPECT_TRUE(ExitedWith(e, 0)) << e.status;
}

// While the library starts, its own handlers are in place, and they end the program from
// inside the signal. A signal that comes then waits for the program's handlers; one ignored at
// start stays ignored; and one still held when the program ends early ends it.
void LibraryStarts(int sig) {
  signal(sig, [](int) { abort(); });
}

TEST(StopSignals, ThoseThatComeWhileTheLibraryStartsWaitForTheProgramsOwnHandlers) {
  Ended e = InChild(
      [] {
        LibraryStarts(SIGTERM);
        raise(SIGTERM);
        CatchStopSignals();
        if (stopsignal != SIGTERM) _exit(10);
        Leave(0);
      },
      kHeld);
  EXPECT_TRUE(DiedBy(e, SIGTERM)) << e.status;

  signal(SIGINT, SIG_IGN);
  e = InChild(
      [] {
        LibraryStarts(SIGINT);
        raise(SIGINT);
        CatchStopSignals();
        raise(SIGINT);
        _exit(Leave(0) == 0 && stopsignal == 0 ? 0 : 12);
      },
      kHeld);
  signal(SIGINT, SIG_DFL);
  EXPECT_TRUE(ExitedWith(e, 0)) << e.status;

  e = InChild(
      [] {
        raise(SIGQUIT);
        Leave(0);
      },
      kHeld);
  EXPECT_TRUE(DiedBy(e, SIGQUIT)) << e.status;
}

// The wait status must show the signal, not an exit with 128 + N; SIGQUIT leaves no core file
// even where core files are allowed.
TEST(StopSignals, TheProgramEndsByTheSignalItself) {
  for (int sig : {SIGTERM, SIGHUP, SIGQUIT}) {
    const Ended e = InChild([sig] {
      raise(sig);
      EndLikeTheSignal();
    });
    EXPECT_TRUE(DiedBy(e, sig)) << sig << ": " << e.status;
    EXPECT_EQ(e.said, "");
  }
}

TEST(StopSignals, SignalsDuringTheSaveLetItFinish) {
  Ended e = InChild([] {
    BeginSave();
    raise(SIGTERM);
    raise(SIGTERM);
    raise(SIGHUP);
    std::fputs("saved\n", stderr);
    std::fflush(stderr);
    EndSave();
    _exit(13);
  });
  EXPECT_TRUE(DiedBy(e, SIGHUP)) << e.status;
  EXPECT_EQ(e.said, "saved\n");

  e = InChild([] {
    BeginSave();
    raise(SIGINT);
    EndSave();
    _exit(stopsignal == SIGINT ? 0 : 14);
  });
  EXPECT_TRUE(ExitedWith(e, 0)) << e.status;
}

TEST(DisplayLoss, EndsWithOneLineAndStatusOne) {
  const Ended e = InChild([] { std::thread([] { DisplayLost(); }).join(); });
  EXPECT_TRUE(ExitedWith(e, 1)) << e.status;
  EXPECT_EQ(e.said, "inkstrip: lost the X display\n");
}

// Noticed on the input thread during the save (here twice, as two threads may): the save,
// which needs no display, finishes first, no later save begins, and then the program ends,
// having said so once.
TEST(DisplayLoss, DuringTheSaveLetsItFinishFirst) {
  const Ended e = InChild([] {
    if (!BeginSave()) _exit(15);
    std::thread([] { DisplayLost(); }).detach();
    std::thread([] { DisplayLost(); }).detach();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    std::fputs(BeginSave() ? "saving again\n" : "saved\n", stderr);
    std::fflush(stderr);
    EndSave();
    _exit(16);
  });
  EXPECT_TRUE(ExitedWith(e, 1)) << e.status;
  EXPECT_EQ(e.said, "inkstrip: lost the X display\nsaved\n");
}

}  // namespace
