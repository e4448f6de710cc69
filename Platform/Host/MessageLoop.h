#pragma once
// The UI thread's message queue with the Win32 shape: posted and thread messages, input
// from SDL, WM_PAINT while a window needs painting, WM_TIMER, and WM_QUIT.
//
//   if (!Startup()) { ... }
//   SetTimer(hwnd, 1, 33);                          // WM_TIMER about every 33 ms
//   MSG msg;
//   while (GetMessage(&msg) > 0) {                  // 0 on WM_QUIT
//     TranslateMessage(&msg);
//     DispatchMessage(&msg);                        // the window's procedure
//   }
//   Shutdown();
//
// Order, as Windows keeps it: posted messages first (oldest first), then WM_QUIT once
// PostQuitMessage was called and no posted message is left, then input (in SDL's order;
// input for a dead or disabled window is dropped, see Window::NextInput), then WM_PAINT
// for a window whose update region is not empty (until it is validated), then WM_TIMER of
// the timer due longest. A timer that fell behind gives one WM_TIMER, then runs on from
// its due time (or from now, if that has passed too). The key-state table
// (Window::GetKeyState) follows each input message as it is taken.
//
// Waking: GetMessage blocks in SDL until an event, a timer or a post arrives. Posting from
// another thread, and InvalidateRect from another thread, wake it with one SDL user event;
// at most one such wake-up is pending at a time.
//
// Threads: PostMessage, PostThreadMessage and PostQuitMessage from any thread; everything
// else on the UI thread. Startup and Shutdown run while no other thread uses the layer.

#include <cstdint>
#include <memory>

#include "Platform/Window/Window.h"

namespace QZ::Platform::Host {

using Window::HWND;
using Window::LPARAM;
using Window::LRESULT;
using Window::MSG;
using Window::WPARAM;

// Starts the window layer (Window::Startup) with an empty queue and no timers.
[[nodiscard]] bool Startup();
[[nodiscard]] bool Startup(std::unique_ptr<Window::VideoBackend> backend);
// Drops what the queue holds (freeing undelivered drops) and stops the window layer
// (Window::Shutdown: every window left is destroyed).
void Shutdown();

// Takes the next message, waiting for one. 1 for a message, 0 for WM_QUIT (its wParam
// the exit code), -1 when the layer does not run or the caller is not the UI thread.
int32_t GetMessage(MSG* msg);
// The next message without waiting: PM_REMOVE takes it, PM_NOREMOVE leaves it (WM_PAINT
// stays until the window is validated either way). False when none waits.
bool PeekMessage(MSG* msg, uint32_t options);
// For WM_KEYDOWN and WM_SYSKEYDOWN, queues the control characters SDL does not type, to
// come next: Backspace 0x08 (with Ctrl 0x7F), Tab 0x09 (not with Ctrl), Enter 0x0D (with
// Ctrl 0x0A), Escape 0x1B, Ctrl+A..Z 0x01..0x1A, Ctrl+[ 0x1B, Ctrl+\ 0x1C, Ctrl+] 0x1D;
// as WM_SYSCHAR after WM_SYSKEYDOWN, and none while Ctrl and Alt are both held. True for
// every key message.
bool TranslateMessage(const MSG* msg);
// Calls the procedure of msg->hwnd and answers its result; 0 for thread messages.
LRESULT DispatchMessage(const MSG* msg);

// Brings what the layer knows of its windows up to date with the display before posted
// messages run out: reads the window system's events and translates them, leaving their
// input messages queued in order (Window::ReadAllInput). Posted messages come before
// input, so an exit asked for by a post would otherwise save a window's place from before
// a move the display has already told of.
void ReadWindowSystemEvents();

// Queues a message for a window (null: a thread message). False when hwnd names no
// window or the layer does not run. Any thread.
[[nodiscard]] bool PostMessage(HWND hwnd, uint32_t message, WPARAM wParam, LPARAM lParam);
[[nodiscard]] bool PostThreadMessage(uint32_t message, WPARAM wParam, LPARAM lParam);
// WM_QUIT with the exit code comes once no posted message is left. Any thread.
void PostQuitMessage(int32_t exitCode);

// Starts or restarts timer `id` (not 0) of hwnd (null: a thread timer, WM_TIMER with hwnd
// null) with a period of elapseMs (at least 10). Answers id, 0 on failure. The timer
// ends with KillTimer or with its window.
uintptr_t SetTimer(HWND hwnd, uintptr_t id, uint32_t elapseMs);
bool KillTimer(HWND hwnd, uintptr_t id);

} // namespace QZ::Platform::Host
