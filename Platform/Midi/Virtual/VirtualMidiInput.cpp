#include "Platform/Midi/Virtual/VirtualMidiInput.h"

#include <utility>

namespace QZ::Platform::Midi {

VirtualMidiInput::VirtualMidiInput(std::shared_ptr<VirtualMidiDeviceState> device, MidiInputHandler& handler,
                                   MidiClock clock)
    : mDevice(std::move(device)), mConnection(mDevice->CurrentConnection()), mDispatcher(handler, std::move(clock)) {
  mDevice->AddListener(mDispatcher, mConnection);
}

VirtualMidiInput::~VirtualMidiInput() { mDevice->RemoveListener(mDispatcher); }

MidiResult VirtualMidiInput::Start() {
  if (!IsAlive()) {
    return MidiResult::DeviceGone;
  }
  mDispatcher.Start();
  return MidiResult::Ok;
}

} // namespace QZ::Platform::Midi
