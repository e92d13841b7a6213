#pragma once

#include "tools/ZqMediaWriter.h"

// The second world's pictures, drawn by code as the first world's are (zqmedia::Painter:
// each fills its canvas, whatever its size, in the sprite's colour). Scenery tiles: their
// left and right edges match.
namespace zqpictures {

// Sand over darker sand, rippled, under a pale crest.
void sand(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);
// Two ranges of dunes, each lit on its left face.
void dunes(cairo_t* canvas, int width, int height, zqmedia::Rgba colour);
// A dusk sky from its top down to an orange horizon, the glow of the sun gone down and
// a few stars.
void duskSky(cairo_t* canvas, int width, int height, zqmedia::Rgba top);
// A cactus with two arms, ribbed and spiny, standing on the canvas's bottom edge.
void cactus(cairo_t* canvas, int width, int height, zqmedia::Rgba skin);
// A slab of layered sandstone.
void sandstone(cairo_t* canvas, int width, int height, zqmedia::Rgba stone);
// A desert scorpion looking left, its claws raised and its tail high over its back.
void scorpion(cairo_t* canvas, int width, int height, zqmedia::Rgba shell);

// The menu's locked button to the second world: a button's face with a padlock on its
// left and, under the button's word, the coins of one game that open it.
void lockedWorldButton(cairo_t* canvas, int width, int height, zqmedia::Rgba face);
// The padlock's body colour, flat at (0.12, 0.7) of the canvas's width and height.
inline constexpr zqmedia::Rgba kPadlockGold{235, 185, 60, 255};

// A buy button with its price: a coin and the number of coins, in its middle.
void priceButton(cairo_t* canvas, int width, int height, zqmedia::Rgba face, int coins);
// The coin's colour, flat in its middle.
inline constexpr zqmedia::Rgba kCoinGold{255, 200, 50, 255};
// A character not yet bought: the hero's figure in greys, in face's shirt, whole in the
// canvas but its lowest kLockedTagHeight pixels, with a padlock beside its head and its
// price in coins on a tag under its feet.
void lockedCharacter(cairo_t* canvas, int width, int height, zqmedia::Rgba face, int coins);
inline constexpr int kLockedTagHeight = 26;

} // namespace zqpictures
