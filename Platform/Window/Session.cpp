#include "Platform/Window/DisplayConnection.h"
#include "Platform/Window/WindowState.h"

namespace QZ::Platform::Window {

using namespace Detail;

bool Startup() { return Startup(std::make_unique<SdlVideoBackend>()); }

bool Startup(std::unique_ptr<VideoBackend> backend) {
  State& state = GetState();
  if (state.started || !backend) {
    return false;
  }
  SetStartupFailure("");
  if (!backend->Init()) {
    backend->Quit();
    if (GetStartupFailure().empty()) {
      SetStartupFailure("The window system did not start.");
    }
    return false;
  }
  const uint32_t wakeEventType = backend->RegisterEventType();
  if (wakeEventType == 0) {
    backend->Quit();
    SetStartupFailure("The window system did not start: it has no event type left.");
    return false;
  }
  state.wakeEventType = wakeEventType;
  state.keys.Clear();
  state.keys.Apply({0, false, int32_t(backend->GetModState())});
  state.capture = nullptr;
  state.focus = nullptr;
  state.cursorPosition = {};
  state.cursorCount = 0;
  state.cursorRemoved = false;
  {
    std::lock_guard hold(state.lock);
    state.backend = std::move(backend);
    state.wakePending = false;
  }
  state.started = true;
  tOnUiThread = true;
  return true;
}

void Shutdown() {
  State& state = GetState();
  if (!state.started || !OnUiThread(state)) {
    return;
  }
  for (;;) {
    HWND next = nullptr;
    {
      std::lock_guard hold(state.lock);
      if (state.windows.empty()) {
        break;
      }
      next = ToHandle(state.windows.begin()->first);
    }
    if (!DestroyWindow(next)) {
      // Only a window already being destroyed refuses; Shutdown from inside its
      // WM_DESTROY leaves its SDL window to SDL_Quit.
      std::lock_guard hold(state.lock);
      state.bySdlId.erase(state.windows.begin()->second.sdlId);
      state.windows.erase(state.windows.begin());
    }
  }
  state.lastHandle = nullptr;
  state.lastSdlId = 0;
  state.lastRecord = nullptr;
  ReleaseInputResources(state);
  state.backend->Quit();
  state.started = false;
  tOnUiThread = false;
  std::lock_guard hold(state.lock);
  state.backend.reset();
}

bool IsStarted() { return GetState().started; }

} // namespace QZ::Platform::Window
