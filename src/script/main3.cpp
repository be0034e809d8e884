// The handwriting script and its pass loop: the two words as tables of pen commands, written
// word by word, pass after pass until the stop flag is raised.
#include "main3.h"

#include <iterator>

#include "pen.h"
#include "stroke.h"

bool escape = false;

namespace {

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

}  // namespace

// The stamp count restarts with every word, so each word begins at its own start point on the
// screen however far the strip has moved.
void BeginWord(int word) {
  Moveto(kWords[word].startx, kWords[word].starty);
  t = 0;
}

int CommandsIn(int word) { return kWords[word].count; }

void RunCommand(int word, int i) { Run(kWords[word].commands[i]); }

void WriteWord(int word) {
  BeginWord(word);
  for (int i = 0; i < CommandsIn(word); ++i) RunCommand(word, i);
}

void WritePass() {
  WriteWord(0);
  WriteWord(1);
}

void WritePasses(void (*pass)()) {
  t = 0;
  do {
    pass();
  } while (!escape);
}
