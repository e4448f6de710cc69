#pragma once
// QZ::LScrollView: a control that shows a client area (its client extent) larger than
// itself. Its skin may give it the scroll bars "hBar" and "vBar" (QZ::LScrollbar) and the
// "corner" where they meet; the view shows a bar only while the extent needs it, keeps the
// bars' ranges, steps and thumbs in step with the extent, scrolls its content (the scroll
// offset) when a bar moves, moves the bars when the content scrolls, and scrolls with the
// wheel. Every panel, list, dialog and page derives from it (through QZ::LPanel).
//
//   view->SetClientExtent(1200, 800);          // "NID_CLIENT_EXTENT_CHANGE"; bars as needed
//   view->SetScrollOffset({0, 300});           // content scrolled, vBar moved (no echo)
//   view->SetAutoClientExtent(3, 4, 4);        // extent = the children's + 4 px, kept current
//
// Create params: "AUTO_CLIENT_EXTENT_X" / "AUTO_CLIENT_EXTENT_Y" ("true") compute the
// extent of that axis from the children (those not docked on it).
//
// Bars are laid out by changing their cross-axis size: a bar is shown (its layout visible,
// width and height above 0) when the extent needs it; with a corner, the corner's size is
// changed instead and the bars follow it in the skin. A bar scrolls in pixels, or in rows
// of a row size (row mode, for lists of rows). UI thread, like every control.

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Scrollbar.h"

namespace QZ {

class LScrollView : public LHandlerTableControl<LScrollView, LControl> {
public:
  // Automatic extent modes (SetAutoClientExtent).
  static constexpr int32_t kAutoExtentNone = 0;
  static constexpr int32_t kAutoExtentWidth = 1;
  static constexpr int32_t kAutoExtentHeight = 2;
  static constexpr int32_t kAutoExtentBoth = 3;
  // The scroll limit of an axis without an extent: 2^52.
  static constexpr double kUnlimited = 4503599627370496.0;

  LScrollView(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's operations --------------------------------------------------------

  // The base, then the parts "corner", "hBar" and "vBar" (bars only when they are scroll
  // bars), each bar's value change routed to the view, and the bar layout. The base's
  // failure as it is; 0.
  QZResult Initialize() override;
  // The base, then "AUTO_CLIENT_EXTENT_X" and "AUTO_CLIENT_EXTENT_Y" (trimmed "true", any
  // case) choose the automatic extent, with margins 0. 0.
  QZResult ApplyCreateParams() override;
  // Before Initialize the base alone. On an initialised view (a skin switch) the base runs
  // with the automatic extent held, then the bars are set up again, the automatic extent
  // recomputed and the client area updated. The base's result.
  QZResult ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
  // Marks the client area as being updated (the view's relayout waits for UpdateClientArea).
  QZResult BeginClientUpdate() override;
  // The base, then the automatic extent and the bar layout. 0.
  QZResult UpdateClientArea() override;
  // The offset, kept within GetSizeLimits, through the base.
  QZResult SetScrollOffset(const PointT<double>& offset) override;
  // Moves each bar to the new offset without hearing it back, then the base.
  QZResult ScrollContent(const PointT<double>& oldOffset, const PointT<double>& newOffset) override;
  // A child docked on both axes (a bar, the corner) lays the bars out again, any other
  // child the automatic extent; not while the view itself is scrolling, updating its bars
  // or its client area. Then the base.
  QZResult OnChildLayoutChanged(const RCPtr<LControl>& child) override;
  // Under a window the automatic extent follows the children that go.
  QZResult OnChildRemoved(const RCPtr<LControl>& child, uint32_t index) override;
  // The current look's client rectangle less the shown bars (with a corner: less the
  // corner's width and height).
  RectT<double> GetContentRect() override;
  // Scroll range: (0, 0, extent - content size per axis at least 0, or 2^52 for an axis
  // whose extent is 0).
  RectT<double> GetSizeLimits(const RCPtr<LControl>& control) override;
  // Per axis the children's extent when the axis's maximum size refers to the children,
  // else the base's answer.
  PointT<double> GetContentExtent() override;
  // The content in view: the look's client rectangle at the scroll offset, kept within
  // the children's area from 0, at least 1 x 1.
  RectT<double> ComputeClientExtent() override;
  // Scrolls by a line of a shown bar (a page with Shift): the vertical wheel the vertical
  // bar (the horizontal one with Alt, or when only it is shown), the horizontal wheel the
  // horizontal bar (else the vertical). Down and right scroll towards the end. 1 when no
  // bar is shown, else 0.
  QZResult OnMouseWheelV(const RCPtr<LMouseWheelParam>& param) override;
  QZResult OnMouseWheelH(const RCPtr<LMouseWheelParam>& param) override;

  // --- The view's own ---------------------------------------------------------------------

  // Lays the bars out for the current extent and view.
  virtual QZResult UpdateScrollBarsIfNeeded();
  // Hooks of derived views: the content rectangle changed with the bars; a bar (1 the
  // vertical, 0 the horizontal) was shown or hidden. 0.
  virtual QZResult OnViewRectChanged();
  virtual QZResult OnScrollBarShownChanged(int32_t vertical);

  // The width and height of the scrollable content: 1 when both are within
  // 2.220446049250313e-15 of the current ones; else stored, the bars laid out,
  // "NID_CLIENT_EXTENT_CHANGE" sent, 0.
  QZResult SetClientExtent(double width, double height);
  const SizeT<double>& GetClientExtent() const { return mClientExtent; }
  // The automatic extent (kAutoExtentNone ... kAutoExtentBoth) with margins in pixels added
  // to the children's extent; the extent recomputed. 0.
  QZResult SetAutoClientExtent(int32_t mode, int32_t marginX, int32_t marginY);
  int32_t GetAutoClientExtentMode() const { return mAutoExtentMode; }
  // (the vertical bar's width, the horizontal bar's height); with a corner, its width and
  // height; 0 for a missing bar.
  SizeT<double> GetScrollBarSizes() const;
  // Row mode of an axis (0 X, 1 Y): a row size above 0 scrolls that axis by rows of that
  // many pixels, 0 (or less) by pixels. The bars are laid out again; the content keeps its
  // scroll offset.
  void SetRowMode(int32_t axis, int32_t rowSize);
  const RCPtr<LScrollbar>& GetHorizontalBar() const { return mHBar; }
  const RCPtr<LScrollbar>& GetVerticalBar() const { return mVBar; }
  const RCPtr<LControl>& GetCorner() const { return mCorner; }

protected:
  // Whether a bar or the corner shows: its layout visible, width and height above 0.
  static bool IsPartShown(const LControl* part);
  // The automatic extent: the children's extent plus the margins on the axes of the mode,
  // through SetClientExtent. 1 without a mode (or an unknown one), else SetClientExtent's.
  QZResult RecomputeAutoExtent();

private:
  // The thicknesses (from the corner's skin, else the bars' sizes), each bar's value
  // change routed once, then the bar layout.
  void SetUpBars(bool subscribe);
  void LayOutBars();
  void UpdateBarRanges();
  void UpdateBarRange(int32_t axis);
  // Largest far edge of the children not docked on each axis.
  SizeT<double> ChildrenExtent() const;
  // Sets the cross-axis size of a bar (or of the corner) to shown ? thickness : 0.
  void ShowBar(int32_t axis, bool shown);
  // The bar of an axis (0 the horizontal), its row size (0 in pixel mode).
  const RCPtr<LScrollbar>& BarOf(int32_t axis) const { return axis == 0 ? mHBar : mVBar; }
  int32_t RowSizeOf(int32_t axis) const { return axis == 0 ? mHRowSize : mVRowSize; }
  QZResult ScrollByWheel(const RCPtr<LScrollbar>& bar, const RCPtr<LMouseWheelParam>& param, bool towardsEnd);

  QZResult OnBarMoved(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);

  bool mInBarUpdate = false;
  bool mInSetScrollOffset = false;
  bool mInClientAreaUpdate = false;
  RCPtr<LScrollbar> mHBar;
  RCPtr<LScrollbar> mVBar;
  RCPtr<LControl> mCorner;
  SizeT<double> mClientExtent;
  double mVBarThickness = 0.0;
  double mHBarThickness = 0.0;
  int32_t mHRowSize = 0;
  int32_t mVRowSize = 0;
  int32_t mAutoExtentMode = kAutoExtentNone;
  int32_t mAutoExtentMarginX = 0;
  int32_t mAutoExtentMarginY = 0;
};

} // namespace QZ
