// The pen: relative curve commands in sixths of a pixel become absolute control points.
#include "pen.h"

#include "stroke.h"

int x = 0, y = 0;
int lastcx = 0, lastcy = 0;

namespace {

constexpr int kScriptScale = 6;  // script units per screen pixel

// C++ integer division truncates toward zero, which is what the script's numbers were made for:
// -141 / 6 is -23, and the rounding of each end point carries into the next curve.
int Scaled(int offset) { return offset / kScriptScale; }

// Draws the curve whose start is the pen and whose other three points are given, then walks the
// pen to its end whether or not anything was drawn.
void Curve(int c1x, int c1y, int c2x, int c2y, int ex, int ey, int samples = kSamples) {
  const int points[8] = {x, y, c1x, c1y, c2x, c2y, ex, ey};
  Bezier(points, samples);
  Moveto(ex, ey);
  lastcx = c2x;
  lastcy = c2y;
}

}  // namespace

void Moveto(int nx, int ny) {
  x = nx;
  y = ny;
}

void Cproc(int dx1, int dy1, int dx2, int dy2, int dx, int dy) {
  Curve(x + Scaled(dx1), y + Scaled(dy1), x + Scaled(dx2), y + Scaled(dy2), x + Scaled(dx),
        y + Scaled(dy));
}

// The first control point mirrors the last curve's second one through the pen, so the two
// curves meet without a corner.
void Sproc(int dx2, int dy2, int dx, int dy) {
  Curve(x - lastcx + x, y - lastcy + y, x + Scaled(dx2), y + Scaled(dy2), x + Scaled(dx),
        y + Scaled(dy));
}

void Curveto(const int points[6], int samples) {
  Curve(points[0], points[1], points[2], points[3], points[4], points[5], samples);
}
