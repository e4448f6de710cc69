#pragma once
// A window's modal loop: a message loop nested in the one that runs, lasting until the
// window's code ends it; the code that opened the window gets the result.
//
//   EnableWindow(owner, false);                     // the window's owner takes no input
//   int32_t result = RunModalLoop(dialog);          // returns once EndModalLoop ran
//   ...
//   // in one of the dialog's handlers:
//   EndModalLoop(dialog, 7);                        // the loop returns 7 after the handler
//
// The loop pumps with PumpMessage (MessagePump.h). While no message waits it idles: the
// first time, a hidden window is shown (SW_SHOWNORMAL, then UpdateWindow); the window's
// owner gets WM_ENTERIDLE once per idle period (wParam 0, lParam the window), and the
// window gets WM_KICKIDLE (wParam 0, lParam the idle count 0, 1, 2 ...) until it answers
// 0. A message for which IsIdleMessage is true begins a new idle period; WM_SYSTIMER and
// WM_SYSKEYDOWN also show a window that is still hidden. The loop checks for its end
// after each message and each idle pass, so a handler that ends it returns first.
// Taking WM_QUIT ends the loop with -1 and posts the quit again (same code) for the
// loops outside it. A window destroyed while its loop runs ends the loop with -1.
//
// Loops nest (a dialog opened from a dialog); a window runs one loop at a time. What the
// owner's state is during the loop (disabled, re-enabled after) is the caller's business.
//
// UI thread.

#include <cstdint>

#include "Platform/Host/MessageLoop.h"

namespace QZ::Platform::Host {

// Runs the window's modal loop and answers its result; -1 at once when the window does
// not exist or already runs a loop.
[[nodiscard]] int32_t RunModalLoop(HWND window);
// Ends the window's loop with result (the loop returns once control is back in it).
// False when the window runs no loop.
bool EndModalLoop(HWND window, int32_t result);
// Whether the window's modal loop runs and has not been ended.
bool IsInModalLoop(HWND window);

} // namespace QZ::Platform::Host
