#include "tools/ZqSampleRoomPictures.h"

#include "tools/ZqPictureBrush.h"

#include <algorithm>
#include <cmath>

namespace zqpictures {

using namespace zqbrush;

namespace {

constexpr Rgba kStone{150, 140, 155, 255};
constexpr Rgba kIron{70, 70, 82, 255};
constexpr Rgba kBrass{240, 200, 80, 255};
constexpr Rgba kLeaf{70, 160, 70, 255};

// Adds a circle to the path.
void circle(cairo_t* c, double cx, double cy, double r)
{
    ellipse(c, cx, cy, r, r);
}

// Fills the current path with a vertical gradient from top (at y 0) to bottom (at y
// height) and outlines it with a line of width in outline.
void gradientAndOutline(cairo_t* c, double height, Rgba top, Rgba bottom, Rgba outline, double width)
{
    verticalGradient(c, height, top, bottom);
    cairo_fill_preserve(c);
    paint(c, outline);
    cairo_set_line_width(c, width);
    cairo_stroke(c);
}

// A rivet: a small iron dot lit at its top left.
void rivet(cairo_t* c, double x, double y, double r)
{
    circle(c, x, y, r);
    fillAndOutline(c, shade(kIron, 1.3), shade(kIron, 0.5), r * 0.4);
    circle(c, x - r * 0.3, y - r * 0.3, r * 0.35);
    paint(c, kWhite, 0.6);
    cairo_fill(c);
}

// The wheel on its canvas, turned counter-clockwise by turn quarter turns.
void drawWheel(cairo_t* c, int width, int height, Rgba wood, int turn)
{
    const double cx = width / 2.0, cy = height / 2.0, r = std::min(width, height) / 2.0 - 2.0;
    // Angles counter-clockwise on the screen, whose y grows downwards.
    auto at = [&](double angle, double radius, double& x, double& y) {
        x = cx + radius * std::cos(angle);
        y = cy - radius * std::sin(angle);
    };
    const double base = turn * kPi / 2.0;
    circle(c, cx, cy, r);
    circle(c, cx, cy, r * 0.72);
    cairo_set_fill_rule(c, CAIRO_FILL_RULE_EVEN_ODD);
    fillAndOutline(c, wood, shade(wood, 0.45), 2.0);
    cairo_set_fill_rule(c, CAIRO_FILL_RULE_WINDING);
    circle(c, cx, cy, r);
    paint(c, kIron);
    cairo_set_line_width(c, 3.0);
    cairo_stroke(c);
    for (int spoke = 0; spoke < 4; ++spoke) {
        double x = 0.0, y = 0.0;
        at(base + kPi / 4.0 + spoke * kPi / 2.0, r * 0.74, x, y);
        line(c, cx, cy, x, y, 7.0, shade(wood, 0.45));
        line(c, cx, cy, x, y, 4.5, shade(wood, 1.15));
    }
    circle(c, cx, cy, r * 0.2);
    fillAndOutline(c, shade(wood, 0.7), shade(wood, 0.4), 1.5);
    double x = 0.0, y = 0.0;
    at(base, r * 0.86, x, y);
    circle(c, x, y, r * 0.11);
    fillAndOutline(c, kBrass, shade(kBrass, 0.5), 1.2);
}

// The frog's head and body about (x, y), tilted by tilt radians (positive: nose up).
void drawFrogBody(cairo_t* c, Rgba skin, double x, double y, double tilt)
{
    cairo_save(c);
    cairo_translate(c, x, y);
    cairo_rotate(c, -tilt);
    ellipse(c, 0.0, 0.0, 21.0, 13.0);
    paint(c, skin);
    cairo_fill_preserve(c);
    paint(c, shade(skin, 0.45));
    cairo_set_line_width(c, 2.0);
    cairo_stroke(c);
    ellipse(c, -6.0, 6.0, 12.0, 5.5);
    paint(c, shade(skin, 1.6));
    cairo_fill(c);
    ellipse(c, 6.0, -5.0, 8.0, 3.0);
    paint(c, kWhite, 0.3);
    cairo_fill(c);
    // Spots, a wide mouth, and eyes on bumps, looking left.
    for (const auto& spot : {std::pair{8.0, -2.0}, std::pair{14.0, 3.0}, std::pair{2.0, -8.0}}) {
        circle(c, spot.first, spot.second, 2.2);
        paint(c, shade(skin, 0.7));
        cairo_fill(c);
    }
    cairo_move_to(c, -20.0, 0.0);
    cairo_curve_to(c, -14.0, 5.0, -6.0, 5.0, -2.0, 2.0);
    paint(c, shade(skin, 0.35));
    cairo_set_line_width(c, 1.6);
    cairo_stroke(c);
    for (double eyeX : {-13.0, -1.0}) {
        circle(c, eyeX, -11.0, 6.5);
        fillAndOutline(c, skin, shade(skin, 0.45), 1.6);
        circle(c, eyeX - 0.5, -12.0, 4.2);
        fillAndOutline(c, Rgba{250, 235, 120, 255}, kInk, 1.0);
        ellipse(c, eyeX - 2.0, -12.0, 2.4, 1.6);
        paint(c, kInk);
        cairo_fill(c);
    }
    cairo_restore(c);
}

// A leg of thickness 5 through its joints, outlined; a webbed foot at its end.
void frogLeg(cairo_t* c, Rgba skin, std::initializer_list<std::pair<double, double>> joints, double footDirection)
{
    cairo_set_line_join(c, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
    std::pair<double, double> end{};
    for (const auto& joint : joints) {
        cairo_line_to(c, joint.first, joint.second);
        end = joint;
    }
    paint(c, shade(skin, 0.45));
    cairo_set_line_width(c, 7.5);
    cairo_stroke_preserve(c);
    paint(c, shade(skin, 0.85));
    cairo_set_line_width(c, 5.0);
    cairo_stroke(c);
    ellipse(c, end.first + footDirection * 3.0, end.second, 6.0, 2.5);
    fillAndOutline(c, shade(skin, 0.85), shade(skin, 0.45), 1.2);
}

} // namespace

void door(cairo_t* c, int width, int height, Rgba gold)
{
    cairo_scale(c, width / 80.0, height / 140.0);
    // The arch: stone jambs under a round top.
    cairo_move_to(c, 2.0, 140.0);
    cairo_line_to(c, 2.0, 40.0);
    cairo_arc(c, 40.0, 40.0, 38.0, kPi, 2.0 * kPi);
    cairo_line_to(c, 78.0, 140.0);
    cairo_close_path(c);
    gradientAndOutline(c, 140.0, shade(kStone, 1.2), shade(kStone, 0.8), shade(kStone, 0.45), 2.0);
    for (int stone = 1; stone < 8; ++stone) {
        const double angle = kPi + stone * kPi / 8.0;
        line(c, 40.0 + 29.0 * std::cos(angle), 40.0 + 29.0 * std::sin(angle), 40.0 + 38.0 * std::cos(angle),
             40.0 + 38.0 * std::sin(angle), 1.2, shade(kStone, 0.55));
    }
    for (double y : {64.0, 90.0, 116.0}) {
        line(c, 2.0, y, 11.0, y, 1.2, shade(kStone, 0.55));
        line(c, 69.0, y, 78.0, y, 1.2, shade(kStone, 0.55));
    }
    // The door: boards of gold under a round top, two iron bands, a knob and a keyhole.
    cairo_move_to(c, 11.0, 140.0);
    cairo_line_to(c, 11.0, 40.0);
    cairo_arc(c, 40.0, 40.0, 29.0, kPi, 2.0 * kPi);
    cairo_line_to(c, 69.0, 140.0);
    cairo_close_path(c);
    fillAndOutline(c, gold, shade(gold, 0.45), 2.0);
    for (double x : {25.5, 40.0, 54.5}) {
        const double top = 40.0 - std::sqrt(29.0 * 29.0 - (x - 40.0) * (x - 40.0));
        line(c, x, top + 2.0, x, 138.0, 1.5, shade(gold, 0.6));
    }
    roundedRect(c, 13.0, 18.0, 10.0, 118.0, 4.0);
    paint(c, kWhite, 0.25);
    cairo_fill(c);
    for (double y : {56.0, 112.0}) {
        cairo_rectangle(c, 11.0, y, 58.0, 6.0);
        fillAndOutline(c, kIron, shade(kIron, 0.5), 1.0);
        for (double x : {16.0, 33.0, 47.0, 64.0})
            rivet(c, x, y + 3.0, 1.6);
    }
    circle(c, 59.0, 86.0, 4.0);
    fillAndOutline(c, kBrass, shade(kBrass, 0.45), 1.2);
    circle(c, 59.0, 95.0, 1.6);
    paint(c, kInk);
    cairo_fill(c);
    cairo_rectangle(c, 58.3, 95.0, 1.4, 4.0);
    cairo_fill(c);
}

void flower(cairo_t* c, int width, int height, Rgba petals)
{
    cairo_scale(c, width / 24.0, height / 40.0);
    line(c, 12.0, 40.0, 12.0, 14.0, 2.5, shade(kLeaf, 0.7));
    for (double side : {-1.0, 1.0}) {
        const double y = side < 0 ? 30.0 : 24.0;
        cairo_move_to(c, 12.0, y);
        cairo_curve_to(c, 12.0 + side * 4.0, y - 7.0, 12.0 + side * 10.0, y - 6.0, 12.0 + side * 11.0, y - 4.0);
        cairo_curve_to(c, 12.0 + side * 9.0, y, 12.0 + side * 4.0, y + 2.0, 12.0, y);
        cairo_close_path(c);
        fillAndOutline(c, kLeaf, shade(kLeaf, 0.45), 1.0);
    }
    for (int petal = 0; petal < 5; ++petal) {
        const double angle = -kPi / 2.0 + petal * 2.0 * kPi / 5.0;
        cairo_save(c);
        cairo_translate(c, 12.0 + 5.5 * std::cos(angle), 11.0 + 5.5 * std::sin(angle));
        cairo_rotate(c, angle);
        ellipse(c, 0.0, 0.0, 5.0, 3.8);
        cairo_restore(c);
        fillAndOutline(c, petals, shade(petals, 0.5), 1.0);
    }
    circle(c, 12.0, 11.0, 3.5);
    fillAndOutline(c, Rgba{250, 215, 60, 255}, Rgba{170, 120, 20, 255}, 1.0);
}

void frog(cairo_t* c, int width, int height, Rgba skin)
{
    cairo_scale(c, width / 64.0, height / 48.0);
    // The far hind leg folded, the body, the near hind leg folded, the front leg.
    frogLeg(c, shade(skin, 0.8), {{44.0, 30.0}, {56.0, 38.0}, {46.0, 45.0}}, 1.0);
    drawFrogBody(c, skin, 32.0, 30.0, 0.15);
    frogLeg(c, skin, {{40.0, 34.0}, {54.0, 40.0}, {44.0, 45.5}}, 1.0);
    frogLeg(c, skin, {{20.0, 36.0}, {17.0, 45.0}}, -1.0);
}

void frogHop(cairo_t* c, int width, int height, Rgba skin)
{
    cairo_scale(c, width / 64.0, height / 48.0);
    // Nose up and forward, the hind legs kicked out behind, the front legs reaching.
    frogLeg(c, shade(skin, 0.8), {{40.0, 26.0}, {52.0, 36.0}, {62.0, 42.0}}, 1.0);
    drawFrogBody(c, skin, 28.0, 22.0, 0.45);
    frogLeg(c, skin, {{38.0, 28.0}, {50.0, 40.0}, {60.0, 46.0}}, 1.0);
    frogLeg(c, skin, {{16.0, 30.0}, {7.0, 38.0}}, -1.0);
}

void turret(cairo_t* c, int width, int height, Rgba metal)
{
    cairo_scale(c, width / 80.0, height / 80.0);
    // A stone post, the dome on it, the barrel to the left with a band at its mouth.
    cairo_move_to(c, 20.0, 80.0);
    cairo_line_to(c, 64.0, 80.0);
    cairo_line_to(c, 56.0, 50.0);
    cairo_line_to(c, 28.0, 50.0);
    cairo_close_path(c);
    gradientAndOutline(c, 80.0, shade(kStone, 1.15), shade(kStone, 0.75), shade(kStone, 0.45), 2.0);
    line(c, 26.0, 66.0, 58.0, 66.0, 1.2, shade(kStone, 0.55));
    roundedRect(c, 3.0, 25.0, 44.0, 14.0, 3.0);
    fillAndOutline(c, shade(metal, 0.85), shade(metal, 0.4), 2.0);
    line(c, 8.0, 28.5, 40.0, 28.5, 2.0, shade(metal, 1.5));
    roundedRect(c, 1.0, 22.0, 9.0, 20.0, 2.0);
    fillAndOutline(c, shade(metal, 0.65), shade(metal, 0.35), 1.5);
    circle(c, 4.0, 32.0, 3.0);
    paint(c, kInk);
    cairo_fill(c);
    cairo_move_to(c, 22.0, 52.0);
    cairo_arc(c, 42.0, 40.0, 21.0, kPi * 0.85, kPi * 2.15);
    cairo_close_path(c);
    fillAndOutline(c, metal, shade(metal, 0.4), 2.0);
    ellipse(c, 36.0, 28.0, 8.0, 4.0);
    paint(c, kWhite, 0.35);
    cairo_fill(c);
    // A slit glowing with the next fireball.
    roundedRect(c, 40.0, 35.0, 14.0, 5.0, 2.5);
    fillAndOutline(c, Rgba{255, 150, 40, 255}, shade(metal, 0.3), 1.2);
    for (double x : {28.0, 42.0, 56.0})
        rivet(c, x, 50.0, 1.8);
}

void fireball(cairo_t* c, int width, int height, Rgba flame)
{
    cairo_scale(c, width / 24.0, height / 24.0);
    for (const double dy : {-5.0, 0.0, 5.0}) {
        const double y = 12.0 + dy;
        const double reach = dy == 0.0 ? 23.5 : 20.0;
        cairo_move_to(c, 9.0, y - 4.5);
        cairo_curve_to(c, 14.0, y - 5.0, 18.0, y - 1.0, reach, y + dy * 0.3);
        cairo_curve_to(c, 18.0, y + 1.5, 14.0, y + 4.5, 9.0, y + 4.5);
        cairo_close_path(c);
        paint(c, dy == 0.0 ? flame : shade(flame, 0.85), 0.9);
        cairo_fill(c);
    }
    cairo_pattern_t* glow = cairo_pattern_create_radial(8.0, 11.0, 0.5, 10.0, 12.0, 9.0);
    const Rgba yellow{255, 230, 90, 255};
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 1.0, 0.9, 1.0);
    cairo_pattern_add_color_stop_rgba(glow, 0.35, yellow.r / 255.0, yellow.g / 255.0, yellow.b / 255.0, 1.0);
    cairo_pattern_add_color_stop_rgba(glow, 0.85, flame.r / 255.0, flame.g / 255.0, flame.b / 255.0, 1.0);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, flame.r / 255.0, flame.g / 255.0, flame.b / 255.0, 0.0);
    circle(c, 10.0, 12.0, 9.0);
    cairo_set_source(c, glow);
    cairo_pattern_destroy(glow);
    cairo_fill(c);
}

void wheel1(cairo_t* c, int w, int h, Rgba wood)
{
    drawWheel(c, w, h, wood, 0);
}

void wheel2(cairo_t* c, int w, int h, Rgba wood)
{
    drawWheel(c, w, h, wood, 1);
}

void wheel3(cairo_t* c, int w, int h, Rgba wood)
{
    drawWheel(c, w, h, wood, 2);
}

void wheel4(cairo_t* c, int w, int h, Rgba wood)
{
    drawWheel(c, w, h, wood, 3);
}

void hub(cairo_t* c, int width, int height, Rgba metal)
{
    const double cx = width / 2.0, cy = height / 2.0, r = std::min(width, height) / 2.0 - 1.0;
    circle(c, cx, cy, r);
    fillAndOutline(c, metal, shade(metal, 0.4), 1.5);
    circle(c, cx, cy, r * 0.75);
    paint(c, shade(metal, 1.4));
    cairo_set_line_width(c, 1.0);
    cairo_stroke(c);
    for (int bolt = 0; bolt < 6; ++bolt) {
        const double angle = bolt * kPi / 3.0;
        rivet(c, cx + r * 0.55 * std::cos(angle), cy + r * 0.55 * std::sin(angle), r * 0.13);
    }
    circle(c, cx, cy, r * 0.25);
    fillAndOutline(c, kBrass, shade(kBrass, 0.45), 1.0);
}

void gate(cairo_t* c, int width, int height, Rgba paintColour)
{
    const double teeth = std::min(12.0, height * 0.1);
    const double bottom = height - teeth;
    // Iron teeth below, three boards, two bands with rivets.
    const int boards = 3;
    const double boardWidth = width / static_cast<double>(boards);
    for (int i = 0; i < boards; ++i) {
        const double x = i * boardWidth;
        cairo_move_to(c, x + 2.0, bottom - 1.0);
        cairo_line_to(c, x + boardWidth / 2.0, height - 0.5);
        cairo_line_to(c, x + boardWidth - 2.0, bottom - 1.0);
        cairo_close_path(c);
        fillAndOutline(c, kIron, shade(kIron, 0.5), 1.0);
        roundedRect(c, x + 0.75, 0.75, boardWidth - 1.5, bottom - 0.75, 2.0);
        fillAndOutline(c, paintColour, shade(paintColour, 0.45), 1.5);
        line(c, x + 3.5, 4.0, x + 3.5, bottom - 4.0, 1.5, shade(paintColour, 1.35));
    }
    for (double y : {height * 0.18, height * 0.62}) {
        cairo_rectangle(c, 0.0, y, width, 8.0);
        fillAndOutline(c, kIron, shade(kIron, 0.5), 1.0);
        for (int i = 0; i < boards; ++i)
            rivet(c, (i + 0.5) * boardWidth, y + 4.0, 2.0);
    }
}

void flagCloth(cairo_t* c, int width, int height, Rgba colour)
{
    cairo_rectangle(c, 0.0, 0.0, width, height);
    verticalGradient(c, height, shade(colour, 1.2), shade(colour, 0.8));
    cairo_fill(c);
    // A golden star near the pole, a hem along each edge.
    const double cx = height * 0.6, cy = height / 2.0, r = height * 0.32;
    for (int i = 0; i < 10; ++i) {
        const double angle = -kPi / 2 + i * kPi / 5;
        const double radius = i % 2 == 0 ? r : r * 0.45;
        cairo_line_to(c, cx + radius * std::cos(angle), cy + radius * std::sin(angle));
    }
    cairo_close_path(c);
    fillAndOutline(c, Rgba{250, 215, 60, 255}, Rgba{160, 110, 20, 255}, 1.0);
    for (double y : {1.0, height - 1.0})
        line(c, 0.0, y, width, y, 2.0, shade(colour, 0.55));
}

void eveningSky(cairo_t* c, int width, int height, Rgba top)
{
    const Rgba dusk{190, 100, 150, 255};
    const Rgba glow{250, 185, 120, 255};
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0.0, 0.0, 0.0, height);
    cairo_pattern_add_color_stop_rgb(gradient, 0.0, top.r / 255.0, top.g / 255.0, top.b / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 0.65, dusk.r / 255.0, dusk.g / 255.0, dusk.b / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 1.0, glow.r / 255.0, glow.g / 255.0, glow.b / 255.0);
    cairo_rectangle(c, 0.0, 0.0, width, height);
    cairo_set_source(c, gradient);
    cairo_pattern_destroy(gradient);
    cairo_fill(c);
    // A pale moon high up and long thin clouds lit from below: the picture is shown many
    // times its size, so only soft shapes (no points of light) stay sharp enough.
    circle(c, width * 0.78, height * 0.2, height * 0.07);
    paint(c, Rgba{255, 245, 220, 255}, 0.9);
    cairo_fill(c);
    constexpr double kClouds[][3] = {{0.2, 0.32, 0.16}, {0.55, 0.45, 0.2}, {0.85, 0.58, 0.14}, {0.35, 0.68, 0.18}};
    for (const auto& cloud : kClouds) {
        ellipse(c, cloud[0] * width, cloud[1] * height, cloud[2] * width, height * 0.025);
        paint(c, Rgba{255, 200, 190, 255}, 0.35);
        cairo_fill(c);
    }
}

void speedLines(cairo_t* c, int width, int height, Rgba colour)
{
    // Each streak: its place across the ribbon (0 to 1), where it starts and ends along it.
    constexpr double kStreaks[][3] = {{0.12, 0.2, 0.7}, {0.38, 0.1, 0.95}, {0.62, 0.25, 0.8}, {0.88, 0.15, 0.6}};
    for (const auto& streak : kStreaks) {
        const double y = streak[0] * height, from = streak[1] * width, to = streak[2] * width;
        cairo_pattern_t* fade = cairo_pattern_create_linear(from, 0.0, to, 0.0);
        cairo_pattern_add_color_stop_rgba(fade, 0.0, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, 0.0);
        cairo_pattern_add_color_stop_rgba(fade, 0.15, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, 1.0);
        cairo_pattern_add_color_stop_rgba(fade, 1.0, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, 0.0);
        cairo_set_source(c, fade);
        cairo_pattern_destroy(fade);
        cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_width(c, 1.2);
        cairo_move_to(c, from, y);
        cairo_line_to(c, to, y);
        cairo_stroke(c);
    }
}

} // namespace zqpictures
