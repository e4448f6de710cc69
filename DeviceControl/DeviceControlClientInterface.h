#pragma once
// QZ::DeviceControlClientInterface: the program's binding to the device-control library,
// libDeviceControlClient.so.
//
//   QZ::DeviceControlClientInterface client(QZ::DeviceControlClientInterface::FindLibraryPath());
//   QZ::Variant devices;
//   if (client.FindDevices(nullptr, 0, &devices) >= 0) { ... }   // -1: no library
//
// A binding loads the library once, when it is made, and resolves the fourteen entry
// points by name (DeviceControlClientInterfaceEntryPoints.h). It either holds the library
// for its whole life or never does; each operation forwards its arguments unchanged and
// returns the library's result, or -1 without calling anything when the library or that
// entry point is missing. The library stays loaded while any binding holds it; the last
// binding to let it go calls XQDC_ReleaseAll, then unloads it.
//
// A binding holds no lock: its operations may be called from several threads at once
// (the library accepts that). Bindings may be made and destroyed on any thread.

#include <cstdint>

#include "DeviceControl/DeviceControlClientInterfaceEntryPoints.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class DeviceControlClientInterface {
public:
  // The library's file name in its folder.
  static constexpr const char16_t* kLibraryFileName = u"libDeviceControlClient.so";

  // The library's path as the driver's registry key gives it: "SoftwarePath" + "/" +
  // "DeviceInterfaceLib" of HKEY_LOCAL_MACHINE "Software\Orbaxa\Audio\Drivers\Quorin ZTR";
  // empty when the key or either value is missing, or the folder is not absolute.
  static WString FindLibraryPath();
  // The program's own folder (of /proc/self/exe) + "/" + kLibraryFileName.
  static WString GetDefaultLibraryPath();

  // Loads the library at `path` (absolute; empty: GetDefaultLibraryPath()). A library that
  // cannot be loaded is not reported: the binding is then without library.
  explicit DeviceControlClientInterface(const WString& path = WString());
  DeviceControlClientInterface(const DeviceControlClientInterface&) = delete;
  DeviceControlClientInterface& operator=(const DeviceControlClientInterface&) = delete;
  // Lets the library go (XQDC_ReleaseAll first when this was its last binding).
  virtual ~DeviceControlClientInterface();

  bool HasLibrary() const { return mLibrary != nullptr; }

  virtual int32_t FindDevices(const Guid* filter, uint32_t filterCount, Variant* devices);
  virtual int32_t FindRemoteDevices(const Guid* filter, uint32_t filterCount, Variant* devices, int32_t mode,
                                    int32_t option1, int32_t option2, int32_t option3, int32_t option4,
                                    int32_t option5);
  virtual int32_t ConnectDevice(const Variant* deviceId, DeviceValuesCallback callback, void* context);
  virtual int32_t RequestParamRanges(const Variant* deviceId, const Variant* ranges);
  virtual int32_t RequestParamValues(const Variant* deviceId, const Variant* descriptors);
  // XQDC_RequestParamValues with a ParamDescriptors list of the one descriptor.
  virtual int32_t RequestParamValuesByDescriptors(const Variant* deviceId, const ParamDescriptor& descriptor);
  virtual int32_t GetParamRanges(const Variant* deviceId, const Variant* ranges, Variant* values);
  virtual int32_t GetParamValues(const Variant* deviceId, const Variant* descriptors, Variant* values);
  virtual int32_t GetParamValue(const Variant* deviceId, const ParamDescriptor* descriptor, Variant* value);
  virtual int32_t SetParamValue(const Variant* deviceId, const ParamDescriptor* descriptor, const Variant* value);
  virtual int32_t SetParamValues(const Variant* deviceId, const Variant* values);
  // True exactly when XQDC_IsDeviceConnected returned 0; false without library or entry.
  virtual bool IsDeviceConnected(const Variant* deviceId, int32_t flag, uint32_t timeoutMs);
  virtual int32_t DisconnectDevice(const Variant* deviceId);
  virtual int32_t GetDeviceInfo(const Variant* deviceId, DeviceInfoRecord* record, int32_t reserved);

private:
  struct EntryPoints {
    DeviceControlClientEntryPoints::FindDevices* findDevices = nullptr;
    DeviceControlClientEntryPoints::FindRemoteDevices* findRemoteDevices = nullptr;
    DeviceControlClientEntryPoints::ConnectDevice* connectDevice = nullptr;
    DeviceControlClientEntryPoints::RequestParamRanges* requestParamRanges = nullptr;
    DeviceControlClientEntryPoints::RequestParamValues* requestParamValues = nullptr;
    DeviceControlClientEntryPoints::GetParamRanges* getParamRanges = nullptr;
    DeviceControlClientEntryPoints::GetParamValues* getParamValues = nullptr;
    DeviceControlClientEntryPoints::GetParamValue* getParamValue = nullptr;
    DeviceControlClientEntryPoints::SetParamValue* setParamValue = nullptr;
    DeviceControlClientEntryPoints::SetParamValues* setParamValues = nullptr;
    DeviceControlClientEntryPoints::DisconnectDevice* disconnectDevice = nullptr;
    DeviceControlClientEntryPoints::IsDeviceConnected* isDeviceConnected = nullptr;
    DeviceControlClientEntryPoints::GetDeviceInfo* getDeviceInfo = nullptr;
    DeviceControlClientEntryPoints::ReleaseAll* releaseAll = nullptr;
  };

  void* mLibrary = nullptr;
  EntryPoints mEntryPoints;
};

} // namespace QZ
