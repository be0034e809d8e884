// The memory screen of the scaled modes as a 1024x768 window onto a sheet wider than it: the
// strip moves one pixel left when the window moves one pixel right over the sheet, which costs a
// pointer a row rather than a copy of the whole screen, and the sheet is copied back to its start
// only when the window reaches its end.
#pragma once

// Puts the memory screen, which must be black, onto a black sheet. Says why not.
bool StartSheet();

// The stroke's scroll, after its blackening of column 1023: the same pixels as the copy, column
// 1023 black after it.
void MoveSheet();

// Frees the screen and its sheet.
void EndSheet();
