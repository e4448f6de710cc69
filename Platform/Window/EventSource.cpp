#include "Platform/Window/EventSource.h"

#include <vector>

#include "Platform/Window/EventTranslator.h"
#include "Platform/Window/Input.h"
#include "Platform/Window/WindowState.h"

namespace QZ::Platform::Window {

using namespace Detail;

namespace {

// Whether to deliver a message of the queue (UI thread).
bool ShouldDeliver(State& state, const MSG& msg) {
  if (!msg.hwnd) {
    return true;
  }
  const WindowRecord* record = FindOnUiThread(state, msg.hwnd);
  return record && (record->enabled || !IsInputMessage(msg));
}

// Field by field: a message read whole right after the translation wrote it field by field
// waits for those writes to land (the processor forwards them only to reads of the same
// width), which costs more than the rest of taking the message.
void CopyMessage(MSG& to, const MSG& from) {
  to.hwnd = from.hwnd;
  to.message = from.message;
  to.wParam = from.wParam;
  to.lParam = from.lParam;
  to.time = from.time;
  to.pt.x = from.pt.x;
  to.pt.y = from.pt.y;
}

} // namespace

bool NextInput(InputQueue& queue, MSG& msg, bool take) {
  TurnClock clock;
  return NextInput(queue, msg, take, clock);
}

bool NextInput(InputQueue& queue, MSG& msg, bool take, TurnClock& clock) {
  State& state = GetState();
  if (!OnUiThread(state)) {
    return false;
  }
  for (;;) {
    while (!queue.empty()) {
      const InputMessage& front = queue.front();
      if (!ShouldDeliver(state, front.msg)) {
        DiscardInput(front);
        queue.pop_front();
        continue;
      }
      CopyMessage(msg, front.msg);
      if (take) {
        state.keys.Apply(front.change);
        queue.pop_front();
      }
      return true;
    }
    SDL_Event event;
    if (!state.backend->TakeQueuedEvent(event)) {
      // The window system is read once per wake (the wait reads it), and again only when
      // the loop has been busy since: reading an idle connection is what an idle loop
      // would mostly spend its time on.
      const uint64_t now = clock.Now();
      if (now - state.lastPump < kPumpIntervalMs) {
        return false;
      }
      state.lastPump = now;
      state.backend->PumpEvents();
      if (!state.backend->TakeQueuedEvent(event)) {
        return false;
      }
    }
    TranslateEvent(event, queue);
  }
}

bool WaitInput(InputQueue& queue, int32_t timeoutMs) {
  State& state = GetState();
  SDL_Event event;
  if (!OnUiThread(state)) {
    return false;
  }
  const bool came = state.backend->WaitEventTimeout(event, timeoutMs);
  state.lastPump = state.backend->GetTicks();
  if (!came) {
    return false;
  }
  TranslateEvent(event, queue);
  return true;
}

void ReadAllInput(InputQueue& queue) {
  State& state = GetState();
  if (!OnUiThread(state)) {
    return;
  }
  state.lastPump = state.backend->GetTicks();
  state.backend->PumpEvents();
  SDL_Event event;
  while (state.backend->TakeQueuedEvent(event)) {
    TranslateEvent(event, queue);
  }
}

void DiscardInput(const InputMessage& message) {
  if (IsUiThread()) {
    GetState().keys.Apply(message.change);
  }
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
  if (!IsUiThread() || !state.paintPending.load()) {
    return nullptr;
  }
  // Cleared before the look and set again while a window keeps an update region: an
  // invalidation sets its window's flag before the pending one, so one that the look
  // misses leaves the pending flag set for the next.
  state.paintPending.store(false);
  bool anyUpdate = false;
  HWND found = nullptr;
  // The table and all but the update regions change on this thread alone: no lock.
  for (const auto& [serial, record] : state.windows) {
    if (!record.hasUpdate.Get()) {
      continue;
    }
    anyUpdate = true;
    if (!found && record.visible && !(state.backend->GetWindowFlags(record.sdlId) & SDL_WINDOW_MINIMIZED)) {
      found = ToHandle(serial);
    }
  }
  if (anyUpdate) {
    state.paintPending.store(true);
  }
  return found;
}

POINT GetLastCursorPosition() { return IsUiThread() ? GetState().cursorPosition : POINT{}; }

uint64_t GetTickCount64() {
  State& state = GetState();
  return IsUiThread() ? state.backend->GetTicks() : 0;
}

} // namespace QZ::Platform::Window
