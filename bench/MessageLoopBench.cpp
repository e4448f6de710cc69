// The message queue against SDL's own event loop doing the same work:
//   - 100,000 mouse moves pushed into SDL's queue and delivered, through the queue
//     (translated into WM_MOUSEMOVE, dispatched to the window's procedure), against
//     SDL_PollEvent handing each to a handler looked up by window id;
//   - the median delay from a post on another thread to its delivery on the waiting UI
//     thread, against SDL_PushEvent to an SDL_WaitEvent, each with a window shown (SDL
//     wakes a waiting thread through a shown window; without one it polls every 1 ms).
// SDL's driver is the one SDL_VIDEODRIVER names, else the offscreen driver (which always
// polls every millisecond); run under X11 (DISPLAY, SDL_VIDEODRIVER=x11) for the figures
// of a desktop.

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <thread>
#include <unordered_map>
#include <vector>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/VideoBackend.h"
#include "Support/RatioReporter.h"

namespace {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;

constexpr int kEvents = 100000;
constexpr int kBatch = 1000; // SDL's queue holds at most 65,535 events
constexpr int kDelayRounds = 200;

class CountingWindow : public Win::WindowProcedure {
public:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    if (message == Win::WM_MOUSEMOVE) {
      ++moves;
      sum += Win::GetXLParam(lParam);
      return 0;
    }
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }
  int64_t moves = 0;
  int64_t sum = 0;
};

SDL_Event Move(uint32_t window, int i) {
  SDL_Event event{};
  event.type = SDL_MOUSEMOTION;
  event.motion.windowID = window;
  event.motion.x = i % 200;
  event.motion.y = i % 100;
  return event;
}

void ChooseDriver() {
  if (!std::getenv("SDL_VIDEODRIVER")) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
  }
}

void BM_MessageLoop100000Moves(benchmark::State& state) {
  ChooseDriver();
  if (!Host::Startup()) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  CountingWindow window;
  const Win::HWND hwnd = Win::CreateWindowEx(0, u"bench", Win::WS_POPUP, 0, 0, 200, 100, nullptr, &window);
  const uint32_t id = Win::GetBackendWindowId(hwnd);
  for (auto _ : state) {
    for (int first = 0; first < kEvents; first += kBatch) {
      for (int i = first; i < first + kBatch; ++i) {
        SDL_Event event = Move(id, i);
        SDL_PushEvent(&event);
      }
      Win::MSG msg;
      while (Host::PeekMessage(&msg, Win::PM_REMOVE)) {
        Host::TranslateMessage(&msg);
        Host::DispatchMessage(&msg);
      }
    }
  }
  benchmark::DoNotOptimize(window.sum);
  state.counters["delivered"] = double(window.moves) / double(state.iterations());
  Win::DestroyWindow(hwnd);
  Host::Shutdown();
}
BENCHMARK(BM_MessageLoop100000Moves)->Unit(benchmark::kMillisecond);

void BM_RawSdl100000Moves(benchmark::State& state) {
  ChooseDriver();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  SDL_Window* sdlWindow = SDL_CreateWindow("bench", 0, 0, 200, 100, SDL_WINDOW_HIDDEN | SDL_WINDOW_BORDERLESS);
  const uint32_t id = SDL_GetWindowID(sdlWindow);
  int64_t moves = 0;
  int64_t sum = 0;
  std::unordered_map<uint32_t, std::function<void(const SDL_MouseMotionEvent&)>> handlers;
  handlers[id] = [&](const SDL_MouseMotionEvent& motion) {
    ++moves;
    sum += motion.x;
  };
  for (auto _ : state) {
    for (int first = 0; first < kEvents; first += kBatch) {
      for (int i = first; i < first + kBatch; ++i) {
        SDL_Event event = Move(id, i);
        SDL_PushEvent(&event);
      }
      SDL_Event event;
      while (SDL_PollEvent(&event)) {
        if (event.type == SDL_MOUSEMOTION) {
          if (auto handler = handlers.find(event.motion.windowID); handler != handlers.end()) {
            handler->second(event.motion);
          }
        }
      }
    }
  }
  benchmark::DoNotOptimize(sum);
  state.counters["delivered"] = double(moves) / double(state.iterations());
  SDL_DestroyWindow(sdlWindow);
  SDL_Quit();
}
BENCHMARK(BM_RawSdl100000Moves)->Unit(benchmark::kMillisecond);

using Clock = std::chrono::steady_clock;

// Posts from another thread kDelayRounds times, each once the receiver waits; the median
// delay in microseconds.
double MedianDelay(const std::function<void(int64_t)>& post, const std::function<int64_t()>& receive) {
  std::vector<double> delays;
  std::atomic<bool> stop{false};
  std::thread poster([&] {
    while (!stop) {
      // Long enough for the receiver to be waiting again.
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
      post(Clock::now().time_since_epoch().count());
    }
  });
  for (int round = 0; round < kDelayRounds; ++round) {
    const int64_t posted = receive();
    delays.push_back(double(Clock::now().time_since_epoch().count() - posted) / 1000.0);
  }
  stop = true;
  receive(); // the poster's last post
  poster.join();
  std::nth_element(delays.begin(), delays.begin() + delays.size() / 2, delays.end());
  return delays[delays.size() / 2];
}

void BM_MessageLoopPostDelay(benchmark::State& state) {
  ChooseDriver();
  if (!Host::Startup()) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  CountingWindow window;
  const Win::HWND hwnd =
      Win::CreateWindowEx(0, u"bench", Win::WS_POPUP | Win::WS_VISIBLE, 0, 0, 200, 100, nullptr, &window);
  for (auto _ : state) {
    const double median = MedianDelay(
        [](int64_t now) {
          // The queue runs: a post is taken; a failed one would stall the count, not pass.
          (void)Host::PostThreadMessage(Win::WM_USER, 0, Win::LPARAM(now));
        },
        [] {
          Win::MSG msg;
          while (Host::GetMessage(&msg) > 0 && msg.message != Win::WM_USER) {
            Host::DispatchMessage(&msg);
          }
          return int64_t(msg.lParam);
        });
    state.SetIterationTime(median / 1e6);
  }
  Win::DestroyWindow(hwnd);
  Host::Shutdown();
}
// The time reported is the median delay.
BENCHMARK(BM_MessageLoopPostDelay)->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_RawSdlPushDelay(benchmark::State& state) {
  ChooseDriver();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  SDL_Window* shown = SDL_CreateWindow("bench", 0, 0, 200, 100, SDL_WINDOW_SHOWN | SDL_WINDOW_BORDERLESS);
  const uint32_t type = SDL_RegisterEvents(1);
  for (auto _ : state) {
    const double median = MedianDelay(
        [type](int64_t now) {
          SDL_Event event{};
          event.type = type;
          event.user.data1 = reinterpret_cast<void*>(intptr_t(now));
          SDL_PushEvent(&event);
        },
        [type] {
          SDL_Event event;
          while (SDL_WaitEvent(&event) && event.type != type) {
          }
          return int64_t(reinterpret_cast<intptr_t>(event.user.data1));
        });
    state.SetIterationTime(median / 1e6);
  }
  SDL_DestroyWindow(shown);
  SDL_Quit();
}
BENCHMARK(BM_RawSdlPushDelay)->Iterations(1)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(
      argc, argv,
      {{"BM_MessageLoop100000Moves", "BM_RawSdl100000Moves"},
       {"BM_MessageLoopPostDelay/iterations:1/manual_time", "BM_RawSdlPushDelay/iterations:1/manual_time"}});
}
