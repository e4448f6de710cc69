// Capture over virtual devices: system-exclusive pieces joined, short messages, the
// delivery thread, the size limit, replugging, filters and the attached centre.

#include <gtest/gtest.h>

#include <random>

#include "QZFramework/Services/Midi/MidiPortTestSupport.h"
#include "Support/TestSeed.h"

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
      EXPECT_EQ(mKeys->Send(message), Platform::Midi::MidiResult::Ok);
    }
    EXPECT_EQ(mKeys->Send(QZTest::kMarker), Platform::Midi::MidiResult::Ok);
    std::vector<Bytes> captured;
    for (const QZTest::CapturedMessage& capture : mClient->TakeUpTo()) {
      captured.push_back(capture.bytes);
    }
    return captured;
  }

  std::unique_ptr<Platform::Midi::VirtualMidiInputDevice> mKeys = mRegistry.RegisterInput("IN");
  RCPtr<LMidiCapturePort> mPort;
  RCPtr<QZTest::CaptureClient> mClient;
};

TEST_F(MidiCaptureTest, ASysExInSeveralBuffersAndShortMessagesArriveWholeOnTheDeliveryThread) {
  const Bytes sysEx = QZTest::SysEx(600);
  EXPECT_EQ(mKeys->Send(sysEx), Platform::Midi::MidiResult::Ok);
  mClock.Advance(25);
  const std::vector<Bytes> messages = {
      sysEx, {0x90, 0x3C, 0x40}, {0xC0, 0x05}, {0xF8}, {0xF2, 0x10, 0x20}, {0xF1, 0x10}, {0xF4}, {0xF5}};
  for (size_t i = 1; i < messages.size(); ++i) {
    EXPECT_EQ(mKeys->Send(messages[i]), Platform::Midi::MidiResult::Ok);
  }
  EXPECT_EQ(mKeys->Send(QZTest::kMarker), Platform::Midi::MidiResult::Ok);
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

std::vector<size_t> Sizes(const std::vector<Bytes>& messages) {
  std::vector<size_t> sizes;
  for (const Bytes& message : messages) {
    sizes.push_back(message.size());
  }
  return sizes;
}

// A system-exclusive message cut off without F7 after `length` bytes, then what cuts it
// off (the next message's F0, or a note-on), put on the wire whole, in 3-byte pieces or in
// random pieces with clock bytes between them. The cut message arrives alone and whole,
// however its length meets the 256-byte buffers, also when the size limit leaves no room
// for the two together.
TEST_F(MidiCaptureTest, ASysExCutOffWithoutF7ArrivesAloneWhereverTheCutFalls) {
  const QZTest::TestSeed seed;
  std::mt19937_64 random(seed.value);
  enum class Feed { Whole, ThreeBytes, RandomWithClock };
  const Bytes next = QZTest::SysEx(291, 5);
  const Bytes noteOn = {0x90, 0x3C, 0x40};

  int run = 0;
  for (const uint32_t limit : {65536u, 520u}) {
    QZ::MidiCommOptions options;
    options.backend = std::make_shared<Platform::Midi::VirtualMidiBackend>(mRegistry, mClock.Clock());
    options.maxSysExBytes = limit;
    const RCPtr<LMidiCommInterface> comm = LMidiCommInterface::Create(options);
    const auto keys = mRegistry.RegisterInput("CUT" + std::to_string(limit));
    RCPtr<LMidiCapturePort> port;
    ASSERT_TRUE(comm->OpenCapturePort(WString(("CUT" + std::to_string(limit)).c_str()), port));
    const RCPtr<QZTest::CaptureClient> client(new QZTest::CaptureClient);
    client->RegisterNotification(comm, kMidiDataCapturedName);

    for (const size_t length : {256u, 512u, 200u}) {
      Bytes cut = QZTest::SysEx(length + 1, uint8_t(length));
      cut.pop_back();
      for (const bool byNextSysEx : {true, false}) {
        for (const Feed feed : {Feed::Whole, Feed::ThreeBytes, Feed::RandomWithClock}) {
          const std::string scenario = "limit " + std::to_string(limit) + ", cut at " + std::to_string(length) +
                                       (byNextSysEx ? " by F0" : " by a note-on") + ", feed " +
                                       std::to_string(int(feed)) + ", run " + std::to_string(run++);
          Bytes wire = cut;
          const Bytes& after = byNextSysEx ? next : noteOn;
          wire.insert(wire.end(), after.begin(), after.end());
          size_t clocks = 0;
          for (size_t at = 0; at < wire.size();) {
            size_t piece = wire.size();
            if (feed == Feed::ThreeBytes) {
              piece = 3;
            } else if (feed == Feed::RandomWithClock) {
              piece = 1 + random() % 300;
            }
            piece = std::min(piece, wire.size() - at);
            ASSERT_EQ(keys->Send(Bytes(wire.begin() + long(at), wire.begin() + long(at + piece))),
                      Platform::Midi::MidiResult::Ok);
            at += piece;
            if (feed == Feed::RandomWithClock && random() % 2 == 0) {
              ASSERT_EQ(keys->Send(Bytes{0xF8}), Platform::Midi::MidiResult::Ok);
              ++clocks;
            }
          }
          EXPECT_EQ(keys->Send(QZTest::kMarker), Platform::Midi::MidiResult::Ok);

          std::vector<Bytes> sysEx;
          size_t shorts = 0;
          for (const QZTest::CapturedMessage& capture : client->TakeUpTo()) {
            if (capture.bytes.front() == 0xF0) {
              sysEx.push_back(capture.bytes);
            } else {
              ++shorts;
            }
          }
          const std::vector<Bytes> expected = byNextSysEx ? std::vector<Bytes>{cut, next} : std::vector<Bytes>{cut};
          EXPECT_EQ(Sizes(sysEx), Sizes(expected)) << scenario;
          EXPECT_TRUE(sysEx == expected) << scenario;
          EXPECT_EQ(shorts, clocks + (byNextSysEx ? 0 : 1)) << scenario;
        }
      }
    }
  }
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
  EXPECT_EQ(mComm->SetMidiFilter(filtered.Get(), filter), QZ::QZ_OK);
  EXPECT_EQ(Play({{0x90, 0x3C, 0x40}, QZTest::SysEx(10), QZTest::SysEx(20)}).size(), 3u);
  const auto passed = filtered->TakeUpTo(QZTest::SysEx(20));
  ASSERT_EQ(passed.size(), 1u);
  EXPECT_EQ(passed[0].bytes, QZTest::SysEx(10));

  RCPtr<LIMidiFilter> found;
  EXPECT_EQ(mComm->GetMidiFilter(found, filtered.Get()), filter);
  EXPECT_EQ(mComm->SetMidiFilter(filtered.Get(), nullptr), QZ::QZ_OK);
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
