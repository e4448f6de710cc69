#include "Platform/Shell/ModalProgram.h"

#include "Platform/Host/MessagePump.h"
#include "Platform/Host/TerminationSignals.h"
#include "Platform/Shell/ShellDiagnostics.h"
#include "Platform/Window/Window.h"

namespace QZ::Platform::Shell {

ModalProgram::ModalProgram(Window::HWND owner, Kind kind) : mKind(kind) {
  if (owner && Window::IsWindow(owner)) {
    mWindowsOwner = kind == Kind::Dialog ? owner : nullptr;
    if (Window::IsWindowEnabled(owner)) {
      mOwner = owner;
      Window::EnableWindow(mOwner, false);
    }
  }
}

ModalProgram::~ModalProgram() {
  if (mOwner && Window::IsWindow(mOwner)) {
    Window::EnableWindow(mOwner, true);
    if (mKind == Kind::Dialog) {
      Window::SetActiveWindow(mOwner);
    }
  }
  if (mQuit) {
    Host::PostQuitMessage(mQuitCode);
  }
}

ModalProgram::Run ModalProgram::Start(const std::vector<std::string>& argv, Process::RunOptions options) {
  Run run;
  if (mKind == Kind::Dialog && !Pump()) {
    // The program is on its way out: no dialog any more.
    run.interrupted = true;
    return run;
  }
  options.whileWaiting = [this] { return Pump(); };
  options.started = [this](pid_t pid) { mPid = int32_t(pid); };
  options.leaveRunning = mKind == Kind::Opener;
  options.keepErrors = true;
  run.result = Process::RunProcess(argv, options);
  run.interrupted = mInterrupted;
  mPid = 0;
  mOwned = false;
  ReportOutput(argv[0], run.result.errors);
  return run;
}

bool ModalProgram::Pump() {
  if (mInterrupted) {
    return false;
  }
  Window::MSG msg;
  Host::Pumped pumped = Host::Pumped::Dispatched;
  while (!mQuit && (pumped = Host::PumpWaitingMessage(msg)) != Host::Pumped::Nothing) {
    if (pumped == Host::Pumped::Quit) {
      mQuit = true;
      mQuitCode = int32_t(msg.wParam);
    }
  }
  // Read after the messages: one of them may be the request the signal's watcher posted.
  mInterrupted = mQuit || Host::TerminationRequested();
  if (!mInterrupted && !mOwned && mPid > 0 && mWindowsOwner && Window::IsWindow(mWindowsOwner)) {
    mOwned = Window::OwnProcessWindows(mWindowsOwner, mPid) > 0;
  }
  return !mInterrupted;
}

} // namespace QZ::Platform::Shell
