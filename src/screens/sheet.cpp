// The sheet under the memory screen. The screen is a sub-bitmap whose row pointers are moved
// along the sheet's rows; drawing clips at the window's edges, so the sheet right of the window
// stays as black as it was left when the window was last brought back to the start.
#include "sheet.h"

#include <allegro.h>

#include "geometry.h"
#include "say.h"

namespace {

// Columns the window moves before the screen is copied back to the sheet's start: a copy of the
// screen for every this many moves.
constexpr int kMovesPerCopy = kScreenW;
constexpr int kSheetW = kScreenW + kMovesPerCopy;

BITMAP* sheet = nullptr;
int at = 0;  // the sheet column under the screen's left edge

void PlaceWindow() {
  for (int y = 0; y < kScreenH; ++y) screen->line[y] = sheet->line[y] + at * kBytesPerPixel;
  screen->x_ofs = at;
}

// The screen's columns 1 to 1023 go to the sheet's start, and everything right of them is black.
void BackToStart() {
  blit(sheet, sheet, at + 1, 0, 0, 0, kScreenW - 1, kScreenH);
  rectfill(sheet, kRightColumn, 0, kSheetW - 1, kScreenH - 1, kBlack);
  at = 0;
}

}  // namespace

bool StartSheet() {
  sheet = create_bitmap(kSheetW, kScreenH);
  BITMAP* window = sheet ? create_sub_bitmap(sheet, 0, 0, kScreenW, kScreenH) : nullptr;
  if (!window) {
    if (sheet) destroy_bitmap(sheet);
    sheet = nullptr;
    Say("cannot draw", "no memory for the strip's sheet");
    return false;
  }
  clear_to_color(sheet, kBlack);
  destroy_bitmap(screen);
  screen = window;
  at = 0;
  return true;
}

void MoveSheet() {
  if (at == kMovesPerCopy) {
    BackToStart();
  } else {
    ++at;
  }
  PlaceWindow();
}

void EndSheet() {
  destroy_bitmap(screen);
  destroy_bitmap(sheet);
  screen = nullptr;
  sheet = nullptr;
}
