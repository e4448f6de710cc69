// The diagonal slider at 0.5 and an expanded two-level tree, each in a real window under the
// X server of the Xvfb fixture: the windows show their reference images.

#include <gtest/gtest.h>

#include <string>

#include "ListBoxTestSupport.h"
#include "QZFramework/Controls/Slider.h"
#include "QZFramework/Controls/TreeView.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbWidgetTest.h"

namespace {

class SliderTreeXvfbTest : public QZTest::XvfbWidgetTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(XvfbWidgetTest::SetUp());
    auto& factory = *application.factory;
    factory.RegisterControlCreateFunction(u"Framework.Slider", &QZ::CreateControlOf<QZ::LSlider>);
    factory.RegisterControlCreateFunction(u"Test.Part", &QZ::CreateControlOf<QZ::LControl>);
    factory.RegisterControlCreateFunction(u"Framework.TreeView", &QZ::CreateControlOf<QZ::LTreeView>);
    factory.RegisterControlCreateFunction(u"Framework.TreeViewItem", &QZ::CreateControlOf<QZ::LTreeViewItem>);
    QZTest::RegisterListWidgets(factory);
    QZTest::RegisterWidgets(factory);
  }

  // A window of width x height showing the skin's top control.
  void Open(const char* skinFile, const char16_t* top, int width, int height) {
    ASSERT_EQ(application.factory->LoadSkins(QZ::WString(QZTest::WidgetSkinFile(skinFile).c_str())), QZ::QZ_OK);
    ASSERT_NO_FATAL_FAILURE(OpenWindow(u"Widgets", width, height));
    ASSERT_EQ(root->SetRootControl(top), QZ::QZ_OK);
  }
};

TEST_F(SliderTreeXvfbTest, TheDiagonalSliderAtHalfShowsItsThumbHalfwayAlongTheLine) {
  Open("Slider.xml", u"diagonalShot", 200, 160);
  const auto slider = QZ::DynamicCast<QZ::LSlider>(root->GetRootControl()->FindChildByName(u"sliderD"));
  ASSERT_TRUE(slider);
  slider->SetValue(0.5);
  ASSERT_EQ(slider->GetThumb()->GetRect().x, 80.0);
  ASSERT_TRUE(Painted());
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
  // Its reference shows the tree focused: taken once the window has the keyboard focus, not
  // whenever the X server's focus event comes.
  QZ::Platform::Window::SetFocus(hwnd);
  ASSERT_TRUE(PumpUntil([this] { return QZ::Platform::Window::GetFocus() == hwnd; }));
  ASSERT_TRUE(Painted());
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("TreeTwoLevels.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

} // namespace
