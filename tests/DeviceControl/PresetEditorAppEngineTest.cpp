#include <gtest/gtest.h>

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
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

  QZTest::ApplicationCentre app;
  RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
};

TEST_F(PresetEditorAppEngineTest, InitializeAnnouncesEveryDefaultInOneListAndNoState) {
  const std::vector<Delivered> heard = app.Drain();
  ASSERT_EQ(heard.size(), 1u);
  ASSERT_TRUE(heard[0].Is(LRootModuleEngine::kParamModuleStateChange));
  const auto list = heard[0].As<QZTest::ValueList>();
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->GetListCount(), 145u);
  uint32_t size = 0;
  const void* bytes = list->GetData(size);
  EXPECT_EQ(QZTest::ToHex(bytes, 53), QZTest::Hex("35000000 01000000 10000000 0D000000 01000000 0E000000 00 "
                                                  "10000000 01000000 06000000 00000000 0C000000 01000000 00000000"));
  for (const QZ::ParameterLayout::ParameterEntry& row : QZ::ParameterLayout::kParameterTable) {
    Variant value;
    Variant qualifier;
    uint32_t id = 0;
    ASSERT_EQ(list->GetParamValue(row.id, value, id, qualifier), 0);
    const auto expected = row.defaultValue.Evaluate(row.instance, QZ::kDefaultDeviceModel);
    Variant bytesOfDefault;
    bytesOfDefault.SetBuffer(expected.data(), row.defaultValue.width);
    EXPECT_EQ(id, row.id);
    EXPECT_EQ(value, bytesOfDefault) << row.id;
  }
}

TEST_F(PresetEditorAppEngineTest, AnEditIsCachedAndAnnouncedOnceAndABadIdDropsTheStateOnly) {
  app.Drain();
  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(5), Bytes({64})), 0);
  std::vector<Delivered> heard = app.Drain();
  ASSERT_EQ(heard.size(), 1u);
  EXPECT_EQ(QZTest::PairOf(heard[0]), std::make_pair(5u, Bytes({64})));
  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(5), Bytes({64})), 0);
  EXPECT_TRUE(app.Drain().empty());

  QZ::Array<QZ::ParamValue> values;
  EXPECT_EQ(engine->GetParamValues({0, 145}, values, -5), 0);
  ASSERT_EQ(values.GetCount(), 145u);
  EXPECT_EQ(values.GetAt(5), QZ::ParamValue(ParamDescriptor(5), Bytes({64})));
  EXPECT_EQ(values.GetAt(144).GetId(), 144u);

  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(145), Bytes({1})), -1);
  heard = app.Drain();
  ASSERT_EQ(heard.size(), 1u);
  ASSERT_TRUE(heard[0].Is(LRootModuleEngine::kDeviceConnectionStateChange));
  EXPECT_EQ(heard[0].As<QZTest::EngineState>()->GetValue(), LRootModuleEngine::kNoDevice);
  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(6), Bytes({2})), 0) << "the state refuses nothing";
  EXPECT_EQ(QZTest::PairOf(app.Drain().at(0)), std::make_pair(6u, Bytes({2})));
}

TEST_F(PresetEditorAppEngineTest, ThreeOrMoreValuesShareOneNotification) {
  app.Drain();
  for (uint32_t count : {0u, 1u, 2u, 3u, 4u}) {
    QZ::Array<QZ::ParamValue> values;
    for (uint32_t i = 0; i < count; ++i) {
      values.AddItem(QZ::ParamValue(ParamDescriptor(10 + i), Bytes({uint8_t(i)})));
    }
    engine->PostParamModuleStateChange(values);
    const std::vector<Delivered> heard = app.Drain();
    if (count < 3) {
      ASSERT_EQ(heard.size(), count);
      for (uint32_t i = 0; i < count; ++i) {
        EXPECT_EQ(QZTest::PairOf(heard[i]), std::make_pair(10 + i, Bytes({uint8_t(i)})));
      }
      continue;
    }
    ASSERT_EQ(heard.size(), 1u);
    QZ::ParamValues expected;
    expected.SetValueEntries(values.GetData(), count);
    EXPECT_EQ(Variant(*heard[0].As<QZTest::ValueList>()), expected);
  }
}

TEST_F(PresetEditorAppEngineTest, AChangeRequestIsSetAndAnnounced) {
  app.Drain();
  const RCPtr<QZ::LParamValuePair> request(new QZ::LParamValuePair(ParamDescriptor(140), Bytes({3})));
  app.centre->PostNotification(QZ::LNotification::Create(LRootModuleEngine::kParamModuleChangeRequest, request));
  EXPECT_TRUE(app.Drain().empty()) << "the engine hears the request in this drain";
  EXPECT_EQ(QZTest::PairOf(app.Drain().at(0)), std::make_pair(140u, Bytes({3})));
}

TEST(PresetEditorAppEngineLifetimeTest, OfflinePollingStartsNoThreadAndAReleasedEngineLeavesNothing) {
  const int32_t threads = QZ::Thread::GetLiveCount();
  {
    QZTest::ApplicationCentre app;
    RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
    engine->Initialize(0);
    const int32_t jobs = QZ::RetriggerableThreader::GetJobCount();
    EXPECT_EQ(engine->EnableRemoteDevicePolling(true), -1) << "the device interface is never opened";
    EXPECT_EQ(engine->QueueParamRequest(ParamDescriptor(3)), 1) << "within the first interval";
    app.application.AdvanceMilliseconds(68);
    EXPECT_EQ(engine->QueueParamRequest(ParamDescriptor(3)), -1) << "the flush reaches no library";
    EXPECT_EQ(QZ::RetriggerableThreader::GetJobCount(), jobs);
    EXPECT_TRUE(engine->StopThreadAndWait());
  }
  EXPECT_EQ(QZ::Thread::GetLiveCount(), threads);
}

TEST(RootModuleEngineInitializeTest, WithoutACentreInitializeThrowsTheFailedSubscription) {
  QZTest::FakeApplicationContext application;
  RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
  try {
    engine->Initialize(0);
    FAIL();
  } catch (const QZ::Exception<QZ::FailedResultException>& failure) {
    EXPECT_STREQ(failure.what(), "Failed Result : QZRESULT = 80070057 : LRootModuleEngine::Initialize : "
                                 "..\\DeviceControl\\GeneratedCode\\Engine\\Src\\RootModuleEngine : Line 312");
  }
  EXPECT_EQ(engine->GetFirstParamID(), 0u);
}

} // namespace
