// The X connection's handlers, set once for every screen, and window ids read strictly, since a
// screensaver's id that is misread would draw into some other program's window.
#include "xwindows.h"

#include <X11/Xlib.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "stopping.h"

namespace {

constexpr unsigned long long kLargestWindowId = 0xFFFFFFFFull;  // X resource ids are 32 bits

int OnLostConnection(Display*) { DisplayLost(); }

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

}  // namespace

void EndOnLostConnection() { XSetIOErrorHandler(OnLostConnection); }

void IgnoreWindowErrors() { XSetErrorHandler(IgnoreXError); }

bool ReadWindowId(const char* text, unsigned long* id) {
  const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* digits = hex ? text + 2 : text;
  const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
  if (digits[0] == '\0' || std::strspn(digits, allowed) != std::strlen(digits)) return false;
  errno = 0;
  const unsigned long long value = std::strtoull(digits, nullptr, hex ? 16 : 10);
  if (errno == ERANGE || value == 0 || value > kLargestWindowId) return false;
  *id = static_cast<unsigned long>(value);
  return true;
}
