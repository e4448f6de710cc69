#pragma once
// Internal to the shell layer: a program of the desktop's (zenity, xdg-open) run as a
// modal step of the UI thread.
//
//   ModalProgram dialog(owner, ModalProgram::Kind::Dialog, times);   // the layer's ShellTimes
//   const ModalProgram::Run run = dialog.Start({"zenity", "--file-selection"}, {});
//   if (run.interrupted) { ... a quit or a termination signal: treat as a cancel ... }
//
// While the program runs the owner is disabled (the queue drops its input, so a second
// click cannot start a second program), the UI thread's queue keeps pumping (our windows
// repaint; thread messages reach their handler) and, for a dialog, the program's shown
// windows become the owner's (Window::OwnProcessWindows; looked for at every pump during
// ShellTimes::ownerSearchFast, then less and less often until found). An opener runs in a
// session of its own with its standard output and error on /dev/null: it, and the browser
// it may start, write nowhere of ours however long they run. The wait ends early when a
// termination signal has come (Host::TerminationRequested) or WM_QUIT is taken: a dialog
// program is then ended, an opener left running; a WM_QUIT is posted again for the loops
// outside once the scope ends. What a dialog program writes on its standard error goes to
// the layer's diagnostic sink, up to the options' errorsLimit (a line then says the rest
// was dropped).
//
// UI thread; on another thread nothing is pumped or disabled and only a termination
// signal cuts the wait short.

#include <chrono>
#include <string>
#include <vector>

#include "Platform/Process/Process.h"
#include "Platform/Shell/CommonDialogs.h"
#include "Platform/Window/WindowTypes.h"

namespace QZ::Platform::Shell {

class ModalProgram {
public:
  enum class Kind {
    // A dialog: its windows become the owner's, it is ended when the wait is cut short,
    // and the owner becomes active again afterwards.
    Dialog,
    // A program that opens a document: left running when the wait is cut short, and the
    // owner is not activated again (the window opened may be in front by then).
    Opener,
  };
  struct Run {
    Process::ProcessResult result;
    // The wait was cut short (or, for a dialog, the program never started) because of
    // a quit or a termination signal.
    bool interrupted = false;
  };

  // owner: the window that is disabled meanwhile (null, or one already disabled: none).
  // times: the pace of the search for a dialog's windows.
  ModalProgram(Window::HWND owner, Kind kind, const ShellTimes& times);
  // Enables the owner again (activating it, for a dialog), then posts a WM_QUIT taken
  // meanwhile again.
  ~ModalProgram();
  ModalProgram(const ModalProgram&) = delete;
  ModalProgram& operator=(const ModalProgram&) = delete;

  // Runs argv as options say; their whileWaiting, started, leaveRunning, keepErrors,
  // discardOutput and newSession are the scope's, their limits and killAfter the caller's.
  // A dialog is not started once the wait would already be cut short.
  Run Start(const std::vector<std::string>& argv, Process::RunOptions options);

private:
  // The wait callback: false once a WM_QUIT was taken or a termination signal came.
  bool Pump();
  // Whether the program's windows are to be looked for in this pump.
  bool SearchDue();

  Window::HWND mOwner = nullptr; // disabled here
  Window::HWND mWindowsOwner = nullptr;
  Kind mKind;
  std::chrono::milliseconds mSearchFast;
  std::chrono::milliseconds mSearchSlowest;
  std::chrono::steady_clock::time_point mStarted;
  std::chrono::steady_clock::time_point mNextSearch;
  std::chrono::milliseconds mSearchInterval{0};
  int32_t mPid = 0;
  bool mOwned = false;
  bool mInterrupted = false;
  bool mQuit = false;
  int32_t mQuitCode = 0;
};

} // namespace QZ::Platform::Shell
