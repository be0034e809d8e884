// Ending the program from outside: stop signals, the lost display, and a save neither may cut
// short. The save runs on the main thread and touches no display, so it can always finish.
#include "stopping.h"

#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <iterator>

volatile std::sig_atomic_t stopsignal = 0;

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
bool ignoredatstart[std::size(kStopSignals)];

// Plain loads and stores of a lock-free atomic are safe in a signal handler and order the
// save against the display handler on another thread.
std::atomic<int> saving{0};
std::atomic<int> displaylost{0};
std::atomic<int> lossreported{0};
volatile std::sig_atomic_t secondsignal = 0;
std::atomic<int> atonce{0};
volatile std::sig_atomic_t childgroup = 0;

// Safe in a signal handler and on any thread: a child must not outlive the program.
void EndChild() {
  if (childgroup > 0) kill(-childgroup, SIGKILL);
}

// SIGQUIT's own action would also write a core file: the program is not failing, it is asked
// to end, so the core file is turned off first.
[[noreturn]] void DieBy(int sig) {
  EndChild();
  if (sig == SIGQUIT) {
    const struct rlimit none = {0, 0};
    setrlimit(RLIMIT_CORE, &none);
  }
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  sigemptyset(&plain.sa_mask);
  sigaction(sig, &plain, nullptr);
  sigset_t just;
  sigemptyset(&just);
  sigaddset(&just, sig);
  raise(sig);
  pthread_sigmask(SIG_UNBLOCK, &just, nullptr);
  _exit(128 + sig);
}

void OnStopSignal(int sig) {
  if (atonce.load()) DieBy(sig);
  if (stopsignal == 0) {
    stopsignal = sig;
  } else if (saving.load()) {
    secondsignal = sig;
  } else {
    DieBy(sig);
  }
}

sigset_t StopSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : kStopSignals) sigaddset(&set, sig);
  return set;
}

}  // namespace

// Blocked before anything else, even before looking which were ignored: a signal at this very
// moment then waits too.
void HoldStopSignals() {
  const sigset_t set = StopSet();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    struct sigaction old {};
    sigaction(kStopSignals[i], nullptr, &old);
    ignoredatstart[i] = old.sa_handler == SIG_IGN;
  }
}

// Making a signal ignored drops it if it is pending, so one that came while held and was
// ignored at start is never seen.
void CatchStopSignals() {
  struct sigaction action {};
  action.sa_flags = SA_RESTART;
  action.sa_mask = StopSet();
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    action.sa_handler = ignoredatstart[i] ? SIG_IGN : OnStopSignal;
    sigaction(kStopSignals[i], &action, nullptr);
  }
  // A file-size limit or a closed pipe then shows as a failed write with its reason, instead of
  // ending the program without a word.
  std::signal(SIGXFSZ, SIG_IGN);
  std::signal(SIGPIPE, SIG_IGN);
  pthread_sigmask(SIG_UNBLOCK, &action.sa_mask, nullptr);
}

void StopAtOnce(bool on) { atonce.store(on ? 1 : 0); }
bool StopAsked() {
  if (stopsignal) return true;
  sigset_t pending;
  sigpending(&pending);
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
    if (!ignoredatstart[i] && sigismember(&pending, kStopSignals[i])) return true;
  return false;
}

void GuardChild(int group) { childgroup = group; }

int Leave(int status) {
  if (stopsignal) EndLikeTheSignal();
  sigset_t pending;
  sigpending(&pending);
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i)
    if (!ignoredatstart[i] && sigismember(&pending, kStopSignals[i])) DieBy(kStopSignals[i]);
  return status;
}

void EndLikeTheSignal() { DieBy(stopsignal); }

bool BeginSave() {
  saving.store(1);
  return displaylost.load() == 0;
}

void EndSave() {
  saving.store(0);
  if (displaylost.load()) _exit(1);
  if (secondsignal) DieBy(secondsignal);
}

void DisplayLost() {
  displaylost.store(1);
  if (lossreported.exchange(1) == 0) {
    static const char kMessage[] = "inkstrip: lost the X display\n";
    [[maybe_unused]] const ssize_t n = write(STDERR_FILENO, kMessage, sizeof kMessage - 1);
  }
  if (saving.load()) {
    for (;;) pause();
  }
  EndChild();
  _exit(1);
}
