// LRootModuleEngine: the engine object, its connection state and the engine thread.
// Parameter traffic is in RootModuleEngineTraffic.cpp.

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"

#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Utilities/Storage/Holder.h"

using QZ::RCPtr;
using QZ::Variant;

namespace {

// The device-class filter of every search: none.
const QZ::Array<QZ::Guid>& NoFilter() {
  static const QZ::Array<QZ::Guid> none;
  return none;
}

bool IsEmpty(const Variant& value) { return value.GetType() == Variant::Empty; }

} // namespace

LRootModuleEngine::LRootModuleEngine() : mThreadDone(new QZ::LEvent), mThread(u"RootModuleEngine") {}

LRootModuleEngine::~LRootModuleEngine() {
  if (mRootModule) {
    mRootModule->StopReceiving();
  }
  mRootModule = nullptr;
  mCache = nullptr;
  mDeviceInterface = nullptr;
}

void LRootModuleEngine::SetTiming(const Timing& timing) { mTiming = timing; }

QZ::QZResult LRootModuleEngine::ReleaseInternalReferences() {
  StopThreadAndWait();
  // The device interface's worker calls back into the engine: stop it while the engine
  // is still whole.
  if (mRootModule) {
    mRootModule->StopReceiving();
  }
  return QZ::LNotificationClient::ReleaseInternalReferences();
}

void LRootModuleEngine::PostEngineNotification(QZ::NotificationName name,
                                               const RCPtr<QZ::LRefCountedObject>& parameter) {
  if (const RCPtr<QZ::LNotificationCenter> centre = QZ::GetApplicationNotificationCenter()) {
    // Fails only once the centre is shut down, when nobody listens.
    (void)centre->PostNotification(QZ::LNotification::Create(name, parameter));
  }
}

void LRootModuleEngine::PostConnectionState() {
  PostEngineNotification(kDeviceConnectionStateChange,
                         RCPtr<QZ::LHolder<DeviceConnectionState>>(new QZ::LHolder<DeviceConnectionState>(mState)));
}

void LRootModuleEngine::ForceConnectionState(DeviceConnectionState state) {
  QZ::Mutex::ScopedLock hold(mLock);
  mState = state;
}

LRootModuleEngine::DeviceConnectionState LRootModuleEngine::GetConnectionState() const {
  QZ::Mutex::ScopedLock hold(mLock);
  return mState;
}

void LRootModuleEngine::GetDeviceID(Variant& deviceId) const {
  QZ::Mutex::ScopedLock hold(mLock);
  deviceId = mStoredDeviceId;
}

int32_t LRootModuleEngine::GetDeviceInfo(const Variant& deviceId, QZ::DeviceInfoRecord& record) {
  return mDeviceInterface ? mDeviceInterface->GetDeviceInfo(deviceId, record) : QZ::QZ_E_FAIL;
}

bool LRootModuleEngine::IsDeviceAvailable(const Variant& deviceId) {
  QZ::DeviceInfoRecord record;
  return !IsEmpty(deviceId) && GetDeviceInfo(deviceId, record) == QZ::QZ_OK && record.IsPresent();
}

bool LRootModuleEngine::IsStoredDeviceAvailable() {
  QZ::Mutex::ScopedLock hold(mLock);
  return IsDeviceAvailable(mStoredDeviceId);
}

void LRootModuleEngine::SetHold(bool on) {
  if (on) {
    mHold = true;
  } else if (mHold.exchange(false) && mThread.IsBusy()) {
    QZ::Mutex::ScopedLock hold(mLock);
    mPendingDeviceId.Clear();
  }
}

void LRootModuleEngine::UpdateConnectionState() {
  QZ::Mutex::ScopedLock hold(mLock);
  DeviceConnectionState state = kNoDevice;
  if (mDeviceInterface && mDeviceInterface->IsDeviceConnected(1, mTiming.connectionCheckMs)) {
    state = kConnected;
  } else if (mConnectPending) {
    state = kConnectPending;
  } else if (mHold && IsDeviceAvailable(mStoredDeviceId)) {
    if (mState == kConnected) {
      mPendingDeviceId = mStoredDeviceId;
    }
    state = IsEmpty(mPendingDeviceId) ? kNoDevice : kReconnectPending;
  }
  if (state != mState) {
    mState = state;
    PostConnectionState();
  }
}

int32_t LRootModuleEngine::FindDevices(QZ::IArray<Variant>& devices) {
  return mDeviceInterface ? mDeviceInterface->FindDevices(NoFilter(), devices) : QZ::QZ_E_FAIL;
}

int32_t LRootModuleEngine::GetRemoteDevices(QZ::IArray<Variant>& devices) {
  if (mRemotePolling) {
    QZ::Mutex::ScopedLock hold(mLock);
    devices.Assign(mDeviceList);
    return QZ::QZ_OK;
  }
  if (!mDeviceInterface) {
    return QZ::QZ_E_FAIL;
  }
  QZ::Array<Variant> found;
  {
    QZ::Mutex::ScopedLock hold(mLock);
    mDeviceList.RemoveAll();
  }
  const int32_t result = mDeviceInterface->FindRemoteDevices(NoFilter(), found, 0, 0, 1, 1, 0, 0);
  if (result < 0) {
    return result;
  }
  QZ::Mutex::ScopedLock hold(mLock);
  mDeviceList.Assign(found);
  devices.Assign(found);
  return QZ::QZ_OK;
}

int32_t LRootModuleEngine::ConnectDevice(const Variant& deviceId, bool keepTrying) {
  if (!mRootModule) {
    return QZ::QZ_E_FAIL;
  }
  mConnecting = true;
  int32_t result = 0;
  bool start = false;
  {
    QZ::Mutex::ScopedLock hold(mLock);
    result = mRootModule->ConnectDevice(deviceId);
    if (result >= 0) {
      mStoredDeviceId = deviceId;
      start = IsDeviceAvailable(mStoredDeviceId);
    } else if (!keepTrying) {
      mStoredDeviceId.Clear();
    } else if (IsDeviceAvailable(deviceId)) {
      mConnectPending = true;
      mStoredDeviceId = deviceId;
      start = true;
    }
  }
  // Outside the lock: a start may wait for a stopping thread, which takes the lock.
  if (start) {
    (void)StartThread(); // the result is the root module's; a thread still stopping is started by the next call
  }
  mConnecting = false;
  UpdateConnectionState();
  RequestStop();
  return result;
}

int32_t LRootModuleEngine::DisconnectDevice() {
  int32_t result = QZ::QZ_E_FAIL;
  {
    QZ::Mutex::ScopedLock hold(mLock);
    mConnectPending = false;
    mPendingDeviceId.Clear();
    mStoredDeviceId.Clear();
    if (mDeviceInterface) {
      result = mDeviceInterface->DisconnectDevice();
    }
  }
  if (!mConnecting) {
    UpdateConnectionState();
    RequestStop();
  }
  return result;
}

int32_t LRootModuleEngine::EnableRemoteDevicePolling(bool on) {
  if (mRemotePolling == on) {
    return QZ::QZ_OK;
  }
  if (!on) {
    mRemotePolling = false;
    RequestStop();
    return QZ::QZ_OK;
  }
  if (!mDeviceInterface) {
    return QZ::QZ_E_FAIL;
  }
  mRemotePolling = true;
  if (!mRemoteSearchDone) {
    QZ::Array<Variant> found;
    mRemoteSearchResult = mDeviceInterface->FindRemoteDevices(NoFilter(), found, 0, 0, 1, 1, 0, 0);
    // A search that failed is run again at the next enabling.
    mRemoteSearchDone = mRemoteSearchResult >= 0;
  }
  if (mRemoteSearchResult < 0) {
    mRemotePolling = false;
    return mRemoteSearchResult;
  }
  if (QZ::Failed(StartThread())) {
    // The thread is still stopping: polling is not running, so it is not on either.
    mRemotePolling = false;
    return QZ::QZ_E_FAIL;
  }
  return mRemoteSearchResult;
}

QZ::QZResult LRootModuleEngine::StartThread() {
  if (mThread.IsBusy()) {
    if (!mStop) {
      return QZ::QZ_FALSE;
    }
    if (!StopThreadAndWait()) {
      return QZ::QZ_E_FAIL;
    }
  }
  mStop = false;
  mWake.Reset();
  // The thread's reference to the engine is internal; Process gives it back.
  AddInternalReferences(1);
  const QZ::QZResult result = mThread.StartWorker(RCPtr<QZ::LThreadWorker>(this), nullptr, mThreadDone, 0);
  if (QZ::Failed(result)) {
    AddInternalReferences(-1);
    mStop = true;
  }
  return result;
}

void LRootModuleEngine::RequestStop() {
  if (!mThread.IsBusy() || mStop || mRemotePolling || mConnecting) {
    return;
  }
  const DeviceConnectionState state = GetConnectionState();
  if (state == kNoDevice || (state == kConnected && !IsStoredDeviceAvailable())) {
    mStop = true;
    mWake.Set();
  }
}

bool LRootModuleEngine::StopThreadAndWait() {
  if (!mThread.IsBusy()) {
    return true;
  }
  mStop = true;
  mWake.Set();
  if (mThread.GetThread().IsCurrent()) {
    return false;
  }
  mThreadDone->Wait(mTiming.stopTimeoutMs);
  return !mThread.IsBusy();
}

int32_t LRootModuleEngine::Process(RCPtr<QZ::LRefCountedObject>*) {
  const RCPtr<QZ::LNotificationCenter> centre = QZ::GetApplicationNotificationCenter();
  while (centre && !mStop) {
    RunCycle();
  }
  AddInternalReferences(-1);
  return QZ::QZ_OK;
}

void LRootModuleEngine::RunCycle() {
  if (IsStoredDeviceAvailable()) {
    UpdateConnectionState();
    ConnectPendingDevice();
  }
  if (!mRemotePolling) {
    Pause();
  } else if (!mQuickQuerySuffices && mSearchesSinceQuickQuery < mTiming.searchesPerQuickQuery) {
    ++mSearchesSinceQuickQuery;
    SearchRemoteDevices();
  } else {
    mSearchesSinceQuickQuery = 0;
    QueryRemoteDevices();
    Pause();
  }
}

void LRootModuleEngine::ConnectPendingDevice() {
  QZ::Mutex::ScopedLock hold(mLock);
  const DeviceConnectionState state = mState;
  const Variant deviceId = state == kConnectPending     ? mStoredDeviceId
                           : state == kReconnectPending ? mPendingDeviceId
                                                        : Variant();
  if (IsEmpty(deviceId) || mRootModule->ConnectDevice(deviceId) < 0) {
    return;
  }
  if (state == kReconnectPending) {
    mPendingDeviceId.Clear();
  } else {
    mConnectPending = false;
  }
  mState = kConnected;
  PostConnectionState();
}

void LRootModuleEngine::SearchRemoteDevices() {
  QZ::Array<Variant> found;
  {
    QZ::Mutex::ScopedLock hold(mLock);
    found.Assign(mDeviceList);
  }
  if (mDeviceInterface->FindRemoteDevices(NoFilter(), found, mTiming.remoteSearchMs, 0, 1, 1, 0, 0) == QZ::QZ_OK &&
      !mStop) {
    StoreDeviceList(found);
  }
}

void LRootModuleEngine::QueryRemoteDevices() {
  QZ::Array<Variant> found;
  const int32_t result = mDeviceInterface->QuickFindRemoteDevices(NoFilter(), found);
  if (mStop || result < 0) {
    return;
  }
  mQuickQuerySuffices = result == 1;
  bool changed = false;
  {
    QZ::Mutex::ScopedLock hold(mLock);
    changed = !(found == mDeviceList);
  }
  if (changed) {
    StoreDeviceList(found);
  }
}

void LRootModuleEngine::StoreDeviceList(const QZ::Array<Variant>& devices) {
  QZ::Mutex::ScopedLock hold(mLock);
  mDeviceList.Assign(devices);
  PostEngineNotification(kRemoteDeviceListChange,
                         RCPtr<QZ::LHolder<uint32_t>>(new QZ::LHolder<uint32_t>(mDeviceList.GetCount())));
}

void LRootModuleEngine::Pause() { mWake.Wait(mTiming.cycleMs); }
