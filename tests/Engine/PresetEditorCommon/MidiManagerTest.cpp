// The MIDI manager against the virtual keyboard on a private virtual registry.

#include <gtest/gtest.h>

#include <atomic>

#include "Engine/PresetEditorCommon/MidiManagerTestSupport.h"
#include "QZFramework/Services/Midi/MakerMidiId.h"

namespace {

using QZ::LMidiManager;
using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZTest::BufferOf;
using QZTest::Message;
using Simulator::KeyboardFaults;
using Simulator::KeyboardMemory;

constexpr char16_t kStateChange[] = u"NID_PARAM_MODULE_STATE_CHANGE";

Message Concat(Message head, const Message& tail, const Message& end = {}) {
  head.insert(head.end(), tail.begin(), tail.end());
  head.insert(head.end(), end.begin(), end.end());
  return head;
}

// An engine whose list of values for a range a test can doctor.
class DoctoredEngine final : public QZ::LPresetEditorAppEngine {
public:
  static RCPtr<DoctoredEngine> Create() { return RCPtr<DoctoredEngine>(new DoctoredEngine); }
  int32_t GetParamValues(const QZ::ParamIdRange& range, QZ::IArray<QZ::ParamValue>& values, int32_t start) override {
    const int32_t result = LPresetEditorAppEngine::GetParamValues(range, values, start);
    if (doctor) {
      doctor(values);
    }
    return result;
  }
  std::function<void(QZ::IArray<QZ::ParamValue>&)> doctor;
};

class MidiManagerTest : public ::testing::Test {
protected:
  QZTest::MidiBench bench;
};

TEST_F(MidiManagerTest, OpensTheModelsThirdPortPairAndNoDecoy) {
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  EXPECT_TRUE(midi->ArePortsOpen());
  EXPECT_EQ(midi->CheckConnection(QZ::Variant(), nullptr), 0);
  EXPECT_EQ(midi->GetInputPortName(), QZ::WString(u"MIDIIN3 (QUORIN 49 ZTR)"));
  EXPECT_EQ(midi->GetOutputPortName(), QZ::WString(u"MIDIOUT3 (QUORIN 49 ZTR)"));
  EXPECT_EQ(midi->GetModelByte(), 2);
  EXPECT_EQ(midi->GetParamRange(), (QZ::ParamIdRange{0, 145})) << "the start-up range";
  EXPECT_EQ(midi->OpenPorts(), 1);
  EXPECT_EQ(midi->ClosePorts(), 0);
  EXPECT_FALSE(midi->ArePortsOpen());
  EXPECT_EQ(midi->GetInputPortName(), QZ::WString());
  EXPECT_EQ(midi->OpenPorts(), 0);
  // Only the third output records what it receives: a send arrives there.
  bench.SelectPage(*midi, 1);
  EXPECT_EQ(midi->SendPresetToMidiDevice(-1), 16);
  EXPECT_TRUE(bench.keyboard.WaitForReceived(1, std::chrono::seconds(20)));

  bench.application.SetDeviceModel(5);
  const RCPtr<LMidiManager> unknown = bench.CreateManager();
  EXPECT_FALSE(unknown->ArePortsOpen());
  EXPECT_EQ(unknown->GetModelByte(), 0xFF);
  EXPECT_EQ(unknown->OpenPorts(), QZ::QZ_E_FAIL);
  EXPECT_EQ(unknown->CheckConnection(QZ::Variant(), nullptr), -1);
  EXPECT_EQ(unknown->SendPresetToMidiDevice(0), -1);
  EXPECT_FALSE(unknown->IsDeviceFirmwareVersionUseable());
}

TEST_F(MidiManagerTest, SendsTheUserPresetAndTheGlobalSettingsInTheLayoutsWidths) {
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  bench.engine->SetParamValue(ParamDescriptor(0), BufferOf({9}));
  bench.engine->SetParamValue(ParamDescriptor(122), BufferOf({1, 40}));
  bench.engine->SetParamValue(ParamDescriptor(139), BufferOf({5}));
  bench.SelectPage(*midi, 0);
  ASSERT_EQ(midi->SendPresetToMidiDevice(3), 153);
  ASSERT_TRUE(bench.keyboard.WaitForReceived(1, std::chrono::seconds(20)));
  const Message preset = bench.EngineBytes(0, 140);
  ASSERT_EQ(preset.size(), 141u) << "the tempo is two bytes";
  EXPECT_EQ(bench.keyboard.Received().back(),
            Concat({0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02, 0x61, 0x01, 0x11, 0x03}, preset, {0xF7}));
  KeyboardMemory::PresetImage stored{};
  ASSERT_TRUE(bench.keyboard.Memory().GetPreset(3, stored));
  EXPECT_EQ(Message(stored.begin(), stored.end()), preset);

  bench.SelectPage(*midi, 1);
  EXPECT_EQ(midi->SendPresetToMidiDevice(-1), 16);
  ASSERT_TRUE(bench.keyboard.WaitForReceived(2, std::chrono::seconds(20)));
  EXPECT_EQ(bench.keyboard.Received().back(),
            (Message{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02, 0x63, 0x00, 0x08, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF7}));
}

TEST_F(MidiManagerTest, RefusesToSendWhatWouldCorruptOrZeroTheKeyboardsPreset) {
  const RCPtr<DoctoredEngine> engine = DoctoredEngine::Create();
  engine->Initialize(0);
  QZ::MidiManagerOptions options = bench.Options();
  options.engine = engine;
  const RCPtr<LMidiManager> midi = LMidiManager::Create(options);
  bench.SelectPage(*midi, 0);
  EXPECT_EQ(midi->SendPresetToMidiDevice(11), -1) << "no such slot";
  EXPECT_EQ(midi->SendPresetToMidiDevice(-1), -1) << "no such slot";
  bench.application.SetCurrentEditorPage(-1);
  EXPECT_EQ(midi->SendPresetToMidiDevice(0), -1) << "no such page";
  EXPECT_EQ(midi->GetPresetFromMidiDevice(0), -1) << "no such page";
  bench.application.SetCurrentEditorPage(0);

  const auto sendWith = [&](std::function<void(QZ::IArray<QZ::ParamValue>&)> doctor) {
    engine->doctor = std::move(doctor);
    return midi->SendPresetToMidiDevice(0);
  };
  EXPECT_EQ(sendWith([](auto& values) { values.SetCount(139); }), QZ::QZ_E_FAIL) << "one value short";
  EXPECT_EQ(sendWith([](auto& values) { values.GetAt(7).value = BufferOf({0x80}); }), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(sendWith([](auto& values) { values.GetAt(122).value = BufferOf({120}); }), QZ::QZ_E_INVALIDARG)
      << "a one-byte tempo would shift every later byte";
  EXPECT_EQ(sendWith([](auto& values) { values.GetAt(3).value.SetInt32(1); }), QZ::QZ_E_FAIL);
  EXPECT_EQ(sendWith([](auto& values) { values.GetAt(3).value.SetList(nullptr, 0); }), QZ::QZ_E_NOTIMPL);
  engine->doctor = nullptr;
  EXPECT_FALSE(bench.keyboard.WaitForReceived(1, std::chrono::milliseconds(50))) << "nothing was sent";
  EXPECT_EQ(midi->SendPresetToMidiDevice(10), 153);
}

TEST_F(MidiManagerTest, FramesSystemExclusiveMessagesOnce) {
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  RCPtr<QZ::LMidiRenderPort> port;
  midi->GetCommunicator()->OpenRenderPort(QZ::WString(u"MIDIOUT3 (QUORIN 49 ZTR)"), port);
  ASSERT_TRUE(port);
  QZ::Array<signed char> empty;
  EXPECT_EQ(midi->SendSysEx(empty, nullptr), -1);
  EXPECT_EQ(midi->SendSysEx(empty, port.Get()), QZ::QZ_E_INVALIDARG);
  const auto sent = [&](std::initializer_list<int> bytes) {
    QZ::Array<signed char> body;
    for (int byte : bytes) {
      body.AddItem(static_cast<signed char>(byte));
    }
    const QZ::QZResult result = midi->SendSysEx(body, port.Get());
    Message framed;
    for (uint32_t i = 0; i < body.GetCount(); ++i) {
      framed.push_back(static_cast<uint8_t>(body.GetAt(i)));
    }
    return std::make_pair(result, framed);
  };
  EXPECT_EQ(sent({0xF0}), std::make_pair(QZ::QZ_E_FAIL, Message{0xF0}));
  EXPECT_EQ(sent({0xF7}), std::make_pair(QZ::QZ_E_FAIL, Message{0xF7}));
  EXPECT_EQ(sent({0x64}), std::make_pair(3, Message{0xF0, 0x64, 0xF7}));
  EXPECT_EQ(sent({0x00, 0x7F}), std::make_pair(4, Message{0xF0, 0x00, 0x7F, 0xF7}));
  EXPECT_EQ(sent({0xF0, 0x01, 0xF7}), std::make_pair(3, Message{0xF0, 0x01, 0xF7}));
}

TEST_F(MidiManagerTest, GetsThePresetInRamIntoTheEngineAndAnnouncesIt) {
  KeyboardMemory& memory = bench.keyboard.Memory();
  const std::vector<uint8_t> slider{60};
  ASSERT_TRUE(memory.SetParam(11, slider));
  ASSERT_TRUE(memory.SetParam(122, std::vector<uint8_t>{2, 5}));
  ASSERT_TRUE(memory.SetParam(139, std::vector<uint8_t>{3}));
  ASSERT_TRUE(memory.SetParam(140, std::vector<uint8_t>{9}));
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  bench.SelectPage(*midi, 0);

  ASSERT_EQ(midi->GetPresetFromMidiDevice(0), 0);
  EXPECT_EQ(bench.keyboard.Received().back(),
            (Message{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02, 0x62, 0x00, 0x04, 0x00, 0xF7}));
  KeyboardMemory::PresetImage ram{};
  memory.GetPreset(0, ram);
  EXPECT_EQ(bench.EngineBytes(0, 140), Message(ram.begin(), ram.end()));
  EXPECT_EQ(bench.EngineValue(140), Message{1}) << "the global settings are not part of the preset";
  EXPECT_EQ(bench.Drain(), std::vector<std::u16string>(3, kStateChange)) << "one per changed value";

  bench.SelectPage(*midi, 1);
  ASSERT_TRUE(memory.SetParam(11, std::vector<uint8_t>{61}));
  ASSERT_EQ(midi->GetPresetFromMidiDevice(-1), 0);
  EXPECT_EQ(bench.keyboard.Received().back(), (Message{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02, 0x64, 0xF7}));
  EXPECT_EQ(bench.EngineValue(140), Message{9});
  EXPECT_EQ(bench.EngineValue(11), slider) << "a global get touches only ids 140 to 144";
  EXPECT_EQ(bench.Drain(), std::vector<std::u16string>(1, kStateChange));
}

TEST_F(MidiManagerTest, TheStartUpRangeReadsNoFurtherThanTheReplysLastParameterByte) {
  ASSERT_TRUE(bench.keyboard.Memory().SetParam(139, std::vector<uint8_t>{4}));
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  ASSERT_EQ(midi->GetParamRange().count, 145u);
  ASSERT_EQ(midi->GetPresetFromMidiDevice(0), 0);
  EXPECT_EQ(bench.EngineValue(139), Message{4});
  EXPECT_EQ(bench.EngineBytes(140, 5), (Message{1, 0, 0, 0, 0})) << "beyond the reply: unchanged";
}

TEST_F(MidiManagerTest, IgnoresRepliesThatFailTheChecksAndGivesUpAfterThreeRequests) {
  const RCPtr<LMidiManager> midi = bench.CreateManager(20);
  bench.SelectPage(*midi, 0);
  bench.keyboard.SetFaults({.reply = KeyboardFaults::Reply::Short});
  EXPECT_EQ(midi->GetPresetFromMidiDevice(0), -3);
  EXPECT_EQ(bench.keyboard.Received().size(), 3u);

  bench.SelectPage(*midi, 1);
  bench.keyboard.SetFaults({.reply = KeyboardFaults::Reply::WrongPageByte});
  ASSERT_TRUE(bench.keyboard.Memory().SetParam(141, std::vector<uint8_t>{7}));
  EXPECT_EQ(midi->GetPresetFromMidiDevice(-1), -3);
  EXPECT_EQ(bench.keyboard.Received().size(), 6u);
  EXPECT_EQ(bench.EngineValue(141), Message{0});
  EXPECT_TRUE(bench.Drain().empty());
}

TEST_F(MidiManagerTest, WithOnlyTheOutputOpenAGetFailsAtOnceWhileASendWorks) {
  bench.keyboard.UnplugInput();
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  EXPECT_FALSE(midi->ArePortsOpen());
  bench.SelectPage(*midi, 0);
  EXPECT_EQ(midi->GetPresetFromMidiDevice(0), -1);
  EXPECT_TRUE(bench.keyboard.Received().empty());
  EXPECT_EQ(midi->SendPresetToMidiDevice(0), 153);
  EXPECT_EQ(midi->RequestNonPresetParameterFromDevice(QZ::WString(u"x"), nullptr), QZ::QZ_E_FAIL);
}

TEST_F(MidiManagerTest, ASendPausesTheArmedPollingAndReArmsIt) {
  // A keyboard of the test's own, whose receiver runs while the send waits for it.
  QZ::Platform::VirtualMidiRegistry registry;
  auto input = registry.RegisterInput("MIDIIN3 (QUORIN 49 ZTR)");
  auto output = registry.RegisterOutput("MIDIOUT3 (QUORIN 49 ZTR)");
  QZ::MidiManagerOptions options = bench.Options();
  options.midi.backend = std::make_shared<QZ::Platform::VirtualMidiBackend>(registry);
  const RCPtr<LMidiManager> midi = LMidiManager::Create(options);
  ASSERT_TRUE(midi->ArePortsOpen());
  std::atomic<bool> stillDuringSend{false};
  std::atomic<bool> armedDuringSend{true};
  output->SetReceiver([&](std::span<const uint8_t>) {
    const uint32_t before = midi->GetPollingPassCount();
    armedDuringSend = midi->IsStatusPollingArmed();
    // Fifty polling intervals.
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    stillDuringSend = midi->GetPollingPassCount() == before;
  });

  EXPECT_EQ(midi->StartStatusPolling(), 0);
  EXPECT_EQ(midi->StartStatusPolling(), 1);
  ASSERT_TRUE(QZTest::Eventually([&] { return midi->GetPollingPassCount() > 2; }));
  bench.SelectPage(*midi, 1);
  EXPECT_EQ(midi->SendPresetToMidiDevice(-1), 16);
  EXPECT_TRUE(stillDuringSend);
  EXPECT_FALSE(armedDuringSend);
  EXPECT_TRUE(midi->IsStatusPollingArmed());
  const uint32_t after = midi->GetPollingPassCount();
  EXPECT_TRUE(QZTest::Eventually([&] { return midi->GetPollingPassCount() > after + 2; })) << "polling again";
  EXPECT_EQ(midi->StopStatusPolling(), 0);
  EXPECT_EQ(midi->StopStatusPolling(), 1);
}

TEST_F(MidiManagerTest, TheReconnectionHandlerReopensThePortsWhenTheInputComesBack) {
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  midi->StartStatusPolling();
  bench.keyboard.UnplugInput();
  EXPECT_TRUE(QZTest::Eventually([&] {
    bench.Drain();
    return !midi->ArePortsOpen();
  }));
  bench.keyboard.PlugInput();
  EXPECT_TRUE(QZTest::Eventually([&] {
    bench.Drain();
    return midi->ArePortsOpen();
  }));
  EXPECT_TRUE(midi->IsStatusPollingArmed());
  bench.SelectPage(*midi, 0);
  EXPECT_EQ(midi->GetPresetFromMidiDevice(0), 0) << "the reopened input captures";
}

TEST_F(MidiManagerTest, TheFirmwareCheckWantsThisModelAtVersionOneOrLater) {
  const RCPtr<LMidiManager> midi = bench.CreateManager(20);
  EXPECT_TRUE(midi->IsDeviceFirmwareVersionUseable());
  EXPECT_EQ(bench.keyboard.Received().back(), (Message{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}));
  bench.keyboard.SetFirmwareVersion({0, 9, 0, 0});
  EXPECT_FALSE(midi->IsDeviceFirmwareVersionUseable());
  EXPECT_EQ(bench.keyboard.Received().size(), 4u) << "three more tries";
  bench.keyboard.SetFirmwareVersion({1, 0, 0, 0});
  EXPECT_TRUE(midi->IsDeviceFirmwareVersionUseable());
  bench.keyboard.SetFaults({.reply = KeyboardFaults::Reply::None});
  EXPECT_FALSE(midi->IsDeviceFirmwareVersionUseable());
  EXPECT_EQ(bench.keyboard.Received().size(), 8u);

  // A keyboard of another model answers with its own member byte.
  Simulator::VirtualKeyboard other(QZ::kDeviceModel61Keys, bench.registry);
  bench.application.SetDeviceModel(QZ::kDeviceModel61Keys);
  const RCPtr<LMidiManager> sixtyOne = bench.CreateManager(20);
  EXPECT_TRUE(sixtyOne->IsDeviceFirmwareVersionUseable());
}

TEST_F(MidiManagerTest, LettingGoStopsThePollingAndDropsTheSubscriptions) {
  RCPtr<LMidiManager> midi = bench.CreateManager();
  midi->StartStatusPolling();
  ASSERT_TRUE(QZTest::Eventually([&] { return midi->GetPollingPassCount() > 0; }));
  EXPECT_EQ(static_cast<QZ::LNotificationClient&>(*midi).GetRegistrationCount(), 1) << "the reconnection handler";
  midi = nullptr; // a leak or a running thread shows under the sanitizers
  bench.keyboard.UnplugInput();
  bench.Drain();
}

} // namespace
