// A skinned control tree in a real window under the X server of the Xvfb fixture: the
// window shows the skin "RootWindow.xml" as its reference image has it, and a click, a
// key combination and a typed é sent with xdotool reach the controls.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "Platform/Graphics/Image.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/VideoBackend.h"
#include "QZFramework/ControlBase/ControlCreate.h"
#include "QZFramework/ControlBase/FactoryTestSupport.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "Support/FakeControlApplication.h"
#include "Support/ImageCompare.h"

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

// The skin's control class: an ordinary control that notes the presses, releases and keys
// it gets.
class XvfbBox : public LControl {
public:
  XvfbBox(const RCPtr<LControl>& parent, const WString& name) : LControl(parent, name) {}

  QZResult OnMouseDown(const RCPtr<LMouseButtonParam>& param) override {
    heard.push_back("down " + std::to_string(param->GetPoint().x) + "," + std::to_string(param->GetPoint().y));
    return LControl::OnMouseDown(param);
  }
  QZResult OnMouseUp(const RCPtr<LMouseButtonParam>& param) override {
    heard.push_back("up");
    return LControl::OnMouseUp(param);
  }
  QZResult OnKey(const RCPtr<LKeyParam>& param) override {
    keys.push_back(param->GetKey().code);
    return LControl::OnKey(param);
  }

  std::vector<std::string> heard;
  std::vector<uint32_t> keys;
};

class FrameCountingWindow : public OSWindow {
public:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    frames += message == Win::WM_PAINT;
    return OSWindow::WindowProc(hwnd, message, wParam, lParam);
  }
  int frames = 0;
};

class RootWindowXvfbTest : public ::testing::Test {
protected:
  static constexpr int kLeft = 20;
  static constexpr int kTop = 30;
  static constexpr int kWidth = 240;
  static constexpr int kHeight = 160;

  void SetUp() override {
    ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
    ASSERT_TRUE(Host::Startup());
    application.factory = RCPtr<LControlFactory>(new LControlFactory(QZTest::FixtureDocuments()));
    ASSERT_EQ(application.factory->RegisterControlCreateFunction(u"RootWindowTest.Box", &CreateControlOf<XvfbBox>),
              QZ_OK);
    const WString skin = QZTest::FixtureFolder() + WString(u"/RootWindow.xml");
    ASSERT_EQ(application.factory->LoadSkins(skin), QZ_OK);

    window = new FrameCountingWindow;
    ASSERT_TRUE(window->CreateEx(0, u"QZFrameworkWindow", u"Root window", Win::WS_POPUP | Win::WS_VISIBLE, kLeft, kTop,
                                 kWidth, kHeight, nullptr));
    hwnd = window->GetSafeHwnd();
    ASSERT_EQ(window->CreateRenderer(kRendererGDI), QZ_OK);
    root = window->GetRootWindow();
    ASSERT_EQ(root->SetRootControl(u"mainControl"), QZ_OK);
    const RCPtr<LControl> top = root->GetRootControl();
    ASSERT_TRUE(top);
    first = DynamicCast<XvfbBox>(top->FindChildByName(u"first"));
    ASSERT_TRUE(first);

    Win::SetFocus(hwnd);
    ASSERT_TRUE(PumpUntil([this] { return Win::GetFocus() == hwnd && window->frames > 0; }));
    ASSERT_TRUE(QZTest::FindXWindow(hwnd, display, xwindow));
  }

  void TearDown() override {
    first = nullptr;
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
    return QZTest::XWindowImage(display, xwindow, kWidth, kHeight);
  }

  QZTest::FakeControlApplication application;
  FrameCountingWindow* window = nullptr;
  Win::HWND hwnd = nullptr;
  RCPtr<LRootWindow> root;
  RCPtr<XvfbBox> first;
  Display* display = nullptr;
  ::Window xwindow = 0;
};

TEST_F(RootWindowXvfbTest, TheSkinShowsAsItsReferenceImage) {
  ASSERT_TRUE(PumpUntil([this] { return !Win::GetUpdateRect(hwnd, nullptr, false); }));
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("RootWindow.png"), 2, QZ_CONTROL_BASE_TEST_OUTPUT));
}

TEST_F(RootWindowXvfbTest, AClickAKeyCombinationAndATypedCharacterReachTheControls) {
  // The middle of "first", on the screen.
  ASSERT_EQ(
      QZTest::RunProgram({"xdotool", "mousemove", std::to_string(kLeft + 65), std::to_string(kTop + 40), "click", "1"}),
      0);
  ASSERT_TRUE(PumpUntil([this] { return !first->heard.empty() && first->heard.back() == "up"; }));
  EXPECT_EQ(first->heard, (std::vector<std::string>{"down 45,20", "up"}));
  EXPECT_EQ(root->GetFocusedControl(), RCPtr<LControl>(first)) << "a press gives the focus";

  ASSERT_EQ(QZTest::RunProgram({"xdotool", "key", "ctrl+shift+s"}), 0);
  auto got = [this](uint32_t code) {
    return std::find(first->keys.begin(), first->keys.end(), code) != first->keys.end();
  };
  EXPECT_TRUE(PumpUntil([&] { return got(0x23530000); })) << "Ctrl+Shift+S";
  {
    QZTest::EacuteKey eacute(display);
    ASSERT_TRUE(eacute.Bound());
    ASSERT_EQ(QZTest::RunProgram({"xdotool", "type", "\xC3\xA9"}), 0);
    EXPECT_TRUE(PumpUntil([&] { return got(0xE9); })) << "é";
  }
}

} // namespace
} // namespace QZ
