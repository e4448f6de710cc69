#include "QZFramework/Application/SplashClock.h"

namespace QZ {

namespace {

class SteadySplashClock final : public SplashClock {
public:
  TimePoint Now() override { return std::chrono::steady_clock::now(); }
  void WaitUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& lock, TimePoint deadline) override {
    if (deadline == TimePoint::max()) {
      wake.wait(lock);
    } else {
      wake.wait_until(lock, deadline);
    }
  }
};

} // namespace

std::shared_ptr<SplashClock> SplashClock::Steady() { return std::make_shared<SteadySplashClock>(); }

} // namespace QZ
