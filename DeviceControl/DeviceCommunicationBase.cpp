#include <new>
#include <thread>

#include "DeviceControl/DeviceCommunication.h"
#include "QZFramework/Utilities/Storage/Array.h"

using QZ::DeviceControlClientInterface;
using QZ::ParamDescriptor;
using QZ::QZResult;
using QZ::Variant;

namespace {

// The names that -9 and -10 read without a library, by name table: maker, title.
constexpr const char* kNameTables[][2] = {{"Vandrel", "Quorin Preset Editor"}};

void Sleep(uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

} // namespace

LDeviceCommunicationBase::LDeviceCommunicationBase() : mSleeper(&Sleep) {}

LDeviceCommunicationBase::~LDeviceCommunicationBase() { ReleaseClient(); }

template <class Call, class Offline>
int32_t LDeviceCommunicationBase::WithClient(Call call, Offline offline) {
  DeviceControlClientInterface* client = nullptr;
  Variant deviceId;
  {
    QZ::Mutex::ScopedLock hold(mLock);
    client = mClient.get();
    deviceId = mDeviceId;
  }
  return client ? call(*client, deviceId) : offline();
}

template <class Call>
int32_t LDeviceCommunicationBase::WithClient(Call call) {
  return WithClient(call, [] { return -1; });
}

QZResult LDeviceCommunicationBase::CreateClient(const QZ::WString& libraryPath) {
  QZ::Mutex::ScopedLock hold(mLock);
  if (mClient) {
    return QZ::QZ_FALSE;
  }
  mClient.reset(new (std::nothrow) DeviceControlClientInterface(libraryPath));
  return mClient ? QZ::QZ_OK : QZ::QZ_E_FAIL;
}

DeviceControlClientInterface* LDeviceCommunicationBase::TakeDeviceId(const Variant& deviceId) {
  QZ::Mutex::ScopedLock hold(mLock);
  if (mClient) {
    mDeviceId = deviceId;
  }
  return mClient.get();
}

void LDeviceCommunicationBase::ReleaseClient() {
  std::unique_ptr<DeviceControlClientInterface> client;
  Variant deviceId;
  {
    QZ::Mutex::ScopedLock hold(mLock);
    client = std::move(mClient);
    deviceId = mDeviceId;
  }
  if (client) {
    client->DisconnectDevice(&deviceId);
  }
}

void LDeviceCommunicationBase::SetReceiver(DeviceCommunicationReceiver* receiver) { mReceiver = receiver; }

DeviceCommunicationReceiver* LDeviceCommunicationBase::GetReceiver() const { return mReceiver; }

QZResult LDeviceCommunicationBase::Open() { return QZ::QZ_E_FAIL; }

bool LDeviceCommunicationBase::IsEnabled() const { return true; }

bool LDeviceCommunicationBase::DeliverEchoValue(int64_t value) {
  DeviceCommunicationReceiver* receiver = mReceiver;
  if (!receiver) {
    return false;
  }
  QZ::Mutex::ScopedLock hold(mLock);
  const bool enabled = IsEnabled();
  Variant pair[2];
  pair[0].SetInt64(value);
  pair[1].SetBool(enabled);
  Variant echo;
  echo.SetList(pair, 2);
  QZ::ParamValues values;
  values.SetParamValue(ParamDescriptor(QZ::kParamEcho), echo);
  receiver->OnParamValuesReceived(values);
  return enabled;
}

void LDeviceCommunicationBase::Synchronize() { QZ::Mutex::ScopedLock hold(mLock); }

void LDeviceCommunicationBase::EnableDelivery(bool on) { mDeliver = on; }

void LDeviceCommunicationBase::Reserved() {}

void LDeviceCommunicationBase::DecodeList(const Variant& list, QZ::IArray<Variant>& devices) {
  devices.RemoveAll();
  // The element walk stops at a record whose size word is malformed.
  devices.SetCount(list.GetListCount());
  for (uint32_t i = 0; i < devices.GetCount(); ++i) {
    list.GetListElement(i, devices.GetAt(i)); // an element it cannot read stays empty
  }
}

int32_t LDeviceCommunicationBase::FindDevices(const QZ::IArray<QZ::Guid>& filter, QZ::IArray<Variant>& devices) {
  devices.RemoveAll();
  return WithClient([&](DeviceControlClientInterface& client, const Variant&) {
    Variant list;
    if (client.FindDevices(filter.GetData(), filter.GetCount(), &list) < 0) {
      return QZ::QZ_E_FAIL;
    }
    DecodeList(list, devices);
    return QZ::QZ_OK;
  });
}

int32_t LDeviceCommunicationBase::FindRemoteDevices(const QZ::IArray<QZ::Guid>& filter, QZ::IArray<Variant>& devices,
                                                    uint32_t timeoutMs, int32_t option1, int32_t option2,
                                                    int32_t option3, int32_t option4, int32_t option5) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant&) {
    QZ::Array<Variant> before;
    before.Assign(devices);
    for (uint32_t elapsed = 0;; elapsed += kRemotePollIntervalMs) {
      Variant list;
      if (client.FindRemoteDevices(filter.GetData(), filter.GetCount(), &list, 0, option1, option2, option3, option4,
                                   option5) < 0) {
        return QZ::QZ_E_FAIL;
      }
      DecodeList(list, devices);
      if (!(devices == before)) {
        return QZ::QZ_OK;
      }
      if (elapsed >= timeoutMs) {
        return QZ::QZ_FALSE;
      }
      mSleeper(kRemotePollIntervalMs);
    }
  });
}

int32_t LDeviceCommunicationBase::QuickFindRemoteDevices(const QZ::IArray<QZ::Guid>& filter,
                                                         QZ::IArray<Variant>& devices) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant&) {
    Variant list;
    const int32_t result = client.FindRemoteDevices(filter.GetData(), filter.GetCount(), &list, 1, 0, 1, 1, 0, 0);
    if (result >= 0) {
      DecodeList(list, devices);
    }
    return result;
  });
}

int32_t LDeviceCommunicationBase::Connect(const Variant&) { return -1; }

int32_t LDeviceCommunicationBase::RequestParamRanges(const Variant& ranges) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
    return client.RequestParamRanges(&deviceId, &ranges);
  });
}

int32_t LDeviceCommunicationBase::RequestParamValues(const Variant& descriptors) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
    return client.RequestParamValues(&deviceId, &descriptors);
  });
}

int32_t LDeviceCommunicationBase::RequestParamValuesByDescriptors(const ParamDescriptor& descriptor) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
    return client.RequestParamValuesByDescriptors(&deviceId, descriptor);
  });
}

int32_t LDeviceCommunicationBase::GetParamRanges(const Variant& ranges, Variant& values) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
    return client.GetParamRanges(&deviceId, &ranges, &values);
  });
}

int32_t LDeviceCommunicationBase::GetParamValues(const Variant& descriptors, Variant& values) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
    return client.GetParamValues(&deviceId, &descriptors, &values);
  });
}

int32_t LDeviceCommunicationBase::GetParamValue(const ParamDescriptor& descriptor, Variant& value) {
  return WithClient([&](DeviceControlClientInterface& client,
                        const Variant& deviceId) { return client.GetParamValue(&deviceId, &descriptor, &value); },
                    [&] {
                      uint32_t table = 0;
                      switch (descriptor.id) {
                      case QZ::kParamConnected:
                        value.SetBool(IsEnabled());
                        return QZ::QZ_OK;
                      case QZ::kParamDeviceState:
                        return GetDeviceStateValue(value);
                      case QZ::kParamMakerName:
                      case QZ::kParamProductTitle:
                        GetNameTableIndex(table);
                        value.SetString(kNameTables[table][descriptor.id == QZ::kParamMakerName ? 0 : 1]);
                        return QZ::QZ_OK;
                      default:
                        return QZ::QZ_E_FAIL;
                      }
                    });
}

int32_t LDeviceCommunicationBase::SetParamValue(const ParamDescriptor& descriptor, const Variant& value) {
  if (descriptor.id == QZ::kParamEcho) {
    if (!GetReceiver()) {
      return QZ::QZ_E_FAIL;
    }
    return DeliverEchoValue(value.ToInt64()) ? QZ::QZ_OK : QZ::QZ_FALSE;
  }
  return WithClient(
      [&](DeviceControlClientInterface& client, const Variant& deviceId) {
        return client.SetParamValue(&deviceId, &descriptor, &value);
      },
      [&] { return descriptor.id == QZ::kParamDeviceState ? SetDeviceStateValue(value) : QZ::QZ_E_FAIL; });
}

int32_t LDeviceCommunicationBase::SetParamValues(const Variant& values) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
    return client.SetParamValues(&deviceId, &values);
  });
}

bool LDeviceCommunicationBase::IsDeviceConnected(int32_t flag, uint32_t timeoutMs) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
           return client.IsDeviceConnected(&deviceId, flag, timeoutMs) ? 1 : 0;
         }) == 1;
}

int32_t LDeviceCommunicationBase::ConnectAndCheck(const Variant& deviceId) {
  if (!TakeDeviceId(deviceId)) {
    return -1;
  }
  return IsDeviceConnected(1, 500) ? QZ::QZ_OK : -3;
}

int32_t LDeviceCommunicationBase::DisconnectDevice() {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
    return client.DisconnectDevice(&deviceId);
  });
}

int32_t LDeviceCommunicationBase::GetDeviceInfo(const Variant& deviceId, QZ::DeviceInfoRecord& record) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant&) {
    return client.GetDeviceInfo(&deviceId, &record, 0);
  });
}

int32_t LDeviceCommunicationBase::GetDeviceStateValue(Variant& value) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
    const ParamDescriptor state(QZ::kParamDeviceState);
    return client.GetParamValue(&deviceId, &state, &value);
  });
}

int32_t LDeviceCommunicationBase::SetDeviceStateValue(const Variant& value) {
  return WithClient([&](DeviceControlClientInterface& client, const Variant& deviceId) {
    const ParamDescriptor state(QZ::kParamDeviceState);
    return client.SetParamValue(&deviceId, &state, &value);
  });
}

int32_t LDeviceCommunicationBase::GetNameTableIndex(uint32_t& index) const {
  index = 0;
  return QZ::QZ_OK;
}

void LDeviceCommunicationBase::SetSleeper(Sleeper sleeper) { mSleeper = std::move(sleeper); }
