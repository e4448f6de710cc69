#include "QZFramework/Application/WindowLayout.h"

#include <algorithm>

namespace QZ {

namespace {

bool SameLimit(const LayoutLimit& a, const LayoutLimit& b) {
  return a.toControl == b.toControl && a.abs == b.abs && a.rel == b.rel;
}

bool IsZero(const LayoutLimit& limit) { return limit.abs == 0.0 && limit.rel == 0.0f; }

int64_t Right(const RectT<int32_t>& rect) { return int64_t(rect.x) + rect.width; }
int64_t Bottom(const RectT<int32_t>& rect) { return int64_t(rect.y) + rect.height; }

bool IsFixedSize(const LLayoutDescriptor& layout) {
  const bool noMinimum = IsZero(layout.minimum[0]) && IsZero(layout.minimum[1]);
  const bool minimumIsMaximum =
      SameLimit(layout.minimum[0], layout.maximum[0]) && SameLimit(layout.minimum[1], layout.maximum[1]);
  const bool allSet = layout.minimum[0].toControl && layout.minimum[1].toControl && layout.maximum[0].toControl &&
                      layout.maximum[1].toControl;
  return (!noMinimum && minimumIsMaximum) || allSet;
}

} // namespace

bool IsResizable(const LLayoutDescriptor* layout) { return !layout || !IsFixedSize(*layout); }

uint32_t MainWindowStyle(const LLayoutDescriptor* layout) {
  constexpr uint32_t kFixed = kStyleCaption | kStyleSystemMenu | kStyleMinimizeBox; // 0x00CA0000
  if (!IsResizable(layout)) {
    return kFixed;
  }
  const bool noMaximum = !layout || (IsZero(layout->maximum[0]) && IsZero(layout->maximum[1]) &&
                                     !layout->maximum[0].toControl && !layout->maximum[1].toControl);
  return kFixed | kStyleSizingBorder | (noMaximum ? kStyleMaximizeBox : 0u);
}

uint32_t RootWindowStyle(bool resizable, bool systemMenu, bool minimizeBox, bool maximizeBox) {
  uint32_t style = kStylePopup | kStyleCaption;
  if (systemMenu || minimizeBox || maximizeBox) {
    style |= kStyleSystemMenu;
  }
  style |= maximizeBox ? kStyleMaximizeBox : 0u;
  style |= minimizeBox ? kStyleMinimizeBox : 0u;
  style |= resizable ? kStyleSizingBorder : 0u;
  return style;
}

RectT<int32_t> ShrinkToArea(RectT<int32_t> window, const RectT<int32_t>& area) {
  window.width = std::min(window.width, std::max(area.width, 0));
  window.height = std::min(window.height, std::max(area.height, 0));
  return window;
}

RectT<int32_t> MoveInsideArea(RectT<int32_t> window, const RectT<int32_t>& area) {
  if (Right(window) > Right(area)) {
    window.x = int32_t(std::max<int64_t>(Right(area) - window.width, INT32_MIN));
  }
  if (Bottom(window) > Bottom(area)) {
    window.y = int32_t(std::max<int64_t>(Bottom(area) - window.height, INT32_MIN));
  }
  window.x = std::max(window.x, area.x);
  window.y = std::max(window.y, area.y);
  return window;
}

RectT<int32_t> FitInsideArea(RectT<int32_t> window, const RectT<int32_t>& area) {
  window = MoveInsideArea(window, area);
  if (Right(window) > Right(area)) {
    window.width = int32_t(std::max<int64_t>(Right(area) - window.x, 0));
  }
  if (Bottom(window) > Bottom(area)) {
    window.height = int32_t(std::max<int64_t>(Bottom(area) - window.y, 0));
  }
  return window;
}

} // namespace QZ
