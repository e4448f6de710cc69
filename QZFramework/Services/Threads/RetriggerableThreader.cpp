#include "QZFramework/Services/Threads/RetriggerableThreader.h"

#include <atomic>

namespace QZ {

namespace {

std::atomic<int32_t> sJobCount{0};

} // namespace

// Shared by the threader and its thread, so that a thread left running after its
// threader is gone still has all it touches.
struct RetriggerableThreader::State {
  Event trigger{true};
  std::atomic<bool> busy{false};
  std::atomic<bool> stop{false};
  std::atomic<int32_t> result{0};
  // Written by the starting thread while not busy, read by the thread after the trigger.
  RCPtr<LEvent> light;
  RCPtr<LThreadWorker> worker;
  RCPtr<LRefCountedObject> argument;
};

RetriggerableThreader::RetriggerableThreader(const WString& name, uint32_t joinTimeoutMs)
    : mState(std::make_shared<State>()), mJoinTimeoutMs(joinTimeoutMs), mName(name) {
  mThread = std::make_unique<Thread>([state = mState] { Run(*state); }, joinTimeoutMs);
  mThread->SetName(name);
  mThread->Start();
}

RetriggerableThreader::~RetriggerableThreader() {
  mState->stop = true;
  mState->trigger.Set();
  mThread.reset();
}

void RetriggerableThreader::Run(State& state) {
  while (!state.stop) {
    state.trigger.Wait(Event::kInfinite);
    if (!state.stop && state.worker) {
      ++sJobCount;
      state.result = RunThreadWorker(*state.worker, &state.argument);
    }
    EndJob(state);
  }
  // A job handed over while the threader stopped, perhaps before the loop began: it
  // never runs, but lets go of what it holds (its worker may own this threader).
  EndJob(state);
}

void RetriggerableThreader::EndJob(State& state) {
  // Dropping the worker may destroy the threader itself (its owner's last reference);
  // the state outlives it.
  state.argument = nullptr;
  state.worker = nullptr;
  const RCPtr<LEvent> light = std::move(state.light);
  state.light = nullptr;
  state.busy = false;
  if (light) {
    light->Set();
  }
}

QZResult RetriggerableThreader::StartWorker(const RCPtr<LThreadWorker>& worker,
                                            const RCPtr<LRefCountedObject>& argument, const RCPtr<LEvent>& light,
                                            int32_t priority) {
  if (mState->stop) {
    return QZ_E_FAIL;
  }
  if (mState->busy && mThread->IsFinished()) {
    mState->busy = false;
  }
  bool idle = false;
  if (!mState->busy.compare_exchange_strong(idle, true)) {
    return QZ_E_FAIL;
  }
  mThread->SetPriority(priority);
  mState->worker = worker;
  mState->argument = argument;
  mState->light = light;
  if (light) {
    light->Reset();
  }
  return mState->trigger.Set() ? QZ_OK : QZ_E_FAIL;
}

QZResult RetriggerableThreader::StartWorker(const RCPtr<LThreadWorker>& worker,
                                            const RCPtr<LRefCountedObject>& argument, int32_t priority) {
  return StartWorker(worker, argument, nullptr, priority);
}

bool RetriggerableThreader::Stop() {
  mState->stop = true;
  mState->trigger.Set();
  return mThread->Wait(mJoinTimeoutMs);
}

bool RetriggerableThreader::IsBusy() const { return mState->busy; }

int32_t RetriggerableThreader::GetResult() const { return mState->result; }

WString RetriggerableThreader::ToString() const {
  std::lock_guard hold(mNameLock);
  return mName;
}

void RetriggerableThreader::SetName(const WString& name) {
  {
    std::lock_guard hold(mNameLock);
    mName = name;
  }
  mThread->SetName(name);
}

int32_t RetriggerableThreader::GetJobCount() { return sJobCount; }

} // namespace QZ
