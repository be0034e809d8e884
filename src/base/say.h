// One-line messages to the user on standard error, all in the same form. The rule: a failure is
// said once, where it is found, as "inkstrip: what: why", and the caller only passes on false;
// a name from outside goes through Quoted, so that a message is always one line. A bad command
// line ends with status 2 after its line and the usage; anything else that could not be done,
// running out of memory and a write to stdout that failed included, with status 1.
#pragma once

#include <string>

// The status of a program that did its work but could not write its output to stdout.
constexpr int kWriteFailed = 1;

// Prints "inkstrip: what: why".
void Say(const std::string& what, const std::string& why);
// The same with nothing allocated, so that it can be said when memory has run out.
void Say(const char* what, const char* why);

// A name as a message shows it, in single quotes: control characters (C0, DEL and the C1 range,
// raw or UTF-8 encoded) and backslashes written as escapes (\n, \t, \x1b), as ls quotes names,
// so that no name can break a message across lines or send the terminal a control sequence.
std::string Quoted(const std::string& name);

// Flushes stdout and says whether everything written to it got out; the first time it did not,
// says "write error" with the reason.
bool StdoutWritten();

// Registered first thing, as coreutils' close_stdout is: at exit, output that could not be
// written makes the status 1, even when the program was otherwise done.
void CheckStdoutAtExit();
