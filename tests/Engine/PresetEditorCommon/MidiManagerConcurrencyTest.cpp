// The MIDI manager's threads against each other: the capture handler writing into the
// engine while requests time out around late replies, and the status poll against sends.

#include <gtest/gtest.h>

#include <atomic>

#include "Engine/PresetEditorCommon/MidiManagerTestSupport.h"

namespace {

using QZ::LMidiManager;
using QZ::RCPtr;
using QZTest::Message;

TEST(MidiManagerConcurrencyTest, NoLateReplyIsAppliedAfterItsRequestEnded) {
  QZTest::MidiBench bench;
  const RCPtr<LMidiManager> midi = bench.CreateManager(10);
  bench.SelectPage(*midi, 0);
  std::vector<uint8_t> value{0};
  for (uint8_t round = 1; round <= 12; ++round) {
    value[0] = round;
    ASSERT_TRUE(bench.keyboard.Memory().SetParam(11, value));
    // Around the time-out: some replies come in time, some after their try, some after
    // the request gave up.
    bench.keyboard.SetFaults({.delay = std::chrono::milliseconds(round % 3 == 0 ? 35 : 8)});
    const QZ::QZResult result = midi->GetPresetFromMidiDevice(0);
    ASSERT_TRUE(result == 0 || result == -3) << result;
    const Message seen = QZTest::EngineBytes(*bench.engine, 11);
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_EQ(QZTest::EngineBytes(*bench.engine, 11), seen)
        << "a reply arriving after the request must not change the engine";
    bench.Drain();
  }
}

TEST(MidiManagerConcurrencyTest, PollingAndSendsNeverOverlap) {
  QZTest::MidiBench bench;
  QZ::Platform::Midi::VirtualMidiRegistry registry;
  auto input = registry.RegisterInput("MIDIIN3 (QUORIN 49 ZTR)");
  auto output = registry.RegisterOutput("MIDIOUT3 (QUORIN 49 ZTR)");
  QZ::MidiManagerOptions options = bench.Options();
  options.midi.backend = std::make_shared<QZ::Platform::Midi::VirtualMidiBackend>(registry);
  const RCPtr<LMidiManager> midi = LMidiManager::Create(options);
  std::atomic<int> overlaps{0};
  std::atomic<int> received{0};
  output->SetReceiver([&](std::span<const uint8_t>) {
    const uint32_t before = midi->GetPollingPassCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    overlaps += midi->GetPollingPassCount() != before ? 1 : 0;
    ++received;
  });
  EXPECT_EQ(midi->StartStatusPolling(), QZ::QZ_OK);
  bench.SelectPage(*midi, 1);
  for (int i = 0; i < 40; ++i) {
    ASSERT_EQ(midi->SendPresetToMidiDevice(-1), 16);
    bench.Drain();
  }
  EXPECT_EQ(received, 40);
  EXPECT_EQ(overlaps, 0);
  EXPECT_TRUE(midi->IsStatusPollingArmed());
}

} // namespace
