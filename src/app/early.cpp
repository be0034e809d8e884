// The program's very first act, before any library's own initialisation runs: the loader calls
// this from the executable's pre-initialisation array, so the stop signals are held back from as
// early as a program can be, and not only from the first line of main.
#include "stopping.h"

namespace {

void HoldEarly(int, char**, char**) { HoldStopSignals(); }

// Only the program links this file: the tests, which start children of their own, must not begin
// with the signals held.
__attribute__((section(".preinit_array"), used)) void (*const kHoldEarly)(int, char**,
                                                                          char**) = HoldEarly;

}  // namespace
