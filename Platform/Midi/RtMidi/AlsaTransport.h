#pragma once
// The ALSA sequencer under RtMidi. A sequencer handle of its own reads the client
// names the device names are made of and checks the subscriptions of open ports.

#include <memory>
#include <mutex>
#include <string>

#include "Platform/Midi/RtMidi/AlsaAnnounceWatch.h"
#include "Platform/Midi/RtMidi/RtMidiTransport.h"

typedef struct _snd_seq snd_seq_t;

namespace QZ::Platform::Midi {

class AlsaTransport final : public RtMidiTransport {
public:
  // Opens the sequencer `sequencerName` ("default": the system's); null with the
  // reason in `why` when there is none (no /dev/snd/seq) or RtMidi cannot use it.
  static std::shared_ptr<AlsaTransport> Start(const std::string& sequencerName, const std::string& clientName,
                                              const MidiDiagnosticSink& diagnostics, std::string& why);
  ~AlsaTransport() override;

  std::vector<RtMidiDevicePort> ListPorts(MidiDirection direction) override;
  bool IsConnected(const RtMidiDevicePort& device, MidiDirection direction, const std::string& ownPortName) override;
  size_t MaxMessageSize() const override;
  // Null when the sequencer's announcements cannot be followed.
  std::unique_ptr<MidiDeviceWatch> WatchPorts(MidiDeviceChangeHandler onChange) override;

private:
  AlsaTransport(snd_seq_t* sequencer, std::string clientName, const MidiDiagnosticSink& diagnostics);
  // Under mMutex.
  std::string ClientNameOf(int client);
  bool IsOwnPort(int client, int port, const std::string& ownPortName);

  std::mutex mMutex;
  snd_seq_t* const mSequencer;
  RtMidiErrorTrap mTrap;
  std::unique_ptr<RtMidiIn> mInputs;   // lists the ports we can capture from
  std::unique_ptr<RtMidiOut> mOutputs; // lists the ports we can render to
  MidiDeviceSignal mSignal;
  std::unique_ptr<AlsaAnnounceWatch> mAnnouncements; // notifies mSignal; goes first
};

} // namespace QZ::Platform::Midi
