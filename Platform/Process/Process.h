#pragma once
// Programs started with an argument array (posix_spawnp: found on PATH, never a shell, so
// quotes, "$(...)" and blanks in an argument reach the program as they are).
//
//   ProcessResult chosen = RunProcess({"zenity", "--file-selection", "--title=Open"},
//                                     [] { PumpSomeMessages(); return true; });
//   if (chosen.started && chosen.exitCode == 0 && chosen.error == 0 && !chosen.outputOverLimit) {
//     ... chosen.output: all it wrote, 16 MiB at most ...
//   }
//
//   RunOptions options;                       // an opener that may run on: wait 5 s at most
//   options.bound = std::chrono::seconds(5);
//   options.newSession = true;                // the browser it starts outlives our Ctrl+C
//   options.discardOutput = true;             // and writes nowhere of ours
//   ProcessResult opened = RunProcess({"xdg-open", "/home/me/guide.pdf"}, options);
//   if (opened.running || opened.exitCode == 0) { ... opened ... }
//
// The child gets the process's environment, standard input from /dev/null, our standard
// error (or a file of ours, with keepErrors), default signal dispositions, an empty signal
// mask, our resource limits and no other descriptor of ours (a lock or a socket of this
// process never outlives it in a child). Its standard output goes to an anonymous memory
// file, not a pipe: a child of its own that keeps the descriptor never writes into a
// closed pipe once we stop reading (SIGPIPE would end it), and the file behaves as any
// other (reopened through /dev/stdout, appended to, truncated, written after a seek), so
// what is read is what a regular file would hold.
//
// The child may make that file as large as it likes: nothing but its own file-size limit
// (RLIMIT_FSIZE, normally none) and the system's memory bounds what it writes, and a file
// truncated to 64 GiB or written one byte at 1 TiB claims that size while holding nothing.
// So neither the file's size nor what it holds decides what we take: we read at most
// outputLimit bytes of standard output (more is outputOverLimit, and none of it is kept)
// and the first errorsLimit bytes of standard error (the rest dropped, errorsOverLimit).
// Whatever a child writes after we stopped reading stays in its file, never in us. Nothing
// that reading or allocating throws leaves RunProcess: a run whose output cannot be had
// says why in ProcessResult::error.
//
// Threads: any thread; RunProcess blocks its caller (calling whileWaiting meanwhile).

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace QZ::Platform::Process {

struct ProcessResult {
  // Whether the program started. error: when not, why (an errno value); when it did, why
  // its standard output could not be read (ENOMEM: no memory for what outputLimit lets
  // it hold; output is then empty); 0 otherwise.
  bool started = false;
  int error = 0;
  // The exit status (0-255); -1 when a signal ended the program (signal tells which) or
  // while it runs.
  int exitCode = -1;
  int signal = 0;
  // The program was left running (the bound passed, the wait was stopped with
  // leaveRunning, or it outlived SIGKILL by killAfter, stuck in the kernel): a thread of
  // ours collects it when it ends.
  bool running = false;
  // What its standard output holds, from its start to its size, when it ended or was left
  // running; empty when it held more than RunOptions::outputLimit (outputOverLimit).
  std::string output;
  bool outputOverLimit = false;
  // With RunOptions::keepErrors, the start of its standard error: all of it, or its first
  // RunOptions::errorsLimit bytes when it held more (errorsOverLimit).
  std::string errors;
  bool errorsOverLimit = false;
};

// The most of a program's standard output that is read: far beyond any answer (a
// multiple selection of thousands of long paths), far below what memory holds.
inline constexpr size_t kDefaultOutputLimit = size_t(16) << 20;
// The most of its standard error that is kept: it only goes to a trace.
inline constexpr size_t kDefaultErrorsLimit = size_t(64) << 10;

// Called about every kWaitSliceMs while the program runs; false stops the wait.
using WaitCallback = std::function<bool()>;
inline constexpr int kWaitSliceMs = 20;

struct RunOptions {
  WaitCallback whileWaiting;
  // Called once with the program's process id as soon as it started, before any wait.
  std::function<void(pid_t pid)> started;
  // What a stopped wait does: end the program (SIGTERM, then SIGKILL once killAfter has
  // passed) and collect it; or, with leaveRunning, leave it running. One that SIGKILL has
  // not ended killAfter later (stuck in the kernel, on a hung mount say) is left running
  // rather than waited for without end.
  bool leaveRunning = false;
  std::chrono::milliseconds killAfter{500};
  // The longest wait (0: until the program ends); a program still running then is left
  // running.
  std::chrono::milliseconds bound{0};
  // Its standard error into ProcessResult::errors rather than ours.
  bool keepErrors = false;
  // The most bytes read of its standard output, and kept of its standard error. A file
  // that claims more (sparse, holding nothing) has a buffer of limit + 1 bytes allocated
  // for it: a limit past what memory holds fails the read with ENOMEM where the allocator
  // throws, and ends the process where it does not (under the sanitizers).
  size_t outputLimit = kDefaultOutputLimit;
  size_t errorsLimit = kDefaultErrorsLimit;
  // Its standard output and error on /dev/null (output and errors stay empty; keepErrors
  // is not looked at): for a program that may outlive the wait and us, whose writes then
  // hold nothing of ours and never fail for our sake.
  bool discardOutput = false;
  // In a session (and process group) of its own: Ctrl+C in our terminal, or the terminal
  // closed, does not reach it or what it starts (a browser lives on without us).
  bool newSession = false;
};

// Starts argv[0] with arguments argv[1...] and waits for it as options say, reading its
// output within the options' limits. Not started (error EINVAL) for an empty argv, nor
// (its errno value) when no memory file can be had. Throws nothing of its own (what the
// callbacks throw passes through). Calls KeepChildExitStatuses first.
[[nodiscard]] ProcessResult RunProcess(const std::vector<std::string>& argv, const RunOptions& options);
// The same with whileWaiting alone: a stopped wait ends the program; its standard error is
// ours.
[[nodiscard]] ProcessResult RunProcess(const std::vector<std::string>& argv, const WaitCallback& whileWaiting = {});

// Makes the ends of our children ours to collect. A SIGCHLD that our parent left ignored
// (exec keeps that; some launchers do it) has the kernel collect them itself, so that no
// exit status could be had and every program would seem to have failed. Gives SIGCHLD its
// default action where it was ignored, and drops SA_NOCLDWAIT where it was set. Call it at
// start, before any child. Any thread.
void KeepChildExitStatuses();

} // namespace QZ::Platform::Process
