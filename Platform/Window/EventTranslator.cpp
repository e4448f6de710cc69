#include "Platform/Window/EventTranslator.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "Platform/Window/TextConversion.h"
#include "Platform/Window/VirtualKeys.h"
#include "Platform/Window/Window.h"
#include "Platform/Window/WindowState.h"

namespace QZ::Platform::Window {

using namespace Detail;

namespace {

// What the translation of one event needs to know of a window, read under the lock.
struct WindowView {
  HWND hwnd = nullptr;
  POINT origin;
  SIZE size;
};

// The translation runs on the UI thread: it reads the table without the lock.
WindowView ViewOf(State& state, HWND hwnd) {
  const WindowRecord* record = FindOnUiThread(state, hwnd);
  return record ? WindowView{hwnd, record->origin, record->size} : WindowView{};
}

WindowView ViewOfSdlId(State& state, uint32_t sdlId) { return ViewOf(state, FindBySdlId(state, sdlId)); }

class Translator {
public:
  // The pointer's moves and buttons, most of what comes, each through a compact body of its
  // own: inlined into the translation of every kind, their few instructions lay spread
  // over its whole length.
  [[gnu::noinline]] static void Motion(State& state, InputQueue& out, const SDL_MouseMotionEvent& event) {
    Translator(state, out, event.timestamp).Motion(event);
  }
  [[gnu::noinline]] static void Button(State& state, InputQueue& out, const SDL_MouseButtonEvent& event) {
    Translator(state, out, event.timestamp).Button(event);
  }
  // Every other event.
  [[gnu::noinline]] static void Other(State& state, InputQueue& out, SDL_Event& event) {
    Translator(state, out, event.common.timestamp).Translate(event);
  }

private:
  // Messages carry the time SDL gave the event, or the time of now for events without.
  Translator(State& state, InputQueue& out, uint32_t eventTime)
      : mState(state), mOut(out), mTime(eventTime ? eventTime : uint32_t(state.backend->GetTicks())) {}

  void Translate(SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      Key(event.key);
      break;
    case SDL_TEXTINPUT:
      Text(event.text);
      break;
    case SDL_MOUSEWHEEL:
      Wheel(event.wheel);
      break;
    case SDL_WINDOWEVENT:
      WindowEvent(event.window);
      break;
    case SDL_DISPLAYEVENT:
      DisplayChange();
      break;
    case SDL_DROPBEGIN:
      mState.droppingPaths.clear();
      mState.droppingWindow = event.drop.windowID;
      break;
    case SDL_DROPFILE:
    case SDL_DROPTEXT:
      Dropped(event.drop);
      break;
    case SDL_DROPCOMPLETE:
      DropComplete(event.drop);
      break;
    case SDL_CLIPBOARDUPDATE:
      ClipboardUpdate();
      break;
    case SDL_QUIT:
      Emit(nullptr, WM_QZ_QUITREQUESTED, 0, 0);
      break;
    default:
      if (event.type == mState.wakeEventType) {
        std::lock_guard hold(mState.lock);
        mState.wakePending = false;
      }
      break;
    }
  }

  void Emit(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam, KeyStateChange change = {}) {
    // Field by field: building the message whole first and copying it costs more than the
    // rest of a mouse move's translation.
    InputMessage& input = mOut.emplace_back();
    input.msg.hwnd = hwnd;
    input.msg.message = message;
    input.msg.wParam = wParam;
    input.msg.lParam = lParam;
    input.msg.time = mTime;
    input.msg.pt = mState.cursorPosition;
    input.change = change;
  }

  // The key-state table as it will be once `change` is applied.
  KeyStateTable After(const KeyStateChange& change) const {
    KeyStateTable after = mState.keys;
    after.Apply(change);
    return after;
  }

  // The window keyboard events go to: the one SDL names, else the focus window.
  HWND KeyboardTarget(uint32_t sdlId) const {
    const WindowView view = ViewOfSdlId(mState, sdlId);
    return view.hwnd ? view.hwnd : mState.focus;
  }

  void Key(const SDL_KeyboardEvent& event) {
    const HWND target = KeyboardTarget(event.windowID);
    const VirtualKeyInfo info = LookUpVirtualKey(event.keysym);
    const bool down = event.type == SDL_KEYDOWN;
    const KeyStateChange change{info.key, down, int32_t(event.keysym.mod & (KMOD_CAPS | KMOD_NUM | KMOD_SCROLL))};
    if (!target) {
      mState.keys.Apply(change); // no message to wait for: the table follows the keyboard now
      return;
    }
    const bool wasDown = info.key ? mState.keys.IsDown(info.key) : event.repeat != 0;
    const KeyStateTable after = After(change);
    const bool altKey = info.key == VK_LMENU || info.key == VK_RMENU;
    const bool ctrl = after.IsDown(VK_CONTROL);
    const bool alt = after.IsDown(VK_MENU);
    const bool system = !ctrl && (alt || (altKey && !down) || info.message == VK_F10);
    uint32_t flags = info.extended ? KF_EXTENDED : 0;
    if (system && alt) {
      flags |= KF_ALTDOWN;
    }
    if (!down) {
      flags |= KF_REPEAT | KF_UP;
    } else if (wasDown || event.repeat) {
      flags |= KF_REPEAT;
    }
    const uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    Emit(target, message, info.message, LPARAM(1u | flags << 16), change);
  }

  void Text(const SDL_TextInputEvent& event) {
    const HWND target = KeyboardTarget(event.windowID);
    if (!target) {
      return;
    }
    const bool system = mState.keys.IsDown(VK_MENU) && !mState.keys.IsDown(VK_CONTROL);
    const LPARAM lParam = LPARAM(1u | (system ? uint32_t(KF_ALTDOWN) << 16 : 0));
    for (char16_t unit : ToUtf16(event.text)) {
      Emit(target, system ? WM_SYSCHAR : WM_CHAR, unit, lParam);
    }
  }

  // MK_ flags of the buttons in `keys`, and of Shift and Ctrl.
  static WPARAM MouseFlags(const KeyStateTable& keys) {
    WPARAM flags = 0;
    flags |= keys.IsDown(VK_LBUTTON) ? MK_LBUTTON : 0;
    flags |= keys.IsDown(VK_RBUTTON) ? MK_RBUTTON : 0;
    flags |= keys.IsDown(VK_MBUTTON) ? MK_MBUTTON : 0;
    flags |= keys.IsDown(VK_SHIFT) ? MK_SHIFT : 0;
    flags |= keys.IsDown(VK_CONTROL) ? MK_CONTROL : 0;
    return flags;
  }

  // MouseFlags(After(change)) for the change of a mouse button, without a copy of the whole
  // table per click: Apply sets the button and takes the generic modifiers from their sides.
  static WPARAM MouseFlagsAfterButton(const KeyStateTable& keys, const KeyStateChange& change) {
    auto down = [&](uint8_t key) { return key == change.key ? change.down : keys.IsDown(key); };
    WPARAM flags = 0;
    flags |= down(VK_LBUTTON) ? MK_LBUTTON : 0;
    flags |= down(VK_RBUTTON) ? MK_RBUTTON : 0;
    flags |= down(VK_MBUTTON) ? MK_MBUTTON : 0;
    flags |= keys.IsDown(VK_LSHIFT) || keys.IsDown(VK_RSHIFT) ? MK_SHIFT : 0;
    flags |= keys.IsDown(VK_LCONTROL) || keys.IsDown(VK_RCONTROL) ? MK_CONTROL : 0;
    return flags;
  }

  // The window a mouse event at (x, y) of SDL window sdlId goes to, and the point in its
  // client coordinates; no window when the event is not over one of ours.
  WindowView MouseTarget(uint32_t sdlId, int32_t x, int32_t y, POINT& client) {
    const WindowView source = ViewOfSdlId(mState, sdlId);
    if (!source.hwnd) {
      return {};
    }
    const POINT screen{source.origin.x + x, source.origin.y + y};
    mState.cursorPosition = screen;
    const WindowView target = mState.capture ? ViewOf(mState, mState.capture) : source;
    if (!target.hwnd) {
      return {};
    }
    client = {screen.x - target.origin.x, screen.y - target.origin.y};
    return target;
  }

  void Motion(const SDL_MouseMotionEvent& event) {
    POINT client;
    const WindowView target = MouseTarget(event.windowID, event.x, event.y, client);
    if (target.hwnd) {
      Emit(target.hwnd, WM_MOUSEMOVE, MouseFlags(mState.keys), MakeLParam(client.x, client.y));
    }
  }

  void Button(const SDL_MouseButtonEvent& event) {
    // Each button's up and double-click messages follow its down message.
    static_assert(WM_LBUTTONUP == WM_LBUTTONDOWN + 1 && WM_LBUTTONDBLCLK == WM_LBUTTONDOWN + 2 &&
                  WM_MBUTTONUP == WM_MBUTTONDOWN + 1 && WM_MBUTTONDBLCLK == WM_MBUTTONDOWN + 2 &&
                  WM_RBUTTONUP == WM_RBUTTONDOWN + 1 && WM_RBUTTONDBLCLK == WM_RBUTTONDOWN + 2);
    uint8_t key = 0;
    uint32_t downMessage = 0;
    switch (event.button) {
    case SDL_BUTTON_LEFT:
      key = VK_LBUTTON;
      downMessage = WM_LBUTTONDOWN;
      break;
    case SDL_BUTTON_MIDDLE:
      key = VK_MBUTTON;
      downMessage = WM_MBUTTONDOWN;
      break;
    case SDL_BUTTON_RIGHT:
      key = VK_RBUTTON;
      downMessage = WM_RBUTTONDOWN;
      break;
    default:
      return;
    }
    const bool down = event.type == SDL_MOUSEBUTTONDOWN;
    const KeyStateChange change{key, down, -1};
    POINT client;
    const WindowView target = MouseTarget(event.windowID, event.x, event.y, client);
    if (!target.hwnd) {
      mState.keys.Apply(change); // no message to wait for: the table follows the mouse now
      return;
    }
    const uint32_t message = downMessage + (!down ? 1 : event.clicks % 2 == 0 ? 2 : 0);
    Emit(target.hwnd, message, MouseFlagsAfterButton(mState.keys, change), MakeLParam(client.x, client.y), change);
  }

  void Wheel(const SDL_MouseWheelEvent& event) {
    POINT client;
    const WindowView target = MouseTarget(event.windowID, event.mouseX, event.mouseY, client);
    if (!target.hwnd) {
      return;
    }
    const float sign = event.direction == SDL_MOUSEWHEEL_FLIPPED ? -1.0f : 1.0f;
    auto delta = [sign](float precise, int32_t whole) {
      const float notches = precise != 0.0f ? precise : float(whole);
      return std::clamp(int32_t(std::lround(notches * sign * float(WHEEL_DELTA))), -32768, 32767);
    };
    const LPARAM at = MakeLParam(client.x + target.origin.x, client.y + target.origin.y);
    const WPARAM flags = MouseFlags(mState.keys);
    if (const int32_t vertical = delta(event.preciseY, event.y); vertical != 0) {
      Emit(target.hwnd, WM_MOUSEWHEEL, flags | WPARAM(uint16_t(vertical)) << 16, at);
    }
    if (const int32_t horizontal = delta(event.preciseX, event.x); horizontal != 0) {
      Emit(target.hwnd, WM_MOUSEHWHEEL, flags | WPARAM(uint16_t(horizontal)) << 16, at);
    }
  }

  // An expose with its rectangle (VideoBackend.h) invalidates that rectangle; SDL's expose
  // for the same uncovering then adds nothing; one without such a rectangle before it
  // invalidates the whole window.
  void Exposed(HWND hwnd, const SDL_WindowEvent& event) {
    bool precise = false;
    {
      std::lock_guard hold(mState.lock);
      if (WindowRecord* record = FindLocked(mState, hwnd)) {
        precise = record->exposedPrecisely;
        record->exposedPrecisely = event.event == kWindowEventExposedRect;
      }
    }
    if (event.event == kWindowEventExposedRect) {
      const RECT rect = ExposedRect(event);
      InvalidateRect(hwnd, &rect, false);
    } else if (!precise) {
      InvalidateRect(hwnd, nullptr, false);
    }
  }

  void WindowEvent(const SDL_WindowEvent& event) {
    const HWND hwnd = FindBySdlId(mState, event.windowID);
    if (!hwnd) {
      return;
    }
    switch (event.event) {
    case SDL_WINDOWEVENT_EXPOSED:
    case kWindowEventExposedRect:
      Exposed(hwnd, event);
      break;
    case SDL_WINDOWEVENT_MOVED:
      Moved(hwnd, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      Resized(hwnd, event.data1, event.data2);
      break;
    case SDL_WINDOWEVENT_MINIMIZED:
      SizeMessage(hwnd, SIZE_MINIMIZED, {0, 0});
      break;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED: {
      const WindowView view = ViewOf(mState, hwnd);
      SizeMessage(hwnd, event.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED, view.size);
      break;
    }
    case SDL_WINDOWEVENT_LEAVE:
      Left(hwnd);
      break;
    case SDL_WINDOWEVENT_FOCUS_GAINED: {
      const HWND previous = mState.focus;
      mState.focus = hwnd;
      Emit(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous != hwnd ? previous : nullptr), 0);
      break;
    }
    case SDL_WINDOWEVENT_FOCUS_LOST:
      if (mState.focus == hwnd) {
        mState.focus = nullptr;
      }
      if (const HWND capture = mState.capture) {
        mState.capture = nullptr;
        StopMouseCapture(mState);
        Emit(capture, WM_CAPTURECHANGED, 0, 0);
      }
      Emit(hwnd, WM_KILLFOCUS, 0, 0);
      break;
    case SDL_WINDOWEVENT_CLOSE:
      Emit(hwnd, WM_SYSCOMMAND, SC_CLOSE, MakeLParam(mState.cursorPosition.x, mState.cursorPosition.y));
      break;
    default:
      break;
    }
  }

  // The kind of size a window of these SDL flags has.
  static uintptr_t SizeKindOf(uint32_t flags) {
    return (flags & SDL_WINDOW_MINIMIZED)   ? SIZE_MINIMIZED
           : (flags & SDL_WINDOW_MAXIMIZED) ? SIZE_MAXIMIZED
                                            : SIZE_RESTORED;
  }

  void Moved(HWND hwnd, int32_t x, int32_t y) {
    const uint32_t flags = mState.backend->GetWindowFlags(SdlIdOf(hwnd));
    {
      std::lock_guard hold(mState.lock);
      if (WindowRecord* record = FindLocked(mState, hwnd)) {
        const POINT shift = ReportedPositionShift(*record);
        x += shift.x;
        y += shift.y;
        record->origin = {x, y};
        if (SizeKindOf(flags) == SIZE_RESTORED) {
          record->normal = {x, y, x + record->size.cx, y + record->size.cy};
        }
      }
    }
    Emit(hwnd, WM_MOVE, 0, MakeLParam(x, y));
  }

  void Resized(HWND hwnd, int32_t width, int32_t height) {
    const uintptr_t kind = SizeKindOf(mState.backend->GetWindowFlags(SdlIdOf(hwnd)));
    {
      std::lock_guard hold(mState.lock);
      if (WindowRecord* record = FindLocked(mState, hwnd)) {
        record->size = {width, height};
        if (kind == SIZE_RESTORED) {
          record->normal = {record->origin.x, record->origin.y, record->origin.x + width, record->origin.y + height};
        }
      }
    }
    InvalidateRect(hwnd, nullptr, false);
    SizeMessage(hwnd, kind, kind == SIZE_MINIMIZED ? SIZE{} : SIZE{width, height});
  }

  void SizeMessage(HWND hwnd, uintptr_t kind, SIZE size) {
    bool changed = false;
    {
      std::lock_guard hold(mState.lock);
      if (WindowRecord* record = FindLocked(mState, hwnd)) {
        changed = record->sizeKind != kind || record->sizeSent.cx != size.cx || record->sizeSent.cy != size.cy;
        record->sizeKind = kind;
        record->sizeSent = size;
      }
    }
    if (changed) {
      if (kind != SIZE_MINIMIZED) {
        InvalidateRect(hwnd, nullptr, false);
      }
      Emit(hwnd, WM_SIZE, kind, MakeLParam(size.cx, size.cy));
    }
  }

  void Left(HWND hwnd) {
    if (AnyButtonDown(mState)) {
      return; // SDL holds on to the mouse while a button is down: its moves come on
    }
    const WindowView left = ViewOf(mState, hwnd);
    const WindowView target = mState.capture ? ViewOf(mState, mState.capture) : left;
    int x = 0;
    int y = 0;
    mState.backend->GetGlobalMouseState(x, y);
    mState.cursorPosition = {x, y};
    POINT client{x - target.origin.x, y - target.origin.y};
    const bool stillOver = x >= left.origin.x && y >= left.origin.y && x < left.origin.x + left.size.cx &&
                           y < left.origin.y + left.size.cy;
    if (stillOver) {
      client = {-1, -1}; // another window covers ours there
    }
    Emit(target.hwnd, WM_MOUSEMOVE, MouseFlags(mState.keys), MakeLParam(client.x, client.y));
  }

  void DisplayChange() {
    SDL_Rect bounds{};
    mState.backend->GetDisplayBounds(0, bounds);
    std::vector<HWND> windows;
    {
      std::lock_guard hold(mState.lock);
      for (auto& [serial, record] : mState.windows) {
        windows.push_back(ToHandle(serial));
      }
    }
    for (HWND hwnd : windows) {
      Emit(hwnd, WM_DISPLAYCHANGE, 32, MakeLParam(bounds.w, bounds.h));
    }
  }

  void Dropped(SDL_DropEvent& event) {
    if (event.type == SDL_DROPFILE && event.file) {
      mState.droppingPaths.push_back(ToUtf16(event.file));
      if (event.windowID) {
        mState.droppingWindow = event.windowID;
      }
    }
    SDL_free(event.file);
    event.file = nullptr;
  }

  void DropComplete(const SDL_DropEvent& event) {
    std::vector<std::u16string> paths = std::move(mState.droppingPaths);
    const uint32_t sdlId = event.windowID ? event.windowID : mState.droppingWindow;
    mState.droppingPaths.clear();
    mState.droppingWindow = 0;
    if (paths.empty()) {
      return;
    }
    POINT screen;
    mState.backend->GetGlobalMouseState(screen.x, screen.y);
    WindowView target = ViewOfSdlId(mState, sdlId);
    if (!target.hwnd) {
      target = ViewOf(mState, WindowFromPoint(screen));
    }
    if (!target.hwnd) {
      return;
    }
    auto drop = std::make_unique<DropRecord>();
    drop->paths = std::move(paths);
    drop->point = {screen.x - target.origin.x, screen.y - target.origin.y};
    DropRecord* handle = drop.get();
    mState.drops.emplace(handle, std::move(drop));
    Emit(target.hwnd, WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
  }

  void ClipboardUpdate() {
    std::vector<HWND> listeners;
    {
      std::lock_guard hold(mState.lock);
      for (auto& [serial, record] : mState.windows) {
        if (record.clipboardListener) {
          listeners.push_back(ToHandle(serial));
        }
      }
    }
    for (HWND hwnd : listeners) {
      Emit(hwnd, WM_CLIPBOARDUPDATE, 0, 0);
    }
  }

  uint32_t SdlIdOf(HWND hwnd) const {
    const WindowRecord* record = FindOnUiThread(mState, hwnd);
    return record ? record->sdlId : 0;
  }

  State& mState;
  InputQueue& mOut;
  uint32_t mTime;
};

} // namespace

void TranslateEvent(SDL_Event& event, InputQueue& out) {
  State& state = GetState();
  if (!OnUiThread(state)) {
    return;
  }
  switch (event.type) {
  case SDL_MOUSEMOTION:
    Translator::Motion(state, out, event.motion);
    break;
  case SDL_MOUSEBUTTONDOWN:
  case SDL_MOUSEBUTTONUP:
    Translator::Button(state, out, event.button);
    break;
  default:
    Translator::Other(state, out, event);
    break;
  }
}

} // namespace QZ::Platform::Window
