#pragma once
// QZ::LMidiRenderPort: an output ("render") port of the MIDI port layer, open on the
// device that its requested name picks. Made and handed out by
// QZ::LMidiCommInterface::OpenRenderPort; messages go out through
// QZ::LMidiCommInterface::SendMidiData.
//
// One message at a time: a send waits for the long message before it to be done.
// The communicator keeps the port in its render list while anyone else holds it; the
// port closes its device when its last outside holder lets it go.

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>

#include "Platform/Midi/MidiBackend.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Sync/TrafficLight.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LMidiComm;

class LMidiRenderPort : public virtual LRefCountedObject, private Platform::Midi::MidiOutputHandler {
public:
  // Closed until Open succeeds.
  LMidiRenderPort(const WString& name, LMidiComm* owner);
  // Closes the device; a long message still pending is dropped.
  ~LMidiRenderPort() override;

  // (Re)opens the device, matched as for capture ports: 0, kMidiErrorNoMatchingDevice
  // when no device matches, or the device's error (the port is closed then). Under the
  // communicator's port lock; waits for a send under way.
  [[nodiscard]] int32_t Open();
  // Whether a device is held and still connected. Any thread; waits for a send under way.
  bool IsAlive();

  // Sends one message: a short message when the first byte is a status byte other than
  // F0 and F7, else the bytes as one long (system-exclusive) message. Waits up to
  // timeoutMs for a long message to be done. The bytes sent (the message's length for a
  // short one), QZ_E_INVALIDARG for a short message of fewer bytes than its status needs,
  // QZ_E_FAIL when the device fails, is closed or the time runs out. Any thread.
  [[nodiscard]] QZResult Send(std::span<const uint8_t> bytes, uint32_t timeoutMs);

  const WString& GetName() const { return mName; }
  // As LMidiCapturePort::GetDeviceName.
  WString GetDeviceName() const;

  // As LMidiCapturePort::ReleaseInternalReferences, with the render list.
  QZResult ReleaseInternalReferences() override;

private:
  // On a backend thread, or on the sending thread inside SendLong.
  void OnLongDone() override { mLight.Set(); }
  [[nodiscard]] QZResult SendLong(std::span<const uint8_t> bytes, uint32_t timeoutMs);

  const WString mName;
  WString mDeviceName;                                 // under mMutex
  std::unique_ptr<Platform::Midi::MidiOutput> mOutput; // under mMutex
  const RCPtr<LMidiComm> mOwner;
  // Open while no long message is in flight.
  TrafficLight mLight;
  // Serialises sends, and opening against them.
  mutable std::mutex mMutex;
};

} // namespace QZ
