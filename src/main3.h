// The program's shell: starts the library and the display, loads the ball and writes the
// handwriting script pass after pass until a mouse press stops it.
#pragma once

#include <csignal>

extern bool escape;  // stop flag: raised by the first mouse press, never lowered
extern volatile std::sig_atomic_t stopsignal;  // a signal asking the program to end, or 0

// Word 0 is "Hello" from (550, 150), word 1 is "world" from (840, 380).
void WriteWord(int word);

// One pass of the script: word 0, then word 1.
void WritePass();
