#include "QZFramework/Application/ApplicationCursors.h"

#include <string_view>

#include "Platform/Window/WindowTypes.h"

namespace QZ {

namespace Win = Platform::Window;

uint32_t SystemCursorOfName(const WString& name) {
  struct Entry {
    std::u16string_view name;
    uint32_t cursor;
  };
  static constexpr Entry kTable[] = {
      {u"UI_CURSOR_ARROW", Win::IDC_ARROW},        {u"UI_CURSOR_IBEAM", Win::IDC_IBEAM},
      {u"UI_CURSOR_WAIT", Win::IDC_WAIT},          {u"UI_CURSOR_CROSS", Win::IDC_CROSS},
      {u"UI_CURSOR_SIZE_ALL", Win::IDC_SIZEALL},   {u"UI_CURSOR_SIZE_NWSE", Win::IDC_SIZENWSE},
      {u"UI_CURSOR_SIZE_NESW", Win::IDC_SIZENESW}, {u"UI_CURSOR_SIZE_WE", Win::IDC_SIZEWE},
      {u"UI_CURSOR_SIZE_NS", Win::IDC_SIZENS},     {u"UI_CURSOR_NO_DROP", Win::IDC_NO},
      {u"UI_CURSOR_HAND", Win::IDC_HAND},          {u"UI_CURSOR_APP_STARTING", Win::IDC_APPSTARTING},
  };
  const std::u16string_view text = name.View();
  for (const Entry& entry : kTable) {
    if (entry.name == text) {
      return entry.cursor;
    }
  }
  return Win::IDC_ARROW;
}

} // namespace QZ
