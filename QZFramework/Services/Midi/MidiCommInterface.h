#pragma once
// QZ::LMidiCommInterface: the MIDI port layer. It opens input ("capture") and output
// ("render") ports by device name, sends short and system-exclusive messages, and
// delivers every captured message as "NID_MIDI_DATA_CAPTURED".
//
//   QZ::RCPtr<QZ::LMidiCommInterface> midi = QZ::LMidiCommInterface::Create();
//   QZ::RCPtr<QZ::LMidiRenderPort> out;
//   midi->OpenRenderPort(QZ::WString(u"MIDIOUT3 (QUORIN 49 ZTR)"), out);
//   midi->SendMidiData(out.Get(), bytes);               // bytes sent, or a failure code
//
// Device names are the system's, made unique with " (1)", " (2)" ... where a name
// repeats (EnumerateCaptureDevices). A requested name is found among them ignoring case:
// an equal name wins, a name contained in exactly one is that one, a name contained in
// several and equal to none opens nothing. The device opened is the one whose name ends
// with the requested name (the n-th such device for a name ending in " (n)").
// Opening a name again hands out the port already open, reopened first when its device
// went away and came back.
//
// Captures reach the communicator's own clients (registered here for
// "NID_MIDI_DATA_CAPTURED") at once on its delivery thread, each client through its
// filter when it has one, and are posted to the attached notification centre, which
// delivers them on the main thread.

#include <cstdint>
#include <memory>

#include "Platform/Midi/MidiBackend.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Notification/NotificationDistributor.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Threads/LThreadPool.h"
#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/IArray.h"
#include "QZFramework/Utilities/Storage/SharedBuffer.h"
#include "QZFramework/Utilities/Storage/StringArray.h"

namespace QZ {

class LMidiCaptureNotificationData;
class LMidiCapturePort;
class LMidiRenderPort;

// The name of the notification that carries a capture.
inline constexpr char16_t kMidiDataCapturedName[] = u"NID_MIDI_DATA_CAPTURED";

// Chooses the captures one client gets.
class LIMidiFilter : public virtual LRefCountedObject {
public:
  // Whether the client gets the captured message of count bytes. On the delivery thread.
  virtual bool Accepts(const signed char* bytes, uint32_t count) = 0;
};

struct MidiCommOptions {
  // Where the devices come from; null: the system's (RtMidi, then the virtual keyboard
  // while it is enabled), whose diagnostics go to the debug trace.
  std::shared_ptr<Platform::Midi::MidiBackend> backend;
  // How long a send waits for its long message to be done.
  uint32_t sendTimeoutMs = 10000;
  // A system-exclusive message that grows past this without its F7 is dropped.
  uint32_t maxSysExBytes = 65536;
  // Of the delivery thread pool.
  ThreadPoolTimeouts poolTimeouts;
};

class LMidiCommInterface : public LNotificationDistributor {
public:
  struct MidiFilterEntry {
    const LNotificationClient* client; // compared by identity only
    RCPtr<LIMidiFilter> filter;
  };

  // A communicator over options.backend with a delivery pool of one worker.
  static RCPtr<LMidiCommInterface> Create(const MidiCommOptions& options = {});

  // Opens (or hands out the open) port for name into out, cleared first; out stays null
  // when no device matches, the name is ambiguous or the device fails. Returns out.
  // Any thread; opens are serialised.
  virtual RCPtr<LMidiCapturePort>& OpenCapturePort(const WString& name, RCPtr<LMidiCapturePort>& out) = 0;
  virtual RCPtr<LMidiRenderPort>& OpenRenderPort(const WString& name, RCPtr<LMidiRenderPort>& out) = 0;

  // Sends the bytes as one message (see LMidiRenderPort::Send): the bytes sent, or
  // QZ_E_INVALIDARG for a null port or no bytes, QZ_E_FAIL when the device fails or the
  // message is not done in time. Any thread.
  [[nodiscard]] virtual QZResult SendMidiData(LMidiRenderPort* port, const RCPtr<LIBuffer>& bytes) = 0;
  [[nodiscard]] virtual QZResult SendMidiData(LMidiRenderPort* port, const IArray<signed char>& bytes) = 0;

  // The unique device names of each direction, appended to names. Any thread.
  virtual void EnumerateCaptureDevices(WStringArray& names) = 0;
  virtual void EnumerateRenderDevices(WStringArray& names) = 0;
  // A watch calling onChange (on a thread of the backend) whenever a device may have come
  // or gone or an open port's liveness changed; null when the devices cannot be watched
  // and must be checked from time to time.
  virtual std::unique_ptr<Platform::Midi::MidiDeviceWatch>
  WatchDevices(Platform::Midi::MidiDeviceChangeHandler onChange) {
    (void)onChange;
    return nullptr;
  }

  // client's filter into out (null when it has none); returns out. Any thread.
  virtual RCPtr<LIMidiFilter>& GetMidiFilter(RCPtr<LIMidiFilter>& out, const LNotificationClient* client);
  // Gives client the filter, replacing its old one; a null filter removes it (do so
  // before the client goes: entries are keyed by its address). 0. Any thread.
  virtual QZResult SetMidiFilter(const LNotificationClient* client, const RCPtr<LIMidiFilter>& filter);
  // Sends "NID_MIDI_DATA_CAPTURED" with data to every client registered here for it,
  // newest registration first, skipping clients whose filter refuses the bytes; one
  // notification for them all. 1 when no client is registered, else 0. On the calling
  // (delivery) thread; an unregistration on another thread waits for the delivery.
  virtual QZResult NotifyDataCaptured(const RCPtr<LMidiCaptureNotificationData>& data);

  // From now on captures are also posted to centre; null detaches. Any thread.
  void AttachNotificationCenter(const RCPtr<LNotificationCenter>& centre);
  RCPtr<LNotificationCenter> GetNotificationCenter() const;

protected:
  // Posts data to the attached centre, then NotifyDataCaptured. On the delivery thread.
  void DeliverCapture(const RCPtr<LMidiCaptureNotificationData>& data);

private:
  // The filter of client, or null; under mFiltersMutex.
  RCPtr<LIMidiFilter> FindFilter(const LNotificationClient* client) const;

  RCPtr<LNotificationCenter> mCentre; // under mCentreMutex
  Array<MidiFilterEntry> mFilters;    // under mFiltersMutex
  mutable Mutex mFiltersMutex;
  mutable Mutex mCentreMutex;
};

} // namespace QZ
