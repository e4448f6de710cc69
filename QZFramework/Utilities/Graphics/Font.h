#pragma once
// QZ::LFont: a shared, immutable description of a face, a size and a style, with its
// vertical metrics measured once, on first use.
//
//   QZ::RCPtr<QZ::LFont> label = QZ::LFont::GetFont(u"Tahoma", 8.0f, QZ::LFont::kRegular);
//   int32_t lineHeight = label->GetHeight();        // measured by the measurement renderer
//
// Every request for one (face name, size, style) gets the one shared object, so that
// renderers can key what they build by the font (GetUniqueID). Face names compare
// without regard to case; sizes must be equal floats. The process-wide font cache keeps
// every font it made until the process ends (its references are ordinary ones).
//
// Metrics come from the measurement renderer that the installed source gives at the
// time of the first query (the application installs one at start-up). Without one the
// metrics stay unmeasured and read as 0 until a later query can measure them.
//
// Fonts and their cache belong to the main thread: nothing is locked.

#include <cstdint>
#include <functional>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LMeasurementRenderer;

class LFont : public virtual LRefCountedObject {
public:
  // Styles: bit 0 bold, bit 1 italic.
  static constexpr int32_t kRegular = 0;
  static constexpr int32_t kBold = 1;
  static constexpr int32_t kItalic = 2;
  static constexpr int32_t kBoldItalic = 3;

  // Gives the renderer fonts measure through; the source may give null (nothing to
  // measure with yet). An empty source uninstalls it.
  using MeasurementRendererSource = std::function<RCPtr<LMeasurementRenderer>()>;
  static void SetMeasurementRendererSource(MeasurementRendererSource source);
  // What the installed source gives now; null without a source (or from it). Whoever
  // measures text for layout measures through it.
  static RCPtr<LMeasurementRenderer> GetMeasurementRenderer();

  // The cached font of (faceName, size, style), the newest match first; a new font
  // (unmeasured, next serial id) appended to the cache when there is none.
  static RCPtr<LFont> GetFont(const WString& faceName, float size, int32_t style);

  // Line height in pixels; measures first when not yet measured. 0 while it cannot be
  // measured (no measurement renderer, or the renderer fails).
  int32_t GetHeight() const;
  // Baseline to top, negative (above the baseline); measures first like GetHeight.
  int32_t GetAscent() const;
  // Baseline to bottom, positive; measures first like GetHeight.
  int32_t GetDescent() const;

  const WString& GetFaceName() const { return mFaceName; }
  // Points.
  float GetSize() const { return mSize; }
  int32_t GetStyle() const { return mStyle; }
  // Serial number, 1 for the first font made; what renderers key their caches by.
  uint32_t GetUniqueID() const { return mSerialId; }

  // Removes this font from the cache: 0, or QZ_E_FAIL when it is not there.
  QZResult ReleaseInternalReferences() override;

private:
  LFont(const WString& faceName, float size, int32_t style);

  // Measures when the height is still unknown.
  void Measure() const;

  WString mFaceName;
  float mSize;
  int32_t mStyle;
  mutable int32_t mHeight = -1; // -1 until measured
  mutable int32_t mAscent = 0;
  mutable int32_t mDescent = 0;
  uint32_t mSerialId;
};

} // namespace QZ
