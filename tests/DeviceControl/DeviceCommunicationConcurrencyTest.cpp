#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <thread>

#include "DeviceControl/DeviceCommunication.h"
#include "Support/DeviceControlClientStandIn.h"

namespace {

using QZ::RCPtr;
using QZ::Variant;
using Interface = LDeviceCommunicationInterfaceT<1>;

// Reports a one-entry list of parameter id as the library's thread would.
void Report(Interface& device, uint32_t id) {
  Variant value;
  value.SetUInt32(id);
  QZ::ParamValues values;
  values.SetParamValue(QZ::ParamDescriptor(id), value);
  Interface::DeviceValuesCallback(&device, 0, &values);
}

TEST(DeviceCommunicationConcurrencyTest, ListsQueuedWhileDeliveryIsOffArriveInOrderOnceItIsOn) {
  QZTest::ReportedLists receiver;
  const RCPtr<Interface> device(new Interface);
  device->SetReceiver(&receiver);
  std::thread library([&] {
    for (uint32_t id = 0; id < 300; ++id) {
      Report(*device, id);
    }
  });
  library.join();
  EXPECT_TRUE(receiver.WaitFor(0).empty());

  device->EnableDelivery(true);
  Report(*device, 300);
  const std::vector<QZ::ParamValues> lists = receiver.WaitFor(301);
  ASSERT_EQ(lists.size(), 301u);
  for (uint32_t id = 0; id < 301; ++id) {
    ASSERT_EQ(QZTest::EntryOf(lists[id], 0).first, id);
  }
  device->EnableDelivery(false);
}

// Holds the worker inside the receiver until released; then notes whether turning
// delivery off had already returned.
class BlockingReceiver final : public DeviceCommunicationReceiver {
public:
  void OnParamValuesReceived(const QZ::ParamValues&) override {
    entered.count_down();
    release.wait();
    returnedEarly = offReturned.load();
    drainEnded = true;
  }

  std::latch entered{1};
  std::latch release{1};
  std::atomic<bool> offReturned{false};
  std::atomic<bool> returnedEarly{false};
  std::atomic<bool> drainEnded{false};
};

TEST(DeviceCommunicationConcurrencyTest, TurningDeliveryOffWaitsForARunningDrain) {
  BlockingReceiver receiver;
  const RCPtr<Interface> device(new Interface);
  device->SetReceiver(&receiver);
  device->EnableDelivery(true);
  Report(*device, 1);
  Report(*device, 2);
  receiver.entered.wait();

  std::thread stopper([&] {
    device->EnableDelivery(false);
    receiver.offReturned = true;
    EXPECT_TRUE(receiver.drainEnded);
  });
  std::this_thread::yield();
  receiver.release.count_down();
  stopper.join();
  EXPECT_FALSE(receiver.returnedEarly);
}

// Turns delivery off from inside the first delivery.
class SwitchingReceiver final : public QZTest::ReportedLists {
public:
  void OnParamValuesReceived(const QZ::ParamValues& values) override {
    if (Interface* first = device.exchange(nullptr)) {
      first->EnableDelivery(false);
    }
    ReportedLists::OnParamValuesReceived(values);
  }

  std::atomic<Interface*> device{nullptr};
};

TEST(DeviceCommunicationConcurrencyTest, AReceiverMayTurnDeliveryOffAndTheRestStaysQueued) {
  SwitchingReceiver receiver;
  const RCPtr<Interface> device(new Interface);
  receiver.device = device.Get();
  device->SetReceiver(&receiver);
  device->EnableDelivery(true);
  Report(*device, 1);
  Report(*device, 2);
  ASSERT_EQ(receiver.WaitFor(1).size(), 1u);
  device->EnableDelivery(true);
  Report(*device, 3);
  const std::vector<QZ::ParamValues> lists = receiver.WaitFor(3);
  ASSERT_EQ(lists.size(), 3u);
  EXPECT_EQ(QZTest::EntryOf(lists[1], 0).first, 2u);
  EXPECT_EQ(QZTest::EntryOf(lists[2], 0).first, 3u);
  device->EnableDelivery(false);
}

} // namespace
