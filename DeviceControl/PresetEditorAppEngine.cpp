#include "DeviceControl/PresetEditorAppEngine.h"

namespace QZ {

RCPtr<::LRootModuleEngine> LPresetEditorAppEngine::Create() {
  return RCPtr<::LRootModuleEngine>(new LPresetEditorAppEngine);
}

void LPresetEditorAppEngine::Initialize(uint32_t firstParamID) {
  LRootModuleEngine::Initialize(firstParamID);
  ForceConnectionState(kConnected);
}

int32_t LPresetEditorAppEngine::SetParamValue(const ParamDescriptor& descriptor, const Variant& value) {
  return SetParamValueWithoutStateCheck(descriptor, value);
}

bool LPresetEditorAppEngine::IsStoredDeviceAvailable() { return false; }

} // namespace QZ
