#pragma once
// The host under test: a stub application object that the host makes and runs (its
// behaviour set through the test's script), a host that records its steps, a backend whose
// waits drive the test's next step, and the environment of a run (the resource folder,
// the settings folder, message boxes recorded, a trace of the test's own).
//
//   AppScript script;                         // CurrentScript() points at it (the fixture does)
//   TestHost host(ScriptedServices());
//   backend->steps.push_back([] { Host::PostQuitMessage(0); return true; });
//   int32_t exitCode = QZ::FrameworkAppMain("editor", Win::SW_SHOWNORMAL, -1, u"Splash.png");
//   // script.log: "RunApplicationStartup", ..., "DoIdleWork(true)", "OnIdle(0)=0", "wait", "ExitInstance"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Host/MessagePump.h"
#include "Platform/Instance/InstanceNames.h"
#include "Platform/Window/MessageBox.h"
#include "Platform/Window/Window.h"
#include "QZFramework/Application/MFCFrameworkApp.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Notification/NotificationClient.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "Support/FakeApplicationContext.h"
#include "Support/ScriptedVideoBackend.h"
#include "Support/TempFolder.h"

namespace QZTest {

namespace Win = QZ::Platform::Window;
namespace Host = QZ::Platform::Host;

class StubApplication;

// What the stub application does, and what the run did.
struct AppScript {
  QZ::QZResult startupResult = QZ::QZ_OK;
  QZ::QZResult mainWindowResult = QZ::QZ_OK;
  QZ::QZResult rootControlResult = QZ::QZ_OK;
  bool mainWindowTimer = false; // the main window's 33 ms timer, as the OS window starts it
  bool exiting = false;         // IsExiting's answer
  // DoIdleWork's answer (after draining the centre); none: no more work.
  std::function<bool(bool firstPass)> moreWork;
  // Runs at the end of every DoIdleWork.
  std::function<void(StubApplication&)> afterIdleWork;
  // The main window's messages; none: DefWindowProc.
  std::function<Win::LRESULT(Win::HWND, uint32_t, Win::WPARAM, Win::LPARAM)> windowHook;

  // The stub's and the host's steps in order ("RunApplicationStartup", "DoIdleWork(true)",
  // "OnIdle(1)=1", "wait", "ExitInstance" ...).
  std::vector<std::string> log;
  // The notifications the application centre delivered, by name.
  std::vector<std::u16string> heard;
  int applicationsAlive = 0;
  int applicationsMade = 0;

  // Entries of the log equal to entry.
  int Count(const std::string& entry) const { return int(std::count(log.begin(), log.end(), entry)); }
  int Heard(const std::u16string& name) const { return int(std::count(heard.begin(), heard.end(), name)); }
  // The log from the first entry equal to first on.
  std::vector<std::string> From(const std::string& first) const {
    auto at = std::find(log.begin(), log.end(), first);
    return {at, log.end()};
  }
};

inline AppScript*& CurrentScript() {
  static AppScript* script = nullptr;
  return script;
}

// Hears what the application centre delivers.
class CentreListener : public QZ::LNotificationClient {
public:
  explicit CentreListener(AppScript& script) : mScript(script) {}
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    mScript.heard.emplace_back(notification->GetID());
    if (onReceive) {
      onReceive(notification);
    }
    return QZ::QZ_OK;
  }
  std::function<void(const QZ::RCPtr<QZ::LNotification>&)> onReceive;

private:
  AppScript& mScript;
};

// The application object the host makes: answers as the script says, owns the
// "application" notification centre (installed through the application context) and,
// once asked, a main window.
class StubApplication : public QZ::LRefCountedObject, private Win::WindowProcedure {
public:
  StubApplication(const QZ::RCPtr<QZ::LControlFactory>& controlFactory, const QZ::RCPtr<QZ::LStringTable>& framework,
                  const QZ::WString& line)
      : factory(controlFactory), frameworkTable(framework), commandLine(line), mScript(*CurrentScript()) {
    ++mScript.applicationsAlive;
    ++mScript.applicationsMade;
    centre = mCentres.GetNotificationCenter(u"application");
    mContext.SetApplicationNotificationCenter(centre.Get());
    listener = QZ::RCPtr<CentreListener>(new CentreListener(mScript));
    for (QZ::NotificationName name : {u"NID_IDLE", u"NID_APP_EXIT_REQ", u"NID_TEST_POST"}) {
      listener->RegisterNotification(centre, name);
    }
  }
  ~StubApplication() override {
    listener->UnregisterAllNotifications();
    if (Win::IsWindow(mainWindow)) {
      Win::DestroyWindow(mainWindow);
    }
    --mScript.applicationsAlive;
  }

  QZ::QZResult OnCommandLine(QZ::CommandLineStage stage, const QZ::WString&) {
    mScript.log.push_back(stage == QZ::CommandLineStage::BeforeStartup ? "OnCommandLine(before)"
                                                                       : "OnCommandLine(after)");
    return QZ::QZ_OK;
  }
  QZ::QZResult RunApplicationStartup() {
    mScript.log.push_back("RunApplicationStartup");
    return mScript.startupResult;
  }
  int32_t GetRendererType() { return 1; }
  QZ::QZResult CreateMainWindow(int32_t rendererType) {
    mScript.log.push_back("CreateMainWindow(" + std::to_string(rendererType) + ")");
    mainWindow = Win::CreateWindowEx(0, u"Stub", Win::WS_CAPTION | Win::WS_SYSMENU, 10, 10, 320, 200, nullptr, this);
    QZ::HostApp::Get()->SetMainWindow(mainWindow);
    if (mScript.mainWindowTimer) {
      Host::SetTimer(mainWindow, 1, 33); // a failure shows as missing idle periods
    }
    return mScript.mainWindowResult;
  }
  QZ::WString GetMainControlName() { return QZ::WString(u"mainControl"); }
  QZ::QZResult SetMainRootControl(const QZ::WString& name) {
    mScript.log.push_back("SetMainRootControl(" + std::string(QZ::NString(name).GetBuffer()) + ")");
    return mScript.rootControlResult;
  }
  void Run() {
    mScript.log.push_back("Run");
    mScript.log.push_back("RunMessageLoop=" + std::to_string(QZ::HostApp::Get()->RunMessageLoop()));
  }
  QZ::QZResult RunApplicationShutdown() {
    mScript.log.push_back("RunApplicationShutdown");
    return QZ::QZ_OK;
  }
  bool IsExiting() { return mScript.exiting; }
  bool DoIdleWork(bool firstPass) {
    mScript.log.push_back(firstPass ? "DoIdleWork(true)" : "DoIdleWork(false)");
    const bool waiting = mCentres.ProcessNotifications(firstPass);
    const bool more = mScript.moreWork ? mScript.moreWork(firstPass) : waiting;
    if (mScript.afterIdleWork) {
      mScript.afterIdleWork(*this);
    }
    return more;
  }

  const QZ::RCPtr<QZ::LControlFactory> factory;
  const QZ::RCPtr<QZ::LStringTable> frameworkTable;
  const QZ::WString commandLine;
  QZ::RCPtr<QZ::LNotificationCenter> centre;
  QZ::RCPtr<CentreListener> listener;
  Win::HWND mainWindow = nullptr;

private:
  Win::LRESULT WindowProc(Win::HWND hwnd, uint32_t message, Win::WPARAM wParam, Win::LPARAM lParam) override {
    if (message == Win::WM_CLOSE) {
      mScript.log.push_back("WM_CLOSE");
    }
    if (mScript.windowHook) {
      return mScript.windowHook(hwnd, message, wParam, lParam);
    }
    return Win::DefWindowProc(hwnd, message, wParam, lParam);
  }

  AppScript& mScript;
  QZ::LNotificationCenterManager mCentres;
  FakeApplicationContext mContext;
};

// The host of the stub, recording its idle answers and its end.
class TestHost : public QZ::MFCFrameworkApp<StubApplication> {
public:
  explicit TestHost(Services services) : MFCFrameworkApp(std::move(services)) {}
  bool OnIdle(int32_t idleCount) override {
    const bool again = MFCFrameworkApp::OnIdle(idleCount);
    Log("OnIdle(" + std::to_string(idleCount) + ")=" + (again ? "1" : "0"));
    return again;
  }
  int32_t ExitInstance() override {
    Log("ExitInstance");
    return MFCFrameworkApp::ExitInstance();
  }

private:
  static void Log(std::string entry) {
    if (CurrentScript()) {
      CurrentScript()->log.push_back(std::move(entry));
    }
  }
};

// The scripted backend whose every wait for an event (the loop has nothing to do) is
// logged and runs the test's next step first. A step answers whether it acted: then the
// wait returns what the step pushed, if anything, and the queue looks again (a step that
// posts a message or a quit needs no event); else the wait goes on as scripted (its
// time-out passes at once on the fake clock, so a timer becomes due).
class SteppedBackend : public ScriptedVideoBackend {
public:
  explicit SteppedBackend(AppScript& script) : mScript(script) {}
  bool WaitEventTimeout(SDL_Event& event, int32_t timeoutMs) override {
    mScript.log.push_back("wait");
    timeouts.push_back(timeoutMs);
    if (!steps.empty()) {
      std::function<bool()> step = std::move(steps.front());
      steps.pop_front();
      if (step()) {
        return PollEvent(event);
      }
    }
    return ScriptedVideoBackend::WaitEventTimeout(event, timeoutMs);
  }
  // Wake-ups pushed from any thread.
  bool PushEvent(SDL_Event& event) override {
    ++pushed;
    return ScriptedVideoBackend::PushEvent(event);
  }
  std::deque<std::function<bool()>> steps;
  std::vector<int32_t> timeouts; // of each wait, in order (-1: without a time-out)
  std::atomic<int> pushed{0};

private:
  AppScript& mScript;
};

// Environment variables set for a scope, restored after.
class ScopedEnvironment {
public:
  ScopedEnvironment() = default;
  ScopedEnvironment(const ScopedEnvironment&) = delete;
  ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;
  ~ScopedEnvironment() {
    for (const auto& [name, value] : mSaved) {
      if (value) {
        ::setenv(name.c_str(), value->c_str(), 1);
      } else {
        ::unsetenv(name.c_str());
      }
    }
  }
  void Set(const std::string& name, const std::string& value) {
    Save(name);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  void Unset(const std::string& name) {
    Save(name);
    ::unsetenv(name.c_str());
  }

private:
  void Save(const std::string& name) {
    if (mSaved.count(name)) {
      return;
    }
    const char* value = std::getenv(name.c_str());
    mSaved[name] = value ? std::optional<std::string>(value) : std::nullopt;
  }
  std::map<std::string, std::optional<std::string>> mSaved;
};

struct RecordedBox {
  std::u16string text;
  std::u16string caption;
  uint32_t style;
};

// A run of the host over the test data: resources in folder mode, settings in a
// temporary folder, English, message boxes recorded, the trace the test's own.
class HostRunTest : public ::testing::Test {
protected:
  void SetUp() override {
    CurrentScript() = &script;
    environment.Set("SDL_VIDEODRIVER", "offscreen");
    environment.Set("QZ_RESOURCE_FOLDER", QZ_APPLICATION_TEST_DATA);
    environment.Set("XDG_CONFIG_HOME", folder / "config");
    environment.Unset("LC_ALL");
    environment.Unset("LC_MESSAGES");
    environment.Set("LANG", "en_US.UTF-8");
    // The instance lock and hand-over socket of this test alone (runs beside it hold
    // their own).
    environment.Set("XDG_RUNTIME_DIR", folder.Path());
    socketName = QZ::Platform::Instance::HandOverSocketName(
        QZ::Platform::Instance::LockFilePath(QZ::NString(QZ::MFCFrameworkAppBase::GetAppId()).GetBuffer()));
    Win::SetMessageBoxRecorder([this](std::u16string_view text, std::u16string_view caption, uint32_t style) {
      boxes.push_back({std::u16string(text), std::u16string(caption), style});
      return Win::IDOK;
    });
  }
  void TearDown() override {
    Win::SetMessageBoxRecorder({});
    CurrentScript() = nullptr;
  }

  // Services whose window system is a SteppedBackend (fake clock) kept in `backend`.
  QZ::MFCFrameworkAppBase::Services SteppedServices() {
    QZ::MFCFrameworkAppBase::Services services;
    services.startWindowSystem = [this] {
      auto owned = std::make_unique<SteppedBackend>(script);
      backend = owned.get();
      owned->steps = std::move(pendingSteps);
      return Host::Startup(std::move(owned));
    };
    services.trace = &trace;
    return services;
  }
  // A step for the backend's next wait (given before the run starts).
  void Step(std::function<bool()> step) { pendingSteps.push_back(std::move(step)); }
  static bool Quit() {
    Host::PostQuitMessage(0);
    return true;
  }

  int32_t Run(const std::string& commandLine = "quorin-ztr-preset-editor", int32_t languageId = -1) {
    return QZ::FrameworkAppMain(commandLine, Win::SW_SHOWNORMAL, languageId, u"Splash.png");
  }

  AppScript script;
  TempFolder folder;
  ScopedEnvironment environment;
  std::vector<RecordedBox> boxes;
  std::vector<std::string> traced;
  QZ::DebugTrace trace{[this](std::string_view text) { traced.emplace_back(text); }};
  SteppedBackend* backend = nullptr;
  std::deque<std::function<bool()>> pendingSteps;
  // The hand-over socket of this test's instance lock.
  std::string socketName;
};

} // namespace QZTest
