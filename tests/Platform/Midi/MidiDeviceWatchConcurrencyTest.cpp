// A watch ended while another thread tells a change hears nothing after it ended.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "Platform/Midi/MidiDeviceWatch.h"

namespace {

using namespace QZ::Platform::Midi;

TEST(MidiDeviceWatchConcurrencyTest, NoCallRunsAfterTheWatchEnded) {
  MidiDeviceSignal signal;
  std::atomic<bool> stop{false};
  std::thread teller([&] {
    while (!stop) {
      signal.Notify();
    }
  });
  int late = 0;
  for (int round = 0; round < 200; ++round) {
    std::atomic<int> calls{0};
    bool ended = false; // read by the handler: a race if a call ran after the end
    auto watch = signal.Watch([&] {
      late += ended ? 1 : 0;
      ++calls;
    });
    while (calls == 0) {
      std::this_thread::yield();
    }
    watch.reset();
    ended = true;
  }
  stop = true;
  teller.join();
  EXPECT_EQ(late, 0);
}

} // namespace
