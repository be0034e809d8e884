// Showing the 1024x768 memory screen through SDL2, scaled with its shape kept: filling the
// display, in a resizable window, or in a window another program owns, as a screensaver's is.
#pragma once

struct SDL_Renderer;
struct SDL_Texture;

// Where the screen is shown. A given window (window != 0) takes no input: its owner has it.
struct Stage {
  bool windowed = false;     // a resizable window of our own rather than the whole monitor
  unsigned long window = 0;  // an X window of another program; 0: one of our own
};

// The X window a screensaver gives in $XSCREENSAVER_WINDOW, else the root window. Says why
// not when the variable holds no window id or there is no X display.
bool ScreensaverWindow(unsigned long* window);

// Starts SDL's video and opens the stage; call it with the stop signals held. Says why not.
bool StartShowing(const Stage& stage);

// Hooks for the stroke: the screen has changed (shown when a display frame is due), and a look
// at the window's events (requests raised, resizes followed, changes not yet shown shown).
void ShowChanges();
void LookAtWindow();

// The given window was destroyed by its owner: the program ends quietly.
bool WindowGone();

void StopShowing();

// The texture the screen is copied into, and the renderer's logical size that letterboxes it.
SDL_Texture* NewScreenTexture(SDL_Renderer* renderer);

// Copies the memory screen row by row into the texture and draws it letterboxed on black.
void DrawScreen(SDL_Renderer* renderer, SDL_Texture* texture);
