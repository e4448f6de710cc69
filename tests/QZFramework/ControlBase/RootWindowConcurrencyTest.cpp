// Other threads invalidate while the UI thread paints: nothing invalidated is lost, every
// invalidation reaches the OS window, and the client rectangle the UI thread refreshes is
// read safely (run under ThreadSanitizer too).

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "QZFramework/ControlBase/PaintTestSupport.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/FakeControlApplication.h"

namespace QZ {
namespace {

using namespace QZTest;

// An OS window that only counts the invalidations it is asked for, from any thread.
class CountingOSWindow final : public IWindowOSServices {
public:
  static constexpr int32_t kWidth = 400;
  static constexpr int32_t kHeight = 100;

  std::atomic<int64_t> invalidations{0};

  QZResult SetTitle(const WString&) override { return QZ_OK; }
  QZResult InvalidateAll() override { return QZ_OK; }
  QZResult InvalidateRect(const RectT<int32_t>&) override {
    invalidations.fetch_add(1, std::memory_order_relaxed);
    return QZ_OK;
  }
  QZResult GetClientRect(RectT<int32_t>& rect) override {
    rect = {0, 0, kWidth, kHeight};
    return QZ_OK;
  }
  QZResult ScreenToClient(PointT<int32_t>& point) override {
    point = {point.x - 300, point.y - 200};
    return QZ_OK;
  }
  QZResult ClientToScreen(PointT<int32_t>& point) override {
    point = {point.x + 300, point.y + 200};
    return QZ_OK;
  }
  QZResult SetClientRect(const RectT<int32_t>&) override { return QZ_OK; }
  bool Show(int32_t) override { return true; }
  QZResult Redraw() override { return QZ_OK; }
  QZResult BringToTop() override { return QZ_OK; }
  QZResult SetTopMost(bool) override { return QZ_OK; }
  QZResult EndModal(int32_t) override { return QZ_OK; }
  int32_t RunModalLoop() override { return -1; }
  bool IsModal() override { return false; }
  bool IsActive() override { return true; }
  bool HasFocus() override { return true; }
  QZResult Activate() override { return QZ_OK; }
  CursorHandle SetCursor(CursorHandle) override { return 0; }
  PointT<int32_t> GetCursorPos() override { return {}; }
  uint32_t GetMouseButtons() override { return 0; }
  WindowHandle GetHandle() override { return nullptr; }
  QZResult GetWindowRect(RectT<int32_t>& rect) override {
    rect = {300, 200, kWidth, kHeight};
    return QZ_OK;
  }
  QZResult SetWindowRect(const RectT<int32_t>&) override { return QZ_OK; }
  QZResult UpdateSizeLimits() override { return QZ_OK; }
};

TEST(RootWindowConcurrencyTest, InvalidationsFromFourThreadsWhilePaintingAreAllPaintedOrWaiting) {
  constexpr int32_t kThreads = 4;
  constexpr int32_t kPerThread = 10000;
  constexpr int32_t kWidth = CountingOSWindow::kWidth;
  constexpr int32_t kRows = kPerThread / kWidth; // each thread's band of rows

  FakeControlApplication application;
  CountingOSWindow os;
  const RCPtr<LGDIRenderer> renderer(new LGDIRenderer);
  RCPtr<LRenderContextInfo> context;
  ASSERT_EQ(renderer->InitRenderContextInfo({0, 0, kWidth, CountingOSWindow::kHeight}, nullptr, true, context), QZ_OK);
  RCPtr<LRootWindow> root = LRootWindow::Create(renderer, &os);
  const RCPtr<PaintProbe> top = PaintProbe::Make(nullptr, u"top");
  top->Place(0, 0, kWidth, CountingOSWindow::kHeight);
  top->UseLook(ColourLook(0xFF204060, {kWidth, CountingOSWindow::kHeight}));
  ASSERT_EQ(root->InstallRootControl(top), QZ_OK);
  RectListT<int32_t> installed;
  root->TakeDirtyRegion(installed);
  const int64_t before = os.invalidations.load();

  // Each thread invalidates the single pixels of its own band, one by one.
  std::atomic<int32_t> running{kThreads};
  std::vector<std::thread> threads;
  for (int32_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int32_t i = 0; i < kPerThread; ++i) {
        root->InvalidateRect({i % kWidth, t * kRows + i / kWidth, 1, 1});
      }
      running.fetch_sub(1);
    });
  }
  // The UI thread paints what it takes and refreshes the client rectangle meanwhile.
  std::vector<uint8_t> painted(size_t(kWidth) * CountingOSWindow::kHeight, 0);
  int64_t paintedPixels = 0;
  auto takeAndPaint = [&] {
    EXPECT_EQ(root->GetClientRect(), (RectT<int32_t>{300, 200, kWidth, CountingOSWindow::kHeight}));
    RectListT<int32_t> region;
    root->TakeDirtyRegion(region);
    for (const EdgeRect& rect : region) {
      for (int32_t y = rect.top; y < rect.bottom; ++y) {
        for (int32_t x = rect.left; x < rect.right; ++x) {
          uint8_t& pixel = painted[size_t(y) * kWidth + size_t(x)];
          paintedPixels += pixel == 0;
          pixel = 1;
        }
      }
    }
    if (!region.IsEmpty()) {
      ASSERT_EQ(renderer->RenderStart(context), QZ_OK);
      root->Paint(region);
      ASSERT_EQ(renderer->RenderFinish(context), QZ_OK);
    }
  };
  while (running.load() > 0) {
    takeAndPaint();
  }
  for (std::thread& thread : threads) {
    thread.join();
  }
  takeAndPaint();

  EXPECT_EQ(paintedPixels, int64_t(kThreads) * kPerThread);
  EXPECT_EQ(os.invalidations.load() - before, int64_t(kThreads) * kPerThread);
  root->InstallRootControl(nullptr);
}

} // namespace
} // namespace QZ
