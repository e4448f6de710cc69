#include <gtest/gtest.h>

#include <thread>

#include "DeviceControl/RootModule.h"
#include "Support/EngineHarness.h"

namespace {

// Counts the changes handed to it; a change whose value is not its id's byte is torn.
struct ChangeCounter {
  static int32_t Count(void* context, QZ::Array<QZ::ParamValue>* changes, int32_t) {
    auto& self = *static_cast<ChangeCounter*>(context);
    const QZ::ParamValue& change = changes->GetAt(0);
    ++self.count; // under the receive lock: a race here is a fault
    self.torn += change.value == QZTest::Bytes({uint8_t(change.GetId())}) ? 0 : 1;
    return 0;
  }
  int count = 0;
  int torn = 0;
};

TEST(RootModuleConcurrencyTest, ChangeRequestsFromOutsideTheReceivePathTakeTheReceiveLock) {
  QZTest::FakeApplicationContext application;
  ChangeCounter counter;
  const QZ::RCPtr<QZ::LRootModule> root = QZ::LRootModule::Create(true);
  root->Initialize(&ChangeCounter::Count, &counter, QZ::RCPtr<LParamCache>(new LParamCache(145)),
                   QZ::RCPtr<LDeviceCommunicationInterfaceT<1>>(new LDeviceCommunicationInterfaceT<1>), 0);
  auto request = [&](uint8_t id) {
    for (int i = 0; i < 2000; ++i) {
      root->RequestParamChange(QZ::ParamDescriptor(id), QZTest::Bytes({id}), QZ::LRootModule::kCachedValueChanged);
    }
  };
  std::thread first(request, 1);
  std::thread second(request, 2);
  first.join();
  second.join();
  EXPECT_EQ(counter.count, 4000);
  EXPECT_EQ(counter.torn, 0);
}

} // namespace
