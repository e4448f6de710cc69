#include "QZFramework/Services/Sync/EventLock.h"

namespace QZ {

void EventLock::Lock() {
  if (mWord.exchange(1, std::memory_order_acquire) == 0) {
    return;
  }
  // Marking the word 2 makes the holder's Unlock set the event; a thread that gets the
  // lock this way keeps the mark, which at worst costs one needless Set.
  while (mWord.exchange(2, std::memory_order_acquire) != 0) {
    mWake.Wait(Event::kInfinite);
  }
}

void EventLock::Unlock() {
  if (mWord.exchange(0, std::memory_order_release) == 2) {
    mWake.Set();
  }
}

} // namespace QZ
