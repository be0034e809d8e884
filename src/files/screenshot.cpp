// The screenshot a mouse press asks for: the screen copied first, then saved whole, so that a
// lost display or a second signal can never leave half a file.
#include "screenshot.h"

#include <allegro.h>

#include "geometry.h"
#include "safesave.h"
#include "say.h"
#include "stopping.h"

std::string dumpfile = kDumpFile;
bool dumpfailed = false;

// The copy is taken from the screen first; only the save is guarded, since it alone needs no
// display and must never be left half done.
void TakeScreenshot() {
  BITMAP* shot = create_bitmap(kScreenW, kScreenH);
  if (!shot) {
    Say("cannot write " + Quoted(dumpfile), "no memory for a copy of the screen");
    dumpfailed = true;
    return;
  }
  blit(screen, shot, 0, 0, 0, 0, kScreenW, kScreenH);
  if (!BeginSave() || !SaveBitmapWhole(dumpfile.c_str(), shot)) dumpfailed = true;
  EndSave();
  destroy_bitmap(shot);
}
