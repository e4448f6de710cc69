// The wheel pages, the sustain page and the pedal: the pitch-bend limits keep off the
// wheel's centre and a device value beyond them is shown clamped while the engine keeps it;
// the mod wheel's four ids reach their selectors and no others, and a number typed over
// the whole text of its CC box or up-down is sent as typed; the sustain page shows the
// model's defaults and its latch sends 0 or 1; the pedal's tool tip comes from the engine
// whatever value arrives; skins without a child fail with its name, or, for a part a page
// only narrows, go on without it.
#include <gtest/gtest.h>

#include "ButtonWheelSustainKit.h"

namespace Elements {
namespace {

class WheelPagesTest : public ::testing::Test {
protected:
  WheelPagesTest() {
    pitchBend = kit.Find<LPitchBendEditPanel>("viewDevice/pitchBend");
    modWheel = kit.Find<LModWheelEditPanel>("viewDevice/modWheel");
    EXPECT_TRUE(pitchBend && modWheel);
    for (uint32_t id = 0; id < 7; ++id) {
      kit.Device().Route(id, id < 3 ? "pitchBend" : "modWheel");
    }
    pitchBend->SetFirstParamID(nullptr, 0, 0);
    modWheel->SetFirstParamID(nullptr, 3, 0);
  }
  void Type(const std::string& upDown, const char16_t* text) {
    kit.Type(kit.Find("viewDevice/" + upDown + "/parameterControl/textBox"), text);
    kit.Key(u"VKEY_RETURN");
  }

  ButtonWheelSustainKit kit{
      Tree(PitchBendPage("pitchBend", {0, 0, 400, 90}) + ModWheelPage("modWheel", {0, 95, 700, 90}))};
  RCPtr<LPitchBendEditPanel> pitchBend;
  RCPtr<LModWheelEditPanel> modWheel;
};

TEST_F(WheelPagesTest, ThePitchBendLimitsKeepOffTheCentreAndShowADeviceValueBeyondThemClamped) {
  const RCPtr<QZ::LControl> min = kit.Find("viewDevice/pitchBend/min/parameterControl");
  const RCPtr<QZ::LControl> max = kit.Find("viewDevice/pitchBend/max/parameterControl");
  EXPECT_EQ(std::pair(min->GetRangeMinimum(), min->GetRangeMaximum()), std::pair(0.0, 63.0));
  EXPECT_EQ(std::pair(max->GetRangeMinimum(), max->GetRangeMaximum()), std::pair(65.0, 127.0));
  Type("pitchBend/max", u"100");
  Type("pitchBend/max", u"64");
  Type("pitchBend/min", u"64");
  EXPECT_EQ(kit.Sent(), (SentList{{2, {100}}, {2, {65}}, {1, {63}}})) << "64 lies in neither range";

  kit.Hold(1, Bytes({100})); // as if the controller had sent it: the engine announces it
  kit.PumpIdle();
  EXPECT_EQ(NumberOf(min), 63.0);
  EXPECT_EQ(kit.engine->Bytes(1), (std::vector<uint8_t>{100}));
  EXPECT_TRUE(kit.Sent().empty()) << "the clamped value is not sent back";
}

TEST_F(WheelPagesTest, TheModWheelsFourIdsReachTheirSelectorsAndNoOthers) {
  const std::pair<uint32_t, uint8_t> values[] = {{3, 5}, {4, 40}, {5, 50}, {6, 60}, {7, 1}, {2, 1}};
  for (const auto& [id, value] : values) {
    EXPECT_EQ(modWheel->SetParamValueLocal(QZ::ParamDescriptor(id), Bytes({value}), true), QZ::QZ_OK) << id;
  }
  EXPECT_EQ(kit.Text("modWheel/midiChannel/comboBox"), u"Channel 5");
  EXPECT_EQ(kit.Number("modWheel/cc/parameterControl/numericUpDown"), 40.0);
  EXPECT_EQ(kit.Number("modWheel/min/parameterControl"), 50.0);
  EXPECT_EQ(kit.Number("modWheel/max/parameterControl"), 60.0);
  EXPECT_EQ(kit.Sent(), (SentList{{3, {5}}, {4, {40}}, {5, {50}}, {6, {60}}})) << "none for 7 or 2";

  EXPECT_EQ(modWheel->SetParamValueLocal(QZ::ParamDescriptor(4), Bytes({1}), true), QZ::QZ_OK);
  EXPECT_EQ(kit.Text("modWheel/cc/parameterControl/label"), u"Modulation");
  kit.engine->setCalls.clear();
  Type("modWheel/max", u"127");
  EXPECT_EQ(kit.Sent(), (SentList{{6, {127}}})) << "its limits keep 0 .. 127";
}

// Ctrl+A, a number typed over the one shown and Enter, as a user replaces a value: the CC
// box and the "min" up-down send what was typed even when its first digit repeats the old
// text.
TEST_F(WheelPagesTest, ANumberTypedOverTheWholeTextIsSentAsTyped) {
  ASSERT_EQ(kit.engine->RequestParamValues(), QZ::QZ_OK);
  kit.PumpIdle();
  const RCPtr<QZ::LControl> ccBox = kit.Find("viewDevice/modWheel/cc/parameterControl/numericUpDown/textBox");
  ASSERT_EQ(QZTest::UiKit::TextOf(ccBox), u"1") << "the model's CC";
  kit.engine->setCalls.clear();
  kit.Type(ccBox, u"11");
  kit.Key(u"VKEY_RETURN");
  EXPECT_EQ(kit.Sent(), (SentList{{4, {0x0B}}}));
  EXPECT_EQ(kit.engine->Bytes(4), (std::vector<uint8_t>{0x0B}));
  EXPECT_EQ(kit.Text("modWheel/cc/parameterControl/label"), u"Expression");

  kit.engine->setCalls.clear();
  Type("modWheel/min", u"1");
  Type("modWheel/min", u"11");
  EXPECT_EQ(kit.Sent(), (SentList{{5, {1}}, {5, {11}}}));
}

class SustainTest : public ::testing::Test {
protected:
  SustainTest() {
    page = kit.Find<LSustainEditPanel>("viewDevice/sustainPage");
    view = kit.Find<LSustainViewPanel>("viewDevice/sustain1");
    EXPECT_TRUE(page && view);
    for (uint32_t id = 7; id < 10; ++id) {
      kit.Device().Route(id, "sustainPage");
    }
    page->SetFirstParamID(nullptr, 7, 0);
    view->SetFirstParamID(nullptr, 7, 0);
  }
  std::u16string ToolTip() { return QZTest::UiKit::ToolTipOf(view); }

  ButtonWheelSustainKit kit{
      Tree(SustainPage("sustainPage", {0, 0, 600, 90}) + SustainView("sustain1", {610, 0, 80, 80}))};
  RCPtr<LSustainEditPanel> page;
  RCPtr<LSustainViewPanel> view;
};

TEST_F(SustainTest, ThePageAndThePedalShowTheModelsDefaults) {
  ASSERT_EQ(kit.engine->RequestParamValues(), QZ::QZ_OK);
  kit.PumpIdle();
  EXPECT_EQ(kit.Text("sustainPage/midiChannel/comboBox"), u"Global");
  EXPECT_EQ(kit.Number("sustainPage/cc/parameterControl/numericUpDown"), 64.0);
  EXPECT_EQ(kit.Text("sustainPage/cc/parameterControl/label"), u"Sustain Pedal");
  EXPECT_EQ(kit.Number("sustainPage/latch/parameterControl"), 0.0) << "latch off";
  EXPECT_TRUE(kit.Sent().empty());

  EXPECT_TRUE(ToolTip().empty()) << "nothing before the first value";
  EXPECT_EQ(view->SetParamValueLocal(QZ::ParamDescriptor(8), Variant(), true), QZ::QZ_OK);
  EXPECT_EQ(ToolTip(), u"Sustain\nChannel: Global\nCC: 64");
}

TEST_F(SustainTest, TheLatchSendsOneAndItsValueRebuildsTheToolTipWithoutChangingIt) {
  const RCPtr<QZ::LControl> latch = kit.Find("viewDevice/sustainPage/latch/parameterControl");
  kit.Click(latch);
  kit.Click(latch);
  EXPECT_EQ(kit.Sent(), (SentList{{9, {0x01}}, {9, {0x00}}}));

  kit.Deliver(*view, {{7, Bytes({0x00})}, {8, Bytes({0x40})}});
  kit.Deliver(*view, {{9, Bytes({0x01})}});
  EXPECT_EQ(ToolTip(), u"Sustain\nChannel: Global\nCC: 64");
  kit.Hold(7, Bytes({0x0C}));
  kit.Hold(8, Bytes({0x42}));
  EXPECT_EQ(view->SetParamValueLocal(QZ::ParamDescriptor(1000), Bytes({0x01, 0x02}), true), QZ::QZ_OK);
  EXPECT_EQ(ToolTip(), u"Sustain\nChannel: 12\nCC: 66") << "whatever id arrives";
}

TEST(WheelAndSustainSkinTest, AMissingChildFailsWithItsNameAndAMissingControlIsLeftAlone) {
  const std::string pitch = " : LPitchBendEditPanel::Initialize : UI\\PitchBendEditPanel : Line ";
  const std::string mod = " : LModWheelEditPanel::Initialize : UI\\ModWheelEditPanel : Line ";
  const std::string sustain = " : LSustainEditPanel::Initialize : UI\\SustainEditPanel : Line ";
  const std::string number = "cc->parameterControl->numericUpDown";
  const Xml::Rect place{0, 0, 700, 90};
  const std::pair<std::string, std::string> cases[] = {
      {PitchBendPage("a", place, {"midiChannel"}), "midiChannel" + pitch + "30"},
      {PitchBendPage("b", place, {"min"}), "min" + pitch + "33"},
      {PitchBendPage("c", place, {"max"}), "max" + pitch + "36"},
      {ModWheelPage("d", place, {"midiChannel"}), "midiChannel" + mod + "30"},
      {ModWheelPage("e", place, {"cc"}), "cc" + mod + "33"},
      {ModWheelPage("f", place, {"ccNumber"}), number + mod + "36"},
      {ModWheelPage("g", place, {"max"}), "max" + mod + "41"},
      {ModWheelPage("h", place, {"min"}), "min" + mod + "44"},
      {SustainPage("i", place, {"midiChannel"}), "midiChannel" + sustain + "30"},
      {SustainPage("j", place, {"cc"}), "cc" + sustain + "33"},
      {SustainPage("k", place, {"ccNumber"}), number + sustain + "36"},
      {SustainPage("l", place, {"latch"}), "latch" + sustain + "40"},
      {PitchBendPage("m", place, {"minControl", "maxControl", "label"}), ""},
      {SustainPage("n", place, {"latchControl", "label"}), ""},
  };
  std::string entries = Tree({});
  for (const auto& [entry, text] : cases) {
    entries += entry;
  }
  ButtonWheelSustainKit kit(entries);
  char name = 'a';
  for (const auto& [entry, text] : cases) {
    EXPECT_EQ(kit.CreateFails(std::string(1, name)),
              text.empty() ? "" : "Runtime Error : Null Pointer : Cannot find child " + text)
        << name;
    ++name;
  }
}

} // namespace
} // namespace Elements
