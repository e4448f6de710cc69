#pragma once
// The in-process registry of virtual MIDI devices. The virtual keyboard and the tests
// register devices by name, plug and unplug them, and act as their far end (the peer):
// an input device's peer sends what the editor captures, an output device's peer
// receives what the editor sends.
//
//   auto& registry = QZ::Platform::Midi::VirtualMidiRegistry::Shared();
//   auto keys = registry.RegisterInput("MIDIIN3 (QUORIN 49 ZTR)");
//   keys->Send(std::array<uint8_t, 3>{0x90, 0x3C, 0x40});   // captured by open inputs
//   keys->Unplug();                                          // open ports are dead now

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "Platform/Midi/MidiDeviceWatch.h"
#include "Platform/Midi/Virtual/VirtualMidiDeviceState.h"

namespace QZ::Platform::Midi {

class VirtualMidiRegistry;

// The peer's handle on a registered device. Every member may be called from any thread.
class VirtualMidiDevice {
public:
  // The device leaves the registry for good; ports open on it are dead.
  virtual ~VirtualMidiDevice();
  VirtualMidiDevice(const VirtualMidiDevice&) = delete;
  VirtualMidiDevice& operator=(const VirtualMidiDevice&) = delete;

  const std::string& Name() const { return mState->Name(); }
  // Plugging starts a new connection: it is listed again (at its place of registration)
  // and can be opened; ports opened before the unplug stay dead.
  void Plug();
  // Unlisted; open ports fail their liveness check and their sends.
  void Unplug();
  bool IsPlugged() const { return mState->IsPlugged(); }

protected:
  VirtualMidiDevice(VirtualMidiRegistry& registry, std::shared_ptr<VirtualMidiDeviceState> state);

  VirtualMidiRegistry& mRegistry;
  const std::shared_ptr<VirtualMidiDeviceState> mState;
};

// A device the editor captures from.
class VirtualMidiInputDevice final : public VirtualMidiDevice {
public:
  // Puts bytes on the wire: any run of MIDI bytes, whole messages or parts of them.
  // The inputs open on this device capture what they complete. DeviceGone while
  // unplugged; Ok also when no input is open (the bytes go nowhere).
  MidiResult Send(std::span<const uint8_t> bytes) { return mState->SendFromPeer(bytes); }

private:
  friend class VirtualMidiRegistry;
  using VirtualMidiDevice::VirtualMidiDevice;
};

// A device the editor renders to.
class VirtualMidiOutputDevice final : public VirtualMidiDevice {
public:
  using Receiver = VirtualMidiDeviceState::Receiver;
  // Leaves the registry, then waits for a receiver call under way.
  ~VirtualMidiOutputDevice() override;
  // Receives every message an open output sends while its connection is current, one
  // call per SendShort or SendLong, on that output's thread, one call at a time.
  // Replaces the previous receiver once a call under way has returned; must not be
  // called from the receiver itself. Null: sent messages are dropped.
  void SetReceiver(Receiver receiver) { mState->SetReceiver(std::move(receiver)); }

private:
  friend class VirtualMidiRegistry;
  using VirtualMidiDevice::VirtualMidiDevice;
};

// Every member may be called from any thread. Devices must not outlive their registry.
class VirtualMidiRegistry {
public:
  VirtualMidiRegistry() = default;
  VirtualMidiRegistry(const VirtualMidiRegistry&) = delete;
  VirtualMidiRegistry& operator=(const VirtualMidiRegistry&) = delete;

  // The registry of the process: the virtual keyboard's, and the default backend's.
  static VirtualMidiRegistry& Shared();

  // A new device, plugged, listed after the devices registered before it. Names may
  // repeat.
  std::unique_ptr<VirtualMidiInputDevice> RegisterInput(std::string name);
  std::unique_ptr<VirtualMidiOutputDevice> RegisterOutput(std::string name);

  // The plugged devices of one direction, in registration order.
  std::vector<std::string> ListDevices(MidiDirection direction) const;
  // The device at `index` of ListDevices(direction), or null.
  std::shared_ptr<VirtualMidiDeviceState> FindListed(MidiDirection direction, size_t index) const;
  // Tells onChange of every registration, plug, unplug and removal, on the thread that
  // made it, after the lists show it.
  std::unique_ptr<MidiDeviceWatch> Watch(MidiDeviceChangeHandler onChange) {
    return mSignal.Watch(std::move(onChange));
  }

private:
  friend class VirtualMidiDevice;
  std::shared_ptr<VirtualMidiDeviceState> Add(MidiDirection direction, std::string name);
  void Remove(const VirtualMidiDeviceState& state);

  mutable std::mutex mMutex;
  std::vector<std::shared_ptr<VirtualMidiDeviceState>> mDevices;
  MidiDeviceSignal mSignal;
};

} // namespace QZ::Platform::Midi
