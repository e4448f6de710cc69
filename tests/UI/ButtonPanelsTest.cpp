// The button page and view: the page is titled with the button bound, carries its five ids
// (the number on three selectors), shows the selectors that fit the mode coming back from
// the engine, and refuses ids beyond the button; the view shows channel and message and
// builds its tool tip from the engine; skins without a child fail with its name, or, for
// the view's labels, go on without them.
#include <gtest/gtest.h>

#include "ButtonWheelSustainKit.h"

namespace Elements {
namespace {

class ButtonPageTest : public ::testing::Test {
protected:
  ButtonPageTest() {
    page = kit.Find<LCommonButtonEditPanel>("viewDevice/editPanel/button");
    EXPECT_TRUE(page);
    for (uint32_t id = 64; id < 69; ++id) {
      kit.Device().Route(id, "editPanel/button");
    }
    page->SetFirstParamID(nullptr, 64, 4);
  }
  int32_t Show(uint32_t id, uint8_t value) {
    return page->SetParamValueLocal(QZ::ParamDescriptor(id), Bytes({value}), true);
  }
  // Which of cc, program, note, pressed and released are shown.
  std::vector<bool> Visible() const {
    std::vector<bool> visible;
    for (const char* child : {"cc", "program", "note", "pressed", "released"}) {
      visible.push_back(kit.Shown(std::string("editPanel/button/") + child));
    }
    return visible;
  }

  ButtonWheelSustainKit kit{Tree(EditPanel(ButtonPage({0, 0, 800, 90})))};
  RCPtr<LCommonButtonEditPanel> page;
};

TEST_F(ButtonPageTest, BoundAsTheFifthButtonItIsTitledAndShowsTheNumberOnAllThree) {
  EXPECT_EQ(kit.Text("editPanel/button/label"), u"Button 5") << "the page's own entry, index + 1";
  const uint32_t ids[] = {64, 65, 66, 66, 66, 67, 68}; // channel, mode, cc, note, program, pressed, released
  for (size_t i = 0; i < std::size(ids); ++i) {
    EXPECT_EQ(page->GetSelector(i)->GetParameter().id, ids[i]) << i;
  }
  EXPECT_EQ(Show(66, 0x3C), QZ::QZ_OK);
  EXPECT_EQ(kit.Number("editPanel/button/cc/parameterControl/numericUpDown"), 60.0);
  EXPECT_EQ(kit.Number("editPanel/button/note/parameterControl/numericUpDown"), 60.0);
  EXPECT_EQ(kit.Number("editPanel/button/program/parameterControl"), 60.0);
  EXPECT_EQ(Show(68, 7), QZ::QZ_OK);
  EXPECT_EQ(kit.Number("editPanel/button/released/parameterControl"), 7.0);

  for (const uint32_t id : {69u, 63u}) {
    EXPECT_EQ(Show(id, 0x02), QZ::QZ_E_FAIL) << id;
  }
  EXPECT_EQ(kit.Number("editPanel/button/cc/parameterControl/numericUpDown"), 60.0);
  EXPECT_EQ(Visible(), (std::vector<bool>{true, true, true, true, true})) << "nothing changed";

  for (const char* path : {"cc/parameterControl/numericUpDown", "note/parameterControl/numericUpDown"}) {
    const auto upDown = kit.Find<QZ::LNumericUpDown>(std::string("viewDevice/editPanel/button/") + path);
    EXPECT_DOUBLE_EQ(upDown->GetRangeMaximum(), 127.0) << path;
    EXPECT_EQ(upDown->GetTextBox()->GetMaxLength(), 3) << path;
  }
}

TEST_F(ButtonPageTest, TheModeThatComesBackShowsTheSelectorsThatFitIt) {
  const std::pair<uint8_t, std::vector<bool>> modes[] = {
      {2, {false, true, false, false, false}}, {3, {false, false, true, true, true}},
      {7, {false, false, true, true, true}}, // unknown: as it was
      {0, {true, false, false, true, true}},   {4, {false, false, true, true, true}},
      {1, {true, false, false, true, true}}};
  for (const auto& [mode, visible] : modes) {
    EXPECT_EQ(Show(65, mode), QZ::QZ_OK);
    EXPECT_EQ(Visible(), visible) << int(mode);
  }

  // A mode the user picks changes the page once the engine's value comes back.
  kit.engine->setCalls.clear(); // a page handed values sends what its selectors show
  ASSERT_TRUE(kit.Choose(kit.Find("viewDevice/editPanel/button/mode/comboBox"), 2));
  EXPECT_EQ(kit.Sent(), (SentList{{65, {0x02}}}));
  EXPECT_TRUE(kit.Shown("editPanel/button/cc"));
  kit.PumpIdle();
  EXPECT_EQ(Visible(), (std::vector<bool>{false, true, false, false, false}));
  EXPECT_EQ(kit.Sent(), (SentList{{65, {0x02}}})) << "the value shown was not sent back";
}

TEST(ButtonPageSkinTest, AMissingChildFailsWithItsNameAndAMissingTitleAtTheFirstBinding) {
  const std::pair<const char*, const char*> cases[] = {
      {"midiChannel", "midiChannel : 30"},
      {"mode", "mode : 33"},
      {"cc", "cc : 36"},
      {"ccNumber", "cc->parameterControl->numericUpDown : 39"},
      {"note", "note : 46"},
      {"noteNumber", "note->parameterControl->numericUpDown : 49"},
      {"program", "program : 54"},
      {"pressed", "preased : 57"},
      {"released", "released : 60"},
  };
  std::string pages;
  for (size_t i = 0; i < std::size(cases); ++i) {
    pages += ButtonPage({0, 0, 800, 90}, {cases[i].first}, "page" + std::to_string(i));
  }
  ButtonWheelSustainKit kit(Tree(EditPanel(ButtonPage({0, 0, 800, 90}, {"label"}))) + pages);
  for (size_t i = 0; i < std::size(cases); ++i) {
    const std::string text = cases[i].second;
    const size_t colon = text.find(" : ");
    EXPECT_EQ(kit.CreateFails("page" + std::to_string(i)),
              "Runtime Error : Null Pointer : Cannot find child " + text.substr(0, colon) +
                  " : LCommonButtonEditPanel::Initialize : UI\\ButtonEditPanel : Line " + text.substr(colon + 3));
  }
  try {
    kit.Find<LCommonButtonEditPanel>("viewDevice/editPanel/button")->SetFirstParamID(nullptr, 64, 4);
    ADD_FAILURE() << "bound without its title";
  } catch (const std::runtime_error& error) {
    EXPECT_STREQ(error.what(), "Runtime Error : Null Pointer : Couldn't find child label : "
                               "LCommonButtonEditPanel::SetLabelText : UI\\ButtonEditPanel : Line 185");
  }
}

class ButtonViewTest : public ::testing::Test {
protected:
  ButtonViewTest() {
    view = kit.Find<LCommonButtonViewPanel>("viewDevice/button3");
    EXPECT_TRUE(view);
    view->SetFirstParamID(nullptr, 54, 2);
  }
  // The channel and message labels and the tool tip of a view.
  std::u16string Shows(const std::string& name) {
    return kit.Text(name + "/channelLabel") + u" | " + kit.Text(name + "/messageLabel") + u" | " +
           QZTest::UiKit::ToolTipOf(kit.Find("viewDevice/" + name));
  }

  ButtonWheelSustainKit kit{Tree(ButtonView("button3", {0, 0, 100, 120}) +
                                 ButtonView("bareButton", {110, 0, 100, 120}, {"messageLabel", "channelLabel"}))};
  RCPtr<LCommonButtonViewPanel> view;
};

TEST_F(ButtonViewTest, ChannelAndMessageShowWhatTheEngineHoldsAndTheToolTipNamesTheButton) {
  kit.Hold(55, Bytes({0x02}));
  kit.Hold(56, Bytes({0x05}));
  kit.Deliver(*view, {{54, Bytes({0x00})}});
  EXPECT_EQ(Shows("button3"), u"CH: G | PG: 5 | Button: 3\nChannel: Global\nProgram: 5");
  kit.Deliver(*view, {{55, Bytes({0x09})}});
  EXPECT_EQ(Shows("button3"), u"CH: G |   | Button: 3\nChannel: Global") << "a space and two lines";
  kit.Deliver(*view, {{54, Bytes({0x10})}, {55, Bytes({0x01})}});
  EXPECT_EQ(Shows("button3"), u"CH: 16 | CC: 5 | Button: 3\nChannel: 16\nCC: 5");
  kit.Deliver(*view, {{55, Bytes({0x04})}});
  EXPECT_EQ(Shows("button3"), u"CH: 16 | NT: 5 | Button: 3\nChannel: 16\nNote: 5");

  // A two-byte channel leaves the channel label; every id refreshes the rest.
  kit.Hold(56, Bytes({0x07}));
  kit.Hold(54, Bytes({0x03}));
  EXPECT_EQ(view->SetParamValueLocal(QZ::ParamDescriptor(54), Bytes({0x03, 0x01}), true), QZ::QZ_OK);
  EXPECT_EQ(Shows("button3"), u"CH: 16 | NT: 7 | Button: 3\nChannel: 3\nNote: 7");
  kit.Hold(56, Bytes({0x08}));
  EXPECT_EQ(view->SetParamValueLocal(QZ::ParamDescriptor(56), Bytes({0x08}), true), QZ::QZ_E_FAIL);
  EXPECT_EQ(view->SetParamValueLocal(QZ::ParamDescriptor(53), Bytes({0x08}), true), QZ::QZ_E_FAIL);
  EXPECT_EQ(Shows("button3"), u"CH: 16 | NT: 8 | Button: 3\nChannel: 3\nNote: 8");
}

TEST_F(ButtonViewTest, AViewWithoutItsLabelsKeepsItsToolTip) {
  const auto bare = kit.Find<LCommonButtonViewPanel>("viewDevice/bareButton");
  bare->SetFirstParamID(nullptr, 84, 8);
  kit.Deliver(*bare, {{85, Bytes({0x04})}, {86, Bytes({0x24})}});
  kit.Hold(84, Bytes({0x01}));
  EXPECT_EQ(bare->SetParamValueLocal(QZ::ParamDescriptor(84), Bytes({0x01}), true), QZ::QZ_OK);
  EXPECT_EQ(QZTest::UiKit::ToolTipOf(bare), u"Button: 9\nChannel: 1\nNote: 36");
}

} // namespace
} // namespace Elements
