#pragma once
// QZ::Event: a signal that threads wait for, auto-reset or manual-reset.
//
//   QZ::Event ready(true);            // auto-reset, not signalled
//   ready.Set();                      // on one thread
//   if (ready.Wait(500) == QZ::Event::kTimedOut) { ... }   // on another
//
//   QZ::Event* both[] = {&a, &b};
//   int32_t which = QZ::Event::WaitAny(both, 500);          // 0, 1 or -1
//
// An auto-reset event releases one waiter per Set and is then reset by that waiter; a
// signal that finds no waiter stays until a wait takes it. A manual-reset event
// releases every waiter and stays signalled until Reset. Any thread may call any member.

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

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

  // Waits up to timeoutMs (kInfinite: no limit) until one of events is signalled and
  // takes that one signal: an auto-reset event found signalled is reset, the others keep
  // theirs. Returns its index (the lowest when several are signalled), or -1 when the
  // time-out expires or the list is empty. The events must outlive the call; an event
  // may appear twice.
  static int32_t WaitAny(std::span<Event* const> events, uint32_t timeoutMs);

  // Threads inside Wait at this moment.
  int32_t GetWaiterCount() const { return mWaiters.load(); }

private:
  // A thread inside WaitAny, told of every Set of the events it watches.
  struct AnyWaiter {
    std::mutex mutex;
    std::condition_variable wake;
    uint64_t signals = 0;
  };

  // Consumes the signal when there is one (auto-reset) or reports it (manual-reset).
  bool TakeSignal();
  void Watch(AnyWaiter& waiter);
  void Unwatch(AnyWaiter& waiter);

  const bool mAutoReset;
  // Order: an event's mutex may be held while a waiter's is taken, never the reverse.
  std::mutex mMutex;
  std::condition_variable mSignal;
  bool mSignalled = false;
  std::vector<AnyWaiter*> mWatchers;
  std::atomic<int32_t> mWaiters{0};
};

} // namespace QZ
