// The knob, fader and pad views of the controller picture: labels show the value handed to
// them (the channel in its short form for every kind of channel byte), the tool tips are
// rebuilt from the engine with every value, ids outside a view answer E_FAIL, and views
// without their labels keep working.
#include <gtest/gtest.h>

#include "ElementPageKit.h"

namespace Elements {
namespace {

class ViewsTest : public ::testing::Test {
protected:
  ViewsTest() {
    knob = kit.Find<LKnobViewPanel>("viewDevice/knob3");
    pad = kit.Find<LPadViewPanel>("viewDevice/pad9");
    EXPECT_TRUE(knob && pad);
    knob->SetFirstParamID(nullptr, 32, 2);
    pad->SetFirstParamID(nullptr, 105, 8);
  }
  // The engine holds value for id, and view is handed it.
  int32_t Deliver(LParameterizedModule& view, uint32_t id, std::initializer_list<uint8_t> value) {
    kit.Hold(id, Bytes(value));
    return view.SetParamValueLocal(QZ::ParamDescriptor(id), Bytes(value), true);
  }
  std::u16string ToolTip(const std::string& view) { return QZTest::UiKit::ToolTipOf(kit.Find("viewDevice/" + view)); }

  ElementKit kit{Tree(View("PresetEditor.UserKnob", "knob3", {0, 0, 100, 120}) +
                      View("PresetEditor.UserSlider", "fader9", {110, 0, 100, 120}) +
                      View("PresetEditor.UserPad", "pad9", {220, 0, 100, 120}) +
                      View("PresetEditor.UserKnob", "bareKnob", {330, 0, 100, 120}, {"ccLabel", "channelLabel"}) +
                      View("PresetEditor.UserPad", "barePad", {440, 0, 100, 120}, {"messageLabel", "channelLabel"}))};
  RCPtr<LKnobViewPanel> knob;
  RCPtr<LPadViewPanel> pad;
};

TEST_F(ViewsTest, AKnobOrFaderShowsChannelAndCCAndNamesItselfInItsToolTip) {
  EXPECT_TRUE(ToolTip("knob3").empty()) << "nothing before the first value";
  EXPECT_EQ(Deliver(*knob, 32, {0x00}), QZ::QZ_OK);
  EXPECT_EQ(Deliver(*knob, 33, {0x4A}), QZ::QZ_OK);
  EXPECT_EQ(kit.Text("knob3/channelLabel"), u"CH: G");
  EXPECT_EQ(kit.Text("knob3/ccLabel"), u"CC: 74");
  EXPECT_EQ(ToolTip("knob3"), u"Knob: 3\nChannel: Global\nCC: 74");

  const auto fader = kit.Find<LKnobViewPanel>("viewDevice/fader9");
  fader->SetFirstParamID(nullptr, 26, 8);
  kit.Hold(26, Bytes({3}));
  EXPECT_EQ(Deliver(*fader, 27, {1}), QZ::QZ_OK);
  EXPECT_EQ(ToolTip("fader9"), u"Fader: 9\nChannel: 3\nCC: 1");
}

TEST_F(ViewsTest, EveryKindOfChannelByteHasItsShortTextWhileTheToolTipKeepsTheNumber) {
  const struct {
    uint8_t channel;
    const char16_t* label;
    const char16_t* line;
  } cases[] = {{1, u"CH: 1", u"Channel: 1"},        {16, u"CH: 16", u"Channel: 16"},   {17, u"CH: Z1", u"Channel: 17"},
               {20, u"CH: Z4", u"Channel: 20"},     {21, u"CH: O", u"Channel: 21"},    {22, u"CH: Z6", u"Channel: 22"},
               {127, u"CH: Z111", u"Channel: 127"}, {0xFF, u"CH: -1", u"Channel: 255"}};
  kit.Hold(33, Bytes({0x4A}));
  for (const auto& c : cases) {
    EXPECT_EQ(Deliver(*knob, 32, {c.channel}), QZ::QZ_OK);
    EXPECT_EQ(kit.Text("knob3/channelLabel"), c.label) << int(c.channel);
    EXPECT_EQ(ToolTip("knob3"), std::u16string(u"Knob: 3\n") + c.line + u"\nCC: 74") << int(c.channel);
  }
}

TEST_F(ViewsTest, AChannelOfTwoBytesOrAnotherIdLeavesTheLabelsAndRebuildsTheToolTip) {
  EXPECT_EQ(Deliver(*knob, 32, {5}), QZ::QZ_OK);
  EXPECT_EQ(Deliver(*knob, 33, {10}), QZ::QZ_OK);
  kit.Hold(32, Bytes({7}));
  EXPECT_EQ(knob->SetParamValueLocal(QZ::ParamDescriptor(32), Bytes({7, 1}), true), QZ::QZ_OK);
  EXPECT_EQ(kit.Text("knob3/channelLabel"), u"CH: 5");
  EXPECT_EQ(ToolTip("knob3"), u"Knob: 3\nChannel: 7\nCC: 10");
  kit.Hold(33, Bytes({11}));
  EXPECT_EQ(knob->SetParamValueLocal(QZ::ParamDescriptor(34), Bytes({99}), true), QZ::QZ_E_FAIL);
  EXPECT_EQ(knob->SetParamValueLocal(QZ::ParamDescriptor(31), Bytes({99}), true), QZ::QZ_E_FAIL);
  EXPECT_EQ(kit.Text("knob3/ccLabel"), u"CC: 10");
  EXPECT_EQ(ToolTip("knob3"), u"Knob: 3\nChannel: 7\nCC: 11");
}

TEST_F(ViewsTest, APadShowsItsChannelAndTheEnginesNoteAndNamesZonesAndOmni) {
  kit.Hold(106, Bytes({0x28}));
  EXPECT_EQ(Deliver(*pad, 105, {0x12}), QZ::QZ_OK);
  EXPECT_EQ(kit.Text("pad9/channelLabel") + u" " + kit.Text("pad9/messageLabel"), u"CH: Z2 NT: 40");
  EXPECT_EQ(ToolTip("pad9"), u"Pad: 9\nChannel: Zone 2\nNote: 40");
  const std::pair<uint8_t, const char16_t*> channels[] = {{21, u"Pad: 9\nChannel: Omni\nNote: 40"},
                                                          {0, u"Pad: 9\nChannel: Global\nNote: 40"},
                                                          {16, u"Pad: 9\nChannel: 16\nNote: 40"},
                                                          {20, u"Pad: 9\nChannel: Zone 4\nNote: 40"}};
  for (const auto& [channel, tip] : channels) {
    EXPECT_EQ(Deliver(*pad, 105, {channel}), QZ::QZ_OK);
    EXPECT_EQ(ToolTip("pad9"), tip);
  }
  EXPECT_EQ(kit.Text("pad9/channelLabel"), u"CH: Z4");

  // A value for the note is not shown as it comes: the label reads what the engine holds.
  EXPECT_EQ(pad->SetParamValueLocal(QZ::ParamDescriptor(106), Bytes({60}), true), QZ::QZ_E_FAIL);
  EXPECT_EQ(kit.Text("pad9/messageLabel"), u"NT: 40");
  kit.Hold(106, Bytes({61}));
  EXPECT_EQ(pad->SetParamValueLocal(QZ::ParamDescriptor(106), Bytes({60}), true), QZ::QZ_E_FAIL);
  EXPECT_EQ(kit.Text("pad9/messageLabel"), u"NT: 61");
  EXPECT_EQ(ToolTip("pad9"), u"Pad: 9\nChannel: Zone 4\nNote: 61");
}

TEST_F(ViewsTest, ViewsWithoutTheirLabelsKeepTheirToolTips) {
  const auto bareKnob = kit.Find<LKnobViewPanel>("viewDevice/bareKnob");
  const auto barePad = kit.Find<LPadViewPanel>("viewDevice/barePad");
  bareKnob->SetFirstParamID(nullptr, 28, 0);
  barePad->SetFirstParamID(nullptr, 89, 0);
  kit.Hold(29, Bytes({64}));
  EXPECT_EQ(Deliver(*bareKnob, 28, {2}), QZ::QZ_E_FAIL) << "no channel label to show it on";
  EXPECT_EQ(ToolTip("bareKnob"), u"Knob: 1\nChannel: 2\nCC: 64");
  kit.Hold(90, Bytes({36}));
  EXPECT_EQ(Deliver(*barePad, 89, {19}), QZ::QZ_E_FAIL);
  EXPECT_EQ(ToolTip("barePad"), u"Pad: 1\nChannel: Zone 3\nNote: 36");
}

} // namespace
} // namespace Elements
