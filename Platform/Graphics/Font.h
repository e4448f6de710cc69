#pragma once
// QZ::Platform::Graphics::FontFamily and QZ::Platform::Graphics::Font: installed type faces found through fontconfig.
//
//   auto family = Platform::Graphics::FontFamily::FromName(u"Arial");          // "Liberation Sans" here
//   if (!family) family = Platform::Graphics::FontFamily::GenericSansSerif();
//   auto font = Platform::Graphics::Font::Create(*family, 8.0f, Platform::Graphics::FontStyle::Bold,
//   Platform::Graphics::FontUnit::Point);
//
// Family names compare without regard to case or blanks ("TAHOMA" is "Tahoma"). A family
// is found when fontconfig answers with the family itself or with one its configuration
// declares equivalent (a metric-compatible alias); when it would only fall back to its
// default families the name is not found, and callers fall back to GenericSansSerif().
// A family lacking a style is emboldened or slanted synthetically.
//
// Metrics are in the face's design units (font units) as FreeType reads them:
// EmHeight = units per em, CellAscent = ascender, CellDescent = -descender,
// LineSpacing = ascender - descender + line gap.
//
// Handles are cheap to copy; the faces behind them live as long as the program. Main
// thread only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Graphics/GraphicsTypes.h"

namespace QZ::Platform::Graphics {

namespace detail {
class FamilyRecord;
class FaceRecord;
} // namespace detail

class FontFamily {
public:
  // nullopt with FontFamilyNotFound when no installed family answers to the name.
  static std::optional<FontFamily> FromName(std::u16string_view name, Status* status = nullptr);
  // fontconfig's sans-serif family; nullopt (FontFamilyNotFound) only without any font.
  static std::optional<FontFamily> GenericSansSerif(Status* status = nullptr);
  // Starts looking the name up beside the caller, on a thread of its own, for a FromName of
  // it to come (which then waits for the answer if need be; the answer is FromName's own).
  // Nothing for a name looked up, or being looked up, already.
  static void Prefetch(std::u16string_view name);

  // The family's own name, as fontconfig gives it (UTF-8).
  const std::string& Name() const;

  // Design metrics of the family's face for a style; 0 when the style's face cannot be
  // loaded.
  uint16_t EmHeight(FontStyle style) const;
  uint16_t CellAscent(FontStyle style) const;
  uint16_t CellDescent(FontStyle style) const;
  uint16_t LineSpacing(FontStyle style) const;

private:
  friend class Font;
  explicit FontFamily(std::shared_ptr<detail::FamilyRecord> record) : mRecord(std::move(record)) {}

  std::shared_ptr<detail::FamilyRecord> mRecord;
};

class Font {
public:
  // InvalidParameter for a size that is not a positive finite number; GenericError when
  // the family's face for the style cannot be loaded.
  static std::optional<Font> Create(const FontFamily& family, float emSize, FontStyle style, FontUnit unit,
                                    Status* status = nullptr);

  const FontFamily& Family() const { return mFamily; }
  float Size() const { return mSize; }
  FontStyle Style() const { return mStyle; }
  FontUnit Unit() const { return mUnit; }

  // The em size in pixels at `dpi` dots per inch (a pixel-unit font ignores the dpi).
  float EmPixels(float dpi) const;
  // The line spacing in pixels at `dpi`: LineSpacing x EmPixels(dpi) / EmHeight.
  float GetHeight(float dpi) const;

  // The face behind the font (for the drawing code).
  detail::FaceRecord& Face() const { return *mFace; }

private:
  Font(FontFamily family, float size, FontStyle style, FontUnit unit, detail::FaceRecord* face)
      : mFamily(std::move(family)), mSize(size), mStyle(style), mUnit(unit), mFace(face) {}

  FontFamily mFamily;
  float mSize;
  FontStyle mStyle;
  FontUnit mUnit;
  detail::FaceRecord* mFace; // owned by the family's record
};

} // namespace QZ::Platform::Graphics
