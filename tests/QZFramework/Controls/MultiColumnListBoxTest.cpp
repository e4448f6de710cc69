#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ListBoxTestSupport.h"
#include "QZFramework/Controls/MultiColumnListBox.h"

namespace QZ {
namespace {

using QZTest::TimedRecorder;

QZResult gLastInitialize = QZ_OK;

// The table, noting what its Initialize answered (a failed one is not made).
class RecordingTable : public LMultiColumnListBox {
public:
  using LMultiColumnListBox::LMultiColumnListBox;
  QZResult Initialize() override { return gLastInitialize = LMultiColumnListBox::Initialize(); }
};

void RegisterTable(LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.listbox2ColumnSortable", &CreateControlOf<RecordingTable>);
}

class MultiColumnListBoxTest : public ::testing::Test {
protected:
  QZTest::ListSkin skin{"MultiColumn.xml", {}, RegisterTable};
  RCPtr<LMultiColumnListBox> table;
  RCPtr<LListBox> first;
  RCPtr<LListBox> second;

  void SetUp() override {
    table = skin.Create<LMultiColumnListBox>(u"tableHost");
    ASSERT_TRUE(table);
    ASSERT_EQ(table->GetColumns().GetCount(), 2u);
    ASSERT_EQ(table->GetHeaders().GetCount(), 2u);
    first = table->GetColumns().GetAt(0);
    second = table->GetColumns().GetAt(1);
  }
  // Four rows: (delta, b) (Alpha, d) (charlie, a) (bravo, c).
  void FillFourRows() {
    for (const auto& [name, letter] : std::vector<std::pair<const char16_t*, const char16_t*>>{
             {u"delta", u"b"}, {u"Alpha", u"d"}, {u"charlie", u"a"}, {u"bravo", u"c"}}) {
      first->InsertItem(first->GetItemCount(), MakeTaggableString(name));
      second->InsertItem(second->GetItemCount(), MakeTaggableString(letter));
    }
  }
  std::vector<std::string> Texts(const RCPtr<LListBox>& column) { return QZTest::ItemTexts(*column); }
};

TEST_F(MultiColumnListBoxTest, HeaderClicksSortAllColumnsAlternatingFromAscendingPerColumn) {
  FillFourRows();
  const RCPtr<LButton> byName = table->GetHeaders().GetAt(0);
  const RCPtr<LButton> byLetter = table->GetHeaders().GetAt(1);
  struct Step {
    RCPtr<LButton> header;
    std::vector<std::string> names;
    std::vector<std::string> letters;
  };
  const std::vector<Step> steps = {
      {byName, {"Alpha", "bravo", "charlie", "delta"}, {"d", "c", "a", "b"}},
      {byName, {"delta", "charlie", "bravo", "Alpha"}, {"b", "a", "c", "d"}},
      {byName, {"Alpha", "bravo", "charlie", "delta"}, {"d", "c", "a", "b"}},
      {byLetter, {"charlie", "delta", "bravo", "Alpha"}, {"a", "b", "c", "d"}},
      {byLetter, {"Alpha", "bravo", "delta", "charlie"}, {"d", "c", "b", "a"}},
  };
  for (size_t k = 0; k < steps.size(); ++k) {
    SCOPED_TRACE(k);
    skin.pointer.ClickAt(steps[k].header, 5, 5);
    EXPECT_EQ(Texts(first), steps[k].names);
    EXPECT_EQ(Texts(second), steps[k].letters);
  }
  EXPECT_FALSE(table->IsSortAscending(0)); // three sorts by name: the next is descending
  EXPECT_TRUE(table->IsSortAscending(1));
  // The rows show the sorted items.
  EXPECT_EQ(QZTest::RowTexts(*first)[0], "Alpha");
  EXPECT_EQ(QZTest::RowTexts(*second)[0], "d");
}

TEST_F(MultiColumnListBoxTest, TheSelectionFollowsItsRowsThroughASortThatNoColumnAnnounces) {
  FillFourRows();
  const auto box = TimedRecorder::Listen(table, {u"NID_SELECTION_CHANGE"});
  const auto firstHeard = TimedRecorder::Listen(first, {u"NID_SELECTION_CHANGE"});
  const auto secondHeard = TimedRecorder::Listen(second, {u"NID_SELECTION_CHANGE"});
  ASSERT_EQ(first->SelectItems(1, 1, true), 1); // Alpha
  EXPECT_EQ(QZTest::Selected(*second), (std::vector<uint32_t>{1}));
  EXPECT_EQ(box->heard.size(), 1u);
  box->heard.clear();
  firstHeard->heard.clear();
  secondHeard->heard.clear();

  ASSERT_EQ(table->PerformSort(0), QZ_OK);
  EXPECT_EQ(Texts(first)[0], "Alpha");
  EXPECT_EQ(QZTest::Selected(*first), (std::vector<uint32_t>{0}));
  EXPECT_EQ(QZTest::Selected(*second), (std::vector<uint32_t>{0}));
  EXPECT_TRUE(firstHeard->heard.empty());
  EXPECT_TRUE(secondHeard->heard.empty());
  EXPECT_TRUE(box->heard.empty());

  EXPECT_EQ(table->PerformSort(2), QZ_E_INVALIDARG);
  EXPECT_EQ(table->PerformSort(-1), QZ_E_INVALIDARG);
}

TEST_F(MultiColumnListBoxTest, ARowPickedInTheSecondColumnIsPickedInTheFirstAndAnnouncedOnce) {
  FillFourRows();
  const auto box = TimedRecorder::Listen(table, {u"NID_SELECTION_CHANGE"});
  skin.pointer.ClickAt(second->GetRowControl(2), 5, 5);
  EXPECT_EQ(QZTest::Selected(*second), (std::vector<uint32_t>{2}));
  EXPECT_EQ(QZTest::Selected(*first), (std::vector<uint32_t>{2}));
  EXPECT_EQ(box->heard.size(), 1u);
  // Without row mode a pick clears the other column.
  table->SetRowMode(false);
  skin.pointer.ClickAt(first->GetRowControl(3), 5, 5);
  EXPECT_EQ(QZTest::Selected(*first), (std::vector<uint32_t>{3}));
  EXPECT_TRUE(QZTest::Selected(*second).empty());
  EXPECT_EQ(box->heard.size(), 2u);
}

TEST_F(MultiColumnListBoxTest, ScrollingTheFirstColumnScrollsTheWholeTable) {
  QZTest::Fill(*first, 30);
  QZTest::Fill(*second, 30, "row ");
  ASSERT_EQ(first->SetScrollOffset({0, 16 * 4}), QZ_OK);
  EXPECT_EQ(table->GetScrollOffset().y, 64.0);
  EXPECT_EQ(second->GetScrollOffset().y, 64.0);
  EXPECT_EQ(QZTest::RowTexts(*second)[0], "row 4");
  // The box's own scrolling (its bar) moves both columns; they stay in place.
  const double columnY = first->GetWindowPosition().y;
  ASSERT_EQ(table->SetScrollOffset({0, 16 * 10}), QZ_OK);
  EXPECT_EQ(first->GetScrollOffset().y, 160.0);
  EXPECT_EQ(second->GetScrollOffset().y, 160.0);
  EXPECT_EQ(first->GetWindowPosition().y, columnY);
  EXPECT_EQ(QZTest::RowTexts(*first)[0], "item 10");
}

TEST_F(MultiColumnListBoxTest, ItemNotificationsOfAColumnComeFromTheBox) {
  FillFourRows();
  const auto box = TimedRecorder::Listen(table, {u"NID_ITEM_ACTIVATED"});
  ASSERT_EQ(second->ActivateItem(1), QZ_OK);
  ASSERT_EQ(box->heard.size(), 1u);
  EXPECT_FALSE(box->heard[0].parameter);
}

TEST_F(MultiColumnListBoxTest, ASuspensionThatFailsNamesTheSort) {
  FillFourRows();
  table->UnregisterNotification(second.Get(), u"NID_SELECTION_CHANGE"); // the box hears it no more
  try {
    table->PerformSort(0);
    ADD_FAILURE() << "no exception";
  } catch (const FailedResultException& error) {
    EXPECT_STREQ(error.what(), "Failed Result : QZRESULT = 80004005 : QZ::LMultiColumnListBox::PerformSort : "
                               "Controls\\MultiColumnListBox : Line 725");
  }
  EXPECT_EQ(Texts(first), (std::vector<std::string>{"delta", "Alpha", "charlie", "bravo"})) << "nothing sorted";
}

TEST(MultiColumnListBoxInitializeTest, TwoColumnsUnderOneHeaderFail) {
  QZTest::ListSkin skin("MultiColumn.xml", {}, RegisterTable);
  gLastInitialize = QZ_OK;
  EXPECT_FALSE(skin.Create<LMultiColumnListBox>(u"oneHeaderHost"));
  EXPECT_EQ(gLastInitialize, QZ_E_FAIL);
}

} // namespace
} // namespace QZ
