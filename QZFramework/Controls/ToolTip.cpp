#include "QZFramework/Controls/ToolTip.h"

#include <algorithm>

#include "QZFramework/ControlBase/ControlApplication.h"

namespace QZ {
namespace {

// When a visible tip was last dismissed; shared by every tip (UI thread).
uint32_t gLastVisibleDismissal = 0;

uint32_t Now() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetTickCountMs() : 0;
}

} // namespace

LToolTip::LToolTip(const RCPtr<LControl>& parent, const WString& name) : LControl(parent, name) {}

uint32_t LToolTip::GetLastVisibleDismissal() { return gLastVisibleDismissal; }

void LToolTip::ResetLastVisibleDismissal() { gLastVisibleDismissal = 0; }

void LToolTip::Popup() {
  const RCPtr<LControl> self(this);
  if (const RCPtr<IRootWindow> window = GetRootWindowRef(); window && GetLayoutDescriptor()) {
    LayoutLimit minimum;
    LayoutLimit maximum;
    GetLayoutDescriptor()->GetAxisLimits(0, minimum, maximum);
    maximum.toControl = false;
    maximum.name = WString();
    // A window narrower than the margin leaves no room rather than a negative width.
    maximum.abs = std::max(0.0, double(window->GetClientRect().width) - kWidthMargin);
    SetAxisSizeLimits(0, minimum, maximum);
  }
  const bool wasHidden = mState == kHidden;
  mStateTime = Now();
  mState = mStateTime - gLastVisibleDismissal < kChainingWindowMs ? kShown : kWaiting;
  if (mState == kShown) {
    Show();
  }
  if (wasHidden) {
    AddIdleRequest(); // a tip outside a window gets its ticks once it is in one
  }
}

void LToolTip::Dismiss() {
  const RCPtr<LControl> self(this);
  if (mState != kHidden) {
    mState = kHidden;
    ReleaseIdleRequest(); // a failed unsubscription leaves nothing to undo
  }
  if (IsShown(false)) {
    gLastVisibleDismissal = Now();
  }
  if (GetParent()) {
    GetParent()->RemoveChildDeferred(self); // this is its child
  }
}

QZResult LToolTip::OnTick() {
  const uint32_t now = Now();
  if (mState == kWaiting && now - mStateTime > kShowDelayMs) {
    mState = kShown;
    mStateTime = now;
    Show();
  } else if (mState == kShown && now - mStateTime > kDisplayTimeMs) {
    Dismiss();
  }
  return QZ_OK;
}

void LToolTip::Show() {
  const RCPtr<LControl> self(this);
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    const PointT<int32_t> pointer = window->GetMousePosition();
    const RectT<int32_t> client = window->GetClientRect();
    PlaceAxis(0, pointer.x, client.width);
    PlaceAxis(1, double(pointer.y) + kPointerOffsetY, client.height);
  }
  SetVisible(true);
}

void LToolTip::PlaceAxis(int32_t axis, double pointer, double clientSize) {
  if (!GetLayoutDescriptor()) {
    return;
  }
  const double size = axis == 0 ? GetRect().width : GetRect().height;
  double place = pointer + size > clientSize ? clientSize - size : pointer;
  place = std::max(place, 0.0);
  if (GetParent()) {
    place -= GetParent()->GetWindowPosition().Axis(axis) - GetParent()->GetScrollOffset().Axis(axis);
  }
  LayoutPosition position;
  LayoutSize extent;
  GetLayoutDescriptor()->GetAxis(axis, position, extent);
  position.kind = kPositionToParent;
  position.name = WString();
  position.rel = 0.0f;
  position.abs = place;
  SetAxisPlacement(axis, position, extent);
}

bool LToolTip::IsTransparentAtPoint(const PointT<int32_t>&) { return false; }

QZResult LToolTip::ApplyCreateParams() {
  SetFocusable(true);
  return QZ_OK;
}

QZResult LToolTip::OnLookChanged() {
  SetFocusable(true);
  SetVisible(false);
  return LControl::OnLookChanged();
}

} // namespace QZ
