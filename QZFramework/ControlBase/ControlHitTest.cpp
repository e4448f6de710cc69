// Which control lies under a point, where a control lies in its window, the extents the
// layout and the scroll views read, and the path of an invalidated rectangle up to the root
// window.

#include <algorithm>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/Look.h"

namespace QZ {
namespace {

// Left and top inclusive, right and bottom exclusive.
template <class T, class U>
bool RectHolds(const RectT<T>& rect, const PointT<U>& point) {
  return double(point.x) >= double(rect.x) && double(point.x) < double(rect.x) + double(rect.width) &&
         double(point.y) >= double(rect.y) && double(point.y) < double(rect.y) + double(rect.height);
}

// Whole pixels: exact in 64 bits, as in doubles, and fewer instructions a look.
bool RectHolds(const RectT<int32_t>& rect, const PointT<int32_t>& point) {
  return point.x >= rect.x && int64_t(point.x) < int64_t(rect.x) + rect.width && point.y >= rect.y &&
         int64_t(point.y) < int64_t(rect.y) + rect.height;
}

RectT<int32_t> RoundedRect(const RectT<double>& rect) {
  // Mostly whole pixels already: converted without rounding each.
  if (AreWholeInt32(rect.x, rect.y, rect.width, rect.height)) {
    return {int32_t(rect.x), int32_t(rect.y), int32_t(rect.width), int32_t(rect.height)};
  }
  return {RoundToInt32(rect.x), RoundToInt32(rect.y), RoundToInt32(rect.width), RoundToInt32(rect.height)};
}

bool DockedOnBothAxes(const LLayoutDescriptor* layout) {
  return layout && layout->position[0].docked && layout->position[1].docked;
}

// A control's origin in its parent given the parent's client rectangle (GetLookRect(-1)):
// callers that need that rectangle too look it up once.
PointT<double> OriginInParent(const RectT<double>& rect, const PointT<double>& parentScroll,
                              const RectT<double>& parentClient) {
  return {rect.x - parentScroll.x + parentClient.x, rect.y - parentScroll.y + parentClient.y};
}

// GetBoundsRect of a control without a parent: its area cut to its window's client area.
// Inline in the invalidation walk, which ends there.
[[gnu::always_inline]] inline RectT<double> TopBounds(const RectT<double>& rect, IRootWindow* window) {
  RectT<double> bounds{0.0, 0.0, rect.width, rect.height};
  if (window) {
    const RectT<int32_t> client = window->GetClientRect();
    RectT<double>::Intersect(bounds, bounds, {-rect.x, -rect.y, double(client.width), double(client.height)});
  }
  return bounds;
}

// The parent's rectangle in the coordinates of a child at origin.
RectT<double> ParentBounds(const PointT<double>& origin, const RectT<double>& parentRect) {
  return {-origin.x, -origin.y, parentRect.width, parentRect.height};
}

} // namespace

// --- Hit testing ----------------------------------------------------------------------------

int32_t LControl::GetHitDepth() const { return GetTopZOrder(); }

RCPtr<LControl> LControl::HitTest(const PointT<int32_t>& point, bool bounded, PointT<int32_t>& outPoint,
                                  int32_t& depth) {
  outPoint = {};
  mHitChild = nullptr;
  if (!IsShownItself()) {
    return nullptr;
  }
  const bool inside = ContainsPoint(point);
  if (!inside && mUnclippedCount == 0) {
    return nullptr;
  }

  RCPtr<LControl> best;
  PointT<int32_t> bestPoint;
  int32_t bestDepth = kNoHitDepth;
  // The looks with a weight place the children: a control without children looks at none.
  // The arrays are read directly: GetLookWeight's read is a virtual call per look.
  const uint32_t weighed = mChildren.GetCount() != 0 ? std::min(mLooks.GetCount(), mLookWeights.GetCount()) : 0;
  const float* weights = weighed != 0 ? mLookWeights.GetData() : nullptr;
  const RCPtr<LLook>* looks = weighed != 0 ? &mLooks.GetAt(0) : nullptr;
  const PointT<int32_t> scroll = weighed != 0 ? mScrollOffset.Round() : PointT<int32_t>{};
  for (uint32_t i = 0; i < weighed; ++i) {
    if (!(weights[i] > 0.0f)) {
      continue;
    }
    // GetLookRect(i) rounded: a look's rectangle is whole pixels already.
    const LLook* shown = looks[i].Get();
    const RectT<int32_t> look =
        shown ? shown->GetClientRect() : RectT<int32_t>{0, 0, RoundToInt32(mRect.width), RoundToInt32(mRect.height)};
    const bool inLook = RectHolds(look, point);
    const PointT<double> inContent{double(point.x) - look.x + scroll.x, double(point.y) - look.y + scroll.y};
    // Topmost first; once a child is hit only the floating ones can still beat it.
    for (uint32_t k = mChildren.GetCount(); k-- > 0;) {
      // A hit test never changes the tree: the list's own reference keeps the child.
      const RCPtr<LControl>& child = mChildren.GetAt(k, ChildControlList::kPaintOrder);
      const LLayoutDescriptor* layout = child->mLayout.Get();
      const int32_t childDepth = child->GetHitDepth();
      const bool eligible = inside && bounded && (inLook || DockedOnBothAxes(layout));
      const bool candidate = !best && (eligible || childDepth > kNoHitDepth);
      const bool floating = (layout && !layout->clipToParent) || child->mUnclippedCount > 0;
      if (!candidate && !floating) {
        continue;
      }
      const PointT<int32_t> origin = PointT<double>{child->mRect.x, child->mRect.y}.Round();
      const PointT<int32_t> childPoint = PointT<double>{inContent.x - origin.x, inContent.y - origin.y}.Round();
      PointT<int32_t> hitPoint;
      RCPtr<LControl> hit = child->HitTest(childPoint, bounded && inside, hitPoint, depth);
      if (!hit) {
        continue;
      }
      // Mostly the child itself is hit: its depth is known, and finding it walks the ancestors.
      const int32_t hitDepth = hit.Get() == child.Get() ? childDepth : hit->GetHitDepth();
      if (!best || hitDepth > bestDepth) {
        best = std::move(hit);
        bestPoint = hitPoint;
        bestDepth = hitDepth;
      }
    }
  }
  if (best) {
    if (!mChildrenHitAsSelf) {
      depth = bestDepth;
      outPoint = bestPoint;
      return best;
    }
    mHitChild = best;
    mHitPoint = bestPoint;
    mHitDepth = bestDepth;
  }

  const int32_t selfDepth = GetHitDepth();
  // A clipped control is seen only inside its parent's client area.
  bool clippedOut = false;
  if (mParent && mLayout->clipToParent && !DockedOnBothAxes(mLayout.Get())) {
    const RectT<double> parentClient = mParent->GetLookRect(-1);
    clippedOut =
        !RectHolds(parentClient, point.ToDouble() + OriginInParent(mRect, mParent->mScrollOffset, parentClient));
  }
  if (inside && !clippedOut && !mLayoutBusy && !mExcludedFromHitTest &&
      ((selfDepth == kNoHitDepth && bounded) || selfDepth > depth) && !IsTransparentAtPoint(point)) {
    outPoint = point;
    depth = selfDepth;
    return RCPtr<LControl>(this);
  }
  return nullptr;
}

// --- Geometry -------------------------------------------------------------------------------

PointT<double> LControl::GetWindowPosition() const {
  // GetOriginInParent of each, summed inline: an invalidation walks every ancestor.
  PointT<double> position;
  const LControl* control = this;
  for (const LControl* parent = mParent.Get(); parent; control = parent, parent = parent->mParent.Get()) {
    position = position + OriginInParent(control->mRect, parent->mScrollOffset, parent->GetLookRect(-1));
  }
  return position + PointT<double>{control->mRect.x, control->mRect.y};
}

void LControl::ConvertPoint(const LControl* other, PointT<double>& point) const {
  const PointT<int32_t> mine = GetWindowPosition().Round();
  const PointT<int32_t> theirs = other ? other->GetWindowPosition().Round() : PointT<int32_t>{};
  point.x += double(mine.x) - double(theirs.x);
  point.y += double(mine.y) - double(theirs.y);
}

PointT<double> LControl::GetContentExtent() {
  if (!mLayout) {
    return {};
  }
  const LayoutLimit& x = mLayout->maximum[0];
  const LayoutLimit& y = mLayout->maximum[1];
  return {x.toControl ? 0.0 : x.abs, y.toControl ? 0.0 : y.abs};
}

RectT<double> LControl::ComputeClientExtent() {
  const RectT<double> look = GetLookRect(-1);
  return {mScrollOffset.x, mScrollOffset.y, look.width, look.height};
}

RectT<double> LControl::GetContentRect() {
  const RectT<double> look = GetLookRect(-1);
  return {0.0, 0.0, look.width, look.height};
}

PointT<double> LControl::GetOriginInParent() const {
  if (!mParent) {
    return {mRect.x, mRect.y};
  }
  return OriginInParent(mRect, mParent->mScrollOffset, mParent->GetLookRect(-1));
}

RectT<double> LControl::GetBoundsRect() const {
  if (mParent) {
    return ParentBounds(GetOriginInParent(), mParent->mRect);
  }
  return TopBounds(mRect, mRootWindow.Get());
}

// --- Invalidation ---------------------------------------------------------------------------

QZResult LControl::InvalidateChildRect(const RectT<double>& rect, bool clip) {
  if (!TreeRootWindow()) {
    // A tree being made has no window yet: only the answer is wanted, which the window
    // position does not change, and finding that position walks every ancestor's look.
    return InvalidateRect(rect, clip, rect);
  }
  const PointT<double> position = GetWindowPosition();
  return InvalidateRect(rect.Offset(position.x, position.y), clip, rect);
}

QZResult LControl::InvalidateRect(const RectT<double>& rootRect, bool clip, const RectT<double>& clipRect) {
  if (!IsShownItself()) {
    return QZ_FALSE;
  }
  RectT<double> cut = clipRect;
  const bool clipping = clip && mLayout->clipToParent;
  if (mParent) {
    if (!clipping) {
      // Nothing above cuts the rectangle now: the cut goes up unread, so its origin is not
      // looked up (a parent's look each step).
      return mParent->InvalidateRect(rootRect, false, cut);
    }
    // GetBoundsRect's rectangle from the origin that also carries the cut up: found once.
    const PointT<double> origin = GetOriginInParent();
    if (!RectT<double>::Intersect(cut, cut, ParentBounds(origin, mParent->mRect))) {
      return QZ_FALSE;
    }
    return mParent->InvalidateRect(rootRect, true, cut.Offset(origin.x, origin.y));
  }
  if (clipping && !RectT<double>::Intersect(cut, cut, TopBounds(mRect, mRootWindow.Get()))) {
    return QZ_FALSE;
  }
  if (!mRootWindow) {
    return QZ_OK;
  }
  RectT<double> dirty = rootRect;
  if (clipping) {
    // The window is the root control's parent: the cut moves into window coordinates.
    RectT<double>::Intersect(dirty, dirty, cut.Offset(mRect.x, mRect.y));
  }
  mRootWindow->InvalidateRect(RoundedRect(dirty));
  return QZ_OK;
}

void LControl::InvalidateUnclipped() {
  if (mUnclippedCount > 0) {
    RCPtrArray<LControl, 1, 0> unclipped;
    CollectUnclipped(unclipped, true, true);
    for (uint32_t i = 0; i < unclipped.GetCount(); ++i) {
      const RCPtr<LControl>& control = unclipped.GetAt(i);
      control->InvalidateChildRect({0.0, 0.0, control->mRect.width, control->mRect.height},
                                   control->mLayout->clipToParent);
    }
  } else if (mLayout && !mLayout->clipToParent) {
    InvalidateChildRect({0.0, 0.0, mRect.width, mRect.height}, false);
  }
}

} // namespace QZ
