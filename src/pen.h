// The pen: turns the handwriting script's relative curve commands, stored in sixths of a
// pixel, into absolute cubic Bezier curves and hands them to the stroke.
#pragma once

extern int x, y;            // current point, screen pixels
extern int lastcx, lastcy;  // second control point of the last curve command, absolute

void Moveto(int nx, int ny);
void Cproc(int dx1, int dy1, int dx2, int dy2, int dx, int dy);
void Sproc(int dx2, int dy2, int dx, int dy);
