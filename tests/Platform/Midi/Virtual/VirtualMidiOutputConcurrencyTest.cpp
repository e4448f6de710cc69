#include <gtest/gtest.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"

namespace {

using namespace QZ::Platform::Midi;
using QZTest::Bytes;
using QZTest::Short;

class VirtualMidiOutputTest : public ::testing::Test {
protected:
  void SetUp() override {
    mKeyboard = mRegistry.RegisterOutput("MIDIOUT3 (QUORIN 49 ZTR)");
    mKeyboard->SetReceiver(mInbox.Receiver());
    ASSERT_EQ(mBackend.OpenOutput(0, mDone, mOutput), MidiResult::Ok);
  }

  VirtualMidiRegistry mRegistry;
  VirtualMidiBackend mBackend{mRegistry};
  std::unique_ptr<VirtualMidiOutputDevice> mKeyboard;
  QZTest::PeerInbox mInbox;
  QZTest::DoneCounter mDone;
  std::unique_ptr<MidiOutput> mOutput;
};

TEST_F(VirtualMidiOutputTest, ThePeerReceivesExactlyTheBytesSentInOrderAndEachLongSendIsDoneOnce) {
  const Bytes sysEx = {0xF0, 0x00, 0x7F, 0x7D, 0x7F, 0x00, 0x02, 0x01, 0x10, 0xF7};
  EXPECT_EQ(mOutput->SendShort(Short({0x90, 0x3C, 0x40})), MidiResult::Ok);
  EXPECT_EQ(mOutput->SendLong(sysEx), MidiResult::Ok);
  EXPECT_EQ(mOutput->SendShort(Short({0xF8})), MidiResult::Ok);
  EXPECT_EQ(mOutput->SendLong(QZTest::SysEx(600)), MidiResult::Ok);
  ASSERT_TRUE(mInbox.WaitFor(4));
  EXPECT_EQ(mInbox.Messages(), (std::vector<Bytes>{{0x90, 0x3C, 0x40}, sysEx, {0xF8}, QZTest::SysEx(600)}));
  ASSERT_TRUE(mDone.WaitFor(2));
  mOutput.reset(); // closing waits for the port's thread
  EXPECT_EQ(mDone.Count(), 2);
}

TEST_F(VirtualMidiOutputTest, MalformedMessagesAreRefusedAndNeverReported) {
  EXPECT_EQ(mOutput->SendShort(Short({})), MidiResult::InvalidMessage);
  EXPECT_EQ(mOutput->SendShort(Short({0x3C, 0x40})), MidiResult::InvalidMessage);
  EXPECT_EQ(mOutput->SendShort(Short({0xF0, 0x01, 0xF7})), MidiResult::InvalidMessage);
  QZ::Platform::Midi::MidiShortMessage tooLong = Short({0x90, 0x3C, 0x40});
  tooLong.size = 4;
  EXPECT_EQ(mOutput->SendShort(tooLong), MidiResult::InvalidMessage);
  EXPECT_EQ(mOutput->SendLong({}), MidiResult::InvalidMessage);
  mOutput.reset();
  EXPECT_EQ(mDone.Count(), 0);
  EXPECT_TRUE(mInbox.Messages().empty());
}

TEST_F(VirtualMidiOutputTest, SendsToAnUnpluggedDeviceFailAndAReopenAfterReplugWorks) {
  mKeyboard->Unplug();
  EXPECT_FALSE(mOutput->IsAlive());
  EXPECT_EQ(mOutput->SendShort(Short({0x90, 0x3C, 0x40})), MidiResult::DeviceGone);
  EXPECT_EQ(mOutput->SendLong(QZTest::SysEx(10)), MidiResult::DeviceGone);
  std::unique_ptr<MidiOutput> none;
  EXPECT_EQ(mBackend.OpenOutput(0, mDone, none), MidiResult::NoSuchDevice);

  mKeyboard->Plug();
  EXPECT_FALSE(mOutput->IsAlive());
  EXPECT_EQ(mOutput->SendShort(Short({0x90, 0x3C, 0x40})), MidiResult::DeviceGone);
  std::unique_ptr<MidiOutput> reopened;
  ASSERT_EQ(mBackend.OpenOutput(0, mDone, reopened), MidiResult::Ok);
  EXPECT_TRUE(reopened->IsAlive());
  EXPECT_EQ(reopened->SendLong(QZTest::SysEx(10)), MidiResult::Ok);
  ASSERT_TRUE(mInbox.WaitFor(1));
  EXPECT_EQ(mInbox.Messages(), (std::vector<Bytes>{QZTest::SysEx(10)}));
  EXPECT_TRUE(mDone.WaitFor(1));
}

TEST_F(VirtualMidiOutputTest, MessagesQueuedWhenTheDeviceIsUnpluggedAreDroppedYetReportedDone) {
  std::mutex mutex;
  std::condition_variable changed;
  bool receiving = false;
  bool release = false;
  std::vector<Bytes> received;
  mKeyboard->SetReceiver([&](std::span<const uint8_t> message) {
    std::unique_lock lock(mutex);
    received.emplace_back(message.begin(), message.end());
    receiving = true;
    changed.notify_all();
    changed.wait(lock, [&] { return release; });
  });

  ASSERT_EQ(mOutput->SendLong(QZTest::SysEx(10, 1)), MidiResult::Ok);
  {
    std::unique_lock lock(mutex);
    ASSERT_TRUE(QZTest::WaitUntil(lock, changed, [&] { return receiving; }));
  }
  ASSERT_EQ(mOutput->SendLong(QZTest::SysEx(10, 2)), MidiResult::Ok);
  ASSERT_EQ(mOutput->SendLong(QZTest::SysEx(10, 3)), MidiResult::Ok);
  mKeyboard->Unplug(); // mid-transfer
  {
    std::lock_guard lock(mutex);
    release = true;
  }
  changed.notify_all();
  ASSERT_TRUE(mDone.WaitFor(3));
  std::lock_guard lock(mutex);
  EXPECT_EQ(received, (std::vector<Bytes>{QZTest::SysEx(10, 1)}));
}

TEST_F(VirtualMidiOutputTest, ResetAndClosingReturnOnlyOnceEveryAcceptedMessageIsReported) {
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(mOutput->SendLong(QZTest::SysEx(100)), MidiResult::Ok);
  }
  mOutput->Reset();
  EXPECT_EQ(mDone.Count(), 20);
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(mOutput->SendLong(QZTest::SysEx(100)), MidiResult::Ok);
  }
  mOutput.reset();
  EXPECT_EQ(mDone.Count(), 25);
}

TEST_F(VirtualMidiOutputTest, ConcurrentSendersEachKeepTheirOrderAndEveryMessageArrives) {
  constexpr int kSenders = 4;
  constexpr int kMessages = 200;
  std::vector<std::thread> senders;
  for (int sender = 0; sender < kSenders; ++sender) {
    senders.emplace_back([&, sender] {
      for (int i = 0; i < kMessages; ++i) {
        const Bytes message = {0xF0, static_cast<uint8_t>(sender), static_cast<uint8_t>(i & 0x7F),
                               static_cast<uint8_t>(i >> 7), 0xF7};
        EXPECT_EQ(mOutput->SendLong(message), MidiResult::Ok);
        EXPECT_EQ(mOutput->SendShort(Short({static_cast<uint8_t>(0x90 | sender), 0x3C, 0x40})), MidiResult::Ok);
      }
    });
  }
  for (auto& sender : senders) {
    sender.join();
  }
  ASSERT_TRUE(mInbox.WaitFor(kSenders * kMessages * 2));
  ASSERT_TRUE(mDone.WaitFor(kSenders * kMessages));
  std::vector<int> next(kSenders, 0);
  for (const Bytes& message : mInbox.Messages()) {
    if (message.front() == 0xF0) {
      const int sender = message[1];
      EXPECT_EQ(message[2] | (message[3] << 7), next[sender]++) << "sender " << sender;
    }
  }
  EXPECT_EQ(next, std::vector<int>(kSenders, kMessages));
}

} // namespace
