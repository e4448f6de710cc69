#include <gtest/gtest.h>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "Support/DeviceControlClientStandIn.h"
#include "Support/EngineHarness.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;

// A device interface that keeps the request lists it is given.
class RequestRecorder : public LDeviceCommunicationInterfaceT<1> {
public:
  int32_t RequestParamValues(const Variant& descriptors) override {
    requests.push_back(descriptors);
    return 0;
  }
  std::vector<Variant> requests;
};

Variant Descriptors(std::vector<ParamDescriptor> descriptors) {
  QZ::ParamDescriptors list;
  list.SetDescriptors(descriptors.data(), uint32_t(descriptors.size()));
  return list;
}

TEST(RootModuleEngineTest, RequestsAreCoalescedSortedAndFlushedOncePerInterval) {
  QZTest::ApplicationCentre app;
  const RCPtr<RequestRecorder> device(new RequestRecorder);
  const auto engine = QZTest::WatchedEngine<QZ::LPresetEditorAppEngine>::Create(
      false, [&] { return RCPtr<LDeviceCommunicationInterfaceT<1>>(device); });
  engine->Initialize(0);
  const Variant int32Key = QZTest::Make(&Variant::SetInt32, 2);
  const Variant int8Key = QZTest::Make(&Variant::SetInt8, 2);

  EXPECT_EQ(engine->QueueParamRequest(ParamDescriptor(9)), 1) << "no interval has passed since time 0";
  app.application.AdvanceMilliseconds(68);
  EXPECT_EQ(engine->QueueParamRequest(ParamDescriptor(3, int32Key)), 0);
  EXPECT_EQ(engine->QueueParamRequest(ParamDescriptor(9)), 1);
  EXPECT_EQ(engine->QueueParamRequest(ParamDescriptor(3, int8Key)), 1) << "replaces the equal-ordering entry";
  app.application.AdvanceMilliseconds(67);
  EXPECT_EQ(engine->QueueParamRequest(ParamDescriptor(1)), 1) << "67 ms is not more than the interval";
  app.application.AdvanceMilliseconds(1);
  EXPECT_EQ(engine->QueueParamRequest(ParamDescriptor(9)), 0);

  ASSERT_EQ(device->requests.size(), 2u);
  EXPECT_EQ(device->requests[0], Descriptors({ParamDescriptor(3, int32Key), ParamDescriptor(9)}));
  EXPECT_EQ(device->requests[1], Descriptors({ParamDescriptor(1), ParamDescriptor(3, int8Key), ParamDescriptor(9)}))
      << "every request ever queued";
}

TEST(RootModuleEngineTest, TheBaseEngineRefusesEditsUntilConnected) {
  QZTest::ApplicationCentre app;
  const auto engine = QZTest::WatchedEngine<LRootModuleEngine>::Create();
  engine->Initialize(0);
  EXPECT_EQ(engine->GetConnectionState(), LRootModuleEngine::kNoDevice);
  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(5), QZTest::Bytes({64})), QZ::QZ_E_FAIL);
  EXPECT_EQ(engine->ConnectDevice(Variant(), true), -1) << "no library bound";
  EXPECT_TRUE(engine->Posts(LRootModuleEngine::kDeviceConnectionStateChange).empty());
  Variant value;
  EXPECT_EQ(engine->GetParamValue(ParamDescriptor(5), value), 0);
  EXPECT_EQ(value, QZTest::Bytes({0})) << "the default stayed";
}

} // namespace
