#include "QZFramework/Application/SplashMessageQueue.h"

#include <algorithm>

#include "Platform/Window/WindowMessages.h"

namespace QZ {

SplashMessageQueue::SplashMessageQueue(std::shared_ptr<SplashClock> clock) : mClock(std::move(clock)) {}

void SplashMessageQueue::Post(const SplashMessage& message) {
  {
    std::lock_guard lock(mMutex);
    mPosted.push_back(message);
  }
  mWake.notify_all();
}

SplashMessage SplashMessageQueue::Get() {
  std::unique_lock lock(mMutex);
  for (;;) {
    if (!mPosted.empty()) {
      const SplashMessage message = mPosted.front();
      mPosted.pop_front();
      return message;
    }
    const SplashClock::TimePoint now = mClock->Now();
    if (mTimer && now >= mTimer->due) {
      mTimer->due += mTimer->period;
      if (mTimer->due <= now) {
        mTimer->due = now + mTimer->period;
      }
      return {Platform::Window::WM_TIMER, mTimer->id, 0};
    }
    mClock->WaitUntil(mWake, lock, mTimer ? mTimer->due : SplashClock::TimePoint::max());
  }
}

void SplashMessageQueue::SetTimer(uintptr_t id, std::chrono::milliseconds period) {
  std::lock_guard lock(mMutex);
  period = std::max(period, std::chrono::milliseconds(1)); // a timer of 0 would never let the thread wait
  mTimer = Timer{id, period, mClock->Now() + period};
}

void SplashMessageQueue::KillTimer(uintptr_t id) {
  std::lock_guard lock(mMutex);
  if (mTimer && mTimer->id == id) {
    mTimer.reset();
  }
}

} // namespace QZ
