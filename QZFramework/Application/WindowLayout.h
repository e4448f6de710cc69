#pragma once
// How the application base makes its windows: the style word a skin descriptor's size
// limits give a window, and how a window's rectangle is held on the desktop's work area.
//
//   uint32_t style = QZ::MainWindowStyle(descriptor->GetLayout().Get());   // 0x00CF0000
//   QZ::RectT<int32_t> placed = QZ::MoveInsideArea(window, workArea);
//
// Size limits as the skin gives them (LLayoutDescriptor minimum and maximum, per axis): a
// value (abs), a secondary value (rel) and a flag telling whether the limit is set
// (toControl). A window is of fixed size when it has a minimum equal to its maximum on both
// axes, or when all four limits are set; then it gets no sizing border (and no maximise
// box). Values only: any thread.

#include <cstdint>

#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/Utilities/Graphics/Geometry.h"

namespace QZ {

// The window styles these words are made of (the window layer's WS_ values).
inline constexpr uint32_t kStylePopup = 0x80000000u;
inline constexpr uint32_t kStyleCaption = 0x00C00000u;
inline constexpr uint32_t kStyleSystemMenu = 0x00080000u;
inline constexpr uint32_t kStyleSizingBorder = 0x00040000u;
inline constexpr uint32_t kStyleMinimizeBox = 0x00020000u;
inline constexpr uint32_t kStyleMaximizeBox = 0x00010000u;

// Whether the limits of layout (null: none) let the user size the window.
bool IsResizable(const LLayoutDescriptor* layout);

// The main window: 0x00CA0000 (caption, system menu, minimise box) for a fixed size;
// 0x00CE0000 (and a sizing border) for a sizable one; 0x00CF0000 (and a maximise box) for a
// sizable one without a maximum on either axis.
uint32_t MainWindowStyle(const LLayoutDescriptor* layout);

// Any other root window: a pop-up with a caption (0x80C00000); with any of the three
// caption flags a system menu, with maximizeBox a maximise box, with minimizeBox a
// minimise box; resizable adds the sizing border.
uint32_t RootWindowStyle(bool resizable, bool systemMenu, bool minimizeBox, bool maximizeBox);

// window shrunk to area's size where it is larger.
RectT<int32_t> ShrinkToArea(RectT<int32_t> window, const RectT<int32_t>& area);

// window moved onto area: an edge beyond the right or bottom moves it left or up, then an
// edge beyond the left or top right or down, so that its top left corner (its caption)
// is always inside. A window larger than area keeps its size.
RectT<int32_t> MoveInsideArea(RectT<int32_t> window, const RectT<int32_t>& area);

// window moved onto area and, where it is still larger than area, cut at area's right and
// bottom.
RectT<int32_t> FitInsideArea(RectT<int32_t> window, const RectT<int32_t>& area);

} // namespace QZ
