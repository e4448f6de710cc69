#include "DeviceControl/RootModule.h"

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"

namespace QZ {

namespace {

constexpr uint32_t kParameterCount = ParameterLayout::kParameterCount;

bool IsNegative(uint32_t id) { return static_cast<int32_t>(id) < 0; }

} // namespace

RCPtr<LRootModule> LRootModule::Create(bool offline) {
  RCPtr<LRootModule> root(new LRootModule(offline));
  root->CreateChildren();
  return root;
}

LRootModule::~LRootModule() {
  if (mDeviceInterface) {
    mDeviceInterface->EnableDelivery(false);
    mDeviceInterface->DisconnectDevice();
    // The interface may outlive the root: it must not reach it any more.
    if (mDeviceInterface->GetReceiver() == this) {
      mDeviceInterface->SetReceiver(nullptr);
    }
  }
  mCache = nullptr;
  mDeviceInterface = nullptr;
  mDevice = nullptr;
}

int32_t LRootModule::Initialize(OwnerCallback callback, void* context, const RCPtr<LParamCache>& cache,
                                const RCPtr<LDeviceCommunicationInterfaceT<1>>& deviceInterface,
                                uint32_t firstParamID) {
  if (!cache || !deviceInterface) {
    return QZ_E_INVALIDARG;
  }
  mCallback = callback;
  mContext = context;
  mCache = cache;
  mDeviceInterface = deviceInterface;
  SetFirstParamID(nullptr, firstParamID, 0);
  for (uint32_t relative = 0; relative < kParameterCount; ++relative) {
    if (const RCPtr<LParameterizedModule> module = GetModuleForParamID(firstParamID + relative)) {
      mCache->SetValue(ParamDescriptor(relative), module->GetParamValueDefault(firstParamID + relative), false);
    }
  }
  mDeviceInterface->SetReceiver(this);
  mDeviceInterface->EnableDelivery(true);
  return QZ_OK;
}

int32_t LRootModule::ConnectDevice(const Variant& deviceId) {
  if (!mDeviceInterface) {
    return QZ_E_FAIL;
  }
  mDeviceInterface->DisconnectDevice();
  const int32_t result = mDeviceInterface->Connect(deviceId);
  if (result < 0) {
    mOffline = true;
    return result;
  }
  mOffline = false;
  ParamRanges everything;
  const ParamIdRange range{GetFirstParamID(), kParameterCount};
  everything.SetRanges(&range, 1);
  mDeviceInterface->RequestParamRanges(everything);
  mDeviceInterface->RequestParamValuesByDescriptors(ParamDescriptor(kParamDeviceState));
  return result;
}

int32_t LRootModule::StopReceiving() {
  if (mDeviceInterface) {
    mDeviceInterface->EnableDelivery(false);
  }
  return QZ_OK;
}

int32_t LRootModule::CallOwnerCallback(Array<ParamValue>* changes, int32_t reason) {
  return mCallback ? mCallback(mContext, changes, reason) : QZ_E_FAIL;
}

void LRootModule::CreateChildren() { mDevice = LDevice::Create(); }

int32_t LRootModule::SetParamValue(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) {
  const int32_t cached = UpdateCachedParamValue(descriptor, value);
  if (fromDevice) {
    return cached;
  }
  return mDeviceInterface ? mDeviceInterface->SetParamValue(descriptor, value) : QZ_E_FAIL;
}

Variant LRootModule::GetParamValue(const ParamDescriptor& descriptor) const { return GetCachedParamValue(descriptor); }

int32_t LRootModule::UpdateCachedParamValue(const ParamDescriptor& descriptor, const Variant& value) {
  const uint32_t relative = descriptor.id - GetFirstParamID();
  if (relative >= kParameterCount || !mCache) {
    return -1;
  }
  // Only a value the cache took as a change is announced (not one it refused).
  if (value.GetType() != Variant::Empty &&
      mCache->SetValue(ParamDescriptor(relative, descriptor.qualifier), value, true) == LParamCache::kChanged) {
    RequestParamChange(descriptor, value, kCachedValueChanged);
  }
  return QZ_OK;
}

Variant LRootModule::GetCachedParamValue(const ParamDescriptor& descriptor) const {
  Variant value;
  if (mCache) {
    mCache->GetValue(ParamDescriptor(descriptor.id - GetFirstParamID(), descriptor.qualifier), value);
  }
  return value;
}

int32_t LRootModule::RequestParamChange(const ParamDescriptor& descriptor, const Variant& value, int32_t reason) {
  // The change buffer is shared: a caller from outside the receive path takes the lock too.
  Mutex::ScopedLock hold(mReceiveLock);
  mChange.GetAt(0) = ParamValue(descriptor, value);
  return CallOwnerCallback(&mChange, reason);
}

RCPtr<LParameterizedModule> LRootModule::GetModuleRaw(uint32_t) { return nullptr; }

RCPtr<LParameterizedModule> LRootModule::FindModule(uint32_t id) {
  if (IsModuleAddressedParamID(id)) {
    return GetModuleRaw(id);
  }
  return IsNegative(id) ? nullptr : GetModuleForParamID(id);
}

int32_t LRootModule::SetParamValueByID(const ParamDescriptor& descriptor, const Variant& value) {
  Mutex::ScopedLock hold(mReceiveLock);
  if (descriptor.id == kParamEcho) {
    // The echo comes back through OnParamValuesReceived on this thread, under this lock.
    return mDeviceInterface && mDeviceInterface->DeliverEchoValue(value.ToInt64()) ? QZ_OK : QZ_FALSE;
  }
  if (mOffline) {
    return UpdateCachedParamValue(descriptor, value);
  }
  const RCPtr<LParameterizedModule> module = FindModule(descriptor.id);
  return module ? module->SetParamValueLocal(descriptor, value, false) : QZ_E_FAIL;
}

int32_t LRootModule::GetParamValueByID(const ParamDescriptor& descriptor, Variant& value) {
  Mutex::ScopedLock hold(mReceiveLock);
  if (IsNegative(descriptor.id)) {
    return mDeviceInterface ? mDeviceInterface->GetParamValue(descriptor, value) : QZ_E_FAIL;
  }
  if (mOffline) {
    value = GetCachedParamValue(descriptor);
    return QZ_OK;
  }
  const ConstRCPtr<LParameterizedModule> module = GetParamModule(descriptor.id);
  if (!module) {
    value.Clear();
    return QZ_E_FAIL;
  }
  value = module->GetParamValueLocal(descriptor);
  return QZ_OK;
}

RCPtr<IDevice> LRootModule::GetDeviceRaw() { return mDevice; }

int32_t LRootModule::WriteParamValueToDevice(const ParamDescriptor& descriptor, const Variant& value) {
  return mDeviceInterface ? mDeviceInterface->SetParamValue(descriptor, value) : QZ_E_FAIL;
}

void LRootModule::OnParamValuesReceived(const ParamValues& values) {
  Mutex::ScopedLock hold(mReceiveLock);
  const uint32_t count = values.GetListCount();
  for (uint32_t i = 0; i < count; ++i) {
    ParamDescriptor descriptor;
    Variant value;
    // An entry that cannot be decoded comes out as id -1, which no module owns: the
    // owner hears of it like any other pseudo-id.
    values.GetParamValue(i, value, descriptor.id, descriptor.qualifier);
    if (descriptor.id == kParamConnected && value.ToBool()) {
      PropagateHookA();
    }
    if (const RCPtr<LParameterizedModule> module = FindModule(descriptor.id)) {
      module->SetParamValueLocal(descriptor, value, true);
    } else {
      RequestParamChange(ParamDescriptor(descriptor.id), value, kCachedValueChanged);
    }
  }
}

} // namespace QZ
