// A list box of ListBox.xml in a real window under the X server of the Xvfb fixture,
// scrolled to item 50 of 100 with item 52 selected: the window shows its reference image.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ListBoxTestSupport.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/VideoBackend.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include <SDL2/SDL_syswm.h>

#include "Support/XvfbSupport.h"

#include <X11/Xutil.h>

namespace {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;

class ListBoxXvfbTest : public ::testing::Test {
protected:
  static constexpr int kWidth = 300;
  static constexpr int kHeight = 200;

  void SetUp() override {
    ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
    // The pointer stays off the window: no row is hovered.
    ASSERT_EQ(QZTest::RunProgram({"xdotool", "mousemove", "1279", "1023"}), 0); // a corner of the screen
    ASSERT_TRUE(Host::Startup());
    // Text measures as the window draws it.
    application.measurer = measurer;
    QZ::LFont::SetMeasurementRendererSource([renderer = measurer] { return renderer; });
    application.factory = QZ::RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
    QZTest::RegisterListWidgets(*application.factory);
    QZTest::RegisterWidgets(*application.factory);
    ASSERT_EQ(application.factory->LoadSkins(QZ::WString(QZTest::WidgetSkinFile("ListBox.xml").c_str())), QZ::QZ_OK);

    window = new QZ::OSWindow;
    ASSERT_TRUE(window->CreateEx(0, u"QZFrameworkWindow", u"List box", Win::WS_POPUP | Win::WS_VISIBLE, 10, 10, kWidth,
                                 kHeight, nullptr));
    hwnd = window->GetSafeHwnd();
    ASSERT_EQ(window->CreateRenderer(QZ::kRendererGDI), QZ::QZ_OK);
    root = window->GetRootWindow();
    ASSERT_EQ(root->SetRootControl(u"shotHost"), QZ::QZ_OK);
    ASSERT_TRUE(QZTest::FindXWindow(hwnd, display, xwindow));
  }

  void TearDown() override {
    QZ::LFont::SetMeasurementRendererSource({});
    root = nullptr;
    Host::Shutdown(); // the window and its object go with it
  }

  // Pumps the window layer until done holds, with the idle passes; false after 10 s.
  bool PumpUntil(const std::function<bool()>& done) {
    return QZTest::PumpUntil(done, [this] { application.DoIdleWork(true); }); // whether more waits
  }

  // The window as the X server shows it.
  std::unique_ptr<QZ::Platform::Graphics::Image> Screenshot() {
    XSync(display, False);
    return QZTest::XWindowImage(display, xwindow, kWidth, kHeight);
  }

  QZ::RCPtr<QZ::LMeasurementRenderer> measurer{new QZ::LGDIRenderer};
  QZTest::FakeControlApplication application;
  QZ::OSWindow* window = nullptr;
  Win::HWND hwnd = nullptr;
  QZ::RCPtr<QZ::LRootWindow> root;
  Display* display = nullptr;
  ::Window xwindow = 0;
};

TEST_F(ListBoxXvfbTest, AListScrolledToItemFiftyWithItemFiftyTwoSelectedShowsItsReferenceImage) {
  const QZ::RCPtr<QZ::LListBox> list = QZ::DynamicCast<QZ::LListBox>(root->GetRootControl()->FindChildByName(u"list"));
  ASSERT_TRUE(list);
  QZTest::Fill(*list, 100);
  ASSERT_EQ(list->SetScrollOffset({0, 50 * 16}), QZ::QZ_OK);
  ASSERT_EQ(list->SelectItems(52, -1, true), 52);
  ASSERT_EQ(list->GetFirstShownIndex(), 50u);
  ASSERT_TRUE(PumpUntil([this] { return !Win::GetUpdateRect(hwnd, nullptr, false); }));
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("ListBoxScrolled.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

} // namespace
