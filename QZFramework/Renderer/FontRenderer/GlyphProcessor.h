#pragma once
// QZ::LGlyphProcessor: what a font renderer hands the glyphs of a text run to, one by
// one: it may supply a glyph's metrics from a cache of its own (ProcessGlyph), and then
// draws, caches or measures the glyph (DrawGlyphs).
//
//   processor->BeginFont(font, QZ::kGlyphCollectBounds | QZ::kGlyphDraw);
//   for each character:   needs = processor->ProcessGlyph(glyph);
//                         ... load what `needs` asks for ...
//                         processor->DrawGlyphs(glyph);
//   processor->EndFont();
//
// Coordinates are pixels with y growing downwards; the pen is relative to the run's
// origin, advances are in 1/64 pixel. Main thread only.

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Graphics/PixelBuffer.h"

namespace QZ {

class LFont;

// BeginFont flags.
inline constexpr uint32_t kGlyphCollectBounds = 0x2; // GetBounds grows with each glyph
inline constexpr uint32_t kGlyphUploadEach = 0x4;    // upload new glyph pixels at once
inline constexpr uint32_t kGlyphDraw = 0x8;          // draw each glyph

// What ProcessGlyph asks the font renderer to load (bits); 0: nothing, the processor
// filled the glyph's metrics.
inline constexpr uint16_t kGlyphNeedsMetrics = 0x1;
inline constexpr uint16_t kGlyphNeedsBox = 0x2;
inline constexpr uint16_t kGlyphNeedsBitmap = 0x4;
inline constexpr uint16_t kGlyphNeedsAll = kGlyphNeedsMetrics | kGlyphNeedsBox | kGlyphNeedsBitmap;

// A glyph's pixel box relative to the pen on the baseline, y down: top = -(highest
// row), bottom = -(lowest row).
struct GlyphBox {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;

  int32_t Width() const { return right - left; }
  int32_t Height() const { return bottom - top; }
};

struct GlyphMetrics {
  uint32_t glyphIndex = 0; // in the face; 0: the face has no glyph for the character
  GlyphBox box;
  int32_t advanceX = 0; // 1/64 pixel
  int32_t advanceY = 0; // 1/64 pixel, positive upwards
};

// One glyph of a run.
struct GlyphRecord {
  // The index of the text unit after the last glyph handled (the run's start value
  // before the first).
  uint32_t charactersHandled = 0;
  // The character's code point (a surrogate pair counts as one character).
  uint32_t code = 0;
  float penX = 0.0f;
  float penY = 0.0f;
  GlyphMetrics metrics;
  // Coverage, 0 to 255 per pixel, the box's size; null unless the bitmap was loaded.
  RCPtr<LPixelBuffer<uint8_t>> bitmap;
};

// Left, top, right and bottom edges.
struct GlyphBounds {
  float left = 0.0f;
  float top = 0.0f;
  float right = 0.0f;
  float bottom = 0.0f;
};

class LGlyphProcessor : public virtual LRefCountedObject {
public:
  // A glyph the processor keeps, by character code. id 0: not cached yet.
  struct SCachedGlyph {
    long id = 0;
    GlyphMetrics metrics;
    uint16_t atlasX = 0; // where its pixels lie in the processor's atlas
    uint16_t atlasY = 0;

    static long GetUniqueID(const SCachedGlyph& glyph) { return glyph.id; }
  };

  // Starts a run in font with the given flags; the bounds restart at {0, 0, 0, 0}.
  virtual void BeginFont(const LFont& font, uint32_t flags) = 0;
  virtual void EndFont() = 0;
  // What the font renderer must load for the glyph (kGlyphNeeds... bits); 0 when the
  // processor wrote the glyph's metrics from its cache.
  virtual uint16_t ProcessGlyph(GlyphRecord& glyph) = 0;
  // Takes the loaded glyph at its pen position.
  virtual void DrawGlyphs(const GlyphRecord& glyph) = 0;
  // The bounds collected since BeginFont.
  virtual GlyphBounds GetBounds() const = 0;
};

} // namespace QZ
