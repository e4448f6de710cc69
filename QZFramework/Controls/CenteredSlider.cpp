#include "QZFramework/Controls/CenteredSlider.h"

namespace QZ {

LCenteredSlider::LCenteredSlider(const RCPtr<LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LCenteredSlider::Initialize() {
  if (Failed(LSlider::Initialize())) {
    return QZ_E_FAIL;
  }
  const RCPtr<LCenteredSlider> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  mLowRangeBounds = FindChildByName(u"lowRangeBounds");
  mHighRangeBounds = FindChildByName(u"highRangeBounds");
  for (const RCPtr<LControl>& range : {mLowRangeBounds, mHighRangeBounds}) {
    if (range) {
      range->SetExcludedFromHitTest(true);
      if (const RCPtr<LControl> fill = range->FindChildByName(u"fill")) {
        fill->SetExcludedFromHitTest(true);
      }
    }
  }
  if (mThumb) {
    // Refused only for a name that cannot be interned.
    GetHandlerTable()->AddHandler(&LCenteredSlider::OnThumbMouseMove, RCPtr<LNotificationDistributor>(mThumb),
                                  u"NID_MOUSE_MOVE");
  }
  SetBoundsPosFromThumbPos();
  return QZ_OK;
}

double LCenteredSlider::SetValueAndPlaceThumb(double value) {
  const RCPtr<LCenteredSlider> self(this);
  const double kept = LSlider::SetValueAndPlaceThumb(value);
  SetBoundsPosFromThumbPos();
  return kept;
}

void LCenteredSlider::SetBoundsPosFromThumbPos() {
  if (!mThumb) {
    Throw<std::runtime_error>({"QZ::LCenteredSlider::SetBoundsPosFromThumbPos", R"(Controls\CenteredSlider)", 67},
                              "Null Pointer : Thumb Child was not created.");
  }
  const RCPtr<LLayoutDescriptor>& thumb = mThumb->GetLayoutDescriptor();
  if (!thumb || !mThumbStart || !mThumbEnd) {
    return;
  }
  const RCPtr<LCenteredSlider> self(this);
  const bool travels[2] = {mThumbStart->GetRect().y == mThumbEnd->GetRect().y,
                           mThumbStart->GetRect().x == mThumbEnd->GetRect().x};
  for (int32_t axis = 0; axis < 2; ++axis) {
    if (!travels[axis]) {
      continue;
    }
    const double centre = thumb->position[axis].abs + thumb->size[axis].abs * 0.5;
    for (const RCPtr<LControl>& range : {mLowRangeBounds, mHighRangeBounds}) {
      const RCPtr<LLayoutDescriptor>& layout = range ? range->GetLayoutDescriptor() : nullptr;
      if (!layout) {
        continue;
      }
      LayoutPosition position;
      LayoutSize size;
      layout->GetAxis(axis, position, size);
      position.abs = centre;
      range->SetAxisPlacement(axis, position, size);
    }
  }
}

QZResult LCenteredSlider::OnThumbMouseMove(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  SetBoundsPosFromThumbPos();
  return QZ_OK;
}

} // namespace QZ
