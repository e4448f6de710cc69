#include "Simulator/DeviceControlClient/VirtualDeviceControl.h"

#include <cstring>
#include <string>
#include <vector>

#include "QZFramework/Services/ApplicationContext.h"

namespace Simulator {

namespace {

constexpr int32_t kNotConnected = -3;
constexpr int32_t kUnknownParam = -1;
constexpr const char* kMakerName = "Vandrel";

QZ::Variant DeviceIdOf(int32_t keyboardModel) {
  static constexpr const char* kNames[] = {"QUORIN 25 ZTR", "QUORIN 49 ZTR", "QUORIN 61 ZTR"};
  QZ::Variant id;
  id.SetString(kNames[keyboardModel]);
  return id;
}

QZ::ParamValues Entry(uint32_t id, bool flag) {
  QZ::Variant value;
  value.SetBool(flag);
  QZ::ParamValues values;
  values.SetParamValue(QZ::ParamDescriptor(id), value);
  return values;
}

} // namespace

VirtualDeviceControl& VirtualDeviceControl::Instance() {
  static VirtualDeviceControl library;
  return library;
}

VirtualDeviceControl::VirtualDeviceControl()
    : mDeviceId(DeviceIdOf(QZ::kDefaultDeviceModel)), mMemory(QZ::kDefaultDeviceModel) {
  mRemoteDevices.SetList(nullptr, 0);
}

VirtualDeviceControl::~VirtualDeviceControl() { ReleaseAll(); }

int32_t VirtualDeviceControl::CheckDevice(const QZ::Variant* deviceId) const {
  return deviceId && *deviceId == mDeviceId ? QZ::QZ_OK : QZ::QZ_E_INVALIDARG;
}

int32_t VirtualDeviceControl::CheckConnected(const QZ::Variant* deviceId) const {
  const int32_t result = CheckDevice(deviceId);
  return result != QZ::QZ_OK ? result : mConnected && mPlugged ? QZ::QZ_OK : kNotConnected;
}

std::optional<QZ::Variant> VirtualDeviceControl::ValueOf(uint32_t id) const {
  QZ::Variant value;
  std::vector<uint8_t> bytes;
  if (mMemory.GetParam(id, bytes)) {
    value.SetBuffer(bytes.data(), uint32_t(bytes.size()));
  } else if (id == QZ::kParamConnected) {
    value.SetBool(mConnected && mPlugged);
  } else if (id == QZ::kParamDeviceState) {
    value.SetInt32(mDeviceState);
  } else if (id == QZ::kParamMakerName) {
    value.SetString(kMakerName);
  } else if (id == QZ::kParamProductTitle) {
    value.Assign(mDeviceId);
  } else {
    return std::nullopt;
  }
  return value;
}

QZ::ParamValues VirtualDeviceControl::EntriesOf(const QZ::Variant& request, bool ranges) const {
  std::vector<QZ::ParamValue> entries;
  auto add = [&](const QZ::ParamDescriptor& descriptor) {
    if (std::optional<QZ::Variant> value = ValueOf(descriptor.id)) {
      entries.emplace_back(descriptor, *value);
    }
  };
  if (ranges) {
    QZ::ParamRanges list;
    list.Assign(request);
    QZ::ParamIdRange range;
    for (uint32_t i = 0; list.GetRange(i, range) != QZ::kParamListNoItem; ++i) {
      for (uint32_t k = 0; k < range.count && k < KeyboardMemory::kParameterCount; ++k) {
        add(QZ::ParamDescriptor(range.first + k));
      }
    }
  } else {
    QZ::ParamDescriptors list;
    list.Assign(request);
    QZ::ParamDescriptor descriptor;
    for (uint32_t i = 0; list.GetDescriptor(i, descriptor) != QZ::kParamListNoItem; ++i) {
      add(descriptor);
    }
  }
  QZ::ParamValues values;
  values.SetValueEntries(entries.data(), uint32_t(entries.size()));
  return values;
}

int32_t VirtualDeviceControl::SetValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value) {
  if (descriptor.id == QZ::kParamDeviceState) {
    mDeviceState = value.ToInt32();
    return QZ::QZ_OK;
  }
  const uint32_t width = KeyboardMemory::GetParamWidth(descriptor.id);
  if (width == 0) {
    return kUnknownParam;
  }
  uint32_t size = 0;
  const auto* bytes = static_cast<const uint8_t*>(value.GetData(size));
  if (value.GetType() != QZ::Variant::Buffer || size != width) {
    return QZ::QZ_E_INVALIDARG;
  }
  mMemory.SetParam(descriptor.id, {bytes, size});
  return QZ::QZ_OK;
}

int32_t VirtualDeviceControl::FindDevices(QZ::Variant* devices) {
  if (!devices) {
    return QZ::QZ_E_INVALIDARG;
  }
  std::lock_guard hold(mLock);
  devices->SetList(&mDeviceId, mPlugged ? 1 : 0);
  return QZ::QZ_OK;
}

int32_t VirtualDeviceControl::FindRemoteDevices(QZ::Variant* devices, int32_t mode) {
  if (!devices) {
    return QZ::QZ_E_INVALIDARG;
  }
  std::lock_guard hold(mLock);
  devices->Assign(mRemoteDevices);
  return mode == 1 ? 1 : QZ::QZ_OK;
}

int32_t VirtualDeviceControl::ConnectDevice(const QZ::Variant* deviceId, QZ::DeviceValuesCallback callback,
                                            void* context) {
  std::unique_lock lock(mLock);
  if (CheckDevice(deviceId) != QZ::QZ_OK || !callback) {
    return QZ::QZ_E_INVALIDARG;
  }
  if (!mPlugged) {
    return kNotConnected;
  }
  if (mConnected) {
    EndConnection(lock);
  }
  mConnected = true;
  mCallback = callback;
  mContext = context;
  SendConnectionFlag(lock);
  return QZ::QZ_OK;
}

int32_t VirtualDeviceControl::RequestParamRanges(const QZ::Variant* deviceId, const QZ::Variant* ranges) {
  std::unique_lock lock(mLock);
  const int32_t result = ranges ? CheckConnected(deviceId) : QZ::QZ_E_INVALIDARG;
  if (result == QZ::QZ_OK) {
    Send(lock, EntriesOf(*ranges, true));
  }
  return result;
}

int32_t VirtualDeviceControl::RequestParamValues(const QZ::Variant* deviceId, const QZ::Variant* descriptors) {
  std::unique_lock lock(mLock);
  const int32_t result = descriptors ? CheckConnected(deviceId) : QZ::QZ_E_INVALIDARG;
  if (result == QZ::QZ_OK) {
    Send(lock, EntriesOf(*descriptors, false));
  }
  return result;
}

int32_t VirtualDeviceControl::GetParamRanges(const QZ::Variant* deviceId, const QZ::Variant* ranges,
                                             QZ::Variant* values) {
  std::lock_guard hold(mLock);
  const int32_t result = ranges && values ? CheckConnected(deviceId) : QZ::QZ_E_INVALIDARG;
  if (result == QZ::QZ_OK) {
    values->Assign(EntriesOf(*ranges, true));
  }
  return result;
}

int32_t VirtualDeviceControl::GetParamValues(const QZ::Variant* deviceId, const QZ::Variant* descriptors,
                                             QZ::Variant* values) {
  std::lock_guard hold(mLock);
  const int32_t result = descriptors && values ? CheckConnected(deviceId) : QZ::QZ_E_INVALIDARG;
  if (result == QZ::QZ_OK) {
    values->Assign(EntriesOf(*descriptors, false));
  }
  return result;
}

int32_t VirtualDeviceControl::GetParamValue(const QZ::Variant* deviceId, const QZ::ParamDescriptor* descriptor,
                                            QZ::Variant* value) {
  std::lock_guard hold(mLock);
  if (!descriptor || !value || CheckDevice(deviceId) != QZ::QZ_OK) {
    return QZ::QZ_E_INVALIDARG;
  }
  const bool pseudo = KeyboardMemory::GetParamWidth(descriptor->id) == 0;
  if (!pseudo && CheckConnected(deviceId) != QZ::QZ_OK) {
    return kNotConnected;
  }
  const std::optional<QZ::Variant> found = ValueOf(descriptor->id);
  if (!found) {
    return kUnknownParam;
  }
  value->Assign(*found);
  return QZ::QZ_OK;
}

int32_t VirtualDeviceControl::SetParamValue(const QZ::Variant* deviceId, const QZ::ParamDescriptor* descriptor,
                                            const QZ::Variant* value) {
  std::lock_guard hold(mLock);
  const int32_t result = descriptor && value ? CheckConnected(deviceId) : QZ::QZ_E_INVALIDARG;
  return result == QZ::QZ_OK ? SetValue(*descriptor, *value) : result;
}

int32_t VirtualDeviceControl::SetParamValues(const QZ::Variant* deviceId, const QZ::Variant* values) {
  std::lock_guard hold(mLock);
  int32_t result = values ? CheckConnected(deviceId) : QZ::QZ_E_INVALIDARG;
  if (result != QZ::QZ_OK) {
    return result;
  }
  QZ::ParamValues entries;
  entries.Assign(*values);
  QZ::ParamDescriptor descriptor;
  QZ::Variant value;
  for (uint32_t i = 0; result == QZ::QZ_OK; ++i) {
    result = entries.GetParamValue(i, value, descriptor.id, descriptor.qualifier);
    if (result == QZ::kParamListNoItem) {
      return QZ::QZ_OK;
    }
    result = result == QZ::QZ_OK ? SetValue(descriptor, value) : QZ::QZ_E_INVALIDARG;
  }
  return result;
}

int32_t VirtualDeviceControl::DisconnectDevice(const QZ::Variant* deviceId) {
  std::unique_lock lock(mLock);
  if (CheckDevice(deviceId) != QZ::QZ_OK) {
    return QZ::QZ_E_INVALIDARG;
  }
  if (!mConnected) {
    return QZ::QZ_FALSE;
  }
  EndConnection(lock);
  return QZ::QZ_OK;
}

int32_t VirtualDeviceControl::IsDeviceConnected(const QZ::Variant* deviceId) {
  std::lock_guard hold(mLock);
  const int32_t result = CheckConnected(deviceId);
  return result == kNotConnected ? QZ::QZ_FALSE : result;
}

int32_t VirtualDeviceControl::GetDeviceInfo(const QZ::Variant* deviceId, QZ::DeviceInfoRecord* record) {
  std::lock_guard hold(mLock);
  if (!record || CheckDevice(deviceId) != QZ::QZ_OK) {
    return QZ::QZ_E_INVALIDARG;
  }
  *record = QZ::DeviceInfoRecord();
  std::strncpy(reinterpret_cast<char*>(record->bytes), mDeviceId.GetString(), QZ::DeviceInfoRecord::kNameSize - 1);
  record->bytes[QZ::DeviceInfoRecord::kPresentOffset] = mPlugged ? 1 : 0;
  return QZ::QZ_OK;
}

void VirtualDeviceControl::ReleaseAll() {
  std::unique_lock lock(mLock);
  if (mConnected) {
    EndConnection(lock);
  }
  if (!mReporter.joinable() || mReporter.get_id() == std::this_thread::get_id()) {
    return;
  }
  mStopping = true;
  mChanged.notify_all();
  std::thread reporter = std::move(mReporter);
  lock.unlock();
  reporter.join();
  lock.lock();
  mStopping = false;
}

void VirtualDeviceControl::SetPlugged(bool plugged) {
  std::unique_lock lock(mLock);
  if (mPlugged != plugged) {
    mPlugged = plugged;
    SendConnectionFlag(lock);
  }
}

void VirtualDeviceControl::SetRemoteDevices(const QZ::Variant& devices) {
  std::lock_guard hold(mLock);
  mRemoteDevices.Assign(devices);
}

void VirtualDeviceControl::Send(std::unique_lock<std::mutex>&, QZ::ParamValues values) {
  if (!mConnected) {
    return;
  }
  if (!mReporter.joinable()) {
    mReporter = std::thread(&VirtualDeviceControl::RunReporter, this);
  }
  mReports.push_back({mConnection, std::move(values)});
  mChanged.notify_all();
}

void VirtualDeviceControl::SendConnectionFlag(std::unique_lock<std::mutex>& lock) {
  Send(lock, Entry(QZ::kParamConnected, mConnected && mPlugged));
}

void VirtualDeviceControl::EndConnection(std::unique_lock<std::mutex>& lock) {
  mConnected = false;
  mCallback = nullptr;
  mContext = nullptr;
  ++mConnection;
  mReports.clear();
  const std::thread::id caller = std::this_thread::get_id();
  mChanged.wait(lock, [&] { return !mDelivering || caller == mReporter.get_id(); });
}

void VirtualDeviceControl::RunReporter() {
  std::unique_lock lock(mLock);
  for (;;) {
    mChanged.wait(lock, [&] { return mStopping || !mReports.empty(); });
    if (mStopping) {
      return;
    }
    const Report report = mReports.front();
    mReports.pop_front();
    if (!mConnected || report.connection != mConnection) {
      continue;
    }
    const QZ::DeviceValuesCallback callback = mCallback;
    void* const context = mContext;
    const int32_t number = ++mReportNumber;
    mDelivering = true;
    lock.unlock();
    callback(context, number, &report.values);
    lock.lock();
    mDelivering = false;
    mChanged.notify_all();
  }
}

} // namespace Simulator
