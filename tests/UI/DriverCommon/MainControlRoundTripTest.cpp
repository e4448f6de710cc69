// The main control, the labelled selectors and the real engine together: a user's choice
// reaches the engine once, the engine's announcement comes back to the selectors in list
// order, and the selectors' answers to what they are shown are not sent back.
#include <gtest/gtest.h>

#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Utilities/Storage/SharedPair.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"
#include "Support/UiKit.h"
#include "UI/DriverCommon/MainControl.h"
#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"

namespace {

using QZ::RCPtr;
using QZ::Variant;
using QZTest::UiKit;
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

// The main control over a test device with an arpeggiator gate (id 127), a type (126) and
// an octave (125) selector.
UiKit::Options ArpeggiatorTree() {
  UiKit::Options options;
  options.skin =
      Xml::Control("PresetEditor.MainControl", "mainControl", {0, 0, 600, 400},
                   Xml::Control("Test.Device", "viewDevice", {0, 0, 600, 300},
                                Xml::ComboSelector("LabeledArpGateSelector", "gate", {10, 10, 140, 42}) +
                                    Xml::ComboSelector("LabeledArpTypeSelector", "type", {160, 10, 140, 42}) +
                                    Xml::ComboSelector("LabeledArpOctaveSelector", "octave", {310, 10, 140, 42})));
  return options;
}

class MainControlRoundTripTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(kit.Main());
    kit.Device().Route(127, "gate");
    kit.Device().Route(126, "type");
    kit.Device().Route(125, "octave");
    kit.Bind();
    kit.PumpIdle(); // the engine's first announcement: every default
    kit.Device().shown.clear();
    kit.Device().moduleLookups = 0;
  }

  RCPtr<QZ::LComboBox> Combo(const char* selector) {
    return kit.Find<QZ::LComboBox>(std::string("viewDevice/") + selector + "/comboBox");
  }
  void Post(const RCPtr<QZ::LRefCountedObject>& data) {
    ASSERT_GE(kit.centre->PostNotification(QZ::LNotification::Create(u"NID_PARAM_MODULE_STATE_CHANGE", data)), 0);
    kit.PumpIdle();
  }
  static RCPtr<QZ::LRefCountedObject> Pair(uint32_t id, const Variant& value) {
    return RCPtr<QZ::LRefCountedObject>(new QZ::LParamValuePair(QZ::ParamDescriptor(id), value));
  }
  static RCPtr<QZ::LWrapper<QZ::ParamValues>> List(std::initializer_list<QZ::ParamValue> values) {
    RCPtr<QZ::LWrapper<QZ::ParamValues>> list(new QZ::LWrapper<QZ::ParamValues>);
    EXPECT_EQ(list->SetValueEntries(std::data(values), uint32_t(values.size())), QZ::QZ_OK);
    return list;
  }

  UiKit kit{ArpeggiatorTree()};
};

TEST_F(MainControlRoundTripTest, AnEditReachesTheEngineOnceAndItsAnnouncementIsShownWithoutAnEcho) {
  const auto gate = kit.Find<LVariantBufferSetterParameterPanel>("viewDevice/gate");
  ASSERT_EQ(Combo("gate")->GetSelectedIndex(), 5) << "the default {05} is shown";
  EXPECT_EQ(QZTest::UiKit::TextOf(Combo("gate")), u"50 %");

  EXPECT_TRUE(kit.Choose(Combo("gate"), 5)); // "50 %": already shown, nothing changes
  EXPECT_TRUE(kit.engine->setCalls.empty());
  EXPECT_TRUE(kit.Choose(Combo("gate"), 8)); // "80 %"
  ASSERT_EQ(kit.engine->setCalls.size(), 1u);
  EXPECT_EQ(kit.engine->setCalls[0].id, 127u);
  EXPECT_EQ(BytesOf(kit.engine->setCalls[0].value), (std::vector<uint8_t>{8}));
  EXPECT_EQ(kit.engine->Bytes(127), (std::vector<uint8_t>{8}));
  EXPECT_DOUBLE_EQ(gate->GetRangeMinimum(), 0.0);
  EXPECT_DOUBLE_EQ(gate->GetRangeMaximum(), 11.0);
  EXPECT_DOUBLE_EQ(gate->NormalizedToValue(gate->GetValue()), 8.0);

  kit.PumpIdle(); // the engine announced {08} for 127
  ASSERT_EQ(kit.Device().shown.size(), 1u);
  EXPECT_EQ(kit.Device().shown[0].id, 127u);
  EXPECT_EQ(BytesOf(kit.Device().shown[0].value), (std::vector<uint8_t>{8}));
  EXPECT_EQ(kit.engine->setCalls.size(), 1u) << "the shown value was not sent back";
  EXPECT_EQ(kit.Main()->GetParamBeingApplied(), QZ::ParamDescriptor(0xFFFFFFFFu));
}

TEST_F(MainControlRoundTripTest, ListsAreAppliedInListOrderAndPairsOneByOne) {
  Post(RCPtr<QZ::LRefCountedObject>(List({{QZ::ParamDescriptor(125), Bytes({2})},
                                          {QZ::ParamDescriptor(127), Bytes({10})},
                                          {QZ::ParamDescriptor(126), Bytes({6})}})));
  ASSERT_EQ(kit.Device().shown.size(), 3u);
  EXPECT_EQ(kit.Device().shown[0].path, "octave");
  EXPECT_EQ(kit.Device().shown[1].path, "gate");
  EXPECT_EQ(kit.Device().shown[2].path, "type");
  EXPECT_EQ(Combo("octave")->GetSelectedIndex(), 2);
  EXPECT_EQ(Combo("gate")->GetSelectedIndex(), 10);
  EXPECT_EQ(Combo("type")->GetSelectedIndex(), 6);
  EXPECT_TRUE(kit.engine->setCalls.empty()) << "three panels showed their values: no echo";

  Post(Pair(126, Bytes({1})));
  ASSERT_EQ(kit.Device().shown.size(), 4u);
  EXPECT_EQ(kit.Device().shown[3].path, "type");
  EXPECT_EQ(QZTest::UiKit::TextOf(Combo("type")), u"Down");
  EXPECT_TRUE(kit.engine->setCalls.empty());
}

TEST_F(MainControlRoundTripTest, ARequestForTheParameterBeingAppliedIsNotSentAndGoesThroughAfterwards) {
  const RCPtr<QZ::LMainControl> main = kit.Main();
  // A panel that answers the shown value by asking for it: here, the gate selector.
  Post(Pair(127, Bytes({9})));
  EXPECT_EQ(Combo("gate")->GetSelectedIndex(), 9);
  EXPECT_TRUE(kit.engine->setCalls.empty()) << "the selector's request during the apply";

  EXPECT_EQ(main->RequestParamChange(QZ::ParamDescriptor(127), Bytes({9}), 0), QZ::QZ_OK);
  ASSERT_EQ(kit.engine->setCalls.size(), 1u);
  EXPECT_EQ(kit.engine->setCalls[0].id, 127u);
  // The same id with another qualifier is another parameter, even during an apply.
  Variant qualifier;
  qualifier.SetUInt8(1);
  EXPECT_NE(QZ::ParamDescriptor(127, qualifier), QZ::ParamDescriptor(127));
}

} // namespace
