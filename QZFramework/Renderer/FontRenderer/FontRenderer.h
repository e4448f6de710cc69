#pragma once
// QZ::LFontRenderer: turns a text in a font into a run of glyphs handed one by one to a
// glyph processor (QZ::LGlyphProcessor), which draws, caches or measures them; text is
// measured by running it through the measuring processor.
//
//   QZ::RCPtr<QZ::LFontRenderer> text(new QZ::LFreetypeFontRenderer(glyphs, glyphs));
//   text->RenderGlyphRun(u"Preset 1", *font, glyphs.Get(), 0, 0, 0xF);   // draw
//   QZ::RectT<float> box = text->MeasureText(u"Preset 1", *font);
//
// Main thread only.

#include <cstdint>

#include "QZFramework/Renderer/FontRenderer/GlyphProcessor.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"

namespace QZ {

// RenderGlyphRun's mode for measuring: no upload, no drawing.
inline constexpr uint32_t kGlyphRunMeasure = 0x3;

class LFontRenderer : public virtual LRefCountedObject {
public:
  // Either processor may be null: then nothing is drawn or measured with it.
  LFontRenderer(const RCPtr<LGlyphProcessor>& drawing, const RCPtr<LGlyphProcessor>& measuring)
      : mDrawing(drawing), mMeasuring(measuring) {}

  // {x, y, width, height} of the text: the measuring processor's bounds, reaching up to
  // the font's ascent and down to its descent at least.
  virtual RectT<float> MeasureText(const WString& text, const LFont& font);
  // Line height, ascent (negative) and descent of the font in whole pixels: 0, or
  // QZ_E_FAIL when the font's face cannot be had (outputs unchanged). Throws what
  // looking the font's file up throws.
  virtual QZResult GetFontMetrics(const LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) = 0;
  // Hands the glyphs of text to processor (BeginFont(font, mode) ... EndFont()).
  // start is the first value of the glyphs' characters-handled count; a positive limit
  // ends the run before the first glyph whose right edge lies beyond it.
  virtual void RenderGlyphRun(const WString& text, const LFont& font, LGlyphProcessor* processor, uint32_t start,
                              float limit, uint32_t mode) = 0;
  // The measuring processor's bounds; all zero without one.
  virtual GlyphBounds GetBounds() const;

  const RCPtr<LGlyphProcessor>& GetDrawingProcessor() const { return mDrawing; }

private:
  RCPtr<LGlyphProcessor> mDrawing;
  RCPtr<LGlyphProcessor> mMeasuring;
};

} // namespace QZ
