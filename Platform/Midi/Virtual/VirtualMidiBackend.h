#pragma once
// The backend of the virtual devices: the plugged devices of a registry, in
// registration order.

#include "Platform/Midi/MidiBackend.h"
#include "Platform/Midi/Virtual/VirtualMidiRegistry.h"

namespace QZ::Platform::Midi {

class VirtualMidiBackend final : public MidiBackend {
public:
  // The registry must outlive the backend and its ports; `clock` stamps captures.
  explicit VirtualMidiBackend(VirtualMidiRegistry& registry = VirtualMidiRegistry::Shared(), MidiClock clock = {});

  std::vector<std::string> ListDevices(MidiDirection direction) override;
  MidiResult OpenInput(size_t index, MidiInputHandler& handler, std::unique_ptr<MidiInput>& input) override;
  MidiResult OpenOutput(size_t index, MidiOutputHandler& handler, std::unique_ptr<MidiOutput>& output) override;
  // Tells every change of the registry (never null).
  std::unique_ptr<MidiDeviceWatch> WatchDevices(MidiDeviceChangeHandler onChange) override;

private:
  VirtualMidiRegistry& mRegistry;
  const MidiClock mClock;
};

} // namespace QZ::Platform::Midi
