// The program's shell: reads the command line, starts the library and the display, loads the
// ball and writes the handwriting script pass after pass until the user or a signal stops it.
#pragma once

// Word 0 is "Hello" from (550, 150), word 1 is "world" from (840, 380).
void WriteWord(int word);

// A word taken apart: the pen to its start with the stamp count at 0, then its commands one
// by one, each one curve.
void BeginWord(int word);
int CommandsIn(int word);
void RunCommand(int word, int i);

// One pass of the script: word 0, then word 1.
void WritePass();
