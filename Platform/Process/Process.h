#pragma once
// Programs started with an argument array (posix_spawnp: found on PATH, never a shell, so
// quotes, "$(...)" and blanks in an argument reach the program as they are).
//
//   ProcessResult chosen = RunProcess({"zenity", "--file-selection", "--title=Open"},
//                                     [] { PumpSomeMessages(); return true; });
//   if (chosen.started && chosen.exitCode == 0) { ... chosen.output ... }
//   if (StartProcess({"xdg-open", "/home/me/guide.pdf"}) < 0) { ... could not start ... }
//
// The child gets the process's environment, standard input from /dev/null, our standard
// error, default signal dispositions, an empty signal mask and no other descriptor of
// ours (a lock or a socket of this process never outlives it in a child).
//
// Threads: any thread; RunProcess blocks its caller (calling whileWaiting meanwhile).

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace QZ::Platform::Process {

struct ProcessResult {
  // Whether the program started; when not, error holds the reason (an errno value).
  bool started = false;
  int error = 0;
  // The exit status (0-255); -1 when a signal ended the program.
  int exitCode = -1;
  // Everything the program wrote to its standard output.
  std::string output;
};

// Called about every kWaitSliceMs while the program runs; answering false ends the
// program (SIGTERM), whose result is then collected as usual.
using WaitCallback = std::function<bool()>;
inline constexpr int kWaitSliceMs = 20;

// Starts argv[0] with arguments argv[1...] and waits for it to end, reading its standard
// output whole. Not started (error EINVAL) for an empty argv.
[[nodiscard]] ProcessResult RunProcess(const std::vector<std::string>& argv, const WaitCallback& whileWaiting = {});

// Starts argv[0] in a session of its own without waiting; a thread of ours collects it
// when it ends, so no zombie is left. Its process id; -1 when it could not start.
[[nodiscard]] pid_t StartProcess(const std::vector<std::string>& argv);

} // namespace QZ::Platform::Process
