#include "Simulator/Keyboard/VirtualKeyboardTestSupport.h"

namespace {

using namespace QZTest;
using QZ::Platform::Midi::MidiDirection;
using Simulator::KeyboardFaults;
using Simulator::KeyboardMemory;
using Fault = KeyboardFaults::Reply;

Bytes StoredPreset(Simulator::VirtualKeyboard& keyboard, uint32_t slot) {
  KeyboardMemory::PresetImage image;
  EXPECT_TRUE(keyboard.Memory().GetPreset(slot, image));
  return Bytes(image.begin(), image.end());
}

Bytes PresetReply(Simulator::VirtualKeyboard& keyboard, uint8_t slot) {
  Bytes reply = KeyboardMessage({0x61, 0x01, 0x11, slot});
  const Bytes image = StoredPreset(keyboard, slot);
  reply.insert(reply.end(), image.begin(), image.end());
  reply.push_back(0xF7);
  return reply;
}

using VirtualKeyboardTest = VirtualKeyboardTestBase;

TEST_F(VirtualKeyboardTest, DecoysAreListedFirstAndNeverAnswerAPresetSentComesBack) {
  EXPECT_EQ(mBackend.ListDevices(MidiDirection::Input),
            (std::vector<std::string>{"QUORIN 49 ZTR", "MIDIIN2 (QUORIN 49 ZTR)", "MIDIIN3 (QUORIN 49 ZTR)"}));
  EXPECT_EQ(mBackend.ListDevices(MidiDirection::Output),
            (std::vector<std::string>{"QUORIN 49 ZTR", "MIDIOUT2 (QUORIN 49 ZTR)", "MIDIOUT3 (QUORIN 49 ZTR)"}));
  std::unique_ptr<QZ::Platform::Midi::MidiOutput> decoy;
  ASSERT_EQ(mBackend.OpenOutput(1, mDone, decoy), QZ::Platform::Midi::MidiResult::Ok);
  ASSERT_EQ(decoy->SendLong(GlobalRequest()), QZ::Platform::Midi::MidiResult::Ok);

  Bytes preset = KeyboardMessage({0x61, 0x01, 0x11, 0x03});
  for (uint8_t i = 0; i < KeyboardMemory::kPresetSize; ++i) {
    preset.push_back(i % 100);
  }
  preset.push_back(0xF7);
  Send(preset);
  Send(PresetRequest(3));
  EXPECT_EQ(Captured(0), preset) << "the reply carries what was stored, as it was sent";
  EXPECT_EQ(StoredPreset(mKeyboard, 3), Bytes(preset.begin() + 11, preset.end() - 1));
  EXPECT_EQ(mKeyboard.Received(), (std::vector<Bytes>{preset, PresetRequest(3)}));
  EXPECT_EQ(mRecorder->Captures().size(), 1u);
}

TEST_F(VirtualKeyboardTest, MissingShortLongWrongPageAndUnterminatedRepliesAreInjected) {
  mKeyboard.SetFaults({.reply = Fault::None});
  SendAndWait(PresetRequest(1));
  mKeyboard.SetFaults({.reply = Fault::Short});
  SendAndWait(PresetRequest(1));
  mKeyboard.SetFaults({.reply = Fault::Long});
  SendAndWait(PresetRequest(1));
  mKeyboard.SetFaults({.reply = Fault::WrongPageByte});
  SendAndWait(GlobalRequest());
  SendAndWait(PresetRequest(1));
  mKeyboard.SetFaults({.reply = Fault::NoF7});
  SendAndWait(GlobalRequest());
  mKeyboard.SetFaults({});
  SendAndWait(GlobalRequest());

  // Replies leave in order, so the first capture being the short one shows the silence.
  Bytes shortReply = PresetReply(mKeyboard, 1);
  shortReply.erase(shortReply.end() - 2);
  EXPECT_EQ(Captured(0), shortReply);
  EXPECT_EQ(Captured(0).size(), 152u);
  Bytes longReply = PresetReply(mKeyboard, 1);
  longReply.insert(longReply.end() - 1, 0x00);
  EXPECT_EQ(Captured(1), longReply);
  EXPECT_EQ(Captured(1).size(), 154u);
  const Bytes global = KeyboardMessage({0x63, 0x00, 0x08, 0x01, 0x00, 0x00, 0x00, 0x00, 0xF7});
  Bytes wrongGlobal = global;
  wrongGlobal[7] = 0x62;
  EXPECT_EQ(Captured(2), wrongGlobal);
  EXPECT_EQ(Captured(3)[7], 0x62);
  // The next reply's F0 cuts off the one without F7.
  EXPECT_EQ(Captured(4), Bytes(global.begin(), global.end() - 1));
  EXPECT_EQ(Captured(5), global);
  EXPECT_EQ(mRecorder->Captures().size(), 6u);
}

TEST_F(VirtualKeyboardTest, ALateReplyDoesNotHoldUpTheSend) {
  constexpr auto kDelay = std::chrono::milliseconds(300);
  mKeyboard.SetFaults({.delay = kDelay});
  const auto sent = std::chrono::steady_clock::now();
  Send(GlobalRequest());
  ASSERT_TRUE(mKeyboard.WaitForReceived(1, std::chrono::seconds(20)));
  EXPECT_TRUE(mRecorder->Captures().empty()) << "replied before its delay";
  ASSERT_TRUE(mRecorder->WaitFor(1));
  EXPECT_GE(std::chrono::steady_clock::now() - sent, kDelay);
}

TEST_F(VirtualKeyboardTest, UnplugMidTransferLeavesHalfAReplyAndADeadInputUntilReplugged) {
  mKeyboard.SetFaults({.unplugMidTransfer = true});
  Send(PresetRequest(0));
  ASSERT_TRUE(QZTest::WaitUntil([&] { return !mInput->IsAlive(); }));
  EXPECT_EQ(mBackend.ListDevices(MidiDirection::Input).size(), 2u);
  mInput->Reset(); // hands back the half-filled buffer
  const Bytes reply = PresetReply(mKeyboard, 0);
  EXPECT_EQ(Captured(0), Bytes(reply.begin(), reply.begin() + 76));

  mKeyboard.SetFaults({});
  mKeyboard.PlugInput();
  mKeyboard.UnplugOutput();
  EXPECT_FALSE(mOutput->IsAlive());
  mKeyboard.PlugOutput();
  OpenPorts();
  Send(PresetRequest(0));
  EXPECT_EQ(Captured(0), reply);
}

} // namespace
