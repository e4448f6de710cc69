#include "DeviceControl/DeviceCommunication.h"
#include "QZFramework/Services/Sync/EventLock.h"
#include "QZFramework/Services/Sync/LEvent.h"
#include "QZFramework/Services/Threads/LEventGatedThreader.h"
#include "QZFramework/Services/Threads/LThreadWorker.h"
#include "QZFramework/Utilities/Storage/RCPtrQueue.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

using QZ::RCPtr;
using ReceivedList = QZ::LWrapper<QZ::ParamValues, QZ::LRefCountedObject>;

struct LDeviceCommunicationInterfaceT<1>::MemberData {
  class LDeviceCommunicationThreadWorker;

  explicit MemberData(LDeviceCommunicationInterfaceT<1>& owner);

  RCPtr<QZ::LEventGatedThreader> threader;
  RCPtr<QZ::LEvent> gate{new QZ::LEvent(true)}; // set for every queued list
  QZ::Mutex queueLock;
  QZ::RCPtrQueue<ReceivedList, 256, QZ::Mutex> queue{&queueLock};
  QZ::EventLock deliveryLock; // held by the worker for a whole drain
  RCPtr<LDeviceCommunicationThreadWorker> worker;
  LDeviceCommunicationInterfaceT<1>& owner;
};

// Hands the queued lists to the receiver, oldest first, while delivery is on.
class LDeviceCommunicationInterfaceT<1>::MemberData::LDeviceCommunicationThreadWorker : public QZ::LThreadWorker {
public:
  explicit LDeviceCommunicationThreadWorker(MemberData& data) : mData(data) {}

  int32_t Process(RCPtr<QZ::LRefCountedObject>*) override {
    QZ::EventLock::ScopedLock hold(mData.deliveryLock);
    // Delivery turned off mid-drain leaves the rest queued for later.
    while (mData.owner.IsDeliveryEnabled() && mData.queue.HasEntries()) {
      const RCPtr<ReceivedList> values = mData.queue.Dequeue();
      if (DeviceCommunicationReceiver* receiver = mData.owner.GetReceiver()) {
        receiver->OnParamValuesReceived(*values);
      }
    }
    return QZ::QZ_OK;
  }

private:
  MemberData& mData;
};

LDeviceCommunicationInterfaceT<1>::MemberData::MemberData(LDeviceCommunicationInterfaceT<1>& interface)
    : worker(new LDeviceCommunicationThreadWorker(*this)), owner(interface) {}

LDeviceCommunicationInterfaceT<1>::LDeviceCommunicationInterfaceT() : mData(std::make_unique<MemberData>(*this)) {
  // The thread's reference to this interface is internal: the last outside reference
  // ends it (ReleaseInternalReferences).
  mData->threader = new QZ::LEventGatedThreader(mData->gate, mData->worker, RCPtr<QZ::LRefCountedObject>(this), 0);
  AddInternalReferences(1);
}

LDeviceCommunicationInterfaceT<1>::~LDeviceCommunicationInterfaceT() { ReleaseClient(); }

int32_t LDeviceCommunicationInterfaceT<1>::IsValid() const { return 1; }

QZ::QZResult LDeviceCommunicationInterfaceT<1>::Open() {
  return CreateClient(QZ::DeviceControlClientInterface::FindLibraryPath());
}

void LDeviceCommunicationInterfaceT<1>::EnableDelivery(bool on) {
  LDeviceCommunicationBase::EnableDelivery(on);
  // A receiver that turns delivery off runs inside the drain it would wait for.
  if (!on && !(mData->threader && mData->threader->GetThread().IsCurrent())) {
    QZ::EventLock::ScopedLock waitForDrain(mData->deliveryLock);
  }
}

int32_t LDeviceCommunicationInterfaceT<1>::Connect(const QZ::Variant& deviceId) {
  QZ::DeviceControlClientInterface* client = TakeDeviceId(deviceId);
  return client ? client->ConnectDevice(&deviceId, &DeviceValuesCallback, this) : -1;
}

QZ::QZResult LDeviceCommunicationInterfaceT<1>::ReleaseInternalReferences() {
  EnableDelivery(false);
  ReleaseClient();
  if (mData->threader) {
    mData->threader = nullptr;
    AddInternalReferences(-1);
  }
  return LDeviceCommunicationBase::ReleaseInternalReferences();
}

void LDeviceCommunicationInterfaceT<1>::DeviceValuesCallback(void* context, int32_t, const QZ::Variant* values) {
  auto& self = *static_cast<LDeviceCommunicationInterfaceT<1>*>(context);
  RCPtr<ReceivedList> copy(new ReceivedList);
  copy->Assign(*values);
  self.mData->queue.Enqueue(std::move(copy));
  self.mData->gate->Set();
}
