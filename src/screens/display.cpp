// Starting the library and the display, each failure said with its real cause, and the windows
// the library opens named as the program.
#include "display.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <allegro.h>
#include <fcntl.h>
#include <unistd.h>
#include <xalleg.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "geometry.h"
#include "say.h"
#include "stopping.h"
#include "xwindows.h"

namespace {

constexpr int kLeastDesktopDepth = 16;  // bits per pixel of the display the screen is shown on

// allegro_init says nothing of why it failed: the reason is found by asking again.
std::string WhyNoLibrary(int err) {
  if (err == ENOMEM) return "not enough memory";
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return "no display (DISPLAY is not set; is there an X server to run on?)";
  Display* x = XOpenDisplay(nullptr);
  if (!x) {
    return "no display: cannot reach the X server at DISPLAY=" + Quoted(name) +
           " (is it running, and may this user use it?)";
  }
  XCloseDisplay(x);
  if (allegro_error[0]) return allegro_error;
  return "the library did not say why (perhaps too little memory)";
}

// Measured on X: at 8 and 15 bits per pixel the ink shows in the wrong colours, and on a screen
// smaller than 1024x768 part of the writing is cut off. 16 bits and more, and larger screens,
// show it as it is.
std::string DisplayProblem() {
  const int depth = desktop_color_depth();
  int w = 0, h = 0;
  if (depth != 0 && depth < kLeastDesktopDepth)
    return "the display has " + std::to_string(depth) + " bits per pixel; " +
           std::to_string(kLeastDesktopDepth) + " or more are needed";
  if (get_desktop_resolution(&w, &h) == 0 && (w < kScreenW || h < kScreenH))
    return "the display is " + std::to_string(w) + "x" + std::to_string(h) + "; " + ScreenSize() +
           " or more is needed";
  return "";
}

void NameOneWindow(Display* x, Window w) {
  std::string name = kTitle;
  XClassHint hint{name.data(), name.data()};
  XSetClassHint(x, w, &hint);
  XChangeProperty(x, w, XInternAtom(x, "_NET_WM_NAME", False), XInternAtom(x, "UTF8_STRING", False),
                  8, PropModeReplace, reinterpret_cast<const unsigned char*>(kTitle),
                  std::strlen(kTitle));
  const long pid = getpid();
  XChangeProperty(x, w, XInternAtom(x, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
}

// Taskbars, window rules and "force quit" tell programs apart by these properties, which the
// library leaves at its own name or unset. The library's input thread shares the connection,
// hence its lock.
void NameWindows() {
  XLOCK();
  for (Window w : {_xwin.wm_window, _xwin.fs_window})
    if (w) NameOneWindow(_xwin.display, w);
  XFlush(_xwin.display);
  XUNLOCK();
}

std::string WhyNoMode() {
  if (std::strstr(allegro_error, "grab")) {
    return std::string("another program holds the keyboard or the mouse (perhaps another ") +
           "inkstrip; --windowed needs neither) [" + allegro_error + "]";
  }
  return allegro_error;
}

}  // namespace

void KeepStandardStreamsOpen() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    const int opened = open("/dev/null", O_RDWR);
    if (opened >= 0 && opened != fd) close(opened);
  }
}

// The library opens the X connection here and never sets an I/O error handler of its own, so
// the program's stays in place from now on.
bool StartLibrary() {
  if (allegro_init() == 0) {
    EndOnLostConnection();
    return true;
  }
  const int err = errno;
  Say("cannot start the Allegro library", WhyNoLibrary(err));
  return false;
}

bool StartMemoryScreen() {
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
    Say("cannot start the Allegro library", allegro_error);
    return false;
  }
  set_color_depth(kColorDepth);
  screen = create_bitmap(kScreenW, kScreenH);
  if (!screen) {
    Say("cannot start", "no memory for a " + ScreenSize() + " memory screen");
    return false;
  }
  clear_to_color(screen, kBlack);
  return true;
}

bool StartDisplay(bool windowed) {
  const std::string what =
      "cannot open a " + ScreenSize() + (windowed ? " window" : " full screen");
  const std::string problem = DisplayProblem();
  if (!problem.empty()) {
    Say(what, problem);
    return false;
  }
  set_window_title(kTitle);
  set_color_depth(kColorDepth);
  const int card = windowed ? GFX_AUTODETECT_WINDOWED : GFX_AUTODETECT_FULLSCREEN;
  if (set_gfx_mode(card, kScreenW, kScreenH, 0, 0) == 0) {
    NameWindows();
    return true;
  }
  Say(what + " at " + std::to_string(kColorDepth) + " bits per pixel", WhyNoMode());
  return false;
}
