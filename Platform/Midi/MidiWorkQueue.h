#pragma once
// A thread that runs posted tasks one at a time, in the order posted: the callback
// thread of a port, so that handlers never run on a transport's own thread and never
// two at once.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace QZ::Platform::Midi {

class MidiWorkQueue {
public:
  MidiWorkQueue();
  // Runs the tasks already posted, then ends the thread. Never from one of its tasks.
  ~MidiWorkQueue();
  MidiWorkQueue(const MidiWorkQueue&) = delete;
  MidiWorkQueue& operator=(const MidiWorkQueue&) = delete;

  // Any thread. The task must not throw.
  void Post(std::function<void()> task);
  // Waits until every task posted before the call has run. From one of the queue's own
  // tasks it returns at once (the earlier tasks have run, the later ones cannot yet).
  void Drain();

private:
  void Run();

  std::mutex mMutex;
  std::condition_variable mWake;
  std::condition_variable mProgress;
  std::deque<std::function<void()>> mTasks;
  uint64_t mPosted = 0;
  uint64_t mDone = 0;
  bool mStopping = false;
  std::thread mThread; // last: starts once everything above exists
};

} // namespace QZ::Platform::Midi
