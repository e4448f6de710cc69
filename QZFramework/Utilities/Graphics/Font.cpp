#include "QZFramework/Utilities/Graphics/Font.h"

#include <utility>

#include "QZFramework/Renderer/MeasurementRenderer.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"

namespace QZ {

namespace {

// Fonts in order of creation.
RCPtrArray<LFont>& Cache() {
  static RCPtrArray<LFont> cache;
  return cache;
}

LFont::MeasurementRendererSource& Source() {
  static LFont::MeasurementRendererSource source;
  return source;
}

bool SameFace(const WString& a, const WString& b) {
  return a.GetSharedBuffer() == b.GetSharedBuffer() || a.CompareNoCase(b) == 0;
}

// The newest cached font of the triple; -1 when there is none.
int32_t FindInCache(const WString& faceName, float size, int32_t style) {
  RCPtrArray<LFont>& cache = Cache();
  for (uint32_t i = cache.GetCount(); i-- > 0;) {
    const LFont& font = *cache.GetAt(i);
    if (font.GetSize() == size && font.GetStyle() == style && SameFace(font.GetFaceName(), faceName)) {
      return int32_t(i);
    }
  }
  return -1;
}

} // namespace

LFont::LFont(const WString& faceName, float size, int32_t style)
    : mFaceName(faceName), mSize(size), mStyle(style), mSerialId([] {
        static uint32_t lastSerialId = 0;
        return ++lastSerialId;
      }()) {}

void LFont::SetMeasurementRendererSource(MeasurementRendererSource source) { Source() = std::move(source); }

RCPtr<LMeasurementRenderer> LFont::GetMeasurementRenderer() { return Source() ? Source()() : nullptr; }

RCPtr<LFont> LFont::GetFont(const WString& faceName, float size, int32_t style) {
  const int32_t found = FindInCache(faceName, size, style);
  if (found >= 0) {
    return Cache().GetAt(uint32_t(found));
  }
  RCPtr<LFont> font(new LFont(faceName, size, style));
  Cache().AddItem(font);
  return font;
}

void LFont::Measure() const {
  if (mHeight >= 0) {
    return;
  }
  const RCPtr<LMeasurementRenderer> renderer = GetMeasurementRenderer();
  int32_t height = -1;
  int32_t ascent = 0;
  int32_t descent = 0;
  if (renderer && Succeeded(renderer->GetFontMetrics(*this, height, ascent, descent)) && height >= 0) {
    mHeight = height;
    mAscent = ascent;
    mDescent = descent;
  }
}

int32_t LFont::GetHeight() const {
  Measure();
  return mHeight < 0 ? 0 : mHeight;
}

int32_t LFont::GetAscent() const {
  Measure();
  return mAscent;
}

int32_t LFont::GetDescent() const {
  Measure();
  return mDescent;
}

QZResult LFont::ReleaseInternalReferences() {
  const int32_t found = FindInCache(mFaceName, mSize, mStyle);
  if (found < 0 || Cache().GetAt(uint32_t(found)) != this) {
    return QZ_E_FAIL;
  }
  Cache().RemoveItems(uint32_t(found), 1);
  return QZ_OK;
}

} // namespace QZ
