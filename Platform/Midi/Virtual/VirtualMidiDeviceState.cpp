#include "Platform/Midi/Virtual/VirtualMidiDeviceState.h"

#include <algorithm>
#include <utility>

#include "Platform/Midi/MidiCaptureDispatcher.h"

namespace QZ::Platform::Midi {

VirtualMidiDeviceState::VirtualMidiDeviceState(MidiDirection direction, std::string name)
    : mDirection(direction), mName(std::move(name)) {}

void VirtualMidiDeviceState::Plug() {
  std::lock_guard lock(mMutex);
  if (mPlugged || mRemoved) {
    return;
  }
  mPlugged = true;
  ++mConnection;
}

void VirtualMidiDeviceState::Unplug() {
  std::lock_guard lock(mMutex);
  mPlugged = false;
  mWire.Clear();
}

void VirtualMidiDeviceState::Remove() {
  std::lock_guard lock(mMutex);
  mPlugged = false;
  mRemoved = true;
  mWire.Clear();
}

bool VirtualMidiDeviceState::IsPlugged() const {
  std::lock_guard lock(mMutex);
  return mPlugged;
}

uint64_t VirtualMidiDeviceState::CurrentConnection() const {
  std::lock_guard lock(mMutex);
  return mPlugged ? mConnection : 0;
}

bool VirtualMidiDeviceState::IsConnected(uint64_t connection) const {
  std::lock_guard lock(mMutex);
  return mPlugged && connection == mConnection;
}

void VirtualMidiDeviceState::AddListener(MidiCaptureDispatcher& dispatcher, uint64_t connection) {
  std::lock_guard lock(mMutex);
  mListeners.push_back({&dispatcher, connection});
}

void VirtualMidiDeviceState::RemoveListener(MidiCaptureDispatcher& dispatcher) {
  std::lock_guard lock(mMutex);
  std::erase_if(mListeners, [&](const Listener& listener) { return listener.dispatcher == &dispatcher; });
}

MidiResult VirtualMidiDeviceState::SendFromPeer(std::span<const uint8_t> bytes) {
  std::lock_guard lock(mMutex);
  if (!mPlugged) {
    return MidiResult::DeviceGone;
  }
  for (const MidiStreamEvent& event : mWire.Feed(bytes)) {
    for (const Listener& listener : mListeners) {
      if (listener.connection != mConnection) {
        continue;
      }
      listener.dispatcher->Push(event);
    }
  }
  return MidiResult::Ok;
}

void VirtualMidiDeviceState::DeliverToPeer(uint64_t connection, std::span<const uint8_t> message) {
  std::lock_guard receiverLock(mReceiverMutex);
  if (mReceiver && IsConnected(connection)) {
    mReceiver(message);
  }
}

void VirtualMidiDeviceState::SetReceiver(Receiver receiver) {
  std::lock_guard receiverLock(mReceiverMutex);
  mReceiver = std::move(receiver);
}

} // namespace QZ::Platform::Midi
