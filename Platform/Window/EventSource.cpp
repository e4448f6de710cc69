#include "Platform/Window/EventSource.h"

#include <vector>

#include "Platform/Window/EventTranslator.h"
#include "Platform/Window/Input.h"
#include "Platform/Window/WindowState.h"

namespace QZ::Platform::Window {

using namespace Detail;

bool PollInput(std::deque<InputMessage>& out) {
  State& state = GetState();
  if (!IsUiThread()) {
    return false;
  }
  const size_t before = out.size();
  bool taken = false;
  SDL_Event event;
  while (out.size() == before && state.backend->PollEvent(event)) {
    taken = true;
    TranslateEvent(event, out);
  }
  return taken;
}

bool WaitInput(std::deque<InputMessage>& out, int32_t timeoutMs) {
  State& state = GetState();
  SDL_Event event;
  if (!IsUiThread() || !state.backend->WaitEventTimeout(event, timeoutMs)) {
    return false;
  }
  TranslateEvent(event, out);
  return true;
}

bool ShouldDeliver(const MSG& msg) {
  if (!msg.hwnd) {
    return true;
  }
  State& state = GetState();
  std::lock_guard hold(state.lock);
  const WindowRecord* record = FindLocked(state, msg.hwnd);
  return record && (record->enabled || !IsInputMessage(msg));
}

void CommitInput(const InputMessage& message) {
  if (IsUiThread()) {
    GetState().keys.Apply(message.change);
  }
}

void DiscardInput(const InputMessage& message) {
  CommitInput(message);
  if (message.msg.message == WM_DROPFILES) {
    DragFinish(reinterpret_cast<HDROP>(message.msg.wParam));
  }
}

void RequestWake() {
  State& state = GetState();
  if (IsUiThread()) {
    return;
  }
  std::lock_guard hold(state.lock);
  if (!state.backend || state.wakePending) {
    return;
  }
  SDL_Event wake{};
  wake.type = state.wakeEventType;
  // A full SDL queue keeps the pump busy; the next request tries again.
  state.wakePending = state.backend->PushEvent(wake);
}

HWND FindWindowToPaint() {
  State& state = GetState();
  if (!IsUiThread()) {
    return nullptr;
  }
  std::vector<std::pair<HWND, uint32_t>> candidates;
  {
    std::lock_guard hold(state.lock);
    for (auto& [serial, record] : state.windows) {
      if (record.visible && !IsEmpty(record.update)) {
        candidates.emplace_back(ToHandle(serial), record.sdlId);
      }
    }
  }
  for (auto& [hwnd, id] : candidates) {
    if (!(state.backend->GetWindowFlags(id) & SDL_WINDOW_MINIMIZED)) {
      return hwnd;
    }
  }
  return nullptr;
}

POINT GetLastCursorPosition() { return IsUiThread() ? GetState().cursorPosition : POINT{}; }

uint64_t GetTickCount64() {
  State& state = GetState();
  return IsUiThread() ? state.backend->GetTicks() : 0;
}

bool IsUiThread() {
  const State& state = GetState();
  return state.started && state.uiThread == std::this_thread::get_id();
}

} // namespace QZ::Platform::Window
