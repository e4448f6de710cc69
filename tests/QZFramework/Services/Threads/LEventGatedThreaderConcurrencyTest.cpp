#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "QZFramework/Services/Threads/LEventGatedThreader.h"
#include "QZFramework/Services/Threads/ThreadTestSupport.h"
#include "Support/WaitUntil.h"

namespace {

using QZTest::TestWorker;

constexpr uint32_t kForever = QZ::Event::kInfinite;

// Records, for each run, the threader's last wait result and running flag.
class WaitRecorder : public QZ::LThreadWorker {
public:
  int32_t Process(QZ::RCPtr<QZ::LRefCountedObject>*) override {
    std::lock_guard hold(mMutex);
    waitResults.push_back(threader->GetLastWaitResult());
    runningSeen.push_back(threader->IsRunning());
    mChanged.notify_all();
    return 0;
  }
  // Waits (kWaitBound at most, a guard against a hang) for count runs.
  size_t WaitForRuns(size_t count) {
    std::unique_lock hold(mMutex);
    QZTest::WaitUntil(hold, mChanged, [&] { return waitResults.size() >= count; }); // what has come is returned
    return waitResults.size();
  }

  QZ::LEventGatedThreader* threader = nullptr;
  std::vector<uint32_t> waitResults; // under mMutex
  std::vector<bool> runningSeen;     // under mMutex

private:
  std::mutex mMutex;
  std::condition_variable mChanged;
};

TEST(LEventGatedThreaderConcurrencyTest, RunsTheWorkerWithItsArgumentOncePerSignal) {
  QZ::RCPtr<QZ::LEvent> gate(new QZ::LEvent(true));
  QZTest::Journal journal;
  QZ::RCPtr<TestWorker> worker(new TestWorker("gated", &journal));
  QZ::RCPtr<QZ::LRefCountedObject> argument(new QZ::LEvent(true));
  QZ::RCPtr<QZ::LEventGatedThreader> threader(new QZ::LEventGatedThreader(gate, worker, argument, 0));
  EXPECT_EQ(threader->GetWaitTimeout(), kForever);

  gate->Set();
  EXPECT_EQ(journal.WaitFor(1).size(), 1u);
  gate->Set();
  EXPECT_EQ(journal.WaitFor(2).size(), 2u);
  EXPECT_EQ(worker->seenArgument, argument.Get());
  EXPECT_EQ(threader->GetLastWaitResult(), QZ::Event::kSignalled);

  // Destruction wakes the thread without a last run and lets go of everything it held.
  threader = nullptr;
  EXPECT_EQ(journal.Entries().size(), 2u);
  EXPECT_EQ(worker->GetRefCount(), 1);
  EXPECT_EQ(argument->GetRefCount(), 1);
  EXPECT_EQ(gate->GetRefCount(), 1);
}

TEST(LEventGatedThreaderConcurrencyTest, ANewTimeOutAppliesFromTheNextWaitAndRunsTheWorkerOnEachExpiry) {
  QZ::RCPtr<QZ::LEvent> gate(new QZ::LEvent(true));
  QZ::RCPtr<WaitRecorder> recorder(new WaitRecorder);
  QZ::RCPtr<QZ::LEventGatedThreader> threader(new QZ::LEventGatedThreader(gate, recorder, nullptr, 0));
  recorder->threader = threader.Get();

  // The thread is already in its first wait, without a time-out: the new value is read
  // by the waits after the signal ends this one.
  threader->SetWaitTimeout(5);
  gate->Set();
  ASSERT_GE(recorder->WaitForRuns(3), 3u);
  threader->SetWaitTimeout(kForever);
  const size_t runs = recorder->WaitForRuns(0);
  threader = nullptr;

  std::vector<uint32_t> results(recorder->waitResults.begin(), recorder->waitResults.begin() + 3);
  EXPECT_EQ(results, (std::vector<uint32_t>{QZ::Event::kSignalled, QZ::Event::kTimedOut, QZ::Event::kTimedOut}));
  EXPECT_GE(runs, 3u);
  for (bool running : recorder->runningSeen) {
    EXPECT_TRUE(running);
  }
}

TEST(LEventGatedThreaderConcurrencyTest, RefusesANullGate) {
  try {
    QZ::LEventGatedThreader threader(nullptr, nullptr, nullptr, 0);
    FAIL() << "no exception";
  } catch (const std::invalid_argument& error) {
    EXPECT_STREQ(error.what(), "Invalid Argument : No gate : QZ::LEventGatedThreader::LEventGatedThreader : "
                               R"(Services\Threads\LEventGatedThreader)"
                               " : Line 31");
  }
}

TEST(LEventGatedThreaderConcurrencyTest, DestroyingItWithAStuckWorkerReturnsAfterTheJoinTime) {
  QZTest::CapturedTrace trace;
  QZ::RCPtr<QZ::LEvent> gate(new QZ::LEvent(true));
  QZ::TrafficLight workerGone;
  QZ::RCPtr<TestWorker> worker(new TestWorker("stuck", nullptr, true));
  worker->destroyed = &workerGone;
  TestWorker* raw = worker.Get();
  QZ::RCPtr<QZ::LEventGatedThreader> threader(new QZ::LEventGatedThreader(gate, worker, nullptr, 0, 30));
  worker = nullptr;
  gate->Set();
  raw->started.Wait(kForever);
  EXPECT_TRUE(threader->IsRunning());

  threader = nullptr;
  EXPECT_NE(trace.Text().find("did not end within 30 ms"), std::string::npos) << trace.Text();
  raw->release.Set();
  EXPECT_EQ(workerGone.Wait(kForever), QZ::Event::kSignalled);
}

} // namespace
