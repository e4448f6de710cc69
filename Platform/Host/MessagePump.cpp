#include "Platform/Host/MessagePump.h"

#include <atomic>

#include "Platform/Window/EventSource.h"

namespace QZ::Platform::Host {

using namespace Window;

namespace {

struct PumpState {
  std::atomic<bool> idleRequested{false};
  ThreadMessageHandler handler; // UI thread
  bool moved = false;           // UI thread: a mouse move was asked about
  POINT lastMove;               // UI thread
};

PumpState& GetPumpState() {
  static PumpState state;
  return state;
}

Pumped Handle(MSG& msg) {
  if (msg.message == WM_QUIT) {
    return Pumped::Quit;
  }
  if (msg.hwnd) {
    TranslateMessage(&msg);
    DispatchMessage(&msg);
    return Pumped::Dispatched;
  }
  PumpState& state = GetPumpState();
  if (msg.message == WM_QZ_IDLEREQUEST) {
    // Cleared before the idle work drains what the request was made for, so that a
    // later post asks again.
    state.idleRequested.store(false);
  } else if (state.handler) {
    state.handler(msg);
  }
  return Pumped::Dispatched;
}

} // namespace

Pumped PumpMessage(MSG& msg) {
  if (GetMessage(&msg) < 0) {
    msg = MSG();
    msg.message = WM_QUIT;
  }
  return Handle(msg);
}

Pumped PumpWaitingMessage(MSG& msg) { return PeekMessage(&msg, PM_REMOVE) ? Handle(msg) : Pumped::Nothing; }

bool IsIdleMessage(const MSG& msg) {
  if (msg.message == WM_MOUSEMOVE) {
    PumpState& state = GetPumpState();
    if (state.moved && state.lastMove.x == msg.pt.x && state.lastMove.y == msg.pt.y) {
      return false;
    }
    state.moved = true;
    state.lastMove = msg.pt;
    return true;
  }
  return msg.message != WM_PAINT && msg.message != WM_SYSTIMER;
}

void RequestIdle() {
  if (IsUiThread()) {
    return;
  }
  PumpState& state = GetPumpState();
  if (state.idleRequested.exchange(true)) {
    return;
  }
  if (!PostThreadMessage(WM_QZ_IDLEREQUEST, 0, 0)) {
    state.idleRequested.store(false);
  }
}

void ResetPumpState() {
  PumpState& state = GetPumpState();
  state.idleRequested.store(false);
  state.moved = false;
}

void SetThreadMessageHandler(ThreadMessageHandler handler) { GetPumpState().handler = std::move(handler); }

} // namespace QZ::Platform::Host
