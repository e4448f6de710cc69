#pragma once
// QZ::SplashMessageQueue: the splash screen thread's message queue: thread messages
// posted from any thread, and the one timer of the thread.
//
//   SplashMessageQueue queue(SplashClock::Steady());
//   queue.Post({kMessage, 1, 0});                     // any thread
//   queue.SetTimer(10, std::chrono::milliseconds(250));
//   for (SplashMessage message = queue.Get(); message.message != WM_QUIT; message = queue.Get()) {
//     ...                                             // WM_TIMER (wParam 10) every 250 ms
//   }
//
// Order, as a Windows thread queue keeps it: posted messages first, oldest first; when
// none waits, WM_TIMER once the timer is due. A timer that fell behind gives one
// WM_TIMER and runs on from its due time, or from now when that has passed too.
//
// Post from any thread; Get, SetTimer and KillTimer on the thread that owns the queue.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "Platform/Window/WindowTypes.h"
#include "QZFramework/Application/SplashClock.h"

namespace QZ {

struct SplashMessage {
  uint32_t message = 0;
  Platform::Window::WPARAM wParam = 0;
  Platform::Window::LPARAM lParam = 0;
};

class SplashMessageQueue {
public:
  explicit SplashMessageQueue(std::shared_ptr<SplashClock> clock);
  SplashMessageQueue(const SplashMessageQueue&) = delete;
  SplashMessageQueue& operator=(const SplashMessageQueue&) = delete;

  // Queues a message and wakes the owner. Any thread.
  void Post(const SplashMessage& message);
  // The next message, waiting for one.
  SplashMessage Get();
  // Starts (or restarts) the timer: WM_TIMER with wParam id every period (at least 1 ms),
  // the first one period from now.
  void SetTimer(uintptr_t id, std::chrono::milliseconds period);
  // Stops the timer; nothing when it does not run or has another id.
  void KillTimer(uintptr_t id);

private:
  struct Timer {
    uintptr_t id = 0;
    std::chrono::milliseconds period{0};
    SplashClock::TimePoint due;
  };

  std::shared_ptr<SplashClock> mClock;
  std::mutex mMutex;
  std::condition_variable mWake;
  std::deque<SplashMessage> mPosted;
  std::optional<Timer> mTimer;
};

} // namespace QZ
