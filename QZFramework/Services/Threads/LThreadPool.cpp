#include "QZFramework/Services/Threads/LThreadPool.h"

#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Utilities/Storage/ReuseAllocator.h"

namespace QZ {

namespace {

ReuseAllocator<LThreadPool::LWorkerParams, 1>& WorkerParamsBlocks() {
  // Never destroyed: a job may be released after static destruction has begun.
  static auto* blocks = new ReuseAllocator<LThreadPool::LWorkerParams, 1>(true);
  return *blocks;
}

} // namespace

void* LThreadPool::LWorkerParams::operator new(size_t size) { return WorkerParamsBlocks().Allocate(uint32_t(size)); }

void LThreadPool::LWorkerParams::operator delete(void* block) { WorkerParamsBlocks().Free(block); }

RCPtr<LThreadPool> LThreadPool::Create(int32_t workerCount, int32_t queuePriority, const ThreadPoolTimeouts& timeouts) {
  return RCPtr<LThreadPool>(new LThreadPool(workerCount, queuePriority, timeouts));
}

LThreadPool::LThreadPool(int32_t workerCount, int32_t queuePriority, const ThreadPoolTimeouts& timeouts)
    : mWorkerCount(workerCount), mSlotDone(workerCount),
      mQueueThreader(u"LThreadPool::mQueueThreader", timeouts.joinMs), mQueueIdle(new LEvent(true)),
      mQueuePriority(queuePriority), mTimeouts(timeouts) {
  for (int32_t i = 0; i < workerCount; ++i) {
    mSlots.push_back(std::make_unique<RetriggerableThreader>(WString(), timeouts.joinMs));
  }
  mQueueIdle->Set();
}

LThreadPool::~LThreadPool() { Stop(); }

bool LThreadPool::IsFree(RetriggerableThreader& slot) { return !slot.IsBusy() || slot.GetThread().IsFinished(); }

QZResult LThreadPool::StartOnSlot(uint32_t index, const RCPtr<LThreadWorker>& worker,
                                  const RCPtr<LRefCountedObject>& argument, int32_t priority) {
  RetriggerableThreader& slot = *mSlots[index];
  slot.SetName(worker->ToString());
  return slot.StartWorker(worker, argument, mSlotDone.GetEvent(index), priority);
}

int32_t LThreadPool::StartOnFreeWorker(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& argument,
                                       int32_t priority) {
  for (int32_t i = 0; i < mWorkerCount.load(); ++i) {
    Mutex::ScopedLock hold(mMutex);
    if (mQueue.GetCount() != 0 && mWorkerCount.load() == 1) {
      return -1;
    }
    if (IsFree(*mSlots[size_t(i)]) && Succeeded(StartOnSlot(uint32_t(i), worker, argument, priority))) {
      return i;
    }
  }
  return -1;
}

void LThreadPool::QueueWork(const RCPtr<LThreadWorker>& worker, const RCPtr<LRefCountedObject>& argument,
                            int32_t priority) {
  if (!worker || mWorkerCount.load() < 1 || StartOnFreeWorker(worker, argument, priority) >= 0) {
    return;
  }
  RCPtr<LWorkerParams> job(new LWorkerParams(worker, argument, priority));
  Mutex::ScopedLock hold(mMutex);
  if (mWorkerCount.load() < 1) {
    return;
  }
  const uint32_t count = mQueue.GetCount();
  uint32_t index = 0;
  while (index < count && mQueue.GetAt(index)->priority < priority) {
    ++index;
  }
  mQueue.InsertAt(index, job);
  if (count != 0) {
    return;
  }
  // The queue thread was idle or is finishing its last round; it is never waited for
  // without bound, since the caller may be a device's input thread.
  if (mQueueIdle->Wait(mTimeouts.queueIdleMs) == Event::kSignalled &&
      Succeeded(mQueueThreader.StartWorker(RCPtr<LThreadWorker>(this), RCPtr<LRefCountedObject>(this), mQueueIdle,
                                           mQueuePriority))) {
    return;
  }
  RCPtr<LWorkerParams> dropped;
  mQueue.RemoveItem(index, dropped);
  DebugTrace::Get().Narrow() << "QZ::LThreadPool::QueueWork : " << ToString() << " : queue thread busy for "
                             << mTimeouts.queueIdleMs << " ms; job of " << worker->ToString() << " dropped\n";
}

int32_t LThreadPool::Process(RCPtr<LRefCountedObject>* /*argument*/) {
  for (;;) {
    const int32_t index = mSlotDone.WaitAny(Event::kInfinite);
    if (index < 0) {
      return 0;
    }
    Mutex::ScopedLock hold(mMutex);
    // Stop has begun: whatever is still queued stays unrun.
    if (mQueue.GetCount() == 0 || mWorkerCount.load() < 1) {
      return 0;
    }
    if (!IsFree(*mSlots[size_t(index)])) {
      continue;
    }
    RCPtr<LWorkerParams> job;
    mQueue.RemoveLast(job);
    // The slot is free: only a stopping pool refuses, and its queue stays unrun.
    (void)StartOnSlot(uint32_t(index), job->worker, job->argument, job->priority);
    if (mQueue.GetCount() == 0) {
      return 0;
    }
  }
}

void LThreadPool::Stop() {
  mWorkerCount = 0;
  {
    Mutex::ScopedLock hold(mMutex);
    mQueue.RemoveAll();
  }
  mQueueThreader.Stop();
  for (size_t i = mSlots.size(); i-- > 0;) {
    mSlots[i]->Stop();
  }
}

WString LThreadPool::ToString() const { return WString(u"Unnamed ThreadPool"); }

uint32_t LThreadPool::GetQueuedCount() {
  Mutex::ScopedLock hold(mMutex);
  return mQueue.GetCount();
}

} // namespace QZ
