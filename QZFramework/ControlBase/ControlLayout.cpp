// The layout of sub-controls: a placement record turned into a rectangle in the parent's
// client coordinates (both axes placed, snapped, grown to a minimum and to the text, cut
// to a maximum), the storing of that rectangle with everything that depends on it, and
// the setters that change a placement and lay out at once.

#include <algorithm>
#include <cmath>
#include <limits>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/FontText.h"
#include "QZFramework/ControlBase/Look.h"

namespace QZ {
namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon(); // 2^-52

double Nearest(double value) { return double(RoundHalfAway(value)); }

// Where a reference begins on one axis and how long it is.
struct Reference {
  double origin = 0.0;
  double size = 0.0;
};

// The reference values of one placement, for both axes.
struct References {
  Reference parent[2];
  Reference client[2];
  double scroll[2] = {0.0, 0.0};
};

double AxisOf(const RectT<double>& rect, int32_t axis) { return axis == 0 ? rect.x : rect.y; }
double ExtentOf(const RectT<double>& rect, int32_t axis) { return axis == 0 ? rect.width : rect.height; }

bool IsDockedOn(const LControl& control, int32_t axis) {
  const RCPtr<LLayoutDescriptor>& layout = control.GetLayoutDescriptor();
  return layout && layout->position[axis].docked;
}

} // namespace

// =============================================================================================
// Placement
// =============================================================================================

QZResult LControl::LayoutAxisFromReference(const RCPtr<LLayoutDescriptor>& descriptor, const RCPtr<LControl>& parent,
                                           const RectT<double>& screenRect, const SizeT<double>& clientSize,
                                           const PointT<double>& originPoint, RectT<double>& outRect) const {
  if (!descriptor) {
    if (parent || (screenRect.width > kEpsilon && screenRect.height > kEpsilon)) {
      return QZ_E_INVALIDARG;
    }
    outRect = {};
    return QZ_OK;
  }
  References references;
  if (parent) {
    const RectT<double> client = parent->GetLookRect(-1);
    references.parent[0] = {-client.x, parent->mRect.width};
    references.parent[1] = {-client.y, parent->mRect.height};
    references.client[0] = {0.0, client.width};
    references.client[1] = {0.0, client.height};
    references.scroll[0] = parent->mScrollOffset.x;
    references.scroll[1] = parent->mScrollOffset.y;
  } else {
    references.parent[0] = {screenRect.x, screenRect.width};
    references.parent[1] = {screenRect.y, screenRect.height};
    references.client[0] = {0.0, clientSize.width};
    references.client[1] = {0.0, clientSize.height};
  }
  // A sibling of the parent's, found from the last child to the first; without a parent the
  // origin point with no size, and a missing sibling is nothing at 0.
  const auto sibling = [&](const WString& name, int32_t axis) -> Reference {
    if (!parent) {
      return {originPoint.Axis(axis), 0.0};
    }
    const RCPtr<LControl> found = parent->FindChildByName(name);
    if (!found) {
      return {};
    }
    const double origin = AxisOf(found->mRect, axis) - (IsDockedOn(*found, axis) ? references.scroll[axis] : 0.0);
    return {origin, ExtentOf(found->mRect, axis)};
  };

  double place[2] = {0.0, 0.0};
  double extent[2] = {0.0, 0.0};
  for (int32_t axis = 0; axis < 2; ++axis) {
    const LayoutPosition& position = descriptor->position[axis];
    const LayoutSize& size = descriptor->size[axis];
    const double f = position.anchor;

    double p = 0.0;
    if (position.kind == kPositionToParent) {
      const Reference& reference = references.parent[axis];
      p = Nearest(double(position.rel) * reference.size) + position.abs + reference.origin;
    } else if (position.kind == kPositionToClient) {
      p = Nearest(double(position.rel) * references.client[axis].size) + position.abs;
    } else {
      const Reference reference = sibling(position.name, axis);
      p = Nearest(double(position.rel) * reference.size) + reference.origin + position.abs;
    }

    double s = 0.0;
    if (size.kind == kSizeToSelf) {
      s = size.abs < 0.0 ? 0.0 : size.abs;
    } else {
      const Reference reference = size.kind == kSizeToParent   ? references.parent[axis]
                                  : size.kind == kSizeToClient ? references.client[axis]
                                                               : sibling(size.name, axis);
      const double e = Nearest(double(size.rel) * reference.size) + reference.origin + size.abs;
      const double d = e - p;
      // The reciprocal in single precision, as the anchor is a float.
      if (d > 0.0 && f >= 0.0 && f < 1.0) {
        s = double(1.0f / (1.0f - position.anchor)) * d;
      } else if (d < 0.0 && f > 0.0 && f <= 1.0) {
        s = double(1.0f / -position.anchor) * d;
      }
    }

    p -= f * s;
    if (position.docked) {
      p += references.scroll[axis];
    }
    place[axis] = p;
    extent[axis] = s;
  }
  outRect = {place[0], place[1], extent[0], extent[1]};
  outRect.RoundEdges();
  return QZ_OK;
}

// =============================================================================================
// Minimum and maximum sizes
// =============================================================================================

bool LControl::ChildrenExtentFor(const WString& name, int32_t axis, double& extent) const {
  const uint32_t count = mChildren.GetCount();
  if (count == 0) {
    return false;
  }
  if (name == u"Children") {
    extent = GetChildrenExtent(0, int32_t(count - 1), axis);
    return true;
  }
  const RCPtr<LControl> child = FindChildByName(name);
  if (!child) {
    return false;
  }
  const int32_t index = mChildren.IndexOf(child.Get(), ChildControlList::kInsertionOrder);
  extent = GetChildrenExtent(index, index, axis);
  return true;
}

double LControl::TextGrowth(int32_t axis, double size, double otherSize) {
  const RCPtr<LLook> look = GetLook(-1);
  const RCPtr<LFontText> text = look ? look->GetFontText() : nullptr;
  if (!text || !mLayout) {
    return 0.0;
  }
  const double width = axis == 0 ? size : otherSize;
  const double height = axis == 0 ? otherSize : size;
  const RectT<float> area = look->GetTextRect(RoundToInt32(width), RoundToInt32(height));
  const TextProperties& properties = look->GetDescriptor()->GetTextProperties();
  double needed = 0.0;
  double available = 0.0;
  double span = 0.0;
  if (axis == 0) {
    text->SetWrap(false);
    needed = text->GetNaturalWidth();
    available = area.width;
    span = double(properties.rightRel) - double(properties.leftRel);
  } else {
    needed = text->GetTextHeight(RoundToInt32(area.width));
    available = area.height;
    span = double(properties.bottomRel) - double(properties.topRel);
  }
  const double overflow = std::ceil(needed - available);
  // A text area that does not grow with the control cannot be made to fit by growing it.
  if (!(overflow > 0.0) || !(span > 0.0)) {
    return 0.0;
  }
  return std::ceil(overflow / span);
}

QZResult LControl::LayoutSizeFromText(PointT<double>& position, SizeT<double>& size) {
  if (!mLayout) {
    return QZ_OK;
  }
  bool changed = false;
  bool refused = false;
  double* places[2] = {&position.x, &position.y};
  double* extents[2] = {&size.width, &size.height};
  for (int32_t axis = 0; axis < 2; ++axis) {
    double& p = *places[axis];
    double& s = *extents[axis];
    const double f = mLayout->position[axis].anchor;
    const LayoutLimit& minimum = mLayout->minimum[axis];
    if (!minimum.toControl) {
      double m = minimum.abs;
      const bool grows =
          axis == 0 ? mLayout->textOverflowX == kTextOverflowExpand : mLayout->textOverflowY != kTextOverflowClip;
      if (grows) {
        const double growth = TextGrowth(axis, s, *extents[1 - axis]);
        if (growth > 0.0) {
          m = std::max(m, growth + s);
        }
        const LayoutLimit& maximum = mLayout->maximum[axis];
        if (axis == 0 && !maximum.toControl && maximum.abs > 0.0 && m > maximum.abs) {
          m = maximum.abs;
          // The text cannot widen the control further: it wraps instead.
          const RCPtr<LLook> look = GetLook(-1);
          if (const RCPtr<LFontText> text = look ? look->GetFontText() : nullptr) {
            text->SetWrap(true);
          }
        }
      }
      if (s < m) {
        p -= Nearest(f * (m - s));
        s = m;
        changed = true;
      }
      continue;
    }
    double x = 0.0;
    if (!ChildrenExtentFor(minimum.name, axis, x) || !(x > 0.0) || x == s) {
      continue;
    }
    // The far edge the control would have with its anchor point kept.
    const double e = double(minimum.rel) * x + ((f * s + p) - f * x) + minimum.abs;
    if (p <= e && p + s < e) {
      if (f < 0.0 || f >= 1.0) {
        refused = true;
        continue;
      }
      const double k = Nearest(f * (e - (p + s)) / (1.0 - f));
      p -= k;
      s = Nearest(e) - p;
      changed = true;
    } else if (e < p) {
      if (f <= 0.0 || f > 1.0) {
        refused = true;
        continue;
      }
      const double k = p - e;
      p -= k;
      s += Nearest(k / f);
      changed = true;
    }
  }
  return refused ? QZ_E_FAIL : changed ? QZ_FALSE : QZ_OK;
}

QZResult LControl::LayoutSizeFromChildren(PointT<double>& position, SizeT<double>& size) {
  if (!mLayout) {
    return QZ_OK;
  }
  bool changed = false;
  double* places[2] = {&position.x, &position.y};
  double* extents[2] = {&size.width, &size.height};
  for (int32_t axis = 0; axis < 2; ++axis) {
    double& p = *places[axis];
    double& s = *extents[axis];
    const double f = mLayout->position[axis].anchor;
    const LayoutLimit& maximum = mLayout->maximum[axis];
    if (!maximum.toControl) {
      if (maximum.abs != 0.0 && s > maximum.abs) {
        p -= Nearest(f * (maximum.abs - s));
        s = maximum.abs;
        changed = true;
      }
      continue;
    }
    double x = 0.0;
    if (!ChildrenExtentFor(maximum.name, axis, x) || !(x > 0.0) || x == s) {
      continue;
    }
    const double e = double(maximum.rel) * x + ((f * s + p) - f * x) + maximum.abs;
    // Only a limit edge inside the control cuts it, and the anchor point stays where it is
    // as the far edge moves in to e (as the minimum rule keeps it); a control anchored by
    // its far edge cannot move that edge.
    if (p < e && e < p + s && f >= 0.0 && f < 1.0) {
      p -= Nearest(f * (e - (p + s)) / (1.0 - f));
      s = Nearest(e) - p;
      changed = true;
    }
  }
  return changed ? QZ_FALSE : QZ_OK;
}

double LControl::GetChildrenExtent(int32_t first, int32_t last, int32_t axis) const {
  if (first < 0 || first > last) {
    return 0.0;
  }
  const int32_t lastChild = int32_t(mChildren.GetCount()) - 1;
  const int32_t end = std::min(last, lastChild);
  const RectT<double> client = GetLookRect(-1);
  const double scroll = mScrollOffset.Axis(axis);
  double extent = 0.0;
  for (int32_t i = end; i >= first; --i) {
    const LControl& child = *mChildren.GetAt(uint32_t(i), ChildControlList::kInsertionOrder);
    const bool clips = !child.mLayout || child.mLayout->clipToParent;
    if (!clips && first != last) {
      continue;
    }
    double near = AxisOf(child.mRect, axis) - scroll + AxisOf(client, axis);
    if (IsDockedOn(child, axis)) {
      near -= scroll;
    }
    extent = std::max(extent, near + ExtentOf(child.mRect, axis));
  }
  if (extent > kEpsilon) {
    // The look's margin beyond its client part.
    const RCPtr<LLook> look = GetLook(-1);
    const double lookExtent =
        look ? (axis == 0 ? look->GetSize().width : look->GetSize().height) : ExtentOf(mRect, axis);
    extent += lookExtent - ExtentOf(client, axis) - AxisOf(client, axis);
  }
  return extent;
}

// =============================================================================================
// Storing the rectangle
// =============================================================================================

void LControl::InvalidateArea() {
  const bool clip = mLayout ? mLayout->clipToParent : true;
  InvalidateChildRect({0.0, 0.0, mRect.width, mRect.height}, clip);
  if (mUnclippedCount > 0) {
    InvalidateUnclipped();
  }
}

QZResult LControl::SetRect(const PointT<double>& position, const SizeT<double>& size) {
  if (position.x == mRect.x && position.y == mRect.y && size.width == mRect.width && size.height == mRect.height) {
    return QZ_FALSE;
  }
  // Siblings, the parent and the window may let go of the control meanwhile.
  const RCPtr<LControl> self(this);
  constexpr double kSameSize = 10.0 * kEpsilon;
  const bool sizeChanged =
      !(std::fabs(size.width - mRect.width) < kSameSize && std::fabs(size.height - mRect.height) < kSameSize);

  InvalidateArea();
  mRect = {position.x, position.y, size.width, size.height};
  const SizeT<int32_t> pixels{RoundToInt32(size.width), RoundToInt32(size.height)};
  for (uint32_t i = 0; i < mLooks.GetCount(); ++i) {
    if (const RCPtr<LLook>& look = mLooks.GetAt(i)) {
      look->SetSize(pixels);
    }
  }

  if (sizeChanged && !mInSetRect) {
    mInSetRect = true;
    for (uint32_t i = 0; i < mChildren.GetCount(); ++i) {
      const RCPtr<LControl> child = mChildren.GetAt(i, ChildControlList::kInsertionOrder);
      child->OnRootResized(pixels);
    }
    // The children's new sizes may move the limits that refer to them.
    PerformLayout();
    mInSetRect = false;
  }

  if (const RCPtr<LControl> parent = mParent) {
    // Later siblings placed by this one follow; one that moves carries the walk on itself.
    const int32_t index = parent->mChildren.IndexOf(this, ChildControlList::kInsertionOrder);
    for (uint32_t i = uint32_t(index + 1); index >= 0 && i < parent->mChildren.GetCount(); ++i) {
      const RCPtr<LControl> sibling = parent->mChildren.GetAt(i, ChildControlList::kInsertionOrder);
      if (sibling->PerformLayout() == QZ_OK) {
        break;
      }
    }
    parent->OnSizeChanged(self);
  } else if (mRootWindow) {
    // The top control's rectangle is in the window's client coordinates.
    const RectT<int32_t> client = mRootWindow->GetClientRect();
    const RectT<int32_t> wanted{SaturatingAdd(client.x, RoundToInt32(position.x)),
                                SaturatingAdd(client.y, RoundToInt32(position.y)), pixels.width, pixels.height};
    mRootWindow->SetClientRect(wanted);
  }

  if ((!(size.width > 0.0) || !(size.height > 0.0)) && (mHasFocus || mContainsFocus) && mParent) {
    mParent->SetFocus(true); // a parent that cannot take it leaves the focus where it is
  }
  InvalidateArea();
  UpdateClientArea(); // the base keeps no scroll buffer to refit
  return QZ_OK;
}

QZResult LControl::UpdateClientArea() { return QZ_OK; }

// =============================================================================================
// Placement setters
// =============================================================================================

void LControl::StorePlacement(int32_t axis, const LayoutPosition& position, const LayoutSize& size) {
  if (position.docked != mLayout->position[axis].docked) {
    mChildren.BumpVersion();
    // Docking is a key of the parent's paint order too.
    if (mParent) {
      mParent->mChildren.BumpVersion();
    }
  }
  mLayout->position[axis] = position;
  mLayout->size[axis] = size;
}

bool LControl::PlacementIs(int32_t axis, const LayoutPosition& position, const LayoutSize& size) const {
  LayoutPosition storedPosition;
  LayoutSize storedSize;
  return mLayout && Succeeded(mLayout->GetAxis(axis, storedPosition, storedSize)) && storedPosition == position &&
         storedSize == size;
}

QZResult LControl::SetAxisPlacement(int32_t axis, const LayoutPosition& position, const LayoutSize& size) {
  const RCPtr<LControl> self(this);
  if (!mLayout || (axis != 0 && axis != 1)) {
    PerformLayout();
    return QZ_FALSE;
  }
  StorePlacement(axis, position, size);
  PerformLayout();
  return PlacementIs(axis, position, size) ? QZ_OK : QZ_FALSE;
}

QZResult LControl::SetPlacement(const LayoutPosition& xPosition, const LayoutSize& xSize,
                                const LayoutPosition& yPosition, const LayoutSize& ySize) {
  const RCPtr<LControl> self(this);
  if (!mLayout) {
    PerformLayout(); // fails without a layout descriptor
    return QZ_FALSE;
  }
  StorePlacement(0, xPosition, xSize);
  StorePlacement(1, yPosition, ySize);
  PerformLayout();
  return PlacementIs(0, xPosition, xSize) && PlacementIs(1, yPosition, ySize) ? QZ_OK : QZ_FALSE;
}

QZResult LControl::SetAxisSizeLimits(int32_t axis, const LayoutLimit& minimum, const LayoutLimit& maximum) {
  const RCPtr<LControl> self(this);
  if (!mLayout || (axis != 0 && axis != 1)) {
    PerformLayout();
    return QZ_FALSE;
  }
  mLayout->minimum[axis] = minimum;
  mLayout->maximum[axis] = maximum;
  PerformLayout();
  LayoutLimit storedMinimum;
  LayoutLimit storedMaximum;
  const bool same = Succeeded(mLayout->GetAxisLimits(axis, storedMinimum, storedMaximum)) && storedMinimum == minimum &&
                    storedMaximum == maximum;
  return same ? QZ_OK : QZ_FALSE;
}

PointT<double> LControl::GetPreferredSize() {
  if (!mLayout) {
    return {mRect.width, mRect.height};
  }
  const RCPtr<LControl> self(this);
  double preferred[2] = {0.0, 0.0};
  for (int32_t axis = 0; axis < 2; ++axis) {
    LayoutPosition position;
    LayoutSize size;
    mLayout->GetAxis(axis, position, size);
    SetAxisPlacement(axis, position, LayoutSize{kSizeToSelf, {}, 0.0f, 0.0});
    preferred[axis] = ExtentOf(mRect, axis);
    SetAxisPlacement(axis, position, size);
  }
  return {preferred[0], preferred[1]};
}

} // namespace QZ
