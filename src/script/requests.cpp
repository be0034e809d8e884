// The user's requests, recorded on the library's input thread: the callbacks only raise flags,
// which the main thread reads at the start of every curve.
#include "requests.h"

#include <allegro.h>

std::atomic<int> pressed{0};
std::atomic<int> quitasked{0};
void (*requestpoll)() = nullptr;

namespace {

constexpr int kButtonDown = MOUSE_FLAG_LEFT_DOWN | MOUSE_FLAG_RIGHT_DOWN | MOUSE_FLAG_MIDDLE_DOWN;

}  // namespace

void OnMouse(int flags) {
  if (flags & kButtonDown) pressed = 1;
}

// Scan codes of released keys carry the top bit, so only the key going down counts.
void OnKey(int scancode) {
  if (scancode == KEY_ESC) quitasked = 1;
}

void OnCloseButton() { quitasked = 1; }

void WatchRequests() {
  mouse_callback = OnMouse;
  keyboard_lowlevel_callback = OnKey;
  set_close_button_callback(OnCloseButton);
}

void PollRequests() {
  if (requestpoll) requestpoll();
}

bool PressSeen() { return pressed || mouse_b != 0; }
