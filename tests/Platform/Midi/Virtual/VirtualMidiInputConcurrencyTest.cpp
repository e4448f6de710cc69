#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "Platform/Midi/MidiTestSupport.h"
#include "Platform/Midi/Virtual/VirtualMidiBackend.h"

namespace {

using namespace QZ::Platform::Midi;
using QZTest::Bytes;
using QZTest::CaptureRecorder;

class VirtualMidiInputTest : public ::testing::Test {
protected:
  void SetUp() override {
    mKeyboard = mRegistry.RegisterInput("MIDIIN3 (QUORIN 49 ZTR)");
    ASSERT_EQ(mBackend.OpenInput(0, mRecorder, mInput), MidiResult::Ok);
  }

  void LendAndStart(bool lendAgain = true) {
    mRecorder.LendBuffers(*mInput, lendAgain);
    ASSERT_EQ(mInput->Start(), MidiResult::Ok);
  }

  void Send(const Bytes& bytes) { ASSERT_EQ(mKeyboard->Send(bytes), MidiResult::Ok); }

  // Sends a marker and returns what was captured between the previous marker and it.
  std::vector<CaptureRecorder::Capture> CapturesUpToMarker() {
    Send({0xFC});
    return mRecorder.TakeUpTo({0xFC});
  }

  static std::vector<size_t> LongSizes(const std::vector<CaptureRecorder::Capture>& captures) {
    std::vector<size_t> sizes;
    for (const auto& capture : captures) {
      if (!capture.isShort) {
        sizes.push_back(capture.bytes.size());
      }
    }
    return sizes;
  }

  QZTest::FakeClock mClock;
  VirtualMidiRegistry mRegistry;
  VirtualMidiBackend mBackend{mRegistry, mClock.Clock()};
  std::unique_ptr<VirtualMidiInputDevice> mKeyboard;
  CaptureRecorder mRecorder;
  std::unique_ptr<MidiInput> mInput;
};

TEST_F(VirtualMidiInputTest, ASysExComesBackInFullBuffersThenTheRestInOrder) {
  LendAndStart();
  const Bytes message = QZTest::SysEx(600);
  Send(message);
  ASSERT_TRUE(mRecorder.WaitFor(3));
  const auto captures = mRecorder.Captures();
  EXPECT_EQ(LongSizes(captures), (std::vector<size_t>{256, 256, 88}));
  Bytes joined;
  for (const auto& capture : captures) {
    joined.insert(joined.end(), capture.bytes.begin(), capture.bytes.end());
  }
  EXPECT_EQ(joined, message);
}

TEST_F(VirtualMidiInputTest, BuffersFillAsTheBytesArriveWhateverPiecesTheWireCarries) {
  LendAndStart();
  const Bytes message = QZTest::SysEx(600, 3);
  for (size_t offset = 0; offset < message.size(); offset += 70) {
    Send(Bytes(message.begin() + offset, message.begin() + std::min(offset + 70, message.size())));
  }
  const auto captures = CapturesUpToMarker();
  EXPECT_EQ(LongSizes(captures), (std::vector<size_t>{256, 256, 88}));
  EXPECT_EQ(captures[2].bytes, Bytes(message.begin() + 512, message.end()));
}

TEST_F(VirtualMidiInputTest, ShortMessagesComeBackOneEachStampedFromTheStart) {
  LendAndStart();
  mClock.Advance(5);
  Send({0x90, 0x3C, 0x40});
  mClock.Advance(7);
  Send({0xC0, 0x05, 0xF8});
  ASSERT_TRUE(mRecorder.WaitFor(3));
  const auto captures = mRecorder.Captures();
  ASSERT_EQ(captures.size(), 3u);
  EXPECT_TRUE(captures[0].isShort && captures[1].isShort && captures[2].isShort);
  EXPECT_EQ(captures[0].bytes, (Bytes{0x90, 0x3C, 0x40}));
  EXPECT_EQ(captures[0].timestampMs, 5u);
  EXPECT_EQ(captures[1].bytes, (Bytes{0xC0, 0x05}));
  EXPECT_EQ(captures[1].timestampMs, 12u);
  EXPECT_EQ(captures[2].bytes, (Bytes{0xF8}));
  EXPECT_EQ(captures[2].timestampMs, 12u);
}

TEST_F(VirtualMidiInputTest, RealTimeBytesAroundAndInsideSysExAreNotLost) {
  LendAndStart();
  Bytes wire = QZTest::SysEx(300);
  wire.push_back(0xF8);
  const Bytes second = QZTest::SysEx(20, 1);
  wire.insert(wire.end(), second.begin(), second.end());
  wire.push_back(0xFE);
  Bytes third = QZTest::SysEx(10, 2);
  third.insert(third.begin() + 4, 0xF8); // a clock tick inside a message stands alone
  wire.insert(wire.end(), third.begin(), third.end());
  Send(wire);

  const auto captures = CapturesUpToMarker();
  ASSERT_EQ(captures.size(), 7u);
  EXPECT_EQ(LongSizes(captures), (std::vector<size_t>{256, 44, 20, 10}));
  EXPECT_EQ(captures[2].bytes, Bytes{0xF8});
  EXPECT_EQ(captures[3].bytes, second);
  EXPECT_EQ(captures[4].bytes, Bytes{0xFE});
  EXPECT_EQ(captures[5].bytes, Bytes{0xF8});
  EXPECT_EQ(captures[6].bytes, QZTest::SysEx(10, 2));
}

TEST_F(VirtualMidiInputTest, ASysExCutOffByAStatusByteComesBackAsFarAsItGot) {
  LendAndStart();
  Send({0xF0, 0x00, 0x7F, 0x7D, 0x90, 0x3C, 0x40});
  const auto captures = CapturesUpToMarker();
  ASSERT_EQ(captures.size(), 2u);
  EXPECT_EQ(captures[0].bytes, (Bytes{0xF0, 0x00, 0x7F, 0x7D}));
  EXPECT_FALSE(captures[0].isShort);
  EXPECT_EQ(captures[1].bytes, (Bytes{0x90, 0x3C, 0x40}));
}

TEST_F(VirtualMidiInputTest, AnEmptyBufferEndsOnlyASysExCutOffAtTheEndOfABuffer) {
  LendAndStart();
  Bytes cut = QZTest::SysEx(513);
  cut.pop_back();
  struct Case {
    Bytes wire;
    std::vector<size_t> sizes;
  };
  std::vector<Case> cases = {
      {cut, {256, 256, 0}},             // then cut off by a note-on
      {cut, {256, 256, 0, 10}},         // then cut off by the next message
      {QZTest::SysEx(512), {256, 256}}, // its F7 shows where it ends
      {Bytes(cut.begin(), cut.begin() + 200), {200}},
  };
  cases[0].wire.insert(cases[0].wire.end(), {0x90, 0x3C, 0x40});
  const Bytes next = QZTest::SysEx(10, 1);
  cases[1].wire.insert(cases[1].wire.end(), next.begin(), next.end());
  cases[3].wire.push_back(0x90);
  for (const Case& c : cases) {
    Send(c.wire);
    EXPECT_EQ(LongSizes(CapturesUpToMarker()), c.sizes) << c.wire.size();
  }
}

TEST_F(VirtualMidiInputTest, NothingIsCapturedBeforeStartAndAfterStop) {
  mRecorder.LendBuffers(*mInput);
  Send({0x90, 0x3C, 0x40});
  Send(QZTest::SysEx(20));
  ASSERT_EQ(mInput->Start(), MidiResult::Ok);
  EXPECT_TRUE(CapturesUpToMarker().empty());

  Send({0xF0, 0x01, 0x02}); // under way when capture stops
  mInput->Stop();
  EXPECT_EQ(LongSizes(mRecorder.Captures()), (std::vector<size_t>{3})) << "the partly filled buffer comes back";

  Send({0x03, 0xF7, 0x80, 0x3C, 0x00}); // the rest of that message, then a note-off
  ASSERT_EQ(mInput->Start(), MidiResult::Ok);
  const auto captures = CapturesUpToMarker();
  ASSERT_EQ(captures.size(), 1u) << "only what Stop handed back";
  EXPECT_EQ(captures[0].bytes, (Bytes{0xF0, 0x01, 0x02}));
}

TEST_F(VirtualMidiInputTest, ResetHandsBackEveryLentBuffer) {
  LendAndStart(false);
  Send({0xF0, 0x01});
  mInput->Reset();
  const auto captures = mRecorder.Captures();
  ASSERT_EQ(LongSizes(captures), (std::vector<size_t>{2, 0, 0}));
  Send({0x90, 0x3C, 0x40});
  Send(QZTest::SysEx(8));
  ASSERT_EQ(mInput->Start(), MidiResult::Ok);
  EXPECT_EQ(CapturesUpToMarker().size(), 3u) << "reset also stops: nothing came in between";
}

TEST_F(VirtualMidiInputTest, WithoutALentBufferASysExIsLostButShortMessagesAreNot) {
  LendAndStart(false);
  Send(QZTest::SysEx(800)); // needs four buffers, three are lent
  Send({0x90, 0x3C, 0x40});
  auto captures = CapturesUpToMarker();
  EXPECT_EQ(LongSizes(captures), (std::vector<size_t>{256, 256, 256}));
  EXPECT_EQ(captures.back().bytes, (Bytes{0x90, 0x3C, 0x40}));

  MidiCaptureBuffer buffer;
  ASSERT_EQ(mInput->AddBuffer(buffer), MidiResult::Ok);
  EXPECT_EQ(mInput->AddBuffer(buffer), MidiResult::BufferAlreadyAdded);
  Send(QZTest::SysEx(30));
  captures = CapturesUpToMarker();
  EXPECT_EQ(captures.back().bytes, QZTest::SysEx(30)) << "the next message starts in a fresh buffer";
}

TEST_F(VirtualMidiInputTest, UnpluggingKillsThePortForGoodAndAReopenCapturesAgain) {
  LendAndStart();
  EXPECT_TRUE(mInput->IsAlive());
  mKeyboard->Unplug();
  EXPECT_FALSE(mInput->IsAlive());
  EXPECT_EQ(mKeyboard->Send(Bytes{0x90, 0x3C, 0x40}), MidiResult::DeviceGone);
  EXPECT_TRUE(mBackend.ListDevices(MidiDirection::Input).empty());
  EXPECT_EQ(mInput->Start(), MidiResult::DeviceGone);

  mKeyboard->Plug();
  EXPECT_FALSE(mInput->IsAlive()) << "a port lives as long as its connection";
  Send({0x90, 0x3C, 0x40}); // reaches no dead port

  CaptureRecorder reopened;
  std::unique_ptr<MidiInput> input;
  ASSERT_EQ(mBackend.OpenInput(0, reopened, input), MidiResult::Ok);
  EXPECT_TRUE(input->IsAlive());
  reopened.LendBuffers(*input);
  ASSERT_EQ(input->Start(), MidiResult::Ok);
  Send(QZTest::SysEx(12));
  ASSERT_TRUE(reopened.WaitFor(1));
  EXPECT_EQ(reopened.Captures()[0].bytes, QZTest::SysEx(12));
  mInput->Stop(); // whatever reached the dead port has been handled by now
  EXPECT_TRUE(mRecorder.Captures().empty());
}

TEST_F(VirtualMidiInputTest, EveryInputOpenOnADeviceCapturesIt) {
  CaptureRecorder second;
  std::unique_ptr<MidiInput> input;
  ASSERT_EQ(mBackend.OpenInput(0, second, input), MidiResult::Ok);
  LendAndStart();
  second.LendBuffers(*input);
  ASSERT_EQ(input->Start(), MidiResult::Ok);
  Send({0xB0, 0x07, 0x64});
  ASSERT_TRUE(mRecorder.WaitFor(1));
  ASSERT_TRUE(second.WaitFor(1));
  EXPECT_EQ(second.Captures()[0].bytes, mRecorder.Captures()[0].bytes);
}

TEST(VirtualMidiRegistryTest, DevicesAreListedInRegistrationOrderWhilePluggedAndGoneWhenReleased) {
  VirtualMidiRegistry registry;
  VirtualMidiBackend backend(registry);
  auto first = registry.RegisterInput("X");
  auto output = registry.RegisterOutput("Y");
  auto second = registry.RegisterInput("X");
  auto third = registry.RegisterInput("Z");
  EXPECT_EQ(backend.ListDevices(MidiDirection::Input), (std::vector<std::string>{"X", "X", "Z"}));
  EXPECT_EQ(backend.ListDevices(MidiDirection::Output), (std::vector<std::string>{"Y"}));

  // Index 1 is the second "X": it captures what that device sends, not the first.
  CaptureRecorder recorder;
  std::unique_ptr<MidiInput> input;
  ASSERT_EQ(backend.OpenInput(1, recorder, input), MidiResult::Ok);
  recorder.LendBuffers(*input);
  ASSERT_EQ(input->Start(), MidiResult::Ok);
  ASSERT_EQ(first->Send(Bytes{0x90, 0x01, 0x01}), MidiResult::Ok);
  ASSERT_EQ(second->Send(Bytes{0x90, 0x02, 0x02}), MidiResult::Ok);
  ASSERT_TRUE(recorder.WaitFor(1));
  EXPECT_EQ(recorder.Captures()[0].bytes, (Bytes{0x90, 0x02, 0x02}));

  first->Unplug();
  EXPECT_EQ(backend.ListDevices(MidiDirection::Input), (std::vector<std::string>{"X", "Z"}));
  EXPECT_TRUE(input->IsAlive());
  first->Plug();
  EXPECT_EQ(backend.ListDevices(MidiDirection::Input), (std::vector<std::string>{"X", "X", "Z"}));

  second.reset();
  EXPECT_EQ(backend.ListDevices(MidiDirection::Input), (std::vector<std::string>{"X", "Z"}));
  EXPECT_FALSE(input->IsAlive()) << "a released device is gone for its open ports";
  std::unique_ptr<MidiInput> none;
  EXPECT_EQ(backend.OpenInput(2, recorder, none), MidiResult::NoSuchDevice);
  EXPECT_EQ(none, nullptr);
}

} // namespace
