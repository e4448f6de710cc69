#pragma once
// An input port over an RtMidiIn: the bytes of RtMidi's messages are read again as a
// wire (real-time bytes out of system-exclusive messages, an unfinished one ended by the
// next status byte), and the dispatcher's thread cuts system-exclusive messages into the
// lent buffers.

#include <memory>
#include <string>

#include "Platform/Midi/MidiBackend.h"
#include "Platform/Midi/MidiCaptureDispatcher.h"
#include "Platform/Midi/MidiStreamParser.h"
#include "Platform/Midi/RtMidi/RtMidiBackend.h"
#include "Platform/Midi/RtMidi/RtMidiTransport.h"

namespace QZ::Platform::Midi {

class RtMidiInput final : public MidiInput {
public:
  // Opens `device` through a new RtMidiIn whose own port is named `ownPortName`, and
  // waits for the connection to show. NoSuchDevice when the device has gone since it
  // was listed, DeviceGone when the connection did not show, TransportError when RtMidi
  // fails (the diagnostic sink has its text).
  static MidiResult Open(std::shared_ptr<RtMidiTransport> transport, RtMidiDevicePort device, std::string ownPortName,
                         MidiInputHandler& handler, const RtMidiBackendOptions& options,
                         std::unique_ptr<MidiInput>& input);
  ~RtMidiInput() override;

  MidiResult AddBuffer(MidiCaptureBuffer& buffer) override { return mDispatcher.AddBuffer(buffer); }
  MidiResult Start() override;
  void Stop() override { mDispatcher.Stop(); }
  void Reset() override { mDispatcher.Reset(); }
  bool IsAlive() override;

private:
  RtMidiInput(std::shared_ptr<RtMidiTransport> transport, RtMidiDevicePort device, std::string ownPortName,
              MidiInputHandler& handler, const RtMidiBackendOptions& options);
  static void OnMessage(double deltaSeconds, std::vector<unsigned char>* message, void* input);

  const std::shared_ptr<RtMidiTransport> mTransport;
  const RtMidiDevicePort mDevice;
  const std::string mOwnPortName;
  MidiCaptureDispatcher mDispatcher;
  MidiStreamParser mWire; // only on RtMidi's callback thread
  RtMidiErrorTrap mTrap;
  std::unique_ptr<RtMidiIn> mRtMidi; // after the dispatcher and the trap: goes first
};

} // namespace QZ::Platform::Midi
