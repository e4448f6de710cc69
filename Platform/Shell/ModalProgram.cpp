#include "Platform/Shell/ModalProgram.h"

#include <algorithm>

#include "Platform/Host/MessagePump.h"
#include "Platform/Host/TerminationSignals.h"
#include "Platform/Shell/ShellDiagnostics.h"
#include "Platform/Window/Window.h"

namespace QZ::Platform::Shell {

ModalProgram::ModalProgram(Window::HWND owner, Kind kind, const ShellTimes& times)
    : mKind(kind), mSearchFast(times.ownerSearchFast), mSearchSlowest(times.ownerSearchSlowest) {
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
  options.started = [this](pid_t pid) {
    mPid = int32_t(pid);
    mStarted = std::chrono::steady_clock::now();
    mNextSearch = mStarted;
    mSearchInterval = std::chrono::milliseconds(0);
  };
  options.leaveRunning = mKind == Kind::Opener;
  options.keepErrors = true;
  // The browser an opener may start is the user's, not ours: it outlives our terminal's
  // Ctrl+C, and what it prints for as long as it runs goes nowhere of ours.
  options.newSession = mKind == Kind::Opener;
  options.discardOutput = mKind == Kind::Opener;
  run.result = Process::RunProcess(argv, options);
  run.interrupted = mInterrupted;
  mPid = 0;
  mOwned = false;
  ReportOutput(argv[0], run.result.errors);
  if (run.result.errorsOverLimit) {
    Report(argv[0] + ": more on standard error than " + SizeText(options.errorsLimit) + ": the rest dropped");
  }
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
  if (!mInterrupted && !mOwned && mPid > 0 && mWindowsOwner && Window::IsWindow(mWindowsOwner) && SearchDue()) {
    mOwned = Window::OwnProcessWindows(mWindowsOwner, mPid) > 0;
  }
  return !mInterrupted;
}

bool ModalProgram::SearchDue() {
  using namespace std::chrono;
  const steady_clock::time_point now = steady_clock::now();
  if (now < mNextSearch) {
    return false;
  }
  // A dialog that has not shown by now may never show on this display (a zenity on
  // Wayland beside our X window): looking at every pump would cost the whole wait.
  if (now - mStarted >= mSearchFast) {
    mSearchInterval = std::min(std::max(mSearchInterval * 2, milliseconds(2 * Process::kWaitSliceMs)), mSearchSlowest);
    mNextSearch = now + mSearchInterval;
  }
  return true;
}

} // namespace QZ::Platform::Shell
