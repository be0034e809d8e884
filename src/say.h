// One-line messages to the user on standard error, all in the same form. The rule: a failure is
// said once, where it is found, as "inkstrip: what: why", and the caller only passes on false;
// a name from outside goes through Quoted, so that a message is always one line.
#pragma once

#include <string>

// Prints "inkstrip: what: why".
void Say(const std::string& what, const std::string& why);

// A name as a message shows it, in single quotes: control characters (C0, DEL and the C1 range,
// raw or UTF-8 encoded) and backslashes written as escapes (\n, \t, \x1b), as ls quotes names,
// so that no name can break a message across lines or send the terminal a control sequence.
std::string Quoted(const std::string& name);
