#include "UI/DriverCommon/MainControl.h"

#include <cstring>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"
#include "QZFramework/Utilities/Storage/SharedPair.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

namespace QZ {
namespace {

constexpr char kInitialize[] = "QZ::LMainControl::Initialize";
constexpr char kSource[] = R"(UI\DriverCommon\MainControl)";

// The number of whole records at the front of a List's block: each is led by its own byte
// length (the length word included). A length word below 4 would never advance and one
// reaching past the block names bytes that are not there: the count stops before either.
uint32_t CountListEntries(const Variant& list) {
  uint32_t size = 0;
  const auto* bytes = static_cast<const uint8_t*>(list.GetData(size));
  uint32_t count = 0;
  for (uint32_t offset = 0; bytes && size > 4 && offset < size - 4; ++count) {
    uint32_t length = 0;
    std::memcpy(&length, bytes + offset, sizeof(length));
    if (length < sizeof(length) || length > size - offset) {
      break;
    }
    offset += length;
  }
  return count;
}

// Puts the descriptor being applied back to "none" when the apply ends, also by a throw.
class ApplyingScope {
public:
  ApplyingScope(ParamDescriptor& applying, const ParamDescriptor& descriptor) : mApplying(applying) {
    mApplying = descriptor;
  }
  ApplyingScope(const ApplyingScope&) = delete;
  ApplyingScope& operator=(const ApplyingScope&) = delete;
  ~ApplyingScope() { mApplying = ParamDescriptor(0xFFFFFFFFu); }

private:
  ParamDescriptor& mApplying;
};

} // namespace

LMainControl::LMainControl(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

LMainControl::~LMainControl() = default;

LRootModuleEngine* LMainControl::Engine() {
  const IApplicationContext* context = GetApplicationContext();
  return context ? context->GetRootModuleEngine() : nullptr;
}

void LMainControl::EnableRemoteDevicePolling() {
  if (LRootModuleEngine* engine = Engine()) {
    // A failed search leaves polling off; the engine announces the device list either way.
    engine->EnableRemoteDevicePolling(true);
  }
}

QZResult LMainControl::Initialize() {
  QZResult result = LControl::Initialize();
  if (Succeeded(result) && Failed(CreateHandlerTable())) {
    result = QZ_E_FAIL;
  }
  if (Succeeded(result)) {
    mDevice = DynamicCast<::IDevice>(FindChildByName(WString(u"viewDevice")));
    if (!mDevice) {
      Throw<std::runtime_error>({kInitialize, kSource, 39}, "Null Pointer : LMainControl couldn't find viewDevice");
    }
    mStatusView = DynamicCast<LPanel>(FindChildByName(WString(u"viewStatus")));
    mDeviceSelector = DynamicCast<LPanel>(FindChildByName(WString(u"panelDeviceSelector")));
    Subscribe(&LMainControl::OnParamModuleStateChange,
              RCPtr<LNotificationDistributor>(GetApplicationNotificationCenter()),
              LRootModuleEngine::kParamModuleStateChange, {kInitialize, kSource, 44});
    const LRootModuleEngine* engine = Engine();
    SetFirstParamID(nullptr, engine ? engine->GetFirstParamID() : 0, 0);
  }
  EnableRemoteDevicePolling();
  return result;
}

int32_t LMainControl::AdjustRootWindowBounds(RectT<double>&) {
  EnableRemoteDevicePolling();
  return 0;
}

QZResult LMainControl::OnParamModuleStateChange(const RCPtr<LNotificationDistributor>&,
                                                const RCPtr<LNotification>& notification) {
  const RCPtr<LMainControl> self(this); // a panel's apply may close the window
  const RCPtr<LRefCountedObject> data = notification->GetParameter();
  if (const RCPtr<LParamValuePair> pair = DynamicCast<LParamValuePair>(data)) {
    ApplyParamValues(pair->first, pair->second);
  } else if (const RCPtr<LWrapper<ParamValues>> list = DynamicCast<LWrapper<ParamValues>>(data);
             list && list->GetType() == Variant::List) {
    const uint32_t count = CountListEntries(*list);
    for (uint32_t i = 0; i < count; ++i) {
      Variant value;
      Variant qualifier;
      uint32_t id = 0;
      if (list->GetParamValue(i, value, id, qualifier) == QZ_OK) {
        ApplyParamValues(ParamDescriptor(id, qualifier), value);
      }
    }
  }
  return QZ_FALSE;
}

int32_t LMainControl::ApplyParamValues(const ParamDescriptor& descriptor, const Variant& value) {
  const ApplyingScope applying(mApplying, descriptor);
  switch (int32_t(descriptor.id)) {
  case kConnectionStatusId:
  case kDeviceListStatusId:
  case kDeviceTextStatusId:
    // Status records: this build shows the connection state nowhere.
    break;
  default:
    if (value.GetType() != Variant::Empty) {
      if (const RCPtr<LParameterizedModule> module = GetModuleForParamID(descriptor.id)) {
        module->SetParamValueLocal(mApplying, value, true);
      }
    }
    break;
  }
  return 0;
}

int32_t LMainControl::RequestParamChange(const ParamDescriptor& descriptor, const Variant& value, int32_t) {
  if (descriptor == mApplying) {
    return QZ_FALSE;
  }
  LRootModuleEngine* engine = Engine();
  return engine ? engine->SetParamValue(descriptor, value) : int32_t(QZ_E_FAIL);
}

RCPtr<LParameterizedModule> LMainControl::GetModuleRaw(uint32_t) { return nullptr; }

int32_t LMainControl::SetParamValueByID(const ParamDescriptor&, const Variant&) { return QZ_E_NOTIMPL; }

int32_t LMainControl::GetParamValueByID(const ParamDescriptor&, Variant&) { return QZ_E_NOTIMPL; }

RCPtr<::IDevice> LMainControl::GetDeviceRaw() { return mDevice; }

} // namespace QZ
