#include "Platform/Midi/RtMidi/RtMidiInput.h"

#include <RtMidi.h>

#include <utility>

namespace QZ::Platform::Midi {

MidiResult RtMidiInput::Open(std::shared_ptr<RtMidiTransport> transport, RtMidiDevicePort device,
                             std::string ownPortName, MidiInputHandler& handler, const RtMidiBackendOptions& options,
                             std::unique_ptr<MidiInput>& input) {
  std::unique_ptr<RtMidiInput> port(
      new RtMidiInput(std::move(transport), std::move(device), std::move(ownPortName), handler, options));
  std::unique_ptr<RtMidiIn> rtMidi = port->mTransport->NewInput(port->mTrap);
  if (!rtMidi) {
    return MidiResult::TransportError;
  }
  try {
    rtMidi->ignoreTypes(false, false, false); // system-exclusive, timing and sensing, as a driver delivers them
    rtMidi->setCallback(&RtMidiInput::OnMessage, port.get());
  } catch (const RtMidiError& error) {
    port->mTrap.Report(error.getMessage());
    return MidiResult::TransportError;
  }
  const MidiResult opened = OpenRtMidiPort(*rtMidi, port->mTrap, port->mDevice.rtMidiName, port->mOwnPortName);
  if (opened != MidiResult::Ok) {
    return opened;
  }
  port->mRtMidi = std::move(rtMidi);
  if (!port->mTransport->AwaitConnection(port->mDevice, MidiDirection::Input, port->mOwnPortName,
                                         options.connectTimeout)) {
    return MidiResult::DeviceGone;
  }
  input = std::move(port);
  return MidiResult::Ok;
}

RtMidiInput::RtMidiInput(std::shared_ptr<RtMidiTransport> transport, RtMidiDevicePort device, std::string ownPortName,
                         MidiInputHandler& handler, const RtMidiBackendOptions& options)
    : mTransport(std::move(transport)), mDevice(std::move(device)), mOwnPortName(std::move(ownPortName)),
      mDispatcher(handler, options.clock), mTrap(options.diagnostics) {}

RtMidiInput::~RtMidiInput() {
  mRtMidi.reset(); // RtMidi's thread has ended: nothing is pushed any more
}

MidiResult RtMidiInput::Start() {
  if (!IsAlive()) {
    return MidiResult::DeviceGone;
  }
  mDispatcher.Start();
  return MidiResult::Ok;
}

bool RtMidiInput::IsAlive() { return mTransport->IsConnected(mDevice, MidiDirection::Input, mOwnPortName); }

void RtMidiInput::OnMessage(double, std::vector<unsigned char>* message, void* input) {
  if (message == nullptr) {
    return;
  }
  // RtMidi's messages are not always single messages: over JACK it appends whatever follows
  // an unfinished system-exclusive message (clock, the next F0) until an event ends with F7.
  auto* self = static_cast<RtMidiInput*>(input);
  for (const MidiStreamEvent& event : self->mWire.Feed(*message)) {
    self->mDispatcher.Push(event);
  }
}

} // namespace QZ::Platform::Midi
