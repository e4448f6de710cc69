#pragma once
// QZ::LMidiComm: the communicator behind QZ::LMidiCommInterface::Create, over a MIDI
// backend. It keeps the ports it opened in two lists, each port as an internal
// reference, and delivers what the capture ports queue on a pool of one worker thread.

#include <memory>
#include <string>
#include <vector>

#include "QZFramework/Services/Midi/MidiCaptureNotificationData.h"
#include "QZFramework/Services/Midi/MidiCapturePort.h"
#include "QZFramework/Services/Midi/MidiCommInterface.h"
#include "QZFramework/Services/Midi/MidiRenderPort.h"
#include "QZFramework/Services/Sync/Mutex.h"
#include "QZFramework/Services/Threads/LThreadPool.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"

namespace QZ {

class LMidiComm final : public LMidiCommInterface, public LThreadWorker {
public:
  explicit LMidiComm(const MidiCommOptions& options);
  // Stops the delivery pool; no port is left, since each holds its communicator.
  ~LMidiComm() override;

  WString ToString() const override { return WString(u"LMidiComm"); }

  RCPtr<LMidiCapturePort>& OpenCapturePort(const WString& name, RCPtr<LMidiCapturePort>& out) override;
  RCPtr<LMidiRenderPort>& OpenRenderPort(const WString& name, RCPtr<LMidiRenderPort>& out) override;
  [[nodiscard]] QZResult SendMidiData(LMidiRenderPort* port, const RCPtr<LIBuffer>& bytes) override;
  [[nodiscard]] QZResult SendMidiData(LMidiRenderPort* port, const IArray<signed char>& bytes) override;
  void EnumerateCaptureDevices(WStringArray& names) override;
  void EnumerateRenderDevices(WStringArray& names) override;
  std::unique_ptr<Platform::Midi::MidiDeviceWatch>
  WatchDevices(Platform::Midi::MidiDeviceChangeHandler onChange) override {
    return mBackend->WatchDevices(std::move(onChange));
  }

private:
  friend class LMidiCapturePort;
  friend class LMidiRenderPort;

  // --- For the ports --------------------------------------------------------------
  Platform::Midi::MidiBackend& GetBackend() { return *mBackend; }
  const MidiCommOptions& GetOptions() const { return mOptions; }
  // The device names of one direction as the backend lists them. Any thread.
  std::vector<std::string> ListDevices(Platform::Midi::MidiDirection direction) {
    return mBackend->ListDevices(direction);
  }
  // Hands a capture to the delivery thread. Any thread.
  void QueueCapture(const RCPtr<LMidiCaptureNotificationData>& data);
  // Takes the port out of its list, unless someone beside the list and the caller holds
  // it; 0, or QZ_E_FAIL when it is not listed or still held.
  QZResult RemoveCapturePort(LMidiCapturePort& port);
  QZResult RemoveRenderPort(LMidiRenderPort& port);

  // The body of both SendMidiData.
  [[nodiscard]] QZResult Send(LMidiRenderPort* port, const uint8_t* bytes, uint32_t count);
  // Delivers one capture (the pool's job).
  int32_t Process(RCPtr<LRefCountedObject>* argument) override;

  template <class Port>
  QZResult RemovePort(RCPtrArray<Port, 1, 0>& ports, Port& port);

  const MidiCommOptions mOptions;
  const std::shared_ptr<Platform::Midi::MidiBackend> mBackend;
  RCPtrArray<LMidiCapturePort, 1, 0> mCapturePorts; // under mPortsMutex
  RCPtrArray<LMidiRenderPort, 1, 0> mRenderPorts;   // under mPortsMutex
  RCPtr<LThreadPool> mPool;
  Mutex mPortsMutex;
};

} // namespace QZ
