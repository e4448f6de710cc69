#include <gtest/gtest.h>

#include <latch>
#include <thread>
#include <vector>

#include "QZFramework/Utilities/Storage/RCPtrQueue.h"
#include "Support/CountedObject.h"

namespace {

using QZTest::InstanceCounter;

struct Entry : public virtual QZ::LRefCountedObject {
  Entry(InstanceCounter& instances, int producerIndex, int serialNumber)
      : producer(producerIndex), serial(serialNumber), counter(instances) {
    ++counter.live;
  }
  ~Entry() override { --counter.live; }

  const int producer;
  const int serial;
  InstanceCounter& counter;
};

// The ring starts small, so it also grows while producers and the consumer contend.
TEST(RCPtrQueueConcurrencyTest, EveryEntryArrivesOnceInItsProducersOrder) {
  constexpr int kProducers = 4;
  constexpr int kEntries = 10000;
  InstanceCounter counter;
  QZ::Mutex lock;
  {
    QZ::RCPtrQueue<Entry> queue(&lock, 16);
    std::latch start(kProducers + 1);
    std::vector<std::thread> producers;
    for (int p = 0; p < kProducers; ++p) {
      producers.emplace_back([&, p] {
        start.arrive_and_wait();
        for (int serial = 0; serial < kEntries; ++serial) {
          queue.Enqueue(QZ::RCPtr<Entry>(new Entry(counter, p, serial)));
        }
      });
    }

    std::vector<int> next(kProducers, 0);
    int received = 0;
    int outOfOrder = 0;
    int shared = 0;
    start.arrive_and_wait();
    while (received < kProducers * kEntries) {
      if (!queue.HasEntries()) {
        std::this_thread::yield();
        continue;
      }
      QZ::RCPtr<Entry> entry = queue.Dequeue();
      if (entry->serial != next[entry->producer]++) {
        ++outOfOrder;
      }
      if (entry->GetRefCount() != 1) {
        ++shared;
      }
      ++received;
    }
    for (auto& producer : producers) {
      producer.join();
    }
    EXPECT_EQ(outOfOrder, 0);
    EXPECT_EQ(shared, 0);
    EXPECT_EQ(next, std::vector<int>(kProducers, kEntries));
    EXPECT_FALSE(queue.HasEntries());
  }
  EXPECT_EQ(counter.live, 0);
}

} // namespace
