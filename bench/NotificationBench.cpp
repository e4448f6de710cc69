// Sending a notification to ten clients, and posting 10,000 notifications to a centre
// then delivering them to one client, against a plain list of std::function handlers
// (and, for posting, a locked std::deque) doing the same work. Each notification is made
// for its send or post, as the program does, with pooling on.

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
using Handler = std::function<void(const Event&)>;

std::vector<QZ::RCPtr<CountingClient>> RegisterClients(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                                       int count) {
  std::vector<QZ::RCPtr<CountingClient>> clients;
  for (int i = 0; i < count; ++i) {
    clients.emplace_back(new CountingClient);
    clients.back()->RegisterNotification(distributor, kPing);
  }
  return clients;
}

std::vector<Handler> MakeHandlers(int count, int64_t& delivered) {
  return std::vector<Handler>(count, [&delivered](const Event& event) { delivered += event.id != nullptr; });
}

void BM_NotificationSendToTenClients(benchmark::State& state) {
  QZ::LNotification::SetPoolingEnabled(true);
  QZ::RCPtr<QZ::LNotificationDistributor> distributor(new QZ::LNotificationDistributor);
  auto clients = RegisterClients(distributor, kClients);
  const QZ::NotificationID id = QZ::GetNotificationID(kPing);
  for (auto _ : state) {
    distributor->SendNotification(QZ::LNotification::Create(id));
  }
  benchmark::DoNotOptimize(clients.front()->count);
  for (auto& client : clients) {
    client->UnregisterAllNotifications();
  }
  QZ::LNotification::SetPoolingEnabled(false);
}
BENCHMARK(BM_NotificationSendToTenClients);

void BM_FunctionListSendToTenClients(benchmark::State& state) {
  int64_t delivered = 0;
  const std::vector<Handler> handlers = MakeHandlers(kClients, delivered);
  for (auto _ : state) {
    auto event = std::make_shared<Event>(Event{kPing, nullptr});
    for (auto handler = handlers.rbegin(); handler != handlers.rend(); ++handler) {
      (*handler)(*event);
    }
  }
  benchmark::DoNotOptimize(delivered);
}
BENCHMARK(BM_FunctionListSendToTenClients);

void BM_NotificationPostAndDeliver10000(benchmark::State& state) {
  QZ::LNotification::SetPoolingEnabled(true);
  QZ::RCPtr<QZ::LNotificationCenter> centre = QZ::LNotificationCenter::CreateNotificationCenter(u"bench");
  auto clients = RegisterClients(centre, 1);
  const QZ::NotificationID id = QZ::GetNotificationID(kPing);
  for (auto _ : state) {
    for (int i = 0; i < kPosts; ++i) {
      centre->PostNotification(QZ::LNotification::Create(id));
    }
    centre->ProcessNotifications(false);
  }
  benchmark::DoNotOptimize(clients.front()->count);
  centre = nullptr;
  QZ::LNotification::SetPoolingEnabled(false);
}
BENCHMARK(BM_NotificationPostAndDeliver10000);

void BM_FunctionQueuePostAndDeliver10000(benchmark::State& state) {
  int64_t delivered = 0;
  const std::vector<Handler> handlers = MakeHandlers(1, delivered);
  std::mutex lock;
  std::deque<std::shared_ptr<Event>> queue;
  for (auto _ : state) {
    for (int i = 0; i < kPosts; ++i) {
      auto event = std::make_shared<Event>(Event{kPing, nullptr});
      std::lock_guard hold(lock);
      queue.push_back(std::move(event));
    }
    std::deque<std::shared_ptr<Event>> taken;
    {
      std::lock_guard hold(lock);
      taken.swap(queue);
    }
    for (const auto& event : taken) {
      for (const Handler& handler : handlers) {
        handler(*event);
      }
    }
  }
  benchmark::DoNotOptimize(delivered);
}
BENCHMARK(BM_FunctionQueuePostAndDeliver10000);

} // namespace

int main(int argc, char** argv) {
  // libstdc++ skips atomic counts while a process has never started a thread; our counts
  // are always atomic, so the reference must run multi-threaded too.
  std::thread([] {}).join();
  return QZBench::RunWithRatios(argc, argv,
                                {{"BM_NotificationSendToTenClients", "BM_FunctionListSendToTenClients"},
                                 {"BM_NotificationPostAndDeliver10000", "BM_FunctionQueuePostAndDeliver10000"}});
}
