#pragma once
// QZ::SplashScreen: a splash image with a progress bar underneath, shown while the program
// starts. It lives on a thread of its own, so that it keeps up while the UI thread loads;
// the UI thread only posts to it.
//
//   QZ::SplashScreen splash;                           // the program's null backend
//   splash.SetImage(QZ::LBitmap::GetBitmap(u"::Splash.png"));
//   splash.Start();                                    // returns once the window shows
//   splash.SetProgressRange(0, 100, 8);                // steps to 96 over 8 s
//   ...
//   splash.SetProgressPos(100);                        // stops the stepping
//   // destruction ends the thread and waits for it
//
// Geometry: the image (w x h) centred in the backend's work area, left = (left + right -
// w) / 2, top = (top + bottom - h) / 2; the bar inside its lower edge, m = w / 25 in from
// either side: (left + m, bottom - 20), (w - 2m) x 16, range 0..100.
// Stepping: SetProgressRange(start, end, seconds) sets the bar to start, then adds (end -
// start) / (4 x seconds) (integer division) every tick, 4 x seconds times; a tick is
// 250 ms. Positions stay within the bar's range.
//
// Failures are told to the trace only ("Error starting SplashThread\n", "Unable to create
// SplashWnd\n", "Unable to UpdateLayeredWindow\n"); the program goes on without a splash.
//
// Threads: every member on one thread (the UI thread); the backend on the splash thread.
// The image is read by the splash thread while the splash screen lives: its owner keeps it
// and leaves it unchanged.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "Platform/Window/WindowMessages.h"
#include "QZFramework/Application/SplashBackend.h"
#include "QZFramework/Application/SplashClock.h"
#include "QZFramework/Application/SplashMessageQueue.h"
#include "QZFramework/ObjectBase/RCPtr.h"

namespace QZ {

class DebugTrace;
class LBitmap;

class SplashScreen {
public:
  // The thread messages.
  static constexpr uint32_t kSetPosition = Platform::Window::WM_USER + 2; // wParam: the position
  static constexpr uint32_t kSetRange = Platform::Window::WM_USER + 4;    // wParam: end << 16 | start; lParam: s
  static constexpr uint32_t kSetBarColor = Platform::Window::WM_USER + 9; // lParam: 0x00BBGGRR
  // The step timer's id.
  static constexpr uintptr_t kStepTimer = 10;

  struct Options {
    std::unique_ptr<SplashBackend> backend;    // null: NullSplashBackend
    std::shared_ptr<SplashClock> clock;        // null: the steady clock
    std::chrono::milliseconds tick{250};       // the step timer's period
    std::chrono::milliseconds readyTime{5000}; // how long Start waits for the window
    DebugTrace* trace = nullptr;               // null: DebugTrace::Get()
  };

  SplashScreen();
  explicit SplashScreen(Options options);
  // Ends the thread, if it was started, and waits for it.
  ~SplashScreen();
  SplashScreen(const SplashScreen&) = delete;
  SplashScreen& operator=(const SplashScreen&) = delete;

  // Takes the bitmap's image when none is held yet; nothing for null. The bitmap is kept.
  void SetImage(const RCPtr<LBitmap>& bitmap);
  // Only when no thread was started: starts it, then waits until its window shows or it
  // ended (no image, no window), at most the ready time ("Error starting SplashThread\n"
  // after that, or when no thread can be started).
  void Start();
  // Posts the stepping from start to end over seconds (at least 1): 16 bits each.
  void SetProgressRange(int32_t start, int32_t end, int32_t seconds);
  // Posts a position; it stops the stepping.
  void SetProgressPos(int32_t position);
  // Posts the bar's colour.
  void SetProgressColor(uint32_t color);

private:
  void ThreadMain();
  // The thread's part once its window shows: the messages until WM_QUIT.
  void RunMessages(const Platform::Window::RECT& window);
  void SetReady();

  std::unique_ptr<SplashBackend> mBackend;
  std::shared_ptr<SplashClock> mClock;
  std::chrono::milliseconds mTick;
  std::chrono::milliseconds mReadyTime;
  DebugTrace& mTrace;
  RCPtr<LBitmap> mBitmap;
  const Platform::Graphics::Image* mImage = nullptr;
  SplashMessageQueue mQueue;
  std::mutex mReadyMutex;
  std::condition_variable mReadyChanged;
  bool mReady = false;
  bool mStarted = false;
  std::thread mThread;
};

} // namespace QZ
