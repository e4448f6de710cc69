// The global settings travel as a user sends them and gets them back: the five chosen on the
// global page away from their defaults, sent at once by the send command, stored by the
// virtual keyboard from their places in the frame; then brought back to the page by the
// retrieve command, after the page was set back to the defaults and again after the
// keyboard's own settings changed.
#include <gtest/gtest.h>

#include <array>

#include "DeviceViewKit.h"
#include "Support/HexBytes.h"

namespace DeviceViews {
namespace {

using Box = QZTest::RecordingEditorUIHost::Box;
using Globals = std::array<uint8_t, 5>;
using QZTest::UiKit;

// The page's selectors in parameter order (ids 140 to 144).
constexpr const char* kSelectors[] = {"midiChannel", "program", "keyboardSensitivity", "padSensitivity", "dawSetting"};
constexpr size_t kProgram = 1;
// The factory values, and two sets with every value away from them and from each other.
constexpr Globals kDefaults{1, 0, 0, 0, 0};
constexpr Globals kChosen{10, 77, 4, 6, 5};
constexpr Globals kOnTheKeyboard{3, 100, 2, 1, 4};

class GlobalSettingsRoundTripTest : public ::testing::Test {
protected:
  GlobalSettingsRoundTripTest() { kit.SelectTab(u"globalPresetEditor"); }

  static std::string Path(size_t k, const std::string& below) {
    return std::string("viewDevice/tabControl/pageHolder/globalPresetEditor/") + kSelectors[k] + "/" + below;
  }
  RCPtr<QZ::LComboBox> Combo(size_t k) const { return kit.Find<QZ::LComboBox>(Path(k, "comboBox")); }
  RCPtr<QZ::LControl> Program() const { return kit.Find(Path(kProgram, "parameterControl")); }

  // Chooses the values on the page as a user does: the channel's item is its byte less one,
  // the program is typed in, each other item is its byte.
  void Choose(const Globals& values) {
    for (size_t k = 0; k < values.size(); ++k) {
      if (k == kProgram) {
        kit.Type(kit.Find(Path(k, "parameterControl/textBox")), WString(std::to_string(values[k]).c_str()).View());
        kit.Key(u"VKEY_RETURN");
      } else {
        ASSERT_TRUE(kit.Choose(Combo(k), values[k] - (k == 0 ? 1 : 0))) << kSelectors[k];
      }
    }
    kit.PumpIdle();
  }
  // The values the page shows, as they travel.
  Globals Shown() const {
    Globals shown{};
    for (size_t k = 0; k < shown.size(); ++k) {
      shown[k] = k == kProgram ? uint8_t(Program()->NormalizedToValue(Program()->GetValue()))
                               : uint8_t(Combo(k)->GetSelectedIndex() + (k == 0 ? 1 : 0));
    }
    return shown;
  }
  Globals EngineHolds() const {
    Globals held{};
    for (uint32_t k = 0; k < held.size(); ++k) {
      const std::vector<uint8_t> bytes = kit.engine->Bytes(140 + k);
      held[k] = bytes.size() == 1 ? bytes[0] : 0xFF;
    }
    return held;
  }
  std::vector<uint8_t> LastReceived() const {
    const auto received = kit.keyboard->Received();
    return received.empty() ? std::vector<uint8_t>() : received.back();
  }

  DeviceKit kit{QZ::kDeviceModel49Keys};
};

TEST_F(GlobalSettingsRoundTripTest, TheFiveChosenValuesTravelAtTheirPlacesAndComeBackToThePage) {
  ASSERT_EQ(Shown(), kDefaults);
  Choose(kChosen);
  ASSERT_EQ(Shown(), kChosen);
  EXPECT_EQ(UiKit::TextOf(Combo(0)), u"Channel 10");
  EXPECT_EQ(UiKit::TextOf(Combo(4)), u"MIDI 3");
  ASSERT_EQ(EngineHolds(), kChosen) << "every choice reached the engine";

  const std::vector<WString> modals = kit.application.modalControls;
  kit.HotKey(u"Ctrl+Shift+VKEY_S");
  ASSERT_TRUE(kit.keyboard->WaitForReceived(1, std::chrono::seconds(5)));
  std::vector<uint8_t> frame = QZTest::FromHex("F0 00 7F 7D 7F 00 02 63 00 08");
  frame.insert(frame.end(), kChosen.begin(), kChosen.end());
  frame.push_back(0xF7);
  EXPECT_EQ(LastReceived(), frame);
  EXPECT_EQ(kit.keyboard->Memory().GetGlobals(), kChosen);

  // Set back on the page, the values come back from the keyboard.
  Choose(kDefaults);
  ASSERT_EQ(Shown(), kDefaults);
  ASSERT_EQ(EngineHolds(), kDefaults);
  kit.HotKey(u"Ctrl+Shift+VKEY_R");
  EXPECT_EQ(LastReceived(), QZTest::FromHex("F0 00 7F 7D 7F 00 02 64 F7"));
  kit.PumpIdle();
  EXPECT_EQ(Shown(), kChosen);
  EXPECT_EQ(EngineHolds(), kChosen);

  // Changed on the keyboard, the keyboard's values come to the page, through the menu too.
  kit.keyboard->Memory().StoreGlobals(kOnTheKeyboard);
  kit.Command(u"NID_MENU_FILE_LOAD_PRESET_FROM_DEVICE");
  kit.PumpIdle();
  EXPECT_EQ(Shown(), kOnTheKeyboard);
  EXPECT_EQ(EngineHolds(), kOnTheKeyboard);
  EXPECT_EQ(UiKit::TextOf(Combo(0)), u"Channel 3");
  EXPECT_EQ(UiKit::TextOf(Combo(3)), u"Medium");

  EXPECT_EQ(kit.application.modalControls, modals) << "no dialog for the global settings";
  const Box sent{u"The preset has been successfully sent to the device", u"Send Success", 0};
  const Box got{u"The preset has been successfully retrieved", u"Retrieve Successful", 0};
  EXPECT_EQ(kit.MessageBoxes(), (std::vector<Box>{sent, got, got}));
}

} // namespace
} // namespace DeviceViews
