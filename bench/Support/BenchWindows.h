#pragma once
// The two sides of the benchmarks that compare a window of ours with a bare SDL and Cairo
// program: a window of the window layer showing a tree of controls (over the tests' fake
// application), and a bare SDL window whose surface Cairo draws into. SDL's driver is the
// one SDL_VIDEODRIVER names, else the offscreen driver; window surfaces live in the driver's
// memory, as the window layer has them.
//
//   QZBench::SkinnedWindow skinned(state, 240, 160);    // the window layer started
//   if (!skinned.Ready()) {
//     return;                                           // skipped with why
//   }
//   skinned.Show(top);                                  // active, its first frame painted
//   SDL_PushEvent(&event);
//   skinned.PumpUntilFrames(skinned.Frames() + 1);
//
//   QZBench::RawSdlWindow raw(state, 240, 160);         // SDL's video started
//   cairo_t* cairo = cairo_create(raw.Screen());        // the window's surface
//
// One of either at a time; UI thread.

#include <SDL2/SDL.h>
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <stdlib.h>

#include <cstdint>
#include <optional>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/VideoBackend.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "Support/FakeControlApplication.h"

namespace QZBench {

inline void ChooseDriver() {
  if (!std::getenv("SDL_VIDEODRIVER")) {
    setenv("SDL_VIDEODRIVER", "offscreen", 1);
  }
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
}

// An OS window that counts the frames it painted.
class CountingOSWindow : public QZ::OSWindow {
public:
  QZ::Platform::Window::LRESULT WindowProc(QZ::Platform::Window::HWND hwnd, uint32_t message,
                                           QZ::Platform::Window::WPARAM wParam,
                                           QZ::Platform::Window::LPARAM lParam) override {
    frames += message == QZ::Platform::Window::WM_PAINT;
    return OSWindow::WindowProc(hwnd, message, wParam, lParam);
  }
  int64_t frames = 0;
};

class SkinnedWindow {
public:
  // Starts the window layer and opens a borderless width x height window at (0, 0) with the
  // GDI renderer, over an application of its own; when either fails the benchmark is
  // skipped with why and Ready is false.
  SkinnedWindow(benchmark::State& state, int width, int height) {
    ChooseDriver();
    if (!QZ::Platform::Host::Startup()) {
      state.SkipWithError("SDL's video does not start");
      return;
    }
    mStarted = true;
    mApplication.emplace();
    mWindow = new CountingOSWindow;
    if (!mWindow->CreateEx(0, u"QZFrameworkWindow", u"bench",
                           QZ::Platform::Window::WS_POPUP | QZ::Platform::Window::WS_VISIBLE, 0, 0, width, height,
                           nullptr)) {
      delete mWindow;
      mWindow = nullptr;
    } else if (mWindow->CreateRenderer(QZ::kRendererGDI) == QZ::QZ_OK) {
      mHwnd = mWindow->GetSafeHwnd();
    }
    if (!mHwnd) {
      state.SkipWithError("no window");
    }
  }
  // The window, then the application, then the window layer.
  ~SkinnedWindow() {
    if (mHwnd) {
      QZ::Platform::Window::DestroyWindow(mHwnd); // the object goes with its window
    } else if (mWindow) {
      QZ::Platform::Window::DestroyWindow(mWindow->GetSafeHwnd());
    }
    mApplication.reset();
    if (mStarted) {
      QZ::Platform::Host::Shutdown();
    }
  }
  SkinnedWindow(const SkinnedWindow&) = delete;
  SkinnedWindow& operator=(const SkinnedWindow&) = delete;

  bool Ready() const { return mHwnd != nullptr; }

  // Installs top as the window's tree; the window system then makes the window active (input
  // reaches its tree) and the window paints its first frame.
  void Show(const QZ::RCPtr<QZ::LControl>& top) {
    mWindow->GetRootWindow()->InstallRootControl(top);
    SDL_Event focus{};
    focus.type = SDL_WINDOWEVENT;
    focus.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    focus.window.windowID = Id();
    SDL_PushEvent(&focus);
    PumpUntilFrames(1);
  }

  // Takes, translates and dispatches messages until the window has painted frames frames.
  void PumpUntilFrames(int64_t frames) {
    QZ::Platform::Window::MSG msg;
    while (mWindow->frames < frames && QZ::Platform::Host::GetMessage(&msg) > 0) {
      QZ::Platform::Host::TranslateMessage(&msg);
      QZ::Platform::Host::DispatchMessage(&msg);
    }
  }

  int64_t Frames() const { return mWindow->frames; }
  // The window's SDL id, for the events pushed to it.
  uint32_t Id() const { return QZ::Platform::Window::GetBackendWindowId(mHwnd); }
  QZTest::FakeControlApplication& Application() { return *mApplication; }

private:
  bool mStarted = false;
  std::optional<QZTest::FakeControlApplication> mApplication;
  CountingOSWindow* mWindow = nullptr; // owned by its window
  QZ::Platform::Window::HWND mHwnd = nullptr;
};

class RawSdlWindow {
public:
  // Starts SDL's video and opens a borderless width x height window at (0, 0) with a Cairo
  // surface over its pixels; the benchmark is skipped when SDL's video does not start.
  RawSdlWindow(benchmark::State& state, int width, int height) {
    ChooseDriver();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      state.SkipWithError("SDL's video does not start");
      return;
    }
    mWindow = SDL_CreateWindow("bench", 0, 0, width, height, SDL_WINDOW_BORDERLESS);
    SDL_Surface* surface = SDL_GetWindowSurface(mWindow);
    mScreen = cairo_image_surface_create_for_data(static_cast<unsigned char*>(surface->pixels), CAIRO_FORMAT_RGB24,
                                                  surface->w, surface->h, surface->pitch);
  }
  ~RawSdlWindow() {
    if (mWindow) {
      cairo_surface_destroy(mScreen);
      SDL_DestroyWindow(mWindow);
      SDL_Quit();
    }
  }
  RawSdlWindow(const RawSdlWindow&) = delete;
  RawSdlWindow& operator=(const RawSdlWindow&) = delete;

  bool Ready() const { return mWindow != nullptr; }
  SDL_Window* Window() const { return mWindow; }
  uint32_t Id() const { return SDL_GetWindowID(mWindow); }
  // The window's pixels as a Cairo surface (flush it before updating the window).
  cairo_surface_t* Screen() const { return mScreen; }

private:
  SDL_Window* mWindow = nullptr;
  cairo_surface_t* mScreen = nullptr;
};

} // namespace QZBench
