// The user preset panel and its edit panel on their own terms: which page shows, skins
// without a part of the picture, element names that name no element, the module accessors
// out of range, and the picture following a first id other than 0.
#include <gtest/gtest.h>

#include "UserPresetKit.h"

namespace UserPresets {
namespace {

constexpr char kMissing[] = "Runtime Error : Null Pointer : Cannot find child ";
constexpr char kSite[] = " : LUserPresetPanel::Initialize : UI\\UserPresetPanel : Line ";

TEST(UserPresetEditPanelTest, ShowsAtMostOnePageFocusedAndHidesEveryChildFirst) {
  UserPresetKit kit(TestPictureSkin());
  const RCPtr<LUserPresetEditPanel> pages = kit.Pages();
  EXPECT_EQ(pages->GetEditPage(LUserPresetEditPanel::kKeyboardPage).Get(), kit.Page("keyboard").Get());
  EXPECT_EQ(pages->GetEditPage(LUserPresetEditPanel::kWheelsPage).Get(), kit.Page("wheels").Get());
  EXPECT_EQ(pages->GetEditPage(LUserPresetEditPanel::kNoPage), nullptr);
  EXPECT_EQ(pages->GetEditPage(8), nullptr);

  // A child that is no page is hidden too.
  const RCPtr<QZ::LControl> stray(new QZ::LPanel(RCPtr<QZ::LControl>(pages), WString(u"stray")));
  stray->SetVisible(true);
  EXPECT_EQ(pages->ShowEditPage(LUserPresetEditPanel::kSustainPage), QZ::QZ_OK);
  EXPECT_EQ(pages->ShowEditPage(LUserPresetEditPanel::kKnobPage), QZ::QZ_OK);
  EXPECT_EQ(kit.ShownPages(), std::vector<std::string>{"knob"});
  EXPECT_TRUE(kit.Page("knob")->ContainsFocus());
  EXPECT_FALSE(kit.Page("sustain")->ContainsFocus());

  EXPECT_EQ(pages->ShowEditPage(LUserPresetEditPanel::kNoPage), QZ::QZ_OK);
  EXPECT_TRUE(kit.ShownPages().empty());
  EXPECT_EQ(pages->ShowEditPage(LUserPresetEditPanel::kPadPage), QZ::QZ_OK);
  EXPECT_EQ(pages->ShowEditPage(9), QZ::QZ_E_FAIL);
  EXPECT_TRUE(kit.ShownPages().empty());
}

TEST(UserPresetEditPanelTest, ThePageShownAlreadyStaysShownAndUnpainted) {
  UserPresetKit kit(TestPictureSkin());
  const RCPtr<LUserPresetEditPanel> pages = kit.Pages();
  ASSERT_EQ(pages->ShowEditPage(LUserPresetEditPanel::kKnobPage), QZ::QZ_OK);
  QZ::RectListT<int32_t> dirty;
  kit.root->TakeDirtyRegion(dirty);

  // Another knob clicked: the same page again.
  ASSERT_EQ(pages->ShowEditPage(LUserPresetEditPanel::kKnobPage), QZ::QZ_OK);
  QZ::RectListT<int32_t> again;
  kit.root->TakeDirtyRegion(again);
  EXPECT_TRUE(again.IsEmpty()) << again.GetCount() << " rectangles to paint";
  EXPECT_EQ(kit.ShownPages(), std::vector<std::string>{"knob"});
  EXPECT_TRUE(kit.Page("knob")->ContainsFocus());
}

TEST(UserPresetPanelTest, ASkinWithoutAPartOfThePictureFailsWithTheNameOfWhatIsMissing) {
  const std::pair<const char*, std::string> cases[] = {
      {"editPanel", "editPanel" + std::string(kSite) + "32"},
      {"sliderGroup", "sliderGroup" + std::string(kSite) + "41"},
      {"buttonGroup", "buttonGroup" + std::string(kSite) + "51"},
      {"knobGroup", "knobGroup" + std::string(kSite) + "63"},
      {"padGroup1", "padGroup1" + std::string(kSite) + "72"},
      {"padGroup2", "padGroup2" + std::string(kSite) + "80"},
      {"wheelGroup", "wheelGroup" + std::string(kSite) + "34"},
      {"wheelGroup/wheel", "wheel" + std::string(kSite) + "34"},
      {"wheelGroup/wheel/button", "button" + std::string(kSite) + "34"},
      {"keyboardGroup", "keyboardGroup" + std::string(kSite) + "37"},
      {"keyboardGroup/keyboard1", "keyboard1" + std::string(kSite) + "37"},
      {"keyboardGroup/keyboard1/button", "button" + std::string(kSite) + "37"},
      {"padGroup1/pad8", "pad8" + std::string(kSite) + "144"},
      {"padGroup2/pad3", "pad3" + std::string(kSite) + "148"},
      {"sliderGroup/slider9", "slider9" + std::string(kSite) + "152"},
      {"knobGroup/knob5", "knob5" + std::string(kSite) + "156"},
      {"buttonGroup/button1", "button1" + std::string(kSite) + "160"},
      {"sustainGroup", "sustainGroup" + std::string(kSite) + "168"},
      {"sustainGroup/sustain1", "sustain1" + std::string(kSite) + "168"},
      {"sustainGroup/sustain1/button", "button" + std::string(kSite) + "170"},
  };
  for (const auto& [without, text] : cases) {
    UserPresetKit kit(TestPictureSkin(TestSkinVariant::Without({without})), QZ::kDeviceModel49Keys, false);
    EXPECT_EQ(kit.BuildFails(), kMissing + text) << without;
  }
  // An element without its button is refused by the subscription of its group.
  const std::pair<const char*, int> refused[] = {{"sliderGroup/slider2/button", 46},
                                                 {"buttonGroup/button2/button", 58},
                                                 {"knobGroup/knob2/button", 68},
                                                 {"padGroup1/pad2/button", 77},
                                                 {"padGroup2/pad2/button", 85}};
  for (const auto& [without, line] : refused) {
    UserPresetKit kit(TestPictureSkin(TestSkinVariant::Without({without})), QZ::kDeviceModel49Keys, false);
    EXPECT_EQ(kit.BuildFails(), "Failed Result : QZRESULT = 80070057" + std::string(kSite) + std::to_string(line))
        << without;
  }
}

TEST(UserPresetPanelTest, WithoutTheLogoTheModelStillLaysThePictureOut) {
  UserPresetKit kit(TestPictureSkin(TestSkinVariant::Without({"productLogosMultiLookLabel"})));
  ASSERT_NE(kit.Panel(), nullptr);
  kit.ChangeModel(QZ::kDeviceModel25Keys);
  EXPECT_FALSE(kit.Picture("sliderGroup/slider2")->IsShown(false));
  EXPECT_TRUE(kit.Picture("sliderGroup/slider1")->IsShown(false));
}

TEST(UserPresetPanelTest, AnElementNamedWithoutANumberOfItsGroupShowsThePageAndBindsNothing) {
  UserPresetKit kit(TestPictureSkin(TestSkinVariant::WithKnobs({"knobX", "knob9", "knob"})));
  kit.Click(kit.Picture("knobGroup/knob3/button"));
  for (const char* element : {"knobX", "knob9", "knob"}) {
    kit.Pages()->ShowEditPage(LUserPresetEditPanel::kNoPage);
    kit.engine->reRequests.clear();
    kit.Click(kit.Picture(std::string("knobGroup/") + element + "/button"));
    EXPECT_EQ(kit.ShownPages(), std::vector<std::string>{"knob"}) << element;
    EXPECT_EQ(kit.SelectedButtons(), std::vector<std::string>{std::string("knobGroup/") + element});
    EXPECT_EQ(kit.Page<LKnobEditPanel>("knob")->GetFirstParamID(), 32u) << element << ": still knob 3's";
    EXPECT_TRUE(kit.engine->reRequests.empty()) << element;
  }
}

TEST(UserPresetPanelTest, OnThe25KeyModelChordNotesOutsideTheListSettleOnTheirFallbacks) {
  UserPresetKit kit(TestPictureSkin(), QZ::kDeviceModel25Keys, false);
  ASSERT_EQ(kit.engine->SetParamValue(QZ::ParamDescriptor(132), Bytes({36})), QZ::QZ_OK); // below the keys
  ASSERT_EQ(kit.engine->SetParamValue(QZ::ParamDescriptor(135), Bytes({84})), QZ::QZ_OK); // above them
  kit.Build();                                                                            // the idle passes settle
  EXPECT_EQ(kit.engine->Bytes(132), std::vector<uint8_t>{48});
  EXPECT_EQ(kit.engine->Bytes(135), std::vector<uint8_t>{0});
  const std::string notes = "keyboard/tabControl/pageHolder/chord/userChordNote";
  EXPECT_EQ(kit.Page<QZ::LComboBox>(notes + "1/comboBox")->GetSelectedIndex(), 0);
  EXPECT_EQ(kit.Text(kit.Page(notes + "4/comboBox")), u"OFF");
}

TEST(UserPresetPanelTest, TheModulesAreTheEnginesLeavesAndTheIndexedOnesAreNullOutOfRange) {
  UserPresetKit kit(TestPictureSkin());
  const RCPtr<LUserPresetPanel> panel = kit.Panel();
  EXPECT_NE(panel->GetKnob(7), nullptr);
  EXPECT_EQ(panel->GetKnob(8), nullptr);
  EXPECT_NE(panel->GetSlider(8), nullptr);
  EXPECT_EQ(panel->GetSlider(9), nullptr);
  EXPECT_EQ(panel->GetHardwareButton(9), nullptr);
  EXPECT_EQ(panel->GetPad(16), nullptr);
  EXPECT_EQ(panel->GetPad(15)->GetFirstParamID(), 119u);
  EXPECT_EQ(panel->GetModuleForParamID(33).Get(), static_cast<LParameterizedModule*>(panel->GetKnob(2).Get()));
  EXPECT_EQ(panel->GetModuleForParamID(0).Get(), static_cast<LParameterizedModule*>(panel->GetPitchbend().Get()));
  EXPECT_EQ(panel->GetModuleForParamID(4).Get(), static_cast<LParameterizedModule*>(panel->GetModWheel().Get()));
  EXPECT_EQ(panel->GetModuleForParamID(9).Get(), static_cast<LParameterizedModule*>(panel->GetSustain().Get()));
  EXPECT_EQ(panel->GetModuleForParamID(140), nullptr);
}

TEST(UserPresetPanelTest, BoundFromAnotherFirstIdTheViewsPagesAndReRequestsFollow) {
  UserPresetKit kit(TestPictureSkin());
  kit.Main()->SetFirstParamID(nullptr, 1000, 0);
  EXPECT_EQ(kit.Panel()->GetFirstParamID(), 1000u);
  EXPECT_EQ(kit.Find<LKnobViewPanel>(std::string(UserPresetKit::kPicture) + "/knobGroup/knob3")->GetFirstParamID(),
            1032u);
  EXPECT_EQ(
      kit.Find<LSustainViewPanel>(std::string(UserPresetKit::kPicture) + "/sustainGroup/sustain1")->GetFirstParamID(),
      1007u);
  kit.engine->reRequests.clear();
  kit.Click(kit.Picture("padGroup1/pad2/button"));
  EXPECT_EQ(kit.Page<LPadEditPanel>("pad")->GetFirstParamID(), 1091u);
  EXPECT_EQ(kit.engine->reRequests, (std::vector<std::vector<uint32_t>>{{1091, 1092}}));

  // A value of the pad's note reaches its page and view, one of id 91 nothing.
  kit.Panel()->SetParamValue(QZ::ParamDescriptor(1092), Bytes({40}), true);
  EXPECT_EQ(kit.Text(kit.Page("pad/note/parameterControl/noteNameLabel")), u"E");
  kit.Panel()->SetParamValue(QZ::ParamDescriptor(92), Bytes({41}), true);
  EXPECT_EQ(kit.Text(kit.Page("pad/note/parameterControl/noteNameLabel")), u"E");
}

} // namespace
} // namespace UserPresets
