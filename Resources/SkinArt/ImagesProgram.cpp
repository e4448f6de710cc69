// The program's icon and its two drag cursors (ProgramArt.h names their resources).

#include "Resources/SkinArt/Canvas.h"
#include "Resources/SkinArt/Images.h"
#include "Resources/SkinArt/Palette.h"
#include "Resources/SkinArt/ProgramArt.h"

namespace QZ::SkinArt {

namespace {

using Canvas::Box;
namespace P = Palette;

void DrawIcon(cairo_t* cr) {
  const Box tile{2, 2, 60, 60};
  Canvas::FillRoundedRect(cr, {tile.x, tile.y + 1, tile.width, tile.height}, 14, Canvas::Fade(0xFF000000, 0.45));
  Canvas::FillRoundedRectVertical(cr, tile, 14, Canvas::Mix(P::kChassis, 0xFFFFFFFF, 0.12),
                                  Canvas::Mix(P::kChassis, 0xFF000000, 0.2));
  Canvas::StrokeRoundedRect(cr, tile.Inset(0.5), 13.5, 1, Canvas::Fade(0xFFFFFFFF, 0.14));
  // Three knobs over a short keybed.
  for (int knob = 0; knob < 3; ++knob) {
    const double cx = 20.0 + knob * 12;
    Canvas::FillCircleLit(cr, cx, 20, 4.5, Canvas::Mix(P::kKnobBody, 0xFFFFFFFF, 0.3), P::kKnobBody);
    cairo_move_to(cr, cx, 20);
    cairo_line_to(cr, cx + (knob - 1) * 2.5, 16.5);
    Canvas::SetColour(cr, knob == 1 ? P::kAccent : P::kText);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
  }
  const Box keys{11, 32, 42, 22};
  Canvas::FillRoundedRect(cr, keys, 2, P::kShadow);
  for (int key = 0; key < 6; ++key) {
    Canvas::FillRoundedRect(cr, {keys.x + key * 7 + 0.5, keys.y, 6, keys.height - 0.5}, 1.2,
                            key == 2 ? P::kAccent : P::kWhiteKey);
  }
  for (const int gap : {1, 2, 4, 5}) {
    Canvas::FillRoundedRect(cr, {keys.x + gap * 7 - 2, keys.y, 4, 13}, 0.8, P::kBlackKey);
  }
}

// The arrow pointer, its tip at (1, 1).
void DrawPointer(cairo_t* cr) {
  const double points[][2] = {{1, 1}, {1, 21}, {6, 16.5}, {9.5, 24.5}, {12.5, 23.2}, {9.2, 15.5}, {15.5, 15.5}};
  cairo_new_path(cr);
  for (const auto& point : points) {
    cairo_line_to(cr, point[0], point[1]);
  }
  cairo_close_path(cr);
  Canvas::SetColour(cr, 0xFFFFFFFF);
  cairo_fill_preserve(cr);
  Canvas::SetColour(cr, 0xFF000000);
  cairo_set_line_width(cr, 1);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
}

// What is being dragged: a small box outlined in dashes.
void DrawDraggedBox(cairo_t* cr) {
  const Box box{15.5, 17.5, 12, 10};
  Canvas::RoundedRectPath(cr, box, 1.5);
  Canvas::SetColour(cr, Canvas::Fade(0xFFFFFFFF, 0.85));
  cairo_fill_preserve(cr);
  const double dashes[] = {2, 1.5};
  cairo_set_dash(cr, dashes, 2, 0);
  Canvas::SetColour(cr, 0xFF000000);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_set_dash(cr, nullptr, 0, 0);
}

void DrawDropMove(cairo_t* cr) {
  DrawDraggedBox(cr);
  DrawPointer(cr);
}

void DrawDropCopy(cairo_t* cr) {
  DrawDraggedBox(cr);
  DrawPointer(cr);
  Canvas::FillCircle(cr, 25, 25, 6, P::kAccent);
  Canvas::StrokeCircle(cr, 25, 25, 6, 1, 0xFFFFFFFF);
  Canvas::SetColour(cr, 0xFFFFFFFF);
  cairo_rectangle(cr, 22, 24.25, 6, 1.5);
  cairo_rectangle(cr, 24.25, 22, 1.5, 6);
  cairo_fill(cr);
}

} // namespace

void AddProgramImages(std::vector<ImageSpec>& images) {
  // The resource names are the file names upper-cased, '.' made '_'.
  images.push_back({"app_icon", kApplicationIcon.width, kApplicationIcon.height, DrawIcon});
  images.push_back({"cursor_drop_move", kDropMoveCursor.width, kDropMoveCursor.height, DrawDropMove});
  images.push_back({"cursor_drop_copy", kDropCopyCursor.width, kDropCopyCursor.height, DrawDropCopy});
}

} // namespace QZ::SkinArt
