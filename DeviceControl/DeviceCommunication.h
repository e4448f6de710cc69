#pragma once
// LDeviceCommunicationInterfaceT<1>: the engine's gateway to the controller's parameters
// through the device-control library (DeviceControlClientInterface.h).
//
//   QZ::RCPtr<LDeviceCommunicationInterfaceT<1>> device(new LDeviceCommunicationInterfaceT<1>);
//   device->SetReceiver(root);          // gets the lists the controller reports
//   device->EnableDelivery(true);
//   device->Open();                     // binds the library (until then: offline, -1)
//   device->Connect(id);
//   device->SetParamValue(QZ::ParamDescriptor(12), value);
//
// The interface keeps the id of the device it talks to and forwards requests and writes
// to the library with a copy of it; without a binding (Open not called) every library
// operation returns -1 and only the local pseudo-parameters answer. The library reports
// values on its own thread: its callback queues each list (the queue grows, nothing is
// dropped) and the interface's worker thread hands them to the receiver one by one,
// oldest first, while delivery is on. Lists that arrive while delivery is off wait in
// the queue until it is on again and the next list arrives.
//
// Hold an interface only through QZ::RCPtr: its worker thread keeps a counted reference
// to it (booked as internal), which it gives up when the last outside reference goes;
// the interface then disconnects the device, lets the library go and stops its thread.
//
// Threads: any thread may call any operation. Library calls are made outside the lock,
// so calls from several threads reach the library at once. The receiver is called on the
// worker thread, and on the caller's thread by DeliverEchoValue.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "DeviceControl/DeviceControlClientInterface.h"
#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Sync/Mutex.h"
#include "QZFramework/Utilities/Storage/IArray.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"

// What the interface hands the values of the controller to.
class DeviceCommunicationReceiver {
public:
  // A list of value entries [value, Int32 id, qualifier]. Called on the interface's worker
  // thread for reported lists, and on the calling thread for DeliverEchoValue's list,
  // never for two lists at once by the worker.
  virtual void OnParamValuesReceived(const QZ::ParamValues& values) = 0;

protected:
  ~DeviceCommunicationReceiver() = default;
};

class LDeviceCommunicationBase : public virtual QZ::LRefCountedObject {
public:
  // How FindRemoteDevices waits between its queries.
  using Sleeper = std::function<void(uint32_t milliseconds)>;
  static constexpr uint32_t kRemotePollIntervalMs = 250;

  // Disconnects and lets go of a binding still present.
  ~LDeviceCommunicationBase() override;

  virtual int32_t IsValid() const = 0;
  // Not counted: the receiver outlives its registration (or clears it first).
  virtual void SetReceiver(DeviceCommunicationReceiver* receiver);
  virtual DeviceCommunicationReceiver* GetReceiver() const;
  // Binds the library; the base cannot: QZ_E_FAIL.
  [[nodiscard]] virtual QZ::QZResult Open();
  virtual bool IsEnabled() const;
  // Hands the receiver, at once and under the lock, the one entry
  // [[Int64 value, Bool IsEnabled()], Int32 -4, Empty]; returns IsEnabled(). False, doing
  // nothing, without a receiver.
  virtual bool DeliverEchoValue(int64_t value);
  // Returns when no other thread holds the lock.
  virtual void Synchronize();
  // Whether queued lists may go to the receiver.
  virtual void EnableDelivery(bool on);
  virtual void Reserved();

  // devices becomes the decoded device list: 0; -1 without binding; QZ_E_FAIL when the
  // library fails (devices then empty).
  virtual int32_t FindDevices(const QZ::IArray<QZ::Guid>& filter, QZ::IArray<QZ::Variant>& devices);
  // Queries the remote devices every kRemotePollIntervalMs until the list differs from
  // devices as given (0, devices holding the new list) or timeoutMs has passed (1); a
  // time-out of 0 makes one query. -1 without binding; QZ_E_FAIL when the library fails.
  virtual int32_t FindRemoteDevices(const QZ::IArray<QZ::Guid>& filter, QZ::IArray<QZ::Variant>& devices,
                                    uint32_t timeoutMs, int32_t option1, int32_t option2, int32_t option3,
                                    int32_t option4, int32_t option5);
  // One quick query: the library's result, devices decoded unless it is negative.
  virtual int32_t QuickFindRemoteDevices(const QZ::IArray<QZ::Guid>& filter, QZ::IArray<QZ::Variant>& devices);
  // The base has no callback to connect with: -1.
  virtual int32_t Connect(const QZ::Variant& deviceId);

  // Forwarded with the device id; -1 without binding, else the library's result.
  virtual int32_t RequestParamRanges(const QZ::Variant& ranges);
  virtual int32_t RequestParamValues(const QZ::Variant& descriptors);
  virtual int32_t RequestParamValuesByDescriptors(const QZ::ParamDescriptor& descriptor);
  virtual int32_t GetParamRanges(const QZ::Variant& ranges, QZ::Variant& values);
  virtual int32_t GetParamValues(const QZ::Variant& descriptors, QZ::Variant& values);
  // Without binding only the pseudo-parameters answer: -2 IsEnabled(), -8 -1, -9 the
  // maker's name, -10 the program's title (UTF-8); any other id QZ_E_FAIL. With a
  // binding the library answers every id.
  virtual int32_t GetParamValue(const QZ::ParamDescriptor& descriptor, QZ::Variant& value);
  // -4 goes to DeliverEchoValue(value.ToInt64()), binding or not: 0 when it returned true,
  // 1 when false, QZ_E_FAIL without a receiver. Other ids go to the library; without
  // binding -8 gives -1 and the rest QZ_E_FAIL.
  virtual int32_t SetParamValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value);
  virtual int32_t SetParamValues(const QZ::Variant& values);
  // False without binding.
  virtual bool IsDeviceConnected(int32_t flag, uint32_t timeoutMs);
  // Takes deviceId as the device; 0 when the library then reports it connected, -3 when
  // not, -1 without binding.
  virtual int32_t ConnectAndCheck(const QZ::Variant& deviceId);
  virtual int32_t DisconnectDevice();
  // Of the given device, not the connected one.
  virtual int32_t GetDeviceInfo(const QZ::Variant& deviceId, QZ::DeviceInfoRecord& record);
  // The library's pseudo-parameter -8.
  virtual int32_t GetDeviceStateValue(QZ::Variant& value);
  virtual int32_t SetDeviceStateValue(const QZ::Variant& value);
  // The name table that -9 and -10 read: 0.
  virtual int32_t GetNameTableIndex(uint32_t& index) const;

  // devices becomes the elements of a device list (nothing unless it is a List). A
  // malformed record gives an Empty element and ends the list.
  static void DecodeList(const QZ::Variant& list, QZ::IArray<QZ::Variant>& devices);
  // Replaces the wait of FindRemoteDevices (a plain sleep); set before the polling starts.
  void SetSleeper(Sleeper sleeper);

protected:
  LDeviceCommunicationBase();

  // The binding, made when there is none: 1 when there was one, 0, or QZ_E_FAIL.
  [[nodiscard]] QZ::QZResult CreateClient(const QZ::WString& libraryPath);
  // Takes deviceId as the device (under the lock); returns the binding, null without. The
  // binding stays valid while the caller holds a reference to the interface.
  QZ::DeviceControlClientInterface* TakeDeviceId(const QZ::Variant& deviceId);
  // Disconnects the device and deletes the binding, if any.
  void ReleaseClient();
  bool IsDeliveryEnabled() const { return mDeliver.load(); }

private:
  // call(binding, copy of the device id) outside the lock; without binding offline(), or
  // -1.
  template <class Call, class Offline>
  int32_t WithClient(Call call, Offline offline);
  template <class Call>
  int32_t WithClient(Call call);

  mutable QZ::Mutex mLock; // the binding and the device id; local deliveries
  std::unique_ptr<QZ::DeviceControlClientInterface> mClient;
  QZ::Variant mDeviceId;
  std::atomic<bool> mDeliver{false};
  std::atomic<DeviceCommunicationReceiver*> mReceiver{nullptr};
  Sleeper mSleeper;
};

template <int Version>
class LDeviceCommunicationInterfaceT;

template <>
class LDeviceCommunicationInterfaceT<1> : public LDeviceCommunicationBase {
public:
  // Starts the worker thread, waiting for reported lists.
  LDeviceCommunicationInterfaceT();
  ~LDeviceCommunicationInterfaceT() override;

  int32_t IsValid() const override;
  // Binds the library where the registry says (DeviceControlClientInterface::
  // FindLibraryPath), else beside the program: 1 when bound before, 0 (also when the
  // library did not load: every library call then fails), QZ_E_FAIL.
  [[nodiscard]] QZ::QZResult Open() override;
  // Turning delivery off returns only when no receiver call of the worker is running
  // (at once when called from one).
  void EnableDelivery(bool on) override;
  // Takes deviceId as the device and connects it with DeviceValuesCallback.
  int32_t Connect(const QZ::Variant& deviceId) override;
  // Delivery off, device disconnected, library let go, worker thread stopped.
  QZ::QZResult ReleaseInternalReferences() override;

  // The library's value callback: context is the interface. Queues a copy of the list
  // and wakes the worker; never waits for the receiver. Any thread.
  static void DeviceValuesCallback(void* context, int32_t reportNumber, const QZ::Variant* values);

  struct MemberData;

private:
  std::unique_ptr<MemberData> mData;
};
