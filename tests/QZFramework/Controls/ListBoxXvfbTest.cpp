// A list box of ListBox.xml in a real window under the X server of the Xvfb fixture,
// scrolled to item 50 of 100 with item 52 selected: the window shows its reference image.

#include <gtest/gtest.h>

#include <string>

#include "ListBoxTestSupport.h"

// Last: X11's macros (None, Bool, Status...) would break the headers above.
#include "Support/XvfbWidgetTest.h"

namespace {

class ListBoxXvfbTest : public QZTest::XvfbWidgetTest {
protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(XvfbWidgetTest::SetUp());
    QZTest::RegisterListWidgets(*application.factory);
    QZTest::RegisterWidgets(*application.factory);
    ASSERT_EQ(application.factory->LoadSkins(QZ::WString(QZTest::WidgetSkinFile("ListBox.xml").c_str())), QZ::QZ_OK);
    ASSERT_NO_FATAL_FAILURE(OpenWindow(u"List box", 300, 200));
    ASSERT_EQ(root->SetRootControl(u"shotHost"), QZ::QZ_OK);
  }
};

TEST_F(ListBoxXvfbTest, AListScrolledToItemFiftyWithItemFiftyTwoSelectedShowsItsReferenceImage) {
  const QZ::RCPtr<QZ::LListBox> list = QZ::DynamicCast<QZ::LListBox>(root->GetRootControl()->FindChildByName(u"list"));
  ASSERT_TRUE(list);
  QZTest::Fill(*list, 100);
  ASSERT_EQ(list->SetScrollOffset({0, 50 * 16}), QZ::QZ_OK);
  ASSERT_EQ(list->SelectItems(52, -1, true), 52);
  ASSERT_EQ(list->GetFirstShownIndex(), 50u);
  ASSERT_TRUE(Painted());
  const auto shot = Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_TRUE(QZTest::ImagesMatch(*shot, QZTest::ReferenceImage("ListBoxScrolled.png"), 2, QZ_WIDGET_TEST_OUTPUT));
}

} // namespace
