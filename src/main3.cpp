// The program's shell: starts the library and the display, loads the ball and writes the
// handwriting script pass after pass until a mouse press stops it.
#include "main3.h"

#include <allegro.h>

#include <cstdio>
#include <iterator>
#include <string>

#include "bmpcheck.h"
#include "pen.h"
#include "stroke.h"

bool escape = false;
volatile std::sig_atomic_t stopsignal = 0;

namespace {

constexpr int kScreenW = 1024;          // pixels
constexpr int kScreenH = 768;           // pixels
constexpr int kColorDepth = 32;         // bits per pixel
constexpr int kLeastDesktopDepth = 16;  // bits per pixel of the display the screen is shown on
constexpr const char* kBallFile = "ball4.bmp";

// One pen command of the script: 'C' takes all six numbers, 'S' the first four. The numbers are
// offsets from the pen in sixths of a pixel.
struct Command {
  char kind;
  int n[6];
};

// clang-format off
constexpr Command kHello[] = {
    {'C', {-141, -889, 909, -41, 1313, -788}},
    {'C', {-242, 949, -546, 3222, -1111, 3232}},
    {'C', {-1135, 22, 3045, -3153, 2000, -3212}},
    {'C', {-666, -37, -1421, 3230, -929, 3232}},
    {'S', {1938, -859, 1757, -1212}},
    {'C', {-323, -627, -869, 121, -929, 606}},
    {'S', {403, 627, 767, 606}},
    {'S', {2202, -2970, 1697, -2989}},
    {'S', {-1313, 3010, -687, 3009}},
    {'S', {2020, -2990, 1454, -2969}},
    {'S', {-969, 3009, -545, 2968}},
    {'S', {363, -585, 727, -908}},
    {'S', {909, -546, 1091, -162}},
    {'C', {-546, -465, -1212, 162, -1212, 667}},
    {'S', {141, 525, 646, 525}},
    {'S', {727, -1252, 505, -1333}},
    {'S', {-504, 163, -343, 384}},
    {'S', {545, 141, 707, -162}},
};

constexpr Command kWorld[] = {
    {'C', {384, -444, 323, -363, 485, -323}},
    {'S', {-484, 1191, -40, 1151}},
    {'S', {444, -687, 606, -1171}},
    {'C', {-122, 444, -101, 1171, 121, 1171}},
    {'S', {707, -989, 586, -1131}},
    {'S', {-381, 69, -345, 201}},
    {'S', {265, 229, 465, 229}},
    {'S', {276, -714, 878, -365}},
    {'C', {-337, -201, -567, 31, -718, 196}},
    {'S', {-188, 730, 8, 882}},
    {'S', {531, 77, 683, -83}},
    {'S', {215, -842, 43, -967}},
    {'S', {-525, 216, -313, 373}},
    {'C', {327, 242, 733, -501, 926, -441}},
    {'S', {-47, 791, -128, 1170}},
    {'C', {358, -774, 449, -923, 581, -1154}},
    {'C', {72, 216, 117, 308, 269, 312}},
    {'S', {1435, -1691, 983, -1686}},
    {'S', {-808, 2531, -490, 2536}},
    {'S', {352, -553, 529, -822}},
    {'S', {620, -104, 931, -118}},
    {'C', {-827, -123, -927, 193, -1027, 434}},
    {'S', {79, 571, 621, 574}},
    {'S', {1243, -2550, 844, -2547}},
    {'S', {-635, 2561, -202, 2575}},
    {'S', {439, -145, 609, -412}},
};
// clang-format on

struct Word {
  int startx, starty;  // absolute screen pixels
  const Command* commands;
  int count;
};

constexpr Word kWords[] = {
    {550, 150, kHello, static_cast<int>(std::size(kHello))},
    {840, 380, kWorld, static_cast<int>(std::size(kWorld))},
};

void Run(const Command& c) {
  if (c.kind == 'C') {
    Cproc(c.n[0], c.n[1], c.n[2], c.n[3], c.n[4], c.n[5]);
  } else {
    Sproc(c.n[0], c.n[1], c.n[2], c.n[3]);
  }
}

void Fail(const char* what, const char* why) {
  std::fprintf(stderr, "inkstrip: %s: %s\n", what, why);
}

// Looked at before the display is taken over, so a bad sprite costs no mode switch, and before
// the loader sees it, since the loader trusts whatever the file claims.
bool BallAcceptable() {
  const std::string why = BmpFileProblem(kBallFile);
  if (why.empty()) return true;
  Fail("cannot use ball4.bmp", why.c_str());
  return false;
}

// The library's own handlers shut it down from inside the signal, which can abort with a core
// dump or leave the program running; a signal is rather taken like a press without the
// screenshot, so the pass ends without drawing and the library shuts down as usual. A second
// signal of the same kind ends the program at once.
void OnStopSignal(int sig) { stopsignal = sig; }

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
bool ignoredatstart[std::size(kStopSignals)];  // as by nohup, or for a background job

void NoteIgnoredSignals() {
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    struct sigaction old {};
    sigaction(kStopSignals[i], nullptr, &old);
    ignoredatstart[i] = old.sa_handler == SIG_IGN;
  }
}

void CatchStopSignals() {
  struct sigaction action {};
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
    action.sa_handler = ignoredatstart[i] ? SIG_IGN : OnStopSignal;
    sigaction(kStopSignals[i], &action, nullptr);
  }
}

// Ends the way the signal itself would have, now that the display is given back.
int EndLikeTheSignal() {
  std::signal(stopsignal, SIG_DFL);
  std::raise(stopsignal);
  return 128 + stopsignal;
}

bool StartLibrary() {
  if (allegro_init() == 0) return true;
  Fail("cannot start the Allegro library",
       allegro_error[0] ? allegro_error : "no display (is DISPLAY set to a running X server?)");
  return false;
}

// Measured on X: at 8 and 15 bits per pixel the ink shows in the wrong colours, and on a screen
// smaller than 1024x768 part of the writing is cut off. 16 bits and more, and larger screens,
// show it as it is.
bool DisplaySuitable() {
  const int depth = desktop_color_depth();
  int w = 0, h = 0;
  char why[160];
  if (depth != 0 && depth < kLeastDesktopDepth) {
    std::snprintf(why, sizeof why, "the display has %d bits per pixel; 16 or more are needed",
                  depth);
  } else if (get_desktop_resolution(&w, &h) == 0 && (w < kScreenW || h < kScreenH)) {
    std::snprintf(why, sizeof why, "the display is %dx%d; 1024x768 or more is needed", w, h);
  } else {
    return true;
  }
  Fail("cannot open a 1024x768 full screen", why);
  return false;
}

bool StartDisplay() {
  if (!DisplaySuitable()) return false;
  set_color_depth(kColorDepth);
  if (set_gfx_mode(GFX_AUTODETECT_FULLSCREEN, kScreenW, kScreenH, 0, 0) == 0) return true;
  Fail("cannot open a 1024x768 full screen at 32 bits per pixel", allegro_error);
  return false;
}

bool LoadBall() {
  ball = load_bitmap(kBallFile, nullptr);
  if (!ball) {
    Fail("cannot load ball4.bmp", "the library could not read it");
    return false;
  }
  if (HasInk(ball)) return true;
  Fail("cannot use ball4.bmp", "every pixel is the mask colour (255, 0, 255), so nothing shows");
  destroy_bitmap(ball);
  ball = nullptr;
  return false;
}

bool StartUp() {
  NoteIgnoredSignals();
  if (!BallAcceptable() || !StartLibrary()) return false;
  CatchStopSignals();
  install_timer();
  install_keyboard();
  install_mouse();
  if (StartDisplay() && LoadBall()) return true;
  allegro_exit();
  return false;
}

}  // namespace

// The stamp count restarts with every word, so each word begins at its own start point on the
// screen however far the strip has moved.
void WriteWord(int word) {
  const Word& w = kWords[word];
  Moveto(w.startx, w.starty);
  t = 0;
  for (int i = 0; i < w.count; ++i) Run(w.commands[i]);
}

void WritePass() {
  WriteWord(0);
  WriteWord(1);
}

int main(int, char**) {
  if (!StartUp()) return 1;
  t = 0;
  do {
    WritePass();
  } while (!escape);
  destroy_bitmap(ball);
  allegro_exit();
  if (stopsignal) return EndLikeTheSignal();
  return dumpfailed ? 1 : 0;
}
END_OF_MAIN()
