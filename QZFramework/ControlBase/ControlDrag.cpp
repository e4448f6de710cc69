// Dragging a control: moving and resizing it by its layout descriptor inside its parent's
// visible content, dragging it onto a drop target, pulling its own content with a fling on
// release; and the automatic scrolling of a host while something is dragged near its edge.

#include <algorithm>
#include <cmath>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/CursorNames.h"

namespace QZ {
namespace {

// Within this distance of an edge a host scrolls by itself, at (overshoot + 1) x this speed.
constexpr double kAutoScrollBand = 30.0;
constexpr double kAutoScrollSpeedPerPixel = 15.0;
// Kinetic velocities of moves further apart than this are not averaged with the last one.
constexpr double kVelocityAveragingWindow = 0.2;
// The scroll range of a control that sets no narrower one (2^52).
constexpr double kUnlimitedScroll = 4503599627370496.0;
// A fling keeps its speed this long after the release.
constexpr uint32_t kFlingHoldMs = 1000;

uint32_t TickCountMs() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetTickCountMs() : 0;
}

double ElapsedSeconds() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetElapsedSeconds() : 0.0;
}

void ShowCursor(const RCPtr<IRootWindow>& window, const WString& name) {
  if (!window) {
    return;
  }
  IControlApplication* application = GetControlApplication();
  // Without an application the window shows its arrow.
  window->SetCursor(application ? application->GetApplicationCursor(name) : 0);
}

void ShowCursor(const RCPtr<IRootWindow>& window, const char16_t* name) { ShowCursor(window, WString(name)); }

double AxisOf(const PointT<double>& point, int32_t axis) { return axis == 0 ? point.x : point.y; }
double& AxisOf(PointT<double>& point, int32_t axis) { return axis == 0 ? point.x : point.y; }

// The edges of a rectangle on one axis: near (left, top) and far (right, bottom).
double NearEdge(const RectT<double>& rect, int32_t axis) { return axis == 0 ? rect.x : rect.y; }
double FarEdge(const RectT<double>& rect, int32_t axis) {
  return axis == 0 ? rect.x + rect.width : rect.y + rect.height;
}

// A control and every control below it.
void CollectSubtree(const RCPtr<LControl>& control, RCPtrArray<LControl, 1, 0>& out) {
  out.AddItem(control);
  RCPtrArray<LControl, 1, 0> below;
  control->CollectDescendants(below);
  out.AppendArray(below);
}

bool Holds(const RCPtrArray<LControl, 1, 0>& list, const LControl* control) {
  for (uint32_t i = 0; i < list.GetCount(); ++i) {
    if (list.GetAt(i).Get() == control) {
      return true;
    }
  }
  return false;
}

void MarkExcluded(const RCPtrArray<LControl, 1, 0>& list, bool excluded) {
  for (uint32_t i = 0; i < list.GetCount(); ++i) {
    list.GetAt(i)->SetExcludedFromHitTest(excluded);
  }
}

// The window's hit test at point (window coordinates, rounded half away from zero and
// limited to 32 bits) with the controls of excluded left out.
RCPtr<LControl> HitTestExcluding(const RCPtr<IRootWindow>& window, const PointT<double>& point,
                                 const RCPtrArray<LControl, 1, 0>& excluded, PointT<int32_t>& local) {
  local = {};
  if (!window) {
    return nullptr;
  }
  MarkExcluded(excluded, true);
  RCPtr<LControl> hit = window->SetMouseOverAt(point.Round(), local, false);
  MarkExcluded(excluded, false);
  return hit;
}

} // namespace

// =============================================================================================
// The drag's lifecycle
// =============================================================================================

QZResult LControl::OnDrag() {
  const RCPtr<LControl> self(this);
  mDragStartSize = {mRect.width, mRect.height};
  mDragStartScroll = mParent ? mParent->mScrollOffset : PointT<double>{};
  // The pointer is where the button went down.
  mDisplacement = {};
  if (mDragMode == kDragAndDrop && mLayout) {
    // The dragged control floats over everything, fixed to the visible area rather than to
    // its parent's content.
    mDropTarget = nullptr;
    mDragWasUnclipped = !mLayout->clipToParent;
    SetClipToParent(false);
    for (int32_t axis = 0; axis < 2; ++axis) {
      LayoutPosition position = mLayout->position[axis];
      mDockedAtStart[axis] = position.docked;
      if (!position.docked) {
        position.docked = true;
        position.abs = AxisOf({mRect.x, mRect.y}, axis) - AxisOf(mDragStartScroll, axis);
        SetAxisPlacement(axis, position, mLayout->size[axis]);
      }
    }
  }
  // Read after the docking, which measures the position from the visible area: the steps
  // add the displacement to these.
  if (mLayout) {
    mDragStartPositionAbs = {mLayout->position[0].abs, mLayout->position[1].abs};
    mDragStartSizeAbs = {mLayout->size[0].abs, mLayout->size[1].abs};
  }
  return QZ_OK;
}

QZResult LControl::RebaseDrag() {
  mPressPoint = mPressPoint + mDisplacement;
  mDisplacement = {};
  mDragStartSize = {mRect.width, mRect.height};
  mDragStartScroll = mParent ? mParent->mScrollOffset : PointT<double>{};
  if (mLayout) {
    mDragStartPositionAbs = {mLayout->position[0].abs, mLayout->position[1].abs};
    mDragStartSizeAbs = {mLayout->size[0].abs, mLayout->size[1].abs};
  }
  return QZ_OK;
}

QZResult LControl::OnDragMoved(const PointT<double>&) { return QZ_OK; }

QZResult LControl::OnDragEnd() {
  const RCPtr<LControl> self(this);
  if (mDragMode != kDragAndDrop) {
    if (const RCPtr<LControl> parent = mParent) {
      parent->StopAutoScroll(0);
      parent->StopAutoScroll(1);
    }
    return QZ_OK;
  }
  ShowCursor(GetRootWindowRef(), u"UI_CURSOR_ARROW");
  if (!mDragWasUnclipped) {
    SetClipToParent(true);
  }
  const PointT<double> scroll = mParent ? mParent->mScrollOffset : PointT<double>{};
  for (int32_t axis = 0; axis < 2 && mLayout; ++axis) {
    if (!mDockedAtStart[axis]) {
      LayoutPosition position = mLayout->position[axis];
      position.docked = false;
      position.abs += AxisOf(scroll, axis);
      SetAxisPlacement(axis, position, mLayout->size[axis]);
    }
  }
  if (const RCPtr<LControl> target = std::move(mDropTarget)) {
    target->StopAutoScroll(0);
    target->StopAutoScroll(1);
    target->OnDrop(self); // a target that refuses leaves the control where it is
    target->OnDragLeave(self);
  }
  return QZ_OK;
}

// =============================================================================================
// One step of the drag
// =============================================================================================

QZResult LControl::OnDragMove(const RCPtr<LPointWithModifiersParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  // The layout, the hooks and the drop target may let the control go.
  const RCPtr<LControl> self(this);
  mInDragMove = true;
  const PointT<double> point = param->GetPoint().ToDouble();
  const PointT<double> windowPoint = point + GetWindowPosition();
  const PointT<double> previous = mDisplacement;
  PointT<double> d{mRect.x + point.x - mPressPoint.x, mRect.y + point.y - mPressPoint.y};

  DragScrollWish wish;
  if (mDragMode != kDragAndDrop) {
    wish = LimitDisplacement(point, d);
  }

  switch (mDragMode) {
  case kDragResize:
  case kDragResizeScroll:
    mLayoutBusy = true;
    ResizeByDrag(d);
    mLayoutBusy = false;
    mDisplacement = d;
    break;
  case kDragKinetic:
    // Moves within one millisecond wait for the next: their distance is not lost.
    if (ScrollKinetically(previous, d)) {
      mDisplacement = d;
    }
    break;
  default:
    mLayoutBusy = true;
    MoveByDrag(d);
    mLayoutBusy = false;
    mDisplacement = d;
    break;
  }

  if (mDragMode == kDragAndDrop) {
    const RCPtr<LControl> target = TrackDropTarget(windowPoint, wish);
    DriveAutoScroll(target, wish);
  } else if (mDragMode == kDragMoveScroll || mDragMode == kDragResizeScroll) {
    DriveAutoScroll(mParent, wish);
  }
  OnDragMoved(point);
  mInDragMove = false;
  return QZ_OK;
}

LControl::DragScrollWish LControl::LimitDisplacement(const PointT<double>& point, PointT<double>& d) {
  DragScrollWish wish;
  const RCPtr<LControl> parent = mParent;
  if (!parent) {
    return wish;
  }
  const PointT<double> parentScroll = parent->mScrollOffset;
  const RectT<double> visible = parent->GetContentRect().Offset(parentScroll.x, parentScroll.y);
  RectT<double> bounds = visible;
  GetDragBounds(bounds); // a control that sets no narrower bounds keeps the visible area

  const bool resizing = mDragMode == kDragResize || mDragMode == kDragResizeScroll;
  const bool scrolling = mDragMode == kDragMoveScroll || mDragMode == kDragResizeScroll;
  PointT<double> inParent = point;
  ConvertPoint(parent.Get(), inParent);
  inParent = inParent + parentScroll;

  // Per axis: the edge bits whose size never falls below 1, and the bits that scroll.
  const uint32_t growBits[2] = {kDragEdgeRight, kDragEdgeBottom};
  const uint32_t shrinkBits[2] = {kDragEdgeLeft, kDragEdgeTop};
  const uint32_t scrollBits[2] = {kDragAxisX | kDragEdgeRight | kDragEdgeLeft,
                                  kDragAxisY | kDragEdgeTop | kDragEdgeBottom};
  const double startSize[2] = {mDragStartSize.width, mDragStartSize.height};
  for (int32_t axis = 0; axis < 2; ++axis) {
    const double press = AxisOf(mPressPoint, axis);
    double minimum = NearEdge(bounds, axis) - press;
    double maximum = FarEdge(bounds, axis) - press;
    if (resizing) {
      if ((mDragAxes & growBits[axis]) && minimum <= -startSize[axis]) {
        minimum = 1.0 - startSize[axis];
      }
      if ((mDragAxes & shrinkBits[axis]) && maximum >= startSize[axis]) {
        maximum = startSize[axis] - 1.0;
      }
    }

    double& value = AxisOf(d, axis);
    if (scrolling && (mDragAxes & scrollBits[axis])) {
      const double nearVisible = NearEdge(visible, axis);
      const double farVisible = FarEdge(visible, axis);
      if (AxisOf(inParent, axis) <= nearVisible + (farVisible - nearVisible) / 2.0) {
        const double band = std::clamp(
            kAutoScrollBand - (RoundToInt32(nearVisible) - RoundToInt32(NearEdge(bounds, axis))), 0.0, kAutoScrollBand);
        const double edge = nearVisible - press + band;
        if (value <= edge) {
          wish.direction[axis] = -1;
          wish.overshoot[axis] = edge - value;
        }
      } else {
        const double band = std::clamp(
            (RoundToInt32(farVisible) - RoundToInt32(FarEdge(bounds, axis))) + kAutoScrollBand, 0.0, kAutoScrollBand);
        const double edge = farVisible - press - band;
        if (value >= edge) {
          wish.direction[axis] = 1;
          wish.overshoot[axis] = value - edge;
        }
      }
    }

    // A pointer held beyond the bounds does not scroll.
    if (value > maximum) {
      value = maximum;
      wish.direction[axis] = 0;
    }
    if (value < minimum) {
      value = minimum;
      wish.direction[axis] = 0;
    }
  }
  return wish;
}

double LControl::DockedScrollShift(int32_t axis) const {
  if (!mParent || !mLayout->position[axis].docked) {
    return 0.0;
  }
  return AxisOf(mParent->mScrollOffset, axis) - AxisOf(mDragStartScroll, axis);
}

void LControl::MoveByDrag(const PointT<double>& d) {
  const uint32_t axisBits[2] = {kDragAxisX, kDragAxisY};
  const double startAbs[2] = {mDragStartPositionAbs.x, mDragStartPositionAbs.y};
  for (int32_t axis = 0; axis < 2 && mLayout; ++axis) {
    if (mDragAxes & axisBits[axis]) {
      LayoutPosition position = mLayout->position[axis];
      position.abs = startAbs[axis] + AxisOf(d, axis) - DockedScrollShift(axis);
      SetAxisPlacement(axis, position, mLayout->size[axis]);
    }
  }
}

void LControl::ResizeByDrag(const PointT<double>& d) {
  const uint32_t farBits[2] = {kDragEdgeRight, kDragEdgeBottom};
  const uint32_t edgeBits[2] = {kDragEdgeRight | kDragEdgeLeft, kDragEdgeTop | kDragEdgeBottom};
  const double startAbs[2] = {mDragStartPositionAbs.x, mDragStartPositionAbs.y};
  const double startSizeAbs[2] = {mDragStartSizeAbs.width, mDragStartSizeAbs.height};
  for (int32_t axis = 0; axis < 2 && mLayout; ++axis) {
    if (!(mDragAxes & edgeBits[axis])) {
      continue;
    }
    LayoutPosition position = mLayout->position[axis];
    LayoutSize size = mLayout->size[axis];
    const double delta = AxisOf(d, axis);
    if (mDragAxes & farBits[axis]) {
      size.abs = startSizeAbs[axis] + delta;
    } else {
      // The near edge moves; the far one stays.
      position.abs = startAbs[axis] + delta - DockedScrollShift(axis);
      size.abs = startSizeAbs[axis] - delta;
    }
    SetAxisPlacement(axis, position, size);
  }
}

bool LControl::ScrollKinetically(const PointT<double>& previous, const PointT<double>& d) {
  const double t = double(uint32_t(mMoveTime - mPreviousMoveTime)) / 1000.0;
  if (!(t > 0.0)) {
    return false;
  }
  const RCPtr<LControl> self(this);
  const RCPtr<LControl> limiter = mParent ? mParent : self;
  const RectT<double> range = limiter->GetSizeLimits(self);
  const bool axisNamed[2] = {mDragAxes == kDragAxisX || mDragAxes == (kDragAxisX | kDragAxisY),
                             mDragAxes == kDragAxisY || mDragAxes == (kDragAxisX | kDragAxisY)};
  for (int32_t axis = 0; axis < 2; ++axis) {
    const double delta = AxisOf(previous, axis) - AxisOf(d, axis);
    double& velocity = AxisOf(mFlingVelocity, axis);
    if (velocity == 0.0 || t >= kVelocityAveragingWindow) {
      velocity = delta / t;
    } else {
      velocity = (delta / t) * 0.5 + velocity * 0.5;
    }
    if (axisNamed[axis] && delta != 0.0) {
      PointT<double> offset = mScrollOffset;
      double& value = AxisOf(offset, axis);
      value = std::max(NearEdge(range, axis), std::min(FarEdge(range, axis), value + delta));
      SetScrollOffset(offset);
    }
  }
  return true;
}

// =============================================================================================
// Drop targets
// =============================================================================================

RCPtr<LControl> LControl::TrackDropTarget(const PointT<double>& windowPoint, DragScrollWish& wish) {
  const RCPtr<LControl> self(this);
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  RCPtrArray<LControl, 1, 0> dragged;
  CollectSubtree(self, dragged);
  PointT<int32_t> local;
  RCPtr<LControl> target;
  PointT<double> targetPoint;
  if (const RCPtr<LControl> under = HitTestExcluding(window, windowPoint, dragged, local)) {
    target = under->FindDropTarget(self, windowPoint);
    targetPoint = local.ToDouble();
    if (target && target != under) {
      under->ConvertPoint(target.Get(), targetPoint);
    }
  }

  if (target == mDropTarget) {
    if (target) {
      target->OnDragOver(self, windowPoint);
    } else {
      // A drag that starts over nothing says so at once.
      ShowCursor(window, u"UI_CURSOR_NO_DROP");
    }
  } else {
    if (const RCPtr<LControl> old = mDropTarget) {
      old->StopAutoScroll(0);
      old->StopAutoScroll(1);
      old->OnDragLeave(self);
    }
    mDropTarget = target;
    if (target) {
      ShowCursor(window, CursorNames::DropMove()); // the application's own, by the shared name
      target->OnDragEnter(self);
      target->OnDragOver(self, windowPoint);
    } else {
      ShowCursor(window, u"UI_CURSOR_NO_DROP");
    }
  }
  if (target) {
    wish = DropTargetWish(target, targetPoint);
  }
  return target;
}

RCPtr<LControl> LControl::FindDropTarget(const RCPtr<LControl>& dragged, const PointT<double>& point) {
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  RCPtrArray<LControl, 1, 0> visited;
  RCPtrArray<LControl, 1, 0> excluded;
  if (dragged) {
    CollectSubtree(dragged, excluded);
  }
  RCPtr<LControl> candidate(this);
  while (candidate) {
    // A hit test that does not honour the marks may still find the dragged subtree.
    if (!Holds(excluded, candidate.Get()) && candidate->AcceptsDrop(dragged)) {
      return candidate;
    }
    if (!candidate->IsNotClippedToParent(false)) {
      candidate = candidate->mParent;
      continue;
    }
    // A floating control that refuses: look beneath it (and beneath every floating control
    // seen so far). Meeting one of them again would go round in circles.
    if (Holds(visited, candidate.Get())) {
      return nullptr;
    }
    CollectSubtree(candidate, visited);
    excluded.AppendArray(visited);
    PointT<int32_t> local;
    RCPtr<LControl> beneath = HitTestExcluding(window, point, excluded, local);
    if (beneath && Holds(visited, beneath.Get())) {
      return nullptr;
    }
    candidate = std::move(beneath);
  }
  return nullptr;
}

void LControl::DriveAutoScroll(const RCPtr<LControl>& host, const DragScrollWish& wish) {
  if (!host) {
    return;
  }
  const RCPtr<LControl> dragged(this);
  if (!wish.Any()) {
    host->StopAutoScroll(0);
    host->StopAutoScroll(1);
    return;
  }
  const RectT<double> range = host->GetSizeLimits(dragged);
  for (int32_t axis = 0; axis < 2; ++axis) {
    if (wish.direction[axis] == 0) {
      host->StopAutoScroll(axis);
      continue;
    }
    const double speed = (wish.overshoot[axis] + 1.0) * kAutoScrollSpeedPerPixel * wish.direction[axis];
    host->StartAutoScroll(axis, speed, NearEdge(range, axis), FarEdge(range, axis), dragged);
  }
}

LControl::DragScrollWish LControl::DropTargetWish(const RCPtr<LControl>& target, const PointT<double>& local) {
  DragScrollWish wish;
  const RCPtr<LControl> dragged(this);
  const uint32_t edges = target->GetDragAutoScrollEdges(dragged);
  if (edges == 0) {
    return wish;
  }
  const RectT<double> look = target->GetLookRect(-1);
  const PointT<double> scroll = target->GetScrollOffset();
  const PointT<double> point{local.x + scroll.x - look.x, local.y + scroll.y - look.y};
  const RectT<double> visible{scroll.x, scroll.y, look.width, look.height};
  const uint32_t farBits[2] = {kDragEdgeRight, kDragEdgeBottom};
  const uint32_t nearBits[2] = {kDragEdgeLeft, kDragEdgeTop};
  for (int32_t axis = 0; axis < 2; ++axis) {
    const double p = AxisOf(point, axis);
    const double farOvershoot = p - (FarEdge(visible, axis) - kAutoScrollBand);
    const double nearOvershoot = (NearEdge(visible, axis) + kAutoScrollBand) - p;
    const bool towardsFar = (edges & farBits[axis]) && farOvershoot >= 0.0;
    const bool towardsNear = (edges & nearBits[axis]) && nearOvershoot >= 0.0;
    // A target narrower than both bands scrolls towards the edge the point is nearer.
    if (towardsNear && (!towardsFar || nearOvershoot >= farOvershoot)) {
      wish.direction[axis] = -1;
      wish.overshoot[axis] = nearOvershoot;
    } else if (towardsFar) {
      wish.direction[axis] = 1;
      wish.overshoot[axis] = farOvershoot;
    }
  }
  return wish;
}

bool LControl::AcceptsDrop(const RCPtr<LControl>&) { return false; }

uint32_t LControl::GetDragAutoScrollEdges(const RCPtr<LControl>&) { return 0; }

RectT<double> LControl::GetSizeLimits(const RCPtr<LControl>&) { return {0.0, 0.0, kUnlimitedScroll, kUnlimitedScroll}; }

QZResult LControl::GetDragBounds(RectT<double>&) { return QZ_OK; }

QZResult LControl::OnDragEnter(const RCPtr<LControl>&) { return QZ_OK; }

QZResult LControl::OnDragOver(const RCPtr<LControl>&, const PointT<double>&) { return QZ_OK; }

QZResult LControl::OnDragLeave(const RCPtr<LControl>&) { return QZ_OK; }

QZResult LControl::OnDrop(const RCPtr<LControl>&) { return QZ_E_FAIL; }

// =============================================================================================
// Automatic scrolling and flings of this control's content
// =============================================================================================

QZResult LControl::StartAutoScroll(int32_t axis, double speed, double firstBound, double secondBound,
                                   const RCPtr<LControl>& control) {
  if (axis != 0 && axis != 1) {
    return QZ_E_INVALIDARG;
  }
  AxisScroll& scroll = mAutoScroll[axis];
  scroll.speed = speed;
  scroll.rangeStart = firstBound;
  scroll.rangeEnd = secondBound;
  scroll.moved = control;
  if (scroll.active) {
    return QZ_OK;
  }
  scroll.active = true;
  scroll.lastStepTime = ElapsedSeconds();
  AddIdleRequest(); // outside a window the ticks come once it is in one
  return QZ_OK;
}

QZResult LControl::StopAutoScroll(int32_t axis) {
  if (axis != 0 && axis != 1) {
    return QZ_E_INVALIDARG;
  }
  AxisScroll& scroll = mAutoScroll[axis];
  scroll.moved = nullptr;
  if (!scroll.active) {
    return QZ_FALSE;
  }
  scroll.active = false;
  mFlingActive[axis] = false;
  ReleaseIdleRequest(); // a failed unsubscription leaves nothing to undo
  return QZ_OK;
}

QZResult LControl::StartAxisAnimation(int32_t axis, double velocity) {
  if (axis != 0 && axis != 1) {
    return QZ_E_INVALIDARG;
  }
  // The content flies within the range that bounds the kinetic drag.
  const RCPtr<LControl> self(this);
  const RCPtr<LControl> limiter = mParent ? mParent : self;
  const RectT<double> range = limiter->GetSizeLimits(self);
  const QZResult result = StartAutoScroll(axis, velocity, NearEdge(range, axis), FarEdge(range, axis), nullptr);
  mFlingActive[axis] = true;
  return result;
}

QZResult LControl::StopAxisAnimation(int32_t axis) {
  if (axis != 0 && axis != 1) {
    return QZ_E_INVALIDARG;
  }
  return mFlingActive[axis] ? StopAutoScroll(axis) : QZResult(QZ_FALSE);
}

void LControl::StepAutoScroll(int32_t axis) {
  AxisScroll& scroll = mAutoScroll[axis];
  if (!scroll.active) {
    return;
  }
  const double now = ElapsedSeconds();
  const double elapsed = now - scroll.lastStepTime;
  scroll.lastStepTime = now;
  const double step = std::round(scroll.speed * elapsed);
  if (step != 0.0) {
    PointT<double> offset = mScrollOffset;
    double& value = AxisOf(offset, axis);
    value = std::max(scroll.rangeStart, std::min(scroll.rangeEnd, value + step));
    SetScrollOffset(offset);
    if (const RCPtr<LControl> moved = scroll.moved) {
      // The dragged control follows the content under a pointer that stands still.
      const RCPtr<IRootWindow> window = moved->GetRootWindowRef();
      if (window) {
        const PointT<int32_t> local = window->GetMousePosition() + -moved->GetWindowPosition();
        moved->OnDragMove(LPointWithModifiersParam::Create(local, window->GetModifierState()));
      }
    }
  }
  // A fling keeps its speed for a while after the release, then slows by the deceleration
  // over the time since the last tick until it would turn round.
  if (scroll.active && mFlingActive[axis] && uint32_t(TickCountMs() - mReleaseTime) > kFlingHoldMs) {
    const double slowing = std::round(mFlingDeceleration * elapsed);
    if (std::fabs(scroll.speed) <= slowing) {
      StopAxisAnimation(axis); // it is flinging
    } else {
      scroll.speed -= std::copysign(slowing, scroll.speed);
    }
  }
}

} // namespace QZ
