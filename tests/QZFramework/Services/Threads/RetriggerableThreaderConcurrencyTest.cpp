#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "QZFramework/Services/Threads/RetriggerableThreader.h"
#include "QZFramework/Services/Threads/ThreadTestSupport.h"
#include "Support/StringPrinter.h"

namespace {

using QZTest::TestWorker;

constexpr uint32_t kForever = QZ::Event::kInfinite;

QZ::RCPtr<TestWorker> MakeWorker(const char* name, QZTest::Journal* journal = nullptr, bool holds = false) {
  return QZ::RCPtr<TestWorker>(new TestWorker(name, journal, holds));
}

TEST(RetriggerableThreaderConcurrencyTest, RunsOneJobPerStartWithItsArgumentAndKeepsTheResult) {
  QZ::RetriggerableThreader threader(u"Engine");
  EXPECT_EQ(threader.ToString(), QZ::WString(u"Engine"));
  QZTest::Journal journal;
  auto worker = MakeWorker("job", &journal);
  worker->result = 7;
  QZ::RCPtr<QZ::LEvent> light(new QZ::LEvent(true));
  QZ::RCPtr<QZ::LRefCountedObject> argument(new QZ::LEvent(true));
  const int32_t jobsBefore = QZ::RetriggerableThreader::GetJobCount();

  ASSERT_EQ(threader.StartWorker(worker, argument, light, 0), QZ::QZ_OK);
  ASSERT_EQ(light->Wait(kForever), QZ::Event::kSignalled);
  EXPECT_EQ(threader.GetResult(), 7);
  EXPECT_FALSE(threader.IsBusy());
  EXPECT_EQ(worker->seenArgument, argument.Get());
  // The threader let go of the worker and the argument once the job was done.
  EXPECT_EQ(worker->GetRefCount(), 1);
  EXPECT_EQ(argument->GetRefCount(), 1);

  worker->result = 8;
  ASSERT_EQ(threader.StartWorker(worker, nullptr, light, 0), QZ::QZ_OK);
  ASSERT_EQ(light->Wait(kForever), QZ::Event::kSignalled);
  EXPECT_EQ(threader.GetResult(), 8);
  EXPECT_EQ(worker->seenArgument, nullptr);
  EXPECT_EQ(journal.Entries().size(), 2u);
  EXPECT_EQ(QZ::RetriggerableThreader::GetJobCount(), jobsBefore + 2);
}

TEST(RetriggerableThreaderConcurrencyTest, StartingWhileBusyFailsAndChangesNothing) {
  QZ::RetriggerableThreader threader;
  QZTest::Journal journal;
  auto first = MakeWorker("first", &journal, true);
  auto second = MakeWorker("second", &journal);
  QZ::RCPtr<QZ::LEvent> firstLight(new QZ::LEvent(true));
  QZ::RCPtr<QZ::LEvent> secondLight(new QZ::LEvent(true));

  ASSERT_EQ(threader.StartWorker(first, nullptr, firstLight, 0), QZ::QZ_OK);
  first->started.Wait(kForever);
  EXPECT_TRUE(threader.IsBusy());
  secondLight->Set();
  EXPECT_EQ(threader.StartWorker(second, nullptr, secondLight, 0), QZ::QZ_E_FAIL);
  EXPECT_EQ(threader.StartWorker(second, nullptr, 0), QZ::QZ_E_FAIL);
  EXPECT_EQ(second->GetRefCount(), 1);
  // The refused start neither closed its light nor took over the running job's light.
  EXPECT_TRUE(secondLight->IsSet());
  EXPECT_EQ(firstLight->Wait(0), QZ::Event::kTimedOut);

  first->release.Set();
  ASSERT_EQ(firstLight->Wait(kForever), QZ::Event::kSignalled);
  // Once the light is open the threader takes the next job.
  ASSERT_EQ(threader.StartWorker(second, nullptr, secondLight, 0), QZ::QZ_OK);
  ASSERT_EQ(secondLight->Wait(kForever), QZ::Event::kSignalled);
  EXPECT_EQ(journal.Entries(), (std::vector<std::string>{"first", "second"}));
}

TEST(RetriggerableThreaderConcurrencyTest, TheDoneLightStaysClosedUntilTheJobReturns) {
  QZ::RetriggerableThreader threader;
  auto worker = MakeWorker("held", nullptr, true);
  QZ::RCPtr<QZ::LEvent> light(new QZ::LEvent(true));
  light->Set();

  ASSERT_EQ(threader.StartWorker(worker, nullptr, light, 0), QZ::QZ_OK);
  worker->started.Wait(kForever);
  EXPECT_EQ(light->Wait(20), QZ::Event::kTimedOut);
  worker->release.Set();
  EXPECT_EQ(light->Wait(kForever), QZ::Event::kSignalled);

  // A later job without a light leaves none behind: the old light stays closed. The
  // job after it shows that the loop has finished with the one without a light.
  auto quick = MakeWorker("quick");
  ASSERT_EQ(threader.StartWorker(quick, nullptr, 0), QZ::QZ_OK);
  while (threader.IsBusy()) {
    std::this_thread::yield();
  }
  QZ::RCPtr<QZ::LEvent> nextLight(new QZ::LEvent(true));
  ASSERT_EQ(threader.StartWorker(quick, nullptr, nextLight, 0), QZ::QZ_OK);
  ASSERT_EQ(nextLight->Wait(kForever), QZ::Event::kSignalled);
  EXPECT_EQ(light->Wait(0), QZ::Event::kTimedOut);
}

class ThrowingWorker : public QZ::LThreadWorker {
public:
  int32_t Process(QZ::RCPtr<QZ::LRefCountedObject>*) override { throw std::runtime_error("device gone"); }
  QZ::WString ToString() const override { return u"Thrower"; }
};

TEST(RetriggerableThreaderConcurrencyTest, AJobEndingInAnExceptionIsReportedAndTheThreadGoesOn) {
  QZTest::CapturedTrace trace;
  QZ::RetriggerableThreader threader;
  QZ::RCPtr<QZ::LEvent> light(new QZ::LEvent(true));
  ASSERT_EQ(threader.StartWorker(QZ::RCPtr<QZ::LThreadWorker>(new ThrowingWorker), nullptr, light, 0), QZ::QZ_OK);
  light->Wait(kForever);
  EXPECT_EQ(threader.GetResult(), QZ::QZ_E_FAIL);
  EXPECT_NE(trace.Text().find("QZ::LThreadWorker::Process : Thrower : device gone"), std::string::npos) << trace.Text();

  auto worker = MakeWorker("after");
  ASSERT_EQ(threader.StartWorker(worker, nullptr, light, 0), QZ::QZ_OK);
  EXPECT_EQ(light->Wait(kForever), QZ::Event::kSignalled);
  EXPECT_EQ(threader.GetResult(), 0);
}

TEST(RetriggerableThreaderConcurrencyTest, AStoppedThreaderRefusesJobs) {
  QZ::RetriggerableThreader threader;
  EXPECT_TRUE(threader.Stop());
  EXPECT_TRUE(threader.GetThread().IsFinished());
  auto worker = MakeWorker("late");
  EXPECT_EQ(threader.StartWorker(worker, nullptr, 0), QZ::QZ_E_FAIL);
  EXPECT_EQ(worker->GetRefCount(), 1);
}

TEST(RetriggerableThreaderConcurrencyTest, AJobHandedOverAsItStopsLetsGoOfItsWorkerAndOpensItsLight) {
  // Whether the job still runs depends on when the thread sees the stop; either way
  // nothing it holds is kept.
  for (int round = 0; round < 50; ++round) {
    QZTest::Journal journal;
    auto worker = MakeWorker("last", &journal);
    QZ::RCPtr<QZ::LEvent> light(new QZ::LEvent(true));
    QZ::RetriggerableThreader threader;
    ASSERT_EQ(threader.StartWorker(worker, nullptr, light, 0), QZ::QZ_OK);
    ASSERT_TRUE(threader.Stop());
    EXPECT_EQ(light->Wait(0), QZ::Event::kSignalled) << "round " << round;
    EXPECT_EQ(worker->GetRefCount(), 1) << "round " << round;
    EXPECT_FALSE(threader.IsBusy());
  }
}

TEST(RetriggerableThreaderConcurrencyTest, DestroyingItWithAStuckJobReturnsAfterTheJoinTimeAndTheJobLivesOn) {
  QZTest::CapturedTrace trace;
  QZ::TrafficLight workerGone;
  auto worker = MakeWorker("stuck", nullptr, true);
  worker->destroyed = &workerGone;
  QZ::RCPtr<QZ::LEvent> light(new QZ::LEvent(true));
  TestWorker* raw = worker.Get();
  {
    QZ::RetriggerableThreader threader(u"Stuck threader", 30);
    ASSERT_EQ(threader.StartWorker(worker, nullptr, light, 0), QZ::QZ_OK);
    worker = nullptr;
    raw->started.Wait(kForever);
  }
  EXPECT_NE(trace.Text().find("did not end within 30 ms"), std::string::npos) << trace.Text();
  EXPECT_EQ(light->Wait(0), QZ::Event::kTimedOut);

  // The job finishes after its threader is gone: it still releases its worker and
  // opens its light.
  raw->release.Set();
  EXPECT_EQ(light->Wait(kForever), QZ::Event::kSignalled);
  EXPECT_EQ(workerGone.Wait(kForever), QZ::Event::kSignalled);
}

} // namespace
