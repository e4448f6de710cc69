// The global settings page: values of its five ids reach their selectors, the channel
// travels as index + 1 through the main control, a second binding moves all five
// selectors, the logo follows the keyboard model, and skins without a selector or the logo.
#include <gtest/gtest.h>

#include "QZFramework/ControlBase/Look.h"

#include "EditPageKit.h"

namespace EditPages {
namespace {

std::string GlobalTree(const std::string& page) {
  return Xml::Control("PresetEditor.MainControl", "mainControl", {0, 0, 800, 180},
                      Xml::Control("Test.Device", "viewDevice", {0, 0, 800, 180}, page));
}

class GlobalPageTest : public ::testing::Test {
protected:
  GlobalPageTest() {
    page = kit.Find<LGlobalPresetEditPanel>("viewDevice/globalPage");
    EXPECT_TRUE(page);
    page->SetFirstParamID(nullptr, 140, 0);
  }
  RCPtr<QZ::LComboBox> Combo(const std::string& child) {
    return kit.Find<QZ::LComboBox>("viewDevice/globalPage/" + child + "/comboBox");
  }
  int32_t Show(uint32_t id, std::initializer_list<uint8_t> bytes) {
    return page->SetParamValueLocal(QZ::ParamDescriptor(id), Bytes(bytes), true);
  }

  PageKit kit{GlobalTree(GlobalPage("globalPage", {0, 0, 800, 180})), u"mainControl", QZ::kDeviceModel49Keys};
  RCPtr<LGlobalPresetEditPanel> page;
};

TEST_F(GlobalPageTest, ValuesOfTheFiveIdsReachTheirSelectorsAndNoOthers) {
  EXPECT_EQ(Show(144, {2}), QZ::QZ_OK);
  EXPECT_EQ(QZTest::UiKit::TextOf(Combo("dawSetting")), u"Mackie/HUI");
  EXPECT_EQ(Show(140, {16}), QZ::QZ_OK);
  EXPECT_EQ(Combo("midiChannel")->GetSelectedIndex(), 15);
  EXPECT_EQ(QZTest::UiKit::TextOf(Combo("midiChannel")), u"Channel 16");
  EXPECT_EQ(Show(142, {1}), QZ::QZ_OK);
  EXPECT_EQ(Combo("keyboardSensitivity")->GetSelectedIndex(), 1);

  const std::vector<int32_t> before = {
      Combo("midiChannel")->GetSelectedIndex(), Combo("keyboardSensitivity")->GetSelectedIndex(),
      Combo("padSensitivity")->GetSelectedIndex(), Combo("dawSetting")->GetSelectedIndex()};
  EXPECT_EQ(Show(145, {0}), QZ::QZ_OK);
  EXPECT_EQ(Show(139, {0}), QZ::QZ_OK);
  EXPECT_EQ(Show(144, {1, 2}), QZ::QZ_OK) << "a value of another size is not shown, still 0";
  const std::vector<int32_t> after = {
      Combo("midiChannel")->GetSelectedIndex(), Combo("keyboardSensitivity")->GetSelectedIndex(),
      Combo("padSensitivity")->GetSelectedIndex(), Combo("dawSetting")->GetSelectedIndex()};
  EXPECT_EQ(after, before);
}

TEST_F(GlobalPageTest, EditsGoUpAsIndexPlusOffsetAndFollowASecondBinding) {
  EXPECT_EQ(Show(140, {5}), QZ::QZ_OK);
  kit.engine->setCalls.clear();
  ASSERT_TRUE(kit.Choose(Combo("midiChannel"), 0));
  EXPECT_EQ(kit.Sent(), (SentList{{140, {0x01}}})) << "\"Channel 1\"";
  kit.engine->setCalls.clear();
  ASSERT_TRUE(kit.Choose(Combo("dawSetting"), 3));
  EXPECT_EQ(kit.Sent(), (SentList{{144, {0x03}}}));

  page->SetFirstParamID(nullptr, 150, 0);
  EXPECT_EQ(page->GetFirstParamID(), 150u);
  const char* names[] = {"midiChannel", "program", "keyboardSensitivity", "padSensitivity", "dawSetting"};
  for (uint32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(kit.Find<LVariantBufferSetterParameterPanel>(std::string("viewDevice/globalPage/") + names[k])
                  ->GetParameter()
                  .id,
              150 + k)
        << names[k];
  }
  kit.engine->setCalls.clear();
  ASSERT_TRUE(kit.Choose(Combo("padSensitivity"), 2));
  ASSERT_EQ(kit.engine->setCalls.size(), 1u);
  EXPECT_EQ(kit.engine->setCalls[0].id, 153u);
  EXPECT_EQ(Show(154, {4}), QZ::QZ_OK);
  EXPECT_EQ(Combo("dawSetting")->GetSelectedIndex(), 4) << "values follow the new ids";
}

TEST_F(GlobalPageTest, TheLogoShowsTheLookOfTheModel) {
  const RCPtr<QZ::LControl> logo = kit.Find("viewDevice/globalPage/productLogosMultiLookLabel");
  ASSERT_TRUE(logo);
  QZ::RCPtrArray<QZ::LLook, 1, 0> looks; // one look per model
  for (int i = 0; i < 3; ++i) {
    looks.AddItem(logo->GetLook(0));
  }
  ASSERT_EQ(logo->SetLooks(looks), QZ::QZ_OK);
  ASSERT_EQ(logo->ShowLook(0), QZ::QZ_OK);
  kit.ChangeModel(QZ::kDeviceModel61Keys);
  EXPECT_EQ(logo->GetCurrentLookIndex(), 2);
  kit.ChangeModel(QZ::kDeviceModel25Keys);
  EXPECT_EQ(logo->GetCurrentLookIndex(), 0);
}

TEST(GlobalPageSkinTest, AMissingSelectorFailsWithItsNameAndAMissingLogoIsSkipped) {
  const std::pair<const char*, const char*> cases[] = {
      {"midiChannel", "midiChannel : LGlobalPresetEditPanel::Initialize : UI\\GlobalPresetEditPanel : Line 30"},
      {"program", "program : LGlobalPresetEditPanel::Initialize : UI\\GlobalPresetEditPanel : Line 34"},
      {"keyboardSensitivity",
       "keyboardSensitivity : LGlobalPresetEditPanel::Initialize : UI\\GlobalPresetEditPanel : Line 37"},
      {"padSensitivity", "padSensitivity : LGlobalPresetEditPanel::Initialize : UI\\GlobalPresetEditPanel : Line 40"},
      {"dawSetting", "dawSetting : LGlobalPresetEditPanel::Initialize : UI\\GlobalPresetEditPanel : Line 43"},
  };
  std::string entries = GlobalTree(GlobalPage("globalPage", {0, 0, 800, 180}, {}, false));
  for (const auto& [missing, text] : cases) {
    entries += GlobalPage(std::string("without_") + missing, {0, 0, 800, 180}, missing);
  }
  PageKit kit(entries, u"mainControl", QZ::kDeviceModel49Keys);
  for (const auto& [missing, text] : cases) {
    const std::string name = std::string("without_") + missing;
    try {
      kit.factory->CreateControlByName(QZ::WString(std::u16string(name.begin(), name.end()).c_str()), nullptr);
      ADD_FAILURE() << "no exception without " << missing;
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()), std::string("Runtime Error : Null Pointer : Cannot find child ") + text);
    }
  }

  const auto page = kit.Find<LGlobalPresetEditPanel>("viewDevice/globalPage");
  ASSERT_TRUE(page);
  kit.ChangeModel(QZ::kDeviceModel61Keys); // nothing to show it on
  page->SetFirstParamID(nullptr, 140, 0);
  EXPECT_EQ(page->SetParamValueLocal(QZ::ParamDescriptor(144), Bytes({5}), true), QZ::QZ_OK);
  EXPECT_EQ(QZTest::UiKit::TextOf(kit.Find("viewDevice/globalPage/dawSetting/comboBox")), u"MIDI 3");
}

} // namespace
} // namespace EditPages
