#include "QZFramework/Services/Sync/Event.h"

#include <chrono>

namespace QZ {

Event::Event(bool autoReset) : mAutoReset(autoReset) {}

bool Event::Set() {
  {
    std::lock_guard hold(mMutex);
    mSignalled = true;
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

} // namespace QZ
