// Stands in for a screensaver dialog's preview: makes a black top-level window of the given size,
// prints its id, and keeps it until it is sent SIGTERM or the X server goes.
// Usage: hostwindow WIDTHxHEIGHT   Exit status 1 if there is no display.
#include <X11/Xlib.h>

#include <cstdio>

int main(int argc, char** argv) {
  unsigned w = 0, h = 0;
  if (argc != 2 || std::sscanf(argv[1], "%ux%u", &w, &h) != 2 || w == 0 || h == 0) {
    std::fprintf(stderr, "usage: hostwindow WIDTHxHEIGHT\n");
    return 2;
  }
  Display* x = XOpenDisplay(nullptr);
  if (!x) {
    std::fprintf(stderr, "hostwindow: cannot open the display\n");
    return 1;
  }
  const int s = DefaultScreen(x);
  const Window win =
      XCreateSimpleWindow(x, RootWindow(x, s), 0, 0, w, h, 0, BlackPixel(x, s), BlackPixel(x, s));
  XStoreName(x, win, "hostwindow");
  XMapWindow(x, win);
  XSync(x, False);
  std::printf("0x%lx\n", win);
  std::fflush(stdout);
  for (;;) {
    XEvent e;
    XNextEvent(x, &e);
  }
}
