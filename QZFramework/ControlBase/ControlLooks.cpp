// The look list of a control: which look is current, the looks' rectangles, regions and
// colours.

#include <algorithm>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/Look.h"

namespace QZ {

int32_t LControl::GetCurrentLookIndex() const {
  // GetLookWeight's answers, with the weights fetched once rather than once per look: hit
  // tests and painting ask for the current look several times a click.
  const uint32_t weighed = std::min(mLookWeights.GetCount(), mLooks.GetCount());
  const float* weights = mLookWeights.GetData();
  for (uint32_t i = 0; i < weighed; ++i) {
    if (weights[i] > 0.0f && mLooks.GetAt(i)) {
      return int32_t(i);
    }
  }
  return -1;
}

LLook* LControl::FindLook(int32_t index) const {
  if (index >= 0 && uint32_t(index) < mLooks.GetCount()) {
    return mLooks.GetAt(uint32_t(index)).Get();
  }
  const int32_t current = GetCurrentLookIndex();
  if (current >= 0) {
    return mLooks.GetAt(uint32_t(current)).Get();
  }
  for (uint32_t i = 0; i < mLooks.GetCount(); ++i) {
    if (LLook* look = mLooks.GetAt(i).Get()) {
      return look;
    }
  }
  return nullptr;
}

RCPtr<LLook> LControl::GetLook(int32_t index) const { return RCPtr<LLook>(FindLook(index)); }

RectT<double> LControl::GetLookRect(int32_t index) const {
  const LLook* look = FindLook(index);
  if (!look) {
    return {0.0, 0.0, mRect.width, mRect.height};
  }
  // Whole pixels of 32 bits: exact as doubles.
  return look->GetClientRect().ToDouble();
}

uint32_t LControl::GetColorAtPoint(const PointT<int32_t>& point, int32_t lookIndex) {
  const LLook* look = FindLook(lookIndex);
  return look ? look->GetColorAtPoint(point.ToDouble()) : 0xFFFFFFu;
}

void LControl::ClearLookRegions() {
  for (uint32_t i = 0; i < mLooks.GetCount(); ++i) {
    if (const RCPtr<LLook>& look = mLooks.GetAt(i)) {
      look->GetOwnRegion().Clear();
    }
  }
}

void LControl::ClearLookRegion(int32_t index) {
  if (const RCPtr<LLook> look = GetLook(index)) {
    look->GetOwnRegion().Clear();
  }
}

QZResult LControl::CombineLookRegions(int32_t a, int32_t b) {
  const RCPtr<LLook> target = GetLook(a);
  const RCPtr<LLook> cut = GetLook(b);
  if (!target || !cut) {
    return QZ_E_INVALIDARG;
  }
  RectListT<int32_t>& region = target->GetOwnRegion();
  region.Clear();
  region.AddRect(EdgeRect::FromRect({0.0, 0.0, mRect.width, mRect.height}));
  // A look combined with itself keeps nothing: subtract a copy.
  const RectListT<int32_t> subtracted = cut->GetOwnRegion();
  region.Subtract(subtracted);
  region.Normalize();
  // The control's own rectangle, carried into window coordinates on its way up.
  InvalidateChildRect({0.0, 0.0, mRect.width, mRect.height}, mLayout ? mLayout->clipToParent : true);
  return QZ_OK;
}

QZResult LControl::ShowLook(int32_t index) {
  return index < 0 ? QZResult(QZ_E_INVALIDARG) : SetLookWeight(uint32_t(index), 1.0f, true);
}

QZResult LControl::SetLooks(const RCPtrArray<LLook, 1, 0>& looks) {
  // The list is sized once and filled: it would grow a slot, and a reallocation, at a time.
  if (&looks != &mLooks) {
    mLooks.RemoveAll();
    mLooks.SetCount(looks.GetCount());
    for (uint32_t i = 0; i < looks.GetCount(); ++i) {
      mLooks.GetAt(i) = looks.GetAt(i);
    }
  }
  if (mLookWeights.GetCount() < mLooks.GetCount()) {
    // New entries are zero: the new looks are hidden.
    mLookWeights.SetCount(mLooks.GetCount());
  }
  return QZ_OK;
}

} // namespace QZ
