#pragma once
// A splash backend that records what the splash thread asks of it, into a log that
// outlives the splash screen.
//
//   BackendLog log;
//   options.backend = std::make_unique<FakeSplashBackend>(log, Win::RECT{0, 0, 1920, 1080});
//   ... log.Calls(): "GetWorkArea", "CreateSplashWindow 400x300", "PaintLayered", ...

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "QZFramework/Application/SplashBackend.h"

namespace QZTest {

namespace Win = QZ::Platform::Window;

// What the splash thread asked of its backend, kept beyond the splash screen's life.
struct BackendLog {
  std::mutex mutex;
  std::vector<std::string> calls;
  Win::RECT window{};
  Win::RECT bar{};
  std::vector<int32_t> positions;
  std::thread::id thread;

  std::vector<std::string> Calls() {
    std::lock_guard lock(mutex);
    return calls;
  }
  std::vector<int32_t> Positions() {
    std::lock_guard lock(mutex);
    return positions;
  }
};

class FakeSplashBackend : public QZ::SplashBackend {
public:
  FakeSplashBackend(BackendLog& log, Win::RECT workArea) : mLog(log), mWorkArea(workArea) {}
  bool canCreate = true;
  bool canPaint = true;
  // Holds CreateSplashWindow until released.
  std::function<void()> beforeCreate;

  Win::RECT GetWorkArea() override {
    Record("GetWorkArea");
    return mWorkArea;
  }
  bool CreateSplashWindow(const Win::RECT& window, const QZ::Platform::Graphics::Image& image) override {
    if (beforeCreate) {
      beforeCreate();
    }
    Record("CreateSplashWindow " + std::to_string(image.Width()) + "x" + std::to_string(image.Height()));
    std::lock_guard lock(mLog.mutex);
    mLog.window = window;
    return canCreate;
  }
  bool PaintLayered() override {
    Record("PaintLayered");
    return canPaint;
  }
  void ShowSplashWindow() override { Record("ShowSplashWindow"); }
  void CreateBar(const Win::RECT& bar, int32_t minimum, int32_t maximum) override {
    Record("CreateBar " + std::to_string(minimum) + ".." + std::to_string(maximum));
    std::lock_guard lock(mLog.mutex);
    mLog.bar = bar;
  }
  void SetBarPosition(int32_t position) override {
    std::lock_guard lock(mLog.mutex);
    mLog.positions.push_back(position);
  }
  void SetBarColor(uint32_t color) override { Record("SetBarColor " + std::to_string(color)); }
  void DestroySplashWindow() override { Record("DestroySplashWindow"); }

private:
  void Record(std::string call) {
    std::lock_guard lock(mLog.mutex);
    mLog.calls.push_back(std::move(call));
    mLog.thread = std::this_thread::get_id();
  }
  BackendLog& mLog;
  Win::RECT mWorkArea;
};

} // namespace QZTest

// Rectangles compared and printed by the tests (found by argument-dependent lookup).
namespace QZ::Platform::Window {

inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline std::ostream& operator<<(std::ostream& out, const RECT& r) {
  return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

} // namespace QZ::Platform::Window
