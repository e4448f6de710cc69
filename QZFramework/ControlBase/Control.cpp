#include "QZFramework/ControlBase/Control.h"

#include <cstdint>
#include <limits>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/ObjectBase/DebugAssert.h"
#include "QZFramework/Renderer/RenderContext.h"
#include "QZFramework/Utilities/Graphics/Font.h"
#include "QZFramework/Utilities/Storage/ArrayUtils.h"

namespace QZ {
namespace {

constexpr std::string_view kControlSource = R"(ControlBase\Control)";

// The keys of the paint order: clipped first, fewer docked axes, smaller Z_Order.
struct PaintKey {
  int32_t unclipped;
  int32_t docked;
  int32_t zOrder;
};

PaintKey PaintKeyOf(const LControl& child) {
  const RCPtr<LLayoutDescriptor>& layout = child.GetLayoutDescriptor();
  if (!layout) {
    return {0, 0, 0};
  }
  return {layout->clipToParent ? 0 : 1, int32_t(layout->position[0].docked) + int32_t(layout->position[1].docked),
          layout->zOrder};
}

int32_t TabStopOf(const LControl& child) {
  const RCPtr<LLayoutDescriptor>& layout = child.GetLayoutDescriptor();
  return layout ? layout->tabStop : 0;
}

bool IsDockedOnAnyAxis(const LControl& child) {
  const RCPtr<LLayoutDescriptor>& layout = child.GetLayoutDescriptor();
  return layout && (layout->position[0].docked || layout->position[1].docked);
}

} // namespace

// =============================================================================================
// Construction and destruction
// =============================================================================================

LControl::LControl(const RCPtr<LControl>& parent, const WString& name)
    : mName(name), mConditionsParam(LConditionsParam::Create(0, 0, {})), mChildren(*this) {
  // Room for one weight from the start.
  mLookWeights.SetCount(1);
  mLookWeights.SetCount(0);
  if (parent) {
    // A name taken among the siblings leaves the control without a parent.
    SetParent(parent);
  }
  if (IControlApplication* application = GetControlApplication()) {
    if (RCPtr<LControlFactory> factory = application->GetControlFactory()) {
      mStringTable = factory->GetStringTable(parent, name);
    }
  }
}

LControl::~LControl() = default;

// =============================================================================================
// The child list
// =============================================================================================

const RCPtr<LControl>& LControl::ChildControlList::ChildAt(uint32_t index, int32_t order, int line,
                                                           int orderLine) const {
  if (index >= mChildren.GetCount()) {
    Throw<std::runtime_error>({"QZ::LControl::ChildControlList::GetAt", kControlSource, line});
  }
  switch (order) {
  case kInsertionOrder:
    return mChildren.GetAt(index);
  case kPaintOrder:
    SortOrders();
    return mChildren.GetAt(mPaintOrder.GetAt(index));
  case kTabOrder:
    SortOrders();
    return mChildren.GetAt(mTabOrder.GetAt(index));
  default:
    Throw<std::runtime_error>({"QZ::LControl::ChildControlList::GetAt", kControlSource, orderLine});
  }
}

int32_t LControl::ChildControlList::IndexOf(const LControl* child, int32_t order) const {
  const uint32_t count = mChildren.GetCount();
  if (order == kInsertionOrder) {
    for (uint32_t i = count; i-- > 0;) {
      if (mChildren.GetAt(i).Get() == child) {
        return int32_t(i);
      }
    }
    return -1;
  }
  if (order != kPaintOrder && order != kTabOrder) {
    return -1;
  }
  SortOrders();
  const auto& positions = order == kPaintOrder ? mPaintOrder : mTabOrder;
  for (uint32_t i = count; i-- > 0;) {
    if (mChildren.GetAt(positions.GetAt(i)).Get() == child) {
      return int32_t(i);
    }
  }
  return -1;
}

void LControl::ChildControlList::SortOrders() const {
  if (mSortedVersion == mVersion) {
    return;
  }
  const uint32_t count = mChildren.GetCount();
  const IArray<RCPtr<LControl>>& children = mChildren;
  ArrayUtils::SortIndecies<RCPtr<LControl>>(mTabOrder, children, 0, count, [&](unsigned a, unsigned b) {
    const int32_t tabA = TabStopOf(*mChildren.GetAt(a));
    const int32_t tabB = TabStopOf(*mChildren.GetAt(b));
    return tabA != tabB ? tabA < tabB : a < b;
  });
  ArrayUtils::SortIndecies<RCPtr<LControl>>(mPaintOrder, children, 0, count, [&](unsigned a, unsigned b) {
    const PaintKey keyA = PaintKeyOf(*mChildren.GetAt(a));
    const PaintKey keyB = PaintKeyOf(*mChildren.GetAt(b));
    if (keyA.unclipped != keyB.unclipped) {
      return keyA.unclipped < keyB.unclipped;
    }
    if (keyA.docked != keyB.docked) {
      return keyA.docked < keyB.docked;
    }
    return keyA.zOrder != keyB.zOrder ? keyA.zOrder < keyB.zOrder : a < b;
  });
  mSortedVersion = mVersion;
}

QZResult LControl::ChildControlList::Add(LControl* child) {
  if (!child) {
    return QZ_E_INVALIDARG;
  }
  // The owner or one of its ancestors would make the tree a loop.
  for (const LControl* ancestor = &mOwner; ancestor; ancestor = ancestor->mParent.Get()) {
    if (ancestor == child) {
      return QZ_E_INVALIDARG;
    }
  }
  // A control belongs to one list at a time: SetParent takes it out of the old one first.
  if (child->mParent) {
    return QZ_E_FAIL;
  }
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    if (mChildren.GetAt(i)->mName == child->mName) {
      return QZ_E_FAIL;
    }
  }
  const uint32_t brought = child->GetUnclippedContribution();
  if (brought > 0) {
    mOwner.IncrementUnclippedCount(brought);
  }
  // The child's link to its parent is one of the parent's internal references.
  mOwner.AddInternalReferences(1);
  child->mParent = RCPtr<LControl>(&mOwner);
  mChildren.AddItem(RCPtr<LControl>(child));
  ++mVersion;
  return QZ_OK;
}

QZResult LControl::ChildControlList::Remove(const LControl* child) {
  const int32_t index = IndexOf(child, kInsertionOrder);
  return index < 0 ? QZResult(QZ_E_INVALIDARG) : RemoveAt(uint32_t(index));
}

bool LControl::ChildControlList::RemoveAll() {
  if (mChildren.GetCount() == 0) {
    return true;
  }
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    // OnChildRemoved may have taken further children out.
    if (i < mChildren.GetCount()) {
      RemoveAt(i);
    }
  }
  return false;
}

QZResult LControl::ChildControlList::RemoveAt(uint32_t index) {
  const RCPtr<LControl> child = mChildren.GetAt(index);
  const uint32_t brought = child->GetUnclippedContribution();
  if (brought > 0) {
    mOwner.DecrementUnclippedCount(brought);
  }
  if (child->mParent.Get() == &mOwner) {
    // Lowered first, so that dropping the link cannot look like the owner's last outside
    // reference going.
    mOwner.AddInternalReferences(-1);
    child->mParent = nullptr;
  }
  RCPtr<LControl> removed;
  mChildren.RemoveItem(index, removed);
  ++mVersion;
  mOwner.OnChildRemoved(child, index);
  return QZ_OK;
}

uint32_t LControl::GetUnclippedContribution() const {
  return mUnclippedCount + (mLayout && !mLayout->clipToParent ? 1 : 0);
}

void LControl::IncrementUnclippedCount(uint32_t count) {
  for (LControl* control = this; control; control = control->mParent.Get()) {
    control->mUnclippedCount += count;
  }
}

void LControl::DecrementUnclippedCount(uint32_t count) {
  for (LControl* control = this; control; control = control->mParent.Get()) {
    control->mUnclippedCount = control->mUnclippedCount > count ? control->mUnclippedCount - count : 0;
  }
}

// =============================================================================================
// The tree
// =============================================================================================

bool LControl::IsShown(bool withAncestors) const {
  for (const LControl* control = this; control; control = withAncestors ? control->mParent.Get() : nullptr) {
    if (!control->IsShownItself()) {
      return false;
    }
  }
  return true;
}

bool LControl::IsEnabled(bool withAncestors) const {
  for (const LControl* control = this; control; control = withAncestors ? control->mParent.Get() : nullptr) {
    if (!control->mLayout || !control->mLayout->isEnabled) {
      return false;
    }
  }
  return true;
}

QZResult LControl::SetParent(const RCPtr<LControl>& parent) {
  QZ_ASSERT_MAIN_THREAD("the control tree");
  if (mParent == parent) {
    return QZ_FALSE;
  }
  // Leaving the old parent's list may drop the last reference: keep the control alive. A
  // control without a parent is not taken here, since the constructor calls this before
  // anybody holds the control.
  const RCPtr<LControl> keep = mParent ? RCPtr<LControl>(this) : nullptr;
  if (mParent) {
    InvalidateChildRect({0.0, 0.0, mRect.width, mRect.height}, mLayout ? mLayout->clipToParent : true);
    mParent->mChildren.Remove(this); // a child of it
  } else {
    mRootWindow = nullptr;
  }
  return parent ? parent->mChildren.Add(this) : QZResult(QZ_OK);
}

QZResult LControl::SetRootWindow(const RCPtr<IRootWindow>& window) {
  if (mParent) {
    return QZ_E_FAIL;
  }
  if (mRootWindow == window) {
    return QZ_FALSE;
  }
  mRootWindow = window;
  if (!window) {
    return QZ_OK;
  }
  // The label came with the descriptor, before the control had a window to title.
  if (!mLabel.IsEmpty()) {
    window->SetCaption(mLabel);
  }
  return window->InstallRootControl(RCPtr<LControl>(this));
}

const RCPtr<IRootWindow>& LControl::TreeRootWindow() const {
  const LControl* top = this;
  while (top->mParent) {
    top = top->mParent.Get();
  }
  return top->mRootWindow;
}

RCPtr<IRootWindow> LControl::GetRootWindowRef() const { return TreeRootWindow(); }

RCPtr<LControl> LControl::FindChildByName(const WString& name) const {
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    const RCPtr<LControl>& child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
    if (child->mName == name) {
      return child;
    }
  }
  return nullptr;
}

uint32_t LControl::FindChildrenByName(const WString& name, RCPtrArray<LControl, 1, 0>& out) const {
  out.RemoveAll();
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    const RCPtr<LControl>& child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
    if (child->mName == name) {
      out.AddItem(child);
    }
  }
  return out.GetCount();
}

uint32_t LControl::CollectDescendants(RCPtrArray<LControl, 1, 0>& out) const {
  out.RemoveAll();
  for (uint32_t i = 0; i < mChildren.GetCount(); ++i) {
    const RCPtr<LControl>& child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
    out.AddItem(child);
    RCPtrArray<LControl, 1, 0> below;
    child->CollectDescendants(below);
    out.AppendArray(below);
  }
  return out.GetCount();
}

RectT<double> LControl::GetChildrenBounds() const {
  // 64-bit edges: an empty set would otherwise give INT_MIN - INT_MAX.
  int64_t left = std::numeric_limits<int64_t>::max();
  int64_t top = std::numeric_limits<int64_t>::max();
  int64_t right = std::numeric_limits<int64_t>::min();
  int64_t bottom = std::numeric_limits<int64_t>::min();
  bool any = false;
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    const LControl& child = *mChildren.GetAt(i, ChildControlList::kInsertionOrder);
    if (IsDockedOnAnyAxis(child)) {
      continue;
    }
    const int64_t x = RoundToInt32(child.mRect.x);
    const int64_t y = RoundToInt32(child.mRect.y);
    left = std::min(left, x);
    top = std::min(top, y);
    right = std::max(right, x + RoundToInt32(child.mRect.width));
    bottom = std::max(bottom, y + RoundToInt32(child.mRect.height));
    any = true;
  }
  if (!any) {
    return {};
  }
  return {double(left), double(top), double(right - left), double(bottom - top)};
}

bool LControl::IsTrueText(const WString& text) {
  WString trimmed = text;
  trimmed.Trim();
  return trimmed.CompareNoCase(WString(u"true")) == 0;
}

bool LControl::IsDeferCreate(const RCPtr<LControlDescriptor>& entry) {
  WString value;
  return entry && LookupString(entry->GetCreateParams().Get(), TableKey<u"DEFER_CREATE">(), value) && IsTrueText(value);
}

QZResult LControl::CreateChildren(const RCPtr<LControlDescriptor>& descriptor) {
  mChildren.RemoveAll();
  IControlApplication* application = GetControlApplication();
  const RCPtr<LControlFactory> factory = application ? application->GetControlFactory() : nullptr;
  if (descriptor && factory) {
    const RCPtr<LControl> self(this);
    const ControlDescriptorArray& entries = descriptor->GetChildren();
    for (uint32_t i = 0; i < entries.GetCount(); ++i) {
      if (IsDeferCreate(entries.GetAt(i))) {
        continue;
      }
      if (RCPtr<LControl> child = factory->CreateControl(self, entries.GetAt(i))) {
        OnChildAdded(child);
      }
    }
  }
  PerformLayout(); // a control without placement stays where it is
  return QZ_OK;
}

QZResult LControl::PerformLayout() {
  if (!mLayout) {
    return QZ_E_FAIL;
  }
  RectT<double> placed;
  QZResult result = QZ_OK;
  if (mParent) {
    result = LayoutAxisFromReference(mLayout, mParent, {}, {}, {}, placed);
  } else {
    if (mTopLevelPlacement && !mRootWindow) {
      return QZ_E_FAIL;
    }
    IControlApplication* application = GetControlApplication();
    RCPtr<IRootWindow> window = mRootWindow;
    if (!window && application) {
      window = application->GetActiveRootWindow();
    }
    if (!window && application) {
      window = application->GetRootWindowAt(0);
    }
    if (!window) {
      return QZ_E_FAIL;
    }
    // A top control lives in its window's client coordinates: "Screen" places are screen
    // coordinates (the screen's origin seen from the client origin) and sizes measure the
    // work area; a sibling place starts at the window's frame.
    const RectT<int32_t> screen = application ? application->GetScreenRect() : RectT<int32_t>{};
    const RectT<int32_t> client = window->GetClientRect();
    const RectT<int32_t> frame = window->GetFrameRect();
    const RectT<double> screenRect{-double(client.x), -double(client.y), double(screen.width), double(screen.height)};
    const PointT<double> windowOrigin{double(frame.x) - client.x, double(frame.y) - client.y};
    result = LayoutAxisFromReference(mLayout, nullptr, screenRect, {double(client.width), double(client.height)},
                                     windowOrigin, placed);
  }
  if (Failed(result)) {
    return result;
  }
  PointT<double> position{placed.x, placed.y};
  SizeT<double> size{placed.width, placed.height};
  // A rule that an anchor forbids leaves its axis as placed.
  LayoutSizeFromText(position, size);
  LayoutSizeFromChildren(position, size);
  RectT<double> snapped{position.x, position.y, size.width, size.height};
  snapped.Normalize();
  return SetRect({snapped.x, snapped.y}, {snapped.width, snapped.height});
}

// =============================================================================================
// Leaving the tree
// =============================================================================================

QZResult LControl::Detach() {
  const RCPtr<LControl> self(this);
  if (!mParent) {
    DetachChildren();
  }
  SetVisible(false);
  SetClipToParent(true);
  if (mCapture) {
    ReleaseCapture(); // it held one
  }
  for (int32_t pending = mIdleRequests; pending > 0; --pending) {
    ReleaseIdleRequest(); // a failed unsubscription leaves nothing to undo here
  }
  if (mParent) {
    return SetParent(nullptr);
  }
  mRootWindow = nullptr;
  return QZ_OK;
}

QZResult LControl::DetachChildren() {
  for (uint32_t i = mChildren.GetCount(); i-- > 0;) {
    if (i < mChildren.GetCount()) {
      const RCPtr<LControl> child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
      child->Detach();
    }
  }
  return QZ_OK;
}

QZResult LControl::SetClipToParent(bool clip) {
  if (!mLayout) {
    return QZ_E_FAIL;
  }
  if (mLayout->clipToParent == clip) {
    return QZ_FALSE;
  }
  mLayout->clipToParent = clip;
  if (mParent) {
    // The parent's chain counts this control among its unclipped ones while it floats, and
    // its paint order puts floating children last.
    if (clip) {
      mParent->DecrementUnclippedCount(1);
    } else {
      mParent->IncrementUnclippedCount(1);
    }
    mParent->mChildren.BumpVersion();
  }
  return QZ_OK;
}

// =============================================================================================
// Shared-object and notification plumbing
// =============================================================================================

QZResult LControl::Notify(NotificationName name, const RCPtr<LRefCountedObject>& parameter) {
  const RCPtr<LNotification> notification = LNotification::Create(name, parameter);
  return notification ? SendNotification(notification) : QZResult(QZ_E_INVALIDARG);
}

void LControl::Announce(NotificationName name, const RCPtr<LRefCountedObject>& parameter) {
  (void)Notify(name, parameter);
}

QZResult LControl::ReceiveNotification(const RCPtr<LNotificationDistributor>& distributor,
                                       const RCPtr<LNotification>& notification) {
  return OfferToHandlerTable(mNotificationHandler, distributor, notification);
}

QZResult LControl::UnregisterNotification(LNotificationDistributor* distributor, NotificationName id) {
  ForgetHandlerRoute(mNotificationHandler, distributor, id);
  return LNotificationClient::UnregisterNotification(distributor, id);
}

QZResult LControl::ReleaseInternalReferences() {
  // The control's own cycles: children hold it back, so do the controls it remembers
  // (which may be its descendants) and its menu-item updater.
  mChildren.RemoveAll();
  mPendingRemoval.RemoveAll();
  mHitChild = nullptr;
  mDropTarget = nullptr;
  mHandOverTarget = nullptr;
  for (AxisScroll& axis : mAutoScroll) {
    axis.moved = nullptr;
  }
  if (mMenuItemUpdater) {
    const RCPtr<LMenuItemUpdater> updater = std::move(mMenuItemUpdater);
    AddInternalReferences(-1);
    updater->mControl = nullptr;
  }
  // Then the bases' steps: the clients registered at the control, the registrations it
  // holds at other distributors, its tag.
  ReleaseDistributorReferences();
  ReleaseClientReferences();
  ReleaseTagReference();
  return LRefCountedObject::ReleaseInternalReferences();
}

} // namespace QZ
