// The scaled screen: drawn through SDL's software renderer onto a surface of a display's or a
// window's size, the whole 1024x768 strip fills as much of it as its shape allows, centred, with
// black bars, at every size from a screensaver's preview to 4K.
#include "present.h"

#include <SDL2/SDL.h>

#include <algorithm>

#include "stand.h"

namespace {

using PresentTest = Stand;

constexpr int kCorner = 64;  // pixels of the marks in the strip's corners

struct Box {
  int x, y, w, h;
};

Uint32 At(SDL_Surface* s, int x, int y) {
  return static_cast<Uint32*>(s->pixels)[y * s->pitch / 4 + x] & 0xFFFFFF;
}

// The smallest rectangle holding every pixel that is not black.
Box Lit(SDL_Surface* s) {
  int x0 = s->w, y0 = s->h, x1 = -1, y1 = -1;
  for (int y = 0; y < s->h; ++y)
    for (int x = 0; x < s->w; ++x)
      if (At(s, x, y)) {
        x0 = std::min(x0, x);
        y0 = std::min(y0, y);
        x1 = std::max(x1, x);
        y1 = std::max(y1, y);
      }
  return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

// A white strip with a red top-left corner and a green bottom-right one, shown at w x h.
SDL_Surface* Shown(int w, int h) {
  clear_to_color(screen, makecol(255, 255, 255));
  rectfill(screen, 0, 0, kCorner - 1, kCorner - 1, makecol(255, 0, 0));
  rectfill(screen, kW - kCorner, kH - kCorner, kW - 1, kH - 1, makecol(0, 255, 0));
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGB888);
  SDL_Renderer* r = SDL_CreateSoftwareRenderer(s);
  SDL_Texture* tex = NewScreenTexture(r);
  EXPECT_NE(tex, nullptr) << SDL_GetError();
  DrawScreen(r, tex);
  SDL_RenderPresent(r);
  SDL_DestroyTexture(tex);
  SDL_DestroyRenderer(r);
  return s;
}

TEST_F(PresentTest, TheStripFillsEverySizeWithItsShapeKeptAndBlackBars) {
  const struct {
    int w, h;
    Box box;
  } kSizes[] = {
      {1920, 1080, {240, 0, 1440, 1080}},  {3840, 2160, {480, 0, 2880, 2160}},
      {1280, 720, {160, 0, 960, 720}},     {640, 480, {0, 0, 640, 480}},
      {200, 150, {0, 0, 200, 150}},        {300, 600, {0, 188, 300, 225}},
      {3840, 1080, {1200, 0, 1440, 1080}},
  };
  for (const auto& size : kSizes) {
    SCOPED_TRACE(std::to_string(size.w) + "x" + std::to_string(size.h));
    SDL_Surface* s = Shown(size.w, size.h);
    const Box lit = Lit(s);
    EXPECT_NEAR(lit.x, size.box.x, 1);
    EXPECT_NEAR(lit.y, size.box.y, 1);
    EXPECT_NEAR(lit.w, size.box.w, 1);
    EXPECT_NEAR(lit.h, size.box.h, 1);
    const int inset = 2;  // clear of the scaled corner marks' edges
    EXPECT_EQ(At(s, lit.x + inset, lit.y + inset), 0xFF0000u);
    EXPECT_EQ(At(s, lit.x + lit.w - 1 - inset, lit.y + lit.h - 1 - inset), 0x00FF00u);
    EXPECT_EQ(At(s, lit.x + lit.w / 2, lit.y + lit.h / 2), 0xFFFFFFu);
    SDL_FreeSurface(s);
  }
}

}  // namespace
