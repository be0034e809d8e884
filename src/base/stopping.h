// Ending the program from outside: the stop signals, the loss of the X display, and the save of
// the screenshot, which neither may cut short or leave half done.
#pragma once

#include <csignal>

extern volatile std::sig_atomic_t stopsignal;  // a signal asking the program to end, or 0

// The first thing the program does: notes the signals ignored at start (as under nohup), which
// stay ignored, and holds the stop signals back, so that none can reach the library's own
// handlers while it starts; they wait until CatchStopSignals.
void HoldStopSignals();

// While on, a stop signal ends the program at once, as if never caught: for work that leaves
// nothing to tidy up and cannot look for the signal itself, such as the library loading a large
// pen for a recording. Turned on before CatchStopSignals, it also covers the signals held.
void StopAtOnce(bool on);

// Once the library is up, in place of its own handlers, which shut it down from inside the
// signal; then lets the held signals in. The first stop signal is only noted; a second ends the
// program at once, except during the save, which it lets finish first. Also turns SIGXFSZ and
// SIGPIPE into failed writes.
void CatchStopSignals();

// The way out of main: a stop signal that came, whether noted or still held, ends the program
// by that signal; otherwise returns status.
int Leave(int status);

// Whether a stop signal has come, caught or still held back (and not ignored at start): a wait
// that polls this ends as soon as the program is asked to end, even before CatchStopSignals.
bool StopAsked();

// The process group of a running child, or 0: the program never ends without ending it first,
// even when a second stop signal or the lost display ends the program at once.
void GuardChild(int group);

// After shutdown: ends the process by the signal that stopped it, as that signal would have.
[[noreturn]] void EndLikeTheSignal();

// Around the save of the screenshot. BeginSave says false when the display is already gone,
// and then nothing may be saved; EndSave must follow either way. EndSave ends the program
// when the display was lost, or a second stop signal came, during the save.
bool BeginSave();
void EndSave();

// The X connection is gone: says so and ends with status 1, or, while the screenshot is being
// saved, lets the save finish and EndSave end the program. Safe on any thread.
[[noreturn]] void DisplayLost();
