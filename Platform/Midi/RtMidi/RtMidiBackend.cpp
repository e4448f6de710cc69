#include "Platform/Midi/RtMidi/RtMidiBackend.h"

#include <system_error>
#include <thread>
#include <utility>

#include "Platform/Midi/RtMidi/AlsaTransport.h"
#include "Platform/Midi/RtMidi/JackTransport.h"
#include "Platform/Midi/RtMidi/RtMidiInput.h"
#include "Platform/Midi/RtMidi/RtMidiOutput.h"

namespace QZ::Platform::Midi {

RtMidiBackend::RtMidiBackend(RtMidiBackendOptions options) : mOptions(std::move(options)) {
  auto add = [this](std::shared_ptr<RtMidiTransport> transport, const std::string& why) {
    if (transport) {
      mTransports.push_back(std::move(transport));
    } else if (mOptions.diagnostics) {
      mOptions.diagnostics(why);
    }
  };
  // JACK's client takes milliseconds to open, mostly waiting on its server: the sequencer
  // opens meanwhile. The reasons are still given ALSA's first.
  std::shared_ptr<RtMidiTransport> jack;
  std::string jackWhy;
  auto openJack = [&] { jack = JackTransport::Start(mOptions.clientName, mOptions.diagnostics, jackWhy); };
  std::jthread jackOpening;
  try {
    jackOpening = std::jthread(openJack);
  } catch (const std::system_error&) {
    openJack(); // no thread to spare: one after the other
  }
  std::string alsaWhy;
  std::shared_ptr<RtMidiTransport> alsa =
      AlsaTransport::Start(mOptions.alsaSequencer, mOptions.clientName, mOptions.diagnostics, alsaWhy);
  if (jackOpening.joinable()) {
    jackOpening.join();
  }
  add(std::move(alsa), alsaWhy);
  add(std::move(jack), jackWhy);
}

RtMidiBackend::~RtMidiBackend() = default;

std::vector<std::string> RtMidiBackend::ListDevices(MidiDirection direction) {
  std::vector<std::string> names;
  for (const auto& transport : mTransports) {
    for (RtMidiDevicePort& port : transport->ListPorts(direction)) {
      names.push_back(std::move(port.shownName));
    }
  }
  return names;
}

MidiResult RtMidiBackend::OpenInput(size_t index, MidiInputHandler& handler, std::unique_ptr<MidiInput>& input) {
  input.reset();
  RtMidiDevicePort port;
  auto transport = Locate(MidiDirection::Input, index, port);
  if (!transport) {
    return MidiResult::NoSuchDevice;
  }
  return RtMidiInput::Open(std::move(transport), std::move(port), NewOwnPortName("capture"), handler, mOptions, input);
}

MidiResult RtMidiBackend::OpenOutput(size_t index, MidiOutputHandler& handler, std::unique_ptr<MidiOutput>& output) {
  output.reset();
  RtMidiDevicePort port;
  auto transport = Locate(MidiDirection::Output, index, port);
  if (!transport) {
    return MidiResult::NoSuchDevice;
  }
  return RtMidiOutput::Open(std::move(transport), std::move(port), NewOwnPortName("render"), handler, mOptions, output);
}

std::unique_ptr<MidiDeviceWatch> RtMidiBackend::WatchDevices(MidiDeviceChangeHandler onChange) {
  return MidiDeviceWatchSet::OfEach(mTransports,
                                    [&](const auto& transport) { return transport->WatchPorts(onChange); });
}

std::shared_ptr<RtMidiTransport> RtMidiBackend::Locate(MidiDirection direction, size_t index, RtMidiDevicePort& port) {
  for (const auto& transport : mTransports) {
    std::vector<RtMidiDevicePort> ports = transport->ListPorts(direction);
    if (index < ports.size()) {
      port = std::move(ports[index]);
      return transport;
    }
    index -= ports.size();
  }
  return nullptr;
}

std::string RtMidiBackend::NewOwnPortName(const char* kind) {
  return std::string(kind) + " " + std::to_string(++mPortsOpened);
}

} // namespace QZ::Platform::Midi

QZ::Platform::Midi::MidiBackend* QZMakeRtMidiBackend(const QZ::Platform::Midi::RtMidiBackendOptions* options) {
  return new QZ::Platform::Midi::RtMidiBackend(*options);
}
