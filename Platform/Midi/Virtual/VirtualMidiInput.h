#pragma once
// An input port open on a virtual device: the device's wire feeds its dispatcher while
// the connection it was opened on lasts.

#include <memory>

#include "Platform/Midi/MidiBackend.h"
#include "Platform/Midi/MidiCaptureDispatcher.h"
#include "Platform/Midi/Virtual/VirtualMidiDeviceState.h"

namespace QZ::Platform::Midi {

class VirtualMidiInput final : public MidiInput {
public:
  VirtualMidiInput(std::shared_ptr<VirtualMidiDeviceState> device, MidiInputHandler& handler, MidiClock clock);
  ~VirtualMidiInput() override;

  MidiResult AddBuffer(MidiCaptureBuffer& buffer) override { return mDispatcher.AddBuffer(buffer); }
  MidiResult Start() override;
  void Stop() override { mDispatcher.Stop(); }
  void Reset() override { mDispatcher.Reset(); }
  bool IsAlive() override { return mDevice->IsConnected(mConnection); }

private:
  const std::shared_ptr<VirtualMidiDeviceState> mDevice;
  const uint64_t mConnection;
  MidiCaptureDispatcher mDispatcher;
};

} // namespace QZ::Platform::Midi
