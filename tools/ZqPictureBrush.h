#pragma once

#include "tools/ZqMediaWriter.h"

// The strokes the sample's pictures are drawn with (ZqSamplePictures.cpp and the second
// world's pictures): a colour as the source, lighter or darker tones of it, shapes as paths,
// gradients. Coordinates are the canvas's user space (pixels, origin top-left, y down).
namespace zqbrush {

using zqmedia::Rgba;

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr Rgba kInk{25, 20, 30, 255};
inline constexpr Rgba kWhite{255, 255, 255, 255};

// The colour as the canvas's source, its alpha times alpha.
void paint(cairo_t* c, Rgba k, double alpha = 1.0);
// Each channel times factor (darker below 1), or moved toward white by factor - 1 above 1.
Rgba shade(Rgba k, double factor);
// Paths (a new sub-path each): an ellipse around (cx, cy), a rectangle with corners of
// radius r.
void ellipse(cairo_t* c, double cx, double cy, double rx, double ry);
void roundedRect(cairo_t* c, double x, double y, double w, double h, double r);
// Fills the current path with fill and outlines it with a line of width in outline.
void fillAndOutline(cairo_t* c, Rgba fill, Rgba outline, double width);
void line(cairo_t* c, double x0, double y0, double x1, double y1, double width, Rgba k);
// A vertical gradient from top (at y 0) to bottom (at y height) as the source.
void verticalGradient(cairo_t* c, double height, Rgba top, Rgba bottom);
// A board filling the canvas, corners of radius r, lit from above (its colour shaded by
// top down to bottom) within a dark outline.
void board(cairo_t* c, int width, int height, double r, Rgba k, double top, double bottom);
// The path of a band along the top of a tile width wide, down to a lower edge at depth
// that waves by amplitude a whole number of times (waves) across the width, so that the
// tile's left and right edges match.
void wavyTop(cairo_t* c, int width, double depth, double amplitude, int waves);

} // namespace zqbrush
