#include <gtest/gtest.h>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "QZFramework/Services/Threads/Thread.h"
#include "Support/EngineHarness.h"
#include "Support/HexBytes.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;
using QZTest::Bytes;
using QZTest::Delivered;

class PresetEditorAppEngineTest : public ::testing::Test {
protected:
  void SetUp() override {
    engine->Initialize(0);
    ASSERT_EQ(engine->GetConnectionState(), LRootModuleEngine::kConnected);
  }

  // The one notification delivered by the next drain.
  Delivered DrainOne() {
    std::vector<Delivered> heard = app.Drain();
    EXPECT_EQ(heard.size(), 1u);
    return heard.empty() ? Delivered() : heard[0];
  }

  QZTest::ApplicationCentre app;
  RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
};

TEST_F(PresetEditorAppEngineTest, InitializeAnnouncesEveryDefaultInOneListAndNoState) {
  const Delivered heard = DrainOne();
  EXPECT_EQ(heard.name, LRootModuleEngine::kParamModuleStateChange);
  const auto list = heard.As<QZTest::ValueList>();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->GetListCount(), 145u);
  uint32_t size = 0;
  EXPECT_EQ(QZTest::ToHex(list->GetData(size), 53),
            QZTest::Hex("35000000 01000000 10000000 0D000000 01000000 0E000000 00 "
                        "10000000 01000000 06000000 00000000 0C000000 01000000 00000000"));
  Variant value;
  Variant qualifier;
  uint32_t id = 0;
  ASSERT_EQ(list->GetParamValue(122, value, id, qualifier), 0);
  EXPECT_EQ(std::make_pair(id, value), std::make_pair(122u, Bytes({1, 20}))) << "the tempo";
}

TEST_F(PresetEditorAppEngineTest, AnEditIsCachedAndAnnouncedOnceAndABadIdDropsTheStateOnly) {
  app.Drain();
  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(5), Bytes({64})), 0);
  EXPECT_EQ(QZTest::PairOf(DrainOne()), std::make_pair(5u, Bytes({64})));
  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(5), Bytes({64})), 0);
  EXPECT_TRUE(app.Drain().empty());
  QZ::Array<QZ::ParamValue> values;
  EXPECT_EQ(engine->GetParamValues({0, 145}, values, -5), 0);
  ASSERT_EQ(values.GetCount(), 145u);
  EXPECT_EQ(values.GetAt(5), QZ::ParamValue(ParamDescriptor(5), Bytes({64})));

  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(145), Bytes({1})), -1);
  const Delivered state = DrainOne();
  ASSERT_EQ(state.name, LRootModuleEngine::kDeviceConnectionStateChange);
  EXPECT_EQ(state.As<QZTest::EngineState>()->GetValue(), LRootModuleEngine::kNoDevice);
  // A change request still sets: the engine hears it in one drain and announces in the next.
  EXPECT_EQ(
      app.centre->PostNotification(QZ::LNotification::Create(
          LRootModuleEngine::kParamModuleChangeRequest, new QZ::LParamValuePair(ParamDescriptor(140), Bytes({3})))),
      QZ::QZ_OK);
  EXPECT_TRUE(app.Drain().empty());
  EXPECT_EQ(QZTest::PairOf(DrainOne()), std::make_pair(140u, Bytes({3})));
}

TEST_F(PresetEditorAppEngineTest, ThreeOrMoreValuesShareOneNotification) {
  app.Drain();
  QZ::Array<QZ::ParamValue> values;
  for (uint8_t i = 0; i < 3; ++i) {
    engine->PostParamModuleStateChange(values);
    const std::vector<Delivered> heard = app.Drain();
    ASSERT_EQ(heard.size(), i);
    for (uint8_t k = 0; k < i; ++k) {
      EXPECT_EQ(QZTest::PairOf(heard[k]), std::make_pair(10u + k, Bytes({k})));
    }
    values.AddItem(QZ::ParamValue(ParamDescriptor(10 + i), Bytes({i})));
  }
  engine->PostParamModuleStateChange(values);
  QZ::ParamValues expected;
  EXPECT_EQ(expected.SetValueEntries(values.GetData(), 3), QZ::QZ_OK);
  EXPECT_EQ(Variant(*DrainOne().As<QZTest::ValueList>()), expected);
}

TEST(PresetEditorAppEngineLifetimeTest, OfflinePollingStartsNoThreadAndAReleasedEngineLeavesNothing) {
  const int32_t threads = QZ::Thread::GetLiveCount();
  {
    QZTest::ApplicationCentre app;
    RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
    engine->Initialize(0);
    const int32_t jobs = QZ::RetriggerableThreader::GetJobCount();
    EXPECT_EQ(engine->EnableRemoteDevicePolling(true), -1) << "the device interface is never opened";
    EXPECT_EQ(QZ::RetriggerableThreader::GetJobCount(), jobs);
    EXPECT_TRUE(engine->StopThreadAndWait());
  }
  EXPECT_EQ(QZ::Thread::GetLiveCount(), threads);
}

} // namespace
