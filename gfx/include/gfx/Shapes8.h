#pragma once
// Outlines and solid shapes on 8-bit pages: lines, circles and arcs drawn with
// a pen (1 or 2 pixels wide, solid or dotted) and the filled triangle. Every
// pixel is clipped to the library's clip rectangle, as blits are.

#include <cstdint>

namespace tovrik::gfx {

// A drawing pen: a palette index, a width of 1 or 2 pixels, and a dotted
// pattern (two pixels on, two off along the stroke) or a solid stroke.
struct Pen8 {
  int color = 0;
  int width = 1;
  bool dotted = false;
};

void DrawLine8(int x1, int y1, int x2, int y2, std::uint8_t* dest, const Pen8& pen);
// The outline of the circle of `radius` around (cx, cy); radius 0 is a point.
void DrawCircle8(int cx, int cy, int radius, std::uint8_t* dest, const Pen8& pen);
// The part of that circle from `startDeg` through `sweepDeg` degrees,
// counter-clockwise on screen (0 points right, 90 up), as the game's
// directions are measured.
void DrawArc8(int cx, int cy, int radius, float startDeg, float sweepDeg, std::uint8_t* dest, const Pen8& pen);
// Every pixel whose centre lies inside the triangle or on its edges.
void FillTriangle8(int x1, int y1, int x2, int y2, int x3, int y3, std::uint8_t* dest, int color);

}  // namespace tovrik::gfx
