#include "QZFramework/Application/SingleInstance.h"

#include "Platform/Host/MessageLoop.h"
#include "Platform/Instance/InstanceLock.h"
#include "Platform/Instance/InstanceNames.h"

namespace QZ {

namespace Instance = Platform::Instance;

SingleInstance::SingleInstance(std::string_view appId, Options options)
    : mLockPath(options.lockPath.empty() ? Instance::LockFilePath(appId) : options.lockPath),
      mSocketName(Instance::HandOverSocketName(mLockPath)), mOptions(std::move(options)) {}

SingleInstance::~SingleInstance() { StopListening(); }

SingleInstance::Decision SingleInstance::Decide(std::string_view commandLine) {
  mLock = std::make_unique<Instance::InstanceLock>(mLockPath);
  if (mLock->GetState() == Instance::InstanceLock::State::Busy) {
    if (Instance::SendHandOver(mSocketName, commandLine, mOptions.send) == Instance::HandOverResult::Sent) {
      return Decision::HandedOver;
    }
    return Decision::Alone;
  }
  mListener = Instance::HandOverListener::Start(mSocketName, mOptions.listen,
                                                [this](std::string line) { Receive(std::move(line)); });
  return mListener ? Decision::First : Decision::Alone;
}

void SingleInstance::Receive(std::string commandLine) {
  {
    std::lock_guard lock(mMutex);
    mReceived.push_back(std::move(commandLine));
  }
  // Refused only while the queue does not run: the line waits for the next post.
  (void)Platform::Host::PostThreadMessage(WM_QZ_HANDEDOVER, 0, 0);
}

std::vector<std::string> SingleInstance::TakeReceived() {
  std::lock_guard lock(mMutex);
  std::vector<std::string> received;
  received.swap(mReceived);
  return received;
}

void SingleInstance::StopListening() {
  if (mListener) {
    mListener->Stop();
    mListener.reset();
  }
  std::lock_guard lock(mMutex);
  mReceived.clear();
}

void SingleInstance::Release() {
  StopListening();
  mLock.reset();
}

} // namespace QZ
