#pragma once

#include "tools/ZqMediaWriter.h"

// The bonus room's pictures and the hero's speed lines, drawn by code in the main world's
// style (see ZqSamplePictures.h): each fills its whole canvas, whatever its size, and takes
// the sprite's colour as its own main colour. Creatures and the turret face left, toward
// the hero; what stands on the ground stands on the canvas's bottom edge.
namespace zqpictures {

// A golden door in a stone arch, its knob on the right.
void door(cairo_t* canvas, int width, int height, zqmedia::Rgba gold);
// A flower on its stem: petals of the colour around a yellow heart.
void flower(cairo_t* canvas, int width, int height, zqmedia::Rgba petals);
// The frog sitting, and in the air with its legs stretched out.
void frog(cairo_t* canvas, int width, int height, zqmedia::Rgba skin);
void frogHop(cairo_t* canvas, int width, int height, zqmedia::Rgba skin);
// A cannon on a post, its barrel to the left at two fifths of the height.
void turret(cairo_t* canvas, int width, int height, zqmedia::Rgba metal);
// A ball of fire flying left, its flames streaming to the right.
void fireball(cairo_t* canvas, int width, int height, zqmedia::Rgba flame);
// A spoked wheel with a brass stud on its rim; the frames turn it a quarter turn each,
// counter-clockwise, as a body's angle grows.
void wheel1(cairo_t* canvas, int width, int height, zqmedia::Rgba wood);
void wheel2(cairo_t* canvas, int width, int height, zqmedia::Rgba wood);
void wheel3(cairo_t* canvas, int width, int height, zqmedia::Rgba wood);
void wheel4(cairo_t* canvas, int width, int height, zqmedia::Rgba wood);
// A bolted iron hub.
void hub(cairo_t* canvas, int width, int height, zqmedia::Rgba metal);
// A gate of boards under iron bands, teeth along its bottom edge.
void gate(cairo_t* canvas, int width, int height, zqmedia::Rgba paint);
// A flag's cloth, the pole at the left: a golden star on the colour.
void flagCloth(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);
// The evening sky from the colour at the top to a warm glow at the horizon, a pale moon
// and thin clouds.
void eveningSky(cairo_t* canvas, int width, int height, zqmedia::Rgba top);
// A ribbon's texture: thin streaks of the colour along it from its head (left) that
// fade before its tail (right), on a clear ground.
void speedLines(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);

} // namespace zqpictures
