// A skinned window against a bare SDL and Cairo program doing the same work:
//   - idle: one open window for 10 s of wall time with nothing happening, its 33 ms timer
//     waking the loop and each wake running an idle pass, against an SDL loop waking every
//     33 ms and doing nothing: the CPU time each took (the time column is CPU seconds; the
//     "core" counter is CPU per wall second, goal below 1 %);
//   - a click: a button press and release pushed into SDL's queue, taken by the message
//     queue, dispatched through the root window to a 100 x 30 control that invalidates
//     itself, painted by the renderer into the window's pixels and presented, against SDL
//     handing the events to a handler that fills the same 100 x 30 rectangle with Cairo in
//     the window's surface and updates that rectangle (goal: ratio <= 1.5); and against the
//     same program doing the pixel work of the skinned window's frame too (the background
//     under the control and the control filled into a back surface, then copied to the
//     window), which leaves the cost of dispatching and of the painting machinery.
// SDL's driver is the one SDL_VIDEODRIVER names, else the offscreen driver, which wakes a
// waiting loop every millisecond; run under X11 (DISPLAY, SDL_VIDEODRIVER=x11) for the
// idle figures of a desktop.

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <stdlib.h>
#include <time.h>

#include <chrono>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/VideoBackend.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/LookDescriptor.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/Utilities/Graphics/Colorizer.h"
#include "Support/FakeControlApplication.h"
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

// The driver, and the window surface in the driver's memory, as the window layer has it.
void ChooseDriver() {
  if (!std::getenv("SDL_VIDEODRIVER")) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
  }
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
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

// A colour look of size.
QZ::RCPtr<QZ::LLook> ColourLook(uint32_t argb, const QZ::RectT<int32_t>& rect) {
  const QZ::RCPtr<QZ::LColorizer> colour(
      new QZ::LColorizer(u"fill", QZ::ColorizerType::SolidFill, QZ::ColorT<float>::FromARGB(argb)));
  const QZ::RCPtr<QZ::LVisualPartDescriptor> part(
      new QZ::LVisualPartDescriptor(u"fill", {}, QZ::ResizeType::Stretch, colour, {1, 1}, 1.0f, {}));
  const QZ::RCPtr<QZ::LLookDescriptor> descriptor(new QZ::LLookDescriptor(u"look"));
  descriptor->SetClientPart(
      QZ::RCPtr<QZ::LDockedPart>(new QZ::LDockedPart(part, QZ::LDockedPart::ClientDock(0, 0, 0, 0))));
  const QZ::RCPtr<QZ::LLook> look = QZ::LLook::Create(descriptor, false);
  look->SetSize({rect.width, rect.height});
  return look;
}

// A control placed by hand with colour looks, the first shown; a press shows the other.
class FilledControl : public QZ::LControl {
public:
  FilledControl(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name, const QZ::RectT<int32_t>& rect,
                std::initializer_list<uint32_t> colours)
      : LControl(parent, name) {
    mLayout = QZ::LLayoutDescriptor::Create();
    mRect = rect.ToDouble();
    QZ::RCPtrArray<QZ::LLook, 1, 0> looks;
    for (uint32_t colour : colours) {
      looks.AddItem(ColourLook(colour, rect));
    }
    SetLooks(looks);
    ShowLook(0);
  }
  bool ContainsPoint(const QZ::PointT<int32_t>& point) override {
    return point.x >= 0 && point.y >= 0 && point.x < mRect.width && point.y < mRect.height;
  }
  QZ::QZResult OnMouseDown(const QZ::RCPtr<QZ::LMouseButtonParam>&) override {
    ShowLook(mLooks.GetCount() > 1 && GetLookWeight(0) > 0.0f ? 1 : 0);
    return InvalidateChildRect({0.0, 0.0, mRect.width, mRect.height}, true);
  }

private:
  void ShowLook(uint32_t index) {
    mLookWeights.SetCount(0);
    for (uint32_t i = 0; i < mLooks.GetCount(); ++i) {
      mLookWeights.AddItem(i == index ? 1.0f : 0.0f);
    }
  }
};

// An OS window that counts its frames.
class CountingOSWindow : public QZ::OSWindow {
public:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    frames += message == Win::WM_PAINT;
    return OSWindow::WindowProc(hwnd, message, wParam, lParam);
  }
  int64_t frames = 0;
};

// The window of both benchmarks of ours: a top control with a look and the button.
struct SkinnedWindow {
  QZTest::FakeControlApplication application;
  CountingOSWindow* window = nullptr;
  Win::HWND hwnd = nullptr;

  bool Open() {
    window = new CountingOSWindow;
    if (!window->CreateEx(0, u"QZFrameworkWindow", u"bench", Win::WS_POPUP | Win::WS_VISIBLE, 0, 0, kWidth, kHeight,
                          nullptr)) {
      delete window;
      return false;
    }
    hwnd = window->GetSafeHwnd();
    if (window->CreateRenderer(QZ::kRendererGDI) != QZ::QZ_OK) {
      return false;
    }
    const QZ::RCPtr<QZ::LControl> top(new FilledControl(nullptr, u"top", {0, 0, kWidth, kHeight}, {0xFF2B3A47}));
    QZ::RCPtr<QZ::LControl>(new FilledControl(top, u"button", kButton, {0xFFE0A030, 0xFF3C8DBC}));
    window->GetRootWindow()->InstallRootControl(top);
    // The window system's focus makes the window active: input reaches its tree.
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    focus.window.windowID = Win::GetBackendWindowId(hwnd);
    SDL_PushEvent(&focus);
    return true;
  }
  // Takes and handles messages until the window has painted frames frames.
  void PumpUntilFrames(int64_t frames) {
    Win::MSG msg;
    while (window->frames < frames && Host::GetMessage(&msg) > 0) {
      Host::TranslateMessage(&msg);
      Host::DispatchMessage(&msg);
    }
  }
};

void BM_SkinnedWindowClickToRepaint(benchmark::State& state) {
  ChooseDriver();
  if (!Host::Startup()) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  {
    SkinnedWindow skinned;
    if (!skinned.Open()) {
      state.SkipWithError("no window");
      Host::Shutdown();
      return;
    }
    skinned.PumpUntilFrames(1);
    const uint32_t id = Win::GetBackendWindowId(skinned.hwnd);
    for (auto _ : state) {
      SDL_Event down = Button(SDL_MOUSEBUTTONDOWN, id);
      SDL_Event up = Button(SDL_MOUSEBUTTONUP, id);
      SDL_PushEvent(&down);
      SDL_PushEvent(&up);
      skinned.PumpUntilFrames(skinned.window->frames + 1);
    }
    state.counters["frames"] = double(skinned.window->frames);
    Win::DestroyWindow(skinned.hwnd);
  }
  Host::Shutdown();
}
BENCHMARK(BM_SkinnedWindowClickToRepaint)->Unit(benchmark::kMicrosecond);

void BM_RawSdlCairoClickToRepaint(benchmark::State& state) {
  ChooseDriver();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  SDL_Window* window = SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_BORDERLESS);
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  cairo_surface_t* target = cairo_image_surface_create_for_data(
      static_cast<unsigned char*>(surface->pixels), CAIRO_FORMAT_RGB24, surface->w, surface->h, surface->pitch);
  cairo_t* cairo = cairo_create(target);
  const uint32_t id = SDL_GetWindowID(window);
  const SDL_Rect rect{kButton.x, kButton.y, kButton.width, kButton.height};
  bool lit = false;
  int64_t frames = 0;
  for (auto _ : state) {
    SDL_Event down = Button(SDL_MOUSEBUTTONDOWN, id);
    SDL_Event up = Button(SDL_MOUSEBUTTONUP, id);
    SDL_PushEvent(&down);
    SDL_PushEvent(&up);
    SDL_Event event;
    int64_t until = frames + 1;
    while (frames < until && SDL_PollEvent(&event)) {
      if (event.type == SDL_MOUSEBUTTONDOWN && event.button.windowID == id) {
        lit = !lit;
        cairo_set_source_rgb(cairo, lit ? 0x3C / 255.0 : 0xE0 / 255.0, lit ? 0x8D / 255.0 : 0xA0 / 255.0,
                             lit ? 0xBC / 255.0 : 0x30 / 255.0);
        cairo_rectangle(cairo, rect.x, rect.y, rect.w, rect.h);
        cairo_fill(cairo);
        cairo_surface_flush(target);
        SDL_UpdateWindowSurfaceRects(window, &rect, 1);
        ++frames;
      }
    }
  }
  state.counters["frames"] = double(frames);
  cairo_destroy(cairo);
  cairo_surface_destroy(target);
  SDL_DestroyWindow(window);
  SDL_Quit();
}
BENCHMARK(BM_RawSdlCairoClickToRepaint)->Unit(benchmark::kMicrosecond);

// The raw program doing the pixel work of the skinned window's frame as well: the
// background and the control filled into a back surface, the rectangle copied to the
// window's surface, which is then updated.
void BM_RawSdlCairoSamePixelWork(benchmark::State& state) {
  ChooseDriver();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  SDL_Window* window = SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_BORDERLESS);
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  cairo_surface_t* screen = cairo_image_surface_create_for_data(
      static_cast<unsigned char*>(surface->pixels), CAIRO_FORMAT_RGB24, surface->w, surface->h, surface->pitch);
  cairo_surface_t* back = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* drawing = cairo_create(back);
  const uint32_t id = SDL_GetWindowID(window);
  const SDL_Rect rect{kButton.x, kButton.y, kButton.width, kButton.height};
  bool lit = false;
  int64_t frames = 0;
  for (auto _ : state) {
    SDL_Event down = Button(SDL_MOUSEBUTTONDOWN, id);
    SDL_Event up = Button(SDL_MOUSEBUTTONUP, id);
    SDL_PushEvent(&down);
    SDL_PushEvent(&up);
    SDL_Event event;
    const int64_t until = frames + 1;
    while (frames < until && SDL_PollEvent(&event)) {
      if (event.type == SDL_MOUSEBUTTONDOWN && event.button.windowID == id) {
        lit = !lit;
        cairo_set_source_rgb(drawing, 0x2B / 255.0, 0x3A / 255.0, 0x47 / 255.0);
        cairo_rectangle(drawing, rect.x, rect.y, rect.w, rect.h);
        cairo_fill(drawing);
        cairo_set_source_rgb(drawing, lit ? 0x3C / 255.0 : 0xE0 / 255.0, lit ? 0x8D / 255.0 : 0xA0 / 255.0,
                             lit ? 0xBC / 255.0 : 0x30 / 255.0);
        cairo_rectangle(drawing, rect.x, rect.y, rect.w, rect.h);
        cairo_fill(drawing);
        cairo_surface_flush(back);
        cairo_t* copy = cairo_create(screen);
        cairo_set_operator(copy, CAIRO_OPERATOR_SOURCE);
        cairo_set_source_surface(copy, back, 0, 0);
        cairo_rectangle(copy, rect.x, rect.y, rect.w, rect.h);
        cairo_fill(copy);
        cairo_destroy(copy);
        cairo_surface_flush(screen);
        SDL_UpdateWindowSurfaceRects(window, &rect, 1);
        ++frames;
      }
    }
  }
  state.counters["frames"] = double(frames);
  cairo_destroy(drawing);
  cairo_surface_destroy(back);
  cairo_surface_destroy(screen);
  SDL_DestroyWindow(window);
  SDL_Quit();
}
BENCHMARK(BM_RawSdlCairoSamePixelWork)->Unit(benchmark::kMicrosecond);

void BM_SkinnedWindowIdleCpu(benchmark::State& state) {
  ChooseDriver();
  if (!Host::Startup()) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  {
    SkinnedWindow skinned;
    if (!skinned.Open()) {
      state.SkipWithError("no window");
      Host::Shutdown();
      return;
    }
    skinned.PumpUntilFrames(1);
    for (auto _ : state) {
      const double cpu = CpuSeconds();
      const auto end = std::chrono::steady_clock::now() + kIdleTime;
      // The host loop's idle rule: passes while work remains, at most two a period.
      int32_t idleCount = 0;
      bool idle = true;
      Win::MSG msg;
      while (std::chrono::steady_clock::now() < end) {
        if (idle && !Host::PeekMessage(&msg, Win::PM_NOREMOVE)) {
          idle = skinned.application.DoIdleWork(idleCount == 0) && idleCount++ < 1;
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
    Win::DestroyWindow(skinned.hwnd);
  }
  Host::Shutdown();
}
BENCHMARK(BM_SkinnedWindowIdleCpu)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_RawSdlIdleCpu(benchmark::State& state) {
  ChooseDriver();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  SDL_Window* window = SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_BORDERLESS);
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
  SDL_DestroyWindow(window);
  SDL_Quit();
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
