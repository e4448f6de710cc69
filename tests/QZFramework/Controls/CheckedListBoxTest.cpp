#include <gtest/gtest.h>

#include "ListBoxTestSupport.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/ListParams.h"

namespace {

using QZ::LButton;
using QZ::LCheckedListBox;
using QZ::LCheckedListBoxItem;
using QZ::RCPtr;
using QZTest::ListSkin;
using QZTest::TimedRecorder;

// A class built on the checked list (as the tree view and the pop-up menu are).
class DerivedCheckedList : public LCheckedListBox {
public:
  using LCheckedListBox::LCheckedListBox;
};

RCPtr<LCheckedListBoxItem> Row(const RCPtr<LCheckedListBox>& list, int32_t row) {
  return QZ::DynamicCast<LCheckedListBoxItem>(list->GetRowControl(row));
}

RCPtr<LButton> Box(const RCPtr<LCheckedListBox>& list, int32_t row) {
  const RCPtr<LCheckedListBoxItem> found = Row(list, row);
  return found ? found->GetCheckBoxPart() : nullptr;
}

RCPtr<TimedRecorder> Listen(const RCPtr<LCheckedListBox>& list) {
  return TimedRecorder::Listen(list, {u"NID_ITEM_CHECK_CHANGE", u"NID_ITEM_CHECKBOX_CLICKED", u"NID_SELECTION_CHANGE"});
}

RCPtr<QZ::LIndexedDataWithValueParam> ParamOf(const TimedRecorder::Heard& heard) {
  return QZ::DynamicCast<QZ::LIndexedDataWithValueParam>(heard.parameter);
}

TEST(CheckedListBoxTest, AClickOnAnUncheckedBoxChecksItOnceAndScrollingSaysNothing) {
  ListSkin skin("CheckedList.xml");
  const RCPtr<LCheckedListBox> list = skin.Create<LCheckedListBox>(u"checkedHost");
  ASSERT_TRUE(list);
  QZTest::Fill(*list, 30);
  ASSERT_TRUE(Box(list, 2));
  EXPECT_TRUE(list->GetAutoCheck());
  const RCPtr<TimedRecorder> heard = Listen(list);
  skin.pointer.ClickAt(Box(list, 2), 3, 3);
  ASSERT_EQ(heard->Count("NID_ITEM_CHECK_CHANGE"), 1u);
  const auto& change = *std::find_if(heard->heard.begin(), heard->heard.end(),
                                     [](const TimedRecorder::Heard& h) { return h.name == "NID_ITEM_CHECK_CHANGE"; });
  ASSERT_TRUE(ParamOf(change));
  EXPECT_EQ(ParamOf(change)->GetIndex(), 2);
  EXPECT_EQ(ParamOf(change)->GetValue(), 1.0);
  EXPECT_FALSE(ParamOf(change)->GetData());
  EXPECT_EQ(list->GetCheckedCount(), 1);
  EXPECT_TRUE(list->IsItemChecked(2));
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{2})); // checking selects
  EXPECT_EQ(Box(list, 2)->GetValue(), 1.0);

  // Rows refilled by scrolling and checks set by the owner are never the user's.
  list->SetItemChecked(5, true);
  list->SetItemChecked(12, true);
  EXPECT_EQ(list->GetCheckedCount(), 3);
  heard->heard.clear();
  ASSERT_EQ(list->SetScrollOffset({0, 16 * 4}), QZ::QZ_OK);
  EXPECT_EQ(Box(list, 0)->GetValue(), 0.0); // item 4
  EXPECT_EQ(Box(list, 1)->GetValue(), 1.0); // item 5
  ASSERT_EQ(list->SetScrollOffset({0, 16 * 10}), QZ::QZ_OK);
  EXPECT_EQ(Box(list, 2)->GetValue(), 1.0); // item 12
  ASSERT_EQ(list->SetScrollOffset({0, 0}), QZ::QZ_OK);
  EXPECT_EQ(Box(list, 2)->GetValue(), 1.0);
  EXPECT_TRUE(heard->heard.empty());
  EXPECT_EQ(list->GetCheckedCount(), 3);

  // Unchecking by the box counts down.
  skin.pointer.ClickAt(Box(list, 2), 3, 3);
  EXPECT_EQ(list->GetCheckedCount(), 2);
  EXPECT_EQ(ParamOf(heard->heard.back())->GetValue(), 0.0);
}

TEST(CheckedListBoxTest, WithoutAutoCheckAClickIsReportedAndTheOwnerDecides) {
  ListSkin skin("CheckedList.xml");
  const RCPtr<LCheckedListBox> list = skin.Create<LCheckedListBox>(u"checkedHost");
  QZTest::Fill(*list, 5);
  EXPECT_EQ(list->SetAutoCheck(false), QZ::QZ_OK);
  EXPECT_FALSE(Box(list, 1)->GetAutoValueSet());
  const RCPtr<TimedRecorder> heard = Listen(list);
  skin.pointer.ClickAt(Box(list, 1), 3, 3);
  ASSERT_EQ(heard->Count("NID_ITEM_CHECKBOX_CLICKED"), 1u);
  EXPECT_EQ(heard->Count("NID_ITEM_CHECK_CHANGE"), 0u);
  const RCPtr<QZ::LIndexedDataWithValueParam> clicked = ParamOf(heard->heard.back());
  ASSERT_TRUE(clicked);
  EXPECT_EQ(clicked->GetIndex(), 1);
  EXPECT_EQ(clicked->GetValue(), 0.0); // unchanged
  EXPECT_EQ(Box(list, 1)->GetValue(), 0.0);
  EXPECT_FALSE(list->IsItemChecked(1));
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1}));
  // The owner checks it: the box follows, nobody is told.
  heard->heard.clear();
  list->SetItemChecked(1, true);
  EXPECT_EQ(Box(list, 1)->GetValue(), 1.0);
  EXPECT_EQ(list->GetCheckedCount(), 1);
  list->SetItemChecked(1, true); // the same: nothing
  list->SetItemChecked(-1, true);
  list->SetItemChecked(5, true);
  EXPECT_EQ(list->GetCheckedCount(), 1);
  EXPECT_TRUE(heard->heard.empty());
  // Back on: the boxes toggle themselves again.
  EXPECT_EQ(list->SetAutoCheck(true), QZ::QZ_OK);
  skin.pointer.ClickAt(Box(list, 3), 3, 3);
  EXPECT_EQ(heard->Count("NID_ITEM_CHECK_CHANGE"), 1u);
  EXPECT_EQ(heard->Count("NID_ITEM_CHECKBOX_CLICKED"), 0u);
  EXPECT_EQ(list->GetCheckedCount(), 2);
}

TEST(CheckedListBoxTest, AClickBesideTheBoxSelectsWithoutChecking) {
  ListSkin skin("CheckedList.xml");
  const RCPtr<LCheckedListBox> list = skin.Create<LCheckedListBox>(u"checkedHost");
  QZTest::Fill(*list, 5);
  const RCPtr<TimedRecorder> heard = Listen(list);
  skin.pointer.ClickAt(Row(list, 3), 60, 8);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{3}));
  EXPECT_EQ(list->GetCheckedCount(), 0);
  EXPECT_EQ(heard->Count("NID_ITEM_CHECK_CHANGE"), 0u);
  EXPECT_EQ(heard->Count("NID_SELECTION_CHANGE"), 1u);
  // The row looks hovered while the pointer is over its box.
  skin.pointer.MoveTo(Box(list, 4), 3, 3);
  EXPECT_EQ(Row(list, 4)->GetConditions() & QZ::kConditionHover, QZ::kConditionHover);
  EXPECT_EQ(Row(list, 4)->GetCurrentLookIndex(), 1);
  skin.pointer.MoveTo(Row(list, 4), 60, 8);
  EXPECT_TRUE(Row(list, 4)->IsMouseOver());
  skin.pointer.MoveToWindow(290, 190);
  EXPECT_EQ(Row(list, 4)->GetConditions() & QZ::kConditionHover, 0u);
}

TEST(CheckedListBoxTest, ARowWithoutAnItemHidesItsBox) {
  ListSkin skin("CheckedList.xml");
  const RCPtr<LCheckedListBox> list = skin.Create<LCheckedListBox>(u"checkedHost");
  QZTest::Fill(*list, 3);
  list->SetItemChecked(2, true);
  EXPECT_TRUE(Box(list, 2)->IsShown(false));
  EXPECT_FALSE(Box(list, 3)->IsShown(false));
  EXPECT_EQ(list->SetItemCount(2), 2);
  EXPECT_EQ(Box(list, 2)->GetValue(), 0.0);
  EXPECT_FALSE(Box(list, 2)->IsShown(false));
  EXPECT_EQ(list->GetCheckedCount(), 0);
}

TEST(CheckedListBoxTest, RemovingCheckedItemsTakesThemOffTheCount) {
  ListSkin skin("CheckedList.xml");
  const RCPtr<LCheckedListBox> list = skin.Create<LCheckedListBox>(u"checkedHost");
  QZTest::Fill(*list, 6);
  for (const int32_t index : {1, 3, 4}) {
    list->SetItemChecked(index, true);
  }
  EXPECT_EQ(list->RemoveItem(3), 5);
  EXPECT_EQ(list->GetCheckedCount(), 2);
  EXPECT_TRUE(list->IsItemChecked(3)); // item 4 moved up
  EXPECT_EQ(list->RemoveItem(0), 4);
  EXPECT_EQ(list->GetCheckedCount(), 2);
  EXPECT_EQ(list->RemoveItem(-1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(list->GetCheckedCount(), 2);
  EXPECT_EQ(list->RemoveAllItems(), QZ::QZ_OK);
  EXPECT_EQ(list->GetCheckedCount(), 0);
  // Sorting moves checks with their items.
  for (const char16_t* text : {u"c", u"a", u"b"}) {
    list->InsertItem(list->GetItemCount(), QZ::MakeTaggableString(text));
  }
  list->SetItemChecked(0, true);
  EXPECT_TRUE(list->SortAllItems());
  EXPECT_TRUE(list->IsItemChecked(2));
  EXPECT_EQ(Box(list, 2)->GetValue(), 1.0);
  EXPECT_EQ(Box(list, 0)->GetValue(), 0.0);
}

TEST(CheckedListBoxTest, OnlyTheListItselfTakesItsLookThreeAsPictures) {
  ListSkin skin("CheckedList.xml", {}, [](QZ::LControlFactory& factory) {
    factory.RegisterControlCreateFunction(u"Test.DerivedCheckedListBox", &QZ::CreateControlOf<DerivedCheckedList>);
  });
  const RCPtr<LCheckedListBox> list = skin.Create<LCheckedListBox>(u"picturesHost");
  ASSERT_TRUE(list);
  ASSERT_EQ(list->GetCheckImages().size(), 3u);
  EXPECT_TRUE(list->GetPassiveCheckBoxes());
  QZTest::Fill(*list, 5);
  for (int32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(list->GetItemPicture(i), list->GetCheckImages()[size_t(i) % 3]) << i;
    const RCPtr<QZ::LLook> look = Box(list, i)->GetLook(-1);
    ASSERT_TRUE(look && look->GetOverlayPart()) << i;
    EXPECT_EQ(look->GetOverlayPart()->GetBitmap(), list->GetCheckImages()[size_t(i) % 3]) << i;
    EXPECT_TRUE(Box(list, i)->IsPassive());
  }
  // A passive box lets the click through to its row: it selects.
  const RCPtr<TimedRecorder> heard = Listen(list);
  skin.pointer.ClickAt(Box(list, 1), 3, 3);
  EXPECT_EQ(QZTest::Selected(*list), (std::vector<uint32_t>{1}));
  EXPECT_EQ(heard->Count("NID_ITEM_CHECK_CHANGE"), 0u);
  EXPECT_EQ(list->GetItemPicture(5), nullptr);

  const RCPtr<LCheckedListBox> derived = skin.Create<LCheckedListBox>(u"derivedHost");
  ASSERT_TRUE(QZ::DynamicCast<DerivedCheckedList>(derived));
  EXPECT_TRUE(derived->GetCheckImages().empty());
  EXPECT_FALSE(derived->GetPassiveCheckBoxes());
  QZTest::Fill(*derived, 2);
  EXPECT_EQ(derived->GetItemPicture(1), nullptr);
}

TEST(CheckedListBoxTest, ItsDisablerNamesTheCheckedListInItsFailureText) {
  ListSkin skin("CheckedList.xml");
  const RCPtr<LCheckedListBox> list = skin.Create<LCheckedListBox>(u"checkedHost");
  const RCPtr<QZ::LNotificationHandler<LCheckedListBox>> table(new QZ::LNotificationHandler<LCheckedListBox>(*list));
  try {
    QZ::CAutoNotificationDisabler<LCheckedListBox> quiet(table, list, u"NID_VALUE_CHANGE");
    ADD_FAILURE() << "no exception";
  } catch (const QZ::FailedResultException& error) {
    EXPECT_STREQ(error.what(),
                 "Failed Result : QZRESULT = 80004005 : QZ::CAutoNotificationDisabler<class QZ::LCheckedListBox>::"
                 "CAutoNotificationDisabler : QZFramework\\notification\\NotificationHandler : Line 247");
  }
}

} // namespace
