#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <atomic>
#include <memory>
#include <string>

#include "QZFramework/Services/Sync/TrafficLight.h"
#include "QZFramework/Services/Threads/Thread.h"
#include "QZFramework/Services/Threads/ThreadTestSupport.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace {

constexpr uint32_t kForever = QZ::Event::kInfinite;

TEST(ThreadConcurrencyTest, RunsItsRoutineOnlyAfterStartAndOnlyOnce) {
  QZ::TrafficLight ran;
  std::atomic<int> runs{0};
  const int32_t liveBefore = QZ::Thread::GetLiveCount();
  {
    QZ::Thread thread([&] {
      ++runs;
      ran.Set();
    });
    EXPECT_EQ(QZ::Thread::GetLiveCount(), liveBefore + 1);
    EXPECT_FALSE(thread.IsFinished());
    EXPECT_EQ(ran.Wait(20), QZ::Event::kTimedOut);

    EXPECT_TRUE(thread.Start());
    EXPECT_FALSE(thread.Start());
    EXPECT_TRUE(thread.Wait(kForever));
    EXPECT_TRUE(thread.IsFinished());
    EXPECT_TRUE(thread.Wait(0));
  }
  EXPECT_EQ(runs.load(), 1);
  EXPECT_EQ(QZ::Thread::GetLiveCount(), liveBefore);
}

TEST(ThreadConcurrencyTest, WaitingOnAThreadNeverStartedRunsIt) {
  std::atomic<int> runs{0};
  QZ::Thread thread([&] { ++runs; });
  EXPECT_TRUE(thread.Wait(kForever));
  EXPECT_EQ(runs.load(), 1);
  EXPECT_FALSE(thread.Start());
}

TEST(ThreadConcurrencyTest, AThreadNeverStartedEndsWithoutRunningItsRoutine) {
  std::atomic<int> runs{0};
  {
    QZ::Thread thread([&] { ++runs; });
  }
  EXPECT_EQ(runs.load(), 0);
}

TEST(ThreadConcurrencyTest, WaitTimesOutWhileTheRoutineRunsAndSucceedsOnceItReturns) {
  QZ::TrafficLight release;
  QZ::Thread thread([&] { release.Wait(kForever); });
  thread.Start();
  EXPECT_FALSE(thread.Wait(20));
  EXPECT_FALSE(thread.IsFinished());
  release.Set();
  EXPECT_TRUE(thread.Wait(kForever));
  EXPECT_TRUE(thread.IsFinished());
}

TEST(ThreadConcurrencyTest, ARoutineOutlivingTheJoinTimeIsReportedAndKeepsWhatItUses) {
  struct Shared {
    QZ::TrafficLight started;
    QZ::TrafficLight release;
    std::string text = "still here";
  };
  auto shared = std::make_shared<Shared>();
  Shared* state = shared.get();
  QZ::TrafficLight finished;
  std::string seen;
  QZTest::CapturedTrace trace;
  {
    QZ::Thread thread(
        [state = shared, &finished, &seen] {
          state->started.Set();
          state->release.Wait(kForever);
          state->text += " after the owner left";
          seen = state->text;
          finished.Set();
        },
        30);
    thread.SetName(u"Stuck routine");
    thread.Start();
    state->started.Wait(kForever);
  }
  EXPECT_NE(trace.Text().find("thread \"Stuck routine\" did not end within 30 ms"), std::string::npos) << trace.Text();

  // Only the routine holds the state now; ASan reports any use after it was freed.
  shared.reset();
  state->release.Set();
  EXPECT_EQ(finished.Wait(kForever), QZ::Event::kSignalled);
  EXPECT_EQ(seen, "still here after the owner left");
}

std::string NameSeenBy(const QZ::WString& name) {
  QZ::TrafficLight named;
  char seen[32] = {};
  QZ::Thread thread([&] {
    named.Wait(kForever);
    pthread_getname_np(pthread_self(), seen, sizeof(seen));
  });
  thread.SetName(name);
  named.Set();
  thread.Start();
  thread.Wait(kForever);
  return seen;
}

TEST(ThreadConcurrencyTest, TheSystemSeesTheNameCutToFifteenBytesOnACharacterBoundary) {
  EXPECT_EQ(NameSeenBy(u"LThreadPool::mQueueThreader"), "LThreadPool::mQ");
  EXPECT_EQ(NameSeenBy(u"abcdefghijklmn\u00F6"), "abcdefghijklmn");
  EXPECT_EQ(NameSeenBy(u"Engine"), "Engine");
}

TEST(ThreadConcurrencyTest, APriorityIsAppliedAsANiceValueWhenTheSystemAllows) {
  QZ::TrafficLight go;
  int nice = 99;
  QZ::Thread thread([&] {
    go.Wait(kForever);
    errno = 0;
    nice = getpriority(PRIO_PROCESS, id_t(gettid()));
  });
  // Lowering is always allowed; raising it back needs a privilege the tests may lack,
  // and a refusal leaves the lowered value in place.
  ASSERT_TRUE(thread.SetPriority(-1));
  const bool raised = thread.SetPriority(2);
  go.Set();
  thread.Start();
  thread.Wait(kForever);
  EXPECT_EQ(nice, raised ? -10 : 5);
  EXPECT_FALSE(thread.SetPriority(0));
}

} // namespace
