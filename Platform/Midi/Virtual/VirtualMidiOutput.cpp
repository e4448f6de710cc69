#include "Platform/Midi/Virtual/VirtualMidiOutput.h"

#include <utility>
#include <vector>

namespace QZ::Platform::Midi {

VirtualMidiOutput::VirtualMidiOutput(std::shared_ptr<VirtualMidiDeviceState> device, MidiOutputHandler& handler)
    : mDevice(std::move(device)), mConnection(mDevice->CurrentConnection()), mHandler(handler) {}

VirtualMidiOutput::~VirtualMidiOutput() { Reset(); }

MidiResult VirtualMidiOutput::SendShort(const MidiShortMessage& message) {
  if (!IsValidShortMessage(message)) {
    return MidiResult::InvalidMessage;
  }
  if (!IsAlive()) {
    return MidiResult::DeviceGone;
  }
  mQueue.Post([this, message] { mDevice->DeliverToPeer(mConnection, std::span(message.bytes.data(), message.size)); });
  return MidiResult::Ok;
}

MidiResult VirtualMidiOutput::SendLong(std::span<const uint8_t> bytes) {
  if (bytes.empty()) {
    return MidiResult::InvalidMessage;
  }
  if (!IsAlive()) {
    return MidiResult::DeviceGone;
  }
  mQueue.Post([this, epoch = mEpoch.load(), message = std::vector<uint8_t>(bytes.begin(), bytes.end())] {
    if (epoch == mEpoch.load()) {
      mDevice->DeliverToPeer(mConnection, message);
    }
    mHandler.OnLongDone();
  });
  return MidiResult::Ok;
}

void VirtualMidiOutput::Reset() {
  ++mEpoch;
  mQueue.Drain();
}

} // namespace QZ::Platform::Midi
