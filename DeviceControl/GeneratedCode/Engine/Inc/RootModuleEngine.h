#pragma once
// LRootModuleEngine: the device control's engine. It owns the root module (and through it
// the parameter model), the parameter cache and the device interface; it passes the
// user interface's edits and reads to the root module, announces changed values as
// "NID_PARAM_MODULE_STATE_CHANGE" on the "application" centre, keeps the connection state,
// and runs the engine thread that connects a controller, watches the connection and
// polls the list of remote controllers.
//
//   QZ::RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
//   engine->Initialize(0);                              // the defaults are announced
//   engine->SetParamValue(QZ::ParamDescriptor(5), value);
//
// Announcements: one or two changed values post one notification each, carrying a
// QZ::LParamValuePair; three or more post one carrying a QZ::LWrapper<QZ::ParamValues>
// of value entries in order. "NID_DEVICE_CONNECTION_STATE_CHANGE" carries a
// QZ::LHolder<DeviceConnectionState>, "NID_REMOTE_DEVICE_LIST_CHANGE" a
// QZ::LHolder<uint32_t> with the number of remote devices. The engine subscribes to
// "NID_PARAM_MODULE_CHANGE_REQ" (a QZ::LParamValuePair to set).
//
// The engine thread runs only while there is something to do: a connect to retry, a lost
// controller to reconnect, remote polling, or a connected controller still present. Each
// cycle it checks the connection (reconnecting when one is pending), then either pauses
// for a cycle or, with polling on, runs a waiting remote search; after every eighth search
// (and every time while the library answers a quick query with 1) it runs one quick query
// and pauses. Stopping wakes it from a pause.
//
// Threads: public operations on the main thread; the engine thread runs Process. The
// engine lock guards the state, the device ids and the device list, and is held across
// the root module's ConnectDevice and the state notification; it is never taken under the
// root module's receive lock. Notifications are only posted, so their handlers run on
// the main thread. Hold the engine only through QZ::RCPtr: the running thread's
// reference is internal, and releasing the last outside one stops the thread.

#include <atomic>
#include <cstdint>

#include "DeviceControl/DeviceCommunication.h"
#include "DeviceControl/ParamCache.h"
#include "DeviceControl/RootModule.h"
#include "QZFramework/Notification/NotificationHandler.h"
#include "QZFramework/Services/Sync/Event.h"
#include "QZFramework/Services/Threads/RetriggerableThreader.h"
#include "QZFramework/Utilities/Storage/Array.h"

class LRootModuleEngine : public QZ::LNotificationClient, public QZ::LThreadWorker {
public:
  enum DeviceConnectionState : int32_t {
    kNoDevice = 0,
    kConnectPending = 1,   // a connect failed with keepTrying: the thread retries it
    kReconnectPending = 2, // the controller was lost, is still present and hold is on
    kConnected = 3,
  };

  // The engine's times and counts; the defaults are the product's.
  struct Timing {
    uint32_t cycleMs = 1500;            // pause after a cycle without a waiting search
    uint32_t remoteSearchMs = 1500;     // how long a remote search waits for a change
    uint32_t searchesPerQuickQuery = 8; // waiting searches between two quick queries
    uint32_t stopTimeoutMs = 10000;     // how long a stop waits for the thread
    uint32_t connectionCheckMs = 500;   // the library's wait when asked if connected
  };
  // Minimum time between two flushes of the request list.
  static constexpr uint32_t kDefaultRequestIntervalMs = 67;

  static constexpr char16_t kParamModuleStateChange[] = u"NID_PARAM_MODULE_STATE_CHANGE";
  static constexpr char16_t kParamModuleChangeRequest[] = u"NID_PARAM_MODULE_CHANGE_REQ";
  static constexpr char16_t kDeviceConnectionStateChange[] = u"NID_DEVICE_CONNECTION_STATE_CHANGE";
  static constexpr char16_t kRemoteDeviceListChange[] = u"NID_REMOTE_DEVICE_LIST_CHANGE";

  ~LRootModuleEngine() override;

  // Replaces the times; before the thread starts.
  void SetTiming(const Timing& timing);

  // Dispatches the subscribed notifications once Initialize has finished.
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override;
  // Subscribes to "NID_PARAM_MODULE_CHANGE_REQ" at the application centre (a failure
  // throws QZ::FailedResultException), makes the device interface, the root module
  // (offline) and the cache, numbers the tree from firstParamID and announces every
  // value. Once, before anything else: until then the operations that need the device
  // return QZ_E_FAIL.
  virtual void Initialize(uint32_t firstParamID);

  // Parameter traffic (main thread) --------------------------------------------------
  // Needs the state kConnected, else QZ_E_FAIL; the root module's SetParamValueByID. A
  // failure re-checks the connection.
  virtual int32_t SetParamValue(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value);
  // The root module's GetParamValueByID.
  virtual int32_t GetParamValue(const QZ::ParamDescriptor& descriptor, QZ::Variant& value);
  // Announces the current values of the listed parameters: 0, also for an empty or
  // non-List argument (nothing posted).
  virtual int32_t ApplyParamValues(const QZ::ParamDescriptors& descriptors);
  // Entries start .. start + count - 1 of values (a negative start counts as 0; the array
  // grows as needed, never shrinks) become the range's ids with their values: 0.
  virtual int32_t GetParamValues(const QZ::ParamIdRange& range, QZ::IArray<QZ::ParamValue>& values, int32_t start);
  // Adds descriptor to the request list (sorted, one entry per descriptor); while
  // connected and more than a request interval has passed since the last flush (on the
  // application's clock), asks the controller for every listed value: 0, or the failure.
  // 1 when only queued. One thread only.
  virtual int32_t QueueParamRequest(const QZ::ParamDescriptor& descriptor);
  virtual void SetRequestInterval(uint32_t milliseconds);
  virtual uint32_t GetRequestInterval() const;
  // Announces all 145 values: 0.
  virtual int32_t RequestParamValues();
  // Posts the values as "NID_PARAM_MODULE_STATE_CHANGE" (nothing for none). Any thread.
  virtual void PostParamModuleStateChange(const QZ::IArray<QZ::ParamValue>& values);
  // The root module's first parameter id (0 before Initialize).
  uint32_t GetFirstParamID() const;

  // Devices and connection (main thread) --------------------------------------------
  // The attached controllers: the interface's result.
  virtual int32_t FindDevices(QZ::IArray<QZ::Variant>& devices);
  // With polling on, the list the thread last found: 0. Otherwise one remote query: 0,
  // or its failure.
  virtual int32_t GetRemoteDevices(QZ::IArray<QZ::Variant>& devices);
  // Connects the root module to deviceId and starts the thread while the controller is
  // present. A failure with keepTrying on a present controller leaves the connect pending
  // for the thread to retry; without it the id is forgotten. The root module's result.
  virtual int32_t ConnectDevice(const QZ::Variant& deviceId, bool keepTrying);
  // Forgets the device ids and disconnects: the interface's result.
  virtual int32_t DisconnectDevice();
  virtual void GetDeviceID(QZ::Variant& deviceId) const;
  virtual DeviceConnectionState GetConnectionState() const;
  virtual int32_t GetDeviceInfo(const QZ::Variant& deviceId, QZ::DeviceInfoRecord& record);
  // On: runs the first remote search (once it has succeeded) and starts the thread; a
  // failed search (its result) or a thread still stopping after the stop wait
  // (QZ_E_FAIL) leaves polling off. Off: lets the thread stop. 0 when already so.
  virtual int32_t EnableRemoteDevicePolling(bool on);
  // Keep a lost controller: while it is present, reconnect to it.
  virtual void SetHold(bool on);
  // Whether the library reports deviceId present; false for an Empty id.
  virtual bool IsDeviceAvailable(const QZ::Variant& deviceId);
  virtual bool IsStoredDeviceAvailable();
  // Recomputes the state from the interface and the flags; a change is posted.
  virtual void UpdateConnectionState();

  // The engine thread (main thread) -------------------------------------------------
  // 0 started; 1 already running; QZ_E_FAIL when a stopping thread did not end in time.
  [[nodiscard]] virtual QZ::QZResult StartThread();
  // Lets the thread stop when nothing keeps it busy (no polling, no connect in progress,
  // no controller, or a connected one no longer present).
  virtual void RequestStop();
  // Stops the thread and waits for it: true when it is not running (at once when it was
  // not); false when it did not end in time or when called from the thread itself.
  virtual bool StopThreadAndWait();
  // The engine thread's job: cycles until stopped. Engine thread only.
  int32_t Process(QZ::RCPtr<QZ::LRefCountedObject>* argument) override;

  // Stops the thread and the receiving of reported values and drops every subscription,
  // then the base test.
  QZ::QZResult ReleaseInternalReferences() override;

protected:
  LRootModuleEngine();

  // Factories of Initialize.
  virtual QZ::RCPtr<LParamCache> CreateParamCache();
  virtual QZ::RCPtr<QZ::LRootModule> CreateRootModule(bool offline);
  virtual QZ::RCPtr<LDeviceCommunicationInterfaceT<1>> CreateDeviceInterface();
  // Posts name with parameter to the application centre; nothing without one. Any thread.
  virtual void PostEngineNotification(QZ::NotificationName name, const QZ::RCPtr<QZ::LRefCountedObject>& parameter);
  // The root module's SetParamValueByID; a failure re-checks the connection.
  int32_t SetParamValueWithoutStateCheck(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value);
  // Sets the state without announcing it.
  void ForceConnectionState(DeviceConnectionState state);

private:
  static int32_t OnRootModuleChange(void* context, QZ::Array<QZ::ParamValue>* changes, int32_t reason);
  QZ::QZResult OnParamModuleChangeRequest(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                          const QZ::RCPtr<QZ::LNotification>& notification);

  // Engine thread: one cycle and its parts.
  void RunCycle();
  void ConnectPendingDevice();
  void SearchRemoteDevices();
  void QueryRemoteDevices();
  void Pause();
  // Posts the state; under the engine lock.
  void PostConnectionState();
  // Stores and posts the list; takes the engine lock.
  void StoreDeviceList(const QZ::Array<QZ::Variant>& devices);
  // The application's millisecond clock (a steady clock without an application).
  uint32_t Now() const;

  Timing mTiming;
  QZ::RCPtr<QZ::LNotificationHandler<LRootModuleEngine>> mHandler;
  std::atomic<bool> mInitialized{false};
  std::atomic<bool> mStop{true};
  std::atomic<bool> mConnectPending{false};
  std::atomic<bool> mHold{false};
  std::atomic<bool> mRemotePolling{false};
  std::atomic<bool> mRemoteSearchDone{false};
  std::atomic<bool> mConnecting{false};
  int32_t mRemoteSearchResult = 0;

  mutable QZ::Mutex mLock; // the engine lock
  DeviceConnectionState mState = kNoDevice;
  QZ::Array<QZ::Variant> mDeviceList;
  QZ::Variant mStoredDeviceId;
  QZ::Variant mPendingDeviceId;

  // Engine thread only.
  uint32_t mSearchesSinceQuickQuery = 0;
  bool mQuickQuerySuffices = false; // the last quick query returned 1: the next cycle is quick too

  // Main thread only (QueueParamRequest).
  QZ::Array<QZ::ParamDescriptor> mRequests;
  std::atomic<uint32_t> mRequestIntervalMs{kDefaultRequestIntervalMs};
  uint32_t mLastRequestTime = 0;

  QZ::RCPtr<LDeviceCommunicationInterfaceT<1>> mDeviceInterface;
  QZ::RCPtr<LParamCache> mCache;
  QZ::RCPtr<QZ::LRootModule> mRootModule;

  QZ::Event mWake{true}; // ends a pause early
  QZ::RCPtr<QZ::LEvent> mThreadDone;
  QZ::RetriggerableThreader mThread;
};
