#pragma once
// Test harness of the device-control engine: an installed fake application whose
// "application" centre records what it delivers, and an engine whose posts can be waited
// for and whose device interface may be opened on the device-control library stand-in.
//
//   QZTest::ApplicationCentre app;                                   // installed
//   auto engine = QZTest::WatchedEngine<QZ::LPresetEditorAppEngine>::Create();
//   engine->Initialize(0);
//   std::vector<QZTest::Delivered> heard = app.Drain();

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
  bool Is(QZ::NotificationName id) const { return name == id; }
};

// The {id, value} of a notification that carries one pair; {0xFFFFFFFF, Empty} otherwise.
inline std::pair<uint32_t, QZ::Variant> PairOf(const Delivered& delivered) {
  const auto pair = delivered.As<QZ::LParamValuePair>();
  return pair ? std::make_pair(pair->first.id, pair->second) : std::make_pair(0xFFFFFFFFu, QZ::Variant());
}

inline QZ::Variant Bytes(std::initializer_list<uint8_t> bytes) {
  QZ::Variant value;
  value.SetBuffer(std::data(bytes), uint32_t(bytes.size()));
  return value;
}

class DeliveryRecorder : public QZ::LNotificationClient {
public:
  QZ::QZResult ReceiveNotification(const QZ::RCPtr<QZ::LNotificationDistributor>&,
                                   const QZ::RCPtr<QZ::LNotification>& notification) override {
    heard.push_back({notification->GetID(), notification->GetParameter()});
    return QZ::QZ_OK;
  }
  std::vector<Delivered> heard;
};

class ApplicationCentre {
public:
  ApplicationCentre() {
    application.SetApplicationNotificationCenter(centre.Get());
    for (QZ::NotificationName name :
         {LRootModuleEngine::kParamModuleStateChange, LRootModuleEngine::kDeviceConnectionStateChange,
          LRootModuleEngine::kRemoteDeviceListChange}) {
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
  QZ::RCPtr<DeliveryRecorder> recorder{new DeliveryRecorder};
};

// The keyboard's side of the library stand-in: a binding of its own, as another program
// would hold it, to change the keyboard's memory or drop its connection. Make it while a
// DriverRegistry names the stand-in.
struct KeyboardSide {
  int32_t Set(uint32_t param, const QZ::Variant& value) {
    const QZ::ParamDescriptor descriptor(param);
    return library.SetParamValue(&id, &descriptor, &value);
  }

  ReportedLists reports; // of the side's own connection; outlives it
  QZ::DeviceControlClientInterface library{QZ::DeviceControlClientInterface::FindLibraryPath()};
  QZ::Variant id = Make(&QZ::Variant::SetString, "QUORIN 49 ZTR");
};

// An Engine that keeps a copy of every post, and whose device interface is made by
// makeInterface (a plain one unless set), opened on the library when `open` is set.
template <class Engine>
class WatchedEngine : public Engine {
public:
  using MakeInterface = std::function<QZ::RCPtr<LDeviceCommunicationInterfaceT<1>>()>;

  static QZ::RCPtr<WatchedEngine> Create(bool open = false, MakeInterface makeInterface = nullptr) {
    QZ::RCPtr<WatchedEngine> engine(new WatchedEngine);
    engine->mOpen = open;
    engine->mMakeInterface = std::move(makeInterface);
    return engine;
  }

  // Waits up to 10 s until count posts of name satisfy match; whether they did.
  bool WaitFor(QZ::NotificationName name, const std::function<bool(const Delivered&)>& match, size_t count = 1) {
    std::unique_lock hold(mLock);
    return mPosted.wait_for(hold, std::chrono::seconds(10), [&] { return Count(name, match) >= count; });
  }
  std::vector<Delivered> Posts(QZ::NotificationName name) {
    std::lock_guard hold(mLock);
    std::vector<Delivered> found;
    for (const Delivered& post : mPosts) {
      if (post.Is(name)) {
        found.push_back(post);
      }
    }
    return found;
  }
  // The states posted, in order.
  std::vector<int32_t> States() {
    std::vector<int32_t> states;
    for (const Delivered& post : Posts(LRootModuleEngine::kDeviceConnectionStateChange)) {
      states.push_back(post.As<EngineState>()->GetValue());
    }
    return states;
  }

protected:
  QZ::RCPtr<LDeviceCommunicationInterfaceT<1>> CreateDeviceInterface() override {
    QZ::RCPtr<LDeviceCommunicationInterfaceT<1>> device =
        mMakeInterface ? mMakeInterface() : Engine::CreateDeviceInterface();
    if (mOpen) {
      device->Open();
    }
    return device;
  }
  void PostEngineNotification(QZ::NotificationName name, const QZ::RCPtr<QZ::LRefCountedObject>& parameter) override {
    {
      std::lock_guard hold(mLock);
      mPosts.push_back({name, parameter});
    }
    mPosted.notify_all();
    Engine::PostEngineNotification(name, parameter);
  }

private:
  size_t Count(QZ::NotificationName name, const std::function<bool(const Delivered&)>& match) const {
    size_t count = 0;
    for (const Delivered& post : mPosts) {
      count += post.Is(name) && match(post) ? 1 : 0;
    }
    return count;
  }

  bool mOpen = false;
  MakeInterface mMakeInterface;
  std::mutex mLock;
  std::condition_variable mPosted;
  std::vector<Delivered> mPosts;
};

} // namespace QZTest
