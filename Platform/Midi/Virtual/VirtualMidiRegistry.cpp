#include "Platform/Midi/Virtual/VirtualMidiRegistry.h"

#include <algorithm>
#include <utility>

namespace QZ::Platform::Midi {

VirtualMidiDevice::VirtualMidiDevice(VirtualMidiRegistry& registry, std::shared_ptr<VirtualMidiDeviceState> state)
    : mRegistry(registry), mState(std::move(state)) {}

VirtualMidiDevice::~VirtualMidiDevice() {
  mState->Remove();
  mRegistry.Remove(*mState);
}

void VirtualMidiDevice::Plug() {
  mState->Plug();
  mRegistry.mSignal.Notify();
}

void VirtualMidiDevice::Unplug() {
  mState->Unplug();
  mRegistry.mSignal.Notify();
}

VirtualMidiOutputDevice::~VirtualMidiOutputDevice() {
  mState->Remove();
  SetReceiver(nullptr);
}

VirtualMidiRegistry& VirtualMidiRegistry::Shared() {
  // Never destroyed: devices held by other static objects may leave it at exit.
  static auto* registry = new VirtualMidiRegistry;
  return *registry;
}

std::unique_ptr<VirtualMidiInputDevice> VirtualMidiRegistry::RegisterInput(std::string name) {
  return std::unique_ptr<VirtualMidiInputDevice>(
      new VirtualMidiInputDevice(*this, Add(MidiDirection::Input, std::move(name))));
}

std::unique_ptr<VirtualMidiOutputDevice> VirtualMidiRegistry::RegisterOutput(std::string name) {
  return std::unique_ptr<VirtualMidiOutputDevice>(
      new VirtualMidiOutputDevice(*this, Add(MidiDirection::Output, std::move(name))));
}

std::vector<std::string> VirtualMidiRegistry::ListDevices(MidiDirection direction) const {
  std::lock_guard lock(mMutex);
  std::vector<std::string> names;
  for (const auto& device : mDevices) {
    if (device->Direction() == direction && device->IsPlugged()) {
      names.push_back(device->Name());
    }
  }
  return names;
}

std::shared_ptr<VirtualMidiDeviceState> VirtualMidiRegistry::FindListed(MidiDirection direction, size_t index) const {
  std::lock_guard lock(mMutex);
  for (const auto& device : mDevices) {
    if (device->Direction() == direction && device->IsPlugged() && index-- == 0) {
      return device;
    }
  }
  return nullptr;
}

std::shared_ptr<VirtualMidiDeviceState> VirtualMidiRegistry::Add(MidiDirection direction, std::string name) {
  auto state = std::make_shared<VirtualMidiDeviceState>(direction, std::move(name));
  {
    std::lock_guard lock(mMutex);
    mDevices.push_back(state);
  }
  mSignal.Notify();
  return state;
}

void VirtualMidiRegistry::Remove(const VirtualMidiDeviceState& state) {
  {
    std::lock_guard lock(mMutex);
    std::erase_if(mDevices, [&](const auto& device) { return device.get() == &state; });
  }
  mSignal.Notify();
}

} // namespace QZ::Platform::Midi
