#pragma once
// QZ::LThreadPool: runs jobs (a worker, an argument, a priority) on a fixed number of
// worker threads; jobs that find every worker busy wait in a priority queue.
//
//   QZ::RCPtr<QZ::LThreadPool> pool = QZ::LThreadPool::Create(1, 2);
//   pool->QueueWork(worker, data, 0);     // runs now, or later in priority order
//   pool->Stop();                         // drops what is queued, ends the threads
//
// A job starts at once on a free worker. Otherwise it is queued: highest priority
// first, equal priorities in arrival order; a queue thread hands queued jobs to workers
// as they become free. With one worker a new job never overtakes queued ones; with
// several, a free worker takes a new job even while others wait.
//
// Failures are not reported to the caller: a pool without workers (none made, or
// stopped) drops every job, and a job that cannot be handed to the queue thread within
// the queue-idle wait is dropped and reported to the debug trace.
//
// Threads: QueueWork from any thread (it never waits longer than the queue-idle wait);
// Stop and the destructor wait for running jobs (up to the join time per thread).

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Sync/LEvent.h"
#include "QZFramework/Services/Sync/Mutex.h"
#include "QZFramework/Services/Threads/EventPool.h"
#include "QZFramework/Services/Threads/LThreadWorker.h"
#include "QZFramework/Services/Threads/RetriggerableThreader.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

struct ThreadPoolTimeouts {
  // Per thread, for Stop and destruction.
  uint32_t joinMs = Thread::kDefaultJoinTimeoutMs;
  // How long QueueWork waits for the queue thread to finish handing out an earlier
  // queue before it drops the job.
  uint32_t queueIdleMs = 1000;
};

class LThreadPool : private LThreadWorker, public virtual LRefCountedObject {
public:
  // One queued job. Its storage comes from a pool of reused blocks.
  class LWorkerParams : public LRefCountedObject {
  public:
    LWorkerParams(const RCPtr<LThreadWorker>& jobWorker, const RCPtr<LRefCountedObject>& jobArgument,
                  int32_t jobPriority)
        : worker(jobWorker), argument(jobArgument), priority(jobPriority) {}

    static void* operator new(size_t size);
    static void operator delete(void* block);

    const RCPtr<LThreadWorker> worker;
    const RCPtr<LRefCountedObject> argument;
    const int32_t priority;
  };

  // workerCount threads (none for a count below 1); the queue thread runs at
  // queuePriority (a Win32 thread priority, best effort).
  static RCPtr<LThreadPool> Create(int32_t workerCount, int32_t queuePriority, const ThreadPoolTimeouts& timeouts = {});
  ~LThreadPool() override;

  // Starts the job on a free worker or queues it; see above. A null worker is ignored.
  // The job runs worker->Process(&argument) at the given priority (best effort).
  void QueueWork(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& argument, int32_t priority);
  // Takes no more jobs, drops the queued ones and ends the threads, waiting up to the
  // join time for each running job. Further calls do nothing more.
  void Stop();

  // "Unnamed ThreadPool": pools carry no name of their own.
  WString ToString() const override;
  // Workers taking jobs: the count made, 0 after Stop.
  int32_t GetWorkerCount() const { return mWorkerCount.load(); }
  // Jobs waiting in the queue.
  uint32_t GetQueuedCount();

private:
  friend class LThreadPoolTestAccess;

  LThreadPool(int32_t workerCount, int32_t queuePriority, const ThreadPoolTimeouts& timeouts);

  // The queue thread's job: hands queued jobs to workers as they finish.
  int32_t Process(RCPtr<LRefCountedObject>* argument) override;
  // The slot index the job started on, or -1.
  [[nodiscard]] int32_t StartOnFreeWorker(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& argument,
                                          int32_t priority);
  // Under mMutex. Whether slot may take a job now.
  bool IsFree(RetriggerableThreader& slot);
  // Under mMutex.
  [[nodiscard]] QZResult StartOnSlot(uint32_t index, const RCPtr<LThreadWorker>& worker,
                                     const RCPtr<LRefCountedObject>& argument, int32_t priority);

  std::atomic<int32_t> mWorkerCount;
  std::vector<std::unique_ptr<RetriggerableThreader>> mSlots;
  // Event i is slot i's light: set when its job is done.
  EventPool mSlotDone;
  RetriggerableThreader mQueueThreader;
  // Open while the queue thread is not handing out jobs.
  RCPtr<LEvent> mQueueIdle;
  // Ascending priority; among equals the newest first. The last job runs next.
  RCPtrArray<LWorkerParams, 16, 16> mQueue;
  // Guards mQueue and the choice of a slot.
  Mutex mMutex;
  const int32_t mQueuePriority;
  const ThreadPoolTimeouts mTimeouts;
};

} // namespace QZ
