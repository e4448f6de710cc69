// Scroll bars in a real window under the X server of the Xvfb fixture: a press held in the
// channel before the thumb shows the channel's pressed look over that stretch only, as the
// reference image has it.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "Platform/Graphics/Image.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/VideoBackend.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "Support/ImageCompare.h"
#include "WidgetSkinTestSupport.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include <SDL2/SDL_syswm.h>

#include "Support/XvfbSupport.h"

#include <X11/Xutil.h>

// D-Bus (reached through SDL's X11 driver) keeps an allocation until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libdbus-1.so\n"; }

namespace QZ {
namespace {

namespace Win = Platform::Window;
namespace Host = Platform::Host;

class WidgetXvfbTest : public ::testing::Test {
protected:
  static constexpr int kLeft = 40;
  static constexpr int kTop = 50;
  static constexpr int kSize = 160;

  void SetUp() override {
    ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
    // SDL's X11 driver drops a press that comes within 10 ms of taking the keyboard focus;
    // Windows delivers it, and so must the press held here.
    setenv("SDL_MOUSE_FOCUS_CLICKTHROUGH", "1", 1);
    // The pointer starts outside the window. Left where an earlier run put it, over the
    // channel, the test's move to the same spot brings no motion, and the hover stays
    // what the window met as it mapped, before the thumb moved.
    ASSERT_EQ(QZTest::RunProgram({"xdotool", "mousemove", "0", "0"}), 0);
    ASSERT_TRUE(Host::Startup());
    application.factory = RCPtr<LControlFactory>(new LControlFactory());
    QZTest::RegisterWidgets(*application.factory);
    ASSERT_EQ(application.factory->LoadSkins(WString(QZTest::WidgetSkinFile("ScrollBars.xml").c_str())), QZ_OK);

    window = new OSWindow;
    ASSERT_TRUE(window->CreateEx(0, u"QZFrameworkWindow", u"Scroll bars", Win::WS_POPUP | Win::WS_VISIBLE, kLeft, kTop,
                                 kSize, kSize, nullptr));
    hwnd = window->GetSafeHwnd();
    ASSERT_EQ(window->CreateRenderer(kRendererGDI), QZ_OK);
    root = window->GetRootWindow();
    ASSERT_EQ(root->SetRootControl(u"bars"), QZ_OK);
    const RCPtr<LControl> top = root->GetRootControl();
    ASSERT_TRUE(top);
    vertical = DynamicCast<LScrollbar>(top->FindChildByName(u"vertical"));
    horizontal = DynamicCast<LScrollbar>(top->FindChildByName(u"horizontal"));
    ASSERT_TRUE(vertical && horizontal);

    Win::SetFocus(hwnd);
    ASSERT_TRUE(PumpUntil([this] { return Win::GetFocus() == hwnd && !Win::GetUpdateRect(hwnd, nullptr, false); }));
    ASSERT_TRUE(QZTest::FindXWindow(hwnd, display, xwindow));
  }

  void TearDown() override {
    if (held) {
      QZTest::RunProgram({"xdotool", "mouseup", "1"}); // the server's other tests want it up
    }
    vertical = nullptr;
    horizontal = nullptr;
    root = nullptr;
    Host::Shutdown(); // the window and its object go with it
  }

  // Pumps the window layer until done holds, with the idle passes; false after 10 s.
  bool PumpUntil(const std::function<bool()>& done) {
    return QZTest::PumpUntil(done, [this] { application.DoIdleWork(true); }); // whether more waits
  }

  // The window as the X server shows it.
  std::unique_ptr<Platform::Graphics::Image> Screenshot() {
    XSync(display, False);
    return QZTest::XWindowImage(display, xwindow, kSize, kSize);
  }

  QZTest::FakeControlApplication application;
  OSWindow* window = nullptr;
  Win::HWND hwnd = nullptr;
  RCPtr<LRootWindow> root;
  RCPtr<LScrollbar> vertical;
  RCPtr<LScrollbar> horizontal;
  Display* display = nullptr;
  ::Window xwindow = 0;
  bool held = false;
};

TEST_F(WidgetXvfbTest, AChannelHeldBeforeTheThumbShowsItsPressedLookOverThatStretch) {
  vertical->SetValue(0.75);  // the thumb at 69 of the channel's 108
  horizontal->SetValue(0.5); // at 31 of 78
  // The vertical channel's track begins at (10, 26) of the window: press 30 pixels down it,
  // once the window has seen the pointer arrive.
  ASSERT_EQ(QZTest::RunProgram({"xdotool", "mousemove", std::to_string(kLeft + 18), std::to_string(kTop + 56)}), 0);
  ASSERT_TRUE(PumpUntil([this] { return vertical->GetChannel()->IsMouseOver(); }));
  held = true;
  ASSERT_EQ(QZTest::RunProgram({"xdotool", "mousedown", "1"}), 0);
  ASSERT_TRUE(PumpUntil([this] {
    return vertical->GetPressedRegion() == LScrollbar::kRegionBefore && !Win::GetUpdateRect(hwnd, nullptr, false);
  }));
  EXPECT_DOUBLE_EQ(vertical->GetValue(), 0.55); // one page up at the press; the clock stands still
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("ScrollBars.png"), 2, QZ_WIDGET_TEST_OUTPUT));

  held = false;
  ASSERT_EQ(QZTest::RunProgram({"xdotool", "mouseup", "1"}), 0);
  EXPECT_TRUE(PumpUntil([this] { return vertical->GetPressedRegion() == LScrollbar::kRegionNone; }));
  EXPECT_EQ(vertical->GetIdleRequestCount(), 0);
}

} // namespace
} // namespace QZ
