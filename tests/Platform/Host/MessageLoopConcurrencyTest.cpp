// Other threads posting and invalidating while the UI thread waits in the queue.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include "HostTestSupport.h"

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
  while (received < kThreads * kPosts && Host::GetMessage(&msg) > 0) {
    if (msg.message != WM_USER) {
      continue;
    }
    ASSERT_LT(msg.wParam, WPARAM(kThreads));
    EXPECT_EQ(msg.lParam, next[msg.wParam]++) << "thread " << msg.wParam;
    ++received;
  }
  for (std::thread& poster : posters) {
    poster.join();
  }
  EXPECT_EQ(received, kThreads * kPosts);
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

// SDL itself (offscreen driver): a post from another thread wakes SDL's own wait.
TEST(MessageLoopOverSdlConcurrencyTest, APostFromAnotherThreadWakesTheWaitingQueueAtOnce) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  ASSERT_TRUE(Host::Startup());
  using Clock = std::chrono::steady_clock;
  std::vector<double> delays;
  for (int round = 0; round < 21; ++round) {
    Clock::time_point posted;
    std::thread poster([&posted] {
      // Gives the queue time to start waiting, so that the post has a wait to end.
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      posted = Clock::now();
      EXPECT_TRUE(Host::PostThreadMessage(WM_USER, 0, 0));
    });
    MSG msg;
    ASSERT_EQ(Host::GetMessage(&msg), 1);
    const Clock::time_point arrived = Clock::now();
    poster.join();
    EXPECT_EQ(msg.message, WM_USER);
    delays.push_back(std::chrono::duration<double, std::milli>(arrived - posted).count());
  }
  Host::Shutdown();
  std::nth_element(delays.begin(), delays.begin() + delays.size() / 2, delays.end());
  EXPECT_LT(delays[delays.size() / 2], 5.0) << "median delay in milliseconds";
}

} // namespace
