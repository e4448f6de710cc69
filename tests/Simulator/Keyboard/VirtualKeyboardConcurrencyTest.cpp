#include <atomic>
#include <thread>

#include "Simulator/Keyboard/VirtualKeyboardTestSupport.h"

namespace {

using namespace QZTest;
using QZ::Platform::Midi::MidiDirection;
using QZ::Platform::Midi::MidiResult;
using Simulator::KeyboardFaults;
using Simulator::KeyboardMemory;

constexpr size_t kSenders = 4;
constexpr size_t kRounds = 40;

Bytes PresetMessage(uint8_t slot, uint8_t seed) {
  Bytes message = KeyboardMessage({0x61, 0x01, 0x11, slot});
  for (size_t i = 0; i < KeyboardMemory::kPresetSize; ++i) {
    message.push_back(static_cast<uint8_t>((i + seed) & 0x7F));
  }
  message.push_back(0xF7);
  return message;
}

using VirtualKeyboardConcurrencyTest = VirtualKeyboardTestBase;

TEST_F(VirtualKeyboardConcurrencyTest, RequestsFromSeveralThreadsWhileFaultsAndPlugsChange) {
  std::atomic<bool> sending{true};
  std::thread faults([&] {
    using Fault = KeyboardFaults::Reply;
    const Fault kinds[] = {Fault::Normal, Fault::None, Fault::Short, Fault::WrongPageByte};
    for (uint8_t round = 0; sending; ++round) {
      mKeyboard.SetFaults({.reply = kinds[round % 4], .delay = std::chrono::milliseconds(round % 2)});
      mKeyboard.SetFirmwareVersion({1, 0, static_cast<uint8_t>(round & 0x7F), 0});
      if (round % 8 == 0) {
        mKeyboard.UnplugInput();
        mKeyboard.PlugInput();
      }
      std::this_thread::yield();
    }
  });
  std::vector<std::thread> senders;
  for (size_t sender = 0; sender < kSenders; ++sender) {
    senders.emplace_back([&, sender] {
      DoneCounter done;
      std::unique_ptr<QZ::Platform::Midi::MidiOutput> output;
      ASSERT_EQ(mBackend.OpenOutput(IndexOf(mBackend, MidiDirection::Output, "MIDIOUT3 (QUORIN 49 ZTR)"), done, output),
                MidiResult::Ok);
      const uint8_t slot = static_cast<uint8_t>(sender + 1);
      for (size_t round = 0; round < kRounds; ++round) {
        EXPECT_EQ(output->SendLong(PresetMessage(slot, static_cast<uint8_t>(round))), MidiResult::Ok);
        EXPECT_EQ(output->SendLong(PresetRequest(slot)), MidiResult::Ok);
      }
      EXPECT_TRUE(done.WaitFor(2 * kRounds));
    });
  }
  for (std::thread& sender : senders) {
    sender.join();
  }
  sending = false;
  faults.join();

  ASSERT_TRUE(mKeyboard.WaitForReceived(2 * kSenders * kRounds, std::chrono::seconds(20)));
  EXPECT_EQ(mKeyboard.Received().size(), 2 * kSenders * kRounds);
  for (uint8_t slot = 1; slot <= kSenders; ++slot) {
    KeyboardMemory::PresetImage image;
    ASSERT_TRUE(mKeyboard.Memory().GetPreset(slot, image));
    const Bytes last = PresetMessage(slot, kRounds - 1);
    EXPECT_EQ(Bytes(image.begin(), image.end()), Bytes(last.begin() + 11, last.end() - 1)) << "slot " << int(slot);
  }
  for (const auto& capture : mRecorder->Captures()) {
    ASSERT_GE(capture.bytes.size(), 152u);
    EXPECT_TRUE(std::equal(kKeyboardHeader.begin(), kKeyboardHeader.end(), capture.bytes.begin()));
    EXPECT_EQ(capture.bytes.back(), 0xF7);
  }

  // Unplugs may have killed the port: the keyboard still answers a reopened one, after
  // the replies still under way.
  mKeyboard.SetFaults({});
  OpenPorts();
  Send(GlobalRequest());
  EXPECT_TRUE(QZTest::WaitUntil([&] {
    const auto captures = mRecorder->Captures();
    return !captures.empty() && captures.back().bytes.size() == 16;
  }));
}

TEST(VirtualKeyboardTeardownTest, ALateReplyDoesNotHoldUpTheKeyboardsEnd) {
  QZ::Platform::Midi::VirtualMidiRegistry registry;
  auto keyboard = std::make_unique<Simulator::VirtualKeyboard>(QZ::kDeviceModel61Keys, registry);
  keyboard->SetFaults({.delay = std::chrono::hours(1)});
  QZ::Platform::Midi::VirtualMidiBackend backend(registry);
  DoneCounter done;
  std::unique_ptr<QZ::Platform::Midi::MidiOutput> output;
  ASSERT_EQ(backend.OpenOutput(IndexOf(backend, MidiDirection::Output, "MIDIOUT3 (QUORIN 61 ZTR)"), done, output),
            MidiResult::Ok);
  ASSERT_EQ(output->SendLong(Bytes{0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7}), MidiResult::Ok);
  ASSERT_TRUE(keyboard->WaitForReceived(1, std::chrono::seconds(20)));

  const auto start = std::chrono::steady_clock::now();
  keyboard.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(registry.ListDevices(MidiDirection::Output).empty());
  EXPECT_FALSE(output->IsAlive());
}

} // namespace
