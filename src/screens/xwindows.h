// What the program's screens share about X: the name its windows go by, a lost connection that
// ends the program cleanly, and window ids as screensavers pass them.
#pragma once

// The title and class that taskbars, window rules and "force quit" know the program's windows by.
constexpr const char* kTitle = "inkstrip";

// Xlib's own handling of a lost connection calls exit on whichever thread noticed, usually the
// library's input thread, tearing the screen down under the drawing thread: from here on the
// program's own ends it cleanly instead.
void EndOnLostConnection();

// Errors about a window that another program destroyed under us are ignored, rather than each
// ending the program with a page of text; the window's watcher sees it gone.
void IgnoreWindowErrors();

// A window id as screensavers pass it: decimal, or hexadecimal after 0x, above 0 and within the
// 32 bits of an X resource id; nothing else, not even a space or a sign.
bool ReadWindowId(const char* text, unsigned long* id);
