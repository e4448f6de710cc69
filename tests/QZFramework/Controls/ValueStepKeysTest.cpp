// The arrow-key holds and steps knobs and sliders share: one announcement per hold, steps
// by sign, refused and invalid presses left to the caller.
#include "QZFramework/Controls/ValueStepKeys.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using QZ::KeyCode;
using QZ::LValueStepKeys;

struct Recorder {
  std::vector<std::string> heard;
  bool Offer(LValueStepKeys& keys, const KeyCode& key, uint32_t refused = QZ::kValueStepModifiers) {
    return keys.OnKey(
        *QZ::LKeyParam::Create(key, false), refused,
        [this](const char16_t* name) { heard.push_back(QZ::WString(name).ToUTF8().GetBuffer()); },
        [this](double units) { heard.push_back(units > 0 ? "+1" : "-1"); });
  }
};

TEST(ValueStepKeysTest, AHoldIsAnnouncedOnceAndEveryPressSteps) {
  LValueStepKeys keys;
  Recorder recorder;
  EXPECT_TRUE(recorder.Offer(keys, KeyCode(0x27, true, 0, 0)));  // Right
  EXPECT_TRUE(recorder.Offer(keys, KeyCode(0x26, true, 1, 0)));  // Up, repeated
  EXPECT_TRUE(recorder.Offer(keys, KeyCode(0x28, true, 1, 0)));  // Down
  EXPECT_TRUE(recorder.Offer(keys, KeyCode(0x28, false, 0, 0))); // released
  EXPECT_TRUE(recorder.Offer(keys, KeyCode(0x25, true, 0, 0)));  // Left: a new hold
  EXPECT_EQ(recorder.heard, (std::vector<std::string>{"NID_VALUE_CHANGE_KEY_DOWN", "+1", "+1", "-1",
                                                      "NID_VALUE_CHANGE_KEY_UP", "NID_VALUE_CHANGE_KEY_DOWN", "-1"}));
  EXPECT_TRUE(keys.EndHold());
  EXPECT_FALSE(keys.EndHold()) << "ended once";
}

TEST(ValueStepKeysTest, OtherKeysAndRefusedPressesAreTheCallers) {
  LValueStepKeys keys;
  Recorder recorder;
  EXPECT_FALSE(recorder.Offer(keys, KeyCode(0x24, true, 0, 0))) << "Home";
  EXPECT_FALSE(recorder.Offer(keys, KeyCode(0x29, true, 0, 0))) << "past Down";
  EXPECT_FALSE(recorder.Offer(keys, KeyCode(0x27, true, 0, QZ::kModifierCtrl)));
  KeyCode invalid(0x27, true, 0, 0);
  invalid.code = (invalid.code & ~QZ::kKeyCodeDown) | QZ::kKeyCodeInvalid;
  EXPECT_FALSE(recorder.Offer(keys, invalid)) << "neither down nor a release";
  KeyCode withCharacter(0x27, true, 0, 0);
  withCharacter.code |= 'x';
  EXPECT_TRUE(recorder.Offer(keys, withCharacter, 0));
  EXPECT_FALSE(recorder.Offer(keys, withCharacter, QZ::kKeyCodeCharacterMask));
  EXPECT_EQ(recorder.heard, (std::vector<std::string>{"NID_VALUE_CHANGE_KEY_DOWN", "+1"}));

  const auto up = QZ::LMouseWheelParam::Create({0, 0}, 0, QZ::kWheelUp);
  const auto left = QZ::LMouseWheelParam::Create({0, 0}, 0, QZ::kWheelLeft);
  EXPECT_EQ(LValueStepKeys::WheelUnits(*up, QZ::kWheelUp), 1.0);
  EXPECT_EQ(LValueStepKeys::WheelUnits(*left, QZ::kWheelRight), -1.0);
}

} // namespace
