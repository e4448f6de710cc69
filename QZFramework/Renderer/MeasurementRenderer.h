#pragma once
// QZ::LMeasurementRenderer: what fonts and text layout ask of a renderer: the metrics of
// a font and the extent of a text. Every renderer is one; the application keeps one for
// measuring outside painting.

#include <cstdint>

#include "QZFramework/ObjectBase/RefCountedObject.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"
#include "QZFramework/Utilities/Storage/StringFwd.h"

namespace QZ {

class LFont;

class LMeasurementRenderer : public virtual LRefCountedObject {
public:
  // Line height, ascent (negative: above the baseline) and descent of font, in whole
  // pixels. Main thread. Returns 0, or a failure code with the outputs unchanged.
  virtual QZResult GetFontMetrics(const LFont& font, int32_t& height, int32_t& ascent, int32_t& descent) = 0;
  // The box of text drawn in font: {x, ascent, width, height}; all zero for empty text.
  // Main thread.
  virtual RectT<float> MeasureText(const LFont& font, const WString& text) = 0;
};

} // namespace QZ
