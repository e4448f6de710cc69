#pragma once
// The window layer's process-wide state, shared by its source files (not for callers).
//
// `lock` guards the window table and the records in it, and the wake flag: other threads
// reach them through IsWindow, InvalidateRect and RequestWake. Only the UI thread changes
// the table and the records, other threads only read them, except `update`, which
// InvalidateRect changes from any thread. So the UI thread writes under the lock and reads
// `update` under it, but reads everything else without it (FindOnUiThread): the hot paths
// of the message queue take no lock. The lock is never held while a window procedure or
// SDL runs, except for the one SDL_PushEvent of a wake-up. The fields after the table
// belong to the UI thread.

#include <SDL2/SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "Platform/Window/EventSource.h"
#include "Platform/Window/QuickLock.h"
#include "Platform/Window/VideoBackend.h"
#include "Platform/Window/Window.h"

namespace QZ::Platform::Window::Detail {

// More invalidations than this between two paints are kept as their bounding rectangle.
constexpr size_t kMaxUpdateParts = 16;

// Whether a record's update region is not empty, for the UI thread's look for a window to
// paint, which takes no lock: written under the lock with the region. Moves with its record
// (a record is filled before it goes into the table).
class UpdateFlag {
public:
  UpdateFlag() = default;
  UpdateFlag(UpdateFlag&& other) noexcept : mSet(other.mSet.load()) {}
  UpdateFlag& operator=(UpdateFlag&& other) noexcept {
    mSet.store(other.mSet.load());
    return *this;
  }
  bool Get() const { return mSet.load(); }
  void Set(bool set) { mSet.store(set); }

private:
  std::atomic<bool> mSet{false};
};

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
  POINT origin; // the client area's top-left corner in screen coordinates
  SIZE size;    // the client area's size
  RECT normal;  // the client rectangle (screen) when last neither minimised nor maximised
  RECT update;  // bounding rectangle of the update region, client coordinates
  // The rectangles the update region was made of, so that a paint need not cover their
  // bounding rectangle; past kMaxUpdateParts, that rectangle alone.
  std::vector<RECT> updateParts;
  UpdateFlag hasUpdate;               // !IsEmpty(update)
  uintptr_t sizeKind = SIZE_RESTORED; // what the last WM_SIZE said
  bool exposedPrecisely = false;      // UI thread: an expose with its rectangle came since the last without
  SIZE sizeSent;
  // The frame the window manager puts around the window, learnt before it first shows
  // (left, top, right and bottom thicknesses): SDL learns it only after the window shows,
  // and until the window shows SDL's position of it is the frame's corner, not the client
  // area's (VideoBackend::LearnWindowFrame).
  RECT learntFrame;
  bool frameLearnt = false;
  bool shown = false;
};

// How far SDL's position of the window (as SDL reports it) lies left of and above its
// client area's origin.
inline POINT ReportedPositionShift(const WindowRecord& record) {
  return record.frameLearnt && !record.shown ? POINT{record.learntFrame.left, record.learntFrame.top} : POINT{};
}

// GetKeyState's table: 0x80 held, 0x01 toggled, per virtual key.
class KeyStateTable {
public:
  // Inline: a click asks for several keys and buttons.
  int16_t Get(int32_t key) const {
    if (key < 0 || key > 0xFF) {
      return 0;
    }
    const uint8_t state = mState[size_t(key)];
    return int16_t(((state & 0x80) ? 0x8000 : 0) | (state & 0x01));
  }
  bool IsDown(uint8_t key) const { return (mState[key] & 0x80) != 0; }
  // Inline for a key below the modifiers without the lock keys' state, as a mouse button's
  // change is: each click takes two, which the full change would take out of line.
  void Apply(const KeyStateChange& change) {
    if (change.locks >= 0 || change.key >= kFirstModifier) {
      ApplyWithModifiers(change);
    } else if (change.key != 0) {
      Press(change.key, change.down);
    }
  }
  void Clear() { mState.fill(0); }

private:
  static constexpr uint8_t kFirstModifier = 0x10; // VK_SHIFT
  // A key goes down or up; a press that finds it up flips its toggle.
  void Press(uint8_t key, bool down) {
    uint8_t& state = mState[key];
    if (down && !(state & 0x80)) {
      state ^= 0x01;
    }
    state = down ? uint8_t(state | 0x80) : uint8_t(state & ~0x80);
  }
  void ApplyWithModifiers(const KeyStateChange& change);

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
  QuickLock lock;
  std::map<uintptr_t, WindowRecord> windows; // by handle, oldest first
  std::unordered_map<uint32_t, uintptr_t> bySdlId;
  bool wakePending = false;

  std::unique_ptr<VideoBackend> backend; // set and cleared on the UI thread, under the lock
  std::atomic<bool> started{false};
  uint32_t wakeEventType = 0;
  // UI thread: the clock (GetTicks) when the window system's events were last read.
  uint64_t lastPump = 0;
  // Whether some window may have a non-empty update region: set by every invalidation
  // after its window's flag, cleared by FindWindowToPaint before it looks at the flags, so
  // that the loop's look for a window to paint is skipped while nothing is to be painted.
  std::atomic<bool> paintPending{false};
  uintptr_t nextHandle = 1;

  // The window of the last lookup on the UI thread: most messages in a row are for one
  // window. Cleared when that window goes.
  HWND lastHandle = nullptr;
  uint32_t lastSdlId = 0;
  WindowRecord* lastRecord = nullptr;

  KeyStateTable keys;
  HWND capture = nullptr;
  bool mouseCaptured = false; // SDL_CaptureMouse is on
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

extern State gState;
inline State& GetState() { return gState; }

// Whether the calling thread runs the layer (tOnUiThread, EventSource.h).
inline bool OnUiThread(const State&) { return tOnUiThread; }

inline HWND ToHandle(uintptr_t serial) { return reinterpret_cast<HWND>(serial); }
inline uintptr_t ToSerial(HWND hwnd) { return reinterpret_cast<uintptr_t>(hwnd); }

// The record of hwnd, or null; the lock must be held.
inline WindowRecord* FindLocked(State& state, HWND hwnd) {
  auto found = state.windows.find(ToSerial(hwnd));
  return found == state.windows.end() ? nullptr : &found->second;
}
// The record of hwnd, or null, on the UI thread: the window of the last lookup comes
// without a search. Changing it, or reading `update`, still needs the lock.
// The search, out of line: inline it would make each caller save the registers it takes,
// on every call, for a search that most calls skip.
WindowRecord* FindAndRemember(State& state, HWND hwnd);
inline WindowRecord* FindRemembered(State& state, HWND hwnd) {
  if (hwnd && hwnd == state.lastHandle) [[likely]] {
    return state.lastRecord;
  }
  return FindAndRemember(state, hwnd);
}
// The record of hwnd, or null, for reading on the UI thread without the lock (all but
// `update`).
inline const WindowRecord* FindOnUiThread(State& state, HWND hwnd) { return FindRemembered(state, hwnd); }
// Our window of an SDL window id, or null. UI thread.
inline HWND FindBySdlId(State& state, uint32_t sdlId) {
  if (sdlId != 0 && sdlId == state.lastSdlId) [[likely]] {
    return state.lastHandle;
  }
  auto found = state.bySdlId.find(sdlId);
  return found == state.bySdlId.end() ? nullptr : ToHandle(found->second);
}

inline bool IsEmpty(const RECT& rect) { return rect.right <= rect.left || rect.bottom <= rect.top; }
// Inline: each invalidation and each presented frame meets both.
inline RECT Intersect(const RECT& a, const RECT& b) {
  const RECT result{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                    std::min(a.bottom, b.bottom)};
  return IsEmpty(result) ? RECT{} : result;
}
inline RECT Union(const RECT& a, const RECT& b) {
  if (IsEmpty(a)) {
    return b;
  }
  if (IsEmpty(b)) {
    return a;
  }
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right), std::max(a.bottom, b.bottom)};
}

// Whether a message is input that a disabled window does not get.
bool IsInputMessage(const MSG& msg);

// Whether a mouse button is held, as the key-state table has it.
inline bool AnyButtonDown(const State& state) {
  return state.keys.IsDown(0x01) || state.keys.IsDown(0x02) || state.keys.IsDown(0x04);
}
// Turns SDL's mouse capture off when the layer turned it on.
void StopMouseCapture(State& state);

// Frees every drop, cursor and the pending drop's paths (Shutdown).
void ReleaseInputResources(State& state);

} // namespace QZ::Platform::Window::Detail
