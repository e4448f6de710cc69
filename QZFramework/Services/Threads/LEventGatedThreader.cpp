#include "QZFramework/Services/Threads/LEventGatedThreader.h"

#include <atomic>

namespace QZ {

// Shared by the threader and its thread (see RetriggerableThreader.cpp).
struct LEventGatedThreader::State {
  State(const RCPtr<LEvent>& gateEvent, const RCPtr<LThreadWorker>& job, const RCPtr<LRefCountedObject>& jobArgument)
      : gate(gateEvent), worker(job), argument(jobArgument) {}

  const RCPtr<LEvent> gate;
  std::atomic<bool> stop{false};
  const RCPtr<LThreadWorker> worker;
  // The thread's own: only the worker reads or replaces it.
  RCPtr<LRefCountedObject> argument;
  std::atomic<uint32_t> waitTimeoutMs{Event::kInfinite};
  std::atomic<uint32_t> lastWaitResult{Event::kSignalled};
  std::atomic<bool> running{false};
};

LEventGatedThreader::LEventGatedThreader(const RCPtr<LEvent>& gate, const RCPtr<LThreadWorker>& worker,
                                         const RCPtr<LRefCountedObject>& argument, int32_t priority,
                                         uint32_t joinTimeoutMs) {
  if (!gate) {
    Throw<std::invalid_argument>(
        {"QZ::LEventGatedThreader::LEventGatedThreader", R"(Services\Threads\LEventGatedThreader)", 31}, "No gate");
  }
  mState = std::make_shared<State>(gate, worker, argument);
  mThread = std::make_unique<Thread>([state = mState] { Run(*state); }, joinTimeoutMs);
  mThread->SetPriority(priority);
  mThread->Start();
}

LEventGatedThreader::~LEventGatedThreader() {
  mState->stop = true;
  mState->gate->Set();
  mThread.reset();
}

void LEventGatedThreader::Run(State& state) {
  while (!state.stop) {
    state.lastWaitResult = state.gate->Wait(state.waitTimeoutMs);
    if (state.stop) {
      break;
    }
    if (state.worker) {
      state.running = true;
      RunThreadWorker(*state.worker, &state.argument);
      state.running = false;
    }
  }
}

void LEventGatedThreader::SetWaitTimeout(uint32_t timeoutMs) { mState->waitTimeoutMs = timeoutMs; }

uint32_t LEventGatedThreader::GetWaitTimeout() const { return mState->waitTimeoutMs; }

uint32_t LEventGatedThreader::GetLastWaitResult() const { return mState->lastWaitResult; }

bool LEventGatedThreader::IsRunning() const { return mState->running; }

} // namespace QZ
