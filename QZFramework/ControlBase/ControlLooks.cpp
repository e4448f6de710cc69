// The look list of a control: which look is current, the looks' rectangles, regions and
// colours.

#include <algorithm>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/Look.h"

namespace QZ {

namespace {

// The first of count looks that exists with a weight above 0; -1 when none. Over the arrays'
// items directly: the hit tests, the invalidation walk and painting ask for the current look
// of each control they meet, several times a click.
int32_t FirstWeighted(const RCPtr<LLook>* looks, const float* weights, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    if (weights[i] > 0.0f && looks[i]) {
      return int32_t(i);
    }
  }
  return -1;
}

// FindLook's choice among looks and weights, inline in GetLookRect: the walks ask for a
// parent's client rectangle at each step.
[[gnu::always_inline]] inline LLook* ChooseLook(const RCPtrArray<LLook, 1, 0>& lookList,
                                                const ArrayBuffer<float, 1, 0, 1, 8, &GetSystemAllocator>& weightList,
                                                int32_t index) {
  const uint32_t count = lookList.GetCount();
  if (count == 0) {
    return nullptr;
  }
  // The first item's address rather than GetData, which the compiler leaves a virtual call.
  const RCPtr<LLook>* looks = &lookList.GetAt(0);
  if (index >= 0 && uint32_t(index) < count) {
    return looks[index].Get();
  }
  const uint32_t weighed = std::min(weightList.GetCount(), count);
  const int32_t current = weighed == 0 ? -1 : FirstWeighted(looks, weightList.GetData(), weighed);
  if (current >= 0) {
    return looks[current].Get();
  }
  for (uint32_t i = 0; i < count; ++i) {
    if (LLook* look = looks[i].Get()) {
      return look;
    }
  }
  return nullptr;
}

} // namespace

int32_t LControl::GetCurrentLookIndex() const {
  const uint32_t weighed = std::min(mLookWeights.GetCount(), mLooks.GetCount());
  return weighed == 0 ? -1 : FirstWeighted(&mLooks.GetAt(0), mLookWeights.GetData(), weighed);
}

LLook* LControl::FindLook(int32_t index) const { return ChooseLook(mLooks, mLookWeights, index); }

RCPtr<LLook> LControl::GetLook(int32_t index) const { return RCPtr<LLook>(FindLook(index)); }

RectT<double> LControl::GetLookRect(int32_t index) const {
  const LLook* look = ChooseLook(mLooks, mLookWeights, index);
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
