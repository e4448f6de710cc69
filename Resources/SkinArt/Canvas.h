#pragma once
// Small drawing helpers over Cairo for the skin's images: colours from the palette's ARGB
// words, rounded rectangles, gradients and chevrons. Every coordinate is in 1x pixels;
// the caller scales the context for the 2x image.
//
//   Canvas::FillRoundedRect(cr, {1, 1, 14, 14}, 4, Palette::kControl);
//   Canvas::StrokeRoundedRect(cr, {0.5, 0.5, 15, 15}, 4.5, 1, Palette::kBorder);

#include <cairo.h>

#include <cstdint>

namespace QZ::SkinArt::Canvas {

struct Box {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;

  // This box moved inwards by d on every side.
  Box Inset(double d) const { return {x + d, y + d, width - 2 * d, height - 2 * d}; }
  double Right() const { return x + width; }
  double Bottom() const { return y + height; }
  double CentreX() const { return x + width / 2; }
  double CentreY() const { return y + height / 2; }
};

// argb with its alpha multiplied by opacity.
uint32_t Fade(uint32_t argb, double opacity);
// The colour between a (t = 0) and b (t = 1), alpha included.
uint32_t Mix(uint32_t a, uint32_t b, double t);

void SetColour(cairo_t* cr, uint32_t argb);
void AddColourStop(cairo_pattern_t* pattern, double offset, uint32_t argb);

// A closed rounded-rectangle path; the radius is limited to half the shorter side.
void RoundedRectPath(cairo_t* cr, const Box& box, double radius);
void FillRoundedRect(cairo_t* cr, const Box& box, double radius, uint32_t argb);
// Strokes the path of box (pass a box on half pixels for a crisp one-pixel line).
void StrokeRoundedRect(cairo_t* cr, const Box& box, double radius, double lineWidth, uint32_t argb);
// Fills box with a vertical gradient from top to bottom.
void FillRoundedRectVertical(cairo_t* cr, const Box& box, double radius, uint32_t top, uint32_t bottom);
void FillCircle(cairo_t* cr, double cx, double cy, double radius, uint32_t argb);
void StrokeCircle(cairo_t* cr, double cx, double cy, double radius, double lineWidth, uint32_t argb);
// A radial gradient lit from above left: inner colour at the light, outer at the rim.
void FillCircleLit(cairo_t* cr, double cx, double cy, double radius, uint32_t inner, uint32_t outer);

enum class Direction { Up, Down, Left, Right };
// An open chevron of the given size centred on (cx, cy), pointing in direction.
void Chevron(cairo_t* cr, double cx, double cy, double size, Direction direction, double lineWidth, uint32_t argb);
// A check mark inside box.
void CheckMark(cairo_t* cr, const Box& box, double lineWidth, uint32_t argb);

} // namespace QZ::SkinArt::Canvas
