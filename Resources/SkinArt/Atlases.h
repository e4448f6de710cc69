#pragma once
// Where the skin finds each picture inside the images: the images are drawn to these
// geometries (Images*.cpp) and the skin document cuts its parts by them (SkinLooks.cpp).
// Every number is in 1x pixels; the 2x image of a name doubles each of them.
//
//   const Rect cell = Frames::kButton.Cell(int(ButtonCell::Hover));   // (16, 0, 16, 16)
//   const double key = Keybed::WhiteKeyWidth(61);                      // 27: 36 white keys

#include <cstdint>

namespace QZ::SkinArt {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// A row of square cells, each a frame cut in nine: corners of `slice` pixels that keep
// their size, edges stretched along the control's sides, the centre stretched both ways.
struct FrameAtlas {
  const char* image;
  int cell;
  int slice;
  int count;

  Rect Cell(int index) const { return {index * cell, 0, cell, cell}; }
  int Width() const { return cell * count; }
};

// A row of cells of one size, each shown whole (centred in the control).
struct CellAtlas {
  const char* image;
  int width;
  int height;
  int count;

  Rect Cell(int index) const { return {index * width, 0, width, height}; }
  int Width() const { return width * count; }
};

// Push buttons: the fourteen looks of a button, one cell each, in the button's look order.
enum class ButtonCell {
  Normal,
  Hover,
  Pressed,
  Focus,
  FocusHover,
  FocusPressed,
  Disabled,
  On,
  OnHover,
  OnPressed,
  OnFocus,
  OnFocusHover,
  OnFocusPressed,
  OnDisabled,
  Count
};

// Text fields and combo boxes.
enum class FieldCell { Normal, Hover, Focus, FocusHover, Open, OpenHover, Disabled, Count };

// Panels behind other controls.
enum class PanelCell {
  Card,    // the edit panel and the global page: raised
  Well,    // a group of the controller's elements: recessed
  Popup,   // menus and drop-down lists
  ToolTip, // the tool tip's bubble
  Count
};

// The focus ring drawn around a focused control that has no focused picture of its own:
// in the accent, or light around a selected control (which already shows the accent).
enum class FocusCell { Ring, RingOnSelection, Count };

// The scroll bar's thumb.
enum class ThumbCell { Normal, Hover, Pressed, Disabled, Count };

// Every element of the controller picture: the states its "button" shows.
enum class ElementCell { Normal, Hover, Pressed, On, OnHover, OnPressed, Disabled, Count };

// The latch toggle.
enum class SwitchCell { Off, OffHover, OffPressed, On, OnHover, OnPressed, OffDisabled, OnDisabled, Count };

// Small glyphs on buttons, fields and menu rows.
enum class Glyph {
  Down,
  DownDisabled,
  Up,
  UpDisabled,
  Left,
  LeftDisabled,
  Right,
  RightDisabled,
  RightOnAccent,      // a selected menu row's sub-menu arrow
  BoxChecked,         // a menu row's check mark
  BoxCheckedOnAccent, // the same on a selected row
  Count
};

// The message box's icons, in the order of the styles that show them (0x10 ... 0x40).
enum class MessageIcon { Error, Question, Warning, Information, Count };

namespace Frames {
inline constexpr FrameAtlas kButton{"button", 16, 6, int(ButtonCell::Count)};
inline constexpr FrameAtlas kField{"field", 16, 6, int(FieldCell::Count)};
inline constexpr FrameAtlas kPanel{"panel", 24, 10, int(PanelCell::Count)};
inline constexpr FrameAtlas kThumb{"thumb", 12, 5, int(ThumbCell::Count)};
inline constexpr FrameAtlas kChassis{"chassis", 64, 26, 1};
inline constexpr FrameAtlas kFocus{"focus", 12, 5, int(FocusCell::Count)};
} // namespace Frames

namespace Cells {
inline constexpr CellAtlas kKnob{"knob", 44, 44, int(ElementCell::Count)};
inline constexpr CellAtlas kFader{"fader", 32, 128, int(ElementCell::Count)};
inline constexpr CellAtlas kHardwareButton{"hwbutton", 40, 24, int(ElementCell::Count)};
inline constexpr CellAtlas kPad{"pad", 56, 56, int(ElementCell::Count)};
inline constexpr CellAtlas kWheels{"wheels", 76, 104, int(ElementCell::Count)};
inline constexpr CellAtlas kJack{"jack", 32, 32, int(ElementCell::Count)};
inline constexpr CellAtlas kSwitch{"switch", 36, 18, int(SwitchCell::Count)};
inline constexpr CellAtlas kGlyphs{"glyphs", 12, 12, int(Glyph::Count)};
// One name plate per keyboard model (25, 49, 61 keys), and the same twice as large.
inline constexpr CellAtlas kPlates{"plates", 132, 36, 3};
inline constexpr CellAtlas kLargePlates{"plateslarge", 264, 72, 3};
inline constexpr CellAtlas kMessageIcons{"messageicons", 32, 32, int(MessageIcon::Count)};
} // namespace Cells

// Single pictures.
namespace Pictures {
inline constexpr CellAtlas kLogo{"logo", 26, 26, 1};
inline constexpr CellAtlas kProduct{"product", 640, 226, 1};
inline constexpr CellAtlas kFileDropper{"filedropper", 32, 32, 1};
} // namespace Pictures

// The keybeds: one image per model, each as wide as the picture's keyboard button, so the
// button's hover and selection frame the keys whatever the model; fewer keys are wider.
namespace Keybed {
inline constexpr int kWidth = 972;
inline constexpr int kHeight = 108;
inline constexpr int kBlackKeyHeight = 66;
// 25, 49 or 61 keys, from a C to a C.
inline constexpr int WhiteKeys(int keys) { return (keys - 1) / 12 * 7 + 1; }
inline constexpr double WhiteKeyWidth(int keys) { return double(kWidth) / WhiteKeys(keys); }
inline constexpr double BlackKeyWidth(int keys) { return WhiteKeyWidth(keys) * 0.6; }
inline constexpr const char* Image(int keys) { return keys == 25 ? "keybed25" : keys == 49 ? "keybed49" : "keybed61"; }
inline constexpr SkinArt::Rect Area(int) { return {0, 0, kWidth, kHeight}; }
} // namespace Keybed

// The keyboard models in their index order (0, 1, 2).
inline constexpr int kModelKeys[] = {25, 49, 61};

} // namespace QZ::SkinArt
