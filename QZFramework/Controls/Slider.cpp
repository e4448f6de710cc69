#include "QZFramework/Controls/Slider.h"

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/ControlFactory.h"

namespace QZ {

LSlider::LSlider(const RCPtr<LControl>& parent, const WString& name) : LPanel(parent, name) {}

QZResult LSlider::Initialize() {
  if (Failed(LPanel::Initialize())) {
    return QZ_E_FAIL;
  }
  const RCPtr<LSlider> self(this);
  mThumbEnd = FindChildByName(u"thumbEnd");
  mThumbStart = FindChildByName(u"thumbStart");
  mThumb = FindChildByName(u"thumb");
  if (!mThumb && mThumbStart) {
    mThumb = CreateThumb();
  }
  PlaceThumb();
  (void)SetValueRange(0.0, 127.0, 0); // a linear range is always taken
  (void)SetDragThreshold(0);          // 0 is not negative
  return QZ_OK;
}

RCPtr<LControl> LSlider::CreateThumb() {
  IControlApplication* application = GetControlApplication();
  const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  const RCPtr<LControlDescriptor>& start = mThumbStart->GetControlDescriptor();
  if (!factory || !start) {
    return nullptr;
  }
  const RCPtr<LControlDescriptor> entry = start->CreateCopy(u"thumb");
  if (const RCPtr<LLayoutDescriptor>& layout = start->GetLayout()) {
    // Size and looks as thumbStart's; the position is where PlaceThumb writes it.
    const RCPtr<LLayoutDescriptor> free = layout->Clone();
    for (LayoutPosition& position : free->position) {
      position = LayoutPosition{0.0f, kPositionToClient, WString(), 0.0f, position.abs, false};
    }
    free->isVisible = true;
    entry->SetLayout(free);
  }
  return factory->CreateControl(RCPtr<LControl>(this), entry);
}

double LSlider::SetValueAndPlaceThumb(double value) {
  const RCPtr<LSlider> self(this);
  const double kept = LControl::SetValue(value);
  PlaceThumb();
  return kept;
}

void LSlider::PlaceThumb() {
  if (!mThumb || !mThumbStart || !mThumbEnd || !mThumb->GetLayoutDescriptor()) {
    return;
  }
  const RCPtr<LControl> thumb = mThumb;
  const PointT<int32_t> start = PointT<double>{mThumbStart->GetRect().x, mThumbStart->GetRect().y}.Round();
  const PointT<int32_t> end = PointT<double>{mThumbEnd->GetRect().x, mThumbEnd->GetRect().y}.Round();
  const PointT<int32_t> target{int32_t(start.x + RoundHalfAway(double(end.x - start.x) * mValue)),
                               int32_t(start.y + RoundHalfAway(double(end.y - start.y) * mValue))};
  if (target == PointT<double>{thumb->GetRect().x, thumb->GetRect().y}.Round()) {
    return;
  }
  const int32_t coordinates[2] = {target.x, target.y};
  for (int32_t axis = 0; axis < 2; ++axis) {
    LayoutPosition position;
    LayoutSize size;
    (void)thumb->GetLayoutDescriptor()->GetAxis(axis, position, size); // 0 for axes 0 and 1
    position.abs = coordinates[axis];
    (void)thumb->SetAxisPlacement(axis, position, size); // 1 when it reads back otherwise
  }
}

QZResult LSlider::OnLookChanged() {
  for (const RCPtr<LControl>& marker : {mThumbStart, mThumbEnd}) {
    if (marker) {
      (void)marker->SetVisible(false); // whether it is shown: it is not
    }
  }
  return LPanel::OnLookChanged();
}

} // namespace QZ
