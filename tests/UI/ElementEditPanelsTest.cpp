// The knob, fader and pad pages: the header names the element bound, the selectors carry
// its two ids and send the user's choices through the main control to the engine, whose
// announcements come back to the page without an echo; values for other ids change nothing;
// the number takes 0 .. 127 and three digits; skins without a child fail with its name.
#include <gtest/gtest.h>

#include "ElementPageKit.h"

namespace Elements {
namespace {

class ElementPagesTest : public ::testing::Test {
protected:
  ElementPagesTest() {
    knob = kit.Find<LKnobEditPanel>("viewDevice/knobPage");
    fader = kit.Find<LKnobEditPanel>("viewDevice/faderPage");
    pad = kit.Find<LPadEditPanel>("viewDevice/padPage");
    EXPECT_TRUE(knob && fader && pad);
    kit.Device().Route(32, "knobPage");
    kit.Device().Route(33, "knobPage");
    knob->SetFirstParamID(nullptr, 32, 2);
  }

  ElementKit kit{Tree(KnobPage("knobPage", {0, 0, 600, 90}) +
                      ElementPage("PresetEditor.SliderUserPresetEditPanel", "faderPage", {0, 95, 600, 90}) +
                      PadPage("padPage", {0, 190, 600, 90}))};
  RCPtr<LKnobEditPanel> knob;
  RCPtr<LKnobEditPanel> fader;
  RCPtr<LPadEditPanel> pad;
};

TEST_F(ElementPagesTest, TheHeaderNamesTheElementAndTheSelectorsCarryItsIds) {
  EXPECT_EQ(kit.Text("knobPage/label"), u"Knob 3");
  EXPECT_EQ(knob->GetParamCount(), 2u);
  EXPECT_EQ(knob->GetSelector(0)->GetParameter().id, 32u);
  EXPECT_EQ(knob->GetSelector(1)->GetParameter().id, 33u);
  fader->SetFirstParamID(nullptr, 10, 0);
  EXPECT_EQ(kit.Text("faderPage/label"), u"Fader 1");
  fader->SetFirstParamID(nullptr, 26, 8);
  EXPECT_EQ(kit.Text("faderPage/label"), u"Fader 9");

  const std::pair<uint32_t, const char16_t*> pads[] = {
      {0, u"Bank 1, Pad 1"}, {7, u"Bank 1, Pad 8"}, {15, u"Bank 2, Pad 8"}, {8, u"Bank 2, Pad 1"}};
  for (const auto& [index, header] : pads) {
    pad->SetFirstParamID(nullptr, 89 + 2 * index, index);
    EXPECT_EQ(kit.Text("padPage/label"), header) << index;
  }
  EXPECT_EQ(pad->GetSelector(0)->GetParameter().id, 105u);
  EXPECT_EQ(pad->GetSelector(1)->GetParameter().id, 106u);
}

TEST_F(ElementPagesTest, ChannelAndCCGoToTheEngineThroughTheMainControlAndComeBackWithoutAnEcho) {
  ASSERT_TRUE(kit.Choose(kit.Find("viewDevice/knobPage/midiChannel/comboBox"), 5));
  EXPECT_EQ(kit.Sent(), (SentList{{32, {0x05}}})) << "\"Channel 5\"";
  kit.engine->setCalls.clear();
  kit.Type(kit.Find("viewDevice/knobPage/cc/parameterControl/numericUpDown/textBox"), u"74");
  kit.Key(u"VKEY_RETURN");
  EXPECT_EQ(kit.Sent(), (SentList{{33, {0x4A}}}));
  EXPECT_EQ(kit.Text("knobPage/cc/parameterControl/label"), u"Cutoff Frequency");

  kit.Device().shown.clear();
  kit.PumpIdle(); // the engine announces both; the page shows them again
  ASSERT_EQ(kit.Device().shown.size(), 2u);
  EXPECT_EQ(kit.Sent(), (SentList{{33, {0x4A}}})) << "the shown values were not sent back";
  EXPECT_EQ(kit.Text("knobPage/midiChannel/comboBox"), u"Channel 5");
  EXPECT_EQ(kit.engine->Bytes(33), (std::vector<uint8_t>{0x4A}));
}

TEST_F(ElementPagesTest, ValuesOfItsIdsReachTheirSelectorsAndOthersChangeNothing) {
  const RCPtr<QZ::LControl> number = kit.Find("viewDevice/knobPage/cc/parameterControl/numericUpDown");
  EXPECT_EQ(knob->SetParamValueLocal(QZ::ParamDescriptor(33), Bytes({7}), true), QZ::QZ_OK);
  EXPECT_EQ(NumberOf(number), 7.0);
  EXPECT_EQ(kit.Text("knobPage/cc/parameterControl/label"), u"Channel Volume");
  EXPECT_EQ(knob->SetParamValueLocal(QZ::ParamDescriptor(32), Bytes({0}), true), QZ::QZ_OK);
  for (const uint32_t id : {34u, 31u, 30u}) {
    EXPECT_EQ(knob->SetParamValueLocal(QZ::ParamDescriptor(id), Bytes({9}), true), QZ::QZ_OK) << id;
  }
  EXPECT_EQ(NumberOf(number), 7.0);
  EXPECT_EQ(kit.Text("knobPage/midiChannel/comboBox"), u"Global");

  pad->SetFirstParamID(nullptr, 105, 8);
  EXPECT_EQ(pad->SetParamValueLocal(QZ::ParamDescriptor(106), Bytes({0x24}), true), QZ::QZ_OK);
  EXPECT_EQ(NumberOf(kit.Find("viewDevice/padPage/note/parameterControl/numericUpDown")), 36.0);
  EXPECT_EQ(kit.Text("padPage/note/parameterControl/noteNameLabel"), u"C");
  EXPECT_EQ(kit.Text("padPage/note/parameterControl/octaveNameLabel"), u"(1)");
}

TEST_F(ElementPagesTest, TheNumberTakesZeroTo127AndThreeDigits) {
  for (const char* path : {"viewDevice/knobPage/cc/parameterControl/numericUpDown",
                           "viewDevice/padPage/note/parameterControl/numericUpDown"}) {
    const auto upDown = kit.Find<QZ::LNumericUpDown>(path);
    EXPECT_DOUBLE_EQ(upDown->GetRangeMaximum(), 127.0) << path;
    EXPECT_EQ(upDown->GetTextBox()->GetMaxLength(), 3) << path;
  }
  const RCPtr<QZ::LControl> text = kit.Find("viewDevice/knobPage/cc/parameterControl/numericUpDown/textBox");
  kit.Type(text, u"1234");
  EXPECT_EQ(QZTest::UiKit::TextOf(text), u"123") << "the fourth digit is refused";
  kit.Key(u"VKEY_RETURN");
  EXPECT_EQ(kit.Sent(), (SentList{{33, {123}}}));
}

TEST(ElementPageSkinTest, AMissingChildFailsWithItsNameAndAMissingHeaderAtTheFirstBinding) {
  const char* const kKnob = " : LKnobEditPanel::Initialize : UI\\KnobEditPanel : Line ";
  const char* const kPad = " : LPadEditPanel::Initialize : UI\\PadEditPanel : Line ";
  const struct {
    std::string entry;
    std::string text;
  } cases[] = {
      {KnobPage("a", {0, 0, 600, 90}, {"midiChannel"}), std::string("midiChannel") + kKnob + "30"},
      {KnobPage("b", {0, 0, 600, 90}, {"cc"}), std::string("cc") + kKnob + "33"},
      {KnobPage("c", {0, 0, 600, 90}, {"number"}), std::string("cc->parameterControl->numericUpDown") + kKnob + "36"},
      {PadPage("d", {0, 0, 600, 90}, {"midiChannel"}), std::string("midiChannel") + kPad + "33"},
      {PadPage("e", {0, 0, 600, 90}, {"note"}), std::string("note") + kPad + "36"},
      {PadPage("f", {0, 0, 600, 90}, {"number"}), std::string("note->parameterControl->numericUpDown") + kPad + "39"},
  };
  std::string entries = Tree(KnobPage("knob", {0, 0, 600, 90}, {"label"}) + PadPage("pad", {0, 0, 600, 90}, {"label"}));
  for (const auto& c : cases) {
    entries += c.entry;
  }
  ElementKit kit(entries);
  char name = 'a';
  for (const auto& c : cases) {
    EXPECT_EQ(kit.CreateFails(std::string(1, name++)), "Runtime Error : Null Pointer : Cannot find child " + c.text);
  }

  const auto bind = [](LParameterizedModule& page) -> std::string {
    try {
      page.SetFirstParamID(nullptr, 89, 0);
    } catch (const std::runtime_error& error) {
      return error.what();
    }
    return "";
  };
  EXPECT_EQ(bind(*kit.Find<LKnobEditPanel>("viewDevice/knob")),
            "Runtime Error : Null Pointer : Couldn't find child label : LKnobEditPanel::SetHeaderLabelText : "
            "UI\\KnobEditPanel : Line 93");
  EXPECT_EQ(bind(*kit.Find<LPadEditPanel>("viewDevice/pad")),
            "Runtime Error : Null Pointer : Couldn't find child label : LPadEditPanel::SetHeaderLabelText : "
            "UI\\PadEditPanel : Line 93");
}

} // namespace
} // namespace Elements
