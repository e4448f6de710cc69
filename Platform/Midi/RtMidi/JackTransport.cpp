#include "Platform/Midi/RtMidi/JackTransport.h"

#include <RtMidi.h>
#include <jack/jack.h>

#include <cstdio>
#include <thread>

namespace QZ::Platform::Midi {

namespace {

// libjack prints every failed connection attempt; its results are reported instead.
void IgnoreJackMessage(const char*) {}

void SilenceJack() {
  static std::once_flag once;
  std::call_once(once, [] {
    jack_set_error_function(&IgnoreJackMessage);
    jack_set_info_function(&IgnoreJackMessage);
  });
}

std::string DescribeFailure(jack_status_t status) {
  if (status & JackServerFailed) {
    return "no JACK server is running";
  }
  char code[16];
  std::snprintf(code, sizeof code, "0x%X", static_cast<unsigned>(status));
  return std::string("the JACK server refused a client (status ") + code + ")";
}

} // namespace

std::shared_ptr<JackTransport> JackTransport::Start(const std::string& clientName,
                                                    const MidiDiagnosticSink& diagnostics, std::string& why) {
  SilenceJack();
  jack_status_t status{};
  jack_client_t* client = jack_client_open(clientName.c_str(), JackNoStartServer, &status);
  if (client == nullptr) {
    why = "MIDI: " + DescribeFailure(status) + "; no JACK MIDI devices are listed";
    return nullptr;
  }
  std::shared_ptr<JackTransport> transport(new JackTransport(client, clientName, diagnostics));
  jack_on_shutdown(client, &JackTransport::OnServerShutdown, transport.get());
  if (jack_set_process_callback(client, &JackTransport::CountCycle, transport.get()) != 0 ||
      jack_set_port_registration_callback(client, &JackTransport::OnPortRegistration, transport.get()) != 0 ||
      jack_set_port_connect_callback(client, &JackTransport::OnPortConnection, transport.get()) != 0 ||
      jack_activate(client) != 0 || !transport->mInputs || !transport->mOutputs) {
    why = "MIDI: RtMidi cannot use the JACK server; no JACK MIDI devices are listed";
    return nullptr;
  }
  return transport;
}

JackTransport::JackTransport(jack_client_t* client, std::string clientName, const MidiDiagnosticSink& diagnostics)
    : RtMidiTransport(RtMidi::UNIX_JACK, std::move(clientName)), mClient(client), mDiagnostics(diagnostics),
      mTrap(diagnostics), mInputs(NewInput(mTrap)), mOutputs(NewOutput(mTrap)) {}

JackTransport::~JackTransport() {
  mInputs.reset();
  mOutputs.reset();
  jack_client_close(mClient);
}

void JackTransport::OnServerShutdown(void* transport) {
  auto* self = static_cast<JackTransport*>(transport);
  if (!self->mServerGone.exchange(true) && self->mDiagnostics) {
    self->mDiagnostics("MIDI: the JACK server has stopped; no JACK MIDI devices are listed");
  }
  self->mSignal.Notify();
}

void JackTransport::OnPortRegistration(jack_port_id_t, int, void* transport) {
  static_cast<JackTransport*>(transport)->mSignal.Notify();
}

void JackTransport::OnPortConnection(jack_port_id_t, jack_port_id_t, int, void* transport) {
  static_cast<JackTransport*>(transport)->mSignal.Notify();
}

int JackTransport::CountCycle(jack_nframes_t, void* transport) {
  static_cast<JackTransport*>(transport)->mCycles.fetch_add(1, std::memory_order_relaxed);
  return 0;
}

bool JackTransport::AwaitConnectionInEffect(std::chrono::steady_clock::time_point deadline) {
  // Two cycles guarantee one that began after now; a third covers a switch put off once.
  constexpr uint64_t kCycles = 3;
  const uint64_t target = mCycles.load(std::memory_order_relaxed) + kCycles;
  while (mCycles.load(std::memory_order_relaxed) < target) {
    if (mServerGone || std::chrono::steady_clock::now() >= deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

std::vector<RtMidiDevicePort> JackTransport::ListPorts(MidiDirection direction) {
  std::lock_guard lock(mMutex);
  std::vector<RtMidiDevicePort> ports;
  if (mServerGone) {
    return ports;
  }
  RtMidi& lister = direction == MidiDirection::Input ? static_cast<RtMidi&>(*mInputs) : *mOutputs;
  try {
    const unsigned count = lister.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
      std::string name = lister.getPortName(i);
      if (!name.empty() && !IsOwnJackPort(name, ClientName())) {
        ports.push_back({name, name, {}});
      }
    }
  } catch (const RtMidiError& error) {
    mTrap.Report(error.getMessage());
  }
  return ports;
}

bool JackTransport::IsConnected(const RtMidiDevicePort& device, MidiDirection, const std::string& ownPortName) {
  std::lock_guard lock(mMutex);
  if (mServerGone) {
    return false;
  }
  jack_port_t* port = jack_port_by_name(mClient, device.rtMidiName.c_str());
  if (port == nullptr) {
    return false;
  }
  const char** connections = jack_port_get_all_connections(mClient, port);
  bool connected = false;
  for (const char** other = connections; other != nullptr && *other != nullptr && !connected; ++other) {
    const std::string_view name(*other);
    connected = name.ends_with(":" + ownPortName) && IsOwnJackPort(name, ClientName());
  }
  jack_free(connections);
  return connected;
}

} // namespace QZ::Platform::Midi
