#pragma once
// QZ::EventPool: a fixed set of shared auto-reset events waited on together.
//
//   QZ::EventPool done(2);
//   slot->StartWorker(worker, nullptr, done.GetEvent(1), 0);
//   int32_t which = done.WaitAny(QZ::Event::kInfinite);     // 1 once that job is done
//
// The events are made with the pool, not signalled, and never change. Any thread may
// call any member.

#include <atomic>
#include <cstdint>
#include <vector>

#include "QZFramework/Services/Sync/LEvent.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"

namespace QZ {

class EventPool {
public:
  // count events (none for count < 1).
  explicit EventPool(int32_t count);
  EventPool(const EventPool&) = delete;
  EventPool& operator=(const EventPool&) = delete;
  virtual ~EventPool() = default;

  uint32_t GetCount() const { return mEvents.GetCount(); }
  // The index-th event; null past the end.
  RCPtr<LEvent> GetEvent(uint32_t index) const { return mEvents.GetAt(index); }
  // Waits up to timeoutMs (Event::kInfinite: no limit) for any event and takes its
  // signal: the index of the signalled event (the lowest when several are), or -1 on
  // time-out or when the pool has no events.
  int32_t WaitAny(uint32_t timeoutMs);
  // Threads inside WaitAny at this moment.
  int32_t GetBusyCount() const { return mBusy.load(); }

private:
  RCPtrArray<LEvent> mEvents;
  std::vector<Event*> mWaitList; // the same events, for Event::WaitAny
  std::atomic<int32_t> mBusy{0};
};

} // namespace QZ
