// The engine thread with short injected cycles: connecting, reconnecting, polling and
// stopping, waited for through the engine's posts.

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstring>
#include <latch>
#include <mutex>
#include <string>

#include "Support/EngineHarness.h"
#include "Support/WaitUntil.h"

namespace {

using QZ::RCPtr;
using QZ::Variant;
using Engine = QZTest::WatchedEngine<LRootModuleEngine>;

constexpr LRootModuleEngine::Timing kShortCycles{.cycleMs = 1, .remoteSearchMs = 0};

TEST(RootModuleEngineConcurrencyTest, TheThreadConnectsAPendingDeviceReconnectsALostOneAndStops) {
  QZTest::DriverRegistry registry{QZTest::kDeviceControlClient};
  QZTest::StandInControls standIn;
  QZTest::KeyboardSide keyboard;
  QZTest::ApplicationCentre app;
  const RCPtr<Engine> engine = Engine::Create(LRootModuleEngine::kDeviceConnectionStateChange, true);
  engine->SetTiming(kShortCycles);
  engine->Initialize(0);
  auto connectedTimes = [&](size_t count) {
    return engine->WaitFor([](auto& post) { return post.template As<QZTest::EngineState>()->GetValue() == 3; }, count);
  };

  standIn.probe.Fail("XQDC_ConnectDevice", -3);
  EXPECT_EQ(engine->ConnectDevice(keyboard.id, true), -3);
  EXPECT_EQ(engine->GetConnectionState(), LRootModuleEngine::kConnectPending);
  standIn.probe.Fail("", 0);
  connectedTimes(1);
  engine->SetHold(true);
  ASSERT_EQ(keyboard.library.DisconnectDevice(&keyboard.id), 0) << "the library loses the keyboard";
  connectedTimes(2);
  engine->SetHold(false);
  EXPECT_EQ(engine->DisconnectDevice(), 0);
  EXPECT_TRUE(engine->StopThreadAndWait());
  std::vector<int32_t> states;
  for (const QZTest::Delivered& post : connectedTimes(0)) {
    states.push_back(post.As<QZTest::EngineState>()->GetValue());
  }
  EXPECT_EQ(states, (std::vector<int32_t>{1, 3, 2, 3, 0}));
}

// Records the waiting remote searches ('S', 'F' when failed) and the quick queries ('Q')
// the engine runs. Every query finds one device; a search reports the change only once.
class RemoteSearchRecorder : public LDeviceCommunicationInterfaceT<1> {
public:
  explicit RemoteSearchRecorder(int32_t quickResult, int failingSearches = 0)
      : mQuickResult(quickResult), mFailingSearches(failingSearches) {}

  int32_t FindRemoteDevices(const QZ::IArray<QZ::Guid>&, QZ::IArray<Variant>& devices, uint32_t, int32_t, int32_t,
                            int32_t, int32_t, int32_t) override {
    if (mFailingSearches > 0) {
      --mFailingSearches;
      std::lock_guard hold(mLock);
      mCalls += 'F';
      mCalled.notify_all();
      return -1;
    }
    const bool changed = devices.GetCount() != 1;
    Record('S', devices);
    return changed ? 0 : 1;
  }
  int32_t QuickFindRemoteDevices(const QZ::IArray<QZ::Guid>&, QZ::IArray<Variant>& devices) override {
    Record('Q', devices);
    return mQuickResult;
  }
  // The first count calls, once made (waits up to kWaitBound).
  std::string WaitFor(size_t count) {
    std::unique_lock hold(mLock);
    QZTest::WaitUntil(hold, mCalled, [&] { return mCalls.size() >= count; }); // what has come is returned
    return mCalls.substr(0, count);
  }

private:
  void Record(char call, QZ::IArray<Variant>& devices) {
    devices.SetCount(1);
    devices.GetAt(0).SetInt32(1);
    std::lock_guard hold(mLock);
    mCalls += call;
    mCalled.notify_all();
  }

  const int32_t mQuickResult;
  int mFailingSearches; // only the enabling thread searches before polling runs
  std::mutex mLock;
  std::condition_variable mCalled;
  std::string mCalls;
};

TEST(RootModuleEngineConcurrencyTest, PollingRunsEightSearchesPerQuickQueryUntilAQuickQuerySuffices) {
  // The first "S" is the search that enables polling.
  for (const auto& [quickResult, expected] : {std::pair{0, "S"
                                                           "SSSSSSSSQ"
                                                           "SSSSSSSSQ"},
                                              {1, "S"
                                                  "SSSSSSSSQ"
                                                  "QQQ"}}) {
    QZTest::ApplicationCentre app;
    const RCPtr<RemoteSearchRecorder> device(new RemoteSearchRecorder(quickResult));
    const RCPtr<Engine> engine = Engine::Create(LRootModuleEngine::kRemoteDeviceListChange, false,
                                                [&] { return RCPtr<LDeviceCommunicationInterfaceT<1>>(device); });
    engine->SetTiming(kShortCycles);
    engine->Initialize(0);
    ASSERT_EQ(engine->EnableRemoteDevicePolling(true), 0);
    EXPECT_EQ(engine->EnableRemoteDevicePolling(true), 0);
    EXPECT_EQ(device->WaitFor(std::strlen(expected)), expected);
    EXPECT_EQ(engine->EnableRemoteDevicePolling(false), 0);
    EXPECT_TRUE(engine->StopThreadAndWait());
    const std::vector<QZTest::Delivered> posts = engine->WaitFor([](auto&) { return true; });
    ASSERT_EQ(posts.size(), 1u) << "an unchanged list is not announced again";
    EXPECT_EQ(posts[0].As<QZ::LHolder<uint32_t>>()->GetValue(), 1u);
  }
}

TEST(RootModuleEngineConcurrencyTest, AFailedFirstSearchIsRunAgainAtTheNextEnabling) {
  QZTest::ApplicationCentre app;
  const RCPtr<RemoteSearchRecorder> device(new RemoteSearchRecorder(1, 1));
  const RCPtr<Engine> engine = Engine::Create(LRootModuleEngine::kRemoteDeviceListChange, false,
                                              [&] { return RCPtr<LDeviceCommunicationInterfaceT<1>>(device); });
  engine->SetTiming(kShortCycles);
  engine->Initialize(0);
  EXPECT_EQ(engine->EnableRemoteDevicePolling(true), -1);
  EXPECT_EQ(device->WaitFor(1), "F");
  ASSERT_EQ(engine->EnableRemoteDevicePolling(true), 0) << "the failure is not kept for good";
  EXPECT_EQ(device->WaitFor(3), "FSS") << "searched again, then polled";
  EXPECT_EQ(engine->EnableRemoteDevicePolling(false), 0);
  EXPECT_TRUE(engine->StopThreadAndWait());
}

// Finds one device; every search after the first (the enabling thread's) holds the engine
// thread until released.
class HeldSearch : public LDeviceCommunicationInterfaceT<1> {
public:
  int32_t FindRemoteDevices(const QZ::IArray<QZ::Guid>&, QZ::IArray<Variant>& devices, uint32_t, int32_t, int32_t,
                            int32_t, int32_t, int32_t) override {
    devices.SetCount(1);
    devices.GetAt(0).SetInt32(1);
    if (mSearches++ > 0) {
      held.count_down();
      release.wait();
    }
    return 0;
  }

  std::latch held{1};
  std::latch release{1};

private:
  std::atomic<int> mSearches{0};
};

TEST(RootModuleEngineConcurrencyTest, PollingIsNotReportedOnWhileTheThreadIsStillStopping) {
  QZTest::ApplicationCentre app;
  const RCPtr<HeldSearch> device(new HeldSearch);
  const RCPtr<Engine> engine = Engine::Create(LRootModuleEngine::kRemoteDeviceListChange, false,
                                              [&] { return RCPtr<LDeviceCommunicationInterfaceT<1>>(device); });
  engine->SetTiming({.cycleMs = 1, .remoteSearchMs = 0, .stopTimeoutMs = 20});
  engine->Initialize(0);
  ASSERT_EQ(engine->EnableRemoteDevicePolling(true), 0);
  device->held.wait();
  EXPECT_EQ(engine->EnableRemoteDevicePolling(false), 0);
  EXPECT_EQ(engine->EnableRemoteDevicePolling(true), QZ::QZ_E_FAIL) << "the held thread outlasts the stop wait";
  device->release.count_down();
  EXPECT_TRUE(QZTest::WaitUntil([&] { return engine->EnableRemoteDevicePolling(true) == 0; }))
      << "on again once the thread has ended";
  EXPECT_EQ(engine->EnableRemoteDevicePolling(false), 0);
  EXPECT_TRUE(engine->StopThreadAndWait());
}

} // namespace
