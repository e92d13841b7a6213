#include "tools/ZqPictureBrush.h"

#include <algorithm>
#include <cmath>

namespace zqbrush {

void paint(cairo_t* c, Rgba k, double alpha)
{
    cairo_set_source_rgba(c, k.r / 255.0, k.g / 255.0, k.b / 255.0, k.a / 255.0 * alpha);
}

Rgba shade(Rgba k, double factor)
{
    auto channel = [factor](unsigned char v) {
        const double out = factor <= 1.0 ? v * factor : v + (255.0 - v) * (factor - 1.0);
        return static_cast<unsigned char>(std::clamp(std::lround(out), 0L, 255L));
    };
    return Rgba{channel(k.r), channel(k.g), channel(k.b), k.a};
}

void ellipse(cairo_t* c, double cx, double cy, double rx, double ry)
{
    cairo_save(c);
    cairo_translate(c, cx, cy);
    cairo_scale(c, rx, ry);
    cairo_new_sub_path(c);
    cairo_arc(c, 0.0, 0.0, 1.0, 0.0, 2.0 * kPi);
    cairo_restore(c);
}

void roundedRect(cairo_t* c, double x, double y, double w, double h, double r)
{
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(c);
    cairo_arc(c, x + w - r, y + r, r, -kPi / 2, 0.0);
    cairo_arc(c, x + w - r, y + h - r, r, 0.0, kPi / 2);
    cairo_arc(c, x + r, y + h - r, r, kPi / 2, kPi);
    cairo_arc(c, x + r, y + r, r, kPi, 1.5 * kPi);
    cairo_close_path(c);
}

void fillAndOutline(cairo_t* c, Rgba fill, Rgba outline, double width)
{
    paint(c, fill);
    cairo_fill_preserve(c);
    paint(c, outline);
    cairo_set_line_width(c, width);
    cairo_stroke(c);
}

void line(cairo_t* c, double x0, double y0, double x1, double y1, double width, Rgba k)
{
    cairo_set_line_cap(c, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_width(c, width);
    paint(c, k);
    cairo_move_to(c, x0, y0);
    cairo_line_to(c, x1, y1);
    cairo_stroke(c);
}

void verticalGradient(cairo_t* c, double height, Rgba top, Rgba bottom)
{
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0.0, 0.0, 0.0, height);
    cairo_pattern_add_color_stop_rgba(gradient, 0.0, top.r / 255.0, top.g / 255.0, top.b / 255.0, top.a / 255.0);
    cairo_pattern_add_color_stop_rgba(gradient, 1.0, bottom.r / 255.0, bottom.g / 255.0, bottom.b / 255.0,
                                      bottom.a / 255.0);
    cairo_set_source(c, gradient);
    cairo_pattern_destroy(gradient);
}


void board(cairo_t* c, int width, int height, double r, Rgba k, double top, double bottom)
{
    roundedRect(c, 1.0, 1.0, width - 2.0, height - 2.0, r);
    verticalGradient(c, height, shade(k, top), shade(k, bottom));
    cairo_fill_preserve(c);
    paint(c, shade(k, 0.45));
    cairo_set_line_width(c, 2.0);
    cairo_stroke(c);
}

void wavyTop(cairo_t* c, int width, double depth, double amplitude, int waves)
{
    cairo_move_to(c, 0.0, 0.0);
    for (int x = 0; x <= width; x += 2)
        cairo_line_to(c, x, depth + amplitude * std::sin(2.0 * kPi * waves * x / width));
    cairo_line_to(c, width, 0.0);
    cairo_close_path(c);
}

} // namespace zqbrush
