// The handwriting script and its pass loop: "Hello" and "world" as the pen's commands, and the
// passes written one after another until the stop flag goes up.
#pragma once

// The stop flag: raised by the stroke at the first request to stop, never lowered; the pass
// loop ends at the end of the pass in which it went up.
extern bool escape;

// Word 0 is "Hello" from (550, 150), word 1 is "world" from (840, 380).
void WriteWord(int word);

// A word taken apart: the pen to its start with the stamp count at 0, then its commands one
// by one, each one curve.
void BeginWord(int word);
int CommandsIn(int word);
void RunCommand(int word, int i);

// One pass of the script: word 0, then word 1.
void WritePass();

// The pass loop: pass() again and again, at least once, until a request or a signal has raised
// the stop flag; the pass under way when it went up runs through without drawing.
void WritePasses(void (*pass)());
