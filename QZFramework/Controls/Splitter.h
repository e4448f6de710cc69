#pragma once
// QZ::LSplitterBase and its two faces: QZ::LSplitterH ("Framework.SplitterH", a horizontal
// bar that moves up and down, cursor "UI_CURSOR_SIZE_NS") and QZ::LSplitterV
// ("Framework.SplitterV", a vertical bar that moves left and right, "UI_CURSOR_SIZE_WE"). The
// user drags the bar to share space between neighbours of one parent: the sibling the bar
// is placed against grows or shrinks with it, later children placed against the bar or
// sized up to it follow through the layout, and each of them limits how far it may go.
//
//   <SubControl Class="Framework.Panel" Name="paneA" XSizeAbs="200" XMinSizeAbs="50"/>
//   <SubControl Class="Framework.SplitterV" Name="split" XPositionToControl="paneA"
//               XPositionRel="1" XSizeAbs="4" LayoutOrder="1"/>
//   <SubControl Class="Framework.Panel" Name="paneB" XPositionToControl="split"
//               XPositionRel="1" XSizeToControl="Client" XSizeRel="1" LayoutOrder="2"/>
//
//   factory->RegisterControlCreateFunction(u"Framework.SplitterV", &QZ::CreateControlOf<QZ::LSplitterV>);
//
// A drag (the control's move-with-auto-scroll drag mode on the bar's axis) computes the
// limits once as it begins, while the bar is held at its place instead of following its
// sibling; each step resizes that sibling by the drag offset; the release places the bar
// against the sibling again. When the parent is resized the bar is kept where its
// neighbours fit by resizing the sibling. Looks: 0 normal, 1 hover, 2 pressed (dragging with
// the pointer over it), 3-5 the same with the keyboard focus, 6 disabled.
//
// UI thread, like every control.

#include <cstdint>
#include <vector>

#include "QZFramework/ControlBase/Control.h"

namespace QZ {

class LSplitterBase : public LControl {
public:
  // Orientation 0 moves on Y (a horizontal bar), 1 on X (a vertical bar).
  static constexpr uint32_t kHorizontal = 0;
  static constexpr uint32_t kVertical = 1;
  // The widest range a drag may have (2^52).
  static constexpr double kUnlimited = 4503599627370496.0;

  LSplitterBase(const RCPtr<LControl>& parent, const WString& name, uint32_t orientation);
  ~LSplitterBase() override;

  uint32_t GetOrientation() const { return mOrientation; }
  // The axis the bar moves on: 1 (Y) for a horizontal bar, 0 (X) for a vertical one.
  int32_t GetAxis() const { return mOrientation == kHorizontal ? 1 : 0; }
  // The sibling resized during a drag; null outside one.
  const RCPtr<LControl>& GetAttachedControl() const { return mAttached; }

  // --- LControl ----------------------------------------------------------------------------

  // The drag begins: the limits of the bar's position (from 0 and 2^52, narrowed by the
  // sibling it is placed against and by the later children that refer to it, shifted by
  // the press point less the position), the bar held at its place, then the base's start. 0.
  QZResult OnDrag() override;
  // After each step: the sibling's size becomes its size at the start plus the drag offset.
  QZResult OnDragMoved(const PointT<double>& point) override;
  // The bar is placed against the sibling again with its own relative part and offset,
  // then the base ends the drag. The base's result.
  QZResult OnDragEnd() override;
  // The limits on the bar's axis: the minimum as the start, maximum - minimum as the
  // extent; the other axis untouched. 0.
  QZResult GetDragBounds(RectT<double>& bounds) override;
  // A left drag that begins puts the bar in the drag state on its axis, one that ends lets
  // the sibling go; then the look follows the conditions. 0.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // The base's initialisation, then the bar's cursor. The base's result.
  QZResult Initialize() override;
  // The base's relayout, then the sibling is resized when the bar lies outside the range in
  // which its neighbours fit. 0.
  QZResult OnRootResized(const SizeT<int32_t>& size) override;

private:
  // The range of the bar's position that its neighbours allow.
  struct Limits {
    double minimum = 0.0;
    double maximum = kUnlimited;
  };
  // The sibling the bar is placed against, of size (its size block's Abs) with the bar at
  // position: it keeps between its minimum and (when it has one) its maximum.
  static void LimitBySibling(LControl& sibling, int32_t axis, double position, double size, Limits& limits);
  // A later child that refers to the bar, of size on the axis with the bar at position.
  static void LimitByLaterChild(LControl& child, int32_t axis, double position, double size, bool grows,
                                Limits& limits);
  // Whether child refers to the bar: its size reaches to the bar, or it is placed against
  // the bar with a size that is not its own. grows: it grows as the bar moves on.
  bool RefersToBar(const LControl& child, bool& grows) const;
  // The later children (layout order above the bar's) of the parent, in insertion order.
  std::vector<RCPtr<LControl>> LaterSiblings() const;
  // The sibling named by the bar's position on its axis; null when it is placed otherwise.
  RCPtr<LControl> PlacedAgainst() const;
  // The cursor's name for the orientation.
  const char16_t* CursorName() const;

  uint32_t mOrientation;
  double mDragMinimum = 0.0;
  double mDragMaximum = 0.0;
  double mSavedOffset = 0.0;
  float mSavedRel = 0.0f;
  RCPtr<LControl> mAttached;
  double mAttachedStartSize = 0.0; // its size block's Abs when the drag began
};

class LSplitterH : public LSplitterBase {
public:
  LSplitterH(const RCPtr<LControl>& parent, const WString& name);
};

class LSplitterV : public LSplitterBase {
public:
  LSplitterV(const RCPtr<LControl>& parent, const WString& name);
};

} // namespace QZ
