#include "DeviceControl/DeviceControlClientInterface.h"

#include <dlfcn.h>

#include <filesystem>
#include <mutex>
#include <system_error>

#include "QZFramework/Services/Registry/RegistryKey.h"

namespace QZ {

namespace {

// Bindings that hold the library: the last one to let it go releases it. Loading and
// unloading run under the lock, so that count and library agree.
std::mutex gHoldersLock;
int32_t gHolders = 0;

template <class Function>
void Resolve(void* library, Function*& entry, const char* name) {
  entry = reinterpret_cast<Function*>(::dlsym(library, name));
}

template <class Function, class... Args>
int32_t Forward(Function* entry, Args... args) {
  return entry ? entry(args...) : -1;
}

} // namespace

WString DeviceControlClientInterface::FindLibraryPath() {
  const RCPtr<LRegistryKey> drivers(
      new LRegistryKey(LRegistryKey::kLocalMachine, WString(u"Software\\Orbaxa\\Audio\\Drivers"), false));
  const RCPtr<LRegistryKey> driver = drivers->GetSubKey(WString(u"Quorin ZTR"));
  VariantEx folder;
  VariantEx file;
  if (!driver || driver->GetValue(WString(u"SoftwarePath"), folder) != QZ_OK ||
      driver->GetValue(WString(u"DeviceInterfaceLib"), file) != QZ_OK || !folder.GetString() || !file.GetString() ||
      folder.GetString()[0] != '/') {
    return WString();
  }
  WString path(folder.GetString());
  path += u'/';
  path += WString(file.GetString());
  return path;
}

WString DeviceControlClientInterface::GetDefaultLibraryPath() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  WString path(program.parent_path().string().c_str());
  path += u'/';
  path += WString(kLibraryFileName);
  return path;
}

DeviceControlClientInterface::DeviceControlClientInterface(const WString& path) {
  const NString file = (path.IsEmpty() ? GetDefaultLibraryPath() : path).ToUTF8();
  std::lock_guard hold(gHoldersLock);
  mLibrary = ::dlopen(file.GetBuffer(), RTLD_NOW | RTLD_LOCAL);
  if (!mLibrary) {
    return;
  }
  ++gHolders;
  Resolve(mLibrary, mEntryPoints.findDevices, "XQDC_FindDevices");
  Resolve(mLibrary, mEntryPoints.findRemoteDevices, "XQDC_FindRemoteDevices");
  Resolve(mLibrary, mEntryPoints.connectDevice, "XQDC_ConnectDevice");
  Resolve(mLibrary, mEntryPoints.requestParamRanges, "XQDC_RequestParamRanges");
  Resolve(mLibrary, mEntryPoints.requestParamValues, "XQDC_RequestParamValues");
  Resolve(mLibrary, mEntryPoints.getParamRanges, "XQDC_GetParamRanges");
  Resolve(mLibrary, mEntryPoints.getParamValues, "XQDC_GetParamValues");
  Resolve(mLibrary, mEntryPoints.getParamValue, "XQDC_GetParamValue");
  Resolve(mLibrary, mEntryPoints.setParamValue, "XQDC_SetParamValue");
  Resolve(mLibrary, mEntryPoints.setParamValues, "XQDC_SetParamValues");
  Resolve(mLibrary, mEntryPoints.disconnectDevice, "XQDC_DisconnectDevice");
  Resolve(mLibrary, mEntryPoints.isDeviceConnected, "XQDC_IsDeviceConnected");
  Resolve(mLibrary, mEntryPoints.getDeviceInfo, "XQDC_GetDeviceInfo");
  Resolve(mLibrary, mEntryPoints.releaseAll, "XQDC_ReleaseAll");
}

DeviceControlClientInterface::~DeviceControlClientInterface() {
  if (!mLibrary) {
    return;
  }
  std::lock_guard hold(gHoldersLock);
  if (--gHolders == 0 && mEntryPoints.releaseAll) {
    mEntryPoints.releaseAll();
  }
  // Every binding gives back its own reference, so the library is unloaded when the last
  // one goes.
  ::dlclose(mLibrary);
  mLibrary = nullptr;
}

int32_t DeviceControlClientInterface::FindDevices(const Guid* filter, uint32_t filterCount, Variant* devices) {
  return Forward(mEntryPoints.findDevices, filter, filterCount, devices);
}

int32_t DeviceControlClientInterface::FindRemoteDevices(const Guid* filter, uint32_t filterCount, Variant* devices,
                                                        int32_t mode, int32_t option1, int32_t option2, int32_t option3,
                                                        int32_t option4, int32_t option5) {
  return Forward(mEntryPoints.findRemoteDevices, filter, filterCount, devices, mode, option1, option2, option3, option4,
                 option5);
}

int32_t DeviceControlClientInterface::ConnectDevice(const Variant* deviceId, DeviceValuesCallback callback,
                                                    void* context) {
  return Forward(mEntryPoints.connectDevice, deviceId, callback, context);
}

int32_t DeviceControlClientInterface::RequestParamRanges(const Variant* deviceId, const Variant* ranges) {
  return Forward(mEntryPoints.requestParamRanges, deviceId, ranges);
}

int32_t DeviceControlClientInterface::RequestParamValues(const Variant* deviceId, const Variant* descriptors) {
  return Forward(mEntryPoints.requestParamValues, deviceId, descriptors);
}

int32_t DeviceControlClientInterface::RequestParamValuesByDescriptors(const Variant* deviceId,
                                                                      const ParamDescriptor& descriptor) {
  if (!mEntryPoints.requestParamValues) {
    return -1;
  }
  ParamDescriptors descriptors;
  descriptors.SetDescriptors(&descriptor, 1);
  return mEntryPoints.requestParamValues(deviceId, &descriptors);
}

int32_t DeviceControlClientInterface::GetParamRanges(const Variant* deviceId, const Variant* ranges, Variant* values) {
  return Forward(mEntryPoints.getParamRanges, deviceId, ranges, values);
}

int32_t DeviceControlClientInterface::GetParamValues(const Variant* deviceId, const Variant* descriptors,
                                                     Variant* values) {
  return Forward(mEntryPoints.getParamValues, deviceId, descriptors, values);
}

int32_t DeviceControlClientInterface::GetParamValue(const Variant* deviceId, const ParamDescriptor* descriptor,
                                                    Variant* value) {
  return Forward(mEntryPoints.getParamValue, deviceId, descriptor, value);
}

int32_t DeviceControlClientInterface::SetParamValue(const Variant* deviceId, const ParamDescriptor* descriptor,
                                                    const Variant* value) {
  return Forward(mEntryPoints.setParamValue, deviceId, descriptor, value);
}

int32_t DeviceControlClientInterface::SetParamValues(const Variant* deviceId, const Variant* values) {
  return Forward(mEntryPoints.setParamValues, deviceId, values);
}

bool DeviceControlClientInterface::IsDeviceConnected(const Variant* deviceId, int32_t flag, uint32_t timeoutMs) {
  return Forward(mEntryPoints.isDeviceConnected, deviceId, flag, timeoutMs) == 0;
}

int32_t DeviceControlClientInterface::DisconnectDevice(const Variant* deviceId) {
  return Forward(mEntryPoints.disconnectDevice, deviceId);
}

int32_t DeviceControlClientInterface::GetDeviceInfo(const Variant* deviceId, DeviceInfoRecord* record,
                                                    int32_t reserved) {
  return Forward(mEntryPoints.getDeviceInfo, deviceId, record, reserved);
}

} // namespace QZ
