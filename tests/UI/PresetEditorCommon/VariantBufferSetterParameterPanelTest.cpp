// The labelled selector between the user and the main control: choices become one byte
// (two in two-byte mode) for the bound id, shown values select items or set numbers, a
// shown value that is already there sends nothing, and bad values, unbound selectors and
// selectors outside the main control's tree send nothing.
#include <gtest/gtest.h>

#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/NumericUpDown.h"
#include "QZFramework/Controls/TextBox.h"
#include "Support/UiKit.h"
#include "UI/DriverCommon/MainControl.h"
#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"

namespace {

using QZ::RCPtr;
using QZ::Variant;
using QZTest::UiKit;
using Selector = LVariantBufferSetterParameterPanel;
namespace Xml = QZTest::UiXml;

Variant Bytes(std::initializer_list<uint8_t> bytes) {
  Variant value;
  value.SetBuffer(std::data(bytes), uint32_t(bytes.size()));
  return value;
}

std::vector<uint8_t> BytesOf(const Variant& value) {
  uint32_t size = 0;
  const auto* data = static_cast<const uint8_t*>(value.GetData(size));
  return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

std::string Selectors() {
  return Xml::ComboSelector("LabeledGlobalMidiChannelSelector", "globalChannel", {10, 10, 140, 42}) +
         Xml::ComboSelector("LabeledMidiChannelSelector", "channel", {160, 10, 140, 42}) +
         Xml::UpDownSelector("LabeledMaxSelector", "max", {310, 10, 140, 42}) +
         Xml::ToggleSelector("LabeledLatchingSelector", "latch", {460, 10, 80, 42}) +
         Xml::ComboSelector("LabeledArpGateSelector", "unbound", {10, 60, 140, 42});
}

UiKit::Options SelectorTree() {
  UiKit::Options options;
  options.skin = Xml::Control("PresetEditor.MainControl", "mainControl", {0, 0, 600, 400},
                              Xml::Control("Test.Device", "viewDevice", {0, 0, 600, 400}, Selectors()));
  return options;
}

class SelectorTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(kit.Main());
    kit.Device().Route(140, "globalChannel");
    kit.Device().Route(10, "channel");
    kit.Device().Route(2, "max");
    kit.Device().Route(9, "latch");
    Find("globalChannel")->SetValueOffset(1.0);
    kit.Bind();
    kit.PumpIdle(); // the engine's defaults
    kit.engine->setCalls.clear();
  }

  RCPtr<Selector> Find(const std::string& name) { return kit.Find<Selector>("viewDevice/" + name); }
  RCPtr<QZ::LComboBox> Combo(const std::string& name) {
    return kit.Find<QZ::LComboBox>("viewDevice/" + name + "/comboBox");
  }
  // The bytes of every value sent, with their ids.
  std::vector<std::pair<uint32_t, std::vector<uint8_t>>> Sent() {
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> sent;
    for (const QZTest::CountingEngine::SetCall& call : kit.engine->setCalls) {
      sent.emplace_back(call.id, BytesOf(call.value));
    }
    return sent;
  }
  using SentList = std::vector<std::pair<uint32_t, std::vector<uint8_t>>>;

  UiKit kit{SelectorTree()};
};

TEST_F(SelectorTest, InitializeSetsTheRangesAndLimitsTheTextBox) {
  EXPECT_EQ(Find("channel")->GetRangeMaximum(), 17.0) << "the item count, not the last index";
  EXPECT_EQ(Find("max")->GetRangeMaximum(), 127.0);
  const auto upDown = kit.Find<QZ::LNumericUpDown>("viewDevice/max/parameterControl");
  EXPECT_EQ(upDown->GetRangeMinimum(), 0.0);
  EXPECT_EQ(upDown->GetRangeMaximum(), 127.0);
  EXPECT_EQ(UiKit::TextOf(kit.Find("viewDevice/channel/controlNameLabel")), u"CHAN");
  EXPECT_EQ(Find("unbound")->GetParameter().id, Selector::kUnboundParamId);
}

TEST_F(SelectorTest, TheGlobalChannelSendsChannelsFromOneAndShowsThemBack) {
  const RCPtr<Selector> global = Find("globalChannel");
  EXPECT_EQ(global->SetValue(Bytes({0x10})), QZ::QZ_OK);
  EXPECT_EQ(Combo("globalChannel")->GetSelectedIndex(), 15);
  EXPECT_EQ(UiKit::TextOf(Combo("globalChannel")), u"Channel 16");
  EXPECT_EQ(Sent(), (SentList{{140, {0x10}}})) << "a new value shown outside an apply goes up once";

  EXPECT_EQ(global->SetValue(Bytes({0x10})), QZ::QZ_OK);
  EXPECT_EQ(Sent().size(), 1u) << "the value shown already: nothing";

  EXPECT_TRUE(kit.Choose(Combo("globalChannel"), 0)); // "Channel 1"
  EXPECT_EQ(Sent(), (SentList{{140, {0x10}}, {140, {0x01}}}));
  EXPECT_DOUBLE_EQ(global->NormalizedToValue(global->GetValue()), 1.0) << "index 0 plus the offset";
}

TEST_F(SelectorTest, AnUpDownSendsTheNumberTypedAndTakesItBack) {
  const auto text = kit.Find<QZ::LTextBox>("viewDevice/max/parameterControl/textBox");
  kit.Type(text, u"1234");
  EXPECT_EQ(UiKit::TextOf(text), u"123") << "three characters at most";
  kit.Type(text, u"100");
  kit.Key(u"VKEY_RETURN");
  ASSERT_FALSE(Sent().empty());
  EXPECT_EQ(Sent().back(), (std::pair<uint32_t, std::vector<uint8_t>>{2, {100}}));
  EXPECT_DOUBLE_EQ(Find("max")->NormalizedToValue(Find("max")->GetValue()), 100.0);
  kit.engine->setCalls.clear();

  EXPECT_EQ(Find("max")->SetValue(Bytes({100})), QZ::QZ_OK);
  EXPECT_EQ(UiKit::TextOf(text), u"100");
  EXPECT_TRUE(Sent().empty()) << "the value shown already";
  EXPECT_EQ(Find("max")->SetValue(Bytes({7})), QZ::QZ_OK);
  EXPECT_EQ(UiKit::TextOf(text), u"7");
  EXPECT_EQ(Sent(), (SentList{{2, {7}}}));
}

TEST_F(SelectorTest, AToggleSendsTheTopOfItsRangeOnAndZeroOff) {
  const auto toggle = kit.Find("viewDevice/latch/parameterControl");
  kit.Click(toggle);
  kit.Click(toggle);
  EXPECT_EQ(Sent(), (SentList{{9, {127}}, {9, {0}}}));
}

TEST_F(SelectorTest, TwoByteValuesTravelAsSevenBitHalves) {
  const RCPtr<Selector> max = Find("max");
  Selector::BytePair pair;
  const std::pair<int16_t, Selector::BytePair> splits[] = {
      {300, {2, 44}}, {16383, {127, 127}}, {0, {0, 0}}, {-300, {-2, -44}}};
  for (const auto& [value, expected] : splits) {
    EXPECT_EQ(max->SplitValue14(pair, value), expected) << value;
    EXPECT_EQ(max->JoinValue14(expected.first, expected.second), value);
  }
  max->SetTwoByteValue(true);
  EXPECT_EQ(max->SetValue(Bytes({1})), QZ::QZ_E_FAIL) << "one byte in two-byte mode";
  EXPECT_EQ(max->SetValue(Bytes({0, 100})), QZ::QZ_OK);
  EXPECT_EQ(Sent(), (SentList{{2, {0, 100}}})) << "the new value goes up, without the offset";
}

TEST_F(SelectorTest, BadValuesChangeNothingAndAValueWithoutItemShowsNothing) {
  const RCPtr<Selector> channel = Find("channel");
  ASSERT_TRUE(kit.Choose(Combo("channel"), 3));
  kit.engine->setCalls.clear();
  Variant number;
  number.SetInt32(3); // Int32: four bytes
  for (const Variant& bad : {Variant(), Bytes({1, 2}), number}) {
    EXPECT_EQ(channel->SetValue(bad), QZ::QZ_E_FAIL);
    EXPECT_EQ(Combo("channel")->GetSelectedIndex(), 3);
  }
  EXPECT_EQ(channel->SetValue(Bytes({0xC8})), QZ::QZ_OK);
  EXPECT_EQ(Combo("channel")->GetSelectedIndex(), -1);
  EXPECT_EQ(UiKit::TextOf(Combo("channel")), u"") << "not the text of the item shown before";
  EXPECT_EQ(channel->SetValue(Bytes({17})), QZ::QZ_OK) << "one past the 17 items";
  EXPECT_EQ(Combo("channel")->GetSelectedIndex(), -1);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(SelectorTest, AnUnboundSelectorSendsNothing) {
  EXPECT_TRUE(kit.Choose(Combo("unbound"), 2));
  EXPECT_TRUE(kit.engine->setCalls.empty());
  EXPECT_TRUE(kit.Choose(Combo("unbound"), 3));
  EXPECT_TRUE(kit.engine->setCalls.empty());
}

TEST(SelectorOutsideTheMainControlTest, SendsNothing) {
  UiKit::Options options;
  options.top = u"page";
  options.skin = Xml::Control("Framework.Panel", "page", {0, 0, 400, 200},
                              Xml::ComboSelector("LabeledArpGateSelector", "gate", {10, 10, 140, 42}));
  UiKit kit(options);
  const auto gate = kit.Find<Selector>("gate");
  ASSERT_TRUE(gate);
  gate->SetParameter(QZ::ParamValue(127));
  EXPECT_TRUE(kit.Choose(kit.Find("gate/comboBox"), 9));
  EXPECT_EQ(gate->SetValue(Bytes({2})), QZ::QZ_OK);
  EXPECT_TRUE(kit.engine->setCalls.empty());
  EXPECT_DOUBLE_EQ(gate->NormalizedToValue(gate->GetValue()), 2.0) << "the panel's own value follows";
}

} // namespace
