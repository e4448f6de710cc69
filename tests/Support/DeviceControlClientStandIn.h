#pragma once
// Test access to the device-control library stand-in (Simulator/DeviceControlClient):
// where it is, a registry that points at it (or at nothing), its test controls, and a
// collector of the lists its callback or a device interface reports. The paths come from the build
// (QZ_TEST_DEVICE_CONTROL_CLIENT ...).

#include <dlfcn.h>
#include <stdlib.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "DeviceControl/DeviceCommunication.h"
#include "Simulator/DeviceControlClient/DeviceControlClientProbe.h"
#include "Support/TempFolder.h"
#include "Support/WaitUntil.h"

namespace QZTest {

inline const std::string kDeviceControlClient = QZ_TEST_DEVICE_CONTROL_CLIENT;
inline const std::string kDeviceControlClientWithoutDeviceInfo = QZ_TEST_DEVICE_CONTROL_CLIENT_WITHOUT_DEVICE_INFO;

// Whether the library at path is loaded in the process now.
inline bool IsLoaded(const std::string& path) {
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle) {
    ::dlclose(handle);
  }
  return handle != nullptr;
}

// The registry file of the test: the driver's key names the library at libraryPath, or
// the registry is empty when libraryPath is.
class DriverRegistry {
public:
  explicit DriverRegistry(const std::string& libraryPath = std::string()) {
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    if (!libraryPath.empty()) {
      const std::filesystem::path path(libraryPath);
      text += "[HKEY_LOCAL_MACHINE\\Software\\Orbaxa\\Audio\\Drivers\\Quorin ZTR]\r\n\"SoftwarePath\"=\"" +
              path.parent_path().string() + "\"\r\n\"DeviceInterfaceLib\"=\"" + path.filename().string() + "\"\r\n";
    }
    ::setenv("QZ_REGISTRY_FILE", mFolder.Write("registry.reg", text).c_str(), 1);
  }
  DriverRegistry(const DriverRegistry&) = delete;
  DriverRegistry& operator=(const DriverRegistry&) = delete;
  ~DriverRegistry() { ::unsetenv("QZ_REGISTRY_FILE"); }

private:
  TempFolder mFolder;
};

// Holds the stand-in loaded with the probe attached, and reaches its test controls.
class StandInControls {
public:
  explicit StandInControls(const std::string& path = kDeviceControlClient)
      : mPath(path), mHandle(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    Symbol<decltype(QZTestDCC_AttachProbe)>("QZTestDCC_AttachProbe")(&probe);
  }
  StandInControls(const StandInControls&) = delete;
  StandInControls& operator=(const StandInControls&) = delete;
  ~StandInControls() {
    if (!mHandle) {
      mHandle = ::dlopen(mPath.c_str(), RTLD_NOW | RTLD_NOLOAD);
    }
    if (mHandle) {
      Symbol<decltype(QZTestDCC_AttachProbe)>("QZTestDCC_AttachProbe")(nullptr);
      ::dlclose(mHandle);
    }
  }

  // Lets the library go, the probe staying attached, so that the bindings alone hold it.
  void Unhold() {
    ::dlclose(mHandle);
    mHandle = nullptr;
  }

  int32_t ReleaseAll() { return Symbol<QZ::DeviceControlClientEntryPoints::ReleaseAll>("XQDC_ReleaseAll")(); }
  void SetPlugged(bool plugged) { Symbol<decltype(QZTestDCC_SetPlugged)>("QZTestDCC_SetPlugged")(plugged); }
  void SetRemoteDevices(const QZ::Variant& devices) {
    Symbol<decltype(QZTestDCC_SetRemoteDevices)>("QZTestDCC_SetRemoteDevices")(&devices);
  }

  Simulator::DeviceControlClientProbe probe;

private:
  template <class Function>
  Function* Symbol(const char* name) const {
    return reinterpret_cast<Function*>(::dlsym(mHandle, name));
  }

  std::string mPath;
  void* mHandle;
};

// Keeps copies of the lists that a value callback or a device interface hands it.
class ReportedLists : public DeviceCommunicationReceiver {
public:
  virtual ~ReportedLists() = default; // tests derive receivers that act inside a delivery

  static void Callback(void* context, int32_t, const QZ::Variant* values) {
    QZ::ParamValues copy;
    copy.Assign(*values);
    static_cast<ReportedLists*>(context)->OnParamValuesReceived(copy);
  }

  void OnParamValuesReceived(const QZ::ParamValues& values) override {
    std::lock_guard hold(mLock);
    mLists.push_back(values);
    mArrived.notify_all();
  }

  // Waits up to kWaitBound for at least count lists; the lists then held.
  std::vector<QZ::ParamValues> WaitFor(size_t count) {
    std::unique_lock hold(mLock);
    QZTest::WaitUntil(hold, mArrived, [&] { return mLists.size() >= count; }); // what has come is returned
    return mLists;
  }

private:
  std::mutex mLock;
  std::condition_variable mArrived;
  std::vector<QZ::ParamValues> mLists;
};

// A Variant made by one of its setters: Make(&QZ::Variant::SetInt32, 5).
template <class T>
QZ::Variant Make(QZ::Variant::Type (QZ::Variant::*set)(T), std::type_identity_t<T> value) {
  QZ::Variant made;
  (made.*set)(value);
  return made;
}

// The entry i of a value list as {id, value}.
inline std::pair<uint32_t, QZ::Variant> EntryOf(const QZ::ParamValues& list, uint32_t i) {
  QZ::Variant value;
  QZ::Variant qualifier;
  uint32_t id = 0;
  list.GetParamValue(i, value, id, qualifier); // an entry it cannot read stays empty
  return {id, value};
}

} // namespace QZTest
