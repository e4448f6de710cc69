#include "QZFramework/Controls/Scrollbar.h"

#include <algorithm>
#include <cmath>

#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/KeyCode.h"
#include "QZFramework/Controls/ApplicationClock.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

// Pressed keys without modifiers.
constexpr uint32_t kUpPressed = 0x20260000;
constexpr uint32_t kDownPressed = 0x20280000;
constexpr uint32_t kLeftPressed = 0x20250000;
constexpr uint32_t kRightPressed = 0x20270000;
constexpr uint32_t kPageUpPressed = 0x20210000;
constexpr uint32_t kPageDownPressed = 0x20220000;
constexpr uint32_t kHomePressed = 0x20240000;
namespace Win = Platform::Window;

double AxisOf(const RectT<double>& rect, int32_t axis) { return axis == 0 ? rect.x : rect.y; }
double ExtentOf(const RectT<double>& rect, int32_t axis) { return axis == 0 ? rect.width : rect.height; }

} // namespace

LScrollbar::LScrollbar(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {
  LControl::SetValueRange(0.0, 100.0, 0);
}

// =============================================================================================
// Value and range
// =============================================================================================

double LScrollbar::SetValue(double value) {
  if (mDragging) {
    mDeferredValue = value;
    return GetValue();
  }
  const RCPtr<LControl> self(this);
  const double stored = LControl::SetValue(std::clamp(value, 0.0, 1.0));
  PositionThumb();
  return stored;
}

QZResult LScrollbar::SetValueRange(double minimum, double maximum, int32_t scale) {
  const double units = NormalizedToValue(GetValue());
  const QZResult stored = LControl::SetValueRange(minimum, maximum, scale);
  SetValue(ValueToNormalized(units));
  return stored;
}

// =============================================================================================
// Geometry of the thumb
// =============================================================================================

QZResult LScrollbar::UpdateClientArea() {
  if (mThumb && mChannel) {
    const RectT<double> track = mChannel->GetLookRect(-1);
    mChannelStart = 0.0;
    mChannelEnd = ExtentOf(track, Axis());
    UpdateThumbLength();
  }
  return LControl::UpdateClientArea();
}

void LScrollbar::UpdateThumbLength() {
  if (!mThumb) {
    return;
  }
  mThumbLength = std::floor(std::max(mMinimumThumbLength, (mChannelEnd - mChannelStart) * mThumbRatio) + 0.5);
  SizeThumbTo(mThumbLength);
  PositionThumb();
}

void LScrollbar::PositionThumb() {
  if (!mThumb || mDragging) {
    return;
  }
  const double position =
      double(RoundHalfAway((mChannelEnd - mChannelStart - mThumbLength) * GetValue() + mChannelStart));
  if (position != AxisOf(mThumb->GetRect(), Axis())) {
    PlaceThumbAt(position);
  }
}

void LScrollbar::PlaceThumbAt(double position) {
  const RCPtr<LLayoutDescriptor>& layout = mThumb->GetLayoutDescriptor();
  if (!layout) {
    return;
  }
  LayoutPosition place;
  LayoutSize size;
  layout->GetAxis(Axis(), place, size);
  // Measured from the channel's client origin, by its near edge.
  place.kind = kPositionToClient;
  place.rel = 0.0f;
  place.anchor = 0.0f;
  place.abs = position;
  mThumb->SetAxisPlacement(Axis(), place, size);
}

void LScrollbar::SizeThumbTo(double length) {
  const RCPtr<LLayoutDescriptor>& layout = mThumb->GetLayoutDescriptor();
  if (!layout) {
    return;
  }
  LayoutPosition place;
  LayoutSize size;
  layout->GetAxis(Axis(), place, size);
  const double pixels = double(RoundHalfAway(length));
  if (size.kind == kSizeToSelf && size.abs == pixels) {
    return;
  }
  size.kind = kSizeToSelf;
  size.rel = 0.0f;
  size.abs = pixels;
  mThumb->SetAxisPlacement(Axis(), place, size);
}

int32_t LScrollbar::RegionAt(double position) const {
  if (!mThumb) {
    return kRegionNone;
  }
  const double thumb = AxisOf(mThumb->GetRect(), Axis());
  if (mChannelStart <= position && position <= thumb) {
    return kRegionBefore;
  }
  if (thumb + mThumbLength <= position && position <= mChannelEnd) {
    return kRegionAfter;
  }
  return kRegionNone;
}

bool LScrollbar::PointerInChannel(double& position) const {
  if (!mChannel) {
    return false;
  }
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  if (!window) {
    position = mPressPosition;
    return true;
  }
  const PointT<int32_t> pointer = window->GetMousePosition();
  const PointT<int32_t> origin = mChannel->GetWindowPosition().Round();
  const RectT<double> track = mChannel->GetLookRect(-1);
  position = Axis() == 0 ? double(pointer.x) - origin.x - track.x : double(pointer.y) - origin.y - track.y;
  return true;
}

// =============================================================================================
// Channel paging
// =============================================================================================

void LScrollbar::UpdateChannelLook() {
  if (!mChannel || !mThumb) {
    return;
  }
  double pointer = 0.0;
  const bool hits = mPressedRegion != kRegionNone && PointerInChannel(pointer) && RegionAt(pointer) == mPressedRegion;
  const bool hasPressedLook = mChannel->GetLooks().GetCount() > 1;
  if (!hits || !hasPressedLook) {
    if (hasPressedLook) {
      mChannel->ClearLookRegion(1);
    }
    mChannel->ShowLook(0);
    return;
  }
  // The stretch between the thumb and the channel's end on the pressed side, across the
  // whole channel, in the channel's own coordinates.
  const RectT<double> track = mChannel->GetLookRect(-1);
  const double thumb = AxisOf(mThumb->GetRect(), Axis());
  const double from = mPressedRegion == kRegionBefore ? mChannelStart : thumb + mThumbLength;
  const double to = mPressedRegion == kRegionBefore ? thumb : mChannelEnd;
  const RectT<double>& channel = mChannel->GetRect();
  const RectT<double> stretch = Axis() == 0 ? RectT<double>{track.x + from, 0.0, to - from, channel.height}
                                            : RectT<double>{0.0, track.y + from, channel.width, to - from};
  mChannel->SetLookRegion(1, RectListT<int32_t>(stretch)); // the channel has looks
  mChannel->SetLookWeight(0, 1.0f, false);                 // look 0 under it
  mChannel->SetLookWeight(1, 1.0f, false);
}

void LScrollbar::StepPage() { SetValue(GetValue() + (mPressedRegion == kRegionBefore ? -mPageStep : mPageStep)); }

QZResult LScrollbar::OnChannelPress(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  const RCPtr<LConditionsParam> param = notification->GetParameterAs<LConditionsParam>();
  if (!param || !mChannel) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const uint32_t changed = param->GetChanged();
  const uint32_t now = param->GetCurrent();
  if ((changed & kConditionLeftDown) && (now & kConditionLeftDown)) {
    // The press point is kept in the channel's parent's coordinates.
    const RectT<double>& channel = mChannel->GetRect();
    const RectT<double> track = mChannel->GetLookRect(-1);
    mPressPosition =
        Axis() == 0 ? param->GetPoint().x - channel.x - track.x : param->GetPoint().y - channel.y - track.y;
    mPressedRegion = RegionAt(mPressPosition);
    if (mPressedRegion != kRegionNone) {
      StepPage();
      mPageLastTime = Widgets::Now();
      mPageTimeLeft = mPageFirstDelay;
      AddIdleRequest(); // outside a window it is counted for later
    }
  } else if ((changed & kConditionCapture) && !(now & kConditionCapture) && mPressedRegion != kRegionNone) {
    mPressedRegion = kRegionNone;
    ReleaseIdleRequest();
    UpdateChannelLook(); // look 0 alone
  }
  if (mPressedRegion != kRegionNone) {
    UpdateChannelLook();
  }
  return QZ_FALSE;
}

QZResult LScrollbar::OnChannelHover(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  const RCPtr<LConditionsParam> param = notification->GetParameterAs<LConditionsParam>();
  if (param && (param->GetChanged() & kConditionHover) && (param->GetCurrent() & kConditionHover)) {
    // Time spent outside does not count.
    mPageLastTime = Widgets::Now();
  }
  return QZ_FALSE;
}

QZResult LScrollbar::OnTick() {
  double pointer = 0.0;
  if (mPressedRegion == kRegionNone || !mChannel || !mChannel->IsMouseOver() || !PointerInChannel(pointer) ||
      RegionAt(pointer) != mPressedRegion) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  const double now = Widgets::Now();
  mPageTimeLeft -= now - mPageLastTime;
  mPageLastTime = now;
  if (Widgets::IsDue(mPageTimeLeft)) {
    mPageTimeLeft = mPageRepeatInterval;
    StepPage();
    UpdateChannelLook();
  }
  return QZ_OK;
}

// =============================================================================================
// Thumb dragging and arrows
// =============================================================================================

QZResult LScrollbar::OnThumbDrag(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  const RCPtr<LConditionsParam> param = notification->GetParameterAs<LConditionsParam>();
  if (!param || !mThumb || !(param->GetChanged() & kConditionLeftDrag)) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  if (param->GetCurrent() & kConditionLeftDrag) {
    mDragging = true;
    // The press point is kept in the channel's client coordinates, as the thumb's place.
    const RectT<double>& thumb = mThumb->GetRect();
    mGrabOffset = PointT<double>{param->GetPoint().x - thumb.x, param->GetPoint().y - thumb.y}.Round();
    mDeferredValue = -1.0;
  } else if (mDragging) {
    mDragging = false;
    const double deferred = mDeferredValue;
    mDeferredValue = -1.0;
    if (mApplyDeferredValue && deferred >= 0.0 && deferred <= 1.0) {
      SetValue(deferred);
    }
  }
  return QZ_FALSE;
}

QZResult LScrollbar::OnThumbMove(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  const RCPtr<LPointWithModifiersParam> param = notification->GetParameterAs<LPointWithModifiersParam>();
  if (!param || !mDragging || !mThumb) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const int32_t axis = Axis();
  const double current = AxisOf(mThumb->GetRect(), axis);
  // The move's point lies in the thumb's coordinates.
  const double pointer = current + (axis == 0 ? param->GetPoint().x : param->GetPoint().y);
  double position = pointer - (axis == 0 ? mGrabOffset.x : mGrabOffset.y);
  position = std::max(std::min(position, mChannelEnd - mThumbLength), mChannelStart);
  if (position != current) {
    PlaceThumbAt(position);
    // A thumb that fills the channel has no travel: its value is the start.
    const double travel = mChannelEnd - mChannelStart - mThumbLength;
    const double value = travel > 0.0 ? (position - mChannelStart) / travel : 0.0;
    LControl::SetValue(std::clamp(value, 0.0, 1.0));
  }
  return QZ_FALSE;
}

QZResult LScrollbar::OnArrowRepeat(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>&) {
  const RCPtr<LControl> source = DynamicCast<LControl>(distributor);
  if (!source) {
    return QZ_FALSE;
  }
  const WString name = source->GetName();
  if (name == u"dec") {
    SetValue(GetValue() - mLineStep);
  } else if (name == u"inc") {
    SetValue(GetValue() + mLineStep);
  }
  return QZ_FALSE;
}

// =============================================================================================
// Keys
// =============================================================================================

QZResult LScrollbar::SetKeyMask(uint32_t mask) {
  mKeyMask = mask & 0xFF;
  if (mKeyMask != 0 && !mKeysSubscribed && GetParent()) {
    mKeysSubscribed = Succeeded(EnsureHandlerTable().AddHandler(
        &LScrollbar::OnSiblingKeyOffer, RCPtr<LNotificationDistributor>(GetParent()), u"NID_SIBLING_KEY"));
  }
  return (mask & ~0xFFu) != 0 ? QZ_E_INVALIDARG : QZ_OK;
}

QZResult LScrollbar::OnSiblingKeyOffer(const RCPtr<LNotificationDistributor>&,
                                       const RCPtr<LNotification>& notification) {
  const RCPtr<LSiblingKeyParam> offer = notification->GetParameterAs<LSiblingKeyParam>();
  if (!offer || !IsShown(true)) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  const KeyCode& key = offer->GetKey();
  const bool vertical = mVertical;
  auto wants = [&](uint32_t bit, bool orientationFits) { return orientationFits && (mKeyMask & bit) != 0; };
  double target = -1.0;
  if (key.code == kUpPressed && wants(kKeyUp, vertical)) {
    target = GetValue() - mLineStep;
  } else if (key.code == kDownPressed && wants(kKeyDown, vertical)) {
    target = GetValue() + mLineStep;
  } else if (key.code == kLeftPressed && wants(kKeyLeft, !vertical)) {
    target = GetValue() - mLineStep;
  } else if (key.code == kRightPressed && wants(kKeyRight, !vertical)) {
    target = GetValue() + mLineStep;
  } else if (key.code == kPageUpPressed && wants(kKeyPageUp, vertical)) {
    target = GetValue() - mPageStep;
  } else if (key.code == kPageDownPressed && wants(kKeyPageDown, vertical)) {
    target = GetValue() + mPageStep;
  } else if (key.code == kHomePressed && wants(kKeyHome, true)) {
    target = 0.0;
  } else if (key == KeyCode(Win::VK_END, true, 0, 0) && wants(kKeyEnd, true)) {
    target = 1.0;
  } else {
    // Not the bar's: the control's own route (local hot keys) may still answer it.
    return QZ_OK;
  }
  offer->SetHandled(LSiblingKeyParam::kHandled);
  SetValue(target); // clamped, the value kept
  return QZ_FALSE;
}

// =============================================================================================
// Initialisation
// =============================================================================================

QZResult LScrollbar::Initialize() {
  if (Failed(LControl::Initialize())) {
    return QZ_E_FAIL;
  }
  mChannel = FindChildByName(u"channel");
  if (mChannel) {
    const RCPtr<LNotificationDistributor> channel(mChannel);
    EnsureHandlerTable().AddHandler(&LScrollbar::OnChannelPress, channel, u"NID_LEFT_DRAG_CONDITION_CHANGE");
    EnsureHandlerTable().AddHandler(&LScrollbar::OnChannelHover, channel, u"NID_HOVER_CONDITION_CHANGE");
    mThumb = mChannel->FindChildByName(u"thumb");
  }
  if (mThumb) {
    const RCPtr<LNotificationDistributor> thumb(mThumb);
    EnsureHandlerTable().AddHandler(&LScrollbar::OnThumbMove, thumb, u"NID_MOUSE_MOVE");
    EnsureHandlerTable().AddHandler(&LScrollbar::OnThumbDrag, thumb, u"NID_LEFT_DRAG_CONDITION_CHANGE");
    if (const RCPtr<LButton> button = DynamicCast<LButton>(mThumb)) {
      button->SetPressedOutside(true);
    }
  }
  mDec = DynamicCast<LButton>(FindChildByName(u"dec"));
  mInc = DynamicCast<LButton>(FindChildByName(u"inc"));
  for (const RCPtr<LButton>& arrow : {mDec, mInc}) {
    if (arrow) {
      EnsureHandlerTable().AddHandler(&LScrollbar::OnArrowRepeat, RCPtr<LNotificationDistributor>(arrow),
                                      u"NID_BUTTON_AUTOREPEAT");
      arrow->SetAutoRepeat(true);
      arrow->SetRepeatActive(false);
    }
  }
  if (mDec && mInc) {
    const RectT<double>& dec = mDec->GetRect();
    const RectT<double>& inc = mInc->GetRect();
    mVertical = inc.x - dec.x <= inc.y - dec.y;
  }
  UpdateClientArea();
  SetKeyMask(0xFF); // a mask of 8 bits
  return QZ_OK;
}

QZResult LScrollbar::OnLookChanged() {
  const RCPtr<LControl> self(this);
  SetFocusable(true);
  for (const RCPtr<LControl>& part : {RCPtr<LControl>(mDec), RCPtr<LControl>(mInc), mChannel, mThumb}) {
    if (part) {
      part->SetFocusable(true);
    }
  }
  if (mThumb) {
    mMinimumThumbLength = mVertical ? mThumb->GetRect().width : mThumb->GetRect().height;
  }
  UpdateClientArea();
  return LControl::OnLookChanged();
}

} // namespace QZ
