// A library whose initialisation raises the signal numbered in INKSTRIP_RAISE_EARLY: preloaded
// into the program, it is a stop signal arriving while the libraries start, before main.
#include <csignal>
#include <cstdlib>

namespace {

__attribute__((constructor)) void RaiseEarly() {
  if (const char* sig = std::getenv("INKSTRIP_RAISE_EARLY")) std::raise(std::atoi(sig));
}

}  // namespace
