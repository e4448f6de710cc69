// The caret's blink in a real OS window over the scripted window system (SDL's offscreen
// driver): each blink repaints the caret's rectangle and copies those pixels alone to the
// window, not the box and not the window.

#include <gtest/gtest.h>

#include <memory>

#include "Platform/Host/MessageLoop.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "Support/ScriptedVideoBackend.h"
#include "TextBoxTestSupport.h"

namespace QZ {
namespace {

namespace Win = Platform::Window;
namespace Host = Platform::Host;

class TextBoxBlinkTest : public ::testing::Test {
protected:
  void SetUp() override {
    auto backend = std::make_unique<QZTest::ScriptedVideoBackend>();
    script = backend.get();
    ASSERT_TRUE(Host::Startup(std::move(backend)));
    window = new OSWindow;
    ASSERT_TRUE(
        window->CreateEx(0, u"QZFrameworkWindow", u"blink", Win::WS_POPUP | Win::WS_VISIBLE, 0, 0, 240, 150, nullptr));
    ASSERT_EQ(window->CreateRenderer(kRendererGDI), QZ_OK);
    root = window->GetRootWindow();
    world.skin.application.activeRootWindow = root;
    ASSERT_EQ(root->SetRootControl(u"boxes"), QZ_OK);
    box = DynamicCast<LTextBox>(root->GetRootControl()->FindChildByName(u"plain"));
    ASSERT_TRUE(box);
  }
  void TearDown() override {
    world.skin.application.activeRootWindow = nullptr;
    box = nullptr;
    root = nullptr;
    Host::Shutdown(); // the window and its object go with it
  }

  // Takes and dispatches every message waiting (the paints among them).
  void Pump() {
    Win::MSG msg;
    while (Host::PeekMessage(&msg, Win::PM_REMOVE) && msg.message != Win::WM_QUIT) {
      Host::DispatchMessage(&msg);
    }
  }
  // The clock at seconds, one idle pass, then the paints it asked for: the pixels copied.
  int64_t PixelsCopiedAt(double seconds) {
    world.skin.application.seconds = seconds;
    world.skin.application.DoIdleWork(true);
    script->presented.clear();
    Pump();
    int64_t pixels = 0;
    for (const std::vector<SDL_Rect>& frame : script->presented) {
      for (const SDL_Rect& rect : frame) {
        pixels += int64_t(rect.w) * rect.h;
      }
    }
    return pixels;
  }

  // The caret's rectangle in the window.
  RectT<int32_t> PixelRect() const {
    const RectT<float>& rect = box->GetCaretRect();
    const PointT<double> at = box->GetWindowPosition();
    const PointT<double> scroll = box->GetScrollOffset();
    return {RoundToInt32(at.x + double(rect.x) - scroll.x), RoundToInt32(at.y + double(rect.y) - scroll.y), 1,
            RoundToInt32(double(rect.height))};
  }

  QZTest::TextWorld world{"TextBox.xml"};
  QZTest::ScriptedVideoBackend* script = nullptr;
  OSWindow* window = nullptr;
  RCPtr<LRootWindow> root;
  RCPtr<LTextBox> box;
};

TEST_F(TextBoxBlinkTest, EachBlinkCopiesTheCaretsPixelsAloneToTheWindow) {
  ASSERT_EQ(box->SetText(u"abc"), QZ_OK);
  world.skin.application.seconds = 1.0;
  ASSERT_TRUE(Succeeded(box->SetFocus(true)));
  Pump();
  ASSERT_FALSE(Win::GetUpdateRect(window->GetSafeHwnd(), nullptr, false)) << "the first frame is painted";
  const RectT<double> boxRect = box->GetRect();
  const int64_t boxPixels = int64_t(boxRect.width) * int64_t(boxRect.height);

  EXPECT_EQ(PixelsCopiedAt(1.2), 0) << "no blink due: nothing painted";
  // Hidden after 0.5 s, shown again 0.3 s later: each blink copies one caret.
  const int64_t hidden = PixelsCopiedAt(1.5);
  const int64_t shown = PixelsCopiedAt(1.8);
  EXPECT_GT(hidden, 0);
  EXPECT_EQ(shown, hidden) << "the same rectangle both ways";
  EXPECT_LE(hidden, 2 * 20) << "a caret is a pixel or two wide and a line high: " << hidden;
  EXPECT_LT(hidden * 20, boxPixels) << "far less than the box";
}

TEST_F(TextBoxBlinkTest, BetweenBlinksTheWindowKeepsTheBoxsIdleRequestAndTheBlinksKeepTheirTimes) {
  ASSERT_EQ(box->SetText(u"abc"), QZ_OK);
  world.skin.application.seconds = 1.0;
  ASSERT_TRUE(Succeeded(box->SetFocus(true)));
  Pump();
  EXPECT_EQ(box->GetIdleRequestCount(), 1) << "the focus starts the ticks";
  EXPECT_EQ(PixelsCopiedAt(1.1), 0);
  EXPECT_EQ(box->GetIdleRequestCount(), 0) << "nothing due before 1.5 s: the window keeps the request";

  EXPECT_TRUE(box->IsCaretVisible());
  EXPECT_EQ(PixelsCopiedAt(1.49), 0);
  EXPECT_GT(PixelsCopiedAt(1.5), 0);
  EXPECT_FALSE(box->IsCaretVisible());
  EXPECT_EQ(box->GetIdleRequestCount(), 0) << "kept again until 1.8 s";
  EXPECT_EQ(PixelsCopiedAt(1.79), 0);
  EXPECT_GT(PixelsCopiedAt(1.8), 0);
  EXPECT_TRUE(box->IsCaretVisible());

  // A caret moved shows for a whole phase: the request comes back at the old time, finds
  // nothing due and waits again.
  world.skin.application.seconds = 2.0;
  ASSERT_EQ(box->SetCaret(1), QZ_OK);
  Pump();
  EXPECT_EQ(PixelsCopiedAt(2.3), 0);
  EXPECT_TRUE(box->IsCaretVisible());
  EXPECT_EQ(box->GetIdleRequestCount(), 0);
  EXPECT_GT(PixelsCopiedAt(2.5), 0);
  EXPECT_FALSE(box->IsCaretVisible());

  // The focus gone while the window keeps the request: nothing ticks, nothing waits.
  const RCPtr<LControl> other = root->GetRootControl()->FindChildByName(u"labelled");
  ASSERT_TRUE(other);
  ASSERT_TRUE(Succeeded(other->SetFocus(true)));
  Pump();
  ASSERT_FALSE(box->HasFocus());
  EXPECT_EQ(box->GetIdleRequestCount(), 0);
  EXPECT_FALSE(root->CancelIdleRequestAt(box.Get()));
  EXPECT_EQ(PixelsCopiedAt(2.9), 0) << "the other box's caret shows until 3 s";
  EXPECT_FALSE(box->IsCaretVisible());
}

TEST_F(TextBoxBlinkTest, RepeatedBlinksShowTheSamePixelsAsTheFirstOnes) {
  ASSERT_EQ(box->SetText(u"abc"), QZ_OK);
  world.skin.application.seconds = 1.0;
  ASSERT_TRUE(Succeeded(box->SetFocus(true)));
  Pump();
  const RectT<int32_t> caret = PixelRect();
  ASSERT_GT(caret.width * caret.height, 0);
  // The caret's pixels as the window shows them.
  const auto shown = [&] {
    Win::WindowPixels pixels;
    EXPECT_TRUE(Win::GetWindowPixels(window->GetSafeHwnd(), pixels));
    std::vector<uint32_t> copy;
    for (int32_t y = caret.y; y < caret.y + caret.height; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(pixels.pixels) +
                                                          size_t(y) * size_t(pixels.pitch));
      copy.insert(copy.end(), row + caret.x, row + caret.x + caret.width);
    }
    return copy;
  };
  const std::vector<uint32_t> visible = shown();
  PixelsCopiedAt(1.5);
  const std::vector<uint32_t> hidden = shown();
  EXPECT_NE(hidden, visible);
  double at = 1.8;
  for (int blink = 0; blink < 4; ++blink, at += blink % 2 ? 0.5 : 0.3) {
    EXPECT_GT(PixelsCopiedAt(at), 0) << at;
    EXPECT_EQ(shown(), blink % 2 ? hidden : visible) << at;
  }
}

} // namespace
} // namespace QZ
