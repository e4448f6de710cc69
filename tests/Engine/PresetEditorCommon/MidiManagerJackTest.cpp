// End to end over a real transport: the JACK server of the test fixture (the ctest
// EngineMidiManagerJackRoundTrip), the virtual keyboard as a program of its own, and the
// editor's engine and MIDI manager with the product's times. Skipped outside that fixture.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "Engine/PresetEditorCommon/MidiManagerTestSupport.h"
#include "Platform/Midi/MidiSystem.h"
#include "Support/TempFolder.h"

namespace {

using QZ::ParamDescriptor;
using QZTest::Message;

TEST(MidiManagerJackTest, APresetSentToSlotTwoComesBackAfterTheEngineWasReset) {
  const char* program = std::getenv("QZ_TEST_JACK_KEYBOARD");
  if (program == nullptr) {
    GTEST_SKIP() << "needs the JACK server fixture: run the ctest EngineMidiManagerJackRoundTrip";
  }
  QZ::Platform::Midi::MidiSystem::SetVirtualKeyboardEnabled(false);
  // The keyboard runs until its standard input closes, and says when its ports are up.
  QZTest::TempFolder folder;
  const std::string log = folder.Write("keyboard.log", "");
  const std::string command = std::string("'") + program + "' qzkeys 1 >'" + log + "'";
  const std::unique_ptr<FILE, int (*)(FILE*)> keyboard(popen(command.c_str(), "w"), pclose);
  ASSERT_TRUE(keyboard);
  ASSERT_TRUE(QZTest::WaitUntil([&] {
    std::stringstream text;
    text << std::ifstream(log).rdbuf();
    return text.str().find("ready") != std::string::npos;
  }));

  QZTest::FakeApplicationContext application;
  const auto centre = QZ::LNotificationCenter::CreateNotificationCenter(QZ::WString(u"application"));
  application.SetApplicationNotificationCenter(centre.Get());
  const QZ::RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
  engine->Initialize(0);
  application.SetRootModuleEngine(engine.Get());
  const QZ::RCPtr<QZ::LMidiManager> midi = QZ::LMidiManager::Create();
  ASSERT_TRUE(QZTest::WaitUntil([&] { return midi->OpenPorts() != QZ::QZ_E_FAIL; })) << "the ports are listed";
  midi->SetParamRange({0, 140});

  const std::vector<std::pair<uint32_t, Message>> edits = {
      {5, {100}}, {30, {77}}, {95, {60}}, {122, {1, 45}}, {139, {6}}};
  for (const auto& [id, bytes] : edits) {
    ASSERT_EQ(engine->SetParamValue(ParamDescriptor(id), QZTest::BufferOf(bytes)), 0);
  }
  ASSERT_EQ(midi->SendPresetToMidiDevice(2), 153);
  for (const QZ::ParameterLayout::ParameterEntry& entry : QZ::ParameterLayout::kParameterTable) {
    const auto bytes = entry.defaultValue.Evaluate(entry.instance, QZ::kDeviceModel49Keys);
    engine->SetParamValue(ParamDescriptor(entry.id),
                          QZTest::BufferOf(Message(bytes.begin(), bytes.begin() + entry.defaultValue.width)));
  }
  ASSERT_NE(QZTest::EngineBytes(*engine, 122), edits[3].second) << "reset";

  ASSERT_EQ(midi->GetPresetFromMidiDevice(2), 0);
  for (const auto& [id, bytes] : edits) {
    EXPECT_EQ(QZTest::EngineBytes(*engine, id), bytes) << "parameter " << id;
  }
  centre->ProcessNotifications(false);
  QZ::Platform::Midi::MidiSystem::SetVirtualKeyboardEnabled(std::nullopt);
}

} // namespace
