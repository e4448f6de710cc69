#include "Platform/Midi/RtMidi/AlsaTransport.h"

#include <RtMidi.h>
#include <alsa/asoundlib.h>

#include <climits>
#include <mutex>

namespace QZ::Platform::Midi {

namespace {

// alsa-lib prints its errors to stderr unless told otherwise; its callers report them.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void SilenceAlsa() {
  static std::once_flag once;
  std::call_once(once, [] { snd_lib_error_set_handler(&IgnoreAlsaError); });
}

} // namespace

std::shared_ptr<AlsaTransport> AlsaTransport::Start(const std::string& sequencerName, const std::string& clientName,
                                                    const MidiDiagnosticSink& diagnostics, std::string& why) {
  snd_seq_t* sequencer = nullptr;
  SilenceAlsa();
  const int error = snd_seq_open(&sequencer, sequencerName.c_str(), SND_SEQ_OPEN_DUPLEX, 0);
  if (error < 0) {
    why = "MIDI: the ALSA sequencer \"" + sequencerName + "\" cannot be opened (" + snd_strerror(error) +
          "); no ALSA MIDI devices are listed";
    return nullptr;
  }
  snd_seq_set_client_name(sequencer, clientName.c_str());
  std::shared_ptr<AlsaTransport> transport(new AlsaTransport(sequencer, clientName, diagnostics));
  if (!transport->mInputs || !transport->mOutputs) {
    why = "MIDI: RtMidi cannot use the ALSA sequencer; no ALSA MIDI devices are listed";
    return nullptr;
  }
  transport->mAnnouncements = AlsaAnnounceWatch::Start(sequencerName, clientName, transport->mSignal);
  return transport;
}

AlsaTransport::AlsaTransport(snd_seq_t* sequencer, std::string clientName, const MidiDiagnosticSink& diagnostics)
    : RtMidiTransport(RtMidi::LINUX_ALSA, std::move(clientName)), mSequencer(sequencer), mTrap(diagnostics),
      mInputs(NewInput(mTrap)), mOutputs(NewOutput(mTrap)) {}

AlsaTransport::~AlsaTransport() {
  mAnnouncements.reset();
  mInputs.reset();
  mOutputs.reset();
  snd_seq_close(mSequencer);
}

std::vector<RtMidiDevicePort> AlsaTransport::ListPorts(MidiDirection direction) {
  std::lock_guard lock(mMutex);
  RtMidi& lister = direction == MidiDirection::Input ? static_cast<RtMidi&>(*mInputs) : *mOutputs;
  std::vector<RtMidiDevicePort> ports;
  std::vector<AlsaPortEntry> entries;
  try {
    const unsigned count = lister.getPortCount();
    for (unsigned i = 0; i < count; ++i) {
      std::string rtMidiName = lister.getPortName(i);
      const auto address = ParseAlsaPortAddress(rtMidiName);
      if (!address) {
        continue; // gone since it was counted
      }
      std::string clientName = ClientNameOf(address->client);
      if (clientName == ClientName()) {
        continue;
      }
      ports.push_back({std::move(rtMidiName), {}, {*address, clientName}});
      entries.push_back({*address, std::move(clientName)});
    }
  } catch (const RtMidiError& error) {
    mTrap.Report(error.getMessage());
  }
  const std::vector<std::string> names = AlsaDeviceNames(entries, direction);
  for (size_t i = 0; i < ports.size(); ++i) {
    ports[i].shownName = names[i];
  }
  return ports;
}

bool AlsaTransport::IsConnected(const RtMidiDevicePort& device, MidiDirection direction,
                                const std::string& ownPortName) {
  std::lock_guard lock(mMutex);
  const AlsaPortAddress& address = device.alsa.address;
  snd_seq_port_info_t* port;
  snd_seq_port_info_alloca(&port);
  if (snd_seq_get_any_port_info(mSequencer, address.client, address.port, port) < 0 ||
      ClientNameOf(address.client) != device.alsa.clientName) {
    return false;
  }
  // Inputs subscribe to what the device sends (it reads from it), outputs write to it.
  snd_seq_query_subscribe_t* query;
  snd_seq_query_subscribe_alloca(&query);
  snd_seq_addr_t root{static_cast<unsigned char>(address.client), static_cast<unsigned char>(address.port)};
  snd_seq_query_subscribe_set_root(query, &root);
  snd_seq_query_subscribe_set_type(query, direction == MidiDirection::Input ? SND_SEQ_QUERY_SUBS_READ
                                                                            : SND_SEQ_QUERY_SUBS_WRITE);
  for (int index = 0;; ++index) {
    snd_seq_query_subscribe_set_index(query, index);
    if (snd_seq_query_port_subscribers(mSequencer, query) < 0) {
      return false;
    }
    const snd_seq_addr_t* other = snd_seq_query_subscribe_get_addr(query);
    if (IsOwnPort(other->client, other->port, ownPortName)) {
      return true;
    }
  }
}

size_t AlsaTransport::MaxMessageSize() const { return SIZE_MAX; }

std::string AlsaTransport::ClientNameOf(int client) {
  snd_seq_client_info_t* info;
  snd_seq_client_info_alloca(&info);
  if (snd_seq_get_any_client_info(mSequencer, client, info) < 0) {
    return {};
  }
  return snd_seq_client_info_get_name(info);
}

bool AlsaTransport::IsOwnPort(int client, int port, const std::string& ownPortName) {
  snd_seq_port_info_t* info;
  snd_seq_port_info_alloca(&info);
  return snd_seq_get_any_port_info(mSequencer, client, port, info) >= 0 &&
         ownPortName == snd_seq_port_info_get_name(info) && ClientNameOf(client) == ClientName();
}

std::unique_ptr<MidiDeviceWatch> AlsaTransport::WatchPorts(MidiDeviceChangeHandler onChange) {
  return mAnnouncements ? mSignal.Watch(std::move(onChange)) : nullptr;
}

} // namespace QZ::Platform::Midi
