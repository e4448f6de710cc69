#pragma once
// An output port open on a virtual device: sent messages reach the device's peer on
// the port's own thread, in the order sent, while the connection it was opened on lasts.

#include <atomic>
#include <cstdint>
#include <memory>

#include "Platform/Midi/MidiBackend.h"
#include "Platform/Midi/MidiWorkQueue.h"
#include "Platform/Midi/Virtual/VirtualMidiDeviceState.h"

namespace QZ::Platform::Midi {

class VirtualMidiOutput final : public MidiOutput {
public:
  VirtualMidiOutput(std::shared_ptr<VirtualMidiDeviceState> device, MidiOutputHandler& handler);
  ~VirtualMidiOutput() override;

  MidiResult SendShort(const MidiShortMessage& message) override;
  MidiResult SendLong(std::span<const uint8_t> bytes) override;
  void Reset() override;
  bool IsAlive() override { return mDevice->IsConnected(mConnection); }

private:
  const std::shared_ptr<VirtualMidiDeviceState> mDevice;
  const uint64_t mConnection;
  MidiOutputHandler& mHandler;
  // Long messages sent before the last Reset carry an older epoch and are dropped.
  std::atomic<uint64_t> mEpoch{0};
  MidiWorkQueue mQueue; // last: its thread ends before the members above go
};

} // namespace QZ::Platform::Midi
