#include "QZFramework/Renderer/FontRenderer/FontRenderer.h"

#include <algorithm>

namespace QZ {

RectT<float> LFontRenderer::MeasureText(const WString& text, const LFont& font) {
  RenderGlyphRun(text, font, mMeasuring.Get(), 0, 0.0f, kGlyphRunMeasure);
  const GlyphBounds bounds = GetBounds();
  const float y = std::min(bounds.top, float(font.GetAscent()));
  const float bottom = std::max(float(font.GetDescent()), bounds.bottom);
  return {bounds.left, y, bounds.right + 1.0f - bounds.left, bottom - y};
}

GlyphBounds LFontRenderer::GetBounds() const { return mMeasuring ? mMeasuring->GetBounds() : GlyphBounds{}; }

} // namespace QZ
