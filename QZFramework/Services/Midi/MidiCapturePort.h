#pragma once
// QZ::LMidiCapturePort: an input ("capture") port of the MIDI port layer, open on the
// device that its requested name picks. Made and handed out by
// QZ::LMidiCommInterface::OpenCapturePort; what it captures reaches the communicator's
// clients as "NID_MIDI_DATA_CAPTURED".
//
// The port lends three 256-byte buffers to the device and lends each again as soon as
// its bytes are taken. System-exclusive messages arriving in several buffers are joined
// into one capture from F0 to F7; a message cut off without F7 is captured as far as it
// got, and a buffer starting with F0 always starts a new message. Short messages are
// captured one each with their time stamp. Capture runs on the backend's input thread
// and only copies and queues: the communicator delivers on its own worker thread.
//
// The communicator keeps the port in its capture list while anyone else holds it; the
// port closes its device when its last outside holder lets it go.

#include <array>
#include <atomic>
#include <memory>
#include <mutex>

#include "Platform/Midi/MidiBackend.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LMidiComm;
class LMidiCaptureNotificationData;

class LMidiCapturePort : public virtual LRefCountedObject, private Platform::Midi::MidiInputHandler {
public:
  // Closed until Open succeeds.
  LMidiCapturePort(const WString& name, LMidiComm* owner);
  // Stops and closes the device and drops a message still being joined.
  ~LMidiCapturePort() override;

  // (Re)opens the device: a device held is closed first; then the devices whose names
  // end with the requested name's base are counted in list order, and the one at the
  // name's duplicate index is opened and given the buffers. 0, kMidiErrorNoMatchingDevice
  // when no device matches, or the device's error (the port is closed then). Under the
  // communicator's port lock.
  [[nodiscard]] int32_t Open();
  // Starts capture; on failure the device is closed. 0 or the device's error. Under the
  // communicator's port lock.
  [[nodiscard]] int32_t Start();
  // Whether a device is held and still connected. Under the communicator's port lock.
  bool IsAlive();

  const WString& GetName() const { return mName; }
  // The name of the device that the last Open looked at: the opened one when it
  // succeeded. Any thread.
  WString GetDeviceName() const;

  // Leaves the communicator's capture list when only that list and the caller hold
  // the port; QZ_E_FAIL when it is not in the list or someone took it meanwhile.
  QZResult ReleaseInternalReferences() override;

private:
  // A buffer lent to the device, remembered while it is given to an open device.
  struct InputRecord {
    Platform::Midi::MidiCaptureBuffer buffer;
    bool prepared = false;
  };

  // On the input's thread.
  void OnShortMessage(const Platform::Midi::MidiShortMessage& message) override;
  void OnLongData(Platform::Midi::MidiCaptureBuffer& buffer) override;
  void AssembleSysEx(const Platform::Midi::MidiCaptureBuffer& buffer);
  // 0, kMidiErrorNotOpen while closing or closed, 1 for a buffer that is not the port's.
  int32_t LendAgain(Platform::Midi::MidiCaptureBuffer& buffer);
  void Queue(const RCPtr<LMidiCaptureNotificationData>& data);

  // Stops, takes every buffer back and closes the device; a message being joined is
  // dropped with it.
  void Close();

  const WString mName;
  mutable std::mutex mDeviceNameMutex;
  WString mDeviceName;
  std::unique_ptr<Platform::Midi::MidiInput> mInput;
  const RCPtr<LMidiComm> mOwner;
  std::array<InputRecord, 3> mRecords;
  // Set while the device is being stopped, so that buffers coming back stay unlent.
  std::atomic<bool> mClosing{false};
  // The system-exclusive message being joined; only on the input's thread, or while
  // the device is closed.
  RCPtr<LMidiCaptureNotificationData> mPending;
};

} // namespace QZ
