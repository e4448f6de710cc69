#pragma once
// QZ::SplashClock: the time of the splash screen's thread, by which its step timer falls
// due, and the wait for its next message. The default is the steady clock; tests give a
// clock they advance by hand.
//
//   std::unique_lock lock(mutex);
//   while (!ready) {
//     clock.WaitUntil(wake, lock, clock.Now() + std::chrono::milliseconds(250));
//   }
//
// Any thread.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace QZ {

class SplashClock {
public:
  using TimePoint = std::chrono::steady_clock::time_point;

  virtual ~SplashClock() = default;
  virtual TimePoint Now() = 0;
  // Waits on wake, whose mutex lock holds, until it is notified or deadline passes by this
  // clock (TimePoint::max(): no deadline). May return earlier; callers test again.
  virtual void WaitUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& lock, TimePoint deadline) = 0;

  // The steady clock.
  static std::shared_ptr<SplashClock> Steady();
};

} // namespace QZ
