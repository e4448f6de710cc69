// The controller picture: its body, the elements in each of their states, the keybeds of
// the three models, the name plates, the maker's mark and the product thumbnail.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "Resources/SkinArt/Atlases.h"
#include "Resources/SkinArt/Canvas.h"
#include "Resources/SkinArt/Images.h"
#include "Resources/SkinArt/Palette.h"

namespace QZ::SkinArt {

namespace {

using Canvas::Box;
namespace P = Palette;

Box CellBox(const CellAtlas& atlas, int index) {
  const Rect cell = atlas.Cell(index);
  return {double(cell.x), double(cell.y), double(cell.width), double(cell.height)};
}

// What differs between the states of an element.
struct ElementLook {
  double light = 0;   // added lightness of the surface (hover), negative when pressed
  bool on = false;    // selected: the accent ring or glow
  uint32_t ring = 0;  // the accent's shade when on
  double opacity = 1; // below 1 when disabled
};

ElementLook LookOf(ElementCell cell) {
  switch (cell) {
  case ElementCell::Normal:
    return {};
  case ElementCell::Hover:
    return {0.07};
  case ElementCell::Pressed:
    return {-0.06};
  case ElementCell::On:
    return {0, true, P::kAccent};
  case ElementCell::OnHover:
    return {0.07, true, P::kAccentHover};
  case ElementCell::OnPressed:
    return {-0.06, true, P::kAccentPressed};
  case ElementCell::Disabled:
  case ElementCell::Count:
    break;
  }
  return {0, false, 0, 0.4};
}

uint32_t Lit(uint32_t argb, double light) {
  return light >= 0 ? Canvas::Mix(argb, 0xFFFFFFFF, light) : Canvas::Mix(argb, 0xFF000000, -light);
}

// Draws each state of an element atlas into its cell, faded as a group when disabled.
template <class Draw>
void DrawStates(cairo_t* cr, const CellAtlas& atlas, Draw draw) {
  for (int i = 0; i < int(ElementCell::Count); ++i) {
    const ElementLook look = LookOf(ElementCell(i));
    cairo_push_group(cr);
    draw(CellBox(atlas, i), look);
    cairo_pop_group_to_source(cr);
    cairo_paint_with_alpha(cr, look.opacity);
  }
}

void DrawChassis(cairo_t* cr) {
  const Box box{0, 0, double(Frames::kChassis.cell), double(Frames::kChassis.cell)};
  constexpr double kRadius = 18;
  Canvas::FillRoundedRect(cr, box, kRadius, P::kShadow);
  Canvas::FillRoundedRectVertical(cr, box.Inset(1), kRadius - 1, Canvas::Mix(P::kChassis, 0xFFFFFFFF, 0.05),
                                  Canvas::Mix(P::kChassis, 0xFF000000, 0.1));
  // Flat across the stretched middle, shaded only within the corners' rows.
  Canvas::FillRoundedRect(cr, {1, 8, box.width - 2, box.height - 16}, 0, P::kChassis);
  cairo_save(cr);
  Canvas::RoundedRectPath(cr, box.Inset(1), kRadius - 1);
  cairo_clip(cr);
  Canvas::SetColour(cr, Canvas::Fade(0xFFFFFFFF, 0.10));
  cairo_rectangle(cr, 0, 1, box.width, 1);
  cairo_fill(cr);
  cairo_restore(cr);
}

void DrawKnobs(cairo_t* cr) {
  DrawStates(cr, Cells::kKnob, [&](const Box& cell, const ElementLook& look) {
    const double cx = cell.CentreX();
    const double cy = cell.CentreY();
    if (look.on) {
      Canvas::FillCircle(cr, cx, cy, 21.5, Canvas::Fade(look.ring, 0.22));
      Canvas::StrokeCircle(cr, cx, cy, 20.5, 2, look.ring);
    } else {
      Canvas::FillCircle(cr, cx, cy + 1, 19.5, Canvas::Fade(0xFF000000, 0.45));
    }
    Canvas::FillCircle(cr, cx, cy, 18.5, P::kKnobEdge);
    // The skirt's grip: fine notches around the rim.
    for (int notch = 0; notch < 36; ++notch) {
      const double angle = notch * std::numbers::pi / 18;
      cairo_move_to(cr, cx + std::cos(angle) * 15.5, cy + std::sin(angle) * 15.5);
      cairo_line_to(cr, cx + std::cos(angle) * 18, cy + std::sin(angle) * 18);
    }
    Canvas::SetColour(cr, Canvas::Fade(Lit(P::kKnobBody, look.light + 0.1), 0.9));
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    Canvas::FillCircleLit(cr, cx, cy, 14.5, Lit(P::kKnobBody, look.light + 0.22), Lit(P::kKnobBody, look.light));
    Canvas::StrokeCircle(cr, cx, cy, 14.5, 1, Canvas::Fade(0xFF000000, 0.5));
    Canvas::FillCircleLit(cr, cx, cy, 10.5, Lit(P::kKnobBody, look.light + 0.3), Lit(P::kKnobBody, look.light + 0.06));
    cairo_move_to(cr, cx, cy - 4);
    cairo_line_to(cr, cx, cy - 13);
    Canvas::SetColour(cr, look.on ? look.ring : P::kText);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  });
}

void DrawFaders(cairo_t* cr) {
  DrawStates(cr, Cells::kFader, [&](const Box& cell, const ElementLook& look) {
    const double cx = cell.CentreX();
    const Box slot{cx - 2.5, cell.y + 7, 5, cell.height - 14};
    // Scale marks on both sides of the slot, longer at the ends and the middle.
    for (int mark = 0; mark <= 10; ++mark) {
      const double y = std::round(slot.y + 2 + mark * (slot.height - 5) / 10);
      const double reach = mark % 5 == 0 ? 6 : 4;
      Canvas::SetColour(cr, Canvas::Fade(P::kTextSecondary, mark % 5 == 0 ? 0.55 : 0.3));
      cairo_rectangle(cr, cx - 9 - reach, y, reach, 1);
      cairo_rectangle(cr, cx + 9, y, reach, 1);
      cairo_fill(cr);
    }
    Canvas::FillRoundedRect(cr, slot, 2.5, P::kShadow);
    const double capCentre = cell.y + std::round(cell.height * 0.42);
    if (look.on) {
      Canvas::FillRoundedRect(cr, {slot.x + 1, capCentre, 3, slot.Bottom() - capCentre - 1}, 1.5, look.ring);
    }
    const Box cap{cx - 12, capCentre - 7, 24, 14};
    Canvas::FillRoundedRect(cr, {cap.x, cap.y + 1.5, cap.width, cap.height}, 3, Canvas::Fade(0xFF000000, 0.5));
    Canvas::FillRoundedRectVertical(cr, cap, 3, Lit(P::kMetal, look.light + 0.08), Lit(P::kMetal, look.light - 0.25));
    Canvas::SetColour(cr, look.on ? look.ring : Canvas::Fade(0xFF000000, 0.7));
    cairo_rectangle(cr, cap.x + 2, cap.CentreY() - 1, cap.width - 4, 2);
    cairo_fill(cr);
    if (look.on) {
      Canvas::StrokeRoundedRect(cr, cap.Inset(-1), 4, 1.5, look.ring);
    }
  });
}

void DrawHardwareButtons(cairo_t* cr) {
  DrawStates(cr, Cells::kHardwareButton, [&](const Box& cell, const ElementLook& look) {
    const Box body = cell.Inset(2);
    Canvas::FillRoundedRect(cr, {body.x, body.y + 1, body.width, body.height}, 5, Canvas::Fade(0xFF000000, 0.5));
    const uint32_t face = look.on ? Canvas::Mix(P::kRubber, look.ring, 0.35) : P::kRubber;
    Canvas::FillRoundedRectVertical(cr, body, 5, Lit(face, look.light + 0.1), Lit(face, look.light - 0.08));
    Canvas::StrokeRoundedRect(cr, body.Inset(0.5), 4.5, 1, look.on ? look.ring : Canvas::Fade(0xFF000000, 0.6));
    // The indicator light along the top.
    Canvas::FillRoundedRect(cr, {body.CentreX() - 7, body.y + 4, 14, 2.5}, 1.25,
                            look.on ? P::kTextOnAccent : Canvas::Fade(0xFF000000, 0.45));
  });
}

void DrawPads(cairo_t* cr) {
  DrawStates(cr, Cells::kPad, [&](const Box& cell, const ElementLook& look) {
    const Box body = cell.Inset(2);
    Canvas::FillRoundedRect(cr, {body.x, body.y + 1, body.width, body.height}, 7, Canvas::Fade(0xFF000000, 0.55));
    const uint32_t face = look.on ? Canvas::Mix(P::kRubber, look.ring, 0.25) : P::kRubber;
    Canvas::FillRoundedRectVertical(cr, body, 7, Lit(face, look.light + 0.06), Lit(face, look.light - 0.06));
    // A soft dish in the middle of the pad.
    cairo_pattern_t* dish =
        cairo_pattern_create_radial(body.CentreX(), body.CentreY(), 4, body.CentreX(), body.CentreY(), body.width / 2);
    Canvas::AddColourStop(dish, 0, Canvas::Fade(0xFF000000, 0.0));
    Canvas::AddColourStop(dish, 1, Canvas::Fade(0xFF000000, 0.18));
    Canvas::RoundedRectPath(cr, body, 7);
    cairo_set_source(cr, dish);
    cairo_fill(cr);
    cairo_pattern_destroy(dish);
    if (look.on) {
      Canvas::StrokeRoundedRect(cr, body.Inset(1), 6, 2, look.ring);
    } else {
      Canvas::StrokeRoundedRect(cr, body.Inset(0.5), 6.5, 1, Canvas::Fade(0xFFFFFFFF, 0.06 + look.light));
    }
  });
}

// One wheel in its slot: a cylinder seen from the front, ridged.
void DrawWheel(cairo_t* cr, const Box& slot, double light, bool centreMark) {
  Canvas::FillRoundedRect(cr, slot, 4, P::kShadow);
  const Box wheel = slot.Inset(2);
  cairo_pattern_t* shade = cairo_pattern_create_linear(0, wheel.y, 0, wheel.Bottom());
  Canvas::AddColourStop(shade, 0, Lit(P::kKnobEdge, light));
  Canvas::AddColourStop(shade, 0.5, Lit(P::kKnobBody, light + 0.12));
  Canvas::AddColourStop(shade, 1, Lit(P::kKnobEdge, light));
  Canvas::RoundedRectPath(cr, wheel, 3);
  cairo_set_source(cr, shade);
  cairo_fill(cr);
  cairo_pattern_destroy(shade);
  for (double y = wheel.y + 4; y < wheel.Bottom() - 2; y += 4) {
    // Ridges crowd towards the top and bottom, where the cylinder turns away.
    const double t = (y - wheel.CentreY()) / (wheel.height / 2);
    const double ridge = wheel.CentreY() + std::sin(t * std::numbers::pi / 2) * wheel.height / 2;
    Canvas::SetColour(cr, Canvas::Fade(0xFF000000, 0.35));
    cairo_rectangle(cr, wheel.x + 1, std::round(ridge), wheel.width - 2, 1);
    cairo_fill(cr);
  }
  if (centreMark) {
    Canvas::SetColour(cr, Canvas::Fade(P::kText, 0.8));
    cairo_rectangle(cr, wheel.x + 2, wheel.CentreY() - 1, wheel.width - 4, 2);
    cairo_fill(cr);
  }
}

void DrawWheels(cairo_t* cr) {
  DrawStates(cr, Cells::kWheels, [&](const Box& cell, const ElementLook& look) {
    const Box housing = cell.Inset(1);
    Canvas::FillRoundedRect(cr, housing, 8, Canvas::Mix(P::kInset, P::kChassis, 0.3));
    Canvas::StrokeRoundedRect(cr, housing.Inset(0.5), 7.5, 1, Canvas::Fade(0xFF000000, 0.6));
    DrawWheel(cr, {housing.x + 9, housing.y + 8, 22, housing.height - 16}, look.light, true);
    DrawWheel(cr, {housing.Right() - 31, housing.y + 8, 22, housing.height - 16}, look.light, false);
    if (look.on) {
      Canvas::StrokeRoundedRect(cr, housing.Inset(1), 7, 2, look.ring);
    } else if (look.light > 0) {
      Canvas::StrokeRoundedRect(cr, housing.Inset(0.5), 7.5, 1, P::kBorderHover);
    }
  });
}

void DrawJacks(cairo_t* cr) {
  DrawStates(cr, Cells::kJack, [&](const Box& cell, const ElementLook& look) {
    const double cx = cell.CentreX();
    const double cy = cell.CentreY();
    if (look.on) {
      Canvas::StrokeCircle(cr, cx, cy, 14.5, 2, look.ring);
    }
    // A hexagonal nut around the socket.
    cairo_new_path(cr);
    for (int corner = 0; corner < 6; ++corner) {
      const double angle = corner * std::numbers::pi / 3 + std::numbers::pi / 6;
      cairo_line_to(cr, cx + std::cos(angle) * 12, cy + std::sin(angle) * 12);
    }
    cairo_close_path(cr);
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, cy - 12, 0, cy + 12);
    Canvas::AddColourStop(metal, 0, Lit(P::kMetal, look.light));
    Canvas::AddColourStop(metal, 1, Lit(P::kMetal, look.light - 0.45));
    cairo_set_source(cr, metal);
    cairo_fill(cr);
    cairo_pattern_destroy(metal);
    Canvas::FillCircle(cr, cx, cy, 7.5, Lit(0xFF5A606B, look.light));
    Canvas::FillCircle(cr, cx, cy, 4.5, P::kShadow);
  });
}

// Keys from a C: white keys of whiteWidth, black keys over the gaps after the first,
// second, fourth, fifth and sixth white key of each octave.
void DrawKeys(cairo_t* cr, const Box& area, int whiteKeys, double whiteWidth, double blackWidth, double blackHeight) {
  Canvas::FillRoundedRect(cr, area, 0, P::kShadow);
  for (int key = 0; key < whiteKeys; ++key) {
    const Box white{area.x + key * whiteWidth + 0.5, area.y, whiteWidth - 1, area.height - 0.5};
    cairo_pattern_t* face = cairo_pattern_create_linear(0, white.y, 0, white.Bottom());
    Canvas::AddColourStop(face, 0, Canvas::Mix(P::kWhiteKeyShade, 0xFF000000, 0.35));
    Canvas::AddColourStop(face, 0.06, P::kWhiteKey);
    Canvas::AddColourStop(face, 0.9, P::kWhiteKey);
    Canvas::AddColourStop(face, 1, P::kWhiteKeyShade);
    Canvas::RoundedRectPath(cr, white, std::min(whiteWidth * 0.12, 3.0));
    cairo_set_source(cr, face);
    cairo_fill(cr);
    cairo_pattern_destroy(face);
  }
  for (int key = 0; key + 1 < whiteKeys; ++key) {
    const int step = key % 7;
    if (step == 2 || step == 6) {
      continue;
    }
    const Box black{area.x + (key + 1) * whiteWidth - blackWidth / 2, area.y, blackWidth, blackHeight};
    Canvas::FillRoundedRectVertical(cr, black, blackWidth * 0.15, P::kBlackKey,
                                    Canvas::Mix(P::kBlackKey, 0xFFFFFFFF, 0.12));
    // The key's front face.
    Canvas::FillRoundedRect(cr,
                            {black.x + 1.5, black.Bottom() - blackHeight * 0.1, black.width - 3, blackHeight * 0.07}, 1,
                            Canvas::Mix(P::kBlackKey, 0xFFFFFFFF, 0.2));
  }
}

void DrawKeybed(cairo_t* cr, int keys) {
  const Rect area = Keybed::Area(keys);
  DrawKeys(cr, {0, 0, double(area.width), double(area.height)}, Keybed::WhiteKeys(keys), Keybed::WhiteKeyWidth(keys),
           Keybed::BlackKeyWidth(keys), Keybed::kBlackKeyHeight);
}

// The maker's mark: a ring, its upper right quarter in the accent, crossed by a tail.
void DrawMark(cairo_t* cr, double cx, double cy, double radius) {
  const double width = radius * 0.26;
  Canvas::StrokeCircle(cr, cx, cy, radius, width, P::kText);
  cairo_new_sub_path(cr);
  cairo_arc(cr, cx, cy, radius, -std::numbers::pi / 2, 0);
  Canvas::SetColour(cr, P::kAccent);
  cairo_set_line_width(cr, width);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_stroke(cr);
  cairo_move_to(cr, cx + radius * 0.35, cy + radius * 0.35);
  cairo_line_to(cr, cx + radius * 1.1, cy + radius * 1.1);
  Canvas::SetColour(cr, P::kText);
  cairo_stroke(cr);
}

void DrawLogo(cairo_t* cr) { DrawMark(cr, 12, 12, 9.5); }

// A plate per model in a cell of atlas: the mark and a keyboard whose length grows with
// the model. Drawn at the small plates' size, scaled to the atlas's.
void DrawPlates(cairo_t* cr, const CellAtlas& atlas) {
  const double zoom = double(atlas.width) / Cells::kPlates.width;
  const int miniKeys[] = {8, 12, 15};
  cairo_save(cr);
  cairo_scale(cr, zoom, zoom);
  for (int model = 0; model < atlas.count; ++model) {
    const Box cell = CellBox(Cells::kPlates, model);
    const Box plate = cell.Inset(1);
    Canvas::FillRoundedRectVertical(cr, plate, 6, Canvas::Mix(P::kChassis, 0xFF000000, 0.25),
                                    Canvas::Mix(P::kChassis, 0xFF000000, 0.45));
    Canvas::StrokeRoundedRect(cr, plate.Inset(0.5), 5.5, 1, Canvas::Fade(0xFFFFFFFF, 0.12));
    DrawMark(cr, plate.x + 17, plate.CentreY() - 1, 8);
    const double keyWidth = 6;
    const Box keys{plate.x + 36, plate.y + 9, miniKeys[model] * keyWidth, 16};
    DrawKeys(cr, keys, miniKeys[model], keyWidth, 3.6, 9.5);
    Canvas::FillRoundedRect(cr, {keys.x, keys.Bottom() + 3, keys.width, 2}, 1, P::kAccent);
  }
  cairo_restore(cr);
}

// The controller seen from above, small: the global page's picture (drawn on a 480 x 170
// grid, scaled to the image).
void DrawProduct(cairo_t* cr) {
  cairo_scale(cr, Pictures::kProduct.width / 480.0, Pictures::kProduct.width / 480.0);
  const Box body{2, 2, 476, 164};
  Canvas::FillRoundedRect(cr, {body.x, body.y + 3, body.width, body.height}, 14, Canvas::Fade(0xFF000000, 0.5));
  Canvas::FillRoundedRectVertical(cr, body, 14, Canvas::Mix(P::kChassis, 0xFFFFFFFF, 0.06),
                                  Canvas::Mix(P::kChassis, 0xFF000000, 0.12));
  Canvas::StrokeRoundedRect(cr, body.Inset(0.5), 13.5, 1, Canvas::Fade(0xFFFFFFFF, 0.1));
  // Wheels and keys along the front.
  for (int wheel = 0; wheel < 2; ++wheel) {
    Canvas::FillRoundedRect(cr, {16.0 + wheel * 18, 104, 12, 50}, 3, P::kKnobEdge);
  }
  DrawKeys(cr, {58, 102, 408, 56}, 36, 408.0 / 36, 7, 34);
  // Knobs, faders with their buttons, and the two banks of pads.
  for (int knob = 0; knob < 8; ++knob) {
    Canvas::FillCircleLit(cr, 78.0 + knob * 22, 22, 7, Canvas::Mix(P::kKnobBody, 0xFFFFFFFF, 0.2), P::kKnobBody);
  }
  for (int fader = 0; fader < 9; ++fader) {
    const double x = 73.0 + fader * 19.5;
    Canvas::FillRoundedRect(cr, {x - 1, 38, 2, 36}, 1, P::kShadow);
    Canvas::FillRoundedRect(cr, {x - 5, 52, 10, 5}, 1.5, P::kMetal);
    Canvas::FillRoundedRect(cr, {x - 6, 80, 12, 7}, 2, P::kRubber);
  }
  for (int pad = 0; pad < 16; ++pad) {
    const int bank = pad / 8;
    const double x = 270.0 + bank * 100 + (pad % 4) * 23;
    const double y = 18.0 + (pad % 8) / 4 * 34;
    Canvas::FillRoundedRect(cr, {x, y, 19, 19}, 3, pad == 0 ? P::kAccent : P::kRubber);
  }
  Canvas::FillCircle(cr, 30, 34, 6, P::kMetal);
  Canvas::FillCircle(cr, 30, 34, 3, P::kShadow);
}

void DrawFileDropper(cairo_t* cr) {
  // A page with its corner folded over.
  cairo_move_to(cr, 7.5, 3.5);
  cairo_line_to(cr, 19.5, 3.5);
  cairo_line_to(cr, 25.5, 9.5);
  cairo_line_to(cr, 25.5, 28.5);
  cairo_line_to(cr, 7.5, 28.5);
  cairo_close_path(cr);
  Canvas::SetColour(cr, 0xFFDDE2E9);
  cairo_fill_preserve(cr);
  Canvas::SetColour(cr, P::kTextSecondary);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_move_to(cr, 19.5, 3.5);
  cairo_line_to(cr, 19.5, 9.5);
  cairo_line_to(cr, 25.5, 9.5);
  cairo_stroke(cr);
  for (int line = 0; line < 4; ++line) {
    Canvas::SetColour(cr, line == 0 ? P::kAccent : Canvas::Fade(P::kTextDisabled, 0.8));
    cairo_rectangle(cr, 10, 13 + line * 3.5, line == 3 ? 8 : 12, 1.5);
    cairo_fill(cr);
  }
}

} // namespace

void AddControllerImages(std::vector<ImageSpec>& images) {
  images.push_back({Frames::kChassis.image, Frames::kChassis.cell, Frames::kChassis.cell, DrawChassis});
  const CellAtlas* elements[] = {&Cells::kKnob, &Cells::kFader,  &Cells::kHardwareButton,
                                 &Cells::kPad,  &Cells::kWheels, &Cells::kJack};
  void (*const draws[])(cairo_t*) = {DrawKnobs, DrawFaders, DrawHardwareButtons, DrawPads, DrawWheels, DrawJacks};
  for (size_t i = 0; i < std::size(elements); ++i) {
    images.push_back({elements[i]->image, elements[i]->Width(), elements[i]->height, draws[i]});
  }
  for (const int keys : kModelKeys) {
    const Rect area = Keybed::Area(keys);
    images.push_back({Keybed::Image(keys), area.width, area.height, [keys](cairo_t* cr) { DrawKeybed(cr, keys); }});
  }
  for (const CellAtlas* plates : {&Cells::kPlates, &Cells::kLargePlates}) {
    images.push_back(
        {plates->image, plates->Width(), plates->height, [plates](cairo_t* cr) { DrawPlates(cr, *plates); }});
  }
  images.push_back({Pictures::kLogo.image, Pictures::kLogo.width, Pictures::kLogo.height, DrawLogo});
  images.push_back({Pictures::kProduct.image, Pictures::kProduct.width, Pictures::kProduct.height, DrawProduct});
  images.push_back(
      {Pictures::kFileDropper.image, Pictures::kFileDropper.width, Pictures::kFileDropper.height, DrawFileDropper});
}

} // namespace QZ::SkinArt
