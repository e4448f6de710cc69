#pragma once
// The editor's main window as the program shows it, in this process and without a display:
// the program's application object on its compiled-in skins and string tables
// (tests/Support/ShippedEditorStart.h), in a home of its own (EditorHome.h) at a resolution,
// its host's window layer over SDL's offscreen driver with scripted input and a fake clock
// (tests/Support/ScriptedVideoBackend.h). Clicks reach its controls as the window layer
// delivers them; what they start runs to its end, and the frames it paints are timed, with
// the rectangles each frame presented.
//
//   QZBench::HeadlessEditor editor("qz-knob-bench", 96);           // "Skin1"
//   if (!editor.Started()) {
//     state.SkipWithError(editor.Failure().c_str());
//   }
//   const QZBench::Repaint repaint = editor.Click(editor.Find("viewDevice/.../knob3/button"));
//   repaint.seconds;                                                // in the paint messages
//   repaint.frames;                                                 // what each frame presented
//   editor.afterEachFrame = [&](const std::vector<SDL_Rect>& rects) { ... }; // not timed
//
// Message boxes are answered OK at once. One per process (the program's host is one); UI
// thread.

#include <SDL2/SDL.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "EditorHome.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/MessageBox.h"
#include "Support/ShippedEditorStart.h"

namespace QZBench {

// What a click made the window paint.
struct Repaint {
  double seconds = 0.0;                      // spent in the window's paint messages
  std::vector<std::vector<SDL_Rect>> frames; // the rectangles each frame presented
  bool paintedOutsideTheQueue = false;       // a frame not timed: painted by a direct call
};

class HeadlessEditor {
public:
  // Sets the process's environment to the home EditorEnvironment(name, dpi) makes, starts
  // the window layer and the editor, and delivers everything its start leaves waiting.
  HeadlessEditor(const std::string& name, int dpi) {
    namespace Win = QZ::Platform::Window;
    for (const auto& [variable, value] : EditorEnvironment(name, dpi)) {
      setenv(variable.c_str(), value.c_str(), 1);
    }
    unsetenv("QZ_RESOURCE_FOLDER"); // the compiled-in resources
    Win::SetMessageBoxRecorder([](std::u16string_view, std::u16string_view, uint32_t) { return Win::IDOK; });
    QZ::MFCFrameworkAppBase::Services services;
    services.startWindowSystem = [this] {
      auto owned = std::make_unique<QZTest::ScriptedVideoBackend>();
      mBackend = owned.get();
      return QZ::Platform::Host::Startup(std::move(owned));
    };
    mHost = std::make_unique<QZ::MFCFrameworkApp<LApplication>>(std::move(services));
    if (!mHost->WinInit("quorin-ztr-preset-editor", Win::SW_SHOWNORMAL)) {
      mFailure = "the window layer does not start";
      return;
    }
    mHost->SetRegistryKey(QZ::WString(u"Vandrel"));
    mHwnd = QZTest::StartShippedEditor(*mHost, mBackend, mApp, mFailure);
    if (mHwnd) {
      Settle(); // the first frame
    }
  }
  // Shuts the editor down (it saves its settings), then the window layer.
  ~HeadlessEditor() {
    if (mApp) {
      mApp->RunApplicationShutdown();
      mApp = nullptr;
    }
    if (mBackend) {
      mHost->WinTerm();
    }
    mHost.reset();
    QZ::Platform::Window::SetMessageBoxRecorder({});
  }
  HeadlessEditor(const HeadlessEditor&) = delete;
  HeadlessEditor& operator=(const HeadlessEditor&) = delete;

  bool Started() const { return mHwnd != nullptr; }
  // Why it did not start.
  const std::string& Failure() const { return mFailure; }

  // The control at path below the main control ('/' between names); null when a name is
  // missing.
  QZ::RCPtr<QZ::LControl> Find(std::string_view path) const {
    return QZTest::ControlAtPath(mApp->GetMainRootWindow()->GetRootControl(), path);
  }

  // The size of the window's pixels (0 x 0 without them).
  QZ::SizeT<int32_t> PixelSize() const {
    const QZ::Platform::Window::WindowPixels pixels = Pixels();
    return {pixels.width, pixels.height};
  }

  // The window's pixels, as the window layer lends them for a frame (none: all zero).
  QZ::Platform::Window::WindowPixels Pixels() const {
    QZ::Platform::Window::WindowPixels pixels;
    return QZ::Platform::Window::GetWindowPixels(mHwnd, pixels) ? pixels : QZ::Platform::Window::WindowPixels{};
  }
  QZ::RCPtr<QZ::LRootWindow> RootWindow() const { return mApp->GetMainRootWindow(); }

  // Called with each frame's rectangles once the paint message that presented it is timed
  // (empty: nothing is called).
  std::function<void(const std::vector<SDL_Rect>&)> afterEachFrame;

  // A left click in the middle of control as the window layer delivers it (the pointer
  // moved there, pressed and released), then every message and idle pass it starts.
  Repaint Click(const QZ::RCPtr<QZ::LControl>& control) {
    const QZ::PointT<double> at = control->GetWindowPosition();
    const int x = int(at.x + control->GetRect().width / 2);
    const int y = int(at.y + control->GetRect().height / 2);
    const uint32_t id = mBackend->SdlIdOf(mHwnd);
    mBackend->Push(QZTest::MotionEvent(id, x, y));
    mBackend->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONDOWN, id, SDL_BUTTON_LEFT, x, y));
    mBackend->Push(QZTest::ButtonEvent(SDL_MOUSEBUTTONUP, id, SDL_BUTTON_LEFT, x, y));
    return Settle();
  }

private:
  // Messages, then an idle pass, until a round finds no message and the application asks
  // for no more (at most 50 rounds).
  Repaint Settle() {
    namespace Win = QZ::Platform::Window;
    namespace Host = QZ::Platform::Host;
    using Clock = std::chrono::steady_clock;
    Repaint repaint;
    mBackend->presented.clear();
    for (int pass = 0; pass < 50; ++pass) {
      bool taken = false;
      Win::MSG msg;
      while (Host::PeekMessage(&msg, Win::PM_REMOVE) && msg.message != Win::WM_QUIT) {
        taken = true;
        Host::TranslateMessage(&msg);
        if (msg.message != Win::WM_PAINT) {
          Host::DispatchMessage(&msg);
          continue;
        }
        const size_t before = mBackend->presented.size();
        const Clock::time_point start = Clock::now();
        Host::DispatchMessage(&msg);
        repaint.seconds += std::chrono::duration<double>(Clock::now() - start).count();
        repaint.frames.insert(repaint.frames.end(), mBackend->presented.begin() + ptrdiff_t(before),
                              mBackend->presented.end());
        if (afterEachFrame) {
          for (size_t frame = before; frame < mBackend->presented.size(); ++frame) {
            afterEachFrame(mBackend->presented[frame]);
          }
        }
      }
      if (!mApp->DoIdleWork(true) && !taken) {
        break;
      }
    }
    repaint.paintedOutsideTheQueue = repaint.frames.size() != mBackend->presented.size();
    return repaint;
  }

  std::string mFailure;
  QZTest::ScriptedVideoBackend* mBackend = nullptr; // the window layer's, while it runs
  std::unique_ptr<QZ::MFCFrameworkApp<LApplication>> mHost;
  QZ::RCPtr<LApplication> mApp;
  QZ::Platform::Window::HWND mHwnd = nullptr;
};

} // namespace QZBench
