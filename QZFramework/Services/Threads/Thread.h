#pragma once
// QZ::Thread: an operating-system thread that runs one routine, created suspended.
//
//   QZ::Thread thread([state] { Work(*state); });   // exists, does not run yet
//   thread.Start();
//   if (!thread.Wait(1000)) { ... still running ... }
//
// The routine runs once, after Start (or after a Wait on a thread never started, which
// starts it). The done light is open while the routine is not running: before it begins
// and after it returns; IsFinished and Wait read it.
//
// Destruction waits up to the join time (60000 ms unless given) for the routine. A
// routine still running then cannot be ended safely: it is reported to the debug trace
// and left to finish on its own, and what it captured stays alive (the routine is shared
// with the thread) until it returns. A thread never started ends without running its
// routine. A routine that destroys its own Thread (by dropping the last reference to
// its owner) is left to return on its own, without a wait.
//
// Failures: when the system refuses a thread nothing throws; Start returns false,
// IsFinished and Wait return true at once and the routine never runs.
//
// Threads: the owner constructs, starts, names, prioritises and destroys; IsFinished
// and Wait may be called from any thread (Wait from the thread itself returns false).

#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "QZFramework/Services/Sync/Event.h"
#include "QZFramework/Utilities/Storage/StringFwd.h"

namespace QZ {

class Thread {
public:
  using Routine = std::function<void()>;
  static constexpr uint32_t kDefaultJoinTimeoutMs = 60000;

  // The thread exists, suspended, when the constructor returns. The routine must not
  // throw.
  explicit Thread(Routine routine, uint32_t joinTimeoutMs = kDefaultJoinTimeoutMs);
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  virtual ~Thread();

  // Lets the routine run; false when already started or when the thread was refused.
  bool Start();
  // Whether the routine has returned, or the thread was refused and never started.
  bool IsFinished();
  // Waits up to timeoutMs (QZ::Event::kInfinite: no limit) for the routine to return;
  // true when it has. Starts a thread never started.
  bool Wait(uint32_t timeoutMs);
  // A Win32 thread priority (-15 idle ... 0 normal ... 2 highest, 15 time-critical),
  // applied as the thread's nice value: best effort. false when the system refuses it
  // (an unprivileged process cannot raise a priority, nor restore one it lowered) or
  // the thread has ended; the thread then keeps its priority.
  bool SetPriority(int32_t priority);
  // The name the system shows for the thread, cut to its 15-byte limit on a character
  // boundary; an empty name leaves the system's name alone. Also names the thread in
  // the trace's reports.
  void SetName(const WString& name);

  // Whether the calling thread is this thread.
  bool IsCurrent() const;

  // Thread objects alive in the process.
  static int32_t GetLiveCount();

private:
  struct State;
  static void Run(const std::shared_ptr<State>& state);

  std::shared_ptr<State> mState;
  std::thread mThread;
};

} // namespace QZ
