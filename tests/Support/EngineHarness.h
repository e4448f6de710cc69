#pragma once
// Test harness of the device-control engine: an installed fake application whose
// "application" centre records what it delivers, an engine whose posts can be waited
// for, and the keyboard's own side of the device-control library stand-in.
//
//   QZTest::ApplicationCentre app;                                   // installed
//   auto engine = QZTest::WatchedEngine<QZ::LPresetEditorAppEngine>::Create();
//   engine->Initialize(0);
//   std::vector<QZTest::Delivered> heard = app.Drain();

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "QZFramework/Utilities/Storage/SharedPair.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"
#include "Support/DeviceControlClientStandIn.h"
#include "Support/FakeApplicationContext.h"
#include "Support/WaitUntil.h"

namespace QZTest {

using EngineState = QZ::LHolder<LRootModuleEngine::DeviceConnectionState>;
using ValueList = QZ::LWrapper<QZ::ParamValues>;

// One notification: its name and parameter.
struct Delivered {
  std::u16string name;
  QZ::RCPtr<QZ::LRefCountedObject> parameter;

  template <class T>
  QZ::RCPtr<T> As() const {
    return QZ::DynamicCast<T>(parameter);
  }
};

// The {id, value} of a notification carrying one pair; {0xFFFFFFFF, Empty} otherwise.
inline std::pair<uint32_t, QZ::Variant> PairOf(const Delivered& delivered) {
  const auto pair = delivered.As<QZ::LParamValuePair>();
  return pair ? std::make_pair(pair->first.id, pair->second) : std::make_pair(0xFFFFFFFFu, QZ::Variant());
}

inline QZ::Variant Bytes(std::initializer_list<uint8_t> bytes) {
  QZ::Variant value;
  value.SetBuffer(std::data(bytes), uint32_t(bytes.size()));
  return value;
}

class ApplicationCentre {
public:
  ApplicationCentre() {
    application.SetApplicationNotificationCenter(centre.Get());
    for (QZ::NotificationName name :
         {LRootModuleEngine::kParamModuleStateChange, LRootModuleEngine::kDeviceConnectionStateChange}) {
      recorder->RegisterNotification(centre, name);
    }
  }
  ~ApplicationCentre() { recorder->UnregisterAllNotifications(); }

  // Delivers what waits; what was delivered.
  std::vector<Delivered> Drain() {
    centre->ProcessNotifications(false);
    return std::exchange(recorder->heard, {});
  }

  FakeApplicationContext application;
  QZ::LNotificationCenterManager centres;
  QZ::RCPtr<QZ::LNotificationCenter> centre = centres.GetNotificationCenter(u"application");

private:
  struct Recorder : QZ::LNotificationClient {
    QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                     const QZ::RCPtr<QZ::LNotification>& notification) override {
      heard.push_back({notification->GetID(), notification->GetParameter()});
      return QZ::QZ_OK;
    }
    std::vector<Delivered> heard;
  };
  QZ::RCPtr<Recorder> recorder{new Recorder};
};

// The keyboard's side of the library stand-in: a binding of its own, as another program
// would hold it. Make it while a DriverRegistry names the stand-in.
struct KeyboardSide {
  int32_t Set(uint32_t param, const QZ::Variant& value) {
    const QZ::ParamDescriptor descriptor(param);
    return library.SetParamValue(&id, &descriptor, &value);
  }

  ReportedLists reports; // of the side's own connection; outlives it
  QZ::DeviceControlClientInterface library{QZ::DeviceControlClientInterface::FindLibraryPath()};
  QZ::Variant id = Make(&QZ::Variant::SetString, "QUORIN 49 ZTR");
};

// An Engine that keeps every post of the given name, and whose device interface is made
// by makeInterface (a plain one unless set), opened on the library when `open` is set.
template <class Engine>
class WatchedEngine : public Engine {
public:
  using MakeInterface = std::function<QZ::RCPtr<LDeviceCommunicationInterfaceT<1>>()>;
  using Match = std::function<bool(const Delivered&)>;

  static QZ::RCPtr<WatchedEngine> Create(QZ::NotificationName watched, bool open = false,
                                         MakeInterface makeInterface = nullptr) {
    QZ::RCPtr<WatchedEngine> engine(new WatchedEngine);
    engine->mWatched = watched;
    engine->mOpen = open;
    engine->mMakeInterface = std::move(makeInterface);
    return engine;
  }

  // The watched posts so far, once count of them match (waits up to kWaitBound).
  std::vector<Delivered> WaitFor(const Match& match, size_t count = 1) {
    std::unique_lock hold(mLock);
    WaitUntil(hold, mPosted, [&] { return size_t(std::count_if(mPosts.begin(), mPosts.end(), match)) >= count; });
    return mPosts;
  }

protected:
  QZ::RCPtr<LDeviceCommunicationInterfaceT<1>> CreateDeviceInterface() override {
    const QZ::RCPtr<LDeviceCommunicationInterfaceT<1>> device =
        mMakeInterface ? mMakeInterface() : Engine::CreateDeviceInterface();
    if (mOpen) {
      (void)device->Open(); // a library that does not bind leaves the interface offline, as tests of that want
    }
    return device;
  }
  void PostEngineNotification(QZ::NotificationName name, const QZ::RCPtr<QZ::LRefCountedObject>& parameter) override {
    if (mWatched && name == std::u16string_view(mWatched)) {
      std::lock_guard hold(mLock);
      mPosts.push_back({name, parameter});
      mPosted.notify_all();
    }
    Engine::PostEngineNotification(name, parameter);
  }

private:
  QZ::NotificationName mWatched = nullptr;
  bool mOpen = false;
  MakeInterface mMakeInterface;
  std::mutex mLock;
  std::condition_variable mPosted;
  std::vector<Delivered> mPosts;
};

} // namespace QZTest
