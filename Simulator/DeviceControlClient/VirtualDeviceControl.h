#pragma once
// Simulator::VirtualDeviceControl: the device-control library stand-in's state, behind
// the XQDC_ entry points: one virtual keyboard (Simulator/Keyboard) that can be found,
// connected, read and written, and a reporter thread that delivers the keyboard's
// replies to the connection's callback.
//
// The keyboard's id is the String Variant of its name ("QUORIN 49 ZTR"). Parameter ids
// are the keyboard's relative ids 0 to 144, each value a Buffer of the parameter's width;
// the pseudo-parameters are those of DeviceControlClientInterfaceEntryPoints.h. Results:
// 0 success, 1 nothing to do, -1 no such parameter, -3 the keyboard is not connected or
// not plugged in, QZ_E_INVALIDARG an unknown device id, a missing argument or a value of the
// wrong kind or width.
//
// One connection at a time: a new connect takes the keyboard over from the last one.
// Reports (the connection flag on connect and on plugging, the values asked for by the
// Request calls) go out in order on the reporter thread. No callback runs after
// DisconnectDevice or ReleaseAll has returned, unless called from the callback itself,
// which must not call ReleaseAll. Every member may be called from any thread.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

#include "DeviceControl/DeviceControlClientInterfaceEntryPoints.h"
#include "Simulator/Keyboard/KeyboardMemory.h"

namespace Simulator {

class VirtualDeviceControl {
public:
  // The library's one instance, made on first use and destroyed when it is unloaded.
  static VirtualDeviceControl& Instance();

  VirtualDeviceControl();
  VirtualDeviceControl(const VirtualDeviceControl&) = delete;
  VirtualDeviceControl& operator=(const VirtualDeviceControl&) = delete;
  // ReleaseAll.
  ~VirtualDeviceControl();

  // devices: the keyboard's id while it is plugged in, else nothing.
  int32_t FindDevices(QZ::Variant* devices);
  // devices: what QZTestDCC_SetRemoteDevices gave (none at first). No search ever runs, so
  // the quick query (mode 1) returns 1: a quick query is all it takes.
  int32_t FindRemoteDevices(QZ::Variant* devices, int32_t mode);
  int32_t ConnectDevice(const QZ::Variant* deviceId, QZ::DeviceValuesCallback callback, void* context);
  int32_t RequestParamRanges(const QZ::Variant* deviceId, const QZ::Variant* ranges);
  int32_t RequestParamValues(const QZ::Variant* deviceId, const QZ::Variant* descriptors);
  int32_t GetParamRanges(const QZ::Variant* deviceId, const QZ::Variant* ranges, QZ::Variant* values);
  int32_t GetParamValues(const QZ::Variant* deviceId, const QZ::Variant* descriptors, QZ::Variant* values);
  // The pseudo-parameters are answered while the keyboard is not connected too.
  int32_t GetParamValue(const QZ::Variant* deviceId, const QZ::ParamDescriptor* descriptor, QZ::Variant* value);
  int32_t SetParamValue(const QZ::Variant* deviceId, const QZ::ParamDescriptor* descriptor, const QZ::Variant* value);
  // values: value entries, set in order up to the first that fails.
  int32_t SetParamValues(const QZ::Variant* deviceId, const QZ::Variant* values);
  int32_t DisconnectDevice(const QZ::Variant* deviceId);
  // 0 while connected and plugged in, else 1.
  int32_t IsDeviceConnected(const QZ::Variant* deviceId);
  int32_t GetDeviceInfo(const QZ::Variant* deviceId, QZ::DeviceInfoRecord* record);
  // Ends the connection and stops the reporter thread.
  void ReleaseAll();

  void SetPlugged(bool plugged);
  void SetRemoteDevices(const QZ::Variant& devices);

private:
  struct Report {
    uint64_t connection;
    QZ::ParamValues values;
  };

  // The checks of an operation on the keyboard's values, under mLock.
  int32_t CheckDevice(const QZ::Variant* deviceId) const;
  int32_t CheckConnected(const QZ::Variant* deviceId) const;
  // The value of a parameter or pseudo-parameter, under mLock; empty when there is none.
  std::optional<QZ::Variant> ValueOf(uint32_t id) const;
  // value entries of the ids that have a value, under mLock.
  QZ::ParamValues EntriesOf(const QZ::Variant& request, bool ranges) const;
  int32_t SetValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value);
  void Send(std::unique_lock<std::mutex>& lock, QZ::ParamValues values);
  void SendConnectionFlag(std::unique_lock<std::mutex>& lock);
  // Ends the connection; returns when no callback of it runs any more.
  void EndConnection(std::unique_lock<std::mutex>& lock);
  void RunReporter();

  const QZ::Variant mDeviceId;
  KeyboardMemory mMemory;

  mutable std::mutex mLock;
  std::condition_variable mChanged;
  bool mPlugged = true;
  bool mConnected = false;
  QZ::DeviceValuesCallback mCallback = nullptr;
  void* mContext = nullptr;
  uint64_t mConnection = 0; // reports of an earlier connection are dropped
  int32_t mDeviceState = 0;
  QZ::Variant mRemoteDevices;
  std::deque<Report> mReports;
  int32_t mReportNumber = 0;
  bool mDelivering = false;
  bool mStopping = false;
  std::thread mReporter;
};

} // namespace Simulator
