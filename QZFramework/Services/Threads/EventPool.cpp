#include "QZFramework/Services/Threads/EventPool.h"

namespace QZ {

EventPool::EventPool(int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    RCPtr<LEvent> event(new LEvent(true));
    mEvents.AddItem(event);
    mWaitList.push_back(event.Get());
  }
}

int32_t EventPool::WaitAny(uint32_t timeoutMs) {
  ++mBusy;
  const int32_t index = Event::WaitAny(mWaitList, timeoutMs);
  --mBusy;
  return index;
}

} // namespace QZ
