#pragma once

#include "tools/ZqMediaWriter.h"

// The sample game's pictures, drawn by code (zqmedia::Painter): each fills its whole
// canvas, whatever its size, and takes the sprite's colour as its own main colour (a
// character's shirt, a button's face). Characters face right and stand on the canvas's
// bottom edge.
namespace zqpictures {

void heroIdle1(cairo_t* canvas, int width, int height, zqmedia::Rgba shirt);
void heroIdle2(cairo_t* canvas, int width, int height, zqmedia::Rgba shirt);
// The run cycle: the legs swing through four poses, the arms against them.
void heroRun1(cairo_t* canvas, int width, int height, zqmedia::Rgba shirt);
void heroRun2(cairo_t* canvas, int width, int height, zqmedia::Rgba shirt);
void heroRun3(cairo_t* canvas, int width, int height, zqmedia::Rgba shirt);
void heroRun4(cairo_t* canvas, int width, int height, zqmedia::Rgba shirt);
void heroJump(cairo_t* canvas, int width, int height, zqmedia::Rgba shirt);
void heroDefeated(cairo_t* canvas, int width, int height, zqmedia::Rgba shirt);
// Leaning back, feet first, low over the ground.
void heroSlide(cairo_t* canvas, int width, int height, zqmedia::Rgba shirt);

// Enemies look left, toward the hero; the slime's second frame is squashed.
void slime1(cairo_t* canvas, int width, int height, zqmedia::Rgba skin);
void slime2(cairo_t* canvas, int width, int height, zqmedia::Rgba skin);
void bat(cairo_t* canvas, int width, int height, zqmedia::Rgba fur);

void coin(cairo_t* canvas, int width, int height, zqmedia::Rgba gold);
void star(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);
void magnet(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);
void spark(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);
void bullet(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);
void checkpoint(cairo_t* canvas, int width, int height, zqmedia::Rgba flag);
void portal(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);

// Scenery: grass over earth (its left and right edges match), a rock, a boulder, wooden
// ledges and rafts, a ferry's hull, a stone wall.
void ground(cairo_t* canvas, int width, int height, zqmedia::Rgba grass);
void rock(cairo_t* canvas, int width, int height, zqmedia::Rgba stone);
void boulder(cairo_t* canvas, int width, int height, zqmedia::Rgba stone);
void plank(cairo_t* canvas, int width, int height, zqmedia::Rgba wood);
void raft(cairo_t* canvas, int width, int height, zqmedia::Rgba wood);
void ferry(cairo_t* canvas, int width, int height, zqmedia::Rgba paint);
void wall(cairo_t* canvas, int width, int height, zqmedia::Rgba stone);

// The sky from its top down to a pale horizon; screen backgrounds, lighter at the top;
// far hills and near bushes whose left and right edges match, for tiling.
void sky(cairo_t* canvas, int width, int height, zqmedia::Rgba top);
void backdrop(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);
void hills(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);
void bushes(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);

// Buttons: a face of the colour within a darker rim, lit along the top; round or with
// rounded corners.
void button(cairo_t* canvas, int width, int height, zqmedia::Rgba face);
// A button with a word in white in its middle, a third of its height high.
void wordButton(cairo_t* canvas, int width, int height, zqmedia::Rgba face, const char* word);
void roundButton(cairo_t* canvas, int width, int height, zqmedia::Rgba face);

} // namespace zqpictures
