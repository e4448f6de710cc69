#include "QZFramework/Services/Midi/MidiCommInterface.h"

#include "QZFramework/Services/Midi/MidiCaptureNotificationData.h"

namespace QZ {

RCPtr<LIMidiFilter>& LMidiCommInterface::GetMidiFilter(RCPtr<LIMidiFilter>& out, const LNotificationClient* client) {
  Mutex::ScopedLock hold(mFiltersMutex);
  out = FindFilter(client);
  return out;
}

QZResult LMidiCommInterface::SetMidiFilter(const LNotificationClient* client, const RCPtr<LIMidiFilter>& filter) {
  Mutex::ScopedLock hold(mFiltersMutex);
  for (uint32_t i = 0; i < mFilters.GetCount(); ++i) {
    if (mFilters.GetAt(i).client != client) {
      continue;
    }
    if (filter) {
      mFilters.GetAt(i).filter = filter;
    } else {
      mFilters.RemoveItems(i, 1);
    }
    return QZ_OK;
  }
  if (filter) {
    mFilters.AddItem({client, filter});
  }
  return QZ_OK;
}

RCPtr<LIMidiFilter> LMidiCommInterface::FindFilter(const LNotificationClient* client) const {
  for (uint32_t i = 0; i < mFilters.GetCount(); ++i) {
    if (mFilters.GetAt(i).client == client) {
      return mFilters.GetAt(i).filter;
    }
  }
  return nullptr;
}

QZResult LMidiCommInterface::NotifyDataCaptured(const RCPtr<LMidiCaptureNotificationData>& data) {
  const RCPtr<LNotificationClientPool> pool = FindClientPool(GetNotificationID(kMidiDataCapturedName));
  if (!pool || pool->GetEntryCount() == 0) {
    return 1;
  }
  // Through the pool's walk: it takes no reference of the clients, so an owner's last
  // release during a delivery still unregisters its client, and that unregistration
  // waits for the delivery. Latest-only clients hear only posted notifications.
  const RCPtr<LNotificationDistributor> self(this);
  return pool->NotifyClients(self, LNotification::Create(kMidiDataCapturedName, data),
                             [&](const LNotificationClient& client) {
                               RCPtr<LIMidiFilter> filter;
                               GetMidiFilter(filter, &client);
                               return !filter || filter->Accepts(data->GetBytes().GetData(), data->GetCount());
                             });
}

void LMidiCommInterface::AttachNotificationCenter(const RCPtr<LNotificationCenter>& centre) {
  Mutex::ScopedLock hold(mCentreMutex);
  mCentre = centre;
}

RCPtr<LNotificationCenter> LMidiCommInterface::GetNotificationCenter() const {
  Mutex::ScopedLock hold(mCentreMutex);
  return mCentre;
}

void LMidiCommInterface::DeliverCapture(const RCPtr<LMidiCaptureNotificationData>& data) {
  if (const RCPtr<LNotificationCenter> centre = GetNotificationCenter()) {
    // Fails only once the centre is shut down, when nobody listens.
    (void)centre->PostNotification(LNotification::Create(kMidiDataCapturedName, data));
  }
  NotifyDataCaptured(data);
}

} // namespace QZ
