#include "QZFramework/Notification/NotificationDelivery.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace QZ::Detail {

// Slots of one thread, in chunks that never move (a frame keeps its slot's address) and
// are freed only with the thread's record. The owner writes the slots and links chunks
// (under the registry's lock); other threads read them only under that lock.
class ThreadDeliveries {
public:
  static constexpr uint32_t kChunkSlots = 16;
  struct Chunk {
    std::atomic<const LRefCountedObject*> slots[kChunkSlots] = {};
    Chunk* next = nullptr;
  };

  ThreadDeliveries() = default;
  ThreadDeliveries(const ThreadDeliveries&) = delete;
  ThreadDeliveries& operator=(const ThreadDeliveries&) = delete;
  ~ThreadDeliveries() {
    for (Chunk* chunk = mFirst.next; chunk;) {
      delete std::exchange(chunk, chunk->next);
    }
  }

  // The slot of a new, innermost frame. Owner only.
  std::atomic<const LRefCountedObject*>* Push();
  // Ends the innermost frame, whose slot the caller cleared. Owner only.
  void Pop() { --mDepth; }
  bool IsDelivering() const { return mDepth > 0; }
  // Whether a frame of this thread is at registration. Under the registry's lock.
  bool Holds(const LRefCountedObject* registration) const {
    for (const Chunk* chunk = &mFirst; chunk; chunk = chunk->next) {
      for (const auto& slot : chunk->slots) {
        if (slot.load(std::memory_order_seq_cst) == registration) {
          return true;
        }
      }
    }
    return false;
  }

private:
  Chunk mFirst;
  uint32_t mDepth = 0;
};

namespace {

// Every thread that has delivered. Immortal, so that threads ending during static
// destruction can still leave it.
struct Registry {
  std::mutex mutex;
  std::vector<ThreadDeliveries*> threads;
};

Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

thread_local ThreadDeliveries* tThread = nullptr;

// Takes the thread's record out of the registry when the thread ends.
struct ThreadExit {
  ~ThreadExit() {
    Registry& registry = TheRegistry();
    std::lock_guard hold(registry.mutex);
    std::erase(registry.threads, tThread);
    delete std::exchange(tThread, nullptr);
  }
};

ThreadDeliveries& ThisThread() {
  if (!tThread) {
    thread_local ThreadExit atExit;
    auto* record = new ThreadDeliveries;
    Registry& registry = TheRegistry();
    std::lock_guard hold(registry.mutex);
    registry.threads.push_back(record);
    tThread = record;
  }
  return *tThread;
}

// Returns once no thread but this one has a frame at registration.
void AwaitOtherDeliveries(const LRefCountedObject* registration) {
  Registry& registry = TheRegistry();
  for (int attempt = 0;; ++attempt) {
    {
      std::lock_guard hold(registry.mutex);
      if (std::none_of(registry.threads.begin(), registry.threads.end(), [&](const ThreadDeliveries* thread) {
            return thread != tThread && thread->Holds(registration);
          })) {
        return;
      }
    }
    // Receivers usually return quickly; one that blocks is not polled hard.
    if (attempt < 64) {
      std::this_thread::yield();
    } else {
      std::this_thread::sleep_for(std::chrono::microseconds(std::min(1000, 10 * (attempt - 63))));
    }
  }
}

thread_local int tScopeDepth = 0;
thread_local std::vector<RCPtr<LRefCountedObject>> tRemoved;

} // namespace

std::atomic<const LRefCountedObject*>* ThreadDeliveries::Push() {
  uint32_t index = mDepth++;
  Chunk* chunk = &mFirst;
  while (index >= kChunkSlots) {
    if (!chunk->next) {
      auto* added = new Chunk;
      std::lock_guard hold(TheRegistry().mutex);
      chunk->next = added;
    }
    chunk = chunk->next;
    index -= kChunkSlots;
  }
  return &chunk->slots[index];
}

DeliveryFrame::DeliveryFrame() : mThread(ThisThread()), mSlot(mThread.Push()) {}

DeliveryFrame::~DeliveryFrame() {
  mSlot->store(nullptr, std::memory_order_release);
  mThread.Pop();
}

UnregistrationScope::UnregistrationScope() { ++tScopeDepth; }

UnregistrationScope::~UnregistrationScope() {
  if (--tScopeDepth > 0) {
    return;
  }
  // Taken out first: releasing a registration may unregister more, in scopes of its own.
  std::vector<RCPtr<LRefCountedObject>> removed;
  removed.swap(tRemoved);
  if (!tThread || !tThread->IsDelivering()) {
    for (const RCPtr<LRefCountedObject>& registration : removed) {
      AwaitOtherDeliveries(registration.Get());
    }
  }
}

void UnregistrationScope::Defer(RCPtr<LRefCountedObject> registration) {
  if (registration && tScopeDepth > 0) {
    tRemoved.push_back(std::move(registration));
  }
}

} // namespace QZ::Detail
