#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "DeviceControl/DeviceControlClientInterface.h"
#include "Support/DeviceControlClientStandIn.h"

namespace {

// Counts the callbacks, and those that come after the connection was closed.
struct Watch {
  std::atomic<bool> closed{false};
  std::atomic<int32_t> received{0};
  std::atomic<int32_t> late{0};

  static void Callback(void* context, int32_t, const QZ::Variant*) {
    auto& watch = *static_cast<Watch*>(context);
    if (watch.closed) {
      ++watch.late;
    }
    ++watch.received;
    watch.received.notify_all();
  }

  void WaitFor(int32_t count) {
    for (int32_t seen = received.load(); seen < count; seen = received.load()) {
      received.wait(seen);
    }
  }
};

TEST(VirtualDeviceControlConcurrencyTest, NoCallbackOnceDisconnectOrReleaseAllHasReturned) {
  QZ::DeviceControlClientInterface client(QZ::WString(QZTest::kDeviceControlClient.c_str()));
  QZTest::StandInControls standIn;
  QZ::Variant id;
  id.SetString("QUORIN 49 ZTR");
  for (int round = 0; round < 20; ++round) {
    Watch watch;
    ASSERT_EQ(client.ConnectDevice(&id, &Watch::Callback, &watch), 0);
    std::atomic<bool> stop{false};
    std::vector<std::thread> requesters;
    for (int t = 0; t < 4; ++t) {
      requesters.emplace_back([&, t] {
        while (!stop) {
          client.RequestParamValuesByDescriptors(&id, QZ::ParamDescriptor(uint32_t(t)));
        }
      });
    }
    watch.WaitFor(50);
    if (round % 2 == 0) {
      EXPECT_EQ(client.DisconnectDevice(&id), 0);
    } else {
      standIn.ReleaseAll();
    }
    watch.closed = true;
    stop = true;
    for (std::thread& requester : requesters) {
      requester.join();
    }
    EXPECT_EQ(watch.late, 0) << "round " << round;
  }
}

} // namespace
