// One-line messages to the user on standard error, all in the same form.
#include "say.h"

#include <cstdio>

void Say(const char* what, const char* why) {
  std::fprintf(stderr, "inkstrip: %s: %s\n", what, why);
}
