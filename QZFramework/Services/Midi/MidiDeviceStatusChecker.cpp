#include "QZFramework/Services/Midi/MidiDeviceStatusChecker.h"

#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Services/Midi/MidiCapturePort.h"
#include "QZFramework/Services/Midi/MidiRenderPort.h"

namespace QZ {

RCPtr<LMidiDeviceStatusChecker> LMidiDeviceStatusChecker::Create(const RCPtr<LMidiCommInterface>& communicator) {
  return RCPtr<LMidiDeviceStatusChecker>(new LMidiDeviceStatusChecker(communicator));
}

void LMidiDeviceStatusChecker::EnumerateCaptureDevices(const WStringArray& names) {
  for (uint32_t i = 0; i < names.GetCount(); ++i) {
    mInputs.AddItem({names.GetAt(i), IsCaptureDeviceConnected(names.GetAt(i))});
  }
}

void LMidiDeviceStatusChecker::EnumerateRenderDevices(const WStringArray& names) {
  for (uint32_t i = 0; i < names.GetCount(); ++i) {
    mOutputs.AddItem({names.GetAt(i), IsRenderDeviceConnected(names.GetAt(i))});
  }
}

bool LMidiDeviceStatusChecker::CheckCaptureDevices() {
  return Check(mInputs, &LMidiDeviceStatusChecker::IsCaptureDeviceConnected,
               u"NID_MIDI_INPUT_DEVICE_CONNECTION_STATUS_CHANGED");
}

bool LMidiDeviceStatusChecker::CheckRenderDevices() {
  return Check(mOutputs, &LMidiDeviceStatusChecker::IsRenderDeviceConnected,
               u"NID_MIDI_OUTPUT_DEVICE_CONNECTION_STATUS_CHANGED");
}

bool LMidiDeviceStatusChecker::IsCaptureDeviceConnected(const WString& name) {
  RCPtr<LMidiCapturePort> port;
  return mCommunicator && mCommunicator->OpenCapturePort(name, port);
}

bool LMidiDeviceStatusChecker::IsRenderDeviceConnected(const WString& name) {
  RCPtr<LMidiRenderPort> port;
  return mCommunicator && mCommunicator->OpenRenderPort(name, port);
}

bool LMidiDeviceStatusChecker::Check(Array<DeviceInfo>& devices, bool (LMidiDeviceStatusChecker::*test)(const WString&),
                                     const char16_t* notificationName) {
  bool allConnected = true;
  for (uint32_t i = 0; i < devices.GetCount(); ++i) {
    DeviceInfo& device = devices.GetAt(i);
    const bool connected = (this->*test)(device.name);
    if (connected != device.connected) {
      device.connected = connected;
      const int32_t status = connected ? LMidiDeviceConnectionStatusChangedNotification::kConnected
                                       : LMidiDeviceConnectionStatusChangedNotification::kDisconnected;
      if (LNotificationCenter* centre = GetApplicationNotificationCenter()) {
        // Fails only once the centre is shut down, when nobody listens.
        (void)centre->PostNotification(LNotification::Create(
            notificationName, new LMidiDeviceConnectionStatusChangedNotification(device.name, status)));
      }
    }
    allConnected = allConnected && device.connected;
  }
  return allConnected;
}

} // namespace QZ
