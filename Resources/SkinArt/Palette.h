#pragma once
// The editor's one palette, as packed ARGB words: the images are drawn with it and the
// skin's colorizers are written from it, so that a colour part beside an image never
// differs from it.
//
//   cairo_set_source(cr, Palette::kAccent);          // through Canvas.h's SetColour
//   Colorizer{"Colour.Accent", Palette::kAccent};    // in the skin document
//
// Dark body and panels, one accent for selection and focus, light text, dimmed disabled
// states.

#include <cstdint>

namespace QZ::SkinArt::Palette {

// Surfaces, darkest first.
inline constexpr uint32_t kWindow = 0xFF131519;  // behind everything
inline constexpr uint32_t kInset = 0xFF17191E;   // recessed areas: slots, group wells, fields
inline constexpr uint32_t kSurface = 0xFF1C1F25; // menu bar, header band, dialogs
inline constexpr uint32_t kRaised = 0xFF23262D;  // cards: the edit panel, pop-ups
inline constexpr uint32_t kChassis = 0xFF2A2E36; // the controller's body
inline constexpr uint32_t kControl = 0xFF2F343D; // buttons and fields at rest
inline constexpr uint32_t kControlHover = 0xFF3A404B;
inline constexpr uint32_t kControlPressed = 0xFF262A31;
inline constexpr uint32_t kBorder = 0xFF444B58;
inline constexpr uint32_t kBorderHover = 0xFF5A6373;
inline constexpr uint32_t kHighlight = 0xFF3C424D; // top bevel of raised surfaces
inline constexpr uint32_t kShadow = 0xFF0C0D10;    // under raised surfaces

// The accent: selection and focus only.
inline constexpr uint32_t kAccent = 0xFF3D9BFF;
inline constexpr uint32_t kAccentHover = 0xFF63B0FF;
inline constexpr uint32_t kAccentPressed = 0xFF2C7FD8;
inline constexpr uint32_t kAccentDim = 0xFF1E3A5C; // a selected row or element's tint

// The message box's warnings: an error in red, a warning in amber (a question and an
// information show the accent).
inline constexpr uint32_t kError = 0xFFE5484D;
inline constexpr uint32_t kWarning = 0xFFF2A93B;

// Text.
inline constexpr uint32_t kText = 0xFFE8EBF0;
inline constexpr uint32_t kTextSecondary = 0xFF9AA3B2;
inline constexpr uint32_t kTextDisabled = 0xFF59606C;
inline constexpr uint32_t kTextOnAccent = 0xFFFFFFFF;

// Disabled surfaces.
inline constexpr uint32_t kDisabled = 0xFF22252B;
inline constexpr uint32_t kDisabledBorder = 0xFF30343C;

// The controller's materials.
inline constexpr uint32_t kKnobBody = 0xFF32363F;
inline constexpr uint32_t kKnobEdge = 0xFF15171B;
inline constexpr uint32_t kMetal = 0xFFC9CED6;
inline constexpr uint32_t kRubber = 0xFF353A44;
inline constexpr uint32_t kWhiteKey = 0xFFD8DCE2;
inline constexpr uint32_t kWhiteKeyShade = 0xFFB4BAC4;
inline constexpr uint32_t kBlackKey = 0xFF14161A;

// Fully transparent: the client part of looks whose pictures are all around it.
inline constexpr uint32_t kNone = 0x00000000;

} // namespace QZ::SkinArt::Palette
