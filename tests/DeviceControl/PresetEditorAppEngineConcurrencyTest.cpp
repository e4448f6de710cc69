// The editor's engine with its device interface opened on the library stand-in: values
// arrive on the library's and the interface's threads while the test edits.

#include <gtest/gtest.h>

#include <algorithm>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "Support/EngineHarness.h"

namespace {

using QZ::ParamDescriptor;
using QZ::Variant;
using QZTest::Bytes;
using QZTest::Delivered;
using Engine = QZTest::WatchedEngine<QZ::LPresetEditorAppEngine>;

constexpr auto kStateChange = LRootModuleEngine::kParamModuleStateChange;

auto IsPairOf(uint32_t id) {
  return [id](const Delivered& post) { return QZTest::PairOf(post).first == id; };
}

class PresetEditorAppEngineConcurrencyTest : public ::testing::Test {
protected:
  void SetUp() override { engine->Initialize(0); }

  // The ids of the posted pairs, in order.
  std::vector<uint32_t> PostedIds() {
    std::vector<uint32_t> ids;
    for (const Delivered& post : engine->Posts(kStateChange)) {
      if (post.As<QZ::LParamValuePair>()) {
        ids.push_back(QZTest::PairOf(post).first);
      }
    }
    return ids;
  }

  QZTest::DriverRegistry registry{QZTest::kDeviceControlClient};
  QZTest::StandInControls standIn;
  QZTest::KeyboardSide keyboard;
  QZTest::ApplicationCentre app;
  QZ::RCPtr<Engine> engine = Engine::Create(true);
};

TEST_F(PresetEditorAppEngineConcurrencyTest, ConnectingFetchesEveryParameterAndTheDeviceState) {
  ASSERT_EQ(keyboard.library.ConnectDevice(&keyboard.id, &QZTest::ReportedLists::Callback, &keyboard.reports), 0);
  ASSERT_EQ(keyboard.Set(0, Bytes({5})), 0);
  ASSERT_EQ(keyboard.Set(144, Bytes({1})), 0);
  standIn.probe.Record(true);

  ASSERT_EQ(engine->ConnectDevice(keyboard.id, false), 0);
  const std::vector<std::string> calls = standIn.probe.Calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 4),
            (std::vector<std::string>{"XQDC_DisconnectDevice", "XQDC_ConnectDevice", "XQDC_RequestParamRanges",
                                      "XQDC_RequestParamValues"}));
  ASSERT_TRUE(engine->WaitFor(kStateChange, IsPairOf(QZ::kParamDeviceState)));
  EXPECT_EQ(PostedIds(), (std::vector<uint32_t>{QZ::kParamConnected, 0, 144, QZ::kParamDeviceState}))
      << "the first and the last of the 145 differed; the rest equal the cache";
  Variant value;
  EXPECT_EQ(engine->GetParamValue(ParamDescriptor(144), value), 0);
  EXPECT_EQ(value, Bytes({1}));
  EXPECT_EQ(engine->GetConnectionState(), LRootModuleEngine::kConnected);
}

TEST_F(PresetEditorAppEngineConcurrencyTest, ReportedChangesAreCachedAndEditsWrittenOnce) {
  ASSERT_EQ(engine->ConnectDevice(keyboard.id, false), 0);
  ASSERT_TRUE(engine->WaitFor(kStateChange, IsPairOf(QZ::kParamDeviceState)));
  ASSERT_EQ(keyboard.Set(3, Bytes({77})), 0);
  app.application.AdvanceMilliseconds(68);
  ASSERT_EQ(engine->QueueParamRequest(ParamDescriptor(3)), 0);
  ASSERT_TRUE(engine->WaitFor(kStateChange, IsPairOf(3)));
  Variant value;
  engine->GetParamValue(ParamDescriptor(3), value);
  EXPECT_EQ(value, Bytes({77}));

  standIn.probe.Record(true);
  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(7), Bytes({9})), 0);
  const std::vector<std::string> calls = standIn.probe.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "XQDC_SetParamValue"), 1);
  EXPECT_EQ(engine->WaitFor(kStateChange, IsPairOf(7)), true);

  // Asked again, id 3 comes back unchanged: only the device state is announced.
  app.application.AdvanceMilliseconds(68);
  ASSERT_EQ(engine->QueueParamRequest(ParamDescriptor(QZ::kParamDeviceState)), 0);
  ASSERT_TRUE(engine->WaitFor(kStateChange, IsPairOf(QZ::kParamDeviceState), 2));
  const std::vector<uint32_t> ids = PostedIds();
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 3u), 1);
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 7u), 1);
}

} // namespace
