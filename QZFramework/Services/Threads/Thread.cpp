#include "QZFramework/Services/Threads/Thread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <system_error>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Sync/EventLock.h"
#include "QZFramework/Services/Sync/TrafficLight.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Utilities/Storage/StringT.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

namespace QZ {

namespace {

// Flags: bit 0 started; exactly kRefused: the routine is never run.
constexpr uint32_t kStarted = 1;
constexpr uint32_t kRefused = 2;

std::atomic<int32_t> sLiveThreads{0};

int NiceValueOf(int32_t priority) {
  if (priority >= 15) {
    return -20;
  }
  if (priority <= -15) {
    return 19;
  }
  return -5 * std::clamp(priority, -2, 2);
}

// The UTF-8 name cut to what the system keeps, without splitting a character.
std::string SystemThreadName(const WString& name) {
  std::string text = name.ToUTF8().GetBuffer();
  size_t length = std::min<size_t>(text.size(), 15);
  while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
    --length;
  }
  text.resize(length);
  return text;
}

uint32_t Remaining(uint32_t timeoutMs, std::chrono::steady_clock::time_point start) {
  if (timeoutMs == Event::kInfinite) {
    return timeoutMs;
  }
  const auto spent =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
  return spent >= timeoutMs ? 0 : uint32_t(timeoutMs - spent);
}

} // namespace

struct Thread::State {
  State(Routine work, uint32_t joinMs) : routine(std::move(work)), joinTimeoutMs(joinMs), done(new DoneLight) {
    done->Set();
  }

  using DoneLight = LWrapper<TrafficLight>;

  Routine routine;
  const uint32_t joinTimeoutMs;
  EventLock lock;
  uint32_t flags = 0; // under lock
  // Opened by Start, by a Wait on a thread never started, or by the destructor: the
  // thread is suspended until then.
  TrafficLight resumed;
  // Opened by the thread once it has set the running byte.
  TrafficLight began;
  std::atomic<bool> running{false};
  RCPtr<DoneLight> done;
  // Written by the thread before `known` opens, constant afterwards.
  TrafficLight known;
  pid_t systemId = 0;
  std::thread::id id;
  std::mutex nameLock;
  WString name; // under nameLock
};

Thread::Thread(Routine routine, uint32_t joinTimeoutMs)
    : mState(std::make_shared<State>(std::move(routine), joinTimeoutMs)) {
  try {
    mThread = std::thread(&Thread::Run, mState);
    mState->known.Wait(Event::kInfinite);
  } catch (const std::system_error&) {
    mState->flags = kRefused;
  }
  ++sLiveThreads;
}

Thread::~Thread() {
  {
    EventLock::ScopedLock hold(mState->lock);
    if (mState->flags == 0) {
      mState->flags = kRefused;
      mState->resumed.Set();
    }
  }
  if (mThread.joinable()) {
    if (IsCurrent()) {
      mThread.detach();
    } else if (Wait(mState->joinTimeoutMs)) {
      mThread.join();
    } else {
      WString name;
      {
        std::lock_guard hold(mState->nameLock);
        name = mState->name;
      }
      DebugTrace::Get().Narrow() << "QZ::Thread::~Thread : thread \"" << name << "\" did not end within "
                                 << mState->joinTimeoutMs << " ms; left to finish on its own\n";
      mThread.detach();
    }
  }
  --sLiveThreads;
}

void Thread::Run(const std::shared_ptr<State>& state) {
  state->systemId = gettid();
  state->id = std::this_thread::get_id();
  state->known.Set();
  state->resumed.Wait(Event::kInfinite);
  const RCPtr<State::DoneLight> done = state->done;
  done->Reset();
  state->running.exchange(true);
  state->began.Set();
  bool refused = false;
  {
    EventLock::ScopedLock hold(state->lock);
    refused = state->flags == kRefused;
  }
  if (!refused) {
    state->routine();
  }
  done->Set();
}

bool Thread::Start() {
  EventLock::ScopedLock hold(mState->lock);
  if (mState->flags != 0) {
    return false;
  }
  mState->flags = kStarted;
  mState->resumed.Set();
  return true;
}

bool Thread::IsFinished() {
  EventLock::ScopedLock hold(mState->lock);
  if (mState->running.load()) {
    return mState->done->IsSet();
  }
  return (mState->flags & 3) == kRefused;
}

bool Thread::Wait(uint32_t timeoutMs) {
  if (IsFinished()) {
    return true;
  }
  if (IsCurrent()) {
    return false;
  }
  {
    EventLock::ScopedLock hold(mState->lock);
    if (mState->flags == 0) {
      mState->flags |= kStarted | kRefused;
      mState->resumed.Set();
    }
  }
  // The done light is open until the routine begins, so wait for the beginning first.
  // Both waits run without the state lock, which IsFinished needs meanwhile.
  const auto start = std::chrono::steady_clock::now();
  if (mState->began.Wait(timeoutMs) != Event::kSignalled) {
    return false;
  }
  return mState->done->Wait(Remaining(timeoutMs, start)) == Event::kSignalled;
}

bool Thread::SetPriority(int32_t priority) {
  if (!mThread.joinable() || (mState->running.load() && mState->done->IsSet())) {
    return false;
  }
  return setpriority(PRIO_PROCESS, id_t(mState->systemId), NiceValueOf(priority)) == 0;
}

void Thread::SetName(const WString& name) {
  {
    std::lock_guard hold(mState->nameLock);
    mState->name = name;
  }
  if (mThread.joinable() && !name.IsEmpty()) {
    pthread_setname_np(mThread.native_handle(), SystemThreadName(name).c_str());
  }
}

// A refused thread keeps the default id, which no running thread has.
bool Thread::IsCurrent() const { return std::this_thread::get_id() == mState->id; }

int32_t Thread::GetLiveCount() { return sLiveThreads.load(); }

} // namespace QZ
