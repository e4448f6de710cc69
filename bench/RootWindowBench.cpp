// A skinned window against a bare SDL and Cairo program doing the same work:
//   - idle: one open window for 10 s of wall time with nothing happening, its 33 ms timer
//     waking the loop and each wake running an idle pass, against an SDL loop waking every
//     33 ms and doing nothing: the CPU time each took (the time column is CPU seconds; the
//     "core" counter is CPU per wall second, goal below 1 %);
//   - a click: a button press and release pushed into SDL's queue, taken by the message
//     queue, dispatched through the root window to a 100 x 30 control that invalidates
//     itself, painted by the renderer into the window's pixels and presented, against SDL
//     handing the events to a handler that fills the same 100 x 30 rectangle with Cairo in
//     the window's surface and updates that rectangle (goal: ratio <= 1.3): since the skinned
//     window paints a frame of one opaque control straight into the window's pixels, this is
//     the same pixel work as its frame; and against the pixel work its frame used to do (the
//     background under the control and the control filled into a back surface, then copied
//     to the window), kept so that figures stay comparable with earlier ones.
// SDL's driver is the one SDL_VIDEODRIVER names, else the offscreen driver, which wakes a
// waiting loop every millisecond; run under X11 (DISPLAY, SDL_VIDEODRIVER=x11) for the
// idle figures of a desktop.

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <time.h>

#include <chrono>

#include "Platform/Host/MessageLoop.h"
#include "Support/BenchWindows.h"
#include "Support/ColourControls.h"
#include "Support/RatioReporter.h"

namespace {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;

constexpr int kWidth = 240;
constexpr int kHeight = 160;
constexpr QZ::RectT<int32_t> kButton{70, 60, 100, 30};
constexpr auto kIdleTime = std::chrono::seconds(10);

double CpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

SDL_Event Button(uint32_t type, uint32_t window) {
  SDL_Event event{};
  event.type = type;
  event.button.windowID = window;
  event.button.button = SDL_BUTTON_LEFT;
  event.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  event.button.clicks = 1;
  event.button.x = kButton.x + kButton.width / 2;
  event.button.y = kButton.y + kButton.height / 2;
  return event;
}

// A control of colour looks that a press turns to its other look.
class PressedControl : public QZBench::FilledControl {
public:
  using FilledControl::FilledControl;
  bool ContainsPoint(const QZ::PointT<int32_t>& point) override {
    return point.x >= 0 && point.y >= 0 && point.x < GetRect().width && point.y < GetRect().height;
  }
  QZ::QZResult OnMouseDown(const QZ::RCPtr<QZ::LMouseButtonParam>&) override {
    ShowLook(GetLooks().GetCount() > 1 && GetLookWeight(0) > 0.0f ? 1 : 0);
    return InvalidateChildRect({0.0, 0.0, GetRect().width, GetRect().height}, true);
  }
};

// The window of both benchmarks of ours: a top control with a look and the button.
QZ::RCPtr<QZ::LControl> ButtonTree() {
  const QZ::RCPtr<QZ::LControl> top(new PressedControl(nullptr, u"top", {0, 0, kWidth, kHeight}, {0xFF2B3A47}));
  QZ::RCPtr<QZ::LControl>(new PressedControl(top, u"button", kButton, {0xFFE0A030, 0xFF3C8DBC}));
  return top;
}

// One click of ours, out of line so that a profiler can count a click's instructions alone
// (valgrind --tool=callgrind --toggle-collect='*SkinnedClick*').
[[gnu::noinline]] void SkinnedClick(QZBench::SkinnedWindow& skinned, uint32_t id) {
  SDL_Event down = Button(SDL_MOUSEBUTTONDOWN, id);
  SDL_Event up = Button(SDL_MOUSEBUTTONUP, id);
  SDL_PushEvent(&down);
  SDL_PushEvent(&up);
  skinned.PumpUntilFrames(skinned.Frames() + 1);
}

void BM_SkinnedWindowClickToRepaint(benchmark::State& state) {
  QZBench::SkinnedWindow skinned(state, kWidth, kHeight);
  if (!skinned.Ready()) {
    return;
  }
  skinned.Show(ButtonTree());
  const uint32_t id = skinned.Id();
  for (auto _ : state) {
    SkinnedClick(skinned, id);
  }
  state.counters["frames"] = double(skinned.Frames());
}
BENCHMARK(BM_SkinnedWindowClickToRepaint)->Unit(benchmark::kMicrosecond);

void SetButtonColour(cairo_t* cairo, bool lit) {
  cairo_set_source_rgb(cairo, lit ? 0x3C / 255.0 : 0xE0 / 255.0, lit ? 0x8D / 255.0 : 0xA0 / 255.0,
                       lit ? 0xBC / 255.0 : 0x30 / 255.0);
}

// The raw program's drawing of a press: the button's rectangle filled straight into the
// window's surface.
class DirectFill {
public:
  explicit DirectFill(cairo_surface_t* screen) : mScreen(screen), mCairo(cairo_create(screen)) {}
  ~DirectFill() { cairo_destroy(mCairo); }
  DirectFill(const DirectFill&) = delete;
  DirectFill& operator=(const DirectFill&) = delete;

  void Press(bool lit, const SDL_Rect& rect) {
    SetButtonColour(mCairo, lit);
    cairo_rectangle(mCairo, rect.x, rect.y, rect.w, rect.h);
    cairo_fill(mCairo);
    cairo_surface_flush(mScreen);
  }

private:
  cairo_surface_t* mScreen;
  cairo_t* mCairo;
};

// The pixel work the skinned window's frame used to do: the background and the control
// filled into a back surface, the rectangle copied to the window's surface.
class SamePixelWork {
public:
  explicit SamePixelWork(cairo_surface_t* screen)
      : mScreen(screen), mBack(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight)),
        mDrawing(cairo_create(mBack)) {}
  ~SamePixelWork() {
    cairo_destroy(mDrawing);
    cairo_surface_destroy(mBack);
  }
  SamePixelWork(const SamePixelWork&) = delete;
  SamePixelWork& operator=(const SamePixelWork&) = delete;

  void Press(bool lit, const SDL_Rect& rect) {
    cairo_set_source_rgb(mDrawing, 0x2B / 255.0, 0x3A / 255.0, 0x47 / 255.0);
    cairo_rectangle(mDrawing, rect.x, rect.y, rect.w, rect.h);
    cairo_fill(mDrawing);
    SetButtonColour(mDrawing, lit);
    cairo_rectangle(mDrawing, rect.x, rect.y, rect.w, rect.h);
    cairo_fill(mDrawing);
    cairo_surface_flush(mBack);
    cairo_t* copy = cairo_create(mScreen);
    cairo_set_operator(copy, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(copy, mBack, 0, 0);
    cairo_rectangle(copy, rect.x, rect.y, rect.w, rect.h);
    cairo_fill(copy);
    cairo_destroy(copy);
    cairo_surface_flush(mScreen);
  }

private:
  cairo_surface_t* mScreen;
  cairo_surface_t* mBack;
  cairo_t* mDrawing;
};

// The raw program's clicks: each press and release pushed into SDL's queue, the press drawn
// by a Painter over the window's surface, and the button's rectangle then updated on the
// window. One click is out of line for the profiler, as SkinnedClick is.
template <typename Painter>
[[gnu::noinline]] void RawClick(const QZBench::RawSdlWindow& raw, uint32_t id, Painter& painter, const SDL_Rect& rect,
                                bool& lit, int64_t& frames) {
  SDL_Event down = Button(SDL_MOUSEBUTTONDOWN, id);
  SDL_Event up = Button(SDL_MOUSEBUTTONUP, id);
  SDL_PushEvent(&down);
  SDL_PushEvent(&up);
  SDL_Event event;
  const int64_t until = frames + 1;
  while (frames < until && SDL_PollEvent(&event)) {
    if (event.type == SDL_MOUSEBUTTONDOWN && event.button.windowID == id) {
      lit = !lit;
      painter.Press(lit, rect);
      SDL_UpdateWindowSurfaceRects(raw.Window(), &rect, 1);
      ++frames;
    }
  }
}

template <typename Painter>
void RawSdlCairoClicks(benchmark::State& state) {
  QZBench::RawSdlWindow raw(state, kWidth, kHeight);
  if (!raw.Ready()) {
    return;
  }
  Painter painter(raw.Screen());
  const uint32_t id = raw.Id();
  const SDL_Rect rect{kButton.x, kButton.y, kButton.width, kButton.height};
  bool lit = false;
  int64_t frames = 0;
  for (auto _ : state) {
    RawClick(raw, id, painter, rect, lit, frames);
  }
  state.counters["frames"] = double(frames);
}

void BM_RawSdlCairoClickToRepaint(benchmark::State& state) { RawSdlCairoClicks<DirectFill>(state); }
BENCHMARK(BM_RawSdlCairoClickToRepaint)->Unit(benchmark::kMicrosecond);

void BM_RawSdlCairoSamePixelWork(benchmark::State& state) { RawSdlCairoClicks<SamePixelWork>(state); }
BENCHMARK(BM_RawSdlCairoSamePixelWork)->Unit(benchmark::kMicrosecond);

void BM_SkinnedWindowIdleCpu(benchmark::State& state) {
  QZBench::SkinnedWindow skinned(state, kWidth, kHeight);
  if (!skinned.Ready()) {
    return;
  }
  skinned.Show(ButtonTree());
  for (auto _ : state) {
    const double cpu = CpuSeconds();
    const auto end = std::chrono::steady_clock::now() + kIdleTime;
    // The host loop's idle rule: passes while work remains, at most two a period.
    int32_t idleCount = 0;
    bool idle = true;
    Win::MSG msg;
    while (std::chrono::steady_clock::now() < end) {
      if (idle && !Host::PeekMessage(&msg, Win::PM_NOREMOVE)) {
        idle = skinned.Application().DoIdleWork(idleCount == 0) && idleCount++ < 1;
        continue;
      }
      if (Host::GetMessage(&msg) <= 0) {
        break;
      }
      Host::TranslateMessage(&msg);
      Host::DispatchMessage(&msg);
      if (msg.message != Win::WM_PAINT) {
        idle = true;
        idleCount = 0;
      }
    }
    const double used = CpuSeconds() - cpu;
    state.SetIterationTime(used);
    state.counters["core"] = used / std::chrono::duration<double>(kIdleTime).count();
  }
}
BENCHMARK(BM_SkinnedWindowIdleCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RawSdlIdleCpu(benchmark::State& state) {
  QZBench::RawSdlWindow raw(state, kWidth, kHeight);
  if (!raw.Ready()) {
    return;
  }
  for (auto _ : state) {
    const double cpu = CpuSeconds();
    const auto end = std::chrono::steady_clock::now() + kIdleTime;
    int64_t wakes = 0;
    SDL_Event event;
    while (std::chrono::steady_clock::now() < end) {
      if (!SDL_WaitEventTimeout(&event, 33)) {
        ++wakes;
      }
    }
    const double used = CpuSeconds() - cpu;
    state.SetIterationTime(used);
    state.counters["core"] = used / std::chrono::duration<double>(kIdleTime).count();
    benchmark::DoNotOptimize(wakes);
  }
}
BENCHMARK(BM_RawSdlIdleCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(
      argc, argv,
      {{"BM_SkinnedWindowClickToRepaint", "BM_RawSdlCairoClickToRepaint"},
       {"BM_SkinnedWindowClickToRepaint", "BM_RawSdlCairoSamePixelWork"},
       {"BM_SkinnedWindowIdleCpu/iterations:1/manual_time", "BM_RawSdlIdleCpu/iterations:1/manual_time"}});
}
