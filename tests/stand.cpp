// The test stand: the library started with no system driver, a 32-bit memory bitmap as the
// screen, a one-pixel ball, the pen, every flag and hook and the pace reset, and a private
// working directory.
#include "stand.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "main3.h"
#include "pacing.h"
#include "pen.h"
#include "requests.h"
#include "screenshot.h"
#include "stopping.h"
#include "stroke.h"

void StartLibraryOnce() {
  static bool started = false;
  if (started) return;
  ASSERT_EQ(install_allegro(SYSTEM_NONE, &errno, atexit), 0);
  set_color_depth(kColorDepth);
  set_color_conversion(COLORCONV_TOTAL);
  started = true;
}

namespace {

// Every module variable a test may change, as the program starts: set up before each test and
// again after it, so that a test that fails half way leaks nothing into the next, nor into the
// tests that use no stand.
void ResetModules() {
  Moveto(0, 0);
  lastcx = lastcy = 0;
  t = 0;
  escape = false;
  stopsignal = 0;
  curvestart = nullptr;
  stampdrawn = nullptr;
  stampmade = nullptr;
  requestpoll = nullptr;
  scroll = nullptr;
  pressstart = TakeScreenshot;  // as the live program has it
  dumpfile = kDumpFile;
  dumpfailed = false;
  mouse_b = 0;
  pressed = 0;
  quitasked = 0;
  SetPace(0);
}

}  // namespace

void Stand::SetUp() {
  StartLibraryOnce();
  screen = create_bitmap(kW, kH);
  ASSERT_NE(screen, nullptr);
  clear_to_color(screen, 0);
  white_ = makecol(255, 255, 255);
  ball = Row({white_});
  ResetModules();
  umask_ = umask(0);
  umask(umask_);
  char here[4096];
  ASSERT_NE(getcwd(here, sizeof here), nullptr);
  home_ = here;
  char tmpl[] = "/tmp/inkstrip-test-XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  dir_ = tmpl;
  ASSERT_EQ(chdir(dir_.c_str()), 0);
}

void Stand::TearDown() {
  destroy_bitmap(ball);
  destroy_bitmap(screen);
  ball = nullptr;
  screen = nullptr;
  ResetModules();
  umask(umask_);
  if (chdir(home_.c_str()) != 0) ADD_FAILURE() << "cannot go back to " << home_;
  std::filesystem::remove_all(dir_);
}

BITMAP* Stand::Row(std::initializer_list<int> colours) {
  BITMAP* row = create_bitmap(static_cast<int>(colours.size()), 1);
  int i = 0;
  for (int c : colours) putpixel(row, i++, 0, c);
  return row;
}

BITMAP* Stand::Copy(BITMAP* from) {
  BITMAP* to = create_bitmap(from->w, from->h);
  blit(from, to, 0, 0, 0, 0, from->w, from->h);
  return to;
}

bool Stand::Same(BITMAP* a, BITMAP* b) {
  if (a->w != b->w || a->h != b->h) return false;
  for (int yy = 0; yy < a->h; ++yy)
    for (int xx = 0; xx < a->w; ++xx)
      if (getpixel(a, xx, yy) != getpixel(b, xx, yy)) return false;
  return true;
}

int Stand::Count(BITMAP* bmp, int colour) {
  int n = 0;
  for (int yy = 0; yy < bmp->h; ++yy)
    for (int xx = 0; xx < bmp->w; ++xx) n += getpixel(bmp, xx, yy) == colour;
  return n;
}

bool Stand::IsFile(const char* name) {
  struct stat st;
  return lstat(name, &st) == 0;
}

int Stand::Entries(const std::string& dir) {
  int n = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir)) ++n;
  return n;
}

std::string Captured(int fd, const std::function<void()>& work) {
  std::fflush(nullptr);
  std::FILE* into = std::tmpfile();
  const int saved = dup(fd);
  dup2(fileno(into), fd);
  work();
  std::fflush(nullptr);
  dup2(saved, fd);
  close(saved);
  std::string got;
  std::rewind(into);
  for (int c; (c = std::fgetc(into)) != EOF;) got += static_cast<char>(c);
  std::fclose(into);
  return got;
}

std::uint64_t Digest(BITMAP* bmp) {
  std::uint64_t h = 14695981039346656037ull;
  for (int row = 0; row < bmp->h; ++row) {
    for (int col = 0; col < bmp->w; ++col) {
      h ^= static_cast<std::uint32_t>(getpixel(bmp, col, row));
      h *= 1099511628211ull;
    }
  }
  return h;
}

std::string CurveName(const CurveDigest& c) {
  return "word " + std::to_string(c.word) + " (" + kWordNames[c.word] + ") command " +
         std::to_string(c.command);
}

RecordPlan Plan(double pace, bool half) {
  RecordPlan plan;
  plan.stampsperframe = kSamples;
  plan.pace = pace;
  plan.half = half;
  return plan;
}
