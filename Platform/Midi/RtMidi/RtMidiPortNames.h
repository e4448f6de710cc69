#pragma once
// How the RtMidi backend names devices. ALSA ports are named the way the Windows
// driver names a USB device's ports: an ALSA client's first port of a direction is
// "<CLIENT>", its k-th (k >= 2) "MIDIIN<k> (<CLIENT>)" or "MIDIOUT<k> (<CLIENT>)".
// JACK names ("client:port") are kept. Ports of the backend's own clients are no
// devices and are left out.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/Midi/MidiTypes.h"

namespace QZ::Platform::Midi {

struct AlsaPortAddress {
  int client = -1;
  int port = -1;
};

// The address at the end of RtMidi's ALSA port name "<client>:<port> <c>:<p>".
std::optional<AlsaPortAddress> ParseAlsaPortAddress(std::string_view rtMidiName);

struct AlsaPortEntry {
  AlsaPortAddress address;
  std::string clientName;
};

// The device names of one direction's ports, in the order given. A port's place k
// counts the ports of its client in that list with a lower port number, plus one.
std::vector<std::string> AlsaDeviceNames(const std::vector<AlsaPortEntry>& ports, MidiDirection direction);

// Whether a JACK port belongs to a client the backend opened as `clientName`; JACK
// tells clients of one name apart as "<name>-01", "<name>-02" ...
bool IsOwnJackPort(std::string_view portName, std::string_view clientName);

} // namespace QZ::Platform::Midi
