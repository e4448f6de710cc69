// The port layer over a real transport: a JACK server started by the test fixture (the
// ctest FrameworkServicesMidiJackExchange) and the peer program that plays the
// keyboard's third port pair and echoes what it receives. Skipped outside that fixture.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "QZFramework/Services/Midi/MidiPortTestSupport.h"

namespace {

using namespace QZ;
using QZTest::Bytes;

TEST(MidiCommJackTest, TheKeyboardsThirdPortsExchangeAPresetAndShortMessagesBothWays) {
  const char* program = std::getenv("QZ_TEST_JACK_PEER");
  if (program == nullptr) {
    GTEST_SKIP() << "needs the JACK server fixture: run the ctest FrameworkServicesMidiJackExchange";
  }
  // The peer runs as client "sim" until its standard input closes.
  const std::string command = std::string("'") + program + "' sim 'MIDIIN3 (QUORIN 49 ZTR)' 'MIDIOUT3 (QUORIN 49 ZTR)'";
  const std::unique_ptr<FILE, void (*)(FILE*)> peer(popen(command.c_str(), "w"),
                                                    [](FILE* f) { EXPECT_EQ(pclose(f), 0) << "the peer failed"; });
  ASSERT_TRUE(peer);

  const RCPtr<LMidiCommInterface> comm = LMidiCommInterface::Create();
  RCPtr<LMidiCapturePort> input;
  RCPtr<LMidiRenderPort> output;
  // The peer's ports show once its client is up; nothing signals that.
  QZTest::WaitUntil([&] {
    return comm->OpenCapturePort(WString(u"MIDIIN3 (QUORIN 49 ZTR)"), input) &&
           comm->OpenRenderPort(WString(u"MIDIOUT3 (QUORIN 49 ZTR)"), output);
  });
  ASSERT_TRUE(input && output) << "the peer's ports did not open";
  EXPECT_EQ(input->GetDeviceName(), WString(u"sim:MIDIIN3 (QUORIN 49 ZTR)"));
  EXPECT_EQ(output->GetDeviceName(), WString(u"sim:MIDIOUT3 (QUORIN 49 ZTR)"));
  const RCPtr<QZTest::CaptureClient> client(new QZTest::CaptureClient);
  client->RegisterNotification(comm, kMidiDataCapturedName);

  const std::vector<Bytes> messages = {{0x90, 0x3C, 0x40}, QZTest::SysEx(153), {0xC0, 0x05}, {0xF8}, QZTest::kMarker};
  for (const Bytes& message : messages) {
    RCPtr<LIBuffer> bytes = LIBuffer::Create(uint32_t(message.size()), 0, false);
    std::copy(message.begin(), message.end(), bytes->GetData());
    EXPECT_EQ(comm->SendMidiData(output.Get(), bytes), QZResult(message.size()));
  }
  std::vector<Bytes> echoed;
  for (const QZTest::CapturedMessage& capture : client->TakeUpTo()) {
    echoed.push_back(capture.bytes);
  }
  EXPECT_EQ(echoed, std::vector<Bytes>(messages.begin(), messages.end() - 1));
}

} // namespace
