#include "Platform/Midi/RtMidi/RtMidiOutput.h"

#include <RtMidi.h>

#include <utility>

namespace QZ::Platform::Midi {

MidiResult RtMidiOutput::Open(std::shared_ptr<RtMidiTransport> transport, RtMidiDevicePort device,
                              std::string ownPortName, MidiOutputHandler& handler, const RtMidiBackendOptions& options,
                              std::unique_ptr<MidiOutput>& output) {
  std::unique_ptr<RtMidiOutput> port(
      new RtMidiOutput(std::move(transport), std::move(device), std::move(ownPortName), handler, options.diagnostics));
  std::unique_ptr<RtMidiOut> rtMidi = port->mTransport->NewOutput(port->mTrap);
  if (!rtMidi) {
    return MidiResult::TransportError;
  }
  const MidiResult opened = OpenRtMidiPort(*rtMidi, port->mTrap, port->mDevice.rtMidiName, port->mOwnPortName);
  if (opened != MidiResult::Ok) {
    return opened;
  }
  port->mRtMidi = std::move(rtMidi);
  if (!port->mTransport->AwaitConnection(port->mDevice, MidiDirection::Output, port->mOwnPortName,
                                         options.connectTimeout)) {
    return MidiResult::DeviceGone;
  }
  output = std::move(port);
  return MidiResult::Ok;
}

RtMidiOutput::RtMidiOutput(std::shared_ptr<RtMidiTransport> transport, RtMidiDevicePort device, std::string ownPortName,
                           MidiOutputHandler& handler, const MidiDiagnosticSink& diagnostics)
    : mTransport(std::move(transport)), mDevice(std::move(device)), mOwnPortName(std::move(ownPortName)),
      mHandler(handler), mTrap(diagnostics) {}

RtMidiOutput::~RtMidiOutput() = default;

MidiResult RtMidiOutput::SendShort(const MidiShortMessage& message) {
  if (!IsValidShortMessage(message)) {
    return MidiResult::InvalidMessage;
  }
  return Send(std::span(message.bytes.data(), message.size));
}

MidiResult RtMidiOutput::SendLong(std::span<const uint8_t> bytes) {
  if (bytes.empty()) {
    return MidiResult::InvalidMessage;
  }
  if (bytes.size() > mTransport->MaxMessageSize()) {
    return MidiResult::MessageTooLong;
  }
  const MidiResult result = Send(bytes);
  if (result == MidiResult::Ok) {
    mHandler.OnLongDone();
  }
  return result;
}

bool RtMidiOutput::IsAlive() { return mTransport->IsConnected(mDevice, MidiDirection::Output, mOwnPortName); }

MidiResult RtMidiOutput::Send(std::span<const uint8_t> bytes) {
  if (!IsAlive()) {
    return MidiResult::DeviceGone;
  }
  std::lock_guard lock(mSendMutex);
  const uint64_t errors = mTrap.Count();
  try {
    mRtMidi->sendMessage(bytes.data(), bytes.size());
  } catch (const RtMidiError& error) {
    mTrap.Report(error.getMessage());
  }
  return mTrap.Count() == errors ? MidiResult::Ok : MidiResult::TransportError;
}

} // namespace QZ::Platform::Midi
