// A second start's command line reaches the running host: over the socket to the
// listener's thread, then as a thread message to the UI thread, which brings the main
// window forward and hands the line to it; a second host hands its own line over and ends.

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "HostTestSupport.h"
#include "Platform/Instance/HandOverListener.h"
#include "Platform/Instance/InstanceLock.h"
#include "Support/WaitUntil.h"

namespace QZTest {
namespace {

namespace Instance = QZ::Platform::Instance;
using namespace std::chrono_literals;

// The stepped backend on the real clock, whose windows can be minimised and restored;
// what it restores and raises goes to lists that outlive it.
class WindowStateBackend : public SteppedBackend {
public:
  WindowStateBackend(AppScript& script, std::vector<uint32_t>& restored, std::vector<uint32_t>& raisedWindows)
      : SteppedBackend(script), mRestored(restored), mRaised(raisedWindows) {}
  void MinimizeWindow(uint32_t window) override { windowStates[window] = SDL_WINDOW_MINIMIZED; }
  void RestoreWindow(uint32_t window) override {
    windowStates.erase(window);
    mRestored.push_back(window);
  }
  void RaiseWindow(uint32_t window) override { mRaised.push_back(window); }

private:
  std::vector<uint32_t>& mRestored;
  std::vector<uint32_t>& mRaised;
};

// What reached the main window as WM_COPYDATA.
struct CopyData {
  Win::WPARAM wParam = 0;
  uintptr_t dwData = 0;
  std::string bytes;
  bool iconic = true;
};

class HandOverHostTest : public HostRunTest {
protected:
  QZ::MFCFrameworkAppBase::Services RealTimeServices() {
    QZ::MFCFrameworkAppBase::Services services = SteppedServices();
    services.startWindowSystem = [this] {
      auto owned = std::make_unique<WindowStateBackend>(script, restored, raised);
      backend = owned.get();
      owned->steps = std::move(pendingSteps);
      owned->SetRealTime(true);
      return Host::Startup(std::move(owned));
    };
    return services;
  }
  // Records WM_COPYDATA; the quit follows the one whose text is `last`.
  void RecordCopyData(const std::string& last) {
    script.windowHook = [this, last](Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) {
      if (message != Win::WM_COPYDATA) {
        return Win::DefWindowProc(hwnd, message, wParam, lParam);
      }
      const auto* data = reinterpret_cast<const Win::COPYDATASTRUCT*>(lParam);
      CopyData copy{wParam, data->dwData, std::string(static_cast<const char*>(data->lpData), data->cbData),
                    Win::IsIconic(hwnd)};
      script.log.push_back("WM_COPYDATA");
      copies.push_back(copy);
      if (copy.bytes == last + '\0') {
        Host::PostQuitMessage(0);
      }
      return Win::LRESULT(1);
    };
  }
  std::string LockPath() const { return Instance::LockFilePath("Vandrel_Quorin ZTR Preset Editor"); }
  std::vector<std::string> TracedLines() const {
    std::vector<std::string> lines;
    for (const std::string& text : traced) {
      if (text.rfind("Command line from another instance: ", 0) == 0) {
        lines.push_back(text);
      }
    }
    return lines;
  }

  std::vector<uint32_t> restored;
  std::vector<uint32_t> raised;
  std::vector<CopyData> copies;
};

TEST_F(HandOverHostTest, AMinimisedMainWindowIsRestoredRaisedAndGivenTheLineOnlyWhenThereIsOne) {
  RecordCopyData("\"editor\" a b");
  uint32_t mainId = 0;
  Step([&] {
    const Win::HWND main = QZ::HostApp::Get()->GetMainWindow();
    mainId = ScriptedVideoBackend::SdlIdOf(main);
    Win::ShowWindow(main, Win::SW_MINIMIZE);
    EXPECT_TRUE(Win::IsIconic(main));
    raised.clear();
    EXPECT_EQ(Instance::SendHandOver(socketName, "", {}), Instance::HandOverResult::Sent);
    EXPECT_EQ(Instance::SendHandOver(socketName, "\"editor\" a b", {}), Instance::HandOverResult::Sent);
    return false; // the listener's post wakes the loop
  });
  TestHost host(RealTimeServices());
  EXPECT_EQ(Run(), 0);

  ASSERT_EQ(copies.size(), 1u);
  EXPECT_EQ(copies[0].wParam, 1125u);
  EXPECT_EQ(copies[0].dwData, 1125u);
  EXPECT_EQ(copies[0].bytes, std::string("\"editor\" a b\0", 13));
  EXPECT_FALSE(copies[0].iconic);
  // The empty line restored and raised the window; the second found it restored.
  EXPECT_EQ(restored, std::vector<uint32_t>{mainId});
  EXPECT_GE(std::count(raised.begin(), raised.end(), mainId), 2);
  EXPECT_EQ(TracedLines(), (std::vector<std::string>{"Command line from another instance: \n",
                                                     "Command line from another instance: \"editor\" a b\n"}));
}

TEST_F(HandOverHostTest, ALineReceivedDuringTheStartupWaitsForTheLoop) {
  RecordCopyData("early");
  QZ::MFCFrameworkAppBase::Services services = RealTimeServices();
  // InitInstance runs after the instance was decided and before the main window exists.
  services.initializeOle = [this] {
    EXPECT_EQ(Instance::SendHandOver(socketName, "early", {}), Instance::HandOverResult::Sent);
    return true;
  };
  TestHost host(services);
  EXPECT_EQ(Run(), 0);
  ASSERT_EQ(copies.size(), 1u);
  const std::vector<std::string> fromRun = script.From("Run");
  EXPECT_NE(std::find(fromRun.begin(), fromRun.end(), "WM_COPYDATA"), fromRun.end());
}

TEST_F(HandOverHostTest, ASecondHostHandsItsLineToTheRunningOneAndEndsWithoutAWindow) {
  Instance::InstanceLock running(LockPath());
  ASSERT_EQ(running.GetState(), Instance::InstanceLock::State::Held);
  std::mutex mutex;
  std::condition_variable arrived;
  std::vector<std::string> received;
  auto listener = Instance::HandOverListener::Start(socketName, {}, [&](std::string line) {
    std::lock_guard lock(mutex);
    received.push_back(std::move(line));
    arrived.notify_all();
  });
  ASSERT_TRUE(listener);

  TestHost host(SteppedServices());
  EXPECT_EQ(Run("editor a b"), 0);
  EXPECT_EQ(script.applicationsMade, 0);
  EXPECT_TRUE(boxes.empty());
  std::unique_lock lock(mutex);
  EXPECT_TRUE(WaitUntil(lock, arrived, [&] { return !received.empty(); }));
  EXPECT_EQ(received, std::vector<std::string>{"editor a b"});
}

TEST_F(HandOverHostTest, WhenNobodyTakesTheLineTheSecondHostRunsAsAnInstanceOfItsOwn) {
  Instance::InstanceLock running(LockPath());
  ASSERT_EQ(running.GetState(), Instance::InstanceLock::State::Held);
  QZ::MFCFrameworkAppBase::Services services = SteppedServices();
  services.instance.send.connectTime = 50ms;
  Step(Quit);
  TestHost host(services);
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(script.applicationsMade, 1);
  EXPECT_EQ(script.Count("RunApplicationStartup"), 1);
}

TEST_F(HandOverHostTest, AfterTheRunNothingIsTakenAndTheLockIsHeldUntilTheHostGoes) {
  {
    Step(Quit);
    TestHost host(SteppedServices());
    EXPECT_EQ(Run(), 0);
    Instance::HandOverSendOptions brief;
    brief.connectTime = 50ms;
    EXPECT_EQ(Instance::SendHandOver(socketName, "late", brief), Instance::HandOverResult::NoListener);
    EXPECT_EQ(Instance::InstanceLock(LockPath()).GetState(), Instance::InstanceLock::State::Busy);
  }
  EXPECT_EQ(Instance::InstanceLock(LockPath()).GetState(), Instance::InstanceLock::State::Held);
}

} // namespace
} // namespace QZTest
