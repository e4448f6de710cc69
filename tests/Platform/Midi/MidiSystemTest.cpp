#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "Platform/Midi/MidiSystem.h"
#include "Platform/Midi/Virtual/VirtualMidiRegistry.h"

namespace {

using namespace QZ::Platform::Midi;

// Restores the environment variable and the switch a test changes.
class VirtualKeyboardSwitchTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (const char* value = std::getenv("QZ_VIRTUAL_KEYBOARD")) {
      mSaved = value;
    }
  }
  void TearDown() override {
    MidiSystem::SetVirtualKeyboardEnabled(std::nullopt);
    if (mSaved) {
      setenv("QZ_VIRTUAL_KEYBOARD", mSaved->c_str(), 1);
    } else {
      unsetenv("QZ_VIRTUAL_KEYBOARD");
    }
  }

  std::optional<std::string> mSaved;
};

TEST_F(VirtualKeyboardSwitchTest, TheEnvironmentEnablesTheVirtualKeyboardUnlessTheSwitchOverridesIt) {
  setenv("QZ_VIRTUAL_KEYBOARD", "1", 1);
  EXPECT_TRUE(MidiSystem::IsVirtualKeyboardEnabled());
  setenv("QZ_VIRTUAL_KEYBOARD", "yes", 1);
  EXPECT_FALSE(MidiSystem::IsVirtualKeyboardEnabled());
  MidiSystem::SetVirtualKeyboardEnabled(true);
  EXPECT_TRUE(MidiSystem::IsVirtualKeyboardEnabled());
  setenv("QZ_VIRTUAL_KEYBOARD", "1", 1);
  MidiSystem::SetVirtualKeyboardEnabled(false);
  EXPECT_FALSE(MidiSystem::IsVirtualKeyboardEnabled());
  MidiSystem::SetVirtualKeyboardEnabled(std::nullopt);
  EXPECT_TRUE(MidiSystem::IsVirtualKeyboardEnabled());
}

TEST_F(VirtualKeyboardSwitchTest, TheDefaultSystemListsTheSharedVirtualDevicesLastWhileEnabled) {
  auto keyboard = VirtualMidiRegistry::Shared().RegisterInput("MIDIIN3 (QUORIN 49 ZTR)");
  auto system = MidiSystem::CreateDefault();
  MidiSystem::SetVirtualKeyboardEnabled(true);
  const auto enabled = system->ListDevices(MidiDirection::Input);
  ASSERT_FALSE(enabled.empty());
  EXPECT_EQ(enabled.back(), "MIDIIN3 (QUORIN 49 ZTR)");
  MidiSystem::SetVirtualKeyboardEnabled(false);
  EXPECT_EQ(system->ListDevices(MidiDirection::Input).size(), enabled.size() - 1);
}

} // namespace
