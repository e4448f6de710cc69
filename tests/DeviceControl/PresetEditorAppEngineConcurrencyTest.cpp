// The editor's engine with its device interface opened on the library stand-in: values
// arrive on the library's and the interface's threads while the test edits.

#include <gtest/gtest.h>

#include "DeviceControl/PresetEditorAppEngine.h"
#include "Support/EngineHarness.h"

namespace {

using QZ::ParamDescriptor;
using QZ::Variant;
using QZTest::Bytes;
using Engine = QZTest::WatchedEngine<QZ::LPresetEditorAppEngine>;

auto IsPairOf(uint32_t id) {
  return [id](const QZTest::Delivered& post) { return QZTest::PairOf(post).first == id; };
}

class PresetEditorAppEngineConcurrencyTest : public ::testing::Test {
protected:
  void SetUp() override { engine->Initialize(0); }

  // The ids of the announced pairs once count device states came (Initialize's list left out).
  std::vector<uint32_t> AnnouncedIds(size_t count) {
    std::vector<uint32_t> ids;
    for (const QZTest::Delivered& post : engine->WaitFor(IsPairOf(QZ::kParamDeviceState), count)) {
      if (post.As<QZ::LParamValuePair>()) {
        ids.push_back(QZTest::PairOf(post).first);
      }
    }
    return ids;
  }
  Variant Value(uint32_t id) {
    Variant value;
    EXPECT_EQ(engine->GetParamValue(ParamDescriptor(id), value), 0);
    return value;
  }

  QZTest::DriverRegistry registry{QZTest::kDeviceControlClient};
  QZTest::StandInControls standIn;
  QZTest::KeyboardSide keyboard;
  QZTest::ApplicationCentre app;
  QZ::RCPtr<Engine> engine = Engine::Create(LRootModuleEngine::kParamModuleStateChange, true);
};

TEST_F(PresetEditorAppEngineConcurrencyTest, ConnectingFetchesEveryValueAndOnlyRealChangesAreAnnounced) {
  ASSERT_EQ(keyboard.library.ConnectDevice(&keyboard.id, &QZTest::ReportedLists::Callback, &keyboard.reports), 0);
  ASSERT_EQ(keyboard.Set(0, Bytes({5})), 0);
  ASSERT_EQ(keyboard.Set(144, Bytes({1})), 0);
  standIn.probe.Record(true);
  ASSERT_EQ(engine->ConnectDevice(keyboard.id, false), 0);
  std::vector<std::string> calls = standIn.probe.Calls();
  calls.resize(4);
  EXPECT_EQ(calls, (std::vector<std::string>{"XQDC_DisconnectDevice", "XQDC_ConnectDevice", "XQDC_RequestParamRanges",
                                             "XQDC_RequestParamValues"}));
  EXPECT_EQ(AnnouncedIds(1), (std::vector<uint32_t>{QZ::kParamConnected, 0, 144, QZ::kParamDeviceState}))
      << "the first and the last of the 145 differed; the rest equal the cache";
  EXPECT_EQ(Value(144), Bytes({1}));

  ASSERT_EQ(keyboard.Set(3, Bytes({77})), 0);
  app.application.AdvanceMilliseconds(68);
  ASSERT_EQ(engine->QueueParamRequest(ParamDescriptor(3)), 0);
  engine->WaitFor(IsPairOf(3));
  EXPECT_EQ(Value(3), Bytes({77}));
  standIn.probe.Record(true);
  EXPECT_EQ(engine->SetParamValue(ParamDescriptor(7), Bytes({9})), 0);
  calls = standIn.probe.Calls();
  EXPECT_EQ(std::count(calls.begin(), calls.end(), "XQDC_SetParamValue"), 1);

  // Asked again, id 3 comes back unchanged: only the device state is announced.
  app.application.AdvanceMilliseconds(68);
  ASSERT_EQ(engine->QueueParamRequest(ParamDescriptor(QZ::kParamDeviceState)), 0);
  EXPECT_EQ(AnnouncedIds(2),
            (std::vector<uint32_t>{QZ::kParamConnected, 0, 144, QZ::kParamDeviceState, 3, 7, QZ::kParamDeviceState}));
}

} // namespace
