#include "QZFramework/Services/Sync/Event.h"

#include <algorithm>
#include <chrono>

namespace QZ {

Event::Event(bool autoReset) : mAutoReset(autoReset) {}

bool Event::Set() {
  // Notifying under the lock keeps a released waiter from returning, and perhaps
  // destroying the event, before this call is done with it.
  std::lock_guard hold(mMutex);
  mSignalled = true;
  for (AnyWaiter* waiter : mWatchers) {
    std::lock_guard wake(waiter->mutex);
    ++waiter->signals;
    waiter->wake.notify_one();
  }
  if (mAutoReset) {
    mSignal.notify_one();
  } else {
    mSignal.notify_all();
  }
  return true;
}

bool Event::Reset() {
  std::lock_guard hold(mMutex);
  mSignalled = false;
  return true;
}

bool Event::IsSet() { return Wait(0) != kTimedOut; }

uint32_t Event::Wait(uint32_t timeoutMs) {
  ++mWaiters;
  std::unique_lock hold(mMutex);
  const auto signalled = [this] { return mSignalled; };
  bool found = true;
  if (timeoutMs == kInfinite) {
    mSignal.wait(hold, signalled);
  } else {
    found = mSignal.wait_for(hold, std::chrono::milliseconds(timeoutMs), signalled);
  }
  if (found && mAutoReset) {
    mSignalled = false;
  }
  hold.unlock();
  --mWaiters;
  return found ? kSignalled : kTimedOut;
}

bool Event::TakeSignal() {
  std::lock_guard hold(mMutex);
  if (!mSignalled) {
    return false;
  }
  if (mAutoReset) {
    mSignalled = false;
  }
  return true;
}

void Event::Watch(AnyWaiter& waiter) {
  std::lock_guard hold(mMutex);
  mWatchers.push_back(&waiter);
}

void Event::Unwatch(AnyWaiter& waiter) {
  std::lock_guard hold(mMutex);
  mWatchers.erase(std::find(mWatchers.begin(), mWatchers.end(), &waiter));
}

int32_t Event::WaitAny(std::span<Event* const> events, uint32_t timeoutMs) {
  if (events.empty()) {
    return -1;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  AnyWaiter waiter;
  for (Event* event : events) {
    event->Watch(waiter);
  }
  int32_t found = -1;
  for (;;) {
    // A Set after this count is taken shows as a changed count, so the scan below
    // cannot miss a signal that arrives while it runs.
    uint64_t seen = 0;
    {
      std::lock_guard hold(waiter.mutex);
      seen = waiter.signals;
    }
    for (size_t i = 0; i < events.size() && found < 0; ++i) {
      if (events[i]->TakeSignal()) {
        found = int32_t(i);
      }
    }
    if (found >= 0) {
      break;
    }
    std::unique_lock hold(waiter.mutex);
    const auto changed = [&] { return waiter.signals != seen; };
    if (timeoutMs == kInfinite) {
      waiter.wake.wait(hold, changed);
    } else if (!waiter.wake.wait_until(hold, deadline, changed)) {
      break;
    }
  }
  for (Event* event : events) {
    event->Unwatch(waiter);
  }
  return found;
}

} // namespace QZ
