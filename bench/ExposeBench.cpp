// Uncovering part of a window: a 1200 x 850 skinned window (a top control and a grid of 80
// controls) is told by the window system that a 300 x 200 part of it was uncovered (the
// expose with its rectangle that the X11 backend makes of the server's, then SDL's own),
// takes the events, and brings that part back to the window; against a bare SDL and Cairo
// program doing the same pixel work for the same part: copying it from the picture it keeps
// to the window's surface and updating that rectangle (goal: at most 1.5x). The same for an
// expose of the whole window (SDL's own alone), against the raw copy of the whole window,
// shows what the part saves.
//
// Both sides keep the window's picture as a surface of their own and repaint nothing they
// still hold. SDL's driver is the one SDL_VIDEODRIVER names, else the offscreen driver.

#include <SDL2/SDL.h>
#include <cairo.h>
#include <stdlib.h>

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

constexpr int kWidth = 1200;
constexpr int kHeight = 850;
constexpr SDL_Rect kUncovered{300, 200, 300, 200};

void ChooseDriver() {
  if (!std::getenv("SDL_VIDEODRIVER")) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
  }
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

QZ::RCPtr<QZ::LLook> ColourLook(uint32_t argb, QZ::SizeT<int32_t> size) {
  const QZ::RCPtr<QZ::LColorizer> colour(
      new QZ::LColorizer(u"fill", QZ::ColorizerType::SolidFill, QZ::ColorT<float>::FromARGB(argb)));
  const QZ::RCPtr<QZ::LVisualPartDescriptor> part(
      new QZ::LVisualPartDescriptor(u"fill", {}, QZ::ResizeType::Stretch, colour, {1, 1}, 1.0f, {}));
  const QZ::RCPtr<QZ::LLookDescriptor> descriptor(new QZ::LLookDescriptor(u"look"));
  descriptor->SetClientPart(
      QZ::RCPtr<QZ::LDockedPart>(new QZ::LDockedPart(part, QZ::LDockedPart::ClientDock(0, 0, 0, 0))));
  const QZ::RCPtr<QZ::LLook> look = QZ::LLook::Create(descriptor, false);
  look->SetSize(size);
  return look;
}

class FilledControl : public QZ::LControl {
public:
  FilledControl(const QZ::RCPtr<QZ::LControl>& parent, const QZ::RectT<int32_t>& rect, uint32_t argb)
      : LControl(parent, u"filled") {
    mLayout = QZ::LLayoutDescriptor::Create();
    mRect = rect.ToDouble();
    QZ::RCPtrArray<QZ::LLook, 1, 0> looks;
    looks.AddItem(ColourLook(argb, {rect.width, rect.height}));
    SetLooks(looks);
    mLookWeights.SetCount(0);
    mLookWeights.AddItem(1.0f);
  }
};

class CountingOSWindow : public QZ::OSWindow {
public:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    frames += message == Win::WM_PAINT;
    return OSWindow::WindowProc(hwnd, message, wParam, lParam);
  }
  int64_t frames = 0;
};

SDL_Event Exposed(uint32_t window, const SDL_Rect* part) {
  SDL_Event event{};
  if (part) {
    event.window = Win::ExposedEvent(window, part->x, part->y, part->w, part->h);
  } else {
    event.window.type = SDL_WINDOWEVENT;
    event.window.windowID = window;
    event.window.event = SDL_WINDOWEVENT_EXPOSED;
  }
  return event;
}

void SkinnedWindowExposed(benchmark::State& state, bool part) {
  ChooseDriver();
  if (!Host::Startup()) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  {
    QZTest::FakeControlApplication application;
    auto* window = new CountingOSWindow;
    if (!window->CreateEx(0, u"QZFrameworkWindow", u"bench", Win::WS_POPUP | Win::WS_VISIBLE, 0, 0, kWidth, kHeight,
                          nullptr) ||
        window->CreateRenderer(QZ::kRendererGDI) != QZ::QZ_OK) {
      state.SkipWithError("no window");
      Host::Shutdown();
      return;
    }
    const QZ::RCPtr<QZ::LControl> top(new FilledControl(nullptr, {0, 0, kWidth, kHeight}, 0xFF2B3A47));
    for (int i = 0; i < 80; ++i) {
      QZ::RCPtr<QZ::LControl>(new FilledControl(top, {20 + i % 10 * 115, 20 + i / 10 * 100, 100, 80},
                                                0xFF000000u | (i * 2654435761u >> 8)));
    }
    window->GetRootWindow()->InstallRootControl(top);
    const Win::HWND hwnd = window->GetSafeHwnd();
    const uint32_t id = Win::GetBackendWindowId(hwnd);
    auto pumpUntil = [&](int64_t frames) {
      Win::MSG msg;
      while (window->frames < frames && Host::GetMessage(&msg) > 0) {
        Host::DispatchMessage(&msg);
      }
    };
    pumpUntil(1);
    for (auto _ : state) {
      if (part) {
        SDL_Event exposed = Exposed(id, &kUncovered);
        SDL_PushEvent(&exposed);
      }
      SDL_Event own = Exposed(id, nullptr);
      SDL_PushEvent(&own);
      pumpUntil(window->frames + 1);
    }
    state.counters["frames"] = double(window->frames);
    Win::DestroyWindow(hwnd);
  }
  Host::Shutdown();
}

void RawSdlCairoExposed(benchmark::State& state, bool part) {
  ChooseDriver();
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    state.SkipWithError("SDL's video does not start");
    return;
  }
  SDL_Window* window = SDL_CreateWindow("bench", 0, 0, kWidth, kHeight, SDL_WINDOW_BORDERLESS);
  SDL_Surface* surface = SDL_GetWindowSurface(window);
  cairo_surface_t* screen = cairo_image_surface_create_for_data(
      static_cast<unsigned char*>(surface->pixels), CAIRO_FORMAT_RGB24, surface->w, surface->h, surface->pitch);
  // The picture the program keeps, painted once.
  cairo_surface_t* back = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* drawing = cairo_create(back);
  cairo_set_source_rgb(drawing, 0x2B / 255.0, 0x3A / 255.0, 0x47 / 255.0);
  cairo_paint(drawing);
  cairo_destroy(drawing);
  const uint32_t id = SDL_GetWindowID(window);
  const SDL_Rect whole{0, 0, kWidth, kHeight};
  const SDL_Rect rect = part ? kUncovered : whole;
  int64_t frames = 0;
  for (auto _ : state) {
    SDL_Event own = Exposed(id, nullptr);
    SDL_PushEvent(&own);
    SDL_Event event;
    const int64_t until = frames + 1;
    while (frames < until && SDL_PollEvent(&event)) {
      if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_EXPOSED) {
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
  cairo_surface_destroy(back);
  cairo_surface_destroy(screen);
  SDL_DestroyWindow(window);
  SDL_Quit();
}

void BM_SkinnedWindowUncoveredPart(benchmark::State& state) { SkinnedWindowExposed(state, true); }
void BM_RawSdlCairoUncoveredPart(benchmark::State& state) { RawSdlCairoExposed(state, true); }
void BM_SkinnedWindowExposedWhole(benchmark::State& state) { SkinnedWindowExposed(state, false); }
void BM_RawSdlCairoExposedWhole(benchmark::State& state) { RawSdlCairoExposed(state, false); }
BENCHMARK(BM_SkinnedWindowUncoveredPart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSdlCairoUncoveredPart)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinnedWindowExposedWhole)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RawSdlCairoExposedWhole)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
  return QZBench::RunWithRatios(argc, argv,
                                {{"BM_SkinnedWindowUncoveredPart", "BM_RawSdlCairoUncoveredPart"},
                                 {"BM_SkinnedWindowExposedWhole", "BM_RawSdlCairoExposedWhole"},
                                 {"BM_SkinnedWindowUncoveredPart", "BM_RawSdlCairoExposedWhole"}});
}
