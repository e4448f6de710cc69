// The splash screen's thread: its window centred in the work area, the bar under the
// image, the stepping on the timer's ticks (a clock the test advances), the messages that
// stop it, the ways its start fails without stalling, and its end joining the thread.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "QZFramework/Application/SplashScreen.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"
#include "SplashTestSupport.h"
#include "Support/WaitUntil.h"

namespace QZTest {
namespace {

using namespace std::chrono_literals;
using TimePoint = QZ::SplashClock::TimePoint;

// A clock that moves only when the test advances it, and tells the test when the splash
// thread waits again: then every message posted before has been handled and no tick is
// due.
class FakeSplashClock : public QZ::SplashClock {
public:
  TimePoint Now() override {
    std::lock_guard lock(mMutex);
    return mNow;
  }
  void WaitUntil(std::condition_variable& wake, std::unique_lock<std::mutex>& lock, TimePoint deadline) override {
    {
      std::lock_guard hold(mMutex);
      if (mNow >= deadline) {
        return;
      }
      mWaiter = {lock.mutex(), &wake};
      mDeadline = deadline;
      ++mWaits;
    }
    mChanged.notify_all();
    wake.wait(lock);
    std::lock_guard hold(mMutex);
    mWaiter = {};
  }
  // Moves the clock and wakes the splash thread.
  void Advance(std::chrono::milliseconds step) {
    Waiter waiter;
    {
      std::lock_guard hold(mMutex);
      mNow += step;
      waiter = mWaiter;
    }
    if (waiter.mutex) {
      std::lock_guard hold(*waiter.mutex);
      waiter.wake->notify_all();
    }
  }
  // Runs action once the splash thread waits, then waits (bounded) until it waits
  // again: what the action posted or made due has been handled. The deadline of that
  // wait (TimePoint::max(): no timer runs).
  TimePoint Handled(const std::function<void()>& action) {
    uint64_t since = 0;
    {
      std::unique_lock hold(mMutex);
      EXPECT_TRUE(QZTest::WaitUntil(hold, mChanged, [&] { return mWaiter.mutex != nullptr; }));
      since = mWaits;
    }
    action();
    std::unique_lock hold(mMutex);
    EXPECT_TRUE(QZTest::WaitUntil(hold, mChanged, [&] { return mWaits > since && mWaiter.mutex; }));
    return mDeadline;
  }
  // Advances by step; see Handled.
  TimePoint Tick(std::chrono::milliseconds step) {
    return Handled([&] { Advance(step); });
  }

private:
  struct Waiter {
    std::mutex* mutex = nullptr;
    std::condition_variable* wake = nullptr;
  };
  std::mutex mMutex;
  std::condition_variable mChanged;
  TimePoint mNow{};
  TimePoint mDeadline{};
  Waiter mWaiter;
  uint64_t mWaits = 0;
};

class SplashScreenTest : public ::testing::Test {
protected:
  // A splash screen over a fake backend of work area `workArea` and the fake clock.
  std::unique_ptr<QZ::SplashScreen> MakeSplash(Win::RECT workArea = {0, 0, 1920, 1080},
                                               std::function<void(FakeSplashBackend&)> adjust = {},
                                               std::chrono::milliseconds readyTime = 60s) {
    auto backend = std::make_unique<FakeSplashBackend>(log, workArea);
    if (adjust) {
      adjust(*backend);
    }
    QZ::SplashScreen::Options options;
    options.backend = std::move(backend);
    options.clock = clock;
    options.readyTime = readyTime;
    options.trace = &trace;
    return std::make_unique<QZ::SplashScreen>(std::move(options));
  }
  static QZ::RCPtr<QZ::LBitmap> Image(int32_t width, int32_t height) {
    return QZ::LBitmap::CreateFilledBitmap({width, height}, QZ::ColorT<float>(1, 0, 0, 1));
  }
  std::string Traced() {
    std::lock_guard lock(traceMutex);
    return traced;
  }

  BackendLog log;
  std::shared_ptr<FakeSplashClock> clock = std::make_shared<FakeSplashClock>();
  std::mutex traceMutex;
  std::string traced;
  QZ::DebugTrace trace{[this](std::string_view text) {
    std::lock_guard lock(traceMutex);
    traced += text;
  }};
};

TEST_F(SplashScreenTest, WithoutAnImageStartReturnsAtOnceAndNothingIsShown) {
  auto splash = MakeSplash();
  const auto before = std::chrono::steady_clock::now();
  splash->Start();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 30s); // not the ready time
  splash->SetProgressRange(0, 100, 8);
  splash.reset();
  EXPECT_TRUE(log.Calls().empty());
  EXPECT_EQ(Traced(), "");
}

TEST_F(SplashScreenTest, TheWindowIsCentredAndTheBarStepsToNinetySixInThirtyTwoTicks) {
  auto splash = MakeSplash();
  const QZ::RCPtr<QZ::LBitmap> image = Image(400, 300);
  splash->SetImage(image);
  splash->SetImage(Image(10, 10)); // the first image stays
  splash->Start();
  EXPECT_EQ(log.Calls(), (std::vector<std::string>{"GetWorkArea", "CreateSplashWindow 400x300", "PaintLayered",
                                                   "ShowSplashWindow"}));
  EXPECT_NE(log.thread, std::this_thread::get_id());
  EXPECT_EQ(log.window, (Win::RECT{760, 390, 1160, 690}));

  EXPECT_NE(clock->Handled([&] { splash->SetProgressRange(0, 100, 8); }), TimePoint::max()); // the step timer runs
  EXPECT_EQ(log.bar, (Win::RECT{776, 670, 776 + 368, 670 + 16}));
  EXPECT_EQ(log.Calls().back(), "CreateBar 0..100");
  EXPECT_EQ(log.Positions(), std::vector<int32_t>{0});

  clock->Tick(249ms);
  EXPECT_EQ(log.Positions().size(), 1u);
  TimePoint next;
  for (int tick = 1; tick <= 32; ++tick) {
    next = clock->Tick(tick == 1 ? 1ms : 250ms);
    ASSERT_EQ(log.Positions().size(), size_t(tick + 1));
    EXPECT_EQ(log.Positions().back(), 3 * tick);
  }
  EXPECT_EQ(next, TimePoint::max()); // the timer ended with the 32nd tick
  clock->Advance(10s);
  splash.reset();
  EXPECT_EQ(log.Positions().size(), 33u);
  EXPECT_EQ(log.Positions().back(), 96);
  EXPECT_EQ(log.Calls().back(), "DestroySplashWindow");
  EXPECT_EQ(Traced(), "");
}

TEST_F(SplashScreenTest, APositionStopsTheSteppingAndColourMakesTheBar) {
  auto splash = MakeSplash();
  splash->SetImage(Image(400, 300));
  splash->Start();
  clock->Handled([&] { splash->SetProgressColor(0x0000FF00); });
  EXPECT_EQ(log.Calls(), (std::vector<std::string>{"GetWorkArea", "CreateSplashWindow 400x300", "PaintLayered",
                                                   "ShowSplashWindow", "CreateBar 0..100", "SetBarColor 65280"}));

  clock->Handled([&] { splash->SetProgressRange(0, 100, 8); });
  clock->Tick(250ms);
  clock->Tick(250ms);
  EXPECT_EQ(clock->Handled([&] { splash->SetProgressPos(50); }), TimePoint::max());
  clock->Tick(10s);
  EXPECT_EQ(log.Positions(), (std::vector<int32_t>{0, 3, 6, 50}));

  // Positions stay inside the bar's range.
  for (int32_t position : {150, -5}) {
    clock->Handled([&] { splash->SetProgressPos(position); });
  }
  EXPECT_EQ(log.Positions(), (std::vector<int32_t>{0, 3, 6, 50, 100, 0}));
}

TEST_F(SplashScreenTest, ZeroSecondsStepsAsOneSecondAndASecondStartDoesNothing) {
  auto splash = MakeSplash();
  splash->SetImage(Image(400, 300));
  splash->Start();
  splash->Start();
  clock->Handled([&] { splash->SetProgressRange(20, 100, 0); });
  for (int tick = 0; tick < 5; ++tick) {
    clock->Tick(250ms);
  }
  EXPECT_EQ(log.Positions(), (std::vector<int32_t>{20, 40, 60, 80, 100}));
  splash.reset();
  const std::vector<std::string> calls = log.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "CreateSplashWindow 400x300"), 1);
}

TEST_F(SplashScreenTest, AnImageLargerThanTheWorkAreaOverhangsItEvenly) {
  struct Case {
    Win::RECT workArea;
    int32_t width;
    int32_t height;
    Win::RECT window;
    Win::RECT bar;
  };
  for (const Case& c : {
           Case{{0, 0, 1920, 1080}, 2000, 1200, {-40, -60, 1960, 1140}, {40, 1120, 1880, 1136}},
           Case{{0, 32, 1920, 1080}, 400, 300, {760, 406, 1160, 706}, {776, 686, 1144, 702}},
           Case{{-1280, 0, 0, 1024}, 24, 30, {-652, 497, -628, 527}, {-652, 507, -628, 523}},
       }) {
    log.bar = {};
    auto splash = MakeSplash(c.workArea);
    splash->SetImage(Image(c.width, c.height));
    splash->Start();
    clock->Handled([&] { splash->SetProgressPos(0); });
    EXPECT_EQ(log.window, c.window) << c.width << "x" << c.height;
    EXPECT_EQ(log.bar, c.bar) << c.width << "x" << c.height;
  }
}

TEST_F(SplashScreenTest, AWindowThatCannotBeMadeEndsTheStartAtOnce) {
  auto splash = MakeSplash({0, 0, 1920, 1080}, [](FakeSplashBackend& backend) { backend.canCreate = false; });
  splash->SetImage(Image(400, 300));
  const auto before = std::chrono::steady_clock::now();
  splash->Start();
  EXPECT_LT(std::chrono::steady_clock::now() - before, 30s); // not the ready time of 60 s
  EXPECT_EQ(Traced(), "Unable to create SplashWnd\n");
  splash->SetProgressRange(0, 100, 8);
  splash.reset();
  EXPECT_EQ(log.Calls(), (std::vector<std::string>{"GetWorkArea", "CreateSplashWindow 400x300"}));
}

TEST_F(SplashScreenTest, AFailedPaintIsTracedAndTheSplashGoesOn) {
  auto splash = MakeSplash({0, 0, 1920, 1080}, [](FakeSplashBackend& backend) { backend.canPaint = false; });
  splash->SetImage(Image(400, 300));
  splash->Start();
  clock->Handled([&] { splash->SetProgressPos(30); });
  EXPECT_EQ(Traced(), "Unable to UpdateLayeredWindow\n");
  EXPECT_EQ(log.Positions(), std::vector<int32_t>{30});
}

TEST_F(SplashScreenTest, AThreadThatIsNotReadyInTimeIsToldAndStillJoined) {
  std::mutex gate;
  std::unique_lock closed(gate);
  auto splash = MakeSplash(
      {0, 0, 1920, 1080},
      [&](FakeSplashBackend& backend) { backend.beforeCreate = [&] { std::lock_guard pass(gate); }; }, 50ms);
  splash->SetImage(Image(400, 300));
  splash->Start();
  EXPECT_EQ(Traced(), "Error starting SplashThread\n");
  closed.unlock();
  splash.reset(); // joins the thread, which made its window meanwhile
  EXPECT_EQ(log.Calls().back(), "DestroySplashWindow");
}

} // namespace
} // namespace QZTest
