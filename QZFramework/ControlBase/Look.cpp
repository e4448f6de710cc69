#include "QZFramework/ControlBase/Look.h"

#include <algorithm>
#include <cmath>

namespace QZ {

namespace {

int32_t Saturate(int64_t value) { return int32_t(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)); }

// value limited to 0..limit (0 when limit is negative).
int64_t ClampToExtent(int64_t value, int64_t limit) { return std::max<int64_t>(0, std::min(value, limit)); }

// Truncates toward zero, saturating at the 32-bit range (NaN gives 0).
int32_t TruncateToInt32(float value) {
  if (std::isnan(value)) {
    return 0;
  }
  return int32_t(std::clamp(std::trunc(double(value)), double(INT32_MIN), double(INT32_MAX)));
}

// Places one axis of a non-client part: offsets from the near and far edges where given,
// the part's length where one is missing, centred (halves truncated) without either.
void PlaceAxis(int64_t extent, bool hasNear, int32_t nearOffset, bool hasFar, int32_t farOffset, int32_t length,
               int32_t& position, int32_t& size) {
  int64_t nearEdge = hasNear ? nearOffset : 0;
  int64_t farEdge = hasFar ? extent + farOffset : extent;
  if (!hasNear && !hasFar) {
    nearEdge = (extent - length) / 2;
    farEdge = nearEdge + length;
  } else if (!hasNear) {
    nearEdge = farEdge - length;
  } else if (!hasFar) {
    farEdge = nearEdge + length;
  }
  position = Saturate(nearEdge);
  size = Saturate(farEdge - nearEdge);
}

bool Contains(const RectT<int32_t>& rect, const PointT<double>& point) {
  return point.x >= rect.x && point.y >= rect.y && point.x < double(rect.x) + rect.width &&
         point.y < double(rect.y) + rect.height;
}

} // namespace

RCPtr<LLook> LLook::Create(const RCPtr<LLookDescriptor>& descriptor, bool wrap) {
  RCPtr<LLook> look(new LLook);
  look->SetDescriptor(descriptor, wrap);
  return look;
}

QZResult LLook::SetDescriptor(const RCPtr<LLookDescriptor>& descriptor, bool wrap) {
  mDescriptor = descriptor;
  const RCPtr<LVisualPartDescriptor>& textPart = descriptor->GetTextPart();
  mTextForegroundPart = textPart ? RCPtr<LVisualPart>(textPart->CreateVisualPart()) : nullptr;
  if (!descriptor->HasTextProperties()) {
    mFontText = nullptr;
  } else {
    if (!mFontText) {
      mFontText = RCPtr<LFontText>(new LFontText);
    }
    mFontText->SetWrap(wrap);
    const TextProperties& text = descriptor->GetTextProperties();
    mFontText->SetAlignment(text.hAlign, text.vAlign);
  }
  const RCPtr<LDockedPart>& client = descriptor->GetClientPart();
  mClientPart = client ? client->GetVisualPart() : nullptr;
  // Emptied: rectangles and parts of another descriptor must not stay behind in a look
  // that is not rebuilt now. Sized again when first asked for (SizeNonClientEntries).
  mNonClientRects.clear();
  mNonClientRectsPlaced = true;
  mNonClientParts.clear();
  mNonClientPartsMade = descriptor->GetNonClientParts().GetCount() == 0;
  mNonClientPartsWanted = false;
  const SizeT<int32_t> kept = mSize;
  mSize = {};
  SetSize(kept);
  return QZ_OK;
}

bool LLook::SetSize(const SizeT<int32_t>& size) {
  if (size == mSize) {
    return true;
  }
  mSize = size;
  ComputeClientRect();
  mNonClientRectsPlaced = mDescriptor->GetNonClientParts().GetCount() == 0;
  mNonClientPartsWanted = !mNonClientPartsMade;
  ComputeTextBlock();
  return true;
}

void LLook::ComputeClientRect() {
  const int64_t width = mSize.width;
  const int64_t height = mSize.height;
  LDockedPart::Dock dock;
  if (const RCPtr<LDockedPart>& client = mDescriptor->GetClientPart()) {
    dock = client->GetDock();
  }
  const int64_t x = ClampToExtent(dock.offsetLeft, width);
  const int64_t y = ClampToExtent(dock.offsetTop, height);
  mClientRect = {int32_t(x), int32_t(y), int32_t(ClampToExtent(width + dock.offsetRight - x, width - x)),
                 int32_t(ClampToExtent(height + dock.offsetBottom - y, height - y))};
}

void LLook::SizeNonClientEntries() const {
  const size_t count = mDescriptor->GetNonClientParts().GetCount();
  if (mNonClientRects.size() != count) {
    mNonClientRects.assign(count, {});
    mNonClientParts.assign(count, nullptr);
  }
}

void LLook::MakeNonClientParts() const {
  SizeNonClientEntries();
  if (!mNonClientPartsWanted) {
    return;
  }
  mNonClientPartsWanted = false;
  const LLookDescriptor::DockedParts& entries = mDescriptor->GetNonClientParts();
  bool made = true;
  for (uint32_t i = 0; i < entries.GetCount(); ++i) {
    if (!mNonClientParts[i]) {
      mNonClientParts[i] = entries.GetAt(i)->GetVisualPart(); // the part stays what it is at every size
    }
    made = made && mNonClientParts[i];
  }
  mNonClientPartsMade = made;
}

void LLook::PlaceNonClientRects() const {
  SizeNonClientEntries();
  if (mNonClientRectsPlaced) {
    return;
  }
  mNonClientRectsPlaced = true;
  const LLookDescriptor::DockedParts& entries = mDescriptor->GetNonClientParts();
  for (uint32_t i = 0; i < entries.GetCount(); ++i) {
    const LDockedPart& entry = *entries.GetAt(i);
    const LDockedPart::Dock& dock = entry.GetDock();
    const SizeT<int32_t>& partSize = entry.GetPart()->GetSize();
    RectT<int32_t>& rect = mNonClientRects[i];
    PlaceAxis(mSize.width, dock.offsetFlags & LDockedPart::kOffsetLeft, dock.offsetLeft,
              dock.offsetFlags & LDockedPart::kOffsetRight, dock.offsetRight,
              dock.hasWidth ? dock.width : partSize.width, rect.x, rect.width);
    PlaceAxis(mSize.height, dock.offsetFlags & LDockedPart::kOffsetTop, dock.offsetTop,
              dock.offsetFlags & LDockedPart::kOffsetBottom, dock.offsetBottom,
              dock.hasHeight ? dock.height : partSize.height, rect.y, rect.height);
  }
}

void LLook::ComputeTextBlock() {
  if (!mFontText) {
    return;
  }
  const RectT<float> block = GetTextRect(mSize.width, mSize.height);
  mFontText->SetSize({RoundToInt32(block.width), RoundToInt32(block.height)});
  mTextOrigin = {TruncateToInt32(block.x), TruncateToInt32(block.y)};
}

RectT<float> LLook::GetTextRect(int32_t width, int32_t height) const {
  if (!mDescriptor->HasTextProperties()) {
    return {};
  }
  const TextProperties& text = mDescriptor->GetTextProperties();
  const float left = float(text.leftAbs) + text.leftRel * float(width);
  const float right = float(text.rightAbs) + text.rightRel * float(width);
  const float top = float(text.topAbs) + text.topRel * float(height);
  const float bottom = float(text.bottomAbs) + text.bottomRel * float(height);
  return {left, top, right - left, bottom - top};
}

RectT<int32_t> LLook::GetTextBlockRect() const {
  if (!mFontText) {
    return {};
  }
  return {mTextOrigin.x, mTextOrigin.y, mFontText->GetSize().width, mFontText->GetSize().height};
}

QZResult LLook::SetText(const WString& text) { return mFontText ? mFontText->SetText(text) : QZ_FALSE; }

QZResult LLook::SetFont(const RCPtr<LFont>& font) { return mFontText ? mFontText->SetFont(font) : QZ_FALSE; }

QZResult LLook::SetClientPart(const ConstRCPtr<LBitmap>& image, ResizeType resizeType, bool replacesClient) {
  if (!image) {
    if (!mOverlayPart) {
      return QZ_FALSE;
    }
    mOverlayPart = nullptr;
    return QZ_OK;
  }
  mOverlayPart = LVisualPart::Create(WString(), image, resizeType, nullptr, 1.0f, nullptr);
  mOverlayReplacesClient = replacesClient;
  return QZ_OK;
}

QZResult LLook::SetTextForegroundPart(const RCPtr<LVisualPart>& part) {
  if (!part) {
    return QZ_E_INVALIDARG;
  }
  mTextForegroundPart = part;
  return QZ_OK;
}

uint32_t LLook::GetColorAtPoint(const PointT<double>& point) const {
  if (!mOwnRegion.IsEmpty()) {
    const int32_t x = RoundToInt32(std::floor(point.x));
    const int32_t y = RoundToInt32(std::floor(point.y));
    if (!mOwnRegion.Intersects(EdgeRect{x, y, SaturatingAdd(x, 1), SaturatingAdd(y, 1)})) {
      return LVisualPart::kOutside;
    }
  }
  // From the top: non-client parts are drawn after the client parts.
  auto visibleColor = [&point](const RCPtr<LVisualPart>& part, const RectT<int32_t>& rect, uint32_t& color) {
    if (!part || !Contains(rect, point)) {
      return false;
    }
    color = part->GetColorAtPoint(PointT<float>{float(point.x - rect.x), float(point.y - rect.y)},
                                  SizeT<float>{float(rect.width), float(rect.height)});
    return (color >> 24) != 0;
  };
  uint32_t color = LVisualPart::kOutside;
  // As drawn: a look without non-client parts (most) need not size or place them.
  if (mDescriptor->GetNonClientParts().GetCount() != 0) {
    MakeNonClientParts();
    PlaceNonClientRects();
    for (size_t i = mNonClientParts.size(); i-- > 0;) {
      if (visibleColor(mNonClientParts[i], mNonClientRects[i], color)) {
        return color;
      }
    }
  }
  if (visibleColor(mOverlayPart, mClientRect, color)) {
    return color;
  }
  if (!(mOverlayPart && mOverlayReplacesClient) && visibleColor(mClientPart, mClientRect, color)) {
    return color;
  }
  return LVisualPart::kOutside;
}

} // namespace QZ
