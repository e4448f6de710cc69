#pragma once
// The signals with which a desktop asks a program to end: SIGINT (Ctrl+C), SIGTERM (the
// session, `kill`) and SIGHUP (the terminal closed). Each becomes a request the program
// answers through its normal exit, on a thread of its own, so that nothing waits for the
// next event of the window system. SIGXFSZ is ignored while they are watched: a write
// beyond the file-size limit then fails with EFBIG, which a save reports, instead of
// ending the program.
//
//   WatchTerminationSignals([](int signal) { (void)PostThreadMessage(WM_QZ_QUITREQUESTED, signal, 0); });
//   ...
//   SetTerminationExitCode(1);   // a system box is up: a signal now ends the process at once
//   ShowMessageBox(...);
//   SetTerminationExitCode(-1);
//   ...
//   StopWatchingTerminationSignals();
//
// A signal the process inherited as ignored (nohup) stays ignored. Threads: Watch and
// Stop on one thread, while no other thread changes these signals' handling; the rest
// from any thread.

#include <functional>

namespace QZ::Platform::Host {

// Called once for each signal that arrives, on the watcher's thread.
using TerminationRequest = std::function<void(int signal)>;

// Installs the handlers, ignores SIGXFSZ and starts the watcher. False when it watches
// already or the watcher cannot be made (nothing changed then).
[[nodiscard]] bool WatchTerminationSignals(TerminationRequest onRequest);
// Ends the watcher and gives the signals back the handling they had before. Nothing when
// it does not watch.
void StopWatchingTerminationSignals();
// Whether a termination signal arrived since the watch began; false again once the watch
// has ended.
bool TerminationRequested();
// While exitCode is 0 or more and the signals are watched, a termination signal ends the
// process at once with it, and the processes it started with it (for a state in which
// the request cannot be answered, such as SDL's message box, which runs in a process of
// its own); -1 returns to requests.
void SetTerminationExitCode(int exitCode);

} // namespace QZ::Platform::Host
