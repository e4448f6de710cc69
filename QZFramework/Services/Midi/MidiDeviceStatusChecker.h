#pragma once
// QZ::LMidiDeviceStatusChecker: watches named MIDI input and output devices and posts
// every change of their connection state to the application's notification centre.
//
//   auto checker = QZ::LMidiDeviceStatusChecker::Create(midi);
//   checker->EnumerateCaptureDevices(inputNames);     // their state now, nothing posted
//   checker->CheckCaptureDevices();                   // posts what changed since
//
// A device counts as connected when the port layer can open a port for its name. Each
// change is posted as "NID_MIDI_INPUT_DEVICE_CONNECTION_STATUS_CHANGED" or
// "NID_MIDI_OUTPUT_DEVICE_CONNECTION_STATUS_CHANGED" with a
// QZ::LMidiDeviceConnectionStatusChangedNotification; nothing is posted while the
// application has no centre. No lock: one thread at a time (the owner's).

#include <cstdint>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Midi/MidiCommInterface.h"
#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/StringArray.h"

namespace QZ {

// The parameter of a posted change. Read only; any thread.
class LMidiDeviceConnectionStatusChangedNotification : public virtual LRefCountedObject {
public:
  static constexpr int32_t kConnected = 0;    // the device has become available
  static constexpr int32_t kDisconnected = 1; // the device has gone away

  LMidiDeviceConnectionStatusChangedNotification(const WString& deviceName, int32_t status)
      : mDeviceName(deviceName), mStatus(status) {}

  const WString& GetDeviceName() const { return mDeviceName; }
  int32_t GetStatus() const { return mStatus; }

private:
  const WString mDeviceName;
  const int32_t mStatus;
};

class LMidiDeviceStatusChecker : public virtual LRefCountedObject {
public:
  struct DeviceInfo {
    WString name;
    bool connected = false;
  };

  // communicator may be null: every device then tests as not connected.
  static RCPtr<LMidiDeviceStatusChecker> Create(const RCPtr<LMidiCommInterface>& communicator);

  // Appends each name with its state now to the input (output) list; posts nothing.
  void EnumerateCaptureDevices(const WStringArray& names);
  void EnumerateRenderDevices(const WStringArray& names);

  // Tests every listed device of the direction, in list order, posting one
  // notification per change; true when every listed device is connected now (also
  // for an empty list).
  bool CheckCaptureDevices();
  bool CheckRenderDevices();

  const Array<DeviceInfo>& GetCaptureDevices() const { return mInputs; }
  const Array<DeviceInfo>& GetRenderDevices() const { return mOutputs; }

private:
  explicit LMidiDeviceStatusChecker(const RCPtr<LMidiCommInterface>& communicator) : mCommunicator(communicator) {}

  // Whether a port opens for the name; the port is let go at once.
  bool IsCaptureDeviceConnected(const WString& name);
  bool IsRenderDeviceConnected(const WString& name);
  bool Check(Array<DeviceInfo>& devices, bool (LMidiDeviceStatusChecker::*test)(const WString&),
             const char16_t* notificationName);

  const RCPtr<LMidiCommInterface> mCommunicator;
  Array<DeviceInfo> mInputs;
  Array<DeviceInfo> mOutputs;
};

} // namespace QZ
