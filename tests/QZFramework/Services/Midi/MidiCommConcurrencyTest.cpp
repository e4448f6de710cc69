// Ports opened and let go on several threads while their device plays.

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "QZFramework/Services/Midi/MidiPortTestSupport.h"

namespace {

class MidiCommConcurrencyTest : public QZTest::MidiPortTest {};

TEST_F(MidiCommConcurrencyTest, PortsOpenedAndLetGoOnSeveralThreadsWhileCapturing) {
  auto device = mRegistry.RegisterInput("IN");
  const auto client = Listen();
  std::atomic<bool> stop{false};
  std::thread player([&] {
    while (!stop) {
      EXPECT_EQ(device->Send(QZTest::SysEx(300)), QZ::Platform::Midi::MidiResult::Ok);
      EXPECT_EQ(device->Send(QZTest::Bytes{0x90, 0x3C, 0x40}), QZ::Platform::Midi::MidiResult::Ok);
    }
  });
  std::vector<std::thread> openers;
  for (int t = 0; t < 4; ++t) {
    openers.emplace_back([&] {
      for (int i = 0; i < 100; ++i) {
        EXPECT_TRUE(OpenCapture(u"IN"));
      }
    });
  }
  for (std::thread& opener : openers) {
    opener.join();
  }
  stop = true;
  player.join();
  // A port left in the communicator's list would keep both alive: LeakSanitizer tells.
}

} // namespace
