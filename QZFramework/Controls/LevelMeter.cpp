#include "QZFramework/Controls/LevelMeter.h"

#include "QZFramework/ControlBase/LayoutDescriptor.h"

namespace QZ {
namespace {

double AxisOf(const PointT<double>& point, int32_t axis) { return axis == 0 ? point.x : point.y; }

// Gives part the extent on axis as a "Self" size, keeping its position.
void SetExtent(LControl& part, int32_t axis, double extent) {
  const RCPtr<LLayoutDescriptor>& layout = part.GetLayoutDescriptor();
  if (!layout) {
    return;
  }
  LayoutPosition position;
  LayoutSize size;
  layout->GetAxis(axis, position, size);
  size.kind = kSizeToSelf;
  size.abs = extent;
  part.SetAxisPlacement(axis, position, size);
}

// Moves part to offset on axis from its reference, keeping its size.
void SetOffset(LControl& part, int32_t axis, double offset) {
  const RCPtr<LLayoutDescriptor>& layout = part.GetLayoutDescriptor();
  if (!layout) {
    return;
  }
  LayoutPosition position;
  LayoutSize size;
  layout->GetAxis(axis, position, size);
  position.abs = offset;
  part.SetAxisPlacement(axis, position, size);
}

} // namespace

LLevelMeter::LLevelMeter(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

LLevelMeter::~LLevelMeter() = default;

QZResult LLevelMeter::Initialize() {
  const QZResult result = LControl::Initialize();
  if (Failed(result)) {
    return result;
  }
  EnsureHandlerTable();
  mPeakMarker = FindChildByName(u"peakLo");
  if (mPeakMarker) {
    mPeakMarker->SetUseParentToolTip(true);
  }
  mActiveOverlay = FindChildByName(u"activeOverlay");
  if (mActiveOverlay) {
    mActiveOverlay->SetUseParentToolTip(true);
  }
  mClipLight = FindChildByName(u"clipButton");
  return result;
}

QZResult LLevelMeter::OnLookChanged() {
  const RCPtr<LControl> self(this);
  mVertical = GetRect().height > GetRect().width ? 1 : 0;
  if (const RCPtr<LControl> marker = mPeakMarker) {
    marker->SetVisible(false);
    marker->SetFocusable(true);
    mPeakLow = {marker->GetRect().x, marker->GetRect().y};
    if (const RCPtr<LControl> far = FindChildByName(u"peakHi")) {
      far->SetVisible(false);
      far->SetFocusable(true);
      mPeakHigh = {far->GetRect().x, far->GetRect().y};
    } else {
      // Without the far end the marker has no travel.
      mPeakMarker = nullptr;
    }
  }
  if (const RCPtr<LControl> overlay = mActiveOverlay) {
    overlay->SetVisible(false);
    overlay->SetFocusable(true);
  }
  if (const RCPtr<LControl> light = mClipLight) {
    light->SetFocusable(true);
  }
  SetFocusable(true);
  OnValueChanged();
  return QZ_OK;
}

QZResult LLevelMeter::OnValueChanged() {
  if (!mUpdating) {
    UpdateLevelParts(GetValue(), 0.0, mMode);
  }
  return QZ_OK;
}

QZResult LLevelMeter::SetLevels(double level, double peak) { return UpdateLevelParts(level, peak, mMode); }

QZResult LLevelMeter::UpdateLevelParts(double level, double peak, int32_t mode) {
  // The parts' layout and the value's listeners may let the meter go.
  const RCPtr<LControl> self(this);
  if (const RCPtr<LControl> light = mClipLight) {
    if (mode != mMode) {
      light->SetValue(1.0);
    } else if (!mClipLatching) {
      light->SetValue(0.0);
    }
  }

  mMode = mode;
  mUpdating = true;
  SetValue(level);
  mUpdating = false;

  const int32_t axis = Axis();
  if (const RCPtr<LControl> overlay = mActiveOverlay) {
    const double t = mVertical ? 1.0 - level : level;
    const double extent = double(RoundHalfAway((mVertical ? GetRect().height : GetRect().width) * t));
    if (extent < 1.0) {
      overlay->SetVisible(false);
    } else {
      overlay->SetVisible(true);
      SetExtent(*overlay, axis, extent);
    }
  }

  if (const RCPtr<LControl> marker = mPeakMarker) {
    const double offset = double(RoundHalfAway((AxisOf(mPeakHigh, axis) - AxisOf(mPeakLow, axis)) * peak));
    if (offset == 0.0) {
      marker->SetVisible(false);
    } else {
      marker->SetVisible(true);
      SetOffset(*marker, axis, offset);
    }
  }
  return QZ_OK;
}

QZResult LLevelMeter::AttachClipButton(bool latching) {
  const RCPtr<LControl> light = mClipLight;
  if (!light) {
    return QZ_E_FAIL;
  }
  light->SetValue(0.0);
  if (latching == mClipLatching) {
    return QZ_OK;
  }
  const RCPtr<LNotificationDistributor> source(light);
  if (latching) {
    const QZResult subscribed =
        EnsureHandlerTable().AddHandler(&LLevelMeter::OnClipLightClick, source, u"NID_LEFT_CLICK");
    if (Failed(subscribed)) {
      return subscribed;
    }
  } else {
    LNotificationHandler<LLevelMeter>::Method method = nullptr;
    uintptr_t data = 0;
    EnsureHandlerTable().RemoveHandler(source, u"NID_LEFT_CLICK", method, data); // the route was there
  }
  mClipLatching = latching;
  return QZ_OK;
}

bool LLevelMeter::IsClipLit() { return mClipLight && mClipLight->GetValue() >= 0.5; }

int32_t LLevelMeter::GetMode() { return mMode; }

int32_t LLevelMeter::SetMode(int32_t mode) {
  mMode = mode;
  return mMode;
}

QZResult LLevelMeter::OnClipLightClick(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  const RCPtr<LControl> self(this);
  if (const RCPtr<LControl> light = mClipLight; light && light->GetValue() >= 0.5) {
    light->SetValue(0.0);
    Announce(u"NID_CLIPLIGHT_UNLATCHED");
  }
  return QZ_FALSE;
}

} // namespace QZ
