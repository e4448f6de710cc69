// The MIDI manager against the virtual keyboard on a private virtual registry.

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "Engine/PresetEditorCommon/MidiManagerTestSupport.h"

namespace {

using QZ::LMidiManager;
using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZTest::BufferOf;
using QZTest::EngineBytes;
using QZTest::Message;
using Simulator::KeyboardFaults;
using Faulty = Simulator::KeyboardFaults::Reply;

const Message kHeader{0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02};

Message Join(Message head, const Message& tail, const Message& end = {}) {
  head.insert(head.end(), tail.begin(), tail.end());
  head.insert(head.end(), end.begin(), end.end());
  return head;
}

// An engine whose values for a range a test can doctor.
struct DoctoredEngine final : QZ::LPresetEditorAppEngine {
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
  Simulator::VirtualKeyboard& keyboard = bench.keyboard;
};

TEST_F(MidiManagerTest, OpensTheModelsThirdPortPairOnlyForAKnownModel) {
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  EXPECT_TRUE(midi->ArePortsOpen());
  EXPECT_EQ(midi->GetInputPortName(), QZ::WString(u"MIDIIN3 (QUORIN 49 ZTR)"));
  EXPECT_EQ(midi->GetOutputPortName(), QZ::WString(u"MIDIOUT3 (QUORIN 49 ZTR)"));
  EXPECT_EQ(midi->ClosePorts(), 0);
  EXPECT_EQ(midi->GetInputPortName(), QZ::WString());
  EXPECT_EQ(midi->OpenPorts(), 0);
  EXPECT_EQ(midi->OpenPorts(), 1);

  bench.application.SetDeviceModel(5);
  const RCPtr<LMidiManager> unknown = bench.CreateManager();
  EXPECT_FALSE(unknown->ArePortsOpen());
  EXPECT_EQ(unknown->SendPresetToMidiDevice(0), -1);
  EXPECT_FALSE(unknown->IsDeviceFirmwareVersionUseable());
}

TEST_F(MidiManagerTest, SendsThePresetAndTheGlobalSettingsInTheLayoutsWidths) {
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  bench.engine->SetParamValue(ParamDescriptor(122), BufferOf({1, 40}));
  bench.engine->SetParamValue(ParamDescriptor(139), BufferOf({5}));
  bench.SelectPage(*midi, 0);
  ASSERT_EQ(midi->SendPresetToMidiDevice(3), 153);
  const Message preset = EngineBytes(*bench.engine, 0, 140);
  ASSERT_EQ(preset.size(), 141u) << "the tempo is two bytes";
  ASSERT_TRUE(keyboard.WaitForReceived(1, std::chrono::seconds(20)));
  EXPECT_EQ(keyboard.Received().back(), Join(kHeader, Join({0x61, 0x01, 0x11, 0x03}, preset), {0xF7}));
  Simulator::KeyboardMemory::PresetImage stored{};
  ASSERT_TRUE(keyboard.Memory().GetPreset(3, stored));
  EXPECT_EQ(Message(stored.begin(), stored.end()), preset);

  bench.SelectPage(*midi, 1);
  EXPECT_EQ(midi->SendPresetToMidiDevice(-1), 16);
  ASSERT_TRUE(keyboard.WaitForReceived(2, std::chrono::seconds(20)));
  EXPECT_EQ(keyboard.Received().back(), Join(kHeader, {0x63, 0x00, 0x08, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF7}));
}

TEST_F(MidiManagerTest, RefusesWhatWouldCorruptTheMessageOrZeroTheKeyboardsPreset) {
  const RCPtr<DoctoredEngine> engine(new DoctoredEngine);
  engine->Initialize(0);
  QZ::MidiManagerOptions options = bench.Options();
  options.engine = engine;
  const RCPtr<LMidiManager> midi = LMidiManager::Create(options);
  bench.SelectPage(*midi, 0);
  EXPECT_EQ(midi->SendPresetToMidiDevice(11), -1) << "no such slot";
  bench.application.SetCurrentEditorPage(-1);
  EXPECT_EQ(midi->SendPresetToMidiDevice(0), -1) << "no such page";
  EXPECT_EQ(midi->GetPresetFromMidiDevice(0), -1);
  bench.application.SetCurrentEditorPage(0);
  const auto sendWith = [&](std::function<void(QZ::IArray<QZ::ParamValue>&)> doctor) {
    engine->doctor = std::move(doctor);
    return midi->SendPresetToMidiDevice(0);
  };
  EXPECT_EQ(sendWith([](auto& values) { values.SetCount(139); }), QZ::QZ_E_FAIL);
  EXPECT_EQ(sendWith([](auto& values) { values.GetAt(7).value = BufferOf({0x80}); }), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(sendWith([](auto& values) { values.GetAt(8).value = BufferOf({0x7F}); }), 153) << "the highest data byte";
  EXPECT_EQ(sendWith([](auto& values) { values.GetAt(122).value = BufferOf({120}); }), QZ::QZ_E_INVALIDARG)
      << "a one-byte tempo shifts every later byte";
  EXPECT_EQ(sendWith([](auto& values) { values.GetAt(3).value.SetInt32(1); }), QZ::QZ_E_FAIL);
  EXPECT_EQ(sendWith([](auto& values) { values.GetAt(3).value.SetList(nullptr, 0); }), QZ::QZ_E_NOTIMPL);
  ASSERT_TRUE(keyboard.WaitForReceived(1, std::chrono::seconds(20)));
  EXPECT_FALSE(keyboard.WaitForReceived(2, std::chrono::milliseconds(50))) << "nothing else was sent";

  RCPtr<QZ::LMidiRenderPort> port;
  midi->GetCommunicator()->OpenRenderPort(QZ::WString(u"MIDIOUT3 (QUORIN 49 ZTR)"), port);
  const auto framed = [&](std::initializer_list<int> bytes) {
    QZ::Array<signed char> body;
    for (int byte : bytes) {
      body.AddItem(static_cast<signed char>(byte));
    }
    const int32_t result = midi->SendSysEx(body, port.Get());
    return std::make_pair(result, Message(body.GetData(), body.GetData() + body.GetCount()));
  };
  EXPECT_EQ(framed({}).first, QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(framed({0xF7}), std::make_pair(QZ::QZ_E_FAIL, Message{0xF7}));
  EXPECT_EQ(framed({0xF0}), std::make_pair(QZ::QZ_E_FAIL, Message{0xF0}));
  EXPECT_EQ(framed({0xF0, 0x01}), std::make_pair(3, Message{0xF0, 0x01, 0xF7}));
  EXPECT_EQ(framed({0x01, 0xF7}), std::make_pair(3, Message{0xF0, 0x01, 0xF7}));
  EXPECT_EQ(framed({0x64}), std::make_pair(3, Message{0xF0, 0x64, 0xF7}));
  EXPECT_EQ(framed({0xF0, 0x01, 0xF7}), std::make_pair(3, Message{0xF0, 0x01, 0xF7}));
}

TEST_F(MidiManagerTest, GetsThePresetOrTheGlobalsIntoTheEngineAndAnnouncesThem) {
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  for (const auto& [id, value] : std::vector<std::pair<uint32_t, Message>>{{11, {60}}, {122, {2, 5}}, {140, {9}}}) {
    ASSERT_TRUE(keyboard.Memory().SetParam(id, value));
  }
  bench.SelectPage(*midi, 0);
  ASSERT_EQ(midi->GetPresetFromMidiDevice(0), 0);
  EXPECT_EQ(keyboard.Received().back(), Join(kHeader, {0x62, 0x00, 0x04, 0x00, 0xF7}));
  Simulator::KeyboardMemory::PresetImage ram{};
  keyboard.Memory().GetPreset(0, ram);
  EXPECT_EQ(EngineBytes(*bench.engine, 0, 140), Message(ram.begin(), ram.end()));
  EXPECT_EQ(bench.Drain(), 2) << "one announcement per changed value";

  bench.SelectPage(*midi, 1);
  ASSERT_TRUE(keyboard.Memory().SetParam(11, Message{61}));
  ASSERT_EQ(midi->GetPresetFromMidiDevice(-1), 0);
  EXPECT_EQ(keyboard.Received().back(), Join(kHeader, {0x64, 0xF7}));
  EXPECT_EQ(EngineBytes(*bench.engine, 140), Message{9});
  EXPECT_EQ(EngineBytes(*bench.engine, 11), Message{60}) << "a global get touches only ids 140 to 144";

  // The start-up range asks for 145 values from a user reply that carries 140.
  midi->SetParamRange({0, 145});
  ASSERT_TRUE(keyboard.Memory().SetParam(140, Message{3}));
  bench.application.SetCurrentEditorPage(0);
  ASSERT_EQ(midi->GetPresetFromMidiDevice(0), 0);
  EXPECT_EQ(EngineBytes(*bench.engine, 11), Message{61});
  EXPECT_EQ(EngineBytes(*bench.engine, 140), Message{9});
}

TEST_F(MidiManagerTest, IgnoresFaultyRepliesAndNeedsBothPortsToAsk) {
  const RCPtr<LMidiManager> midi = bench.CreateManager(20);
  bench.SelectPage(*midi, 0);
  keyboard.SetFaults({.reply = Faulty::Short});
  EXPECT_EQ(midi->GetPresetFromMidiDevice(0), -3);
  EXPECT_EQ(keyboard.Received().size(), 3u);
  bench.SelectPage(*midi, 1);
  keyboard.SetFaults({.reply = Faulty::WrongPageByte});
  ASSERT_TRUE(keyboard.Memory().SetParam(141, Message{7}));
  EXPECT_EQ(midi->GetPresetFromMidiDevice(-1), -3);
  EXPECT_EQ(bench.Drain(), 0);

  keyboard.UnplugInput();
  EXPECT_EQ(midi->ClosePorts(), QZ::QZ_OK);
  EXPECT_EQ(midi->OpenPorts(), QZ::QZ_E_FAIL);
  EXPECT_EQ(midi->GetPresetFromMidiDevice(-1), -1);
  EXPECT_EQ(keyboard.Received().size(), 6u) << "nothing asked";
  EXPECT_EQ(midi->SendPresetToMidiDevice(-1), 16);
}

TEST_F(MidiManagerTest, ASendPausesTheArmedPollingAndReArmsIt) {
  // Ports of the test's own, whose receiver runs while the send waits for it.
  QZ::Platform::Midi::VirtualMidiRegistry registry;
  auto input = registry.RegisterInput("MIDIIN3 (QUORIN 49 ZTR)");
  auto output = registry.RegisterOutput("MIDIOUT3 (QUORIN 49 ZTR)");
  QZ::MidiManagerOptions options = bench.Options();
  options.midi.backend = std::make_shared<QZ::Platform::Midi::VirtualMidiBackend>(registry);
  const RCPtr<LMidiManager> midi = LMidiManager::Create(options);
  std::atomic<bool> stillDuringSend{false};
  output->SetReceiver([&](std::span<const uint8_t>) {
    const uint32_t before = midi->GetPollingPassCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(50)); // fifty polling intervals
    stillDuringSend = midi->GetPollingPassCount() == before && !midi->IsStatusPollingArmed();
  });
  EXPECT_EQ(midi->StartStatusPolling(), 0);
  ASSERT_TRUE(QZTest::WaitUntil([&] { return midi->GetPollingPassCount() > 2; }));
  bench.SelectPage(*midi, 1);
  EXPECT_EQ(midi->SendPresetToMidiDevice(-1), 16);
  EXPECT_TRUE(stillDuringSend);
  const uint32_t after = midi->GetPollingPassCount();
  EXPECT_TRUE(QZTest::WaitUntil([&] { return midi->GetPollingPassCount() > after + 2; })) << "polling again";
}

TEST_F(MidiManagerTest, TheReconnectionHandlerReopensThePortsWhenTheInputComesBack) {
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  EXPECT_EQ(midi->StartStatusPolling(), QZ::QZ_OK);
  keyboard.UnplugInput();
  EXPECT_TRUE(QZTest::WaitUntil([&] { return bench.Drain(), !midi->ArePortsOpen(); }));
  keyboard.PlugInput();
  EXPECT_TRUE(QZTest::WaitUntil([&] { return bench.Drain(), midi->ArePortsOpen(); }));
  bench.SelectPage(*midi, 0);
  EXPECT_EQ(midi->GetPresetFromMidiDevice(0), 0) << "the reopened input captures";
}

// The virtual devices of a registry, as a backend that cannot be watched.
class UnwatchedBackend final : public QZ::Platform::Midi::MidiBackend {
public:
  explicit UnwatchedBackend(QZ::Platform::Midi::VirtualMidiRegistry& registry) : mDevices(registry) {}
  std::vector<std::string> ListDevices(QZ::Platform::Midi::MidiDirection direction) override {
    return mDevices.ListDevices(direction);
  }
  QZ::Platform::Midi::MidiResult OpenInput(size_t index, QZ::Platform::Midi::MidiInputHandler& handler,
                                           std::unique_ptr<QZ::Platform::Midi::MidiInput>& input) override {
    return mDevices.OpenInput(index, handler, input);
  }
  QZ::Platform::Midi::MidiResult OpenOutput(size_t index, QZ::Platform::Midi::MidiOutputHandler& handler,
                                            std::unique_ptr<QZ::Platform::Midi::MidiOutput>& output) override {
    return mDevices.OpenOutput(index, handler, output);
  }

private:
  QZ::Platform::Midi::VirtualMidiBackend mDevices;
};

TEST_F(MidiManagerTest, WatchedDevicesArePolledWhenTheyChangeAndOtherwiseOnlyAtTheSafetyInterval) {
  QZ::MidiManagerOptions options = bench.Options();
  options.watchedPollingIntervalMs = 60000;
  const RCPtr<LMidiManager> midi = LMidiManager::Create(options);
  EXPECT_EQ(midi->StartStatusPolling(), QZ::QZ_OK);
  ASSERT_TRUE(QZTest::WaitUntil([&] { return midi->GetPollingPassCount() == 1; })) << "a poll at the start";
  std::this_thread::sleep_for(std::chrono::milliseconds(50)); // fifty polling intervals
  EXPECT_EQ(midi->GetPollingPassCount(), 1u) << "nothing changed: no poll";
  keyboard.UnplugInput();
  EXPECT_TRUE(QZTest::WaitUntil([&] { return bench.Drain(), !midi->ArePortsOpen(); })) << "the change was polled";
  keyboard.PlugInput();
  EXPECT_TRUE(QZTest::WaitUntil([&] { return bench.Drain(), midi->ArePortsOpen(); }));

  // Without a watch, every polling interval polls, whatever the safety interval.
  options.midi.backend = std::make_shared<UnwatchedBackend>(bench.registry);
  const RCPtr<LMidiManager> unwatched = LMidiManager::Create(options);
  EXPECT_EQ(unwatched->StartStatusPolling(), QZ::QZ_OK);
  EXPECT_TRUE(QZTest::WaitUntil([&] { return unwatched->GetPollingPassCount() > 5; }));
}

TEST_F(MidiManagerTest, ChangesCloserThanThePollingIntervalArePolledOncePerInterval) {
  // Opening a port to test a device can itself be told as a change: such changes must
  // not poll faster than polling without a watch.
  QZ::MidiManagerOptions options = bench.Options();
  options.pollingIntervalMs = 150;
  options.watchedPollingIntervalMs = 60000;
  const RCPtr<LMidiManager> midi = LMidiManager::Create(options);
  EXPECT_EQ(midi->StartStatusPolling(), QZ::QZ_OK);
  ASSERT_TRUE(QZTest::WaitUntil([&] { return midi->GetPollingPassCount() == 1; }));
  const auto first = std::chrono::steady_clock::now();
  keyboard.UnplugInput();
  keyboard.PlugInput();
  keyboard.UnplugInput();
  ASSERT_TRUE(QZTest::WaitUntil([&] { return midi->GetPollingPassCount() == 2; })) << "the changes were polled";
  EXPECT_GE(std::chrono::steady_clock::now() - first, std::chrono::milliseconds(140));
  EXPECT_TRUE(QZTest::WaitUntil([&] { return bench.Drain(), !midi->ArePortsOpen(); }));
}

TEST_F(MidiManagerTest, TheFirmwareCheckWantsThisModelAtVersionOneOrLater) {
  {
    // Time enough for the reply: a try that timed out would leave its reply to be taken
    // by a later check.
    const RCPtr<LMidiManager> midi = bench.CreateManager();
    EXPECT_TRUE(midi->IsDeviceFirmwareVersionUseable());
    EXPECT_EQ(keyboard.Received(), std::vector<Message>{Message({0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7})});
  }
  // Refused versions and missing replies, with a short time for the missing ones; a late
  // refusal taken by a later try is still a refusal.
  const RCPtr<LMidiManager> midi = bench.CreateManager(20);
  keyboard.SetFirmwareVersion({0, 9, 0, 0});
  EXPECT_FALSE(midi->IsDeviceFirmwareVersionUseable());
  EXPECT_EQ(keyboard.Received().size(), 4u) << "three more tries";
  keyboard.SetFirmwareVersion({1, 0, 2, 0});
  keyboard.SetFaults({.reply = Faulty::None});
  EXPECT_FALSE(midi->IsDeviceFirmwareVersionUseable());
  EXPECT_EQ(keyboard.Received().size(), 7u);
}

TEST_F(MidiManagerTest, EachModelOpensItsOwnThirdPortPairAndNoOtherIndexOpensAny) {
  Simulator::VirtualKeyboard keys25{QZ::kDeviceModel25Keys, bench.registry};
  Simulator::VirtualKeyboard keys61{QZ::kDeviceModel61Keys, bench.registry};
  struct Model {
    int32_t index;
    const char16_t* input;
    const char16_t* output;
    uint8_t byte;
  };
  for (const Model& model : {Model{0, u"MIDIIN3 (QUORIN 25 ZTR)", u"MIDIOUT3 (QUORIN 25 ZTR)", 1},
                             Model{1, u"MIDIIN3 (QUORIN 49 ZTR)", u"MIDIOUT3 (QUORIN 49 ZTR)", 2},
                             Model{2, u"MIDIIN3 (QUORIN 61 ZTR)", u"MIDIOUT3 (QUORIN 61 ZTR)", 3}}) {
    bench.application.SetDeviceModel(model.index);
    const RCPtr<LMidiManager> midi = bench.CreateManager();
    EXPECT_TRUE(midi->ArePortsOpen()) << model.index;
    EXPECT_EQ(midi->GetInputPortName(), QZ::WString(model.input)) << model.index;
    EXPECT_EQ(midi->GetOutputPortName(), QZ::WString(model.output)) << model.index;
    EXPECT_EQ(midi->GetModelByte(), model.byte) << model.index;
    bench.SelectPage(*midi, 0);
    EXPECT_EQ(midi->GetPresetFromMidiDevice(0), 0) << "the keyboard answers its own model byte only";
  }
  for (const int32_t index : {-1, 3}) {
    bench.application.SetDeviceModel(index);
    const RCPtr<LMidiManager> midi = bench.CreateManager();
    EXPECT_FALSE(midi->ArePortsOpen()) << index;
    EXPECT_EQ(midi->GetModelByte(), 0xFF) << index;
  }
}

TEST_F(MidiManagerTest, SlotTenIsTheLastSlotBothWaysAndEveryOtherPageIsRefused) {
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  bench.SelectPage(*midi, 0);
  ASSERT_EQ(bench.engine->SetParamValue(ParamDescriptor(11), BufferOf({61})), 0);
  ASSERT_EQ(midi->SendPresetToMidiDevice(10), 153);
  ASSERT_TRUE(keyboard.WaitForReceived(1, std::chrono::seconds(20)));
  EXPECT_EQ(keyboard.Received().back()[10], 0x0A);
  Simulator::KeyboardMemory::PresetImage stored{};
  ASSERT_TRUE(keyboard.Memory().GetPreset(10, stored));
  EXPECT_EQ(Message(stored.begin(), stored.end()), EngineBytes(*bench.engine, 0, 140));

  ASSERT_EQ(bench.engine->SetParamValue(ParamDescriptor(11), BufferOf({5})), 0);
  ASSERT_EQ(midi->GetPresetFromMidiDevice(10), 0);
  EXPECT_EQ(keyboard.Received().back(), Join(kHeader, {0x62, 0x00, 0x04, 0x0A, 0xF7}));
  EXPECT_EQ(EngineBytes(*bench.engine, 11), Message{61});

  for (const int32_t slot : {11, -1}) {
    EXPECT_EQ(midi->SendPresetToMidiDevice(slot), -1) << slot;
    EXPECT_EQ(midi->GetPresetFromMidiDevice(slot), -1) << slot;
  }
  for (const int32_t page : {-1, 2}) {
    bench.application.SetCurrentEditorPage(page);
    EXPECT_EQ(midi->SendPresetToMidiDevice(0), -1) << page;
    EXPECT_EQ(midi->GetPresetFromMidiDevice(0), -1) << page;
  }
  EXPECT_EQ(keyboard.Received().size(), 2u) << "nothing sent or asked for them";
}

TEST_F(MidiManagerTest, AReplyOneByteTooLongOrShortIsIgnoredOnBothPages) {
  const RCPtr<LMidiManager> midi = bench.CreateManager(20);
  ASSERT_TRUE(keyboard.Memory().SetParam(11, Message{60}));
  ASSERT_TRUE(keyboard.Memory().SetParam(140, Message{9}));
  const Message before = EngineBytes(*bench.engine, 0, 145);
  for (const Faulty fault : {Faulty::Long, Faulty::Short}) {
    keyboard.SetFaults({.reply = fault});
    bench.SelectPage(*midi, 0);
    EXPECT_EQ(midi->GetPresetFromMidiDevice(0), -3) << int(fault);
    bench.SelectPage(*midi, 1);
    EXPECT_EQ(midi->GetPresetFromMidiDevice(-1), -3) << int(fault);
  }
  EXPECT_EQ(EngineBytes(*bench.engine, 0, 145), before);
  EXPECT_EQ(bench.Drain(), 0);
}

TEST_F(MidiManagerTest, TheLowestUsableFirmwareIsOnePointZero) {
  {
    const RCPtr<LMidiManager> midi = bench.CreateManager(20);
    keyboard.SetFirmwareVersion({0, 127, 127, 127});
    EXPECT_FALSE(midi->IsDeviceFirmwareVersionUseable());
  }
  // Time enough for the replies; the refusals above, if late, are refusals still.
  const RCPtr<LMidiManager> midi = bench.CreateManager();
  for (const std::array<uint8_t, 4> version :
       {std::array<uint8_t, 4>{1, 0, 0, 0}, std::array<uint8_t, 4>{1, 0, 0, 1}}) {
    keyboard.SetFirmwareVersion(version);
    EXPECT_TRUE(midi->IsDeviceFirmwareVersionUseable()) << "1.0.0." << int(version[3]);
  }
}

} // namespace
