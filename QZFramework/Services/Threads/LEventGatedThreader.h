#pragma once
// QZ::LEventGatedThreader: a thread that runs its worker each time a gate event is
// signalled, or each time its wait for the gate times out.
//
//   QZ::RCPtr<QZ::LEvent> gate(new QZ::LEvent(true));
//   QZ::RCPtr<QZ::LEventGatedThreader> poller(new QZ::LEventGatedThreader(gate, worker, nullptr, 0));
//   poller->SetWaitTimeout(500);     // now also every 500 ms
//   gate->Set();                     // and once at once
//
// The wait time-out starts infinite and is read afresh for every wait, so the owner may
// change it while the thread runs. After each wait, signalled or not, the worker runs
// with the argument (GetLastWaitResult tells which). Destruction stops the thread,
// waiting up to the join time for a running worker (see QZ::Thread for a worker that
// outlasts it: the gate, worker and argument stay alive until it returns).
//
// Threads: the owner constructs and destroys; the rest from any thread.

#include <cstdint>
#include <memory>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Sync/LEvent.h"
#include "QZFramework/Services/Threads/LThreadWorker.h"
#include "QZFramework/Services/Threads/Thread.h"

namespace QZ {

class LEventGatedThreader : public virtual LRefCountedObject {
public:
  // Starts the thread at the given priority (best effort, see Thread::SetPriority),
  // waiting for the gate. The worker and the argument may be null (then nothing runs
  // but the waits); a null gate throws Invalid Argument.
  LEventGatedThreader(const RCPtr<LEvent>& gate, const RCPtr<LThreadWorker>& worker,
                      const RCPtr<LRefCountedObject>& argument, int32_t priority,
                      uint32_t joinTimeoutMs = Thread::kDefaultJoinTimeoutMs);
  ~LEventGatedThreader() override;

  // For the waits that follow; Event::kInfinite: wait for the gate only.
  void SetWaitTimeout(uint32_t timeoutMs);
  uint32_t GetWaitTimeout() const;
  // Event::kSignalled or Event::kTimedOut, of the latest wait.
  uint32_t GetLastWaitResult() const;
  // Whether the worker is running at this moment.
  bool IsRunning() const;

  Thread& GetThread() { return *mThread; }

private:
  struct State;
  static void Run(State& state);

  std::shared_ptr<State> mState;
  std::unique_ptr<Thread> mThread;
};

} // namespace QZ
