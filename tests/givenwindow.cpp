// Makes a window of its own and holds it, as a screensaver holds the window its hack draws in,
// for the end-to-end tests of --window-id: prints the window's id, then waits to be ended,
// which destroys the window with the connection.
// Usage: givenwindow WIDTHxHEIGHT
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  unsigned w = 0, h = 0;
  if (argc != 2 || std::sscanf(argv[1], "%ux%u", &w, &h) != 2 || !w || !h) {
    std::fprintf(stderr, "usage: givenwindow WIDTHxHEIGHT\n");
    return 2;
  }
  Display* x = XOpenDisplay(nullptr);
  if (!x) return 1;
  const Window win = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, w, h, 0, 0, 0);
  XStoreName(x, win, "givenwindow");
  XMapWindow(x, win);
  XSync(x, False);
  std::printf("0x%lx\n", win);
  std::fflush(stdout);
  for (;;) pause();
}
