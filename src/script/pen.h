// The pen: turns the handwriting script's relative curve commands, stored in sixths of a
// pixel, into absolute cubic Bezier curves and hands them to the stroke; it also takes curves
// in absolute pixels, for the user's own words.
#pragma once

extern int x, y;            // current point, screen pixels
extern int lastcx, lastcy;  // second control point of the last curve command, absolute

void Moveto(int nx, int ny);
void Cproc(int dx1, int dy1, int dx2, int dy2, int dx, int dy);
void Sproc(int dx2, int dy2, int dx, int dy);

// A cubic curve from the pen through absolute screen points: first control, second control, end
// (x, y each), stamped samples times; the pen then stands at its end, as after Cproc.
void Curveto(const int points[6], int samples);
