// Showing the memory screen through SDL2: SDL scales it on the way to the display (on the
// graphics card where there is one), at most once per display frame, so that drawing goes on
// at memory speed. A window of another program is watched on a connection of our own, which
// sees it destroyed whatever SDL selects on it.
#include "present.h"

#include <SDL2/SDL.h>
#include <X11/Xlib.h>
#include <allegro.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>

#include "geometry.h"
#include "requests.h"
#include "say.h"
#include "stopping.h"
#include "xwindows.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFallbackHz = 60;  // display frames a second when the display does not say
// Twice the frames a second a paced pen needs to be seen moving smoothly; more is only spent.
constexpr int kMostHz = 30;
constexpr int kShowingShare = 3;  // showing takes at most one part in this of the time
constexpr const char* kScaleQuality = "nearest";

SDL_Window* window = nullptr;
SDL_Renderer* renderer = nullptr;
SDL_Texture* texture = nullptr;
bool takeinput = false;

Display* watch = nullptr;  // our own connection, watching the given window
Window given = 0;
bool gone = false;

Clock::duration frame{0};
Clock::duration showing{0};  // what the last showing took
Clock::time_point shown{};   // the clock's epoch: long ago
bool pending = false;        // the screen changed since it was last shown

bool StartVideo(bool xonly) {
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Each pixel shown is a pixel of the strip, unblurred; with no graphics card, sampling one
  // texel instead of four also takes a third off the renderer's threads at --pace 20.
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, kScaleQuality);
  if (xonly) {
    // A given window is an X window, and the screensaver is the one to decide on blanking.
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    Say("cannot start SDL's video", SDL_GetError());
    return false;
  }
  IgnoreWindowErrors();
  EndOnLostConnection();
  return true;
}

int DisplayUnderPointer() {
  SDL_Point at;
  SDL_GetGlobalMouseState(&at.x, &at.y);
  for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
    SDL_Rect bounds;
    if (SDL_GetDisplayBounds(i, &bounds) == 0 && SDL_PointInRect(&at, &bounds)) return i;
  }
  return 0;
}

void TakeFrameRate() {
  SDL_DisplayMode mode{};
  const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
  const int hz = SDL_GetCurrentDisplayMode(display, &mode) == 0 && mode.refresh_rate > 0
                     ? mode.refresh_rate
                     : kFallbackHz;
  frame = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(1.0 / std::min(hz, kMostHz)));
}

bool OpenOwnWindow(bool windowed) {
  const int display = DisplayUnderPointer();
  const int at = SDL_WINDOWPOS_CENTERED_DISPLAY(display);
  const Uint32 flags = windowed ? SDL_WINDOW_RESIZABLE : SDL_WINDOW_FULLSCREEN_DESKTOP;
  window = SDL_CreateWindow(kTitle, at, at, kScreenW, kScreenH, flags);
  if (!window) {
    Say(windowed ? "cannot open a window" : "cannot open a full screen", SDL_GetError());
    return false;
  }
  if (!windowed) SDL_ShowCursor(SDL_DISABLE);
  takeinput = true;
  return true;
}

// A given window may have any visual and may vanish at any moment: SDL's software renderer
// draws into it with plain X requests, which then only fail.
bool OpenRenderer(Uint32 flags) {
  renderer = SDL_CreateRenderer(window, -1, flags);
  if (renderer) texture = NewScreenTexture(renderer);
  if (texture) return true;
  Say("cannot draw through SDL", SDL_GetError());
  return false;
}

bool TakeGivenWindow() {
  window = SDL_CreateWindowFrom(reinterpret_cast<const void*>(given));
  if (!window) {
    Say("cannot draw into window " + std::to_string(given), SDL_GetError());
    return false;
  }
  return OpenRenderer(SDL_RENDERER_SOFTWARE);
}

void DropWindow() {
  if (texture) SDL_DestroyTexture(texture);
  if (renderer) SDL_DestroyRenderer(renderer);
  if (window) SDL_DestroyWindow(window);
  texture = nullptr;
  renderer = nullptr;
  window = nullptr;
}

// Watched before SDL takes the window, so that its end cannot slip by unseen.
bool WatchGivenWindow(unsigned long id) {
  given = static_cast<Window>(id);
  XSelectInput(watch, given, StructureNotifyMask);
  XWindowAttributes a;
  if (!XGetWindowAttributes(watch, given, &a)) {
    Say("cannot draw into window " + std::to_string(id), "there is no such window");
    return false;
  }
  return true;
}

void ReadWatch() {
  while (XPending(watch)) {
    XEvent e;
    XNextEvent(watch, &e);
    if (e.type == DestroyNotify && e.xdestroywindow.window == given) gone = true;
  }
  if (gone) quitasked = 1;
}

void TakeEvent(const SDL_Event& e) {
  if (e.type == SDL_WINDOWEVENT) pending = true;  // exposed, resized, moved: show it again
  if (!takeinput) return;
  if (e.type == SDL_MOUSEBUTTONDOWN) pressed = 1;
  if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_ESCAPE) quitasked = 1;
  if (e.type == SDL_QUIT) quitasked = 1;
}

// At most once a display frame, and never more than a third of the time: where scaling is slow
// (a large screen with no graphics card) the writing goes on at its pace and is shown less often.
// A window seen destroyed is drawn into no more: SDL would only be drawing into nothing.
void ShowIfDue() {
  if (!pending || !renderer || gone) return;
  const Clock::time_point now = Clock::now();
  if (now - shown < std::max(frame, kShowingShare * showing)) return;
  DrawScreen(renderer, texture);
  SDL_RenderPresent(renderer);
  shown = now;
  showing = Clock::now() - now;
  pending = false;
}

}  // namespace

bool ScreensaverWindow(unsigned long* id) {
  const char* named = std::getenv("XSCREENSAVER_WINDOW");
  if (named && *named) {
    if (ReadWindowId(named, id)) return true;
    Say("cannot draw into $XSCREENSAVER_WINDOW", Quoted(named) + " is not a window id");
    return false;
  }
  Display* x = XOpenDisplay(nullptr);
  if (!x) {
    Say("cannot draw into the root window", "cannot reach the X server at DISPLAY");
    return false;
  }
  *id = DefaultRootWindow(x);
  XCloseDisplay(x);
  return true;
}

bool StartShowing(const Stage& stage) {
  gone = false;
  pending = true;
  shown = Clock::time_point{};
  if (stage.window) {
    IgnoreWindowErrors();
    watch = XOpenDisplay(nullptr);
    if (!watch) {
      Say("cannot draw into window " + std::to_string(stage.window),
          "cannot reach the X server at DISPLAY");
      return false;
    }
    if (!WatchGivenWindow(stage.window)) return false;
  }
  if (!StartVideo(stage.window != 0)) return false;
  const bool opened =
      stage.window ? TakeGivenWindow() : OpenOwnWindow(stage.windowed) && OpenRenderer(0);
  if (!opened) return false;
  TakeFrameRate();
  return true;
}

void ShowChanges() {
  pending = true;
  ShowIfDue();
}

void LookAtWindow() {
  SDL_Event e;
  while (SDL_PollEvent(&e)) TakeEvent(e);
  if (watch) ReadWatch();
  ShowIfDue();
}

bool WindowGone() { return gone; }

void StopShowing() {
  DropWindow();
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_QuitSubSystem(SDL_INIT_VIDEO);
  SDL_Quit();
  if (watch) XCloseDisplay(watch);
  watch = nullptr;
  given = 0;
}

// Allegro with no display driver lays a 32-bit pixel out as 0x00BBGGRR; the texture takes the
// rows as they are, in whatever order Allegro chose.
namespace {

Uint32 StripFormat() {
  return _rgb_r_shift_32 == 0 ? SDL_PIXELFORMAT_BGR888 : SDL_PIXELFORMAT_RGB888;
}

}  // namespace

SDL_Texture* NewScreenTexture(SDL_Renderer* r) {
  // The strip keeps its shape at any size: not only whole multiples, or a 1920x1080 display
  // would show it 1:1 in the middle.
  SDL_RenderSetIntegerScale(r, SDL_FALSE);
  if (SDL_RenderSetLogicalSize(r, kScreenW, kScreenH) != 0) return nullptr;
  return SDL_CreateTexture(r, StripFormat(), SDL_TEXTUREACCESS_STREAMING, kScreenW, kScreenH);
}

void DrawScreen(SDL_Renderer* r, SDL_Texture* tex) {
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(tex, nullptr, &pixels, &pitch) == 0) {
    for (int y = 0; y < kScreenH; ++y)
      std::memcpy(static_cast<char*>(pixels) + y * pitch, screen->line[y],
                  kScreenW * kBytesPerPixel);
    SDL_UnlockTexture(tex);
  }
  SDL_SetRenderDrawColor(r, 0, 0, 0, SDL_ALPHA_OPAQUE);
  SDL_RenderClear(r);
  SDL_RenderCopy(r, tex, nullptr, nullptr);
}
