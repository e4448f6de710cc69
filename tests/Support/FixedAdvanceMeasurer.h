#pragma once
// A measurement renderer for text-layout tests: every UTF-16 unit advances 7 pixels and
// a line is 16 pixels high, whatever the font. A settable x offset starts each measured
// box right of 0 (as real renderers do), and the calls are counted.
//
//   QZTest::ScopedFixedAdvanceMeasurer measuring;      // the fonts measure through it
//   QZ::RCPtr<QZ::LFont> font = QZTest::FixedAdvanceFont();
//   font->GetHeight();                                   // 16
//   measuring->MeasureText(*font, QZ::WString(u"abc"));  // {0, -12, 21, 16}
//   measuring->measureCalls;                             // 1
//
// Fonts keep the metrics they measured first, so tests measure with FixedAdvanceFont(), a
// face no other measurer sees. Main thread, like the fonts.

#include <cstdint>
#include <utility>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Renderer/MeasurementRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZTest {

class FixedAdvanceMeasurer : public QZ::LMeasurementRenderer {
public:
  static constexpr float kAdvance = 7.0f;
  static constexpr int32_t kLineHeight = 16;
  static constexpr int32_t kAscent = -12;
  static constexpr int32_t kDescent = 4;

  // x of every box of a non-empty text; it is part of the text's width once folded.
  float xOffset = 0.0f;
  // MeasureText calls so far.
  int measureCalls = 0;

  QZ::QZResult GetFontMetrics(const QZ::LFont&, int32_t& height, int32_t& ascent, int32_t& descent) override {
    height = kLineHeight;
    ascent = kAscent;
    descent = kDescent;
    return QZ::QZ_OK;
  }
  // {xOffset, ascent, units x 7, 16}; all zero for an empty text.
  QZ::RectT<float> MeasureText(const QZ::LFont&, const QZ::WString& text) override {
    ++measureCalls;
    if (text.IsEmpty()) {
      return {};
    }
    return {xOffset, float(kAscent), float(text.GetLength()) * kAdvance, float(kLineHeight)};
  }
};

// Installs a FixedAdvanceMeasurer as the fonts' measurement renderer for its lifetime.
class ScopedFixedAdvanceMeasurer {
public:
  ScopedFixedAdvanceMeasurer() {
    QZ::LFont::SetMeasurementRendererSource(
        [measurer = mMeasurer] { return QZ::RCPtr<QZ::LMeasurementRenderer>(measurer); });
  }
  ~ScopedFixedAdvanceMeasurer() { QZ::LFont::SetMeasurementRendererSource({}); }
  ScopedFixedAdvanceMeasurer(const ScopedFixedAdvanceMeasurer&) = delete;
  ScopedFixedAdvanceMeasurer& operator=(const ScopedFixedAdvanceMeasurer&) = delete;

  FixedAdvanceMeasurer* operator->() const { return mMeasurer.Get(); }
  FixedAdvanceMeasurer& operator*() const { return *mMeasurer; }

private:
  QZ::RCPtr<FixedAdvanceMeasurer> mMeasurer{new FixedAdvanceMeasurer};
};

// The font that layout tests measure with.
inline QZ::RCPtr<QZ::LFont> FixedAdvanceFont() {
  return QZ::LFont::GetFont(QZ::WString(u"QZTest Fixed Advance"), 10.0f, QZ::LFont::kRegular);
}

} // namespace QZTest
