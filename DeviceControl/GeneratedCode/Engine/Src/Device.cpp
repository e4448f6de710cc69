#include "DeviceControl/GeneratedCode/Engine/Inc/Device.h"

namespace QZ {

RCPtr<LDevice> LDevice::Create() {
  RCPtr<LDevice> device(new LDevice);
  device->CreateChildren();
  return device;
}

void LDevice::SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) {
  IDevice::SetFirstParamID(owner, firstParamID, index);
  if (GetRelativeFirstParamID() != 0) {
    Throw<std::logic_error>({"QZ::LDevice::SetFirstParamID", R"(..\DeviceControl\GeneratedCode\Engine\Src\Device)", 77},
                            "Invalid FirstParamID");
  }
}

int32_t LDevice::SetParamValue(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) {
  return SetParamValueHoldingOwner(descriptor, value, fromDevice);
}

Variant LDevice::GetParamValue(const ParamDescriptor& descriptor) const {
  return GetParamValueHoldingOwner(descriptor);
}

RCPtr<::IUserPreset> LDevice::GetUserPreset() { return mUserPreset; }

RCPtr<::IGlobalPreset> LDevice::GetGlobalPreset() { return mGlobalPreset; }

void LDevice::CreateChildren() {
  mUserPreset = LUserPreset::Create();
  mGlobalPreset = LGlobalPreset::Create();
}

} // namespace QZ
