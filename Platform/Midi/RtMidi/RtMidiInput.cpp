#include "Platform/Midi/RtMidi/RtMidiInput.h"

#include <RtMidi.h>

#include <algorithm>
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
  auto& dispatcher = static_cast<RtMidiInput*>(input)->mDispatcher;
  if (message == nullptr || message->empty()) {
    return;
  }
  if (message->front() == 0xF0) {
    dispatcher.PushSysEx(*message, true, true); // RtMidi hands over whole messages
  } else {
    dispatcher.PushShort(std::span(message->data(), std::min<size_t>(message->size(), 3)));
  }
}

} // namespace QZ::Platform::Midi
