#pragma once
// QZ::RetriggerableThreader: a thread that runs one job each time it is started, with
// an optional light that opens when the job is done.
//
//   QZ::RetriggerableThreader engine(u"Engine");
//   QZ::RCPtr<QZ::LEvent> done(new QZ::LEvent(true));
//   if (engine.StartWorker(worker, nullptr, done, 0) == 0) {
//     done->Wait(QZ::Event::kInfinite);       // the job has returned
//   }
//
// One job at a time: StartWorker while a job runs fails and changes nothing; the busy
// state ends after the job's worker has returned and the threader has released the
// worker and the argument, just before the light opens. The thread lives as long as the
// threader; destruction stops it, waiting up to the join time for a running job (see
// QZ::Thread for a job that outlasts it: the job's worker, argument and light stay alive
// until it returns).
//
// Threads: StartWorker and Stop from one thread at a time (the owner, or under the
// owner's lock); the queries and ToString from any thread.

#include <cstdint>
#include <memory>
#include <mutex>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Sync/LEvent.h"
#include "QZFramework/Services/Threads/LThreadWorker.h"
#include "QZFramework/Services/Threads/Thread.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class RetriggerableThreader : public IStringable {
public:
  // Starts the thread, idle. A threader of a pool's slot array has an empty name.
  explicit RetriggerableThreader(const WString& name = WString(),
                                 uint32_t joinTimeoutMs = Thread::kDefaultJoinTimeoutMs);
  RetriggerableThreader(const RetriggerableThreader&) = delete;
  RetriggerableThreader& operator=(const RetriggerableThreader&) = delete;
  ~RetriggerableThreader() override;

  // Runs worker->Process(&argument) once on the thread at the given priority (best
  // effort, see Thread::SetPriority). The light, when given, closes now and opens once
  // the job is done. 0, or QZ_E_FAIL when the threader is stopping or still busy.
  [[nodiscard]] QZResult StartWorker(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& argument,
                                     const RCPtr<LEvent>& light, int32_t priority);
  // The same without a light.
  [[nodiscard]] QZResult StartWorker(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& argument,
                                     int32_t priority);

  // Refuses further jobs and ends the thread once a running job has returned; waits up
  // to the join time for that. true when the thread has ended (false at once when
  // called from the threader's own job).
  bool Stop();

  bool IsBusy() const;
  // What the last job's worker returned (0 before the first job).
  int32_t GetResult() const;
  // The thread that runs the jobs.
  Thread& GetThread() { return *mThread; }

  WString ToString() const override;
  // Also names the thread (see Thread::SetName).
  void SetName(const WString& name);

  // Jobs run by every threader of the process.
  static int32_t GetJobCount();

private:
  struct State;
  static void Run(State& state);
  // Releases the job's worker and argument, ends the busy state and opens the light.
  static void EndJob(State& state);

  std::shared_ptr<State> mState;
  const uint32_t mJoinTimeoutMs;
  std::unique_ptr<Thread> mThread;
  mutable std::mutex mNameLock;
  WString mName; // under mNameLock
};

} // namespace QZ
