#include "Platform/Window/WindowState.h"

#include "Platform/Window/VirtualKeys.h"

namespace QZ::Platform::Window::Detail {

State gState;
thread_local constinit bool tOnUiThread __attribute__((tls_model("initial-exec"))) = false;

bool IsInputMessage(const MSG& msg) {
  switch (msg.message) {
  case WM_KEYDOWN:
  case WM_KEYUP:
  case WM_CHAR:
  case WM_SYSKEYDOWN:
  case WM_SYSKEYUP:
  case WM_SYSCHAR:
  case WM_MOUSEMOVE:
  case WM_LBUTTONDOWN:
  case WM_LBUTTONUP:
  case WM_LBUTTONDBLCLK:
  case WM_RBUTTONDOWN:
  case WM_RBUTTONUP:
  case WM_RBUTTONDBLCLK:
  case WM_MBUTTONDOWN:
  case WM_MBUTTONUP:
  case WM_MBUTTONDBLCLK:
  case WM_MOUSEWHEEL:
  case WM_MOUSEHWHEEL:
  case WM_DROPFILES:
    return true;
  case WM_SYSCOMMAND:
    return (msg.wParam & 0xFFF0) == SC_CLOSE;
  default:
    return false;
  }
}

WindowRecord* FindAndRemember(State& state, HWND hwnd) {
  WindowRecord* record = FindLocked(state, hwnd);
  if (record) {
    state.lastHandle = hwnd;
    state.lastSdlId = record->sdlId;
    state.lastRecord = record;
  }
  return record;
}

void KeyStateTable::ApplyWithModifiers(const KeyStateChange& change) {
  static_assert(kFirstModifier == VK_SHIFT);
  if (change.key != 0) {
    Press(change.key, change.down);
  }
  // The generic modifier is held while either side is. Only a modifier's change can move
  // them: after any other key they still follow their sides, as every change left them.
  if ((change.key >= VK_SHIFT && change.key <= VK_MENU) || (change.key >= VK_LSHIFT && change.key <= VK_RMENU)) {
    Press(VK_SHIFT, IsDown(VK_LSHIFT) || IsDown(VK_RSHIFT));
    Press(VK_CONTROL, IsDown(VK_LCONTROL) || IsDown(VK_RCONTROL));
    Press(VK_MENU, IsDown(VK_LMENU) || IsDown(VK_RMENU));
  }
  if (change.locks >= 0) {
    auto toggle = [this](uint8_t key, bool on) { mState[key] = uint8_t((mState[key] & 0x80) | (on ? 0x01 : 0)); };
    toggle(VK_CAPITAL, change.locks & KMOD_CAPS);
    toggle(VK_NUMLOCK, change.locks & KMOD_NUM);
    toggle(VK_SCROLL, change.locks & KMOD_SCROLL);
  }
}

void StopMouseCapture(State& state) {
  if (state.mouseCaptured) {
    state.mouseCaptured = false;
    state.backend->CaptureMouse(false);
  }
}

void ReleaseInputResources(State& state) {
  if (state.backend) {
    for (auto& [record, owned] : state.cursors) {
      state.backend->FreeCursor(owned->cursor);
    }
  }
  state.cursors.clear();
  state.sharedCursors.clear();
  state.currentCursor = nullptr;
  state.cursorRemoved = false;
  state.drops.clear();
  state.droppingPaths.clear();
  state.droppingWindow = 0;
}

} // namespace QZ::Platform::Window::Detail
