// Sending a notification to ten clients, and posting 10,000 notifications to a centre
// then delivering them to one client, against a plain dispatch list and a locked queue
// of the standard library that give the same guarantees.
//
// What both sides guarantee:
// - Registration and unregistration may run on any thread during a send: the list of
//   receivers is read under a lock, and the receivers of one send are those registered
//   when it starts (the reference copies its list under its mutex; ours takes a
//   snapshot under the pool's lock).
// - Each receiver is kept alive by shared ownership while it is called (shared_ptr in
//   the snapshot; counted references in ours).
// - A receiver may unregister itself or another during delivery: one that is
//   unregistered before its turn is not called (the reference tests a connected flag
//   before each call; ours tests the registration's removed mark).
// - Each notification is made for its send or post (make_shared; LNotification::Create
//   with pooling on, as the program runs) and carries a shared parameter slot.
// - Posting runs on any thread under one lock; a drain takes what is queued when it
//   starts and delivers each event through the dispatch list, in post order.
// Ours also guarantees more than the reference: an unregistration on a thread that is not
// itself delivering returns only once no other thread is calling that registration, and
// posted notifications honour latest-only registrations.

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "QZFramework/Notification/NotificationCenter.h"
#include "Support/RatioReporter.h"

namespace {

constexpr int kClients = 10;
constexpr int kPosts = 10000;
constexpr char16_t kPing[] = u"NID_BENCH_PING";

class CountingClient : public QZ::LNotificationClient {
public:
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    count += notification->GetID() != nullptr;
    return QZ::QZ_OK;
  }
  int64_t count = 0;
};

// The reference's notification: an id and a shared parameter.
struct Event {
  const char16_t* id;
  std::shared_ptr<void> parameter;
};

// The reference's dispatch list: handlers in shared slots, newest registration first.
class DispatchList {
public:
  struct Slot {
    explicit Slot(std::function<void(const Event&)> h) : handler(std::move(h)) {}
    std::function<void(const Event&)> handler;
    std::atomic<bool> connected{true};
  };

  std::shared_ptr<Slot> Add(std::function<void(const Event&)> handler) {
    auto slot = std::make_shared<Slot>(std::move(handler));
    std::lock_guard hold(mMutex);
    mSlots.push_back(slot);
    return slot;
  }
  void Remove(const std::shared_ptr<Slot>& slot) {
    std::lock_guard hold(mMutex);
    slot->connected.store(false, std::memory_order_release);
    std::erase(mSlots, slot);
  }
  void Send(const Event& event) {
    std::vector<std::shared_ptr<Slot>> snapshot;
    {
      std::lock_guard hold(mMutex);
      snapshot = mSlots;
    }
    for (auto slot = snapshot.rbegin(); slot != snapshot.rend(); ++slot) {
      if ((*slot)->connected.load(std::memory_order_acquire)) {
        (*slot)->handler(event);
      }
    }
  }

private:
  std::mutex mMutex;
  std::vector<std::shared_ptr<Slot>> mSlots;
};

// The reference's queue: events posted under a lock, drained through a dispatch list.
class PostQueue {
public:
  explicit PostQueue(DispatchList& list) : mList(list) {}

  void Post(std::shared_ptr<const Event> event) {
    std::lock_guard hold(mMutex);
    mQueue.push_back(std::move(event));
  }
  void Drain() {
    std::deque<std::shared_ptr<const Event>> taken;
    {
      std::lock_guard hold(mMutex);
      taken.swap(mQueue);
    }
    for (const auto& event : taken) {
      mList.Send(*event);
    }
  }

private:
  DispatchList& mList;
  std::mutex mMutex;
  std::deque<std::shared_ptr<const Event>> mQueue;
};

std::vector<QZ::RCPtr<CountingClient>> RegisterClients(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                                       int count) {
  std::vector<QZ::RCPtr<CountingClient>> clients;
  for (int i = 0; i < count; ++i) {
    clients.emplace_back(new CountingClient);
    clients.back()->RegisterNotification(distributor, kPing);
  }
  return clients;
}

std::vector<std::shared_ptr<DispatchList::Slot>> AddHandlers(DispatchList& list, int count, int64_t& delivered) {
  std::vector<std::shared_ptr<DispatchList::Slot>> slots;
  for (int i = 0; i < count; ++i) {
    slots.push_back(list.Add([&delivered](const Event& event) { delivered += event.id != nullptr; }));
  }
  return slots;
}

void BM_NotificationSendToTenClients(benchmark::State& state) {
  QZ::LNotification::SetPoolingEnabled(true);
  QZ::RCPtr<QZ::LNotificationDistributor> distributor(new QZ::LNotificationDistributor);
  auto clients = RegisterClients(distributor, kClients);
  const QZ::NotificationID id = QZ::GetNotificationID(kPing);
  for (auto _ : state) {
    (void)distributor->SendNotification(QZ::LNotification::Create(id)); // the clients count what arrives
  }
  benchmark::DoNotOptimize(clients.front()->count);
  for (auto& client : clients) {
    client->UnregisterAllNotifications();
  }
  QZ::LNotification::SetPoolingEnabled(false);
}
BENCHMARK(BM_NotificationSendToTenClients);

void BM_DispatchListSendToTenClients(benchmark::State& state) {
  int64_t delivered = 0;
  DispatchList list;
  const auto slots = AddHandlers(list, kClients, delivered);
  for (auto _ : state) {
    list.Send(*std::make_shared<Event>(Event{kPing, nullptr}));
  }
  benchmark::DoNotOptimize(delivered);
}
BENCHMARK(BM_DispatchListSendToTenClients);

void BM_NotificationPostAndDeliver10000(benchmark::State& state) {
  QZ::LNotification::SetPoolingEnabled(true);
  QZ::RCPtr<QZ::LNotificationCenter> centre = QZ::LNotificationCenter::CreateNotificationCenter(u"bench");
  auto clients = RegisterClients(centre, 1);
  const QZ::NotificationID id = QZ::GetNotificationID(kPing);
  for (auto _ : state) {
    for (int i = 0; i < kPosts; ++i) {
      (void)centre->PostNotification(QZ::LNotification::Create(id)); // the client counts what arrives
    }
    centre->ProcessNotifications(false);
  }
  benchmark::DoNotOptimize(clients.front()->count);
  centre = nullptr;
  QZ::LNotification::SetPoolingEnabled(false);
}
BENCHMARK(BM_NotificationPostAndDeliver10000);

void BM_DispatchQueuePostAndDeliver10000(benchmark::State& state) {
  int64_t delivered = 0;
  DispatchList list;
  const auto slots = AddHandlers(list, 1, delivered);
  PostQueue queue(list);
  for (auto _ : state) {
    for (int i = 0; i < kPosts; ++i) {
      queue.Post(std::make_shared<const Event>(Event{kPing, nullptr}));
    }
    queue.Drain();
  }
  benchmark::DoNotOptimize(delivered);
}
BENCHMARK(BM_DispatchQueuePostAndDeliver10000);

} // namespace

int main(int argc, char** argv) {
  // libstdc++ skips atomic counts while a process has never started a thread; our counts
  // are always atomic, so the reference must run multi-threaded too.
  std::thread([] {}).join();
  return QZBench::RunWithRatios(argc, argv,
                                {{"BM_NotificationSendToTenClients", "BM_DispatchListSendToTenClients"},
                                 {"BM_NotificationPostAndDeliver10000", "BM_DispatchQueuePostAndDeliver10000"}});
}
