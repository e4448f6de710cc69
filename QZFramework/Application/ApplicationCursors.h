#pragma once
// The application's cursor table: the system cursor of each "UI_CURSOR_" name.
//
//   uint32_t id = QZ::SystemCursorOfName(u"UI_CURSOR_SIZE_WE");          // IDC_SIZEWE (32644)
//   HCURSOR cursor = QZ::Platform::Window::LoadCursor(id);             // made once, shared
//
// "UI_CURSOR_ARROW", "UI_CURSOR_IBEAM", "UI_CURSOR_WAIT", "UI_CURSOR_CROSS",
// "UI_CURSOR_SIZE_ALL", "UI_CURSOR_SIZE_NWSE", "UI_CURSOR_SIZE_NESW", "UI_CURSOR_SIZE_WE",
// "UI_CURSOR_SIZE_NS", "UI_CURSOR_NO_DROP" (the no-entry sign), "UI_CURSOR_HAND" and
// "UI_CURSOR_APP_STARTING" (the arrow with the busy sign) have cursors of their own; the
// window system has no up arrow or help cursor, so "UI_CURSOR_UP_ARROW" and
// "UI_CURSOR_HELP" are the arrow, as is any other name. Names are compared as text. Any
// thread.

#include <cstdint>

#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// The IDC_ cursor id of name.
uint32_t SystemCursorOfName(const WString& name);

} // namespace QZ
