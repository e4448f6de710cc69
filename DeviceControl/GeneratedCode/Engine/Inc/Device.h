#pragma once
// QZ::LDevice: the engine's device module, the root's only child: the user preset at
// its first id and the global preset 140 ids later.
//
//   QZ::RCPtr<QZ::LDevice> device = QZ::LDevice::Create();   // whole subtree made
//   device->SetFirstParamID(root, 0, 0);
//   device->GetModuleForParamID(140);                          // the global preset
//
// Binding, routing and hooks are IDevice's; this class makes and holds the children.
// Threads: as every module (RootModuleInterface.h).

#include "DeviceControl/GeneratedCode/Engine/Inc/LeafModules.h"
#include "DeviceControl/GeneratedCode/Engine/Inc/UserPreset.h"

namespace QZ {

class LDevice final : public ::IDevice {
public:
  // A new, unbound device with its children, holding its first reference.
  static RCPtr<LDevice> Create();

  // Binds the children (IDevice), then throws "Logic Error : Invalid FirstParamID :
  // QZ::LDevice::SetFirstParamID : ..\DeviceControl\GeneratedCode\Engine\Src\Device :
  // Line 77" unless it sits at its top module's first id.
  void SetFirstParamID(LParameterizedModule* owner, uint32_t firstParamID, uint32_t index) override;
  // As the base, holding the owner by a counted reference during the call.
  int32_t SetParamValue(const ParamDescriptor& descriptor, const Variant& value, bool fromDevice) override;
  Variant GetParamValue(const ParamDescriptor& descriptor) const override;

  RCPtr<::IUserPreset> GetUserPreset() override;
  RCPtr<::IGlobalPreset> GetGlobalPreset() override;

  // Makes the user preset, then the global preset, releasing those they replace.
  virtual void CreateChildren();

private:
  LDevice() = default;

  RCPtr<LUserPreset> mUserPreset;
  RCPtr<LGlobalPreset> mGlobalPreset;
};

} // namespace QZ
