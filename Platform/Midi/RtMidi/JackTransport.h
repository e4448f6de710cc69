#pragma once
// JACK under RtMidi, used only where a JACK server already runs (it is never started
// for us). A client of its own watches the server and checks the connections of open
// ports.

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "Platform/Midi/RtMidi/RtMidiTransport.h"

typedef struct _jack_client jack_client_t;

namespace QZ::Platform::Midi {

class JackTransport final : public RtMidiTransport {
public:
  // RtMidi's JACK output queue holds 16,384 bytes, with the length of each message.
  static constexpr size_t kMaxMessageSize = 16379;

  // Connects to the server named by JACK_DEFAULT_SERVER (else "default"); null with the
  // reason in `why` when no server runs or RtMidi cannot use it.
  static std::shared_ptr<JackTransport> Start(const std::string& clientName, const MidiDiagnosticSink& diagnostics,
                                              std::string& why);
  ~JackTransport() override;

  // Nothing once the server has stopped.
  std::vector<RtMidiDevicePort> ListPorts(MidiDirection direction) override;
  bool IsConnected(const RtMidiDevicePort& device, MidiDirection direction, const std::string& ownPortName) override;
  size_t MaxMessageSize() const override { return kMaxMessageSize; }
  // Told of the server's port registrations and connections, and of its stop.
  std::unique_ptr<MidiDeviceWatch> WatchPorts(MidiDeviceChangeHandler onChange) override {
    return mSignal.Watch(std::move(onChange));
  }

protected:
  // The server switches to a changed connection graph at the start of a cycle, and may put
  // the switch off while a client is late: waits until a few cycles have begun since.
  bool AwaitConnectionInEffect(std::chrono::steady_clock::time_point deadline) override;

private:
  JackTransport(jack_client_t* client, std::string clientName, const MidiDiagnosticSink& diagnostics);
  static void OnServerShutdown(void* transport);
  // The server's notification thread.
  static void OnPortRegistration(uint32_t port, int registered, void* transport);
  static void OnPortConnection(uint32_t from, uint32_t to, int connected, void* transport);
  // The server's real-time thread, once per cycle.
  static int CountCycle(uint32_t frames, void* transport);

  std::mutex mMutex;
  jack_client_t* const mClient;
  const MidiDiagnosticSink mDiagnostics;
  std::atomic<bool> mServerGone{false};
  std::atomic<uint64_t> mCycles{0};
  MidiDeviceSignal mSignal;
  RtMidiErrorTrap mTrap;
  std::unique_ptr<RtMidiIn> mInputs;   // lists the ports we can capture from
  std::unique_ptr<RtMidiOut> mOutputs; // lists the ports we can render to
};

} // namespace QZ::Platform::Midi
