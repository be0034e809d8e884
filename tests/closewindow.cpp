// Asks the top-level window of the given name to close, as a window manager's close button does
// (a WM_DELETE_WINDOW message), for the end-to-end tests on a bare X server.
// Usage: closewindow NAME   Exit status 1 if no such window is found.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>

namespace {

Window Named(Display* x, Window under, const char* name) {
  char* have = nullptr;
  if (XFetchName(x, under, &have) && have) {
    const bool same = std::strcmp(have, name) == 0;
    XFree(have);
    if (same) return under;
  }
  Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(x, under, &root, &parent, &children, &count)) return 0;
  Window found = 0;
  for (unsigned i = 0; i < count && !found; ++i) found = Named(x, children[i], name);
  if (children) XFree(children);
  return found;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: closewindow NAME\n");
    return 2;
  }
  Display* x = XOpenDisplay(nullptr);
  if (!x) return 1;
  const Window w = Named(x, DefaultRootWindow(x), argv[1]);
  if (!w) {
    std::fprintf(stderr, "closewindow: no window named %s\n", argv[1]);
    return 1;
  }
  XEvent e{};
  e.xclient.type = ClientMessage;
  e.xclient.window = w;
  e.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
  e.xclient.format = 32;
  e.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
  e.xclient.data.l[1] = CurrentTime;
  XSendEvent(x, w, False, NoEventMask, &e);
  XCloseDisplay(x);
  return 0;
}
