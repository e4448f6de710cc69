#pragma once
// An output port over an RtMidiOut. RtMidi takes a message before sendMessage returns,
// so a long message is done when SendLong returns and nothing is ever pending.

#include <memory>
#include <mutex>
#include <string>

#include "Platform/Midi/MidiBackend.h"
#include "Platform/Midi/RtMidi/RtMidiBackend.h"
#include "Platform/Midi/RtMidi/RtMidiTransport.h"

namespace QZ::Platform::Midi {

class RtMidiOutput final : public MidiOutput {
public:
  // As RtMidiInput::Open.
  static MidiResult Open(std::shared_ptr<RtMidiTransport> transport, RtMidiDevicePort device, std::string ownPortName,
                         MidiOutputHandler& handler, const RtMidiBackendOptions& options,
                         std::unique_ptr<MidiOutput>& output);
  ~RtMidiOutput() override;

  MidiResult SendShort(const MidiShortMessage& message) override;
  // OnLongDone runs on the sending thread before an accepted message returns Ok.
  MidiResult SendLong(std::span<const uint8_t> bytes) override;
  // Nothing to drop: every accepted message was handed over already.
  void Reset() override {}
  bool IsAlive() override;

private:
  RtMidiOutput(std::shared_ptr<RtMidiTransport> transport, RtMidiDevicePort device, std::string ownPortName,
               MidiOutputHandler& handler, const MidiDiagnosticSink& diagnostics);
  MidiResult Send(std::span<const uint8_t> bytes);

  const std::shared_ptr<RtMidiTransport> mTransport;
  const RtMidiDevicePort mDevice;
  const std::string mOwnPortName;
  MidiOutputHandler& mHandler;
  std::mutex mSendMutex; // RtMidi objects are not safe for concurrent calls
  RtMidiErrorTrap mTrap;
  std::unique_ptr<RtMidiOut> mRtMidi;
};

} // namespace QZ::Platform::Midi
