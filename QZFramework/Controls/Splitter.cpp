#include "QZFramework/Controls/Splitter.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/LayoutDescriptor.h"

namespace QZ {
namespace {

// A later child's size counts as changed by a resize from this difference on.
constexpr double kSizeChange = 10.0 * std::numeric_limits<double>::epsilon();

double AxisOf(const RectT<double>& rect, int32_t axis) { return axis == 0 ? rect.x : rect.y; }
double ExtentOf(const RectT<double>& rect, int32_t axis) { return axis == 0 ? rect.width : rect.height; }
double AxisOf(const PointT<double>& point, int32_t axis) { return axis == 0 ? point.x : point.y; }

// The look for the conditions: 0 normal, 1 hover, 2 pressed, each + 3 with the focus.
int32_t LookFor(uint32_t conditions) {
  const bool over = (conditions & kConditionMouseOver) != 0;
  const bool captured = (conditions & kConditionCapture) != 0;
  const bool dragging = (conditions & kConditionLeftDrag) != 0;
  int32_t look = 0;
  if (captured && dragging) {
    look = over ? 2 : 1;
  } else {
    look = over && !captured ? 1 : 0;
  }
  return look + ((conditions & kConditionHasFocus) ? 3 : 0);
}

} // namespace

LSplitterBase::LSplitterBase(const RCPtr<LControl>& parent, const WString& name, uint32_t orientation)
    : LControl(parent, name), mOrientation(orientation) {}

LSplitterBase::~LSplitterBase() = default;

LSplitterH::LSplitterH(const RCPtr<LControl>& parent, const WString& name) : LSplitterBase(parent, name, kHorizontal) {}

LSplitterV::LSplitterV(const RCPtr<LControl>& parent, const WString& name) : LSplitterBase(parent, name, kVertical) {}

const char16_t* LSplitterBase::CursorName() const {
  return mOrientation == kHorizontal ? u"UI_CURSOR_SIZE_NS" : u"UI_CURSOR_SIZE_WE";
}

QZResult LSplitterBase::Initialize() {
  const QZResult result = LControl::Initialize();
  if (Failed(result)) {
    return result;
  }
  IControlApplication* application = GetControlApplication();
  SetCursor(application ? application->GetApplicationCursor(WString(CursorName())) : 0);
  return result;
}

// =============================================================================================
// The neighbours
// =============================================================================================

RCPtr<LControl> LSplitterBase::PlacedAgainst() const {
  if (!GetLayoutDescriptor() || !GetParent() || GetLayoutDescriptor()->position[GetAxis()].kind != kPositionToSibling) {
    return nullptr;
  }
  RCPtr<LControl> sibling = GetParent()->FindChildByName(GetLayoutDescriptor()->position[GetAxis()].name);
  // A bar that names itself has no sibling to share space with.
  return sibling.Get() == this || !sibling || !sibling->GetLayoutDescriptor() ? nullptr : sibling;
}

std::vector<RCPtr<LControl>> LSplitterBase::LaterSiblings() const {
  std::vector<RCPtr<LControl>> later;
  if (!GetParent() || !GetLayoutDescriptor()) {
    return later;
  }
  const ChildControlList& children = GetParent()->GetChildren();
  for (uint32_t i = 0; i < children.GetCount(); ++i) {
    const RCPtr<LControl>& child = children.GetAt(i, ChildControlList::kInsertionOrder);
    const RCPtr<LLayoutDescriptor>& layout = child->GetLayoutDescriptor();
    if (child.Get() != this && layout && layout->layoutOrder > GetLayoutDescriptor()->layoutOrder) {
      later.push_back(child);
    }
  }
  return later;
}

bool LSplitterBase::RefersToBar(const LControl& child, bool& grows) const {
  const RCPtr<LLayoutDescriptor>& layout = child.GetLayoutDescriptor();
  if (!layout) {
    return false;
  }
  const LayoutPosition& position = layout->position[GetAxis()];
  const LayoutSize& size = layout->size[GetAxis()];
  const bool sizedToBar = size.kind == kSizeToSibling && size.name == GetName();
  const bool placedAgainstBar =
      position.kind == kPositionToSibling && position.name == GetName() && size.kind != kSizeToSelf;
  grows = (sizedToBar && size.rel == 0.0f) || (placedAgainstBar && !sizedToBar && position.rel == 0.0f);
  return sizedToBar || placedAgainstBar;
}

void LSplitterBase::LimitBySibling(LControl& sibling, int32_t axis, double position, double size, Limits& limits) {
  const double minimum = AxisOf(sibling.GetPreferredSize(), axis);
  const double maximum = AxisOf(sibling.GetContentExtent(), axis);
  limits.minimum = std::max(limits.minimum, position - (size - minimum));
  if (maximum > 0.0) {
    limits.maximum = std::min(limits.maximum, position - size + maximum);
  }
}

void LSplitterBase::LimitByLaterChild(LControl& child, int32_t axis, double position, double size, bool grows,
                                      Limits& limits) {
  const double minimum = AxisOf(child.GetPreferredSize(), axis);
  const double maximum = AxisOf(child.GetContentExtent(), axis);
  if (grows) {
    limits.minimum = std::max(limits.minimum, position - (size - minimum));
    if (maximum > 0.0) {
      limits.maximum = std::min(limits.maximum, position + (maximum - size));
    }
  } else {
    limits.maximum = std::min(limits.maximum, position + (size - minimum));
    if (maximum > 0.0) {
      limits.minimum = std::max(limits.minimum, position - (maximum - size));
    }
  }
}

// =============================================================================================
// Dragging
// =============================================================================================

QZResult LSplitterBase::OnDrag() {
  // The neighbours' layout may let the bar go.
  const RCPtr<LControl> self(this);
  const int32_t axis = GetAxis();
  const double position = AxisOf(GetRect(), axis);
  Limits limits;

  mAttached = PlacedAgainst();
  if (const RCPtr<LControl> sibling = mAttached) {
    LayoutPosition placement;
    LayoutSize size;
    GetLayoutDescriptor()->GetAxis(axis, placement, size);
    mSavedOffset = placement.abs;
    mSavedRel = placement.rel;
    // Held where it is, the bar no longer follows the sibling it resizes.
    LayoutPosition held = placement;
    held.kind = kPositionToClient;
    held.name = WString();
    held.rel = 0.0f;
    held.abs = position;
    SetAxisPlacement(axis, held, size);

    mAttachedStartSize = sibling->GetLayoutDescriptor()->size[axis].abs;
    LimitBySibling(*sibling, axis, position, mAttachedStartSize, limits);
  }

  for (const RCPtr<LControl>& child : LaterSiblings()) {
    bool grows = false;
    if (RefersToBar(*child, grows)) {
      LimitByLaterChild(*child, axis, position, ExtentOf(child->GetRect(), axis), grows, limits);
    }
  }

  // The drag step measures the range from the press point.
  const double shift = AxisOf(GetPressOrigin(), axis) - position;
  mDragMinimum = limits.minimum + shift;
  mDragMaximum = limits.maximum + shift;
  return LControl::OnDrag();
}

QZResult LSplitterBase::GetDragBounds(RectT<double>& bounds) {
  if (GetAxis() == 0) {
    bounds.x = mDragMinimum;
    bounds.width = mDragMaximum - mDragMinimum;
  } else {
    bounds.y = mDragMinimum;
    bounds.height = mDragMaximum - mDragMinimum;
  }
  return QZ_OK;
}

QZResult LSplitterBase::OnDragMoved(const PointT<double>& point) {
  if (const RCPtr<LControl> sibling = mAttached) {
    const int32_t axis = GetAxis();
    LayoutPosition placement;
    LayoutSize size;
    sibling->GetLayoutDescriptor()->GetAxis(axis, placement, size);
    size.abs = mAttachedStartSize + AxisOf(GetDragDisplacement(), axis);
    sibling->SetAxisPlacement(axis, placement, size);
  }
  return LControl::OnDragMoved(point);
}

QZResult LSplitterBase::OnDragEnd() {
  const RCPtr<LControl> self(this);
  if (const RCPtr<LControl> sibling = mAttached; sibling && GetLayoutDescriptor()) {
    const int32_t axis = GetAxis();
    LayoutPosition placement;
    LayoutSize size;
    GetLayoutDescriptor()->GetAxis(axis, placement, size);
    placement.kind = kPositionToSibling;
    placement.name = sibling->GetName();
    placement.rel = mSavedRel;
    placement.abs = mSavedOffset;
    SetAxisPlacement(axis, placement, size);
  }
  return LControl::OnDragEnd();
}

QZResult LSplitterBase::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const uint32_t before = param->GetPrevious();
  const uint32_t now = param->GetCurrent();
  if ((now & kConditionLeftDrag) && !(before & kConditionLeftDrag)) {
    SetLayoutState(kDragMoveScroll, mOrientation == kHorizontal ? kDragAxisY : kDragAxisX);
  }
  if ((before & kConditionLeftDrag) && !(now & kConditionLeftDrag)) {
    mAttached = nullptr;
  }
  ShowLook(IsEnabled(true) ? LookFor(now) : 6);
  return LControl::OnConditionsChanged(param);
}

// =============================================================================================
// The parent resized
// =============================================================================================

QZResult LSplitterBase::OnRootResized(const SizeT<int32_t>& size) {
  const RCPtr<LControl> self(this);
  LControl::OnRootResized(size);
  if (!GetParent()) {
    return QZ_OK;
  }
  const int32_t axis = GetAxis();
  const double position = AxisOf(GetRect(), axis);
  Limits limits;

  const RCPtr<LControl> sibling = PlacedAgainst();
  if (sibling) {
    LimitBySibling(*sibling, axis, position, sibling->GetLayoutDescriptor()->size[axis].abs, limits);
  }

  for (const RCPtr<LControl>& child : LaterSiblings()) {
    bool grows = false;
    if (!RefersToBar(*child, grows)) {
      continue;
    }
    // The size the child's placement gives it now, before its own minimum and maximum:
    // within them it could never ask the bar to move.
    const double current = ExtentOf(child->GetRect(), axis);
    RectT<double> placed;
    if (Failed(child->LayoutAxisFromReference(child->GetLayoutDescriptor(), GetParent(), {}, {}, {}, placed))) {
      continue;
    }
    const double wanted = ExtentOf(placed, axis);
    if (std::fabs(wanted - current) >= kSizeChange) {
      LimitByLaterChild(*child, axis, position, wanted, grows, limits);
    }
  }

  if (limits.minimum > limits.maximum) {
    std::swap(limits.minimum, limits.maximum);
  }
  const double correction = position < limits.minimum   ? limits.minimum - position
                            : position > limits.maximum ? limits.maximum - position
                                                        : 0.0;
  if (correction != 0.0 && sibling) {
    LayoutPosition placement;
    LayoutSize extent;
    sibling->GetLayoutDescriptor()->GetAxis(axis, placement, extent);
    extent.abs += correction;
    sibling->SetAxisPlacement(axis, placement, extent);
  }
  return QZ_OK;
}

} // namespace QZ
