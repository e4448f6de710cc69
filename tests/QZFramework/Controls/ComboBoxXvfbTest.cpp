// A combo box near the bottom of a real window under the X server of the Xvfb fixture: its
// list opens upward, over the combo box above it, as the reference image has it. The window
// stands where no other window test draws, and the pointer is parked off it (no hover look).

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "Platform/Graphics/Image.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/VideoBackend.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/Controls/ComboBoxTestSupport.h"
#include "Support/ImageCompare.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include <SDL2/SDL_syswm.h>

#include "Support/XvfbSupport.h"

#include <X11/Xutil.h>

namespace QZ {
namespace {

namespace Win = Platform::Window;
namespace Host = Platform::Host;

class ComboBoxXvfbTest : public ::testing::Test {
protected:
  static constexpr int kWidth = 300;
  static constexpr int kHeight = 220;

  void SetUp() override {
    ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
    ASSERT_EQ(QZTest::RunProgram({"xdotool", "mousemove", "1279", "1023"}), 0); // a corner of the screen
    ASSERT_EQ(skin.loaded, QZ_OK);
    ASSERT_TRUE(Host::Startup());
    window = new OSWindow;
    ASSERT_TRUE(window->CreateEx(0, u"QZFrameworkWindow", u"Combo boxes", Win::WS_POPUP | Win::WS_VISIBLE, 900, 400,
                                 kWidth, kHeight, nullptr));
    hwnd = window->GetSafeHwnd();
    ASSERT_EQ(window->CreateRenderer(kRendererGDI), QZ_OK);
    root = window->GetRootWindow();
    ASSERT_EQ(root->SetRootControl(u"screenHost"), QZ_OK);
    ASSERT_TRUE(root->GetRootControl());

    Win::SetFocus(hwnd);
    ASSERT_TRUE(PumpUntil([this] { return Win::GetFocus() == hwnd; }));
    ASSERT_TRUE(QZTest::FindXWindow(hwnd, display, xwindow));
  }

  void TearDown() override {
    root = nullptr;
    Host::Shutdown(); // the window and its object go with it
  }

  // Pumps the window layer until done holds, with the idle passes; false after 10 s.
  bool PumpUntil(const std::function<bool()>& done) {
    return QZTest::PumpUntil(done, [this] { skin.application.DoIdleWork(true); }); // whether more waits
  }

  // The window as the X server shows it.
  std::unique_ptr<Platform::Graphics::Image> Screenshot() {
    XSync(display, False);
    return QZTest::XWindowImage(display, xwindow, kWidth, kHeight);
  }

  QZTest::ComboSkin skin;
  OSWindow* window = nullptr;
  Win::HWND hwnd = nullptr;
  RCPtr<LRootWindow> root;
  Display* display = nullptr;
  ::Window xwindow = 0;
};

TEST_F(ComboBoxXvfbTest, AComboNearTheBottomOpensUpward) {
  const RCPtr<LControl> host = root->GetRootControl();
  const RCPtr<LComboBox> top = DynamicCast<LComboBox>(host->FindChildByName(u"screenTop"));
  const RCPtr<LComboBox> low = DynamicCast<LComboBox>(host->FindChildByName(u"screenCombo"));
  ASSERT_TRUE(top && low);
  ASSERT_EQ(top->AddItem(WString(u"Channel 1")), 0);
  ASSERT_EQ(top->SelectItem(0), 0);
  for (int i = 0; i < 7; ++i) {
    ASSERT_EQ(low->AddItem(WString::Format(u"Preset %d", i + 1)), i);
  }
  ASSERT_EQ(low->SelectItem(4), 4);
  ASSERT_GE(int32_t(low->SetFocus(true)), 0);
  ASSERT_EQ(low->ShowDropDown(true), QZ_OK);
  ASSERT_TRUE(low->IsDroppedDown());
  const RCPtr<LListBox> list = low->GetListBox();
  EXPECT_DOUBLE_EQ(list->GetWindowPosition().y + list->GetRect().height, low->GetWindowPosition().y) << "upward";
  EXPECT_DOUBLE_EQ(list->GetRect().height, 140.0);
  ASSERT_TRUE(PumpUntil([this] { return !Win::GetUpdateRect(hwnd, nullptr, false); }));
  Win::RECT client;
  ASSERT_TRUE(Win::GetClientRect(hwnd, &client));
  ASSERT_EQ(client.right - client.left, kWidth);
  ASSERT_EQ(client.bottom - client.top, kHeight);
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("ComboOpenUpward.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

} // namespace
} // namespace QZ
