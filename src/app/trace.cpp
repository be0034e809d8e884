// The benchmark's trace: times noted through the stroke's hooks, which go on to whatever hook
// was there before, so a traced run draws and shows exactly as an untraced one.
#include "trace.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "say.h"
#include "stroke.h"

namespace {

struct Mark {
  char kind;  // 'c' a curve begins, 's' a stamp drawn
  long long ns;
};

std::vector<Mark> marks;
std::string path;
void (*nextcurve)(const int points[8], int samples) = nullptr;
void (*nextstamp)() = nullptr;

long long Now() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void OnCurve(const int points[8], int samples) {
  marks.push_back({'c', Now()});
  if (nextcurve) nextcurve(points, samples);
}

void OnStamp() {
  marks.push_back({'s', Now()});
  if (nextstamp) nextstamp();
}

}  // namespace

void StartTrace() {
  const char* named = std::getenv("INKSTRIP_TRACE");
  if (!named || !*named) return;
  path = named;
  marks.reserve(1 << 20);
  nextcurve = curvestart;
  nextstamp = stampdrawn;
  curvestart = OnCurve;
  stampdrawn = OnStamp;
}

void EndTrace() {
  if (path.empty()) return;
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    Say("cannot write the trace " + Quoted(path), "it could not be opened");
    return;
  }
  for (const Mark& m : marks) std::fprintf(f, "%c %lld\n", m.kind, m.ns);
  if (std::fclose(f) != 0) Say("cannot write the trace " + Quoted(path), "the write failed");
}
