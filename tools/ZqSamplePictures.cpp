#include "tools/ZqSamplePictures.h"

#include "tools/ZqPictureBrush.h"

#include <algorithm>
#include <cmath>

namespace zqpictures {

namespace {

using zqmedia::Rgba;

constexpr Rgba kSkin{250, 205, 160, 255};
constexpr Rgba kHair{90, 55, 30, 255};
constexpr Rgba kTrousers{50, 60, 110, 255};
constexpr Rgba kShoes{60, 35, 25, 255};

using zqbrush::board;
using zqbrush::ellipse;
using zqbrush::fillAndOutline;
using zqbrush::kInk;
using zqbrush::kPi;
using zqbrush::kWhite;
using zqbrush::line;
using zqbrush::paint;
using zqbrush::roundedRect;
using zqbrush::shade;
using zqbrush::verticalGradient;
using zqbrush::wavyTop;

// An eye looking toward (lookX, lookY), a unit direction.
void eye(cairo_t* c, double x, double y, double radius, double lookX, double lookY)
{
    ellipse(c, x, y, radius, radius * 1.15);
    fillAndOutline(c, kWhite, kInk, radius * 0.25);
    ellipse(c, x + lookX * radius * 0.4, y + lookY * radius * 0.4, radius * 0.5, radius * 0.55);
    paint(c, kInk);
    cairo_fill(c);
}

// The hero's pose: angles in radians from straight down, positive toward the front (right).
struct Pose {
    double frontThigh, frontKnee, backThigh, backKnee;
    double frontArm, frontElbow, backArm, backElbow;
    bool defeated = false;
};

constexpr double kThigh = 21.0, kShin = 21.0, kUpperArm = 15.0, kForearm = 14.0;

// A limb from (x, y): the upper part at angle, the lower bent back (legs) or forward (arms)
// by bend. Answers the end point.
void limb(cairo_t* c, double x, double y, double angle, double bend, double upper, double lower, double width, Rgba k,
          double& endX, double& endY)
{
    const double midX = x + upper * std::sin(angle), midY = y + upper * std::cos(angle);
    endX = midX + lower * std::sin(angle + bend);
    endY = midY + lower * std::cos(angle + bend);
    cairo_set_line_join(c, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
    cairo_move_to(c, x, y);
    cairo_line_to(c, midX, midY);
    cairo_line_to(c, endX, endY);
    paint(c, shade(k, 0.55));
    cairo_set_line_width(c, width + 3.0);
    cairo_stroke_preserve(c);
    paint(c, k);
    cairo_set_line_width(c, width);
    cairo_stroke(c);
}

// How far below the hips the lower foot reaches.
double legReach(double thigh, double knee)
{
    return kThigh * std::cos(thigh) + kShin * std::cos(thigh - knee);
}

// The hero on a 96 x 128 canvas (scaled to the canvas), its lower foot on the bottom edge.
void drawHero(cairo_t* c, int width, int height, Rgba shirt, const Pose& pose)
{
    cairo_scale(c, width / 96.0, height / 128.0);
    constexpr double kShoe = 4.0;
    const double reach = std::max(legReach(pose.frontThigh, pose.frontKnee), legReach(pose.backThigh, pose.backKnee));
    const double hipY = 128.0 - kShoe - reach;
    const double hipX = 48.0;
    const double shoulderY = hipY - 34.0;
    const double headY = shoulderY - 16.0;

    auto leg = [&](double thigh, double knee, double tone) {
        double footX = 0.0, footY = 0.0;
        limb(c, hipX, hipY, thigh, -knee, kThigh, kShin, 10.0, shade(kTrousers, tone), footX, footY);
        ellipse(c, footX + 4.0, footY, 8.0, kShoe);
        fillAndOutline(c, shade(kShoes, tone), kInk, 1.5);
    };
    auto arm = [&](double angle, double elbow, double tone) {
        double handX = 0.0, handY = 0.0;
        limb(c, hipX + 1.0, shoulderY + 4.0, angle, elbow, kUpperArm, kForearm, 8.0, shade(shirt, tone), handX, handY);
        ellipse(c, handX, handY, 4.5, 4.5);
        fillAndOutline(c, shade(kSkin, tone), shade(kSkin, 0.5), 1.2);
    };
    // The far limbs darker, behind the body.
    arm(pose.backArm, pose.backElbow, 0.75);
    leg(pose.backThigh, pose.backKnee, 0.75);
    leg(pose.frontThigh, pose.frontKnee, 1.0);

    // Body: a shirt over the hips, a belt.
    roundedRect(c, hipX - 13.0, shoulderY - 2.0, 26.0, hipY - shoulderY + 8.0, 9.0);
    fillAndOutline(c, shirt, shade(shirt, 0.5), 2.0);
    paint(c, shade(shirt, 1.35), 0.8);
    roundedRect(c, hipX - 9.0, shoulderY + 2.0, 6.0, hipY - shoulderY - 8.0, 3.0);
    cairo_fill(c);
    line(c, hipX - 12.0, hipY + 1.0, hipX + 12.0, hipY + 1.0, 4.0, kInk);

    // Head: face, hair, an eye and a mouth facing right, an ear.
    ellipse(c, hipX + 2.0, headY, 15.0, 15.0);
    fillAndOutline(c, kSkin, shade(kSkin, 0.5), 2.0);
    cairo_new_sub_path(c);
    cairo_arc(c, hipX + 2.0, headY, 15.5, kPi * 0.95, kPi * 2.05);
    cairo_close_path(c);
    fillAndOutline(c, kHair, shade(kHair, 0.6), 1.5);
    ellipse(c, hipX - 4.0, headY + 2.0, 3.5, 4.5);
    fillAndOutline(c, shade(kSkin, 0.9), shade(kSkin, 0.5), 1.2);
    if (pose.defeated) {
        for (double s : {-1.0, 1.0}) {
            line(c, hipX + 6.0, headY + 1.0 + 3.0 * s, hipX + 12.0, headY + 1.0 - 3.0 * s, 2.0, kInk);
        }
        ellipse(c, hipX + 10.0, headY + 9.0, 3.0, 2.0);
        paint(c, kInk);
        cairo_fill(c);
    } else {
        eye(c, hipX + 9.0, headY + 1.0, 3.6, 1.0, 0.0);
        cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
        cairo_arc(c, hipX + 9.0, headY + 6.0, 4.0, 0.3, 1.4);
        paint(c, kInk);
        cairo_set_line_width(c, 1.8);
        cairo_stroke(c);
    }
    arm(pose.frontArm, pose.frontElbow, 1.0);
}

} // namespace

void heroIdle1(cairo_t* c, int w, int h, Rgba shirt)
{
    drawHero(c, w, h, shirt, {0.08, 0.0, -0.08, 0.0, 0.15, 0.3, -0.15, 0.3});
}

void heroIdle2(cairo_t* c, int w, int h, Rgba shirt)
{
    drawHero(c, w, h, shirt, {0.1, 0.08, -0.06, 0.08, 0.2, 0.35, -0.1, 0.35});
}

void heroRun1(cairo_t* c, int w, int h, Rgba shirt)
{
    drawHero(c, w, h, shirt, {0.6, 0.2, -0.55, 0.9, -0.7, 1.4, 0.8, 1.2});
}

void heroRun2(cairo_t* c, int w, int h, Rgba shirt)
{
    drawHero(c, w, h, shirt, {0.05, 0.3, 0.2, 1.5, -0.2, 1.4, 0.3, 1.3});
}

void heroRun3(cairo_t* c, int w, int h, Rgba shirt)
{
    drawHero(c, w, h, shirt, {-0.55, 0.9, 0.6, 0.2, 0.8, 1.2, -0.7, 1.4});
}

void heroRun4(cairo_t* c, int w, int h, Rgba shirt)
{
    drawHero(c, w, h, shirt, {0.2, 1.5, 0.05, 0.3, 0.3, 1.3, -0.2, 1.4});
}

void heroJump(cairo_t* c, int w, int h, Rgba shirt)
{
    drawHero(c, w, h, shirt, {1.0, 1.6, 0.3, 1.2, 2.6, 0.3, 2.2, 0.4});
}

void heroDefeated(cairo_t* c, int w, int h, Rgba shirt)
{
    Pose pose{0.35, 0.0, -0.35, 0.0, 2.4, 0.2, -2.4, -0.2};
    pose.defeated = true;
    drawHero(c, w, h, shirt, pose);
}

void heroSlide(cairo_t* c, int width, int height, Rgba shirt)
{
    cairo_scale(c, width / 120.0, height / 48.0);
    const double hipX = 62.0, hipY = 34.0, shoulderX = 36.0, shoulderY = 17.0;
    double endX = 0.0, endY = 0.0;
    // The back arm propped on the ground, the legs straight out in front.
    limb(c, shoulderX + 2.0, shoulderY + 3.0, -2.6, -0.6, kUpperArm, kForearm, 7.0, shade(shirt, 0.75), endX, endY);
    limb(c, hipX, hipY, 1.45, 0.25, kThigh + 2.0, kShin + 4.0, 10.0, shade(kTrousers, 0.75), endX, endY);
    ellipse(c, endX + 3.0, endY - 2.0, 4.0, 7.0);
    fillAndOutline(c, shade(kShoes, 0.75), kInk, 1.5);
    limb(c, hipX, hipY, 1.6, 0.1, kThigh + 2.0, kShin + 4.0, 10.0, kTrousers, endX, endY);
    ellipse(c, endX + 3.0, endY - 2.0, 4.0, 7.0);
    fillAndOutline(c, kShoes, kInk, 1.5);
    line(c, hipX, hipY, shoulderX, shoulderY, 26.0, shade(shirt, 0.5));
    line(c, hipX, hipY, shoulderX, shoulderY, 22.0, shirt);
    ellipse(c, 24.0, 13.0, 12.0, 12.0);
    fillAndOutline(c, kSkin, shade(kSkin, 0.5), 2.0);
    cairo_new_sub_path(c);
    cairo_arc(c, 24.0, 13.0, 12.5, kPi * 0.8, kPi * 1.9);
    cairo_close_path(c);
    fillAndOutline(c, kHair, shade(kHair, 0.6), 1.5);
    eye(c, 31.0, 13.0, 3.2, 1.0, 0.0);
    limb(c, shoulderX + 4.0, shoulderY + 4.0, 1.2, 0.8, kUpperArm, kForearm, 7.0, shirt, endX, endY);
}

namespace {

// A slime of the canvas's width whose dome rises to top; eyes look left.
void drawSlime(cairo_t* c, int width, int height, Rgba skin, double top, double bulge)
{
    cairo_scale(c, width / 96.0, height / 64.0);
    cairo_move_to(c, 4.0, 62.0);
    cairo_curve_to(c, 4.0 - bulge, 30.0, 22.0, top, 48.0, top);
    cairo_curve_to(c, 74.0, top, 92.0 + bulge, 30.0, 92.0, 62.0);
    cairo_close_path(c);
    verticalGradient(c, 64.0, shade(skin, 1.3), shade(skin, 0.75));
    cairo_fill_preserve(c);
    paint(c, shade(skin, 0.45));
    cairo_set_line_width(c, 2.5);
    cairo_stroke(c);
    ellipse(c, 62.0, top + 10.0, 9.0, 4.0);
    paint(c, kWhite, 0.45);
    cairo_fill(c);
    eye(c, 32.0, 34.0, 7.5, -1.0, 0.1);
    eye(c, 52.0, 34.0, 7.5, -1.0, 0.1);
    cairo_arc(c, 40.0, 46.0, 6.0, 0.4, kPi - 0.4);
    paint(c, kInk);
    cairo_set_line_width(c, 2.0);
    cairo_stroke(c);
}

} // namespace

void slime1(cairo_t* c, int w, int h, Rgba skin)
{
    drawSlime(c, w, h, skin, 6.0, 0.0);
}

void slime2(cairo_t* c, int w, int h, Rgba skin)
{
    drawSlime(c, w, h, skin, 14.0, 4.0);
}

void bat(cairo_t* c, int width, int height, Rgba fur)
{
    cairo_scale(c, width / 72.0, height / 40.0);
    // Wings: scalloped at their lower edge, spread from the body.
    for (double side : {-1.0, 1.0}) {
        cairo_move_to(c, 36.0, 14.0);
        cairo_curve_to(c, 36.0 + side * 14.0, 2.0, 36.0 + side * 26.0, 2.0, 36.0 + side * 35.0, 8.0);
        cairo_curve_to(c, 36.0 + side * 30.0, 16.0, 36.0 + side * 26.0, 22.0, 36.0 + side * 24.0, 28.0);
        cairo_curve_to(c, 36.0 + side * 20.0, 22.0, 36.0 + side * 16.0, 22.0, 36.0 + side * 13.0, 28.0);
        cairo_curve_to(c, 36.0 + side * 10.0, 22.0, 36.0 + side * 6.0, 24.0, 36.0, 28.0);
        cairo_close_path(c);
        fillAndOutline(c, shade(fur, 0.8), shade(fur, 0.4), 1.5);
    }
    // Ears and body.
    for (double side : {-1.0, 1.0}) {
        cairo_move_to(c, 36.0 + side * 4.0, 12.0);
        cairo_line_to(c, 36.0 + side * 9.0, 2.0);
        cairo_line_to(c, 36.0 + side * 11.0, 14.0);
        cairo_close_path(c);
        fillAndOutline(c, fur, shade(fur, 0.4), 1.2);
    }
    ellipse(c, 36.0, 21.0, 12.0, 12.5);
    fillAndOutline(c, fur, shade(fur, 0.4), 1.5);
    eye(c, 31.0, 18.0, 4.2, -1.0, 0.2);
    eye(c, 40.0, 18.0, 4.2, -1.0, 0.2);
    for (double x : {31.0, 35.0}) {
        cairo_move_to(c, x, 26.0);
        cairo_line_to(c, x + 1.5, 30.0);
        cairo_line_to(c, x + 3.0, 26.0);
        cairo_close_path(c);
        paint(c, kWhite);
        cairo_fill(c);
    }
}

void coin(cairo_t* c, int width, int height, Rgba gold)
{
    const double cx = width / 2.0, cy = height / 2.0, r = std::min(width, height) / 2.0 - 1.0;
    cairo_pattern_t* shine = cairo_pattern_create_radial(cx - r * 0.3, cy - r * 0.3, r * 0.1, cx, cy, r);
    const Rgba light = shade(gold, 1.5), dark = shade(gold, 0.8);
    cairo_pattern_add_color_stop_rgb(shine, 0.0, light.r / 255.0, light.g / 255.0, light.b / 255.0);
    cairo_pattern_add_color_stop_rgb(shine, 1.0, dark.r / 255.0, dark.g / 255.0, dark.b / 255.0);
    ellipse(c, cx, cy, r, r);
    cairo_set_source(c, shine);
    cairo_pattern_destroy(shine);
    cairo_fill_preserve(c);
    paint(c, shade(gold, 0.55));
    cairo_set_line_width(c, 2.0);
    cairo_stroke(c);
    ellipse(c, cx, cy, r * 0.68, r * 0.68);
    paint(c, shade(gold, 0.65));
    cairo_set_line_width(c, 1.5);
    cairo_stroke(c);
    // A raised bar at the centre and a glint.
    roundedRect(c, cx - r * 0.12, cy - r * 0.4, r * 0.24, r * 0.8, r * 0.1);
    fillAndOutline(c, shade(gold, 1.3), shade(gold, 0.6), 1.0);
    ellipse(c, cx - r * 0.45, cy - r * 0.45, r * 0.16, r * 0.1);
    paint(c, kWhite, 0.8);
    cairo_fill(c);
}

void star(cairo_t* c, int width, int height, Rgba colour)
{
    const double cx = width / 2.0, cy = height / 2.0 + 2.0, r = std::min(width, height) / 2.0 - 2.0;
    for (int i = 0; i < 10; ++i) {
        const double angle = -kPi / 2 + i * kPi / 5;
        const double radius = i % 2 == 0 ? r : r * 0.45;
        cairo_line_to(c, cx + radius * std::cos(angle), cy + radius * std::sin(angle));
    }
    cairo_close_path(c);
    cairo_set_line_join(c, CAIRO_LINE_JOIN_ROUND);
    verticalGradient(c, height, shade(colour, 1.4), shade(colour, 0.85));
    cairo_fill_preserve(c);
    paint(c, shade(colour, 0.55));
    cairo_set_line_width(c, 2.5);
    cairo_stroke(c);
    ellipse(c, cx - 5.0, cy - 2.0, 2.5, 4.0);
    ellipse(c, cx + 5.0, cy - 2.0, 2.5, 4.0);
    paint(c, kInk);
    cairo_fill(c);
}

void magnet(cairo_t* c, int width, int height, Rgba colour)
{
    cairo_scale(c, width / 64.0, height / 64.0);
    // A horseshoe opening downward: its arch crosses the centre, its tips are steel.
    cairo_set_line_cap(c, CAIRO_LINE_CAP_BUTT);
    cairo_new_path(c);
    cairo_move_to(c, 14.0, 54.0);
    cairo_line_to(c, 14.0, 30.0);
    cairo_arc(c, 32.0, 30.0, 18.0, kPi, 2.0 * kPi);
    cairo_line_to(c, 50.0, 54.0);
    paint(c, shade(colour, 0.45));
    cairo_set_line_width(c, 17.0);
    cairo_stroke_preserve(c);
    paint(c, colour);
    cairo_set_line_width(c, 13.0);
    cairo_stroke(c);
    for (double x : {14.0, 50.0}) {
        roundedRect(c, x - 6.5, 48.0, 13.0, 12.0, 2.0);
        fillAndOutline(c, Rgba{215, 220, 230, 255}, Rgba{90, 95, 110, 255}, 2.0);
    }
    cairo_arc(c, 32.0, 30.0, 18.0, kPi * 1.15, kPi * 1.45);
    paint(c, kWhite, 0.5);
    cairo_set_line_width(c, 3.0);
    cairo_stroke(c);
}

void spark(cairo_t* c, int width, int height, Rgba colour)
{
    const double cx = width / 2.0, cy = height / 2.0, r = std::min(width, height) / 2.0;
    cairo_pattern_t* glow = cairo_pattern_create_radial(cx, cy, 0.0, cx, cy, r);
    cairo_pattern_add_color_stop_rgba(glow, 0.0, 1.0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgba(glow, 0.4, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, 0.9);
    cairo_pattern_add_color_stop_rgba(glow, 1.0, colour.r / 255.0, colour.g / 255.0, colour.b / 255.0, 0.0);
    cairo_set_source(c, glow);
    cairo_pattern_destroy(glow);
    cairo_paint(c);
}

void bullet(cairo_t* c, int width, int height, Rgba colour)
{
    roundedRect(c, 1.0, 1.0, width - 2.0, height - 2.0, height / 2.0 - 1.0);
    verticalGradient(c, height, kWhite, colour);
    cairo_fill_preserve(c);
    paint(c, shade(colour, 0.6));
    cairo_set_line_width(c, 1.2);
    cairo_stroke(c);
}

void checkpoint(cairo_t* c, int width, int height, Rgba flag)
{
    const double poleX = width / 2.0;
    // The flag, waving from the top of the pole.
    cairo_move_to(c, poleX, 6.0);
    cairo_curve_to(c, poleX + 8.0, 2.0, poleX + 12.0, 12.0, width - 1.0, 8.0);
    cairo_line_to(c, width - 1.0, 28.0);
    cairo_curve_to(c, poleX + 12.0, 32.0, poleX + 8.0, 22.0, poleX, 28.0);
    cairo_close_path(c);
    fillAndOutline(c, flag, shade(flag, 0.5), 1.5);
    roundedRect(c, poleX - 2.5, 2.0, 5.0, height - 8.0, 2.0);
    fillAndOutline(c, Rgba{200, 200, 210, 255}, Rgba{80, 80, 95, 255}, 1.2);
    ellipse(c, poleX, 3.0, 3.5, 3.5);
    fillAndOutline(c, Rgba{250, 210, 60, 255}, Rgba{150, 110, 20, 255}, 1.0);
    roundedRect(c, poleX - 9.0, height - 8.0, 18.0, 7.0, 2.0);
    fillAndOutline(c, Rgba{120, 120, 135, 255}, Rgba{60, 60, 70, 255}, 1.2);
}

void portal(cairo_t* c, int width, int height, Rgba colour)
{
    const double cx = width / 2.0, cy = height / 2.0;
    for (int ring = 0; ring < 5; ++ring) {
        const double f = 1.0 - ring * 0.18;
        ellipse(c, cx, cy, (width / 2.0 - 1.0) * f, (height / 2.0 - 1.0) * f);
        paint(c, shade(colour, ring % 2 == 0 ? 0.7 + ring * 0.15 : 1.2 + ring * 0.1));
        cairo_fill(c);
    }
    ellipse(c, cx, cy, width / 2.0 - 1.0, height / 2.0 - 1.0);
    paint(c, shade(colour, 0.4));
    cairo_set_line_width(c, 2.0);
    cairo_stroke(c);
}

void ground(cairo_t* c, int width, int height, Rgba grass)
{
    const Rgba earth{140, 95, 55, 255};
    cairo_rectangle(c, 0.0, 0.0, width, height);
    verticalGradient(c, height, earth, shade(earth, 0.6));
    cairo_fill(c);
    // Stones at fixed places, none across the left and right edges.
    for (int i = 0; i * 37 + 20 < width - 12; ++i) {
        ellipse(c, i * 37 + 20, 26.0 + (i * 17 % 30), 4.0 + i % 3, 2.5 + i % 2);
        paint(c, shade(earth, i % 2 == 0 ? 0.7 : 1.25));
        cairo_fill(c);
    }
    // The turf, its lower edge wavy.
    wavyTop(c, width, 13.0, 2.5, std::max(1, width / 24));
    verticalGradient(c, 16.0, shade(grass, 1.25), shade(grass, 0.8));
    cairo_fill(c);
    line(c, 0.0, 1.0, width, 1.0, 2.0, shade(grass, 1.5));
}

void rock(cairo_t* c, int width, int height, Rgba stone)
{
    cairo_scale(c, width / 96.0, height / 80.0);
    const double outline[][2] = {{2, 78}, {94, 78}, {78, 10}, {48, 1}, {18, 10}};
    for (const auto& point : outline)
        cairo_line_to(c, point[0], point[1]);
    cairo_close_path(c);
    cairo_set_line_join(c, CAIRO_LINE_JOIN_ROUND);
    verticalGradient(c, 80.0, shade(stone, 1.3), shade(stone, 0.7));
    cairo_fill_preserve(c);
    paint(c, shade(stone, 0.45));
    cairo_set_line_width(c, 2.5);
    cairo_stroke(c);
    // A lit face and two cracks.
    cairo_move_to(c, 48.0, 4.0);
    cairo_line_to(c, 22.0, 13.0);
    cairo_line_to(c, 12.0, 50.0);
    cairo_line_to(c, 40.0, 36.0);
    cairo_close_path(c);
    paint(c, kWhite, 0.18);
    cairo_fill(c);
    line(c, 60.0, 30.0, 70.0, 50.0, 1.8, shade(stone, 0.5));
    line(c, 70.0, 50.0, 64.0, 66.0, 1.8, shade(stone, 0.5));
    line(c, 30.0, 60.0, 44.0, 70.0, 1.5, shade(stone, 0.55));
}

void boulder(cairo_t* c, int width, int height, Rgba stone)
{
    const double cx = width / 2.0, cy = height / 2.0, r = std::min(width, height) / 2.0 - 1.5;
    ellipse(c, cx, cy, r, r);
    cairo_pattern_t* light = cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.35, r * 0.1, cx, cy, r);
    const Rgba lit = shade(stone, 1.35), dark = shade(stone, 0.6);
    cairo_pattern_add_color_stop_rgb(light, 0.0, lit.r / 255.0, lit.g / 255.0, lit.b / 255.0);
    cairo_pattern_add_color_stop_rgb(light, 1.0, dark.r / 255.0, dark.g / 255.0, dark.b / 255.0);
    cairo_set_source(c, light);
    cairo_pattern_destroy(light);
    cairo_fill_preserve(c);
    paint(c, shade(stone, 0.4));
    cairo_set_line_width(c, 2.5);
    cairo_stroke(c);
    // Pits, so that its rolling shows.
    const double pits[][3] = {{-0.35, 0.3, 0.14}, {0.3, -0.25, 0.1}, {0.35, 0.4, 0.12}, {-0.1, -0.5, 0.08}};
    for (const auto& pit : pits) {
        ellipse(c, cx + pit[0] * r, cy + pit[1] * r, pit[2] * r, pit[2] * r);
        paint(c, shade(stone, 0.55));
        cairo_fill(c);
    }
}

void plank(cairo_t* c, int width, int height, Rgba wood)
{
    board(c, width, height, 4.0, wood, 1.2, 0.8);
    // Grain and nails.
    for (double y : {height * 0.35, height * 0.65})
        line(c, 10.0, y, width - 10.0, y + 1.0, 1.0, shade(wood, 0.65));
    for (double x : {8.0, width - 8.0}) {
        ellipse(c, x, height / 2.0, 2.0, 2.0);
        paint(c, Rgba{70, 70, 80, 255});
        cairo_fill(c);
    }
}

void raft(cairo_t* c, int width, int height, Rgba)
{
    const Rgba wood{165, 115, 65, 255};
    const int logs = std::max(1, width / 40);
    const double logWidth = static_cast<double>(width) / logs;
    for (int i = 0; i < logs; ++i) {
        roundedRect(c, i * logWidth + 0.5, 1.0, logWidth - 1.0, height - 2.0, height / 2.0 - 1.0);
        verticalGradient(c, height, shade(wood, 1.25), shade(wood, 0.7));
        cairo_fill_preserve(c);
        paint(c, shade(wood, 0.45));
        cairo_set_line_width(c, 1.5);
        cairo_stroke(c);
    }
    // Rope bindings.
    for (double x : {width * 0.25, width * 0.75}) {
        cairo_rectangle(c, x - 3.0, 0.0, 6.0, height);
        paint(c, Rgba{225, 205, 150, 255});
        cairo_fill(c);
    }
}

void ferry(cairo_t* c, int width, int height, Rgba paintColour)
{
    cairo_move_to(c, 1.0, 2.0);
    cairo_line_to(c, width - 1.0, 2.0);
    cairo_line_to(c, width - 14.0, height - 1.0);
    cairo_line_to(c, 14.0, height - 1.0);
    cairo_close_path(c);
    fillAndOutline(c, paintColour, shade(paintColour, 0.45), 2.0);
    cairo_rectangle(c, 4.0, 2.0, width - 8.0, 5.0);
    paint(c, Rgba{240, 240, 235, 255});
    cairo_fill(c);
    for (double x = 30.0; x < width - 25.0; x += 35.0) {
        ellipse(c, x, height * 0.6, 3.5, 3.5);
        fillAndOutline(c, Rgba{170, 210, 240, 255}, shade(paintColour, 0.4), 1.2);
    }
}

void wall(cairo_t* c, int width, int height, Rgba stone)
{
    cairo_rectangle(c, 0.0, 0.0, width, height);
    paint(c, shade(stone, 0.55));
    cairo_fill(c);
    // Bricks in courses, every other one shifted by half a brick; the wall is shown four
    // times as high as it is drawn, so its courses are drawn a quarter of their height.
    constexpr double kCourse = 6.0, kBrick = 20.0;
    for (int course = 0; course * kCourse < height; ++course) {
        const double shift = course % 2 == 0 ? 0.0 : -kBrick / 2;
        for (double x = shift; x < width; x += kBrick) {
            const Rgba tone = shade(stone, 0.9 + 0.12 * ((course * 7 + static_cast<int>(x)) % 3));
            cairo_rectangle(c, x + 1.0, course * kCourse + 0.75, kBrick - 2.0, kCourse - 1.5);
            paint(c, tone);
            cairo_fill(c);
        }
    }
}

void sky(cairo_t* c, int width, int height, Rgba top)
{
    cairo_rectangle(c, 0.0, 0.0, width, height);
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0.0, 0.0, 0.0, height);
    const Rgba horizon{190, 225, 245, 255};
    cairo_pattern_add_color_stop_rgb(gradient, 0.0, top.r / 255.0, top.g / 255.0, top.b / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 1.0, horizon.r / 255.0, horizon.g / 255.0, horizon.b / 255.0);
    cairo_set_source(c, gradient);
    cairo_pattern_destroy(gradient);
    cairo_fill(c);
}

void backdrop(cairo_t* c, int width, int height, Rgba colour)
{
    // Each channel a tenth brighter at the top and a tenth darker at the bottom: the hue
    // stays the colour's.
    auto scaled = [colour](double factor) {
        auto channel = [factor](unsigned char v) { return static_cast<unsigned char>(std::min(255.0, v * factor)); };
        return Rgba{channel(colour.r), channel(colour.g), channel(colour.b), colour.a};
    };
    cairo_rectangle(c, 0.0, 0.0, width, height);
    verticalGradient(c, height, scaled(1.1), scaled(0.9));
    cairo_fill(c);
}

void hills(cairo_t* c, int width, int height, Rgba colour)
{
    // Two ranges; their waves fit the width a whole number of times.
    const double w = width;
    for (int range = 0; range < 2; ++range) {
        const double base = height * (range == 0 ? 0.3 : 0.5);
        cairo_move_to(c, 0.0, height);
        for (int x = 0; x <= width; ++x) {
            const double t = 2.0 * kPi * x / w;
            cairo_line_to(c, x, base - height * 0.14 * std::sin(t + range * 2.0) - height * 0.08 * std::sin(3.0 * t + 0.7));
        }
        cairo_line_to(c, w, height);
        cairo_close_path(c);
        const Rgba tone = shade(colour, range == 0 ? 1.25 : 1.0);
        verticalGradient(c, height, tone, shade(tone, 0.8));
        cairo_fill(c);
    }
}

void bushes(cairo_t* c, int width, int height, Rgba colour)
{
    // Round tufts along the top, every 32 pixels, their sizes repeating every 8 tufts.
    constexpr double kRadii[] = {20, 16, 22, 17, 19, 15, 21, 18};
    cairo_rectangle(c, 0.0, height * 0.5, width, height * 0.5);
    for (int i = 0; i * 32 <= width; ++i) {
        const double r = kRadii[i % 8] * height / 48.0;
        ellipse(c, i * 32.0, height * 0.5 + 2.0, r, r);
    }
    verticalGradient(c, height, shade(colour, 1.2), shade(colour, 0.7));
    cairo_fill(c);
    for (int i = 0; i * 32 <= width; ++i) {
        const double r = kRadii[i % 8] * height / 48.0;
        ellipse(c, i * 32.0 - r * 0.3, height * 0.5 + 2.0 - r * 0.45, r * 0.35, r * 0.25);
        paint(c, shade(colour, 1.35), 0.7);
        cairo_fill(c);
    }
}

void button(cairo_t* c, int width, int height, Rgba face)
{
    const double r = std::min(width, height) * 0.2;
    roundedRect(c, 2.0, 2.0, width - 4.0, height - 4.0, r);
    fillAndOutline(c, face, shade(face, 0.55), 3.0);
    roundedRect(c, 6.0, 5.0, width - 12.0, height * 0.3, r * 0.7);
    paint(c, kWhite, 0.22);
    cairo_fill(c);
}

void wordButton(cairo_t* c, int width, int height, Rgba face, const char* word)
{
    button(c, width, height, face);
    zqmedia::drawText(c, word, width / 2.0, height * 0.62, height * 0.33, kWhite);
}

void roundButton(cairo_t* c, int width, int height, Rgba face)
{
    ellipse(c, width / 2.0, height / 2.0, width / 2.0 - 2.0, height / 2.0 - 2.0);
    fillAndOutline(c, face, shade(face, 0.55), 3.0);
    ellipse(c, width / 2.0, height * 0.3, width * 0.32, height * 0.16);
    paint(c, kWhite, 0.22);
    cairo_fill(c);
}

} // namespace zqpictures
