// The widgets' images: push-button, field, panel and thumb frames, glyphs and the switch.
#include "Resources/SkinArt/Atlases.h"
#include "Resources/SkinArt/Canvas.h"
#include "Resources/SkinArt/Images.h"
#include "Resources/SkinArt/Palette.h"

namespace QZ::SkinArt {

namespace {

using Canvas::Box;
namespace P = Palette;

struct FrameStyle {
  uint32_t fill;
  uint32_t border;
  // A one-pixel line under the top edge; 0 for none.
  uint32_t highlight = 0;
};

// One frame cell: a rounded rectangle filling the cell, bordered on its inside.
void DrawFrame(cairo_t* cr, const FrameAtlas& atlas, int index, double radius, const FrameStyle& style) {
  const Rect cell = atlas.Cell(index);
  const Box box{double(cell.x), double(cell.y), double(cell.width), double(cell.height)};
  Canvas::FillRoundedRect(cr, box, radius, style.fill);
  if (style.highlight != 0) {
    cairo_save(cr);
    Canvas::RoundedRectPath(cr, box.Inset(1), radius - 1);
    cairo_clip(cr);
    Canvas::SetColour(cr, style.highlight);
    cairo_rectangle(cr, box.x, box.y + 1, box.width, 1);
    cairo_fill(cr);
    cairo_restore(cr);
  }
  Canvas::StrokeRoundedRect(cr, box.Inset(0.5), radius - 0.5, 1, style.border);
}

void DrawButtons(cairo_t* cr) {
  const FrameAtlas& atlas = Frames::kButton;
  const uint32_t bevel = Canvas::Fade(0xFFFFFFFF, 0.06);
  const uint32_t accentBevel = Canvas::Fade(0xFFFFFFFF, 0.18);
  const FrameStyle rest{P::kControl, P::kBorder, bevel};
  const FrameStyle hover{P::kControlHover, P::kBorderHover, bevel};
  const FrameStyle pressed{P::kControlPressed, P::kBorder};
  const FrameStyle on{P::kAccent, P::kAccentPressed, accentBevel};
  const FrameStyle onHover{P::kAccentHover, P::kAccent, accentBevel};
  const FrameStyle onPressed{P::kAccentPressed, P::kAccentPressed};
  const struct {
    ButtonCell cell;
    FrameStyle style;
  } cells[] = {
      {ButtonCell::Normal, rest},
      {ButtonCell::Hover, hover},
      {ButtonCell::Pressed, pressed},
      {ButtonCell::Focus, {rest.fill, P::kAccent, bevel}},
      {ButtonCell::FocusHover, {hover.fill, P::kAccentHover, bevel}},
      {ButtonCell::FocusPressed, {pressed.fill, P::kAccent}},
      {ButtonCell::Disabled, {P::kDisabled, P::kDisabledBorder}},
      {ButtonCell::On, on},
      {ButtonCell::OnHover, onHover},
      {ButtonCell::OnPressed, onPressed},
      {ButtonCell::OnFocus, {on.fill, P::kAccentHover, accentBevel}},
      {ButtonCell::OnFocusHover, {onHover.fill, P::kText, accentBevel}},
      {ButtonCell::OnFocusPressed, {onPressed.fill, P::kAccentHover}},
      {ButtonCell::OnDisabled, {P::kAccentDim, P::kAccentDim}},
  };
  for (const auto& entry : cells) {
    DrawFrame(cr, atlas, int(entry.cell), 4, entry.style);
  }
}

void DrawFields(cairo_t* cr) {
  const struct {
    FieldCell cell;
    FrameStyle style;
  } cells[] = {
      {FieldCell::Normal, {P::kInset, P::kBorder}},
      {FieldCell::Hover, {P::kInset, P::kBorderHover}},
      {FieldCell::Focus, {P::kInset, P::kAccent}},
      {FieldCell::FocusHover, {P::kInset, P::kAccentHover}},
      {FieldCell::Open, {P::kControl, P::kAccent}},
      {FieldCell::OpenHover, {P::kControlHover, P::kAccentHover}},
      {FieldCell::Disabled, {P::kDisabled, P::kDisabledBorder}},
  };
  for (const auto& entry : cells) {
    DrawFrame(cr, Frames::kField, int(entry.cell), 3, entry.style);
  }
}

void DrawPanels(cairo_t* cr) {
  const FrameAtlas& atlas = Frames::kPanel;
  DrawFrame(cr, atlas, int(PanelCell::Card), 8,
            {P::kRaised, Canvas::Mix(P::kBorder, P::kRaised, 0.45), Canvas::Fade(0xFFFFFFFF, 0.05)});
  DrawFrame(cr, atlas, int(PanelCell::Popup), 5, {P::kRaised, P::kBorder, Canvas::Fade(0xFFFFFFFF, 0.05)});
  DrawFrame(cr, atlas, int(PanelCell::ToolTip), 5, {0xFF2F343D, P::kBorderHover});

  // The well: recessed, its shadow along the top, a faint light on its lower edge.
  const Rect cell = atlas.Cell(int(PanelCell::Well));
  const Box box{double(cell.x), double(cell.y), double(cell.width), double(cell.height)};
  constexpr double kRadius = 7;
  Canvas::FillRoundedRect(cr, box, kRadius, Canvas::Fade(0xFFFFFFFF, 0.07));
  Canvas::FillRoundedRect(cr, {box.x, box.y, box.width, box.height - 1}, kRadius, P::kShadow);
  Canvas::FillRoundedRect(cr, {box.x + 1, box.y + 2, box.width - 2, box.height - 3}, kRadius - 1,
                          Canvas::Mix(P::kInset, P::kChassis, 0.25));
}

void DrawThumbs(cairo_t* cr) {
  const uint32_t fills[] = {P::kBorder, P::kBorderHover, 0xFF7B8595, P::kDisabledBorder};
  for (int i = 0; i < int(ThumbCell::Count); ++i) {
    const Rect cell = Frames::kThumb.Cell(i);
    Canvas::FillRoundedRect(cr, Box{double(cell.x), double(cell.y), double(cell.width), double(cell.height)}.Inset(2),
                            4, fills[i]);
  }
}

// A ring along the cell's edge, sharp on its outside and fading inwards, with nothing in
// the middle: it is drawn over the control's own picture.
void DrawFocusRings(cairo_t* cr) {
  const uint32_t colours[] = {P::kAccent, P::kText};
  for (int i = 0; i < int(FocusCell::Count); ++i) {
    const Rect cell = Frames::kFocus.Cell(i);
    const Box box{double(cell.x), double(cell.y), double(cell.width), double(cell.height)};
    Canvas::StrokeRoundedRect(cr, box.Inset(0.5), 4.5, 1, colours[i]);
    Canvas::StrokeRoundedRect(cr, box.Inset(1.5), 3.5, 1, Canvas::Fade(colours[i], 0.35));
  }
}

void DrawGlyphs(cairo_t* cr) {
  const CellAtlas& atlas = Cells::kGlyphs;
  const auto centre = [&](Glyph glyph) {
    const Rect cell = atlas.Cell(int(glyph));
    return Box{double(cell.x), double(cell.y), double(cell.width), double(cell.height)};
  };
  using Canvas::Direction;
  const struct {
    Glyph glyph;
    Direction direction;
    uint32_t colour;
  } chevrons[] = {
      {Glyph::Down, Direction::Down, P::kTextSecondary},
      {Glyph::DownDisabled, Direction::Down, P::kTextDisabled},
      {Glyph::Up, Direction::Up, P::kTextSecondary},
      {Glyph::UpDisabled, Direction::Up, P::kTextDisabled},
      {Glyph::Left, Direction::Left, P::kTextSecondary},
      {Glyph::LeftDisabled, Direction::Left, P::kTextDisabled},
      {Glyph::Right, Direction::Right, P::kTextSecondary},
      {Glyph::RightDisabled, Direction::Right, P::kTextDisabled},
      {Glyph::RightOnAccent, Direction::Right, P::kTextOnAccent},
  };
  for (const auto& chevron : chevrons) {
    const Box box = centre(chevron.glyph);
    Canvas::Chevron(cr, box.CentreX(), box.CentreY(), 7, chevron.direction, 1.5, chevron.colour);
  }
  const Box checked = centre(Glyph::BoxChecked).Inset(1);
  Canvas::FillRoundedRect(cr, checked, 3, P::kAccent);
  Canvas::CheckMark(cr, checked.Inset(1), 1.6, P::kTextOnAccent);

  const Box onAccent = centre(Glyph::BoxCheckedOnAccent).Inset(1.5);
  Canvas::StrokeRoundedRect(cr, onAccent, 2.5, 1, P::kTextOnAccent);
  Canvas::CheckMark(cr, onAccent.Inset(0.5), 1.6, P::kTextOnAccent);
}

void DrawSwitches(cairo_t* cr) {
  const struct {
    SwitchCell cell;
    uint32_t track;
    uint32_t border;
    uint32_t thumb;
    bool on;
  } cells[] = {
      {SwitchCell::Off, P::kInset, P::kBorder, P::kTextSecondary, false},
      {SwitchCell::OffHover, P::kInset, P::kBorderHover, P::kText, false},
      {SwitchCell::OffPressed, P::kControlPressed, P::kBorder, P::kTextSecondary, false},
      {SwitchCell::On, P::kAccent, P::kAccent, P::kTextOnAccent, true},
      {SwitchCell::OnHover, P::kAccentHover, P::kAccentHover, P::kTextOnAccent, true},
      {SwitchCell::OnPressed, P::kAccentPressed, P::kAccentPressed, P::kText, true},
      {SwitchCell::OffDisabled, P::kDisabled, P::kDisabledBorder, P::kTextDisabled, false},
      {SwitchCell::OnDisabled, P::kAccentDim, P::kAccentDim, P::kTextDisabled, true},
  };
  const CellAtlas& atlas = Cells::kSwitch;
  for (const auto& entry : cells) {
    const Rect cell = atlas.Cell(int(entry.cell));
    const Box track = Box{double(cell.x), double(cell.y), double(cell.width), double(cell.height)}.Inset(1);
    Canvas::FillRoundedRect(cr, track, track.height / 2, entry.track);
    Canvas::StrokeRoundedRect(cr, track.Inset(0.5), track.height / 2, 1, entry.border);
    const double radius = track.height / 2 - 3;
    const double cx = entry.on ? track.Right() - 3 - radius : track.x + 3 + radius;
    Canvas::FillCircle(cr, cx, track.CentreY(), radius, entry.thumb);
  }
}

} // namespace

void AddWidgetImages(std::vector<ImageSpec>& images) {
  images.push_back({Frames::kButton.image, Frames::kButton.Width(), Frames::kButton.cell, DrawButtons});
  images.push_back({Frames::kField.image, Frames::kField.Width(), Frames::kField.cell, DrawFields});
  images.push_back({Frames::kPanel.image, Frames::kPanel.Width(), Frames::kPanel.cell, DrawPanels});
  images.push_back({Frames::kThumb.image, Frames::kThumb.Width(), Frames::kThumb.cell, DrawThumbs});
  images.push_back({Frames::kFocus.image, Frames::kFocus.Width(), Frames::kFocus.cell, DrawFocusRings});
  images.push_back({Cells::kGlyphs.image, Cells::kGlyphs.Width(), Cells::kGlyphs.height, DrawGlyphs});
  images.push_back({Cells::kSwitch.image, Cells::kSwitch.Width(), Cells::kSwitch.height, DrawSwitches});
}

} // namespace QZ::SkinArt
