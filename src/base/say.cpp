// One-line messages to the user on standard error, all in the same form, and names quoted so
// that they can be shown in one.
#include "say.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "utf8.h"

void Say(const std::string& what, const std::string& why) { Say(what.c_str(), why.c_str()); }

void Say(const char* what, const char* why) {
  std::fprintf(stderr, "inkstrip: %s: %s\n", what, why);
}

namespace {

constexpr char32_t kFirstPrintableAbove7F = 0xA0;  // the C1 controls end at U+009F
bool stdoutfaultsaid = false;

void CloseStdout() {
  if (!StdoutWritten() || std::fclose(stdout) != 0) {
    if (!stdoutfaultsaid) Say("write error", std::strerror(errno));
    _exit(kWriteFailed);
  }
}

std::string Hex(unsigned char c) {
  char out[5];
  std::snprintf(out, sizeof out, "\\x%02x", c);
  return out;
}

std::string Escaped(unsigned char c) {
  switch (c) {
    case '\n':
      return "\\n";
    case '\t':
      return "\\t";
    case '\r':
      return "\\r";
    case '\\':
      return "\\\\";
    default:
      return Hex(c);
  }
}

bool Control(unsigned char c) { return c < 0x20 || c == 0x7f || c == '\\'; }

// The length of the well-formed UTF-8 sequence at i that encodes a printable character, or 0:
// a stray or overlong byte, a surrogate, and the C1 controls U+0080 to U+009F all count as bad.
std::size_t PrintableSequence(const std::string& s, std::size_t i) {
  char32_t code = 0;
  const std::size_t n = Decode(s, i, &code);
  return code < kFirstPrintableAbove7F ? 0 : n;
}

}  // namespace

std::string Quoted(const std::string& name) {
  std::string out = "'";
  for (std::size_t i = 0; i < name.size();) {
    const auto c = static_cast<unsigned char>(name[i]);
    if (c < 0x80) {
      out += Control(c) ? Escaped(c) : std::string(1, name[i]);
      ++i;
    } else if (const std::size_t n = PrintableSequence(name, i)) {
      out += name.substr(i, n);
      i += n;
    } else {
      out += Hex(c);
      ++i;
    }
  }
  return out + "'";
}

bool StdoutWritten() {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return true;
  if (!stdoutfaultsaid) Say("write error", errno ? std::strerror(errno) : "stdout failed earlier");
  stdoutfaultsaid = true;
  return false;
}

void CheckStdoutAtExit() { std::atexit(CloseStdout); }
