// Capture over virtual devices: system-exclusive pieces joined, short messages, the
// delivery thread, the size limit, replugging, filters and the attached centre.

#include <gtest/gtest.h>

#include "QZFramework/Services/Midi/MidiPortTestSupport.h"

namespace {

using namespace QZ;
using QZTest::Bytes;

class MidiCaptureTest : public QZTest::MidiPortTest {
protected:
  void SetUp() override {
    MidiPortTest::SetUp();
    mPort = OpenCapture(u"IN");
    ASSERT_TRUE(mPort);
    mClient = Listen();
  }

  // Plays the messages and a marker; the bytes captured before the marker.
  std::vector<Bytes> Play(const std::vector<Bytes>& messages) {
    for (const Bytes& message : messages) {
      mKeys->Send(message);
    }
    mKeys->Send(QZTest::kMarker);
    std::vector<Bytes> captured;
    for (const QZTest::CapturedMessage& capture : mClient->TakeUpTo()) {
      captured.push_back(capture.bytes);
    }
    return captured;
  }

  std::unique_ptr<Platform::VirtualMidiInputDevice> mKeys = mRegistry.RegisterInput("IN");
  RCPtr<LMidiCapturePort> mPort;
  RCPtr<QZTest::CaptureClient> mClient;
};

TEST_F(MidiCaptureTest, ASysExInSeveralBuffersAndShortMessagesArriveWholeOnTheDeliveryThread) {
  const Bytes sysEx = QZTest::SysEx(600);
  mKeys->Send(sysEx);
  mClock.Advance(25);
  const std::vector<Bytes> messages = {sysEx, {0x90, 0x3C, 0x40}, {0xC0, 0x05}, {0xF8}, {0xF2, 0x10, 0x20}};
  for (size_t i = 1; i < messages.size(); ++i) {
    mKeys->Send(messages[i]);
  }
  mKeys->Send(QZTest::kMarker);
  const std::vector<QZTest::CapturedMessage> captures = mClient->TakeUpTo();
  ASSERT_EQ(captures.size(), messages.size());
  for (size_t i = 0; i < captures.size(); ++i) {
    EXPECT_EQ(captures[i].bytes, messages[i]) << i;
    EXPECT_EQ(captures[i].timestampMs, i == 0 ? 0u : 25u) << i;
    EXPECT_EQ(captures[i].source, mPort.Get());
    EXPECT_EQ(captures[i].threadName, "LMidiComm") << "the pool's worker";
  }
}

TEST_F(MidiCaptureTest, ASysExThatOutgrowsTheLimitIsDroppedWithItsRest) {
  const Bytes limit = QZTest::SysEx(65536);
  EXPECT_EQ(Play({limit, QZTest::SysEx(65536 + 300), QZTest::SysEx(10)}),
            (std::vector<Bytes>{limit, QZTest::SysEx(10)}))
      << "its last piece, not starting with F0, is dropped too";
}

TEST_F(MidiCaptureTest, APortOpenedAgainAfterItsDeviceCameBackCapturesAgain) {
  mKeys->Unplug();
  mKeys->Plug();
  EXPECT_EQ(OpenCapture(u"IN"), mPort);
  EXPECT_EQ(Play({{0x90, 0x3C, 0x40}}), (std::vector<Bytes>{{0x90, 0x3C, 0x40}}));
}

class SysExOnly final : public LIMidiFilter {
public:
  bool Accepts(const signed char* bytes, uint32_t count) override { return count != 0 && uint8_t(bytes[0]) == 0xF0; }
};

TEST_F(MidiCaptureTest, AClientWithAFilterGetsOnlyWhatItAccepts) {
  const RCPtr<QZTest::CaptureClient> filtered = Listen();
  const RCPtr<LIMidiFilter> filter(new SysExOnly);
  mComm->SetMidiFilter(filtered.Get(), filter);
  EXPECT_EQ(Play({{0x90, 0x3C, 0x40}, QZTest::SysEx(10), QZTest::SysEx(20)}).size(), 3u);
  const auto passed = filtered->TakeUpTo(QZTest::SysEx(20));
  ASSERT_EQ(passed.size(), 1u);
  EXPECT_EQ(passed[0].bytes, QZTest::SysEx(10));

  RCPtr<LIMidiFilter> found;
  EXPECT_EQ(mComm->GetMidiFilter(found, filtered.Get()), filter);
  mComm->SetMidiFilter(filtered.Get(), nullptr);
  EXPECT_FALSE(mComm->GetMidiFilter(found, filtered.Get()));
}

TEST_F(MidiCaptureTest, CapturesArePostedToTheAttachedCentre) {
  const RCPtr<LNotificationCenter> centre = LNotificationCenter::CreateNotificationCenter(WString(u"application"));
  mComm->AttachNotificationCenter(centre);
  const RCPtr<QZTest::CaptureClient> mainThread(new QZTest::CaptureClient);
  mainThread->RegisterNotification(centre, kMidiDataCapturedName);
  EXPECT_EQ(Play({{0xC0, 0x05}}).size(), 1u);
  EXPECT_FALSE(centre->ProcessNotifications(false));
  const auto posted = mainThread->TakeUpTo();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].bytes, (Bytes{0xC0, 0x05}));
  mComm->AttachNotificationCenter(nullptr);
}

} // namespace
