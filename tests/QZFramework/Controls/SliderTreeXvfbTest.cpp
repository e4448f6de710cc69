// The diagonal slider at 0.5 and an expanded two-level tree, each in a real window under the
// X server of the Xvfb fixture: the windows show their reference images.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "ListBoxTestSupport.h"
#include "Platform/Host/MessageLoop.h"
#include "Platform/Window/VideoBackend.h"
#include "QZFramework/ControlBase/OSWindow.h"
#include "QZFramework/ControlBase/RootWindow.h"
#include "QZFramework/Controls/Slider.h"
#include "QZFramework/Controls/TreeView.h"
#include "QZFramework/Renderer/Gdi/GDIRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include <SDL2/SDL_syswm.h>

#include "Support/XvfbSupport.h"

#include <X11/Xutil.h>

namespace {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;

class SliderTreeXvfbTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(QZTest::UseXvfbDisplay()) << "runs under the Xvfb fixture";
    // The pointer stays off the window: nothing is hovered.
    ASSERT_EQ(QZTest::RunProgram({"xdotool", "mousemove", "1279", "1023"}), 0); // a corner of the screen
    ASSERT_TRUE(Host::Startup());
    // Text measures as the window draws it.
    application.measurer = measurer;
    QZ::LFont::SetMeasurementRendererSource([renderer = measurer] { return renderer; });
    application.factory = QZ::RCPtr<QZ::LControlFactory>(new QZ::LControlFactory());
    auto& factory = *application.factory;
    factory.RegisterControlCreateFunction(u"Framework.Slider", &QZ::CreateControlOf<QZ::LSlider>);
    factory.RegisterControlCreateFunction(u"Test.Part", &QZ::CreateControlOf<QZ::LControl>);
    factory.RegisterControlCreateFunction(u"Framework.TreeView", &QZ::CreateControlOf<QZ::LTreeView>);
    factory.RegisterControlCreateFunction(u"Framework.TreeViewItem", &QZ::CreateControlOf<QZ::LTreeViewItem>);
    QZTest::RegisterListWidgets(factory);
    QZTest::RegisterWidgets(factory);
  }

  void TearDown() override {
    QZ::LFont::SetMeasurementRendererSource({});
    root = nullptr;
    Host::Shutdown(); // the window and its object go with it
  }

  // A window of width x height at (10, 10) showing the skin's top control.
  void Open(const char* skinFile, const char16_t* top, int width, int height) {
    ASSERT_EQ(application.factory->LoadSkins(QZ::WString(QZTest::WidgetSkinFile(skinFile).c_str())), QZ::QZ_OK);
    mWidth = width;
    mHeight = height;
    window = new QZ::OSWindow;
    ASSERT_TRUE(window->CreateEx(0, u"QZFrameworkWindow", u"Widgets", Win::WS_POPUP | Win::WS_VISIBLE, 10, 10, width,
                                 height, nullptr));
    hwnd = window->GetSafeHwnd();
    ASSERT_EQ(window->CreateRenderer(QZ::kRendererGDI), QZ::QZ_OK);
    root = window->GetRootWindow();
    ASSERT_EQ(root->SetRootControl(top), QZ::QZ_OK);
    ASSERT_TRUE(QZTest::FindXWindow(hwnd, display, xwindow));
  }

  // Pumps the window layer until done holds, with the idle passes; false after 10 s.
  bool PumpUntil(const std::function<bool()>& done) {
    return QZTest::PumpUntil(done, [this] { application.DoIdleWork(true); }); // whether more waits
  }

  // The window, once painted, as the X server shows it.
  std::unique_ptr<QZ::Platform::Graphics::Image> Screenshot() {
    EXPECT_TRUE(PumpUntil([this] { return !Win::GetUpdateRect(hwnd, nullptr, false); }));
    XSync(display, False);
    return QZTest::XWindowImage(display, xwindow, mWidth, mHeight);
  }

  QZ::RCPtr<QZ::LMeasurementRenderer> measurer{new QZ::LGDIRenderer};
  QZTest::FakeControlApplication application;
  QZ::OSWindow* window = nullptr;
  Win::HWND hwnd = nullptr;
  QZ::RCPtr<QZ::LRootWindow> root;
  Display* display = nullptr;
  ::Window xwindow = 0;
  int mWidth = 0;
  int mHeight = 0;
};

TEST_F(SliderTreeXvfbTest, TheDiagonalSliderAtHalfShowsItsThumbHalfwayAlongTheLine) {
  Open("Slider.xml", u"diagonalShot", 200, 160);
  const auto slider = QZ::DynamicCast<QZ::LSlider>(root->GetRootControl()->FindChildByName(u"sliderD"));
  ASSERT_TRUE(slider);
  slider->SetValue(0.5);
  ASSERT_EQ(slider->GetThumb()->GetRect().x, 80.0);
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("SliderDiagonalHalf.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

TEST_F(SliderTreeXvfbTest, AnExpandedTwoLevelTreeShowsItsIndentedRows) {
  Open("Tree.xml", u"treeHost", 240, 150);
  const auto tree = QZ::DynamicCast<QZ::LTreeView>(root->GetRootControl()->FindChildByName(u"list"));
  ASSERT_TRUE(tree);
  for (const char16_t* name : {u"Banks", u"Factory", u"User", u"Presets", u"Lead", u"Pad", u"Bass"}) {
    tree->InsertItem(tree->GetItemCount(), QZ::MakeTaggableString(name));
  }
  ASSERT_EQ(tree->SetItemParent(1, 0), 1);
  ASSERT_EQ(tree->SetItemParent(2, 0), 2);
  for (int32_t item = 4; item <= 6; ++item) {
    ASSERT_EQ(tree->SetItemParent(item, 3), item);
  }
  tree->ClearSelection();
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("TreeTwoLevels.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

} // namespace
