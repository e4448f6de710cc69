#pragma once
// The desktop: its work area and its resolution.
//
//   RECT area;
//   if (GetWorkArea(&area)) { ... keep the window inside area ... }
//   bool highDpi = GetScreenDpi() >= 160;

#include <cstdint>
#include <optional>
#include <string_view>

#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Window {

// The first display's usable area (without panels and docks) in screen coordinates.
// UI thread; false when the layer does not run or SDL does not know it.
bool GetWorkArea(RECT* area);

// Dots per inch of the screen: QZ_DPI when it holds a positive integer, else the X
// resource Xft.dpi of the display DISPLAY names, else 96. Any thread; asks the X server
// at each call.
int32_t GetScreenDpi();

// The Xft.dpi value in the text of an X resource database ("Xft.dpi:\t144" lines),
// rounded; nothing when it is missing or not a positive number.
std::optional<int32_t> ParseXftDpi(std::string_view resources);

} // namespace QZ::Platform::Window
