// LRootModuleEngine: initialisation and parameter traffic between the user interface,
// the root module and the controller.

#include <chrono>

#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Utilities/Storage/SharedPair.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

using QZ::ParamDescriptor;
using QZ::ParamValue;
using QZ::RCPtr;
using QZ::Variant;

namespace {

constexpr uint32_t kParameterCount = QZ::ParameterLayout::kParameterCount;
// From three changed values on, one notification carries them all.
constexpr uint32_t kValuesPerListNotification = 3;

} // namespace

void LRootModuleEngine::Initialize(uint32_t firstParamID) {
  mHandler = new QZ::LNotificationHandler<LRootModuleEngine>(*this);
  const RCPtr<QZ::LNotificationDistributor> centre(QZ::GetApplicationNotificationCenter());
  QZ::CheckResult(
      mHandler->AddHandler(&LRootModuleEngine::OnParamModuleChangeRequest, centre, kParamModuleChangeRequest),
      {"LRootModuleEngine::Initialize", R"(..\DeviceControl\GeneratedCode\Engine\Src\RootModuleEngine)", 312});
  mDeviceInterface = CreateDeviceInterface();
  mRootModule = CreateRootModule(true);
  mCache = CreateParamCache();
  mRootModule->Initialize(&LRootModuleEngine::OnRootModuleChange, this, mCache, mDeviceInterface, firstParamID);
  mInitialized = true;
  RequestParamValues();
}

QZ::QZResult LRootModuleEngine::ReceiveNotification(const RCPtr<QZ::LNotificationDistributor>& distributor,
                                                    const RCPtr<QZ::LNotification>& notification) {
  return mHandler && mInitialized ? mHandler->HandleNotification(distributor, notification) : QZ::QZResult(QZ::QZ_OK);
}

QZ::QZResult LRootModuleEngine::OnParamModuleChangeRequest(const RCPtr<QZ::LNotificationDistributor>&,
                                                           const RCPtr<QZ::LNotification>& notification) {
  if (const RCPtr<QZ::LParamValuePair> change = notification->GetParameterAs<QZ::LParamValuePair>()) {
    SetParamValue(change->first, change->second);
  }
  return QZ::QZ_OK;
}

int32_t LRootModuleEngine::OnRootModuleChange(void* context, QZ::Array<ParamValue>* changes, int32_t) {
  static_cast<LRootModuleEngine*>(context)->PostParamModuleStateChange(*changes);
  return QZ::QZ_OK;
}

RCPtr<LParamCache> LRootModuleEngine::CreateParamCache() {
  return RCPtr<LParamCache>(new LParamCache(kParameterCount));
}

RCPtr<QZ::LRootModule> LRootModuleEngine::CreateRootModule(bool offline) { return QZ::LRootModule::Create(offline); }

RCPtr<LDeviceCommunicationInterfaceT<1>> LRootModuleEngine::CreateDeviceInterface() {
  return RCPtr<LDeviceCommunicationInterfaceT<1>>(new LDeviceCommunicationInterfaceT<1>);
}

uint32_t LRootModuleEngine::GetFirstParamID() const { return mRootModule ? mRootModule->GetFirstParamID() : 0; }

int32_t LRootModuleEngine::SetParamValue(const ParamDescriptor& descriptor, const Variant& value) {
  if (GetConnectionState() != kConnected) {
    return QZ::QZ_E_FAIL;
  }
  return SetParamValueWithoutStateCheck(descriptor, value);
}

int32_t LRootModuleEngine::SetParamValueWithoutStateCheck(const ParamDescriptor& descriptor, const Variant& value) {
  if (!mRootModule) {
    return QZ::QZ_E_FAIL;
  }
  const int32_t result = mRootModule->SetParamValueByID(descriptor, value);
  if (result < 0) {
    UpdateConnectionState();
  }
  return result;
}

int32_t LRootModuleEngine::GetParamValue(const ParamDescriptor& descriptor, Variant& value) {
  return mRootModule ? mRootModule->GetParamValueByID(descriptor, value) : QZ::QZ_E_FAIL;
}

int32_t LRootModuleEngine::ApplyParamValues(const QZ::ParamDescriptors& descriptors) {
  const uint32_t count = descriptors.GetListCount();
  if (count == 0 || !mRootModule) {
    return QZ::QZ_OK;
  }
  QZ::Array<ParamValue> values;
  for (uint32_t i = 0; i < count; ++i) {
    ParamValue entry;
    descriptors.GetDescriptor(i, entry.descriptor);
    mRootModule->GetParamValueByID(entry.descriptor, entry.value);
    values.AddItem(entry);
  }
  PostParamModuleStateChange(values);
  return QZ::QZ_OK;
}

int32_t LRootModuleEngine::GetParamValues(const QZ::ParamIdRange& range, QZ::IArray<ParamValue>& values,
                                          int32_t start) {
  const uint32_t first = start < 0 ? 0 : static_cast<uint32_t>(start);
  if (values.GetCount() < first + range.count) {
    values.SetCount(first + range.count);
  }
  for (uint32_t i = 0; i < range.count; ++i) {
    ParamValue& entry = values.GetAt(first + i);
    entry.descriptor = ParamDescriptor(range.first + i);
    entry.value.Clear();
    if (mRootModule) {
      mRootModule->GetParamValueByID(entry.descriptor, entry.value);
    }
  }
  return QZ::QZ_OK;
}

int32_t LRootModuleEngine::QueueParamRequest(const ParamDescriptor& descriptor) {
  uint32_t low = 0;
  uint32_t high = mRequests.GetCount();
  while (low < high) {
    const uint32_t middle = low + (high - low) / 2;
    if (mRequests.GetAt(middle) < descriptor) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low < mRequests.GetCount() && !(descriptor < mRequests.GetAt(low))) {
    mRequests.GetAt(low) = descriptor;
  } else {
    mRequests.InsertAt(low, descriptor);
  }
  if (GetConnectionState() != kConnected || !mDeviceInterface) {
    return QZ::QZ_FALSE;
  }
  const uint32_t now = Now();
  if (now - mLastRequestTime <= mRequestIntervalMs) {
    return QZ::QZ_FALSE;
  }
  mLastRequestTime = now;
  QZ::ParamDescriptors requested;
  requested.SetDescriptors(mRequests.GetData(), mRequests.GetCount());
  const int32_t result = mDeviceInterface->RequestParamValues(requested);
  return result < 0 ? result : QZ::QZ_OK;
}

void LRootModuleEngine::SetRequestInterval(uint32_t milliseconds) { mRequestIntervalMs = milliseconds; }

uint32_t LRootModuleEngine::GetRequestInterval() const { return mRequestIntervalMs; }

int32_t LRootModuleEngine::RequestParamValues() {
  return ApplyParamValues(QZ::ParamDescriptors(QZ::ParamIdRange{GetFirstParamID(), kParameterCount}));
}

void LRootModuleEngine::PostParamModuleStateChange(const QZ::IArray<ParamValue>& values) {
  const uint32_t count = values.GetCount();
  if (count >= kValuesPerListNotification) {
    RCPtr<QZ::LWrapper<QZ::ParamValues>> list(new QZ::LWrapper<QZ::ParamValues>);
    list->SetValueEntries(values.GetData(), count);
    PostEngineNotification(kParamModuleStateChange, list);
    return;
  }
  for (uint32_t i = 0; i < count; ++i) {
    const ParamValue& change = values.GetAt(i);
    PostEngineNotification(kParamModuleStateChange,
                           RCPtr<QZ::LParamValuePair>(new QZ::LParamValuePair(change.descriptor, change.value)));
  }
}

uint32_t LRootModuleEngine::Now() const {
  if (const QZ::IApplicationContext* context = QZ::GetApplicationContext()) {
    return context->GetMilliseconds();
  }
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}
