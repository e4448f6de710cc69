#include "QZFramework/Application/SplashScreen.h"

#include <algorithm>
#include <system_error>

#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace QZ {

namespace Win = Platform::Window;

namespace {

constexpr int32_t kBarMinimum = 0;
constexpr int32_t kBarMaximum = 100;
constexpr int32_t kBarHeight = 16;
constexpr int32_t kBarBottomOffset = 20;
constexpr int32_t kBarMarginDivisor = 25;
constexpr int32_t kTicksPerSecond = 4;

// The image centred in the work area; an image larger than the area overhangs it evenly.
Win::RECT CentredWindow(const Win::RECT& workArea, int32_t width, int32_t height) {
  const int64_t left = (int64_t(workArea.left) + workArea.right - width) / 2;
  const int64_t top = (int64_t(workArea.top) + workArea.bottom - height) / 2;
  return {int32_t(left), int32_t(top), int32_t(left + width), int32_t(top + height)};
}

Win::RECT BarRect(const Win::RECT& window) {
  const int32_t width = window.right - window.left;
  const int32_t margin = width / kBarMarginDivisor;
  const int32_t top = window.bottom - kBarBottomOffset;
  return {window.left + margin, top, window.right - margin, top + kBarHeight};
}

} // namespace

SplashScreen::SplashScreen() : SplashScreen(Options()) {}

SplashScreen::SplashScreen(Options options)
    : mBackend(options.backend ? std::move(options.backend) : std::make_unique<NullSplashBackend>()),
      mClock(options.clock ? std::move(options.clock) : SplashClock::Steady()), mTick(options.tick),
      mReadyTime(options.readyTime), mTrace(options.trace ? *options.trace : DebugTrace::Get()), mQueue(mClock) {}

SplashScreen::~SplashScreen() {
  if (mThread.joinable()) {
    mQueue.Post({Win::WM_QUIT, 0, 0});
    mThread.join();
  }
}

void SplashScreen::SetImage(const RCPtr<LBitmap>& bitmap) {
  if (mImage || !bitmap) {
    return;
  }
  mBitmap = bitmap;
  mImage = bitmap->GetNativeBitmap();
}

void SplashScreen::Start() {
  if (mStarted) {
    return;
  }
  mStarted = true;
  try {
    mThread = std::thread([this] { ThreadMain(); });
  } catch (const std::system_error&) {
    mTrace.Narrow() << "Error starting SplashThread\n";
    return;
  }
  std::unique_lock lock(mReadyMutex);
  if (!mReadyChanged.wait_for(lock, mReadyTime, [this] { return mReady; })) {
    mTrace.Narrow() << "Error starting SplashThread\n";
  }
}

void SplashScreen::SetProgressRange(int32_t start, int32_t end, int32_t seconds) {
  const Win::WPARAM words = Win::WPARAM(uint16_t(end)) << 16 | uint16_t(start);
  mQueue.Post({kSetRange, words, seconds});
}

void SplashScreen::SetProgressPos(int32_t position) { mQueue.Post({kSetPosition, Win::WPARAM(position), 0}); }

void SplashScreen::SetProgressColor(uint32_t color) { mQueue.Post({kSetBarColor, 0, Win::LPARAM(color)}); }

void SplashScreen::SetReady() {
  {
    std::lock_guard lock(mReadyMutex);
    mReady = true;
  }
  mReadyChanged.notify_all();
}

void SplashScreen::ThreadMain() {
  // Start waits for the window or for the end, whichever comes: set on every way out.
  struct ReadyOnExit {
    SplashScreen& splash;
    ~ReadyOnExit() { splash.SetReady(); }
  } readyOnExit{*this};

  if (!mImage) {
    return;
  }
  const Win::RECT window = CentredWindow(mBackend->GetWorkArea(), mImage->Width(), mImage->Height());
  if (!mBackend->CreateSplashWindow(window, *mImage)) {
    mTrace.Narrow() << "Unable to create SplashWnd\n";
    return;
  }
  if (!mBackend->PaintLayered()) {
    mTrace.Narrow() << "Unable to UpdateLayeredWindow\n";
  }
  mBackend->ShowSplashWindow();
  SetReady();
  RunMessages(window);
  mBackend->DestroySplashWindow();
}

void SplashScreen::RunMessages(const Win::RECT& window) {
  bool barMade = false;
  int32_t position = kBarMinimum;
  int32_t step = 0;
  int32_t stepsLeft = 0;
  const auto ensureBar = [&] {
    if (!barMade) {
      mBackend->CreateBar(BarRect(window), kBarMinimum, kBarMaximum);
      barMade = true;
    }
  };
  const auto moveBar = [&](int64_t to) {
    ensureBar();
    position = int32_t(std::clamp<int64_t>(to, kBarMinimum, kBarMaximum));
    mBackend->SetBarPosition(position);
  };

  for (;;) {
    const SplashMessage message = mQueue.Get();
    switch (message.message) {
    case Win::WM_QUIT:
      return;
    case kSetPosition:
      mQueue.KillTimer(kStepTimer);
      stepsLeft = 0;
      moveBar(int32_t(message.wParam));
      break;
    case kSetRange: {
      const int32_t start = Win::LoWord(message.wParam);
      const int32_t end = Win::HiWord(message.wParam);
      // The message promises at least one second; a 0 would divide by zero.
      const int64_t ticks = std::max<int64_t>(message.lParam, 1) * kTicksPerSecond;
      moveBar(start);
      step = int32_t((end - start) / ticks);
      stepsLeft = int32_t(std::min<int64_t>(ticks, INT32_MAX));
      mQueue.SetTimer(kStepTimer, mTick);
      break;
    }
    case kSetBarColor:
      ensureBar();
      mBackend->SetBarColor(uint32_t(message.lParam));
      break;
    case Win::WM_TIMER:
      if (message.wParam == kStepTimer && stepsLeft > 0) {
        moveBar(int64_t(position) + step);
        if (--stepsLeft == 0) {
          mQueue.KillTimer(kStepTimer);
        }
      }
      break;
    default:
      break;
    }
  }
}

} // namespace QZ
