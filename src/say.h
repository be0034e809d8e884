// One-line messages to the user on standard error, all in the same form.
#pragma once

// Prints "inkstrip: what: why".
void Say(const char* what, const char* why);
