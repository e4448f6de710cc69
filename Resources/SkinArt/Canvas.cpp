#include "Resources/SkinArt/Canvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace QZ::SkinArt::Canvas {

namespace {

double Channel(uint32_t argb, int shift) { return double((argb >> shift) & 0xFF) / 255.0; }

} // namespace

uint32_t Fade(uint32_t argb, double opacity) {
  const auto alpha = uint32_t(std::lround(double(argb >> 24) * std::clamp(opacity, 0.0, 1.0)));
  return (alpha << 24) | (argb & 0x00FFFFFF);
}

uint32_t Mix(uint32_t a, uint32_t b, double t) {
  uint32_t result = 0;
  for (const int shift : {0, 8, 16, 24}) {
    const double value = Channel(a, shift) * (1 - t) + Channel(b, shift) * t;
    result |= uint32_t(std::lround(value * 255)) << shift;
  }
  return result;
}

void SetColour(cairo_t* cr, uint32_t argb) {
  cairo_set_source_rgba(cr, Channel(argb, 16), Channel(argb, 8), Channel(argb, 0), Channel(argb, 24));
}

void AddColourStop(cairo_pattern_t* pattern, double offset, uint32_t argb) {
  cairo_pattern_add_color_stop_rgba(pattern, offset, Channel(argb, 16), Channel(argb, 8), Channel(argb, 0),
                                    Channel(argb, 24));
}

void RoundedRectPath(cairo_t* cr, const Box& box, double radius) {
  const double r = std::max(0.0, std::min({radius, box.width / 2, box.height / 2}));
  constexpr double kQuarter = std::numbers::pi / 2;
  cairo_new_sub_path(cr);
  cairo_arc(cr, box.Right() - r, box.y + r, r, -kQuarter, 0);
  cairo_arc(cr, box.Right() - r, box.Bottom() - r, r, 0, kQuarter);
  cairo_arc(cr, box.x + r, box.Bottom() - r, r, kQuarter, 2 * kQuarter);
  cairo_arc(cr, box.x + r, box.y + r, r, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(cr);
}

void FillRoundedRect(cairo_t* cr, const Box& box, double radius, uint32_t argb) {
  RoundedRectPath(cr, box, radius);
  SetColour(cr, argb);
  cairo_fill(cr);
}

void StrokeRoundedRect(cairo_t* cr, const Box& box, double radius, double lineWidth, uint32_t argb) {
  RoundedRectPath(cr, box, radius);
  SetColour(cr, argb);
  cairo_set_line_width(cr, lineWidth);
  cairo_stroke(cr);
}

void FillRoundedRectVertical(cairo_t* cr, const Box& box, double radius, uint32_t top, uint32_t bottom) {
  cairo_pattern_t* gradient = cairo_pattern_create_linear(0, box.y, 0, box.Bottom());
  AddColourStop(gradient, 0, top);
  AddColourStop(gradient, 1, bottom);
  RoundedRectPath(cr, box, radius);
  cairo_set_source(cr, gradient);
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);
}

void FillCircle(cairo_t* cr, double cx, double cy, double radius, uint32_t argb) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
  SetColour(cr, argb);
  cairo_fill(cr);
}

void StrokeCircle(cairo_t* cr, double cx, double cy, double radius, double lineWidth, uint32_t argb) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
  SetColour(cr, argb);
  cairo_set_line_width(cr, lineWidth);
  cairo_stroke(cr);
}

void FillCircleLit(cairo_t* cr, double cx, double cy, double radius, uint32_t inner, uint32_t outer) {
  cairo_pattern_t* gradient =
      cairo_pattern_create_radial(cx - radius * 0.35, cy - radius * 0.45, radius * 0.1, cx, cy, radius);
  AddColourStop(gradient, 0, inner);
  AddColourStop(gradient, 1, outer);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, radius, 0, 2 * std::numbers::pi);
  cairo_set_source(cr, gradient);
  cairo_fill(cr);
  cairo_pattern_destroy(gradient);
}

void Chevron(cairo_t* cr, double cx, double cy, double size, Direction direction, double lineWidth, uint32_t argb) {
  // Drawn pointing down, then turned.
  const double half = size / 2;
  const double depth = size / 4;
  cairo_save(cr);
  cairo_translate(cr, cx, cy);
  switch (direction) {
  case Direction::Down:
    break;
  case Direction::Up:
    cairo_rotate(cr, std::numbers::pi);
    break;
  case Direction::Left:
    cairo_rotate(cr, std::numbers::pi / 2);
    break;
  case Direction::Right:
    cairo_rotate(cr, -std::numbers::pi / 2);
    break;
  }
  cairo_move_to(cr, -half, -depth);
  cairo_line_to(cr, 0, depth);
  cairo_line_to(cr, half, -depth);
  cairo_restore(cr);
  SetColour(cr, argb);
  cairo_set_line_width(cr, lineWidth);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

void CheckMark(cairo_t* cr, const Box& box, double lineWidth, uint32_t argb) {
  cairo_move_to(cr, box.x + box.width * 0.18, box.y + box.height * 0.52);
  cairo_line_to(cr, box.x + box.width * 0.42, box.y + box.height * 0.76);
  cairo_line_to(cr, box.x + box.width * 0.84, box.y + box.height * 0.26);
  SetColour(cr, argb);
  cairo_set_line_width(cr, lineWidth);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

} // namespace QZ::SkinArt::Canvas
