// The host's message loop: 100,000 mouse moves taken from SDL, translated, dispatched to a
// window and checked for the idle rule, against a raw SDL_PushEvent / SDL_PollEvent loop
// over the same events (goal: at most 1.5 times its time); and the median delay from a
// notification posted on another thread to its delivery by the waiting loop, against SDL's
// own wake-up of a thread waiting in SDL_WaitEvent (goal: under 1 ms).

#include <SDL2/SDL.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Host/MessagePump.h"
#include "Platform/Window/VideoBackend.h"
#include "Platform/Window/Window.h"
#include "QZFramework/Application/HostApp.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "Support/RatioReporter.h"

namespace {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;
using Clock = std::chrono::steady_clock;

constexpr int kEvents = 100000;
constexpr int kBatch = 1000; // SDL's queue holds fewer than 65,536 events
constexpr int kDelaySamples = 200;

class Sink : public Win::WindowProcedure {
public:
  Win::LRESULT WindowProc(Win::HWND, uint32_t message, Win::WPARAM, Win::LPARAM) override {
    moves += message == Win::WM_MOUSEMOVE;
    return 0;
  }
  int64_t moves = 0;
};

void PushMoves(uint32_t window, int first) {
  for (int i = first; i < first + kBatch; ++i) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = window;
    event.motion.x = i % 200;
    event.motion.y = (i / 200) % 100;
    SDL_PushEvent(&event);
  }
}

// The loop's host: each idle period ends a batch and pushes the next, or posts the quit
// after the last; or drains a notification centre.
class BenchHost : public QZ::HostApp {
public:
  bool OnIdle(int32_t idleCount) override {
    if (idleCount == 0 && onIdle) {
      onIdle();
    }
    return false;
  }
  std::function<void()> onIdle;
};

struct Session {
  Session() {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
    started = host.WinInit("bench", Win::SW_SHOWNORMAL);
    window = Win::CreateWindowEx(0, u"bench", Win::WS_CAPTION | Win::WS_VISIBLE, 0, 0, 200, 100, nullptr, &sink);
    Win::ValidateRect(window, nullptr);
    sdlWindow = Win::GetBackendWindowId(window);
  }
  Sink sink; // outlives the host, whose end destroys the window
  BenchHost host;
  bool started = false;
  Win::HWND window = nullptr;
  uint32_t sdlWindow = 0;
};

Session& TheSession() {
  static Session session;
  return session;
}

void BM_HostLoopEvents(benchmark::State& state) {
  Session& session = TheSession();
  if (!session.started) {
    state.SkipWithError("the window system did not start");
    return;
  }
  for (auto _ : state) {
    int pushed = 0;
    session.host.onIdle = [&] {
      if (pushed == kEvents) {
        Host::PostQuitMessage(0);
        return;
      }
      PushMoves(session.sdlWindow, pushed);
      pushed += kBatch;
    };
    session.host.RunMessageLoop();
  }
  state.SetItemsProcessed(state.iterations() * kEvents);
}

void BM_RawSdlEvents(benchmark::State& state) {
  Session& session = TheSession();
  int64_t taken = 0;
  for (auto _ : state) {
    for (int pushed = 0; pushed < kEvents; pushed += kBatch) {
      PushMoves(session.sdlWindow, pushed);
      SDL_Event event;
      while (SDL_PollEvent(&event)) {
        taken += event.type == SDL_MOUSEMOTION;
      }
    }
  }
  benchmark::DoNotOptimize(taken);
  state.SetItemsProcessed(state.iterations() * kEvents);
}

class Stamped : public QZ::LNotificationClient {
public:
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>&) override {
    delays.push_back(Clock::now().time_since_epoch() - Clock::duration(posted.load()));
    delivered.store(true);
    return QZ::QZ_OK;
  }
  std::atomic<Clock::rep> posted{0};
  std::atomic<bool> delivered{false};
  std::vector<Clock::duration> delays;
};

Clock::duration Median(std::vector<Clock::duration> delays) {
  std::nth_element(delays.begin(), delays.begin() + delays.size() / 2, delays.end());
  return delays[delays.size() / 2];
}

// Waits (yielding) until flag is set.
void AwaitSet(const std::atomic<bool>& flag) {
  while (!flag.load()) {
    std::this_thread::yield();
  }
}

void BM_HostLoopPostDelay(benchmark::State& state) {
  Session& session = TheSession();
  QZ::LNotificationQueue::SetPostListener(&Host::RequestIdle);
  QZ::LNotificationCenterManager centres;
  QZ::RCPtr<QZ::LNotificationCenter> centre = centres.GetNotificationCenter(u"application");
  QZ::RCPtr<Stamped> listener(new Stamped);
  listener->RegisterNotification(centre, u"NID_BENCH_POST");
  for (auto _ : state) {
    listener->delays.clear();
    std::atomic<bool> waiting{false};
    session.host.onIdle = [&] {
      centres.ProcessNotifications(true);
      if (listener->delays.size() == kDelaySamples) {
        Host::PostQuitMessage(0);
      }
      waiting.store(true);
    };
    std::thread poster([&] {
      for (int i = 0; i < kDelaySamples; ++i) {
        AwaitSet(waiting); // the loop has idled and waits (or is about to)
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        waiting.store(false);
        listener->delivered.store(false);
        listener->posted.store(Clock::now().time_since_epoch().count());
        (void)centre->PostNotification(QZ::LNotification::Create(u"NID_BENCH_POST")); // the centre is open
        AwaitSet(listener->delivered);
      }
    });
    session.host.RunMessageLoop();
    poster.join();
    state.SetIterationTime(std::chrono::duration<double>(Median(listener->delays)).count());
  }
  listener->UnregisterAllNotifications();
  QZ::LNotificationQueue::SetPostListener(nullptr);
}

void BM_RawSdlWakeDelay(benchmark::State& state) {
  TheSession();
  for (auto _ : state) {
    std::vector<Clock::duration> delays;
    std::atomic<Clock::rep> posted{0};
    std::atomic<bool> waiting{false};
    std::atomic<bool> delivered{false};
    std::thread poster([&] {
      for (int i = 0; i < kDelaySamples; ++i) {
        AwaitSet(waiting);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
        waiting.store(false);
        delivered.store(false);
        posted.store(Clock::now().time_since_epoch().count());
        SDL_Event event{};
        event.type = SDL_USEREVENT;
        SDL_PushEvent(&event);
        AwaitSet(delivered);
      }
    });
    while (int(delays.size()) < kDelaySamples) {
      waiting.store(true);
      SDL_Event event;
      if (SDL_WaitEvent(&event) && event.type == SDL_USEREVENT) {
        delays.push_back(Clock::now().time_since_epoch() - Clock::duration(posted.load()));
        delivered.store(true);
      }
    }
    poster.join();
    state.SetIterationTime(std::chrono::duration<double>(Median(delays)).count());
  }
}

BENCHMARK(BM_HostLoopEvents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawSdlEvents)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostLoopPostDelay)->UseManualTime()->Iterations(5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSdlWakeDelay)->UseManualTime()->Iterations(5)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(
      argc, argv,
      {{"BM_HostLoopEvents", "BM_RawSdlEvents"},
       {"BM_HostLoopPostDelay/iterations:5/manual_time", "BM_RawSdlWakeDelay/iterations:5/manual_time"}});
}
