#pragma once
// Workers for the threader and pool tests: they record their runs in a shared journal,
// can hold a run until the test releases it, and report their own destruction.

#include <gtest/gtest.h>
#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "QZFramework/Services/Sync/TrafficLight.h"
#include "QZFramework/Services/Threads/LThreadWorker.h"
#include "QZFramework/Utilities/Storage/StringT.h"
#include "Support/WaitUntil.h"

namespace QZTest {

// The names of the runs, in the order they began.
class Journal {
public:
  void Add(const std::string& entry) {
    std::lock_guard hold(mMutex);
    mEntries.push_back(entry);
    mChanged.notify_all();
  }
  // Waits (kWaitBound at most, a guard against a hang) until count entries are in.
  std::vector<std::string> WaitFor(size_t count) {
    std::unique_lock hold(mMutex);
    QZTest::WaitUntil(hold, mChanged, [&] { return mEntries.size() >= count; }); // what has come is returned
    return mEntries;
  }
  std::vector<std::string> Entries() {
    std::lock_guard hold(mMutex);
    return mEntries;
  }

private:
  std::mutex mMutex;
  std::condition_variable mChanged;
  std::vector<std::string> mEntries;
};

class TestWorker : public QZ::LThreadWorker {
public:
  explicit TestWorker(std::string name, Journal* journal = nullptr, bool holds = false)
      : mName(std::move(name)), mJournal(journal), mHolds(holds) {}
  ~TestWorker() override {
    if (destroyed) {
      destroyed->Set();
    }
  }

  int32_t Process(QZ::RCPtr<QZ::LRefCountedObject>* argument) override {
    seenArgument = argument ? argument->Get() : nullptr;
    pthread_getname_np(pthread_self(), threadName, sizeof(threadName));
    if (mJournal) {
      mJournal->Add(mName);
    }
    started.Set();
    if (mHolds) {
      release.Wait(QZ::Event::kInfinite);
    }
    return result;
  }
  QZ::WString ToString() const override { return QZ::WString(mName.c_str()); }

  QZ::TrafficLight started; // opens when a run begins
  QZ::TrafficLight release; // a holding worker's run returns once it opens
  QZ::TrafficLight* destroyed = nullptr;
  int32_t result = 0;
  const QZ::LRefCountedObject* seenArgument = nullptr;
  char threadName[16] = {}; // the system's name of the thread of the last run

private:
  std::string mName;
  Journal* mJournal;
  bool mHolds;
};

// What the process's trace reports while it lives: QZ_DEBUG_TRACE is set, so the
// debugger output goes to stderr, which is captured.
class CapturedTrace {
public:
  CapturedTrace() {
    setenv("QZ_DEBUG_TRACE", "1", 1);
    testing::internal::CaptureStderr();
  }
  CapturedTrace(const CapturedTrace&) = delete;
  CapturedTrace& operator=(const CapturedTrace&) = delete;
  ~CapturedTrace() {
    Text();
    unsetenv("QZ_DEBUG_TRACE");
  }

  // Ends the capture on the first call.
  const std::string& Text() {
    if (!mEnded) {
      mText = testing::internal::GetCapturedStderr();
      mEnded = true;
    }
    return mText;
  }

private:
  bool mEnded = false;
  std::string mText;
};

} // namespace QZTest
