// The library and the display: started with messages that name the real cause, as a full
// screen or as a window, with the X connection watched so that losing it ends the program
// cleanly, and with no message ever written into that connection.
#pragma once

// First thing of all: a standard stream closed at start is opened on /dev/null, so that the X
// connection can never take descriptor 0, 1 or 2 and a message can never go into it.
void KeepStandardStreamsOpen();

// allegro_init, with the reason when it fails. Takes over the X connection's I/O errors.
bool StartLibrary();

// The library with no system driver and a black 1024x768 memory screen at 32 bits per pixel,
// for a recording: no display is opened and no X call is made. Says why not on stderr.
bool StartMemoryScreen();

// Checks the display and opens 1024x768 at 32 bits per pixel, full screen or in a window.
bool StartDisplay(bool windowed);
