// Opening and sending over virtual devices.

#include <gtest/gtest.h>

#include <cstring>

#include "QZFramework/Services/Midi/MidiPortTestSupport.h"
#include "QZFramework/Utilities/Storage/Array.h"

namespace {

using namespace QZ;
using QZTest::Bytes;

class MidiCommTest : public QZTest::MidiPortTest {};

TEST_F(MidiCommTest, TwoInputsOfOneNameAreNumberedAndTheSecondNumberOpensTheSecond) {
  auto first = mRegistry.RegisterInput("X");
  auto second = mRegistry.RegisterInput("X");
  WStringArray names;
  mComm->EnumerateCaptureDevices(names);
  ASSERT_EQ(names.GetCount(), 2u);
  EXPECT_EQ(names.GetAt(0), WString(u"X (1)"));
  EXPECT_EQ(names.GetAt(1), WString(u"X (2)"));

  const RCPtr<LMidiCapturePort> port = OpenCapture(u"X (2)");
  ASSERT_TRUE(port);
  first->Unplug();
  EXPECT_TRUE(port->IsAlive());
  second->Unplug();
  EXPECT_FALSE(port->IsAlive());
}

TEST_F(MidiCommTest, TheKeyboardsThirdPortIsFoundAmongItsDecoysAndOpensOnce) {
  std::vector<std::unique_ptr<Platform::VirtualMidiDevice>> devices;
  for (const char* name : {"QUORIN 49 ZTR", "MIDIIN2 (QUORIN 49 ZTR)", "MIDIIN3 (QUORIN 49 ZTR)"}) {
    devices.push_back(mRegistry.RegisterInput(name));
  }
  for (const char* name : {"QUORIN 49 ZTR", "MIDIOUT2 (QUORIN 49 ZTR)", "MIDIOUT3 (QUORIN 49 ZTR)"}) {
    devices.push_back(mRegistry.RegisterOutput(name));
  }

  const RCPtr<LMidiCapturePort> input = OpenCapture(u"MIDIIN3 (QUORIN 49 ZTR)");
  ASSERT_TRUE(input);
  EXPECT_EQ(input->GetDeviceName(), WString(u"MIDIIN3 (QUORIN 49 ZTR)"));
  EXPECT_EQ(OpenCapture(u"midiin3 (quorin 49 ztr)"), input);
  EXPECT_FALSE(OpenCapture(u"49 ZTR")) << "contained in three names, equal to none";

  const RCPtr<LMidiRenderPort> output = OpenRender(u"MIDIOUT3 (QUORIN 49 ZTR)");
  ASSERT_TRUE(output);
  EXPECT_EQ(output->GetDeviceName(), WString(u"MIDIOUT3 (QUORIN 49 ZTR)"));
  EXPECT_EQ(OpenRender(u"MIDIOUT3 (QUORIN 49 ZTR)"), output);
  EXPECT_FALSE(OpenRender(u"49 ZTR"));
  EXPECT_EQ(OpenRender(u"QUORIN 49 ZTR")->GetDeviceName(), WString(u"QUORIN 49 ZTR"));
}

TEST_F(MidiCommTest, APortLetGoLeavesTheCommunicatorAndIsDestroyed) {
  auto device = mRegistry.RegisterInput("K");
  RCPtr<LMidiCapturePort> port = OpenCapture(u"K");
  ASSERT_TRUE(port);
  EXPECT_EQ(port->GetRefCount(), 2) << "the caller and the communicator's list";
  EXPECT_EQ(port->GetInternalRefCount(), 1);
  EXPECT_EQ(mComm->GetRefCount(), 2) << "the test and the port";
  port = nullptr;
  EXPECT_EQ(mComm->GetRefCount(), 1);
  EXPECT_TRUE(OpenCapture(u"K"));
}

TEST_F(MidiCommTest, SendsReturnTheBytesSentAndTheDeviceReceivesExactlyThose) {
  auto device = mRegistry.RegisterOutput("OUT");
  QZTest::PeerInbox inbox;
  device->SetReceiver(inbox.Receiver());
  const RCPtr<LMidiRenderPort> port = OpenRender(u"OUT");
  ASSERT_TRUE(port);

  const struct {
    Bytes bytes;
    QZResult result;
    Bytes received;
  } cases[] = {
      {{0x90, 0x3C, 0x40}, 3, {0x90, 0x3C, 0x40}}, {{0xC0, 0x05, 0x7F}, 2, {0xC0, 0x05}}, {{0xF8}, 1, {0xF8}},
      {QZTest::SysEx(10), 10, QZTest::SysEx(10)},  {{0x90, 0x3C}, QZ_E_INVALIDARG, {}},
  };
  std::vector<Bytes> expected;
  for (const auto& c : cases) {
    Array<signed char> bytes;
    for (uint8_t byte : c.bytes) {
      bytes.AddItem(static_cast<signed char>(byte));
    }
    EXPECT_EQ(mComm->SendMidiData(port.Get(), bytes), c.result);
    if (!c.received.empty()) {
      expected.push_back(c.received);
    }
  }
  RCPtr<LIBuffer> buffer = LIBuffer::Create(3, 0, false);
  std::memcpy(buffer->GetData(), "\x80\x3C\x00", 3);
  EXPECT_EQ(mComm->SendMidiData(port.Get(), buffer), 3);
  expected.push_back({0x80, 0x3C, 0x00});

  EXPECT_EQ(mComm->SendMidiData(port.Get(), Array<signed char>()), QZ_E_INVALIDARG);
  EXPECT_EQ(mComm->SendMidiData(port.Get(), RCPtr<LIBuffer>()), QZ_E_INVALIDARG);
  EXPECT_EQ(mComm->SendMidiData(nullptr, buffer), QZ_E_INVALIDARG);
  ASSERT_TRUE(inbox.WaitFor(expected.size()));
  EXPECT_EQ(inbox.Messages(), expected);
}

TEST_F(MidiCommTest, AnOutputUnpluggedFailsItsSendsAndWorksAgainWhenOpenedAfterTheReplug) {
  auto device = mRegistry.RegisterOutput("OUT");
  QZTest::PeerInbox inbox;
  device->SetReceiver(inbox.Receiver());
  const RCPtr<LMidiRenderPort> port = OpenRender(u"OUT");
  ASSERT_TRUE(port);
  const RCPtr<LIBuffer> note = LIBuffer::Create(3, 0, false);
  std::memcpy(note->GetData(), "\x90\x3C\x40", 3);

  device->Unplug();
  EXPECT_EQ(mComm->SendMidiData(port.Get(), note), QZ_E_FAIL);
  EXPECT_FALSE(OpenRender(u"OUT"));
  device->Plug();
  EXPECT_EQ(OpenRender(u"OUT"), port);
  EXPECT_EQ(mComm->SendMidiData(port.Get(), note), 3);
  ASSERT_TRUE(inbox.WaitFor(1));
  EXPECT_EQ(inbox.Messages(), (std::vector<Bytes>{{0x90, 0x3C, 0x40}}));
}

// An output whose long messages are never done until a reset drops them.
class StuckOutput final : public Platform::MidiOutput {
public:
  StuckOutput(Platform::MidiOutputHandler& handler, int& resets) : mHandler(handler), mResets(resets) {}
  Platform::MidiResult SendShort(const Platform::MidiShortMessage&) override { return Platform::MidiResult::Ok; }
  Platform::MidiResult SendLong(std::span<const uint8_t>) override {
    ++mPending;
    return Platform::MidiResult::Ok;
  }
  void Reset() override {
    ++mResets;
    for (; mPending > 0; --mPending) {
      mHandler.OnLongDone();
    }
  }
  bool IsAlive() override { return true; }

private:
  Platform::MidiOutputHandler& mHandler;
  int& mResets;
  int mPending = 0;
};

class StuckBackend final : public Platform::MidiBackend {
public:
  std::vector<std::string> ListDevices(Platform::MidiDirection direction) override {
    return direction == Platform::MidiDirection::Output ? std::vector<std::string>{"STUCK"}
                                                        : std::vector<std::string>{};
  }
  Platform::MidiResult OpenInput(size_t, Platform::MidiInputHandler&, std::unique_ptr<Platform::MidiInput>&) override {
    return Platform::MidiResult::NoSuchDevice;
  }
  Platform::MidiResult OpenOutput(size_t, Platform::MidiOutputHandler& handler,
                                  std::unique_ptr<Platform::MidiOutput>& output) override {
    output = std::make_unique<StuckOutput>(handler, resets);
    return Platform::MidiResult::Ok;
  }
  int resets = 0;
};

TEST(MidiCommTimeoutTest, ALongMessageNotDoneInTimeFailsAndIsDroppedBeforeTheSendReturns) {
  auto backend = std::make_shared<StuckBackend>();
  MidiCommOptions options;
  options.backend = backend;
  options.sendTimeoutMs = 1;
  const RCPtr<LMidiCommInterface> comm = LMidiCommInterface::Create(options);
  RCPtr<LMidiRenderPort> port;
  ASSERT_TRUE(comm->OpenRenderPort(WString(u"STUCK"), port));

  RCPtr<LIBuffer> message = LIBuffer::Create(2, 0, false);
  std::memcpy(message->GetData(), "\xF0\xF7", 2);
  EXPECT_EQ(comm->SendMidiData(port.Get(), message), QZ_E_FAIL);
  EXPECT_EQ(backend->resets, 1);
  message->GetData()[0] = char(0xF8);
  EXPECT_EQ(comm->SendMidiData(port.Get(), message), 1) << "the next send does not wait";
}

} // namespace
