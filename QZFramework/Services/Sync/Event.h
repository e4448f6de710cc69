#pragma once
// QZ::Event: a signal that threads wait for, auto-reset or manual-reset.
//
//   QZ::Event ready(true);            // auto-reset, not signalled
//   ready.Set();                      // on one thread
//   if (ready.Wait(500) == QZ::Event::kTimedOut) { ... }   // on another
//
// An auto-reset event releases one waiter per Set and is then reset by that waiter; a
// signal that finds no waiter stays until a wait takes it. A manual-reset event
// releases every waiter and stays signalled until Reset. Any thread may call any member.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace QZ {

class Event {
public:
  static constexpr uint32_t kInfinite = 0xFFFFFFFF;
  static constexpr uint32_t kSignalled = 0;
  static constexpr uint32_t kTimedOut = 258;

  // Not signalled; manual-reset when autoReset is false.
  explicit Event(bool autoReset);
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  virtual ~Event() = default;

  // Signals the event; true.
  bool Set();
  // Clears the signal; true.
  bool Reset();
  // A wait of zero time: true when it found the signal, which it then consumes if the
  // event is auto-reset.
  bool IsSet();
  // Waits up to timeoutMs milliseconds (kInfinite: no limit) for the signal;
  // kSignalled (0) or kTimedOut (258).
  uint32_t Wait(uint32_t timeoutMs);

  // Threads inside Wait at this moment.
  int32_t GetWaiterCount() const { return mWaiters.load(); }

private:
  const bool mAutoReset;
  std::mutex mMutex;
  std::condition_variable mSignal;
  bool mSignalled = false;
  std::atomic<int32_t> mWaiters{0};
};

} // namespace QZ
