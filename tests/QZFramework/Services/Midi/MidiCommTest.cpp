// Opening and sending over virtual devices.

#include <gtest/gtest.h>

#include <cstring>

#include "QZFramework/Services/Midi/MidiPortTestSupport.h"
#include "QZFramework/Utilities/Storage/Array.h"

namespace {

using namespace QZ;
using QZTest::Bytes;

class MidiCommTest : public QZTest::MidiPortTest {};

RCPtr<LIBuffer> Buffer(const Bytes& bytes) {
  RCPtr<LIBuffer> buffer = LIBuffer::Create(uint32_t(bytes.size()), 0, false);
  std::memcpy(buffer->GetData(), bytes.data(), bytes.size());
  return buffer;
}

TEST_F(MidiCommTest, RepeatedInputNamesAreNumberedAndTheSecondNumberOpensTheSecond) {
  auto first = mRegistry.RegisterInput("X");
  auto other = mRegistry.RegisterInput("Y");
  auto second = mRegistry.RegisterInput("X");
  WStringArray names;
  mComm->EnumerateCaptureDevices(names);
  ASSERT_EQ(names.GetCount(), 3u);
  EXPECT_EQ(names.GetAt(0), WString(u"X (1)"));
  EXPECT_EQ(names.GetAt(1), WString(u"X (2)"));
  EXPECT_EQ(names.GetAt(2), WString(u"Y"));

  const RCPtr<LMidiCapturePort> port = OpenCapture(u"X (2)");
  ASSERT_TRUE(port);
  first->Unplug();
  EXPECT_TRUE(port->IsAlive());
  second->Unplug();
  EXPECT_FALSE(port->IsAlive()) << "it was open on the second X";
}

TEST_F(MidiCommTest, TheKeyboardsThirdPortsAreFoundAmongTheirDecoysAndOpenOnce) {
  std::vector<std::unique_ptr<Platform::Midi::VirtualMidiDevice>> devices;
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

TEST_F(MidiCommTest, SendsReturnTheBytesSentAndTheDeviceReceivesExactlyThose) {
  auto device = mRegistry.RegisterOutput("OUT");
  QZTest::PeerInbox inbox;
  device->SetReceiver(inbox.Receiver());
  const RCPtr<LMidiRenderPort> port = OpenRender(u"OUT");
  ASSERT_TRUE(port);
  const struct {
    Bytes bytes;
    QZResult result;
  } cases[] = {
      {{0x90, 0x3C, 0x40}, 3}, {{0xC0, 0x05, 0x7F}, 2},         {{0xF8}, 1},
      {QZTest::SysEx(10), 10}, {{0x90, 0x3C}, QZ_E_INVALIDARG}, // shorter than its status says
  };
  for (const auto& c : cases) {
    EXPECT_EQ(mComm->SendMidiData(port.Get(), Buffer(c.bytes)), c.result);
  }
  Array<signed char> array;
  array.AddItem(static_cast<signed char>(0xF8));
  EXPECT_EQ(mComm->SendMidiData(port.Get(), array), 1);
  EXPECT_EQ(mComm->SendMidiData(port.Get(), Array<signed char>()), QZ_E_INVALIDARG);
  EXPECT_EQ(mComm->SendMidiData(port.Get(), RCPtr<LIBuffer>()), QZ_E_INVALIDARG);
  EXPECT_EQ(mComm->SendMidiData(nullptr, array), QZ_E_INVALIDARG);

  const std::vector<Bytes> expected = {{0x90, 0x3C, 0x40}, {0xC0, 0x05}, {0xF8}, QZTest::SysEx(10), {0xF8}};
  ASSERT_TRUE(inbox.WaitFor(expected.size()));
  EXPECT_EQ(inbox.Messages(), expected);

  device->Unplug();
  EXPECT_EQ(mComm->SendMidiData(port.Get(), array), QZ_E_FAIL);
  EXPECT_FALSE(OpenRender(u"OUT"));
  device->Plug();
  EXPECT_EQ(OpenRender(u"OUT"), port) << "reopened on the new connection";
  EXPECT_EQ(mComm->SendMidiData(port.Get(), array), 1);
}

// An output whose long messages are done only when a reset drops them.
class StuckOutput final : public Platform::Midi::MidiOutput {
public:
  StuckOutput(Platform::Midi::MidiOutputHandler& handler, int& resets) : mHandler(handler), mResets(resets) {}
  Platform::Midi::MidiResult SendShort(const Platform::Midi::MidiShortMessage&) override {
    return Platform::Midi::MidiResult::Ok;
  }
  Platform::Midi::MidiResult SendLong(std::span<const uint8_t>) override { return Platform::Midi::MidiResult::Ok; }
  void Reset() override {
    ++mResets;
    mHandler.OnLongDone();
  }
  bool IsAlive() override { return true; }

private:
  Platform::Midi::MidiOutputHandler& mHandler;
  int& mResets;
};

class StuckBackend final : public Platform::Midi::MidiBackend {
public:
  std::vector<std::string> ListDevices(Platform::Midi::MidiDirection direction) override {
    return std::vector<std::string>(direction == Platform::Midi::MidiDirection::Output ? 1 : 0, "STUCK");
  }
  Platform::Midi::MidiResult OpenInput(size_t, Platform::Midi::MidiInputHandler&,
                                       std::unique_ptr<Platform::Midi::MidiInput>&) override {
    return Platform::Midi::MidiResult::NoSuchDevice;
  }
  Platform::Midi::MidiResult OpenOutput(size_t, Platform::Midi::MidiOutputHandler& handler,
                                        std::unique_ptr<Platform::Midi::MidiOutput>& output) override {
    output = std::make_unique<StuckOutput>(handler, resets);
    return Platform::Midi::MidiResult::Ok;
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
  EXPECT_EQ(comm->SendMidiData(port.Get(), Buffer({0xF0, 0xF7})), QZ_E_FAIL);
  EXPECT_EQ(backend->resets, 1);
  EXPECT_EQ(comm->SendMidiData(port.Get(), Buffer({0xF8})), 1);
}

} // namespace
