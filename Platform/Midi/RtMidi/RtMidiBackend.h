#pragma once
// The backend of the system's MIDI devices through RtMidi: the ALSA sequencer's ports,
// then the ports of a running JACK server. A transport that cannot be used (no
// sequencer device, no JACK server) lists nothing, and the diagnostic sink hears why,
// once, when the backend is made (ALSA's reason first). JACK servers are never started
// for it. The two transports open side by side, JACK's on a thread of its own.

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Midi/MidiBackend.h"

namespace QZ::Platform::Midi {

class RtMidiTransport;
struct RtMidiDevicePort;

struct RtMidiBackendOptions {
  // The ALSA and JACK client name of the backend; ports of clients of this name are
  // the backend's own and are not listed.
  std::string clientName = "Quorin Preset Editor";
  // The ALSA sequencer to use ("default": the system's).
  std::string alsaSequencer = "default";
  MidiDiagnosticSink diagnostics;
  MidiClock clock;
  // How long an opening waits for the transport to show the new connection (JACK shows
  // it from its next cycle on).
  std::chrono::milliseconds connectTimeout{2000};
};

class RtMidiBackend final : public MidiBackend {
public:
  explicit RtMidiBackend(RtMidiBackendOptions options = {});
  // Ports may outlive the backend.
  ~RtMidiBackend() override;

  std::vector<std::string> ListDevices(MidiDirection direction) override;
  MidiResult OpenInput(size_t index, MidiInputHandler& handler, std::unique_ptr<MidiInput>& input) override;
  MidiResult OpenOutput(size_t index, MidiOutputHandler& handler, std::unique_ptr<MidiOutput>& output) override;
  // Null unless every usable transport can be watched (with none, nothing ever changes).
  std::unique_ptr<MidiDeviceWatch> WatchDevices(MidiDeviceChangeHandler onChange) override;

private:
  // The transport holding the device at `index` of the joined list, and the port;
  // null when past the end.
  std::shared_ptr<RtMidiTransport> Locate(MidiDirection direction, size_t index, RtMidiDevicePort& port);
  std::string NewOwnPortName(const char* kind);

  const RtMidiBackendOptions mOptions;
  std::vector<std::shared_ptr<RtMidiTransport>> mTransports; // the usable ones, ALSA first
  std::atomic<unsigned> mPortsOpened{0};
};

} // namespace QZ::Platform::Midi

// The entry MidiSystem finds when it loads this backend's library at run time: a new
// backend (the caller owns it); throws as the constructor does.
extern "C" QZ::Platform::Midi::MidiBackend*
QZMakeRtMidiBackend(const QZ::Platform::Midi::RtMidiBackendOptions* options);
