// The entry points of libDeviceControlClient.so, the device-control library stand-in,
// and its test controls (DeviceControlClientProbe.h). Only these symbols are exported.

#include <atomic>

#include "DeviceControl/DeviceControlClientInterfaceEntryPoints.h"
#include "Simulator/DeviceControlClient/DeviceControlClientProbe.h"
#include "Simulator/DeviceControlClient/VirtualDeviceControl.h"

#define QZ_DCC_EXPORT extern "C" __attribute__((visibility("default")))

namespace EntryPoints = QZ::DeviceControlClientEntryPoints;
using Simulator::DeviceControlClientProbe;
using Simulator::VirtualDeviceControl;

namespace {

std::atomic<DeviceControlClientProbe*> gProbe{nullptr};

// Tells an attached probe of the unload.
struct UnloadWitness {
  ~UnloadWitness() {
    if (DeviceControlClientProbe* probe = gProbe.load()) {
      std::lock_guard hold(probe->lock);
      ++probe->unloadCount;
    }
  }
} gUnloadWitness;

// Runs `call` unless the attached probe makes that entry point fail.
template <class Call>
int32_t Enter(const char* name, Call call) {
  if (DeviceControlClientProbe* probe = gProbe.load()) {
    std::unique_lock hold(probe->lock);
    if (probe->recordCalls) {
      probe->calls.emplace_back(name);
    }
    if (probe->failingCall == name) {
      return probe->failResult;
    }
  }
  return call(VirtualDeviceControl::Instance());
}

} // namespace

QZ_DCC_EXPORT EntryPoints::FindDevices XQDC_FindDevices;
QZ_DCC_EXPORT EntryPoints::FindRemoteDevices XQDC_FindRemoteDevices;
QZ_DCC_EXPORT EntryPoints::ConnectDevice XQDC_ConnectDevice;
QZ_DCC_EXPORT EntryPoints::RequestParamRanges XQDC_RequestParamRanges;
QZ_DCC_EXPORT EntryPoints::RequestParamValues XQDC_RequestParamValues;
QZ_DCC_EXPORT EntryPoints::GetParamRanges XQDC_GetParamRanges;
QZ_DCC_EXPORT EntryPoints::GetParamValues XQDC_GetParamValues;
QZ_DCC_EXPORT EntryPoints::GetParamValue XQDC_GetParamValue;
QZ_DCC_EXPORT EntryPoints::SetParamValue XQDC_SetParamValue;
QZ_DCC_EXPORT EntryPoints::SetParamValues XQDC_SetParamValues;
QZ_DCC_EXPORT EntryPoints::DisconnectDevice XQDC_DisconnectDevice;
QZ_DCC_EXPORT EntryPoints::IsDeviceConnected XQDC_IsDeviceConnected;
QZ_DCC_EXPORT EntryPoints::ReleaseAll XQDC_ReleaseAll;

// The virtual keyboard is the only device of its kind: the class filters select nothing.
QZ_DCC_EXPORT int32_t XQDC_FindDevices(const QZ::Guid*, uint32_t, QZ::Variant* devices) {
  return Enter("XQDC_FindDevices", [&](VirtualDeviceControl& library) { return library.FindDevices(devices); });
}

QZ_DCC_EXPORT int32_t XQDC_FindRemoteDevices(const QZ::Guid*, uint32_t, QZ::Variant* devices, int32_t mode, int32_t,
                                             int32_t, int32_t, int32_t, int32_t) {
  return Enter("XQDC_FindRemoteDevices",
               [&](VirtualDeviceControl& library) { return library.FindRemoteDevices(devices, mode); });
}

QZ_DCC_EXPORT int32_t XQDC_ConnectDevice(const QZ::Variant* deviceId, QZ::DeviceValuesCallback callback,
                                         void* context) {
  return Enter("XQDC_ConnectDevice",
               [&](VirtualDeviceControl& library) { return library.ConnectDevice(deviceId, callback, context); });
}

QZ_DCC_EXPORT int32_t XQDC_RequestParamRanges(const QZ::Variant* deviceId, const QZ::Variant* ranges) {
  return Enter("XQDC_RequestParamRanges",
               [&](VirtualDeviceControl& library) { return library.RequestParamRanges(deviceId, ranges); });
}

QZ_DCC_EXPORT int32_t XQDC_RequestParamValues(const QZ::Variant* deviceId, const QZ::Variant* descriptors) {
  return Enter("XQDC_RequestParamValues",
               [&](VirtualDeviceControl& library) { return library.RequestParamValues(deviceId, descriptors); });
}

QZ_DCC_EXPORT int32_t XQDC_GetParamRanges(const QZ::Variant* deviceId, const QZ::Variant* ranges, QZ::Variant* values) {
  return Enter("XQDC_GetParamRanges",
               [&](VirtualDeviceControl& library) { return library.GetParamRanges(deviceId, ranges, values); });
}

QZ_DCC_EXPORT int32_t XQDC_GetParamValues(const QZ::Variant* deviceId, const QZ::Variant* descriptors,
                                          QZ::Variant* values) {
  return Enter("XQDC_GetParamValues",
               [&](VirtualDeviceControl& library) { return library.GetParamValues(deviceId, descriptors, values); });
}

QZ_DCC_EXPORT int32_t XQDC_GetParamValue(const QZ::Variant* deviceId, const QZ::ParamDescriptor* descriptor,
                                         QZ::Variant* value) {
  return Enter("XQDC_GetParamValue",
               [&](VirtualDeviceControl& library) { return library.GetParamValue(deviceId, descriptor, value); });
}

QZ_DCC_EXPORT int32_t XQDC_SetParamValue(const QZ::Variant* deviceId, const QZ::ParamDescriptor* descriptor,
                                         const QZ::Variant* value) {
  return Enter("XQDC_SetParamValue",
               [&](VirtualDeviceControl& library) { return library.SetParamValue(deviceId, descriptor, value); });
}

QZ_DCC_EXPORT int32_t XQDC_SetParamValues(const QZ::Variant* deviceId, const QZ::Variant* values) {
  return Enter("XQDC_SetParamValues",
               [&](VirtualDeviceControl& library) { return library.SetParamValues(deviceId, values); });
}

QZ_DCC_EXPORT int32_t XQDC_DisconnectDevice(const QZ::Variant* deviceId) {
  return Enter("XQDC_DisconnectDevice",
               [&](VirtualDeviceControl& library) { return library.DisconnectDevice(deviceId); });
}

// The virtual keyboard answers at once: the flag and the time-out change nothing.
QZ_DCC_EXPORT int32_t XQDC_IsDeviceConnected(const QZ::Variant* deviceId, int32_t, uint32_t) {
  return Enter("XQDC_IsDeviceConnected",
               [&](VirtualDeviceControl& library) { return library.IsDeviceConnected(deviceId); });
}

#ifndef QZ_DCC_WITHOUT_DEVICE_INFO
QZ_DCC_EXPORT EntryPoints::GetDeviceInfo XQDC_GetDeviceInfo;

QZ_DCC_EXPORT int32_t XQDC_GetDeviceInfo(const QZ::Variant* deviceId, QZ::DeviceInfoRecord* record, int32_t) {
  return Enter("XQDC_GetDeviceInfo",
               [&](VirtualDeviceControl& library) { return library.GetDeviceInfo(deviceId, record); });
}
#endif

QZ_DCC_EXPORT int32_t XQDC_ReleaseAll() {
  if (DeviceControlClientProbe* probe = gProbe.load()) {
    std::lock_guard hold(probe->lock);
    ++probe->releaseAllCount;
  }
  return Enter("XQDC_ReleaseAll", [](VirtualDeviceControl& library) {
    library.ReleaseAll();
    return QZ::QZ_OK;
  });
}

QZ_DCC_EXPORT void QZTestDCC_AttachProbe(DeviceControlClientProbe* probe) { gProbe.store(probe); }

QZ_DCC_EXPORT void QZTestDCC_SetPlugged(int32_t plugged) { VirtualDeviceControl::Instance().SetPlugged(plugged != 0); }

QZ_DCC_EXPORT void QZTestDCC_SetRemoteDevices(const QZ::Variant* devices) {
  VirtualDeviceControl::Instance().SetRemoteDevices(*devices);
}
