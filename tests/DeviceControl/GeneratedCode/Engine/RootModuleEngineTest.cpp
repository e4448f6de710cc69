#include <gtest/gtest.h>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "Support/EngineHarness.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;

// A device interface that keeps the request lists it is given.
struct RequestRecorder : LDeviceCommunicationInterfaceT<1> {
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
      nullptr, false, [&] { return RCPtr<LDeviceCommunicationInterfaceT<1>>(device); });
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
  EXPECT_EQ(device->requests, (std::vector<Variant>{
                                  Descriptors({ParamDescriptor(3, int32Key), ParamDescriptor(9)}),
                                  Descriptors({ParamDescriptor(1), ParamDescriptor(3, int8Key), ParamDescriptor(9)}),
                              }));
}

} // namespace
