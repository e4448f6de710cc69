#include "Platform/Host/ModalLoop.h"

#include <algorithm>
#include <vector>

#include "Platform/Host/MessagePump.h"

namespace QZ::Platform::Host {

using namespace Window;

namespace {

struct LoopRecord {
  HWND window = nullptr;
  bool running = true;
  int32_t result = -1;
};

// The running loops, innermost last.
std::vector<LoopRecord>& Loops() {
  static std::vector<LoopRecord> loops;
  return loops;
}

LoopRecord* FindLoop(HWND window) {
  std::vector<LoopRecord>& loops = Loops();
  auto found =
      std::find_if(loops.begin(), loops.end(), [window](const LoopRecord& loop) { return loop.window == window; });
  return found == loops.end() ? nullptr : &*found;
}

// Takes the loop's record off the list however the loop ends, and answers its result.
class LoopScope {
public:
  explicit LoopScope(HWND window) : mWindow(window) { Loops().push_back({window, true, -1}); }
  LoopScope(const LoopScope&) = delete;
  LoopScope& operator=(const LoopScope&) = delete;
  ~LoopScope() {
    std::erase_if(Loops(), [this](const LoopRecord& loop) { return loop.window == mWindow; });
  }

  bool Continues() const {
    const LoopRecord* loop = FindLoop(mWindow);
    return loop && loop->running && IsWindow(mWindow);
  }
  int32_t Result() const {
    const LoopRecord* loop = FindLoop(mWindow);
    return loop ? loop->result : -1;
  }

private:
  HWND mWindow;
};

} // namespace

int32_t RunModalLoop(HWND window) {
  if (!IsWindow(window) || FindLoop(window)) {
    return -1;
  }
  LoopScope scope(window);
  const HWND owner = GetParent(window);
  bool hidden = !IsWindowVisible(window);
  auto show = [&] {
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    hidden = false;
  };

  bool idle = true;
  int32_t idleCount = 0;
  MSG msg;
  for (;;) {
    Pumped pumped = PumpWaitingMessage(msg);
    if (pumped == Pumped::Nothing) {
      if (idle) {
        if (hidden) {
          show();
        }
        if (owner && idleCount == 0) {
          SendMessage(owner, WM_ENTERIDLE, 0, reinterpret_cast<LPARAM>(window));
        }
        idle = SendMessage(window, WM_KICKIDLE, 0, idleCount++) != 0;
        if (!scope.Continues()) {
          return scope.Result();
        }
        continue;
      }
      pumped = PumpMessage(msg);
    }
    if (pumped == Pumped::Quit) {
      // The quit belongs to the loops outside: this one ends, and they see it next.
      PostQuitMessage(int32_t(msg.wParam));
      return -1;
    }
    if (hidden && (msg.message == WM_SYSTIMER || msg.message == WM_SYSKEYDOWN)) {
      show();
    }
    if (!scope.Continues()) {
      return scope.Result();
    }
    if (IsIdleMessage(msg)) {
      idle = true;
      idleCount = 0;
    }
  }
}

bool EndModalLoop(HWND window, int32_t result) {
  LoopRecord* loop = FindLoop(window);
  if (!loop || !loop->running) {
    return false;
  }
  loop->running = false;
  loop->result = result;
  return true;
}

bool IsInModalLoop(HWND window) {
  const LoopRecord* loop = FindLoop(window);
  return loop && loop->running;
}

} // namespace QZ::Platform::Host
