#include "DeviceControl/GeneratedCode/Engine/Inc/ParameterLayout.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"

using QZ::ConstRCPtr;
using QZ::RCPtr;
namespace Layout = QZ::ParameterLayout;

void IDevice::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  LParameterizedModule::SetFirstParamID(owner, firstParamID, index);
  if (const RCPtr<IUserPreset> userPreset = GetUserPreset()) {
    userPreset->SetFirstParamID(this, firstParamID, 0);
  }
  if (const RCPtr<IGlobalPreset> globalPreset = GetGlobalPreset()) {
    globalPreset->SetFirstParamID(this, firstParamID + Layout::kGlobalPresetFirstID, 0);
  }
}

RCPtr<LParameterizedModule> IDevice::GetModuleForParamID(uint32_t id) {
  const uint32_t offset = id - GetFirstParamID();
  RCPtr<LParameterizedModule> child;
  if (offset < Layout::kUserPresetParameterCount) {
    child = GetUserPreset();
  } else if (offset < Layout::kParameterCount) {
    child = GetGlobalPreset();
  }
  return child ? child->GetModuleForParamID(id) : nullptr;
}

void IDevice::PropagateHookA() {
  if (const RCPtr<IUserPreset> userPreset = GetUserPreset()) {
    userPreset->PropagateHookA();
  }
  if (const RCPtr<IGlobalPreset> globalPreset = GetGlobalPreset()) {
    globalPreset->PropagateHookA();
  }
}

void IDevice::PropagateHookB() {
  if (const RCPtr<IUserPreset> userPreset = GetUserPreset()) {
    userPreset->PropagateHookB();
  }
  if (const RCPtr<IGlobalPreset> globalPreset = GetGlobalPreset()) {
    globalPreset->PropagateHookB();
  }
}

ConstRCPtr<IUserPreset> IDevice::GetUserPresetConst() const { return const_cast<IDevice*>(this)->GetUserPreset(); }

ConstRCPtr<IGlobalPreset> IDevice::GetGlobalPresetConst() const {
  return const_cast<IDevice*>(this)->GetGlobalPreset();
}
