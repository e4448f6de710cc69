#pragma once
// The pump that the UI thread's loops share (the main loop and every modal loop): one
// message taken, translated and dispatched; which messages begin a new idle period; the
// idle request that wakes a waiting loop from another thread; and the rule of one idle
// pass.
//
//   bool idle = true;
//   int32_t count = 0;
//   MSG msg;
//   for (;;) {
//     Pumped pumped = PumpWaitingMessage(msg);          // without waiting
//     if (pumped == Pumped::Nothing) {
//       if (idle && RunIdlePass(count++, [&](bool firstPass) { return DoIdleWork(firstPass); })) {
//         continue;                                      // idle again unless a message came
//       }
//       idle = false;
//       pumped = PumpMessage(msg);                       // waits
//     }
//     if (pumped == Pumped::Quit) { return ...; }
//     if (IsIdleMessage(msg)) { idle = true; count = 0; }
//   }
//
// Thread messages (hwnd null) go to the thread-message handler that the program installs;
// the pump's own idle request is taken by the pump and ends the wait like any message.
//
// UI thread, except RequestIdle.

#include <cstdint>
#include <functional>

#include "Platform/Host/MessageLoop.h"

namespace QZ::Platform::Host {

// The idle request: a thread message without parameters.
inline constexpr uint32_t WM_QZ_IDLEREQUEST = 0xBF80;

enum class Pumped {
  Nothing,    // no message waited
  Dispatched, // a message was taken and handled; msg holds it
  Quit,       // WM_QUIT was taken (msg holds it, its wParam the exit code), or the queue
              // cannot be read (not the UI thread, the layer not running: msg is WM_QUIT, 0)
};

// Takes the next message, waiting for one, translates and dispatches it: Dispatched or
// Quit.
[[nodiscard]] Pumped PumpMessage(MSG& msg);
// The same without waiting: Nothing when no message waits.
[[nodiscard]] Pumped PumpWaitingMessage(MSG& msg);

// Whether a message taken begins a new idle period: every message but WM_PAINT,
// WM_SYSTIMER and a WM_MOUSEMOVE whose cursor point (msg.pt) is that of the last
// WM_MOUSEMOVE asked about.
bool IsIdleMessage(const MSG& msg);

// Posts the idle request unless one is pending, so that a loop waiting for messages
// wakes and runs its idle work (a notification posted by another thread is delivered at
// once, not at the next timer tick). Nothing on the UI thread: its loop idles anyway
// once the message in hand is handled. Any thread.
void RequestIdle();
// Forgets what the pump kept of the queue last shut down: a pending idle request (it went
// with the queue) and the point of the last mouse move (the first move on the new queue
// begins an idle period wherever it is). Call it after Startup.
void ResetPumpState();

// Receives each thread message the pump takes, but the idle request (WM_QUIT ends the
// pump instead). An empty function: thread messages are dropped. Set it on the UI thread
// while no loop runs.
using ThreadMessageHandler = std::function<void(const MSG& msg)>;
void SetThreadMessageHandler(ThreadMessageHandler handler);

// One idle pass of a loop, by the rule the main loop and the modal loops keep: the idle
// work runs with firstPass true on the first pass of a period (idleCount 0) and false
// after; the loop idles again only while the work reports more to do and fewer than two
// passes were made (answers for counts 0 and 1). doIdleWork: bool(bool firstPass).
template <class DoIdleWork>
bool RunIdlePass(int32_t idleCount, DoIdleWork&& doIdleWork) {
  return doIdleWork(idleCount == 0) && idleCount < 2;
}

} // namespace QZ::Platform::Host
