// A library preloaded into the program to bring about what a test cannot otherwise: its
// initialisation raises the signal numbered in INKSTRIP_RAISE_EARLY, a stop signal arriving
// while the libraries start, before main; and with INKSTRIP_NO_MOUSE set the mouse driver will
// not install, as on a machine without one.
#include <dlfcn.h>

#include <csignal>
#include <cstdlib>

namespace {

__attribute__((constructor)) void RaiseEarly() {
  if (const char* sig = std::getenv("INKSTRIP_RAISE_EARLY")) std::raise(std::atoi(sig));
}

}  // namespace

extern "C" int install_mouse() {
  if (std::getenv("INKSTRIP_NO_MOUSE")) return -1;
  using Install = int (*)();
  return reinterpret_cast<Install>(dlsym(RTLD_NEXT, "install_mouse"))();
}
