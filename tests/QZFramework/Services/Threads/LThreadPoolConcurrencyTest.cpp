#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "QZFramework/Services/Threads/EventPool.h"
#include "QZFramework/Services/Threads/LThreadPool.h"
#include "QZFramework/Services/Threads/ThreadTestSupport.h"
#include "Support/StringPrinter.h"

namespace QZ {

// Holds the queue thread's idle light closed, as a queue thread that is slow to finish
// its round would.
class LThreadPoolTestAccess {
public:
  static void CloseQueueIdleLight(LThreadPool& pool) { pool.mQueueIdle->Reset(); }
};

} // namespace QZ

namespace {

using QZTest::TestWorker;
using Names = std::vector<std::string>;

QZ::RCPtr<TestWorker> MakeWorker(const char* name, QZTest::Journal& journal, bool holds = false) {
  return QZ::RCPtr<TestWorker>(new TestWorker(name, &journal, holds));
}

void AwaitLiveThreads(int32_t count) {
  while (QZ::Thread::GetLiveCount() != count) {
    std::this_thread::yield();
  }
}

TEST(LThreadPoolConcurrencyTest, OneWorkerRunsQueuedJobsHighestPriorityFirstAndEqualOnesInArrivalOrder) {
  QZTest::Journal journal;
  auto pool = QZ::LThreadPool::Create(1, 2);
  auto a = MakeWorker("A", journal, true);
  pool->QueueWork(a, nullptr, 0);
  a->started.Wait(QZ::Event::kInfinite);

  pool->QueueWork(MakeWorker("B", journal), nullptr, 0);
  pool->QueueWork(MakeWorker("C", journal), nullptr, 2);
  pool->QueueWork(MakeWorker("D", journal), nullptr, 0);
  EXPECT_EQ(pool->GetQueuedCount(), 3u);

  a->release.Set();
  EXPECT_EQ(journal.WaitFor(4), (Names{"A", "C", "B", "D"}));
  // The worker thread carried each job's name.
  EXPECT_STREQ(a->threadName, "A");
}

TEST(LThreadPoolConcurrencyTest, AfterStopNothingQueuedRunsAndNewJobsAreDropped) {
  QZTest::Journal journal;
  auto pool = QZ::LThreadPool::Create(1, 0);
  auto a = MakeWorker("A", journal, true);
  pool->QueueWork(a, nullptr, 0);
  a->started.Wait(QZ::Event::kInfinite);
  auto b = MakeWorker("B", journal);
  pool->QueueWork(b, nullptr, 0);
  pool->QueueWork(MakeWorker("C", journal), nullptr, 5);

  // Stop waits for A, which waits for the test: stop on another thread and let A go
  // once the queue has been dropped.
  std::thread stopper([&] { pool->Stop(); });
  while (pool->GetWorkerCount() != 0 || pool->GetQueuedCount() != 0) {
    std::this_thread::yield();
  }
  a->release.Set();
  stopper.join();

  auto late = MakeWorker("late", journal);
  pool->QueueWork(late, nullptr, 0);
  EXPECT_EQ(journal.Entries(), (Names{"A"}));
  EXPECT_EQ(late->GetRefCount(), 1);
  EXPECT_EQ(b->GetRefCount(), 1);
}

TEST(LThreadPoolConcurrencyTest, SeveralWorkersRunJobsSideBySide) {
  QZTest::Journal journal;
  auto pool = QZ::LThreadPool::Create(2, 0);
  auto a = MakeWorker("A", journal, true);
  auto b = MakeWorker("B", journal, true);
  pool->QueueWork(a, nullptr, 0);
  pool->QueueWork(b, nullptr, 0);
  a->started.Wait(QZ::Event::kInfinite);
  b->started.Wait(QZ::Event::kInfinite);

  pool->QueueWork(MakeWorker("C", journal), nullptr, 0);
  EXPECT_EQ(pool->GetQueuedCount(), 1u);
  b->release.Set();
  Names runs = journal.WaitFor(3);
  // A and B began on two threads at once, in either order; C only after B was done.
  std::sort(runs.begin(), runs.begin() + 2);
  EXPECT_EQ(runs, (Names{"A", "B", "C"}));
  a->release.Set();
}

TEST(LThreadPoolConcurrencyTest, APoolWithoutWorkersDropsEveryJob) {
  QZTest::Journal journal;
  auto pool = QZ::LThreadPool::Create(0, 0);
  auto job = MakeWorker("job", journal);
  pool->QueueWork(job, nullptr, 0);
  EXPECT_EQ(pool->GetQueuedCount(), 0u);
  EXPECT_EQ(job->GetRefCount(), 1);
  EXPECT_EQ(pool->ToString(), QZ::WString(u"Unnamed ThreadPool"));
}

TEST(LThreadPoolConcurrencyTest, AJobTheQueueThreadCannotTakeInTimeIsDroppedAndReported) {
  QZTest::CapturedTrace trace;
  QZTest::Journal journal;
  auto pool = QZ::LThreadPool::Create(1, 0, {QZ::Thread::kDefaultJoinTimeoutMs, 20});
  auto a = MakeWorker("A", journal, true);
  pool->QueueWork(a, nullptr, 0);
  a->started.Wait(QZ::Event::kInfinite);

  QZ::LThreadPoolTestAccess::CloseQueueIdleLight(*pool);
  auto b = MakeWorker("B", journal);
  pool->QueueWork(b, nullptr, 0);
  EXPECT_EQ(pool->GetQueuedCount(), 0u);
  EXPECT_EQ(b->GetRefCount(), 1);
  EXPECT_NE(trace.Text().find("QZ::LThreadPool::QueueWork : Unnamed ThreadPool : queue thread busy for 20 ms; "
                              "job of B dropped"),
            std::string::npos)
      << trace.Text();
  a->release.Set();
  pool->Stop();
  EXPECT_EQ(journal.Entries(), (Names{"A"}));
}

TEST(LThreadPoolConcurrencyTest, APoolReleasedWhileAJobWaitsEndsOnItsQueueThread) {
  const int32_t threadsBefore = QZ::Thread::GetLiveCount();
  QZTest::Journal journal;
  auto pool = QZ::LThreadPool::Create(1, 0);
  auto a = MakeWorker("A", journal, true);
  auto b = MakeWorker("B", journal);
  pool->QueueWork(a, nullptr, 0);
  a->started.Wait(QZ::Event::kInfinite);
  pool->QueueWork(b, nullptr, 0);

  // The queue thread holds the pool until it has handed out B; its last reference then
  // destroys the pool on the queue thread itself, whose stop may come before B begins.
  pool = nullptr;
  a->release.Set();
  AwaitLiveThreads(threadsBefore);
  const Names runs = journal.Entries();
  EXPECT_TRUE(runs == Names{"A"} || runs == (Names{"A", "B"})) << ::testing::PrintToString(runs);
  EXPECT_EQ(a->GetRefCount(), 1);
  EXPECT_EQ(b->GetRefCount(), 1);
}

TEST(LThreadPoolConcurrencyTest, EventPoolWaitAnyReportsTheSignalledEventOrMinusOneAfterItsTimeOut) {
  QZ::EventPool events(3);
  EXPECT_EQ(events.GetCount(), 3u);
  EXPECT_EQ(events.WaitAny(20), -1);
  EXPECT_EQ(events.GetBusyCount(), 0);

  events.GetEvent(2)->Set();
  EXPECT_EQ(events.WaitAny(QZ::Event::kInfinite), 2);
  EXPECT_EQ(events.WaitAny(0), -1);
  EXPECT_EQ(events.GetEvent(3), nullptr);
  EXPECT_EQ(QZ::EventPool(0).WaitAny(QZ::Event::kInfinite), -1);
}

} // namespace
