// Notifications posted by other threads wake the host's waiting message loop, which
// delivers them at its next idle pass: at once, not at a timer's next tick.

#include <numeric>
#include <thread>
#include <vector>

#include "HostTestSupport.h"

namespace QZTest {
namespace {

using Number = QZ::LHolder<int>;

class HostLoopConcurrencyTest : public HostRunTest {
protected:
  // Services over the stepped backend on the real clock, with no timer anywhere: only a
  // wake-up ends a wait.
  QZ::MFCFrameworkAppBase::Services RealTimeServices() {
    QZ::MFCFrameworkAppBase::Services services = SteppedServices();
    services.startWindowSystem = [this, start = services.startWindowSystem] {
      const bool started = start();
      backend->SetRealTime(true);
      return started;
    };
    return services;
  }
  static void Post(QZ::LNotificationCenter& centre, int value) {
    EXPECT_EQ(
        centre.PostNotification(QZ::LNotification::Create(u"NID_TEST_POST", QZ::RCPtr<Number>(new Number(value)))),
        QZ::QZ_OK);
  }
  static QZ::LNotificationCenter& Centre() {
    return *static_cast<TestHost*>(QZ::HostApp::Get())->GetApplication()->centre;
  }
};

// With no timer the loop waits without a time-out, so only the post's wake-up can end
// the wait; how soon it ends is HostLoopBench's figure. A wait nothing ends fails the test
// after the backend's bound.
TEST_F(HostLoopConcurrencyTest, APostFromAnotherThreadWakesTheLoopThatWaitsWithoutATimer) {
  std::thread poster;
  Step([&] {
    poster = std::thread([] { Post(Centre(), 1); });
    return false; // the loop waits without a time-out
  });
  std::vector<int32_t> timeouts; // of the waits before the post arrived
  int pushed = 0;
  script.afterIdleWork = [&](StubApplication& application) {
    if (!application.listener->onReceive) {
      application.listener->onReceive = [&](const QZ::RCPtr<QZ::LNotification>& notification) {
        if (notification->GetParameterAs<Number>()) {
          timeouts = backend->timeouts;
          pushed = backend->pushed;
          Host::PostQuitMessage(0);
        }
      };
    }
  };
  {
    TestHost host(RealTimeServices());
    EXPECT_EQ(Run(), 0);
  }
  poster.join();
  EXPECT_EQ(script.Heard(u"NID_TEST_POST"), 1);
  ASSERT_FALSE(timeouts.empty());
  EXPECT_EQ(timeouts, std::vector<int32_t>(timeouts.size(), -1)) << "no timer could end a wait";
  EXPECT_EQ(pushed, 1) << "the post woke the loop with one wake-up";
}

TEST_F(HostLoopConcurrencyTest, FourThreadsPostingAThousandEachAllArriveEachThreadsInOrder) {
  constexpr int kThreads = 4;
  constexpr int kPosts = 1000;
  std::vector<std::thread> posters;
  std::vector<std::vector<int>> arrived(kThreads);
  int total = 0;
  Step([&] {
    for (int thread = 0; thread < kThreads; ++thread) {
      posters.emplace_back([thread] {
        for (int serial = 0; serial < kPosts; ++serial) {
          Post(Centre(), thread * kPosts + serial);
        }
      });
    }
    return false;
  });
  script.afterIdleWork = [&](StubApplication& application) {
    if (!application.listener->onReceive) {
      application.listener->onReceive = [&](const QZ::RCPtr<QZ::LNotification>& notification) {
        const QZ::RCPtr<Number> number = notification->GetParameterAs<Number>();
        if (!number) {
          return; // the idle notification
        }
        const int value = number->GetValue();
        arrived[value / kPosts].push_back(value % kPosts);
        if (++total == kThreads * kPosts) {
          Host::PostQuitMessage(0);
        }
      };
    }
  };
  {
    TestHost host(RealTimeServices());
    EXPECT_EQ(Run(), 0);
  }
  for (std::thread& poster : posters) {
    poster.join();
  }
  std::vector<int> inOrder(kPosts);
  std::iota(inOrder.begin(), inOrder.end(), 0);
  for (int thread = 0; thread < kThreads; ++thread) {
    EXPECT_EQ(arrived[thread], inOrder) << "thread " << thread;
  }
}

} // namespace
} // namespace QZTest
