#include "QZFramework/Controls/ScrollView.h"

#include <algorithm>
#include <cmath>

#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/Scrollbar.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

// Extents closer than this are the same extent.
constexpr double kSameExtent = 2.220446049250313e-15;

// Sets a re-entrancy guard for a scope (and puts back what it was).
class GuardFlag {
public:
  explicit GuardFlag(bool& flag) : mFlag(flag), mWas(flag) { mFlag = true; }
  ~GuardFlag() { mFlag = mWas; }
  GuardFlag(const GuardFlag&) = delete;
  GuardFlag& operator=(const GuardFlag&) = delete;

private:
  bool& mFlag;
  bool mWas;
};

double SizeOn(const SizeT<double>& size, int32_t axis) { return axis == 0 ? size.width : size.height; }
double ExtentOn(const RectT<double>& rect, int32_t axis) { return axis == 0 ? rect.width : rect.height; }

} // namespace

LScrollView::LScrollView(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

bool LScrollView::IsPartShown(const LControl* part) {
  if (!part || !part->GetLayoutDescriptor() || !part->GetLayoutDescriptor()->isVisible) {
    return false;
  }
  return part->GetRect().width > 0.0 && part->GetRect().height > 0.0;
}

// =============================================================================================
// Initialisation and skin
// =============================================================================================

QZResult LScrollView::Initialize() {
  const QZResult base = LControl::Initialize();
  if (Failed(base)) {
    return base;
  }
  const RCPtr<LControl> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  // Every scroll view of a tree looks its parts up: their names are made once.
  static const WString corner(u"corner");
  static const WString hBar(u"hBar");
  static const WString vBar(u"vBar");
  mCorner = FindChildByName(corner);
  mHBar = DynamicCast<LScrollbar>(FindChildByName(hBar));
  mVBar = DynamicCast<LScrollbar>(FindChildByName(vBar));
  SetUpBars(true);
  return QZ_OK;
}

QZResult LScrollView::ApplyCreateParams() {
  const QZResult base = LControl::ApplyCreateParams();
  const LStringTable* params = GetControlDescriptor() ? GetControlDescriptor()->GetCreateParams().Get() : nullptr;
  WString text;
  if (LookupString(params, TableKey<u"AUTO_CLIENT_EXTENT_X">(), text) && IsTrueText(text)) {
    mAutoExtentMode |= kAutoExtentWidth;
  }
  if (LookupString(params, TableKey<u"AUTO_CLIENT_EXTENT_Y">(), text) && IsTrueText(text)) {
    mAutoExtentMode |= kAutoExtentHeight;
  }
  mAutoExtentMarginX = 0;
  mAutoExtentMarginY = 0;
  RecomputeAutoExtent();
  return base;
}

QZResult LScrollView::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) {
  if (!GetHandlerTable()) {
    return LControl::ApplyDescriptor(descriptor);
  }
  const RCPtr<LControl> self(this);
  // The children come and go while the skin is applied: the extent waits for all of them.
  const int32_t mode = mAutoExtentMode;
  mAutoExtentMode = kAutoExtentNone;
  QZResult result;
  try {
    result = LControl::ApplyDescriptor(descriptor);
  } catch (...) {
    mAutoExtentMode = mode;
    throw;
  }
  mAutoExtentMode = mode;
  if (Failed(result)) {
    return result;
  }
  SetUpBars(false);
  RecomputeAutoExtent();
  LayOutBars();
  UpdateClientArea();
  return result;
}

void LScrollView::SetUpBars(bool subscribe) {
  mVBarThickness = 0.0;
  mHBarThickness = 0.0;
  if (mCorner) {
    // The skin's size: the corner's own placement is zeroed while a bar is hidden.
    const RCPtr<LControlDescriptor>& entry = mCorner->GetControlDescriptor();
    const RCPtr<LLayoutDescriptor> layout =
        entry && entry->GetLayout() ? entry->GetLayout() : mCorner->GetLayoutDescriptor();
    if (layout) {
      mVBarThickness = layout->size[0].abs;
      mHBarThickness = layout->size[1].abs;
    }
  }
  if (mHBar) {
    if (subscribe) {
      GetHandlerTable()->AddHandler(&LScrollView::OnBarMoved, RCPtr<LNotificationDistributor>(mHBar),
                                    u"NID_VALUE_CHANGE"); // a bar is a distributor
    }
    if (mHBarThickness == 0.0) {
      mHBarThickness = mHBar->GetRect().height;
    }
  }
  if (mVBar) {
    if (subscribe) {
      GetHandlerTable()->AddHandler(&LScrollView::OnBarMoved, RCPtr<LNotificationDistributor>(mVBar),
                                    u"NID_VALUE_CHANGE"); // a bar is a distributor
    }
    if (mVBarThickness == 0.0) {
      mVBarThickness = mVBar->GetRect().width;
    }
  }
  LayOutBars();
}

// =============================================================================================
// Client extent
// =============================================================================================

QZResult LScrollView::SetClientExtent(double width, double height) {
  if (std::fabs(width - mClientExtent.width) < kSameExtent && std::fabs(height - mClientExtent.height) < kSameExtent) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  mClientExtent = {width, height};
  UpdateScrollBarsIfNeeded();
  Announce(u"NID_CLIENT_EXTENT_CHANGE");
  return QZ_OK;
}

QZResult LScrollView::SetAutoClientExtent(int32_t mode, int32_t marginX, int32_t marginY) {
  mAutoExtentMode = mode;
  mAutoExtentMarginX = marginX;
  mAutoExtentMarginY = marginY;
  RecomputeAutoExtent();
  return QZ_OK;
}

SizeT<double> LScrollView::ChildrenExtent() const {
  SizeT<double> extent;
  for (uint32_t i = GetChildren().GetCount(); i-- > 0;) {
    const LControl& child = *GetChildren().GetAt(i, ChildControlList::kInsertionOrder);
    const RCPtr<LLayoutDescriptor>& layout = child.GetLayoutDescriptor();
    const RectT<double>& rect = child.GetRect();
    if (!layout || !layout->position[0].docked) {
      extent.width = std::max(extent.width, rect.x + rect.width);
    }
    if (!layout || !layout->position[1].docked) {
      extent.height = std::max(extent.height, rect.y + rect.height);
    }
  }
  return extent;
}

QZResult LScrollView::RecomputeAutoExtent() {
  if (mAutoExtentMode < kAutoExtentWidth || mAutoExtentMode > kAutoExtentBoth) {
    return QZ_FALSE;
  }
  const SizeT<double> children = ChildrenExtent();
  const double width = mAutoExtentMode & kAutoExtentWidth ? children.width + mAutoExtentMarginX : mClientExtent.width;
  const double height =
      mAutoExtentMode & kAutoExtentHeight ? children.height + mAutoExtentMarginY : mClientExtent.height;
  return SetClientExtent(width, height);
}

void LScrollView::SetRowMode(int32_t axis, int32_t rowSize) {
  const RCPtr<LControl> self(this);
  // The bar's units change (rows, pixels): the content stays where it is.
  const PointT<double> offset = GetScrollOffset();
  (axis == 0 ? mHRowSize : mVRowSize) = rowSize;
  UpdateScrollBarsIfNeeded();
  SetScrollOffset(offset); // the bars follow
}

// =============================================================================================
// Bar layout
// =============================================================================================

QZResult LScrollView::UpdateScrollBarsIfNeeded() {
  LayOutBars();
  return QZ_OK;
}

QZResult LScrollView::OnViewRectChanged() { return QZ_OK; }

QZResult LScrollView::OnScrollBarShownChanged(int32_t) { return QZ_OK; }

void LScrollView::LayOutBars() {
  if (mInBarUpdate) {
    return;
  }
  const RCPtr<LControl> self(this);
  GuardFlag guard(mInBarUpdate);
  const LControl* vRoomOf = mCorner ? mCorner.Get() : mVBar.Get();
  const LControl* hRoomOf = mCorner ? mCorner.Get() : mHBar.Get();
  const bool vRoom = vRoomOf && vRoomOf->GetRect().width > 0.0;
  const bool hRoom = hRoomOf && hRoomOf->GetRect().height > 0.0;

  const RectT<double> content = GetContentRect();
  const double fullWidth = content.width + (vRoom ? mVBarThickness : 0.0);
  const double fullHeight = content.height + (hRoom ? mHBarThickness : 0.0);
  RecomputeAutoExtent();

  bool needV = mClientExtent.height > fullHeight;
  const bool needH = mClientExtent.width > fullWidth - (needV ? mVBarThickness : 0.0);
  if (needH && !needV) {
    // The horizontal bar takes height the content needed.
    needV = mClientExtent.height > fullHeight - mHBarThickness;
  }
  if (mVBar && IsPartShown(mVBar.Get()) != needV) {
    ShowBar(1, needV);
  }
  if (mHBar && IsPartShown(mHBar.Get()) != needH) {
    ShowBar(0, needH);
  }
  UpdateBarRanges();

  if (mVBar && IsPartShown(mVBar.Get()) != vRoom) {
    OnScrollBarShownChanged(1);
  }
  if (mHBar && IsPartShown(mHBar.Get()) != hRoom) {
    OnScrollBarShownChanged(0);
  }
  if (GetContentRect() != content) {
    OnViewRectChanged();
  }
  RecomputeAutoExtent();
}

void LScrollView::ShowBar(int32_t axis, bool shown) {
  const RCPtr<LControl> target = mCorner ? mCorner : RCPtr<LControl>(BarOf(axis));
  const RCPtr<LLayoutDescriptor>& layout = target->GetLayoutDescriptor();
  if (!layout) {
    return;
  }
  // The vertical bar's width, the horizontal bar's height.
  const int32_t cross = axis == 1 ? 0 : 1;
  LayoutPosition position;
  LayoutSize size;
  layout->GetAxis(cross, position, size);
  size.abs = shown ? (axis == 1 ? mVBarThickness : mHBarThickness) : 0.0;
  target->SetAxisPlacement(cross, position, size);
}

void LScrollView::UpdateBarRanges() {
  UpdateBarRange(0);
  UpdateBarRange(1);
}

void LScrollView::UpdateBarRange(int32_t axis) {
  const RCPtr<LScrollbar> bar = BarOf(axis);
  if (!bar || !bar->GetParent()) {
    return;
  }
  const double view = ExtentOn(GetContentRect(), axis);
  const double extent = SizeOn(mClientExtent, axis);
  const int32_t rowSize = RowSizeOf(axis);
  if (rowSize > 0) {
    const double total = std::floor(extent / rowSize);
    const double visible = std::floor(view / rowSize);
    const double line = visible < total ? 1.0 / (total - visible) : 1.0;
    bar->SetValueRange(0.0, std::max(total - visible, 0.0), 0);
    bar->SetLineStep(line);
    bar->SetPageStep(std::min(visible * line, 1.0));
    bar->SetThumbRatio(visible < total ? visible / total : 1.0);
    bar->UpdateClientArea();
    return;
  }
  const bool scrolls = view < extent;
  const double page = scrolls ? std::min(view / (extent - view), 1.0) : 1.0;
  // Nothing to scroll is the range 0..0, not a range that ends below its start.
  bar->SetValueRange(0.0, std::max(extent - view, 0.0), 0);
  bar->SetThumbRatio(scrolls ? view / extent : 1.0);
  bar->SetPageStep(page);
  bar->SetLineStep(page / 10.0);
  bar->UpdateClientArea();

  const double offset = double(std::max<int64_t>(RoundHalfAway((extent - view) * bar->GetValue()), 0));
  if (offset != GetScrollOffset().Axis(axis)) {
    const PointT<double> wanted =
        axis == 0 ? PointT<double>{offset, GetScrollOffset().y} : PointT<double>{GetScrollOffset().x, offset};
    SetScrollOffset(wanted);
  }
}

SizeT<double> LScrollView::GetScrollBarSizes() const {
  if (mCorner) {
    return {mCorner->GetRect().width, mCorner->GetRect().height};
  }
  return {mVBar ? mVBar->GetRect().width : 0.0, mHBar ? mHBar->GetRect().height : 0.0};
}

// =============================================================================================
// Client area and scrolling
// =============================================================================================

RectT<double> LScrollView::GetContentRect() {
  RectT<double> content = LControl::GetContentRect();
  if (mCorner) {
    content.width -= mCorner->GetRect().width;
    content.height -= mCorner->GetRect().height;
  } else {
    content.width -= IsPartShown(mVBar.Get()) ? mVBar->GetRect().width : 0.0;
    content.height -= IsPartShown(mHBar.Get()) ? mHBar->GetRect().height : 0.0;
  }
  content.width = std::max(content.width, 0.0);
  content.height = std::max(content.height, 0.0);
  return content;
}

RectT<double> LScrollView::GetSizeLimits(const RCPtr<LControl>&) {
  const RectT<double> content = GetContentRect();
  const double width = mClientExtent.width == 0.0 ? kUnlimited : std::max(mClientExtent.width - content.width, 0.0);
  const double height = mClientExtent.height == 0.0 ? kUnlimited : std::max(mClientExtent.height - content.height, 0.0);
  return {0.0, 0.0, width, height};
}

PointT<double> LScrollView::GetContentExtent() {
  PointT<double> extent = LControl::GetContentExtent();
  if (GetLayoutDescriptor()) {
    const SizeT<double> children = ChildrenExtent();
    if (GetLayoutDescriptor()->maximum[0].toControl && GetLayoutDescriptor()->maximum[0].name == u"Children") {
      extent.x = children.width;
    }
    if (GetLayoutDescriptor()->maximum[1].toControl && GetLayoutDescriptor()->maximum[1].name == u"Children") {
      extent.y = children.height;
    }
  }
  return extent;
}

RectT<double> LScrollView::ComputeClientExtent() {
  const RectT<double> look = GetLookRect(-1);
  const SizeT<double> children = ChildrenExtent();
  const double x = std::max(std::min(GetScrollOffset().x, children.width - look.width), 0.0);
  const double y = std::max(std::min(GetScrollOffset().y, children.height - look.height), 0.0);
  return {x, y, std::max(look.width, 1.0), std::max(look.height, 1.0)};
}

QZResult LScrollView::BeginClientUpdate() {
  mInClientAreaUpdate = true;
  return LControl::BeginClientUpdate();
}

QZResult LScrollView::UpdateClientArea() {
  const RCPtr<LControl> self(this);
  LControl::UpdateClientArea();
  mInClientAreaUpdate = false;
  RecomputeAutoExtent();
  LayOutBars();
  return QZ_OK;
}

QZResult LScrollView::SetScrollOffset(const PointT<double>& offset) {
  const RectT<double> limits = GetSizeLimits(nullptr);
  const PointT<double> kept{std::clamp(offset.x, limits.x, limits.x + limits.width),
                            std::clamp(offset.y, limits.y, limits.y + limits.height)};
  const RCPtr<LControl> self(this);
  GuardFlag guard(mInSetScrollOffset);
  return LControl::SetScrollOffset(kept);
}

QZResult LScrollView::ScrollContent(const PointT<double>& oldOffset, const PointT<double>& newOffset) {
  const RCPtr<LControl> self(this);
  const RectT<double> content = GetContentRect();
  for (int32_t axis = 0; axis < 2 && GetHandlerTable(); ++axis) {
    const RCPtr<LScrollbar> bar = BarOf(axis);
    if (!bar) {
      continue;
    }
    const double offset = newOffset.Axis(axis);
    double position;
    if (RowSizeOf(axis) > 0) {
      position = bar->ValueToNormalized(offset / RowSizeOf(axis));
    } else {
      const double span = std::max(SizeOn(mClientExtent, axis) - ExtentOn(content, axis), 0.0);
      position = span > 0.0 ? offset / span : 0.0;
    }
    CAutoNotificationDisabler<LScrollView> quiet(GetHandlerTable(), RCPtr<LNotificationDistributor>(bar),
                                                 u"NID_VALUE_CHANGE");
    bar->SetValue(position);
  }
  return LControl::ScrollContent(oldOffset, newOffset);
}

QZResult LScrollView::OnBarMoved(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>&) {
  const RCPtr<LScrollbar> bar = DynamicCast<LScrollbar>(distributor);
  const int32_t axis = !bar ? -1 : bar == mHBar ? 0 : bar == mVBar ? 1 : -1;
  if (axis < 0) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const double units = bar->NormalizedToValue(bar->GetValue());
  const double offset = RowSizeOf(axis) > 0 ? units * RowSizeOf(axis) : double(RoundHalfAway(units));
  const PointT<double> wanted =
      axis == 0 ? PointT<double>{offset, GetScrollOffset().y} : PointT<double>{GetScrollOffset().x, offset};
  SetScrollOffset(wanted);
  return QZ_FALSE;
}

QZResult LScrollView::OnChildLayoutChanged(const RCPtr<LControl>& child) {
  if (child && !mInBarUpdate && !mInSetScrollOffset && !mInClientAreaUpdate) {
    const RCPtr<LLayoutDescriptor>& layout = child->GetLayoutDescriptor();
    if (layout && layout->position[0].docked && layout->position[1].docked) {
      LayOutBars();
    } else {
      RecomputeAutoExtent();
    }
  }
  return LControl::OnChildLayoutChanged(child);
}

QZResult LScrollView::OnChildRemoved(const RCPtr<LControl>& child, uint32_t index) {
  if (GetRootWindowRef()) {
    RecomputeAutoExtent();
  }
  return LControl::OnChildRemoved(child, index);
}

// =============================================================================================
// The wheel
// =============================================================================================

QZResult LScrollView::OnMouseWheelV(const RCPtr<LMouseWheelParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const bool vShown = IsPartShown(mVBar.Get());
  const bool hShown = IsPartShown(mHBar.Get());
  RCPtr<LScrollbar> bar;
  if (vShown && hShown) {
    bar = param->GetModifiers() & kModifierAlt ? mHBar : mVBar;
  } else {
    bar = vShown ? mVBar : hShown ? mHBar : nullptr;
  }
  return ScrollByWheel(bar, param, param->GetDirection() == kWheelDown);
}

QZResult LScrollView::OnMouseWheelH(const RCPtr<LMouseWheelParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LScrollbar> bar = IsPartShown(mHBar.Get())   ? mHBar
                                : IsPartShown(mVBar.Get()) ? mVBar
                                                           : RCPtr<LScrollbar>();
  // Tilting right scrolls towards the right.
  return ScrollByWheel(bar, param, param->GetDirection() == kWheelRight);
}

QZResult LScrollView::ScrollByWheel(const RCPtr<LScrollbar>& bar, const RCPtr<LMouseWheelParam>& param,
                                    bool towardsEnd) {
  if (!bar) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const double step = param->GetModifiers() & kModifierShift ? bar->GetPageStep() : bar->GetLineStep();
  bar->SetValue(bar->GetValue() + (towardsEnd ? step : -step)); // the view follows the bar
  return QZ_OK;
}

} // namespace QZ
