#include "tools/ZqSampleSecondWorldPictures.h"

#include "tools/ZqPictureBrush.h"
#include "tools/ZqSamplePictures.h"
#include "tools/ZqSampleSecondWorld.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace zqpictures {

using namespace zqbrush;

void sand(cairo_t* c, int width, int height, Rgba colour)
{
    cairo_rectangle(c, 0.0, 0.0, width, height);
    verticalGradient(c, height, colour, shade(colour, 0.7));
    cairo_fill(c);
    // Pebbles at fixed places, none across the left and right edges.
    for (int i = 0; i * 53 + 30 < width - 10; ++i) {
        ellipse(c, i * 53 + 30, 30.0 + (i * 23 % 28), 2.5 + i % 2, 1.8);
        paint(c, shade(colour, 0.55));
        cairo_fill(c);
    }
    // Ripples: wavy streaks whose waves fit the width a whole number of times.
    const int waves = std::max(1, width / 71);
    for (int row = 0; row < 4; ++row) {
        const double y = 22.0 + row * 11.0;
        cairo_move_to(c, 0.0, y);
        for (int x = 0; x <= width; x += 2)
            cairo_line_to(c, x, y + 2.0 * std::sin(2.0 * kPi * waves * x / width + row * 1.7));
        paint(c, shade(colour, row % 2 == 0 ? 0.78 : 1.15), 0.8);
        cairo_set_line_width(c, 1.5);
        cairo_stroke(c);
    }
    // The crest: a pale band with a softly waving lower edge.
    wavyTop(c, width, 9.0, 2.0, std::max(1, width / 40));
    verticalGradient(c, 12.0, shade(colour, 1.35), shade(colour, 1.05));
    cairo_fill(c);
    line(c, 0.0, 1.0, width, 1.0, 2.0, shade(colour, 1.5));
}

void dunes(cairo_t* c, int width, int height, Rgba colour)
{
    const double w = width;
    for (int range = 0; range < 2; ++range) {
        const double base = height * (range == 0 ? 0.35 : 0.6);
        const double phase = range * 2.4;
        auto ridge = [&] {
            for (int x = 0; x <= width; ++x) {
                const double t = 2.0 * kPi * x / w;
                cairo_line_to(c, x, base - height * 0.18 * std::sin(t + phase) - height * 0.07 * std::sin(2.0 * t + 0.4 + phase));
            }
        };
        cairo_move_to(c, 0.0, height);
        ridge();
        cairo_line_to(c, w, height);
        cairo_close_path(c);
        const Rgba tone = shade(colour, range == 0 ? 1.2 : 1.0);
        verticalGradient(c, height, tone, shade(tone, 0.75));
        cairo_fill(c);
        // The wind-blown crest, pale along the ridge.
        ridge();
        paint(c, shade(tone, 1.4), 0.8);
        cairo_set_line_width(c, 1.5);
        cairo_stroke(c);
    }
}

void duskSky(cairo_t* c, int width, int height, Rgba top)
{
    cairo_rectangle(c, 0.0, 0.0, width, height);
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0.0, 0.0, 0.0, height);
    const Rgba glow{235, 130, 90, 255}, horizon{250, 200, 120, 255};
    cairo_pattern_add_color_stop_rgb(gradient, 0.0, top.r / 255.0, top.g / 255.0, top.b / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 0.6, glow.r / 255.0, glow.g / 255.0, glow.b / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 1.0, horizon.r / 255.0, horizon.g / 255.0, horizon.b / 255.0);
    cairo_set_source(c, gradient);
    cairo_pattern_destroy(gradient);
    cairo_fill(c);
    // The glow of the sun gone down, low over the horizon.
    ellipse(c, width * 0.7, height, width * 0.35, height * 0.3);
    paint(c, Rgba{255, 225, 160, 255}, 0.3);
    cairo_fill(c);
    // Stars in the dark sky under its top fifth, where the HUDs' buttons and figures stand
    // over the sky (stars there lay in their words): the sky is drawn at four times its
    // size, so each is a white core in a faint halo with four points, wide enough to stay
    // round and bright when stretched (a dot of a pixel or so shows as a grey square).
    for (int i = 0; i < 9; ++i) {
        const double x = (i * 37 + 11) % width, y = height * 0.3 + (i * 13 % 17);
        const double reach = i % 3 == 0 ? 3.0 : 2.2;
        ellipse(c, x, y, reach * 0.7, reach * 0.7);
        paint(c, kWhite, 0.25);
        cairo_fill(c);
        for (int turn = 0; turn < 2; ++turn) {
            const double dx = turn == 0 ? reach : 0.45, dy = turn == 0 ? 0.45 : reach;
            cairo_move_to(c, x - dx, y);
            cairo_line_to(c, x, y - dy);
            cairo_line_to(c, x + dx, y);
            cairo_line_to(c, x, y + dy);
            cairo_close_path(c);
            paint(c, kWhite, 0.9);
            cairo_fill(c);
        }
        ellipse(c, x, y, 0.8, 0.8);
        paint(c, kWhite);
        cairo_fill(c);
    }
}

void cactus(cairo_t* c, int width, int height, Rgba skin)
{
    cairo_scale(c, width / 40.0, height / 64.0);
    const Rgba outline = shade(skin, 0.45);
    // The arms (elbows out, tips up), then the trunk over them.
    auto arm = [&](double x0, double x1, double y0, double top) {
        cairo_move_to(c, x0, y0);
        cairo_line_to(c, x1, y0);
        cairo_line_to(c, x1, top);
        cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(c, CAIRO_LINE_JOIN_ROUND);
        paint(c, outline);
        cairo_set_line_width(c, 8.0);
        cairo_stroke_preserve(c);
        paint(c, skin);
        cairo_set_line_width(c, 5.5);
        cairo_stroke(c);
    };
    arm(20.0, 6.0, 38.0, 22.0);
    arm(20.0, 34.0, 30.0, 15.0);
    roundedRect(c, 13.0, 2.0, 14.0, 61.0, 7.0);
    verticalGradient(c, 64.0, shade(skin, 1.2), shade(skin, 0.8));
    cairo_fill_preserve(c);
    paint(c, outline);
    cairo_set_line_width(c, 1.5);
    cairo_stroke(c);
    // Ribs, lit on the left; spines in pairs along them.
    line(c, 17.0, 8.0, 17.0, 61.0, 1.0, shade(skin, 1.35));
    line(c, 23.0, 8.0, 23.0, 61.0, 1.0, shade(skin, 0.65));
    for (double y = 9.0; y < 60.0; y += 8.0) {
        line(c, 13.0, y, 10.0, y - 2.0, 0.8, Rgba{245, 240, 210, 255});
        line(c, 27.0, y + 4.0, 30.0, y + 2.0, 0.8, Rgba{245, 240, 210, 255});
    }
    // A flower on top.
    ellipse(c, 20.0, 3.0, 3.5, 2.2);
    paint(c, Rgba{240, 90, 120, 255});
    cairo_fill(c);
}

void sandstone(cairo_t* c, int width, int height, Rgba stone)
{
    board(c, width, height, 5.0, stone, 1.2, 0.75);
    // Layers of the rock, and a few chips out of its face.
    for (double y : {height * 0.4, height * 0.7})
        line(c, 6.0, y, width - 6.0, y, 1.2, shade(stone, 0.7));
    for (int i = 0; i * 47 + 20 < width - 10; ++i) {
        ellipse(c, i * 47 + 20, height * (i % 2 == 0 ? 0.55 : 0.25), 3.0, 1.5);
        paint(c, shade(stone, 0.6));
        cairo_fill(c);
    }
}

void scorpion(cairo_t* c, int width, int height, Rgba shell)
{
    cairo_scale(c, width / 80.0, height / 64.0);
    const Rgba outline = shade(shell, 0.4);
    // Legs under the body, the tail curling up high over its back, then the body and the
    // claws raised before its head: it stands as tall as a running hero's waist.
    for (int i = 0; i < 3; ++i)
        line(c, 32.0 + i * 9.0, 52.0, 26.0 + i * 11.0, 62.0, 2.2, outline);
    cairo_move_to(c, 54.0, 50.0);
    cairo_curve_to(c, 80.0, 50.0, 80.0, 6.0, 58.0, 5.0);
    cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
    paint(c, outline);
    cairo_set_line_width(c, 8.0);
    cairo_stroke_preserve(c);
    paint(c, shell);
    cairo_set_line_width(c, 5.0);
    cairo_stroke(c);
    cairo_move_to(c, 58.0, 5.0);
    cairo_line_to(c, 49.0, 9.0);
    cairo_line_to(c, 57.0, 12.0);
    cairo_close_path(c);
    fillAndOutline(c, Rgba{60, 30, 25, 255}, outline, 1.0);
    ellipse(c, 40.0, 50.0, 17.0, 8.0);
    fillAndOutline(c, shell, outline, 1.8);
    for (double y : {16.0, 30.0}) {
        cairo_move_to(c, 26.0, 47.0);
        cairo_curve_to(c, 18.0, 44.0, 18.0, y + 8.0, 12.0, y + 3.0);
        paint(c, outline);
        cairo_set_line_width(c, 3.0);
        cairo_stroke(c);
        ellipse(c, 8.0, y, 6.0, 4.5);
        fillAndOutline(c, shade(shell, 1.15), outline, 1.2);
        line(c, 3.0, y, 8.0, y, 1.2, outline);
    }
    ellipse(c, 28.0, 46.0, 1.6, 1.6);
    paint(c, kInk);
    cairo_fill(c);
}

namespace {

// A padlock centred on (x, y), side wide: its shackle, then its body with a keyhole.
void padlock(cairo_t* c, double x, double y, double side)
{
    cairo_new_path(c);
    cairo_arc(c, x, y - side * 0.5, side * 0.32, kPi, 2.0 * kPi);
    cairo_line_to(c, x + side * 0.32, y - side * 0.3);
    cairo_move_to(c, x - side * 0.32, y - side * 0.3);
    cairo_line_to(c, x - side * 0.32, y - side * 0.5);
    paint(c, Rgba{200, 200, 210, 255});
    cairo_set_line_width(c, side * 0.14);
    cairo_stroke(c);
    roundedRect(c, x - side * 0.5, y - side * 0.35, side, side * 0.8, side * 0.12);
    fillAndOutline(c, kPadlockGold, shade(kPadlockGold, 0.45), 1.5);
    ellipse(c, x, y + side * 0.02, side * 0.08, side * 0.1);
    paint(c, kInk);
    cairo_fill(c);
}

// A price in coins centred on x: a coin left of the number, whose baseline is baseline and
// whose digits are size high (about 0.65 of the size wide each).
void price(cairo_t* c, double x, double baseline, double size, int coins)
{
    const std::string text = std::to_string(coins);
    const double coinX = x - size * (0.33 * static_cast<double>(text.size()) + 0.3);
    ellipse(c, coinX, baseline - size * 0.36, size * 0.42, size * 0.42);
    fillAndOutline(c, kCoinGold, Rgba{150, 100, 20, 255}, 1.2);
    zqmedia::drawText(c, text, x + size * 0.3, baseline, size, Rgba{255, 245, 210, 255});
}

} // namespace

void lockedWorldButton(cairo_t* c, int width, int height, Rgba face)
{
    button(c, width, height, face);
    padlock(c, width * 0.12, height * 0.6, height * 0.34);
    price(c, width / 2.0 - height * 0.45, height * 0.9, height * 0.2, kZqSampleSecondWorldCoins);
    zqmedia::drawText(c, "in a game", width / 2.0 + height * 0.4, height * 0.9, height * 0.2, Rgba{245, 235, 200, 255});
}

void priceButton(cairo_t* c, int width, int height, Rgba face, int coins)
{
    button(c, width, height, face);
    price(c, width / 2.0, height * 0.61, height * 0.3, coins);
}

void lockedCharacter(cairo_t* c, int width, int height, Rgba face, int coins)
{
    // The hero's figure in greys, whole, over the tag: its outline filled flat, its own
    // colours faint over it.
    const int figureHeight = height - kLockedTagHeight;
    cairo_push_group(c);
    heroIdle1(c, width, figureHeight, face);
    cairo_pattern_t* figure = cairo_pop_group(c);
    paint(c, Rgba{120, 122, 135, 255});
    cairo_mask(c, figure);
    cairo_set_source(c, figure);
    cairo_paint_with_alpha(c, 0.45);
    cairo_pattern_destroy(figure);
    // A padlock beside its head, the price on a dark tag under its feet.
    padlock(c, width * 0.8, figureHeight * 0.2, width * 0.2);
    roundedRect(c, width * 0.12, figureHeight + 2.0, width * 0.76, kLockedTagHeight - 4.0, 4.0);
    fillAndOutline(c, Rgba{40, 40, 55, 230}, kInk, 1.0);
    price(c, width / 2.0, figureHeight + kLockedTagHeight * 0.72, kLockedTagHeight * 0.62, coins);
}

} // namespace zqpictures
