#include "Platform/Midi/MidiWorkQueue.h"

#include <utility>

namespace QZ::Platform::Midi {

MidiWorkQueue::MidiWorkQueue() : mThread([this] { Run(); }) {}

MidiWorkQueue::~MidiWorkQueue() {
  {
    std::lock_guard lock(mMutex);
    mStopping = true;
  }
  mWake.notify_one();
  mThread.join();
}

void MidiWorkQueue::Post(std::function<void()> task) {
  {
    std::lock_guard lock(mMutex);
    mTasks.push_back(std::move(task));
    ++mPosted;
  }
  mWake.notify_one();
}

void MidiWorkQueue::Drain() {
  if (std::this_thread::get_id() == mThread.get_id()) {
    return;
  }
  std::unique_lock lock(mMutex);
  const uint64_t target = mPosted;
  mProgress.wait(lock, [&] { return mDone >= target; });
}

void MidiWorkQueue::Run() {
  std::unique_lock lock(mMutex);
  for (;;) {
    mWake.wait(lock, [&] { return mStopping || !mTasks.empty(); });
    if (mTasks.empty()) {
      return;
    }
    std::function<void()> task = std::move(mTasks.front());
    mTasks.pop_front();
    lock.unlock();
    task();
    task = nullptr; // what the task captured goes before the waiters are told
    lock.lock();
    ++mDone;
    mProgress.notify_all();
  }
}

} // namespace QZ::Platform::Midi
