#include "QZFramework/Application/HostApp.h"

#include <cstdio>

#include "Platform/Host/MessageLoop.h"
#include "Platform/Host/MessagePump.h"
#include "Platform/Host/ProfileStore.h"
#include "QZFramework/Application/ApplicationFolders.h"
#include "QZFramework/Application/VersionResource.h"
#include "QZFramework/Services/Trace/DebugTrace.h"

namespace QZ {

namespace Host = Platform::Host;
namespace Win = Platform::Window;

namespace {

HostApp*& Registered() {
  static HostApp* host = nullptr;
  return host;
}

std::u16string_view View(const WString& text) { return text.View(); }

} // namespace

HostApp::HostApp(WindowSystemStart startWindowSystem) : mStartWindowSystem(std::move(startWindowSystem)) {
  if (!Registered()) {
    Registered() = this;
  }
}

HostApp::~HostApp() {
  WinTerm();
  if (Registered() == this) {
    Registered() = nullptr;
  }
}

HostApp* HostApp::Get() { return Registered(); }

bool HostApp::WinInit(std::string_view commandLine, int32_t showCommand) {
  mCommandLine = WString(std::string(commandLine).c_str());
  mShowCommand = showCommand;
  if (mWindowSystemStarted) {
    return true;
  }
  mWindowSystemStarted = mStartWindowSystem ? mStartWindowSystem() : Host::Startup();
  if (mWindowSystemStarted) {
    Host::ResetPumpState();
  }
  return mWindowSystemStarted;
}

void HostApp::WinTerm() {
  if (!mWindowSystemStarted) {
    return;
  }
  Host::Shutdown();
  mWindowSystemStarted = false;
  mMainWindow = nullptr;
}

bool HostApp::InitApplication() { return true; }

bool HostApp::InitInstance() { return true; }

int32_t HostApp::Run() { return RunMessageLoop(); }

bool HostApp::OnIdle(int32_t) { return false; }

int32_t HostApp::ExitInstance() { return mQuitCode; }

int32_t HostApp::RunMessageLoop() {
  bool idle = true;
  int32_t idleCount = 0;
  Win::MSG msg;
  for (;;) {
    Host::Pumped pumped = Host::PumpWaitingMessage(msg);
    if (pumped == Host::Pumped::Nothing) {
      if (idle && OnIdle(idleCount++)) {
        continue;
      }
      idle = false;
      pumped = Host::PumpMessage(msg);
    }
    if (pumped == Host::Pumped::Quit) {
      mQuitCode = int32_t(msg.wParam);
      return ExitInstance();
    }
    if (Host::IsIdleMessage(msg)) {
      idle = true;
      idleCount = 0;
    }
  }
}

Win::HWND HostApp::GetMainWindow() const { return Win::IsWindow(mMainWindow) ? mMainWindow : nullptr; }

void HostApp::SetRegistryKey(const WString& company) {
  const WString application(GetProgramVersionValue(u"ProductName").c_str());
  const std::string folder = GetUserApplicationFolder(company, application);
  std::string reason = folder.empty() ? DescribeMissingApplicationFolder(true) : std::string();
  if (!reason.empty() || !CreateFolders(folder, &reason)) {
    mProfile = nullptr;
    ReportSettingsNotKept(reason);
    return;
  }
  mProfile = std::make_unique<Host::ProfileStore>(folder, [this](const std::string& line) { Report(line); });
}

void HostApp::Report(const std::string& line) const {
  std::fprintf(stderr, "%s\n", line.c_str());
  std::fflush(stderr);
  DebugTrace::Get().Narrow() << line << "\n";
}

void HostApp::ReportSettingsNotKept(const std::string& reason) const {
  if (mSettingsNotKeptReported) {
    return;
  }
  mSettingsNotKeptReported = true;
  Report("Settings will not be kept: " + reason + ".");
}

std::optional<std::vector<uint8_t>> HostApp::GetProfileBinary(const WString& section, const WString& entry) const {
  if (!mProfile) {
    return std::nullopt;
  }
  return mProfile->GetProfileBinary(View(section), View(entry));
}

bool HostApp::WriteProfileBinary(const WString& section, const WString& entry, std::span<const uint8_t> bytes) {
  return mProfile && mProfile->WriteProfileBinary(View(section), View(entry), bytes);
}

} // namespace QZ
