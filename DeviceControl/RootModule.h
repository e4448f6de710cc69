#pragma once
// QZ::LRootModule: the top of the engine's parameter-module tree. It owns the device
// module (user preset and global preset below it), keeps every value in its parameter
// cache, writes edits to the controller through the device interface, and receives the
// values the controller reports.
//
//   QZ::RCPtr<QZ::LRootModule> root = QZ::LRootModule::Create(true);      // offline
//   root->Initialize(&OnChange, owner, cache, deviceInterface, 0);        // numbers the tree, fills the cache
//   root->SetParamValueByID(QZ::ParamDescriptor(5), value);               // cache, then OnChange
//
// Offline (the state the editor runs in), sets and reads by id use only the cache. A
// successful ConnectDevice takes the root online: a set is routed to the module owning
// the id, climbs back to SetParamValue, is cached and written to the controller. Values
// from the controller only update the cache. Every cached value that really changes,
// and every reported value that no module owns (pseudo-ids), goes to the owner callback.
//
// Pseudo-ids: 0xFFFFFF00..0xFFFFFF7F are module-addressed (no module answers them here);
// -2 is the connection flag (a true value runs PropagateHookA first); -4 is the echo
// value; -8 the device state; reads of any negative id go to the device interface.
//
// Threads: the receive lock (recursive) serialises receiving (the device interface's
// worker), setting and getting by id (the engine's callers), and every call of the owner
// callback; the callback runs under it and must only post. The cache's lock is taken
// after it. Hold the root only through QZ::RCPtr.

#include <atomic>
#include <cstdint>

#include "DeviceControl/DeviceCommunication.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/Device.h"
#include "DeviceControl/ParamCache.h"
#include "QZFramework/Services/Sync/Mutex.h"
#include "QZFramework/Utilities/Storage/Array.h"

namespace QZ {

class LRootModule final : public ::IRootModule, public ::DeviceCommunicationReceiver, public ::IDeviceParamWriter {
public:
  // The reason given to the owner callback.
  static constexpr int32_t kCachedValueChanged = 0;

  // Told of changed values. Runs under the receive lock.
  using OwnerCallback = int32_t (*)(void* context, Array<ParamValue>* changes, int32_t reason);

  // A new root with its device subtree, unbound; offline as given.
  static RCPtr<LRootModule> Create(bool offline);
  // Turns delivery off and disconnects the device interface.
  ~LRootModule() override;

  // Stores callback and context, takes the cache and the device interface, numbers the
  // tree from firstParamID, fills the cache with every parameter's default and becomes
  // the interface's receiver with delivery on: 0; QZ_E_INVALIDARG without a cache or an
  // interface. Call once, before the values flow.
  int32_t Initialize(OwnerCallback callback, void* context, const RCPtr<LParamCache>& cache,
                     const RCPtr<LDeviceCommunicationInterfaceT<1>>& deviceInterface, uint32_t firstParamID);
  // Disconnects, then connects the interface to deviceId. Success (>= 0) takes the root
  // online and asks for every parameter's value and for the device state; a failure
  // (its result; QZ_E_FAIL before Initialize) leaves it offline. The values arrive
  // through OnParamValuesReceived.
  int32_t ConnectDevice(const Variant& deviceId);
  // Turns delivery off: 0. On return no reported list is being received.
  int32_t StopReceiving();
  bool IsOffline() const { return mOffline.load(); }
  // Makes the device module (and its children), replacing any earlier one.
  virtual void CreateChildren();

  // Top of the set chain: caches the value (reporting a real change to the owner) and,
  // unless fromDevice, writes it to the controller, whose result it returns.
  int32_t SetParamValue(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) override;
  // The cached value.
  Variant GetParamValue(const ParamDescriptor& descriptor) const override;
  // Stores a value that differs from the cached one and is not Empty, then tells the
  // owner: 0 (also when nothing changed); -1 for an id outside the 145.
  int32_t UpdateCachedParamValue(const ParamDescriptor& descriptor, const Variant& value) override;
  // The cache's value of (id - FirstParamID, qualifier); Empty when it has none.
  Variant GetCachedParamValue(const ParamDescriptor& descriptor) const override;

  // Hands one change to the owner callback under the receive lock (any thread).
  int32_t RequestParamChange(const ParamDescriptor& descriptor, const Variant& value, int32_t reason) override;
  // No module answers a module-addressed id: null.
  RCPtr<LParameterizedModule> GetModuleRaw(uint32_t id) override;
  // Under the receive lock. -4: the echo (0 when the interface reports itself enabled, 1
  // when not). Offline: UpdateCachedParamValue. Online: the owning module's local write,
  // QZ_E_FAIL when no module owns the id.
  int32_t SetParamValueByID(const ParamDescriptor& descriptor, const Variant& value) override;
  // Under the receive lock. Negative ids: the device interface's answer. Offline: the
  // cached value, 0. Online: the owning module's value, 0; QZ_E_FAIL (value Empty) when
  // no module owns the id.
  int32_t GetParamValueByID(const ParamDescriptor& descriptor, Variant& value) override;
  RCPtr<IDevice> GetDeviceRaw() override;

  // A module-addressed value straight to the controller: the interface's result.
  [[nodiscard]] int32_t WriteParamValueToDevice(const ParamDescriptor& descriptor, const Variant& value) override;
  // Under the receive lock: each entry [value, id, qualifier] goes to the module that owns
  // its id as a value from the device; an entry no module owns (pseudo-ids, ids outside
  // the 145, entries that do not decode, as id -1) goes to the owner callback.
  void OnParamValuesReceived(const ParamValues& values) override;

private:
  explicit LRootModule(bool offline) : mOffline(offline) { mChange.SetCount(1); }

  // The owner callback's result; QZ_E_FAIL before Initialize.
  int32_t CallOwnerCallback(Array<ParamValue>* changes, int32_t reason);
  // The module a set or read by id goes to; null for the other negative ids.
  RCPtr<LParameterizedModule> FindModule(uint32_t id);

  std::atomic<bool> mOffline;
  RCPtr<LDevice> mDevice;
  OwnerCallback mCallback = nullptr;
  void* mContext = nullptr;
  RCPtr<LDeviceCommunicationInterfaceT<1>> mDeviceInterface;
  RCPtr<LParamCache> mCache;
  Mutex mReceiveLock;
  Array<ParamValue> mChange; // the one change handed to the owner, under mReceiveLock
};

} // namespace QZ
