// What the user asks of the running program: a mouse press (save the screen and stop), and
// Escape or the window's close button (stop without saving). Requests are recorded as they
// arrive on the library's input thread, so none is lost however short.
#pragma once

#include <atomic>

// Set by the input callbacks on the library's input thread only; read once per curve.
extern std::atomic<int> pressed;    // a button went down
extern std::atomic<int> quitasked;  // Escape, or the window's close button

// When set, called whenever the requests are looked at: a display run by another library than
// Allegro raises the flags above from its own events here.
extern void (*requestpoll)();

// Calls requestpoll when it is set.
void PollRequests();

// After install_mouse and install_keyboard.
void WatchRequests();

// A button is held now, or went down at some moment since the start.
bool PressSeen();

// The library's callbacks, named so that they can be driven by hand.
void OnMouse(int flags);
void OnKey(int scancode);
void OnCloseButton();
