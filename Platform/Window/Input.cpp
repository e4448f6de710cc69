#include "Platform/Window/Input.h"

#include "Platform/Window/EventSource.h"
#include "Platform/Window/WindowState.h"

namespace QZ::Platform::Window {

using namespace Detail;

namespace {

CursorRecord* RecordOf(HCURSOR cursor) { return reinterpret_cast<CursorRecord*>(cursor); }
HCURSOR HandleOf(CursorRecord* record) { return reinterpret_cast<HCURSOR>(record); }

// The drop of a handle; null when it names none.
DropRecord* FindDrop(HDROP drop) {
  State& state = GetState();
  auto found = state.drops.find(reinterpret_cast<DropRecord*>(drop));
  return IsUiThread() && found != state.drops.end() ? found->first : nullptr;
}

SDL_SystemCursor SystemCursorOf(uint32_t id, bool& known) {
  known = true;
  switch (id) {
  case IDC_ARROW:
  case IDC_UPARROW:
  case IDC_HELP:
    return SDL_SYSTEM_CURSOR_ARROW;
  case IDC_IBEAM:
    return SDL_SYSTEM_CURSOR_IBEAM;
  case IDC_WAIT:
    return SDL_SYSTEM_CURSOR_WAIT;
  case IDC_CROSS:
    return SDL_SYSTEM_CURSOR_CROSSHAIR;
  case IDC_SIZENWSE:
    return SDL_SYSTEM_CURSOR_SIZENWSE;
  case IDC_SIZENESW:
    return SDL_SYSTEM_CURSOR_SIZENESW;
  case IDC_SIZEWE:
    return SDL_SYSTEM_CURSOR_SIZEWE;
  case IDC_SIZENS:
    return SDL_SYSTEM_CURSOR_SIZENS;
  case IDC_SIZEALL:
    return SDL_SYSTEM_CURSOR_SIZEALL;
  case IDC_NO:
    return SDL_SYSTEM_CURSOR_NO;
  case IDC_HAND:
    return SDL_SYSTEM_CURSOR_HAND;
  case IDC_APPSTARTING:
    return SDL_SYSTEM_CURSOR_WAITARROW;
  default:
    known = false;
    return SDL_SYSTEM_CURSOR_ARROW;
  }
}

HCURSOR Register(State& state, SDL_Cursor* cursor, bool shared) {
  auto record = std::make_unique<CursorRecord>(CursorRecord{cursor, shared});
  CursorRecord* handle = record.get();
  state.cursors.emplace(handle, std::move(record));
  return HandleOf(handle);
}

} // namespace

int16_t GetKeyState(int32_t virtualKey) { return IsUiThread() ? GetState().keys.Get(virtualKey) : 0; }

HCURSOR LoadCursor(uint32_t id) {
  State& state = GetState();
  bool known = false;
  const SDL_SystemCursor system = SystemCursorOf(id, known);
  if (!IsUiThread() || !known) {
    return nullptr;
  }
  if (auto found = state.sharedCursors.find(id); found != state.sharedCursors.end()) {
    return HandleOf(found->second);
  }
  SDL_Cursor* cursor = state.backend->CreateSystemCursor(system);
  if (!cursor) {
    return nullptr;
  }
  const HCURSOR handle = Register(state, cursor, true);
  state.sharedCursors.emplace(id, RecordOf(handle));
  return handle;
}

HCURSOR CreateColorCursor(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch, int32_t hotX,
                          int32_t hotY) {
  State& state = GetState();
  if (!IsUiThread() || !pixels || width < 1 || height < 1 || pitch < width * 4) {
    return nullptr;
  }
  SDL_Cursor* cursor = state.backend->CreateColorCursor(pixels, width, height, pitch, hotX, hotY);
  return cursor ? Register(state, cursor, false) : nullptr;
}

bool DestroyCursor(HCURSOR cursor) {
  State& state = GetState();
  auto found = state.cursors.find(RecordOf(cursor));
  if (!IsUiThread() || found == state.cursors.end() || found->first->shared || cursor == state.currentCursor) {
    return false;
  }
  state.backend->FreeCursor(found->first->cursor);
  state.cursors.erase(found);
  return true;
}

HCURSOR SetCursor(HCURSOR cursor) {
  State& state = GetState();
  if (!IsUiThread() || (cursor && !state.cursors.count(RecordOf(cursor)))) {
    return nullptr;
  }
  const HCURSOR previous = state.currentCursor;
  if (cursor != previous || (!cursor && !state.cursorRemoved)) {
    state.currentCursor = cursor;
    state.cursorRemoved = !cursor;
    if (cursor) {
      state.backend->SetCursor(RecordOf(cursor)->cursor);
    }
    state.backend->ShowCursor(!state.cursorRemoved && state.cursorCount >= 0);
  }
  return previous;
}

HCURSOR GetCursor() { return IsUiThread() ? GetState().currentCursor : nullptr; }

int32_t ShowCursor(bool show) {
  State& state = GetState();
  if (!IsUiThread()) {
    return 0;
  }
  state.cursorCount += show ? 1 : -1;
  state.backend->ShowCursor(!state.cursorRemoved && state.cursorCount >= 0);
  return state.cursorCount;
}

bool GetCursorPos(POINT* point) {
  if (!point || !IsUiThread()) {
    return false;
  }
  GetState().backend->GetGlobalMouseState(point->x, point->y);
  return true;
}

bool SetCursorPos(int32_t x, int32_t y) { return IsUiThread() && GetState().backend->WarpMouseGlobal(x, y); }

uint32_t DragQueryFileCount(HDROP drop) {
  const DropRecord* record = FindDrop(drop);
  return record ? uint32_t(record->paths.size()) : 0;
}

std::u16string DragQueryFile(HDROP drop, uint32_t index) {
  const DropRecord* record = FindDrop(drop);
  return record && index < record->paths.size() ? record->paths[index] : std::u16string();
}

bool DragQueryPoint(HDROP drop, POINT* point) {
  const DropRecord* record = FindDrop(drop);
  if (!record || !point) {
    return false;
  }
  *point = record->point;
  return true;
}

void DragFinish(HDROP drop) {
  if (DropRecord* record = FindDrop(drop)) {
    GetState().drops.erase(record);
  }
}

bool AddClipboardFormatListener(HWND hwnd) {
  State& state = GetState();
  std::lock_guard hold(state.lock);
  WindowRecord* record = FindLocked(state, hwnd);
  if (record) {
    record->clipboardListener = true;
  }
  return record != nullptr;
}

bool RemoveClipboardFormatListener(HWND hwnd) {
  State& state = GetState();
  std::lock_guard hold(state.lock);
  WindowRecord* record = FindLocked(state, hwnd);
  const bool listening = record && record->clipboardListener;
  if (listening) {
    record->clipboardListener = false;
  }
  return listening;
}

} // namespace QZ::Platform::Window
