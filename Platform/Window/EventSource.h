#pragma once
// The window layer's side of the message queue (Platform/Host/MessageLoop.h): SDL's
// events taken and translated into input messages, the wake-up of a waiting queue, and
// the queue's clock. The queue decides the order of its messages; see EventTranslator.h
// for what each event becomes.
//
//   InputQueue input;
//   MSG msg;
//   if (NextInput(input, msg, true)) { deliver msg }
//   else { WaitInput(input, timeout); }
//
// UI thread, except RequestWake.

#include <cstddef>
#include <cstdint>
#include <vector>

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

// Input messages in order: taken from the front, added at the back (and, for typed
// characters, at the front) without allocating once it has grown to its usual size.
class InputQueue {
public:
  bool empty() const { return mHead == mItems.size(); }
  size_t size() const { return mItems.size() - mHead; }
  const InputMessage& front() const { return mItems[mHead]; }
  const InputMessage& operator[](size_t index) const { return mItems[mHead + index]; }
  void push_back(const InputMessage& message) { mItems.push_back(message); }
  InputMessage& emplace_back() { return mItems.emplace_back(); }
  void push_front(const InputMessage& message) {
    if (mHead > 0) {
      mItems[--mHead] = message;
    } else {
      mItems.insert(mItems.begin(), message);
    }
  }
  void pop_front() {
    if (++mHead == mItems.size()) {
      clear();
    }
  }
  void clear() {
    mItems.clear();
    mHead = 0;
  }

private:
  std::vector<InputMessage> mItems;
  size_t mHead = 0;
};

// How long the window system's events, once read, count as read: NextInput reads them
// again only when this has passed since the last read (its own or WaitInput's), so that
// a wake of the loop reads the display's connection once, not once per look at the queue.
inline constexpr uint64_t kPumpIntervalMs = 10;

// The layer's clock read once, when first asked: one turn of the queue stamps what it
// takes with one time, and a turn that finds input waiting reads no clock at all.
class TurnClock {
public:
  uint64_t Now();

private:
  uint64_t mNow = 0;
  bool mRead = false;
};

// The next input message to deliver: the queue's first, else what SDL's queued events
// translate into (appended to the queue), the window system's events read into SDL's
// queue first when kPumpIntervalMs have passed since they last were. Messages not to be
// delivered are dropped on the way: those whose window is gone, and input (keys,
// characters, mouse, dropped files, the close box) for a disabled window. With `take` the
// message leaves the queue and its key-state change is applied. False when no input waits.
bool NextInput(InputQueue& queue, MSG& msg, bool take);
// The same on the clock of the caller's turn, read only if SDL's queue is found empty.
bool NextInput(InputQueue& queue, MSG& msg, bool take, TurnClock& clock);
// Waits up to timeoutMs (negative: without limit) for one event (reading the window
// system's events) and translates it into the queue. False when none came.
bool WaitInput(InputQueue& queue, int32_t timeoutMs);
// Reads the window system's events now and translates every event SDL holds into the
// queue, so that what the layer keeps from them (a window's place and size, the focus) is
// what the display last said; the input messages wait in the queue in their order.
void ReadAllInput(InputQueue& queue);
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
namespace Detail {
// Set on its thread by Startup, cleared by Shutdown. Read on every step of the message
// queue and most calls of the layer, hence inline and initial-exec (one instruction; the
// library is loaded with the program, not opened later).
// Constant-initialised: without constinit every read first asks whether the variable has a
// dynamic initialiser to run.
extern thread_local constinit bool tOnUiThread __attribute__((tls_model("initial-exec")));
} // namespace Detail

// Whether the calling thread is the one that started the layer.
inline bool IsUiThread() { return Detail::tOnUiThread; }

inline uint64_t TurnClock::Now() {
  if (!mRead) {
    mNow = GetTickCount64();
    mRead = true;
  }
  return mNow;
}

} // namespace QZ::Platform::Window
