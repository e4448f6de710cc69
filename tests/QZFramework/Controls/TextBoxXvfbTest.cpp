// Text boxes in a real window under the X server of the Xvfb fixture: a focused box holding
// "abc def" with "def" selected shows the highlight and the caret, and the window shows the
// same pixels as the boxes painted offscreen (their reference image).

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "Platform/Graphics/Image.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/Input.h"
#include "Platform/Window/VideoBackend.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "Support/ImageCompare.h"
#include "TextBoxTestSupport.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include <SDL2/SDL_syswm.h>

#include "Support/XvfbSupport.h"

#include <X11/Xutil.h>

namespace QZ {
namespace {

namespace Win = Platform::Window;
namespace Host = Platform::Host;

class TextBoxXvfbTest : public ::testing::Test {
protected:
  static constexpr int kLeft = 20;
  static constexpr int kTop = 30;
  static constexpr int kWidth = 240;
  static constexpr int kHeight = 150;

  void SetUp() override {
    ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
    ASSERT_TRUE(StartWindowLayer());
    QZTest::FakeControlApplication& application = world.skin.application;
    // Text measured as the window's renderer draws it, in the face the program's skins ask for.
    application.fontFace = u"Liberation Sans";
    application.fontSize = 9.0f;
    application.measurer = RCPtr<LMeasurementRenderer>(mMeasurer);
    LFont::SetMeasurementRendererSource([measurer = mMeasurer] { return RCPtr<LMeasurementRenderer>(measurer); });
    // The pointer away from the window: no box under it.
    Win::SetCursorPos(0, 0);

    window = new OSWindow;
    ASSERT_TRUE(window->CreateEx(0, u"QZFrameworkWindow", u"Text boxes", Win::WS_POPUP | Win::WS_VISIBLE, kLeft, kTop,
                                 kWidth, kHeight, nullptr));
    hwnd = window->GetSafeHwnd();
    ASSERT_EQ(window->CreateRenderer(kRendererGDI), QZ_OK);
    root = window->GetRootWindow();
    application.activeRootWindow = root;
    ASSERT_EQ(root->SetRootControl(u"boxes"), QZ_OK);
    ASSERT_TRUE(root->GetRootControl());

    ASSERT_TRUE(QZTest::FindXWindow(hwnd, display, xwindow));
  }

  void TearDown() override {
    world.skin.application.activeRootWindow = nullptr;
    root = nullptr;
    Host::Shutdown(); // the window and its object go with it
  }

  // The X server refuses a connection now and then (EAGAIN on its socket while it catches
  // up with connections just closed, as SDL's start opens and closes one): a few tries.
  static bool StartWindowLayer() {
    for (int attempt = 0; attempt < 5; ++attempt) {
      if (Host::Startup()) {
        return true;
      }
      usleep(50000);
    }
    return false;
  }

  // Pumps the window layer until done holds, with the idle passes; false after 10 s.
  bool PumpUntil(const std::function<bool()>& done) {
    return QZTest::PumpUntil(done, [this] { world.skin.application.DoIdleWork(true); }); // whether more waits
  }

  // The window as the X server shows it.
  std::unique_ptr<Platform::Graphics::Image> Screenshot() {
    XSync(display, False);
    return QZTest::XWindowImage(display, xwindow, kWidth, kHeight);
  }

  QZTest::TextWorld world{"TextBox.xml"};
  const RCPtr<LGDIRenderer> mMeasurer{new LGDIRenderer};
  OSWindow* window = nullptr;
  Win::HWND hwnd = nullptr;
  RCPtr<LRootWindow> root;
  Display* display = nullptr;
  ::Window xwindow = 0;
};

TEST_F(TextBoxXvfbTest, AFocusedBoxWithASelectionShowsItsHighlightAndCaret) {
  const RCPtr<LControl> top = root->GetRootControl();
  ASSERT_EQ(top->GetRect(), (RectT<double>{0, 0, kWidth, kHeight}));
  const RCPtr<LTextBox> box = DynamicCast<LTextBox>(top->FindChildByName(u"plain"));
  const RCPtr<LTextBox> lines = DynamicCast<LTextBox>(top->FindChildByName(u"lines"));
  ASSERT_TRUE(box && lines);
  ASSERT_EQ(box->SetText(u"abc def"), QZ_OK);
  ASSERT_EQ(lines->SetText(u"first line\nsecond"), QZ_OK);
  ASSERT_TRUE(Succeeded(box->SetFocus(true)));
  ASSERT_EQ(root->GetFocusedControl(), RCPtr<LControl>(box));
  ASSERT_EQ(box->SetCaret(4), QZ_OK);
  ASSERT_EQ(QZTest::TextWorld::Press(box, 0x23, kModifierShift), QZ_OK); // Shift+End
  ASSERT_EQ(box->GetSelectionLength(), 3);
  ASSERT_TRUE(box->IsCaretVisible());

  ASSERT_TRUE(PumpUntil([this] { return !Win::GetUpdateRect(hwnd, nullptr, false); }));
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(box->IsCaretVisible()) << "the clock stood still: no blink";
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("TextBoxes.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

} // namespace
} // namespace QZ
