// Other threads posting and invalidating while the UI thread waits in the queue.

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "HostTestSupport.h"
#include "Support/WaitUntil.h"

namespace {

using namespace QZ::Platform::Window;
namespace Host = QZ::Platform::Host;

class MessageLoopConcurrencyTest : public QZTest::MessageQueueTest {};

TEST_F(MessageLoopConcurrencyTest, FourThreadsPostingAThousandEachAllArriveEachThreadInOrder) {
  constexpr int kThreads = 4;
  constexpr int kPosts = 1000;
  std::vector<std::thread> posters;
  for (int thread = 0; thread < kThreads; ++thread) {
    posters.emplace_back([this, thread] {
      for (int i = 0; i < kPosts; ++i) {
        EXPECT_TRUE(Host::PostMessage(hwnd, WM_USER, WPARAM(thread), LPARAM(i)));
      }
    });
  }
  std::array<LPARAM, kThreads> next{};
  int received = 0;
  MSG msg;
  // No assertion leaves the loop: the posters are joined whatever arrives.
  while (received < kThreads * kPosts && Host::GetMessage(&msg) > 0) {
    if (msg.message != WM_USER) {
      continue;
    }
    if (msg.wParam >= WPARAM(kThreads)) {
      ADD_FAILURE() << "a post from no poster: " << msg.wParam;
      break;
    }
    EXPECT_EQ(msg.lParam, next[msg.wParam]++) << "thread " << msg.wParam;
    ++received;
  }
  for (std::thread& poster : posters) {
    poster.join();
  }
  EXPECT_EQ(received, kThreads * kPosts);
}

// The queue looks at the posted messages before it takes input; a post made in between
// has its wake-up taken with the input. The queue then finds the post without waiting
// for another event.
class WakeTakenWithInputBackend : public QZTest::ScriptedVideoBackend {
public:
  bool PollEvent(SDL_Event& event) override {
    if (std::exchange(postAtNextPoll, false)) {
      std::thread([] { EXPECT_TRUE(Host::PostThreadMessage(WM_USER, 7, 0)); }).join();
    }
    return ScriptedVideoBackend::PollEvent(event);
  }
  // A wait with nothing scripted ends at once and is counted: only a post can end it here.
  bool WaitEventTimeout(SDL_Event& event, int32_t timeoutMs) override {
    if (Pending() == 0) {
      ++emptyWaits;
      return false;
    }
    return ScriptedVideoBackend::WaitEventTimeout(event, timeoutMs);
  }
  bool postAtNextPoll = false;
  int emptyWaits = 0;
};

TEST(MessageLoopWakeConcurrencyTest, APostWhoseWakeUpIsTakenWithTheInputArrivesWithoutAnotherEvent) {
  auto owned = std::make_unique<WakeTakenWithInputBackend>();
  WakeTakenWithInputBackend& backend = *owned;
  ASSERT_TRUE(Host::Startup(std::move(owned)));
  backend.postAtNextPoll = true;
  MSG msg;
  EXPECT_EQ(Host::GetMessage(&msg), 1);
  EXPECT_EQ(msg.message, WM_USER);
  EXPECT_EQ(msg.wParam, WPARAM(7));
  EXPECT_FALSE(backend.postAtNextPoll) << "the queue took input after looking at the posted messages";
  EXPECT_EQ(backend.emptyWaits, 0) << "the post waited for an event that nothing sends";
  EXPECT_EQ(backend.Pending(), 0u) << "the wake-up was taken";
  Host::Shutdown(); // frees the backend
}

TEST_F(MessageLoopConcurrencyTest, AtMostOneWakeUpWaitsWhateverIsPosted) {
  std::thread poster([this] {
    for (int i = 0; i < 500; ++i) {
      EXPECT_TRUE(Host::PostMessage(hwnd, WM_USER, 0, i));
      const RECT corner{0, 0, 1, 1};
      InvalidateRect(hwnd, &corner, false);
    }
    Host::PostQuitMessage(0);
  });
  poster.join();
  EXPECT_EQ(script->Pending(), 1u) << "one wake-up for everything";
  int posted = 0;
  MSG msg;
  while (Host::GetMessage(&msg) > 0) {
    posted += msg.message == WM_USER;
  }
  EXPECT_EQ(posted, 500);
  EXPECT_TRUE(GetUpdateRect(hwnd, nullptr, false));
  EXPECT_EQ(MessagesOf(Pump()), (std::vector<uint32_t>{WM_PAINT}));
  EXPECT_EQ(script->Pending(), 0u) << "the wake-up was taken";
  // Once taken, the next post from another thread wakes the queue again.
  std::thread([this] { EXPECT_TRUE(Host::PostMessage(hwnd, WM_USER + 1, 0, 0)); }).join();
  EXPECT_EQ(script->Pending(), 1u);
}

TEST_F(MessageLoopConcurrencyTest, AnInvalidationFromAnotherThreadBringsAPaint) {
  std::thread painter([this] {
    const RECT part{10, 10, 20, 20};
    EXPECT_TRUE(InvalidateRect(hwnd, &part, false));
  });
  MSG msg;
  ASSERT_EQ(Host::GetMessage(&msg), 1);
  while (msg.message != WM_PAINT) {
    ASSERT_EQ(Host::GetMessage(&msg), 1);
  }
  painter.join();
  EXPECT_EQ(msg.hwnd, hwnd);
  RECT update;
  ASSERT_TRUE(GetUpdateRect(hwnd, &update, false));
  EXPECT_EQ(update.left, 10);
  EXPECT_EQ(update.right, 20);
}

// A paint takes its rectangles and empties the region in one step: an invalidation from
// another thread lands before the take or stays for the next one, never between the two.
TEST_F(MessageLoopConcurrencyTest, NoRectangleInvalidatedWhilePaintsTakeTheRegionIsLost) {
  constexpr int32_t kColumns = 200; // the client area's width: each invalidates a column of its own
  std::atomic<bool> done{false};
  std::thread invalidator([&] {
    for (int32_t x = 0; x < kColumns; ++x) {
      const RECT column{x, 0, x + 1, 1};
      InvalidateRect(hwnd, &column, false);
    }
    done = true;
  });
  std::array<bool, kColumns> painted{};
  std::vector<RECT> taken;
  auto take = [&] {
    TakeUpdateRects(hwnd, taken);
    for (const RECT& rect : taken) {
      for (int32_t x = std::max(rect.left, 0); x < std::min(rect.right, kColumns); ++x) {
        painted[size_t(x)] = true;
      }
    }
  };
  while (!done) {
    take();
  }
  invalidator.join();
  take();
  for (int32_t x = 0; x < kColumns; ++x) {
    EXPECT_TRUE(painted[size_t(x)]) << "column " << x;
  }
  EXPECT_FALSE(GetUpdateRect(hwnd, nullptr, false));
}

// SDL itself, telling when the queue starts to wait and for how long it may.
class WaitWatchingBackend : public SdlVideoBackend {
public:
  bool WaitEventTimeout(SDL_Event& event, int32_t timeoutMs) override {
    {
      std::lock_guard hold(mLock);
      mTimeouts.push_back(timeoutMs);
    }
    mWaited.notify_all();
    return SdlVideoBackend::WaitEventTimeout(event, timeoutMs);
  }
  bool PushEvent(SDL_Event& event) override {
    ++pushed;
    return SdlVideoBackend::PushEvent(event);
  }
  // Waits until the queue has begun its count-th wait.
  bool AwaitWait(size_t count) {
    std::unique_lock hold(mLock);
    return QZTest::WaitUntil(hold, mWaited, [&] { return mTimeouts.size() >= count; });
  }
  std::vector<int32_t> Timeouts() {
    std::lock_guard hold(mLock);
    return mTimeouts;
  }
  std::atomic<int> pushed{0};

private:
  std::mutex mLock;
  std::condition_variable mWaited;
  std::vector<int32_t> mTimeouts;
};

// Ends a wait that nothing else ends: after the bound, SDL's quit event reaches the queue
// as WM_QZ_QUITREQUESTED in place of what the test waits for.
class QuitAfterBound {
public:
  QuitAfterBound()
      : mThread([this] {
          std::unique_lock hold(mLock);
          if (!QZTest::WaitUntil(hold, mChanged, [this] { return mDone; })) {
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
          }
        }) {}
  ~QuitAfterBound() {
    {
      std::lock_guard hold(mLock);
      mDone = true;
    }
    mChanged.notify_all();
    mThread.join();
  }

private:
  std::mutex mLock;
  std::condition_variable mChanged;
  bool mDone = false;
  std::thread mThread;
};

// A post from another thread ends SDL's own wait (offscreen driver): with no timer the
// queue waits without a time-out, so only the post's wake-up can end it. How soon it ends
// is MessageLoopBench's figure.
TEST(MessageLoopOverSdlConcurrencyTest, APostFromAnotherThreadEndsSdlsWaitWithoutATimeOut) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  auto owned = std::make_unique<WaitWatchingBackend>();
  WaitWatchingBackend& backend = *owned;
  ASSERT_TRUE(Host::Startup(std::move(owned)));
  constexpr int kRounds = 5;
  for (int round = 0; round < kRounds; ++round) {
    std::thread poster([&backend, round] {
      EXPECT_TRUE(backend.AwaitWait(size_t(round) + 1)) << "the queue did not wait";
      EXPECT_TRUE(Host::PostThreadMessage(WM_USER, WPARAM(round), 0));
    });
    MSG msg;
    {
      const QuitAfterBound bound;
      EXPECT_EQ(Host::GetMessage(&msg), 1);
    }
    poster.join();
    EXPECT_EQ(msg.message, WM_USER) << "round " << round << ": the post did not end the wait";
    EXPECT_EQ(msg.wParam, WPARAM(round));
  }
  EXPECT_EQ(backend.Timeouts(), std::vector<int32_t>(kRounds, -1)) << "one wait per round, without a time-out";
  EXPECT_EQ(backend.pushed, kRounds) << "one wake-up per post";
  Host::Shutdown(); // frees the backend
}

} // namespace
