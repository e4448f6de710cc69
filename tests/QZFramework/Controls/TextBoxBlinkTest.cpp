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

} // namespace
} // namespace QZ
