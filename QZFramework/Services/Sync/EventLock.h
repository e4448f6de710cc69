#pragma once
// QZ::EventLock: a lock word that costs one atomic exchange when uncontended and sleeps
// on an auto-reset event otherwise. Not recursive: the holder must not take it again.
//
//   QZ::EventLock::ScopedLock hold(mLock);
//
// Lock and Unlock do not fail. Unlock is called by the thread that holds the lock.

#include <atomic>
#include <cstdint>

#include "QZFramework/Services/Sync/Event.h"

namespace QZ {

class EventLock {
public:
  EventLock() = default;
  EventLock(const EventLock&) = delete;
  EventLock& operator=(const EventLock&) = delete;

  void Lock();
  void Unlock();

  class ScopedLock {
  public:
    explicit ScopedLock(EventLock& lock) : mLock(lock) { mLock.Lock(); }
    ScopedLock(const ScopedLock&) = delete;
    ScopedLock& operator=(const ScopedLock&) = delete;
    ~ScopedLock() { mLock.Unlock(); }

  private:
    EventLock& mLock;
  };

private:
  // 0 free, 1 held, 2 held with threads waiting (or about to wait) on mWake.
  std::atomic<uint32_t> mWord{0};
  Event mWake{true};
};

} // namespace QZ
