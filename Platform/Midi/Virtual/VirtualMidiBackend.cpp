#include "Platform/Midi/Virtual/VirtualMidiBackend.h"

#include <utility>

#include "Platform/Midi/Virtual/VirtualMidiInput.h"
#include "Platform/Midi/Virtual/VirtualMidiOutput.h"

namespace QZ::Platform::Midi {

VirtualMidiBackend::VirtualMidiBackend(VirtualMidiRegistry& registry, MidiClock clock)
    : mRegistry(registry), mClock(std::move(clock)) {}

std::vector<std::string> VirtualMidiBackend::ListDevices(MidiDirection direction) {
  return mRegistry.ListDevices(direction);
}

MidiResult VirtualMidiBackend::OpenInput(size_t index, MidiInputHandler& handler, std::unique_ptr<MidiInput>& input) {
  input.reset();
  auto device = mRegistry.FindListed(MidiDirection::Input, index);
  if (!device) {
    return MidiResult::NoSuchDevice;
  }
  input = std::make_unique<VirtualMidiInput>(std::move(device), handler, mClock);
  return MidiResult::Ok;
}

MidiResult VirtualMidiBackend::OpenOutput(size_t index, MidiOutputHandler& handler,
                                          std::unique_ptr<MidiOutput>& output) {
  output.reset();
  auto device = mRegistry.FindListed(MidiDirection::Output, index);
  if (!device) {
    return MidiResult::NoSuchDevice;
  }
  output = std::make_unique<VirtualMidiOutput>(std::move(device), handler);
  return MidiResult::Ok;
}

std::unique_ptr<MidiDeviceWatch> VirtualMidiBackend::WatchDevices(MidiDeviceChangeHandler onChange) {
  return mRegistry.Watch(std::move(onChange));
}

} // namespace QZ::Platform::Midi
