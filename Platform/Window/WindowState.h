#pragma once
// The window layer's process-wide state, shared by its source files (not for callers).
//
// `lock` guards the window table and every field of the records in it, and the wake
// flag: other threads reach them through IsWindow, InvalidateRect and RequestWake. It is
// never held while a window procedure or SDL runs, except for the one SDL_PushEvent of a
// wake-up. The fields after it belong to the UI thread.

#include <SDL2/SDL.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "Platform/Window/EventSource.h"
#include "Platform/Window/VideoBackend.h"
#include "Platform/Window/Window.h"

namespace QZ::Platform::Window::Detail {

struct WindowRecord {
  uint32_t sdlId = 0;
  WindowProcedure* procedure = nullptr;
  HWND owner = nullptr;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  std::u16string title;
  bool visible = false;
  bool enabled = true;
  bool destroying = false;
  bool clipboardListener = false;
  POINT origin;                       // the client area's top-left corner in screen coordinates
  SIZE size;                          // the client area's size
  RECT normal;                        // the client rectangle (screen) when last neither minimised nor maximised
  RECT update;                        // bounding rectangle of the update region, client coordinates
  uintptr_t sizeKind = SIZE_RESTORED; // what the last WM_SIZE said
  SIZE sizeSent;
};

// GetKeyState's table: 0x80 held, 0x01 toggled, per virtual key.
class KeyStateTable {
public:
  int16_t Get(int32_t key) const;
  bool IsDown(uint8_t key) const { return (mState[key] & 0x80) != 0; }
  void Apply(const KeyStateChange& change);
  void Clear() { mState.fill(0); }

private:
  std::array<uint8_t, 256> mState{};
};

struct DropRecord {
  std::vector<std::u16string> paths;
  POINT point;
};

struct CursorRecord {
  SDL_Cursor* cursor = nullptr;
  bool shared = false;
};

struct State {
  std::mutex lock;
  std::map<uintptr_t, WindowRecord> windows; // by handle, oldest first
  std::unordered_map<uint32_t, uintptr_t> bySdlId;
  bool wakePending = false;

  std::unique_ptr<VideoBackend> backend; // set and cleared on the UI thread, under the lock
  std::atomic<bool> started{false};
  std::thread::id uiThread;
  uint32_t wakeEventType = 0;
  uintptr_t nextHandle = 1;

  KeyStateTable keys;
  HWND capture = nullptr;
  HWND focus = nullptr;
  POINT cursorPosition;                                           // screen coordinates, as the last mouse event said
  std::map<CursorRecord*, std::unique_ptr<CursorRecord>> cursors; // every cursor, by handle
  std::map<uint32_t, CursorRecord*> sharedCursors;                // by IDC_ value
  HCURSOR currentCursor = nullptr;                                // null: SDL's default arrow, unless removed
  bool cursorRemoved = false;                                     // SetCursor(null): no cursor shows
  int32_t cursorCount = 0;
  std::map<DropRecord*, std::unique_ptr<DropRecord>> drops; // freed by DragFinish or Shutdown
  std::vector<std::u16string> droppingPaths;
  uint32_t droppingWindow = 0;
};

State& GetState();

inline HWND ToHandle(uintptr_t serial) { return reinterpret_cast<HWND>(serial); }
inline uintptr_t ToSerial(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }

// The record of hwnd, or null; the lock must be held.
WindowRecord* FindLocked(State& state, HWND hwnd);
// Our window of an SDL window id, or null; the lock must be held.
HWND FindBySdlIdLocked(State& state, uint32_t sdlId);

inline bool IsEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }
RECT Intersect(const RECT& a, const RECT& b);
RECT Union(const RECT& a, const RECT& b);

// Whether a message is input that a disabled window does not get.
bool IsInputMessage(const MSG& msg);

// Frees every drop, cursor and the pending drop's paths (Shutdown).
void ReleaseInputResources(State& state);

} // namespace QZ::Platform::Window::Detail
