#pragma once
// The window layer's side of the message queue (Platform/Host/MessageLoop.h): SDL's
// events taken and translated into input messages, the wake-up of a waiting queue, and
// the queue's clock. The queue decides the order of its messages; see EventTranslator.h
// for what each event becomes.
//
//   std::deque<InputMessage> input;
//   PollInput(input);
//   if (!input.empty() && !ShouldDeliver(input.front().msg)) { DiscardInput(input.front()); ... }
//   else if (!input.empty()) { CommitInput(input.front()); deliver input.front().msg; }
//
// UI thread, except RequestWake.

#include <cstdint>
#include <deque>

#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Window {

// What taking a message does to the key-state table: key (a sided virtual key or a mouse
// button; 0 for none) goes down or up; locks, when not negative, are SDL's lock-key
// modifiers (KMOD_CAPS, KMOD_NUM, KMOD_SCROLL) that set the lock keys' toggles.
struct KeyStateChange {
  uint8_t key = 0;
  bool down = false;
  int32_t locks = -1;
};

struct InputMessage {
  MSG msg;
  KeyStateChange change;
};

// Takes SDL's waiting events one by one, translating each into `out`, until one made a
// message or none waits. False when no event waited.
bool PollInput(std::deque<InputMessage>& out);
// Waits up to timeoutMs (negative: without limit) for one event and translates it. False
// when none came.
bool WaitInput(std::deque<InputMessage>& out, int32_t timeoutMs);
// Whether to deliver a message: not when its window is gone, nor when it is input (keys,
// characters, mouse, dropped files, the close box) for a disabled window.
bool ShouldDeliver(const MSG& msg);
// Applies a message's key-state change as it is taken from the queue to be delivered.
void CommitInput(const InputMessage& message);
// Applies its key-state change to a message that is not delivered, and frees its drop.
void DiscardInput(const InputMessage& message);
// Wakes the waiting WaitInput; at most one wake-up waits in SDL's queue at a time. Any
// thread; from the UI thread nothing is needed and nothing happens.
void RequestWake();
// A visible, not minimised window with a non-empty update region (the oldest first);
// null when none.
HWND FindWindowToPaint();
// The cursor position (screen coordinates) as the last mouse event left it; what
// messages carry as their point.
POINT GetLastCursorPosition();
// The layer's clock in milliseconds (SDL's ticks, or the test backend's).
uint64_t GetTickCount64();
// Whether the calling thread is the one that started the layer.
bool IsUiThread();

} // namespace QZ::Platform::Window
