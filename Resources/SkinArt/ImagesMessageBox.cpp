// The message box's icons: an error's cross on a red disc, a question mark and an "i" on
// discs of the accent, an exclamation mark on an amber triangle. Each mark is drawn with
// strokes and dots, not with a font, so that every machine draws the same pixels.
#include <numbers>

#include "Resources/SkinArt/Atlases.h"
#include "Resources/SkinArt/Canvas.h"
#include "Resources/SkinArt/Images.h"
#include "Resources/SkinArt/Palette.h"

namespace QZ::SkinArt {

namespace {

using Canvas::Box;
namespace P = Palette;

constexpr double kStroke = 3;
constexpr double kDot = 1.9;

Box CellBox(MessageIcon icon) {
  const Rect cell = Cells::kMessageIcons.Cell(int(icon));
  return {double(cell.x), double(cell.y), double(cell.width), double(cell.height)};
}

void Line(cairo_t* cr, double x0, double y0, double x1, double y1, uint32_t argb) {
  Canvas::SetColour(cr, argb);
  cairo_set_line_width(cr, kStroke);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
}

// A disc filling the cell, a shade darker along its rim.
void Disc(cairo_t* cr, const Box& box, uint32_t argb) {
  Canvas::FillCircle(cr, box.CentreX(), box.CentreY(), 14.5, Canvas::Mix(argb, P::kShadow, 0.25));
  Canvas::FillCircle(cr, box.CentreX(), box.CentreY(), 13.5, argb);
}

void DrawError(cairo_t* cr) {
  const Box box = CellBox(MessageIcon::Error);
  Disc(cr, box, P::kError);
  const double cx = box.CentreX();
  const double cy = box.CentreY();
  Line(cr, cx - 5.5, cy - 5.5, cx + 5.5, cy + 5.5, P::kTextOnAccent);
  Line(cr, cx + 5.5, cy - 5.5, cx - 5.5, cy + 5.5, P::kTextOnAccent);
}

void DrawQuestion(cairo_t* cr) {
  const Box box = CellBox(MessageIcon::Question);
  Disc(cr, box, P::kAccent);
  const double cx = box.CentreX();
  // The hook: from the left round over the top to the right, down to the middle; then the
  // stem and the dot.
  constexpr double kRadius = 4.5;
  const double hookY = box.y + 11.5;
  Canvas::SetColour(cr, P::kTextOnAccent);
  cairo_set_line_width(cr, kStroke);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_new_path(cr);
  cairo_arc(cr, cx, hookY, kRadius, std::numbers::pi, 2.4 * std::numbers::pi);
  cairo_line_to(cr, cx, hookY + 6.5);
  cairo_line_to(cr, cx, hookY + 7.5);
  cairo_stroke(cr);
  Canvas::FillCircle(cr, cx, box.y + 24, kDot, P::kTextOnAccent);
}

void DrawWarning(cairo_t* cr) {
  const Box box = CellBox(MessageIcon::Warning);
  const double cx = box.CentreX();
  // A triangle with rounded corners: its path filled and stroked wide with round joins.
  const auto triangle = [&] {
    cairo_new_path(cr);
    cairo_move_to(cr, cx, box.y + 4);
    cairo_line_to(cr, box.Right() - 3, box.Bottom() - 4);
    cairo_line_to(cr, box.x + 3, box.Bottom() - 4);
    cairo_close_path(cr);
  };
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  triangle();
  Canvas::SetColour(cr, Canvas::Mix(P::kWarning, P::kShadow, 0.25));
  cairo_set_line_width(cr, 5);
  cairo_stroke(cr);
  triangle();
  Canvas::SetColour(cr, P::kWarning);
  cairo_fill_preserve(cr);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  Line(cr, cx, box.y + 12, cx, box.y + 19, P::kWindow);
  Canvas::FillCircle(cr, cx, box.y + 23.5, kDot, P::kWindow);
}

void DrawInformation(cairo_t* cr) {
  const Box box = CellBox(MessageIcon::Information);
  Disc(cr, box, P::kAccent);
  const double cx = box.CentreX();
  Canvas::FillCircle(cr, cx, box.y + 9, kDot + 0.2, P::kTextOnAccent);
  Line(cr, cx, box.y + 14, cx, box.y + 23, P::kTextOnAccent);
}

void DrawMessageIcons(cairo_t* cr) {
  DrawError(cr);
  DrawQuestion(cr);
  DrawWarning(cr);
  DrawInformation(cr);
}

} // namespace

void AddMessageBoxImages(std::vector<ImageSpec>& images) {
  images.push_back(
      {Cells::kMessageIcons.image, Cells::kMessageIcons.Width(), Cells::kMessageIcons.height, DrawMessageIcons});
}

} // namespace QZ::SkinArt
