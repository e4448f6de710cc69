#include "Platform/Midi/RtMidi/RtMidiPortNames.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace QZ::Platform::Midi {

namespace {

std::optional<int> ParseNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

} // namespace

std::optional<AlsaPortAddress> ParseAlsaPortAddress(std::string_view rtMidiName) {
  const size_t blank = rtMidiName.rfind(' ');
  if (blank == std::string_view::npos) {
    return std::nullopt;
  }
  const std::string_view address = rtMidiName.substr(blank + 1);
  const size_t colon = address.find(':');
  if (colon == std::string_view::npos) {
    return std::nullopt;
  }
  const auto client = ParseNumber(address.substr(0, colon));
  const auto port = ParseNumber(address.substr(colon + 1));
  if (!client || !port) {
    return std::nullopt;
  }
  return AlsaPortAddress{*client, *port};
}

std::vector<std::string> AlsaDeviceNames(const std::vector<AlsaPortEntry>& ports, MidiDirection direction) {
  std::vector<std::string> names;
  names.reserve(ports.size());
  for (const AlsaPortEntry& entry : ports) {
    const auto place = 1 + std::count_if(ports.begin(), ports.end(), [&](const AlsaPortEntry& other) {
                         return other.address.client == entry.address.client && other.address.port < entry.address.port;
                       });
    if (place == 1) {
      names.push_back(entry.clientName);
    } else {
      names.push_back((direction == MidiDirection::Input ? "MIDIIN" : "MIDIOUT") + std::to_string(place) + " (" +
                      entry.clientName + ")");
    }
  }
  return names;
}

bool IsOwnJackPort(std::string_view portName, std::string_view clientName) {
  const size_t colon = portName.find(':');
  if (colon == std::string_view::npos || colon < clientName.size() || !portName.starts_with(clientName)) {
    return false;
  }
  const std::string_view rest = portName.substr(clientName.size(), colon - clientName.size());
  if (rest.empty()) {
    return true;
  }
  return rest.size() >= 2 && rest[0] == '-' &&
         std::all_of(rest.begin() + 1, rest.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

} // namespace QZ::Platform::Midi
