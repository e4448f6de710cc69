#include <gtest/gtest.h>

#include "ListBoxTestSupport.h"

namespace {

using QZTest::ListSkin;

TEST(ListBoxConstructionTest, ATemplateMakesRowsOfItsHeightOnlyForTheView) {
  ListSkin skin("ListBox.xml");
  const QZ::RCPtr<QZ::LListBox> list = skin.Create(u"plainHost");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->GetRowHeight(), 16);
  EXPECT_FALSE(list->FindChildByName(u"templateItem"));
  QZTest::Fill(*list, 1000);
  EXPECT_EQ(list->GetItemCount(), 1000);
  EXPECT_LE(list->GetRowCount(), 9);
  EXPECT_GE(list->GetRowCount(), 8);
  const std::vector<std::string> rows = QZTest::RowTexts(*list);
  EXPECT_EQ(rows[0], "item 0");
  EXPECT_EQ(rows[7], "item 7");
}

} // namespace
