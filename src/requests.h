// What the user asks of the running program: a mouse press (save the screen and stop), and
// Escape or the window's close button (stop without saving). Requests are recorded as they
// arrive on the library's input thread, so none is lost however short.
#pragma once

#include <csignal>

// Set by the input callbacks only; read once per curve.
extern volatile std::sig_atomic_t pressed;    // a button went down
extern volatile std::sig_atomic_t quitasked;  // Escape, or the window's close button

// After install_mouse and install_keyboard.
void WatchRequests();

// A button is held now, or went down at some moment since the start.
bool PressSeen();

// The library's callbacks, named so that they can be driven by hand.
void OnMouse(int flags);
void OnKey(int scancode);
void OnCloseButton();
