#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ListBoxTestSupport.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/VisualPart.h"
#include "QZFramework/Controls/CheckedComboBox.h"
#include "QZFramework/Controls/ListParams.h"
#include "QZFramework/Utilities/Graphics/Bitmap.h"

namespace QZ {
namespace {

using QZTest::TimedRecorder;

QZResult gLastInitialize = QZ_OK;

// The checked combo box, noting what its Initialize answered (a failed one is not made).
class RecordingCheckedCombo : public LCheckedComboBox {
public:
  using LCheckedComboBox::LCheckedComboBox;
  QZResult Initialize() override { return gLastInitialize = LCheckedComboBox::Initialize(); }
};

void RegisterCheckedCombo(LControlFactory& factory) {
  factory.RegisterControlCreateFunction(u"Framework.CheckedComboBox", &CreateControlOf<RecordingCheckedCombo>);
  factory.RegisterControlCreateFunction(u"Framework.ComboBoxWithIcons", &CreateControlOf<LCheckedComboBox>);
}

class CheckedComboBoxTest : public ::testing::Test {
protected:
  QZTest::ListSkin skin{"CheckedCombo.xml", {}, RegisterCheckedCombo};
  RCPtr<LCheckedComboBox> combo;

  void SetUp() override {
    skin.window->clientRect = {0, 0, 400, 300};
    gLastInitialize = QZ_OK;
    combo = skin.Create<LCheckedComboBox>(u"checkedComboHost", u"checked");
    ASSERT_TRUE(combo);
    for (const char16_t* text : {u"Zero", u"One", u"Two"}) {
      ASSERT_GE(combo->AddItem(text), 0);
    }
  }
  RCPtr<LCheckedComboBox> Other(const char16_t* name) {
    return DynamicCast<LCheckedComboBox>(skin.top->FindChildByName(WString(name)));
  }
  // Clicks the box of item's row in the open list, as the pointer would toggle it.
  void ToggleInList(int32_t item) {
    const RCPtr<LCheckedListBox>& list = combo->GetCheckedList();
    const auto row = DynamicCast<LCheckedListBoxItem>(list->GetRowControl(list->GetRowOfItem(item)));
    ASSERT_TRUE(row && row->GetCheckBoxPart());
    const RCPtr<LButton> box = row->GetCheckBoxPart();
    box->SetValue(box->GetValue() >= 0.5 ? 0.0 : 1.0); // what a click on an auto-value box does
  }
};

TEST_F(CheckedComboBoxTest, TheFirstCheckAndTheLastUncheckSwitchTheLookFamily) {
  const auto recorder = TimedRecorder::Listen(combo, {u"NID_ITEM_CHECK_CHANGE"});
  ASSERT_EQ(combo->ShowDropDown(true), QZ_OK);
  ASSERT_FALSE(combo->IsMouseOver());
  EXPECT_EQ(combo->GetCurrentLookIndex(), LComboBox::kLookOpenFocused);
  struct Step {
    int32_t item;
    int32_t look;
    int32_t checked;
  };
  for (const Step step : {Step{0, 11, 1}, Step{2, 11, 2}, Step{0, 11, 1}, Step{2, 4, 0}}) {
    SCOPED_TRACE(step.item);
    ToggleInList(step.item);
    EXPECT_EQ(combo->GetCheckedList()->GetCheckedCount(), step.checked);
    EXPECT_EQ(combo->GetCurrentLookIndex(), step.look);
  }
  ASSERT_EQ(recorder->heard.size(), 4u);
  const auto last = DynamicCast<LIndexedDataWithValueParam>(recorder->heard.back().parameter);
  ASSERT_TRUE(last);
  EXPECT_EQ(last->GetIndex(), 2);
  EXPECT_EQ(last->GetValue(), 0.0);
  // Closed with a check: the closed family's look 7 up.
  ToggleInList(1);
  ASSERT_EQ(combo->ShowDropDown(false), QZ_OK);
  ASSERT_TRUE(combo->HasFocus() || combo->ContainsFocus()); // the list took the keyboard
  EXPECT_EQ(combo->GetCurrentLookIndex(), LComboBox::kLookClosedFocused + LCheckedComboBox::kCheckedLooks);
}

TEST_F(CheckedComboBoxTest, TheClosedBoxShowsTheSelectedItemsCheckAndPicture) {
  const RCPtr<LCheckedComboBox> icons = Other(u"icons");
  ASSERT_TRUE(icons);
  for (const char16_t* text : {u"Red", u"Green", u"Blue"}) {
    ASSERT_GE(icons->AddItem(text), 0);
  }
  const RCPtr<LCheckedListBox>& list = icons->GetCheckedList();
  ASSERT_EQ(list->GetCheckImages().size(), 3u);
  EXPECT_TRUE(icons->GetPassiveCheckBox());
  EXPECT_TRUE(icons->GetCheckBoxPart()->IsPassive());
  EXPECT_FALSE(combo->GetPassiveCheckBox());
  const RCPtr<LButton> box = icons->GetCheckBoxPart();
  const auto picture = [&box](int32_t look) {
    const RCPtr<LVisualPart>& overlay = box->GetLook(look)->GetOverlayPart();
    return overlay ? overlay->GetBitmap() : ConstRCPtr<LBitmap>();
  };
  list->SetItemChecked(2, true);
  for (const int32_t item : {1, 2}) {
    SCOPED_TRACE(item);
    ASSERT_EQ(icons->SelectItem(item), item);
    EXPECT_EQ(box->GetValue(), item == 2 ? 1.0 : 0.0);
    for (uint32_t look = 0; look < box->GetLooks().GetCount(); ++look) {
      EXPECT_EQ(picture(int32_t(look)), list->GetItemPicture(item)) << look;
    }
  }
  EXPECT_EQ(icons->SelectItem(-1), -1);
  EXPECT_EQ(box->GetValue(), 1.0) << "the check stays";
  EXPECT_FALSE(picture(0));
}

TEST(CheckedComboBoxInitializeTest, APlainListBoxIsRefused) {
  QZTest::ListSkin skin("CheckedCombo.xml", {}, RegisterCheckedCombo);
  gLastInitialize = QZ_OK;
  const auto top = skin.Create<LControl>(u"checkedComboHost", u"checked");
  ASSERT_TRUE(top);
  EXPECT_FALSE(skin.top->FindChildByName(u"plain"));
  EXPECT_EQ(gLastInitialize, QZ_E_FAIL);
}

} // namespace
} // namespace QZ
