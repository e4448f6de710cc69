// The whole user preset page end to end, for each skin source: the start state, clicks on
// the picture through the window showing and binding the element's page and re-requesting
// its values, an edit travelling to the engine and back to the picture, the keyboard model,
// what each value reaches, and a preset file loaded through the File command.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "UI/DriverCommon/PresetFileBytes.h"
#include "UserPresetKit.h"

namespace UserPresets {
namespace {

using Ids = std::vector<std::vector<uint32_t>>;

class UserPresetPageTest : public ::testing::TestWithParam<PictureSkin> {
protected:
  // Every text and tool tip of the picture, by path.
  std::map<std::string, std::u16string> PictureTexts() const {
    std::map<std::string, std::u16string> texts;
    QZ::RCPtrArray<QZ::LControl, 1, 0> all;
    kit.Panel()->CollectDescendants(all);
    for (uint32_t i = 0; i < all.GetCount(); ++i) {
      const RCPtr<QZ::LControl>& control = all.GetAt(i);
      std::string path(control->GetName().ToUTF8().GetBuffer());
      for (RCPtr<QZ::LControl> up = control->GetParent(); up && up != kit.Panel(); up = up->GetParent()) {
        path = std::string(up->GetName().ToUTF8().GetBuffer()) + "/" + path;
      }
      texts[path] = QZTest::UiKit::TextOf(control);
      texts[path + "#tip"] = QZTest::UiKit::ToolTipOf(control);
    }
    return texts;
  }
  uint32_t FirstIdOf(const std::string& page) const { return kit.Page<LParameterizedModule>(page)->GetFirstParamID(); }

  UserPresetKit kit{GetParam()};
};

TEST_P(UserPresetPageTest, AtStartNoPageIsShownTheFixedPagesAreBoundAndEveryViewShowsTheEnginesValues) {
  EXPECT_TRUE(kit.ShownPages().empty());
  EXPECT_TRUE(kit.SelectedButtons().empty());
  EXPECT_EQ(FirstIdOf("wheels/pitchBendWheel"), 0u);
  EXPECT_EQ(FirstIdOf("wheels/modWheel"), 3u);
  EXPECT_EQ(FirstIdOf("sustain"), 7u);

  EXPECT_EQ(kit.Text(kit.Picture("knobGroup/knob3/channelLabel")), u"CH: G");
  EXPECT_EQ(kit.Text(kit.Picture("knobGroup/knob3/ccLabel")), u"CC: 38");
  EXPECT_EQ(QZTest::UiKit::ToolTipOf(kit.Picture("knobGroup/knob3")), u"Knob: 3\nChannel: Global\nCC: 38");
  EXPECT_EQ(kit.Text(kit.Picture("sliderGroup/slider1/ccLabel")), u"CC: 24");
  EXPECT_EQ(kit.Text(kit.Picture("padGroup1/pad1/messageLabel")), u"NT: 36");
  EXPECT_EQ(kit.Text(kit.Picture("padGroup2/pad8/channelLabel")), u"CH: G");
  EXPECT_EQ(kit.Text(kit.Picture("buttonGroup/button9/channelLabel")), u"CH: G");
  EXPECT_FALSE(QZTest::UiKit::ToolTipOf(kit.Picture("sustainGroup/sustain1")).empty());
  // No label is left with its format: every view got its values.
  for (const auto& [path, text] : PictureTexts()) {
    EXPECT_EQ(text.find(u'%'), std::u16string::npos) << path;
  }
}

TEST_P(UserPresetPageTest, ClickingKnob3ShowsItsPageBoundToItAndATypedCCReachesTheEngineAndComesBackOnce) {
  kit.engine->reRequests.clear();
  kit.Click(kit.Picture("knobGroup/knob3/button"));
  EXPECT_EQ(kit.ShownPages(), std::vector<std::string>{"knob"});
  const auto page = kit.Page<LKnobEditPanel>("knob");
  EXPECT_TRUE(page->ContainsFocus());
  EXPECT_TRUE(page->GetTabLoop());
  EXPECT_EQ(kit.Text(kit.Page("knob/label")), u"Knob 3");
  EXPECT_EQ(page->GetFirstParamID(), 32u);
  EXPECT_EQ(page->GetIndex(), 2u);
  EXPECT_EQ(kit.engine->reRequests, (Ids{{32, 33}}));
  EXPECT_EQ(kit.SelectedButtons(), std::vector<std::string>{"knobGroup/knob3"});
  kit.PumpIdle(); // the re-requested values
  EXPECT_EQ(Elements::NumberOf(kit.Page("knob/cc/parameterControl/numericUpDown")), 38.0);

  kit.engine->setCalls.clear();
  kit.Type(kit.Page("knob/cc/parameterControl/numericUpDown/textBox"), u"74");
  kit.Key(u"VKEY_RETURN");
  EXPECT_EQ(kit.engine->Bytes(33), std::vector<uint8_t>{0x4A});
  kit.PumpIdle();
  EXPECT_EQ(kit.Text(kit.Picture("knobGroup/knob3/ccLabel")), u"CC: 74");
  EXPECT_EQ(QZTest::UiKit::ToolTipOf(kit.Picture("knobGroup/knob3")), u"Knob: 3\nChannel: Global\nCC: 74");
  EXPECT_EQ(kit.engine->setCalls.size(), 1u) << "the value shown again is not sent back";
}

TEST_P(UserPresetPageTest, EveryKindOfElementShowsItsPageAndReRequestsItsOwnValues) {
  const struct {
    const char* element;
    const char* page;
    Ids reRequested;
  } clicks[] = {
      {"padGroup2/pad1", "pad", {{105, 106}}},
      {"sliderGroup/slider9", "slider", {{26, 27}}},
      {"buttonGroup/button2", "button", {{49, 50, 51, 52, 53}}},
      {"wheelGroup/wheel", "wheels", {{3, 4, 5, 6}}},
      {"sustainGroup/sustain1", "sustain", {{7, 8, 9}}},
      {"keyboardGroup/keyboard1", "keyboard", {}},
  };
  for (const auto& click : clicks) {
    kit.engine->reRequests.clear();
    kit.Click(kit.Picture(std::string(click.element) + "/button"));
    EXPECT_EQ(kit.ShownPages(), std::vector<std::string>{click.page}) << click.element;
    EXPECT_EQ(kit.engine->reRequests, click.reRequested) << click.element;
    EXPECT_EQ(kit.SelectedButtons(), std::vector<std::string>{click.element});
  }
  EXPECT_EQ(FirstIdOf("pad"), 105u);
  EXPECT_EQ(kit.Page<LPadEditPanel>("pad")->GetIndex(), 8u);
  EXPECT_EQ(kit.Text(kit.Page("pad/label")), u"Bank 2, Pad 1");
  EXPECT_EQ(kit.Text(kit.Page("slider/label")), u"Fader 9");
  EXPECT_EQ(kit.Text(kit.Page("button/label")), u"Button 2");
  EXPECT_EQ(FirstIdOf("button"), 49u);
  EXPECT_EQ(FirstIdOf("sustain"), 7u) << "bound once";

  const RCPtr<LUserPresetPanel> panel = kit.Panel();
  const auto tabs = kit.Page<QZ::LTabControl>("keyboard/tabControl");
  ASSERT_TRUE(tabs);
  EXPECT_EQ(panel->GetArp().Get(), QZ::DynamicCast<IArp>(tabs->GetPageOfTab(WString(u"arp"))).Get());
  EXPECT_NE(panel->GetArp(), nullptr);
  EXPECT_EQ(panel->GetArp()->GetFirstParamID(), 124u);
  EXPECT_EQ(panel->GetChord()->GetFirstParamID(), 129u);
  EXPECT_EQ(panel->GetScale()->GetFirstParamID(), 138u);
  EXPECT_EQ(panel->GetClock()->GetFirstParamID(), 121u);
}

TEST_P(UserPresetPageTest, TheKeyboardModelHidesFadersAndButtonsTwoToNineAndPicksTheLogo) {
  const auto shown = [&](const std::string& group, const char* element) {
    std::vector<int> numbers;
    for (int i = 1; i <= 9; ++i) {
      const RCPtr<QZ::LControl> view = kit.Picture(group + "/" + element + std::to_string(i));
      if (view && view->IsShown(false)) {
        numbers.push_back(i);
      }
    }
    return numbers;
  };
  const std::vector<int> all{1, 2, 3, 4, 5, 6, 7, 8, 9};
  const RCPtr<QZ::LControl> logo = kit.Picture("productLogosMultiLookLabel");
  EXPECT_EQ(logo->GetCurrentLookIndex(), 1);
  EXPECT_EQ(shown("sliderGroup", "slider"), all);
  kit.ChangeModel(QZ::kDeviceModel25Keys);
  EXPECT_EQ(shown("sliderGroup", "slider"), std::vector<int>{1});
  EXPECT_EQ(shown("buttonGroup", "button"), std::vector<int>{1});
  EXPECT_EQ(shown("knobGroup", "knob"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(shown("padGroup2", "pad"), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(logo->GetCurrentLookIndex(), 0);
  kit.ChangeModel(QZ::kDeviceModel61Keys);
  EXPECT_EQ(shown("sliderGroup", "slider"), all);
  EXPECT_EQ(shown("buttonGroup", "button"), all);
  EXPECT_EQ(logo->GetCurrentLookIndex(), 2);

  // The model box of the device view says the same.
  ASSERT_TRUE(kit.Choose(kit.Find("viewDevice/deviceSelectionComboBox"), QZ::kDeviceModel25Keys));
  kit.PumpIdle();
  EXPECT_EQ(shown("buttonGroup", "button"), std::vector<int>{1});
}

TEST_P(UserPresetPageTest, AValueReachesThePageOnlyWhileItShowsThatElementAndThePictureNeverBeyondItsIds) {
  kit.Click(kit.Picture("knobGroup/knob3/button"));
  kit.PumpIdle();
  const RCPtr<LUserPresetPanel> panel = kit.Panel();

  const auto before = PictureTexts();
  EXPECT_EQ(panel->SetParamValue(QZ::ParamDescriptor(125), Bytes({3}), true), QZ::QZ_OK);
  EXPECT_EQ(PictureTexts(), before) << "the arpeggiator's ids are its page's";

  // Knob 2's CC: its view, not the page bound to knob 3.
  ASSERT_EQ(kit.engine->SetParamValue(QZ::ParamDescriptor(31), Bytes({16})), QZ::QZ_OK);
  ASSERT_EQ(kit.engine->SetParamValue(QZ::ParamDescriptor(30), Bytes({2})), QZ::QZ_OK);
  kit.PumpIdle();
  EXPECT_EQ(kit.Text(kit.Picture("knobGroup/knob2/ccLabel")), u"CC: 16");
  EXPECT_EQ(kit.Text(kit.Picture("knobGroup/knob2/channelLabel")), u"CH: 2");
  EXPECT_EQ(Elements::NumberOf(kit.Page("knob/cc/parameterControl/numericUpDown")), 38.0);
  EXPECT_EQ(kit.Text(kit.Page("knob/midiChannel/comboBox")), u"Global");

  // The pedal's CC: the sustain page (bound to 7) and the pedal's tool tip.
  ASSERT_EQ(kit.engine->SetParamValue(QZ::ParamDescriptor(8), Bytes({11})), QZ::QZ_OK);
  kit.PumpIdle();
  EXPECT_EQ(Elements::NumberOf(kit.Page("sustain/cc/parameterControl/numericUpDown")), 11.0);
  EXPECT_EQ(QZTest::UiKit::ToolTipOf(kit.Picture("sustainGroup/sustain1")), u"Sustain\nChannel: Global\nCC: 11");
}

TEST_P(UserPresetPageTest, LoadingAPresetFileShowsItsValuesOnThePicture) {
  const std::string path = kit.folders / "documents/Lead.QuorinZTRPreset";
  const std::vector<uint8_t> bytes =
      QZTest::PresetFileBytes().Header().ByteRecord(33, 0x4A).ByteRecord(105, 0x12).ByteRecord(106, 0x28).Take();
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  kit.fileDialogAnswers = {std::u16string(WString(path.c_str()).View())};
  kit.root->HandleCommand(QZ::LNotification::Create(u"NID_MENU_FILE_LOAD_PRESET_FROM_FILE", nullptr));
  kit.PumpIdle();
  EXPECT_EQ(kit.Text(kit.Picture("knobGroup/knob3/ccLabel")), u"CC: 74");
  EXPECT_EQ(kit.Text(kit.Picture("padGroup2/pad1/channelLabel")), u"CH: Z2");
  EXPECT_EQ(kit.Text(kit.Picture("padGroup2/pad1/messageLabel")), u"NT: 40");
  EXPECT_TRUE(kit.MessageBoxes().empty());
}

// The test skin, the test skin in the order of the page's children the program's skins
// use too, and the program's two skins.
INSTANTIATE_TEST_SUITE_P(Skins, UserPresetPageTest,
                         ::testing::Values(TestPictureSkin(),
                                           TestPictureSkin(TestSkinVariant::EditPanelLast(), "TestSkinEditPanelLast"),
                                           ShippedPictureSkin(0), ShippedPictureSkin(1)),
                         [](const ::testing::TestParamInfo<PictureSkin>& skin) { return skin.param.name; });

} // namespace
} // namespace UserPresets
