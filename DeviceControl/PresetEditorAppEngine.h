#pragma once
// QZ::LPresetEditorAppEngine: the engine the preset editor runs. The parameter model works
// as a value store whether or not a controller is reachable through the device-control
// library: the root module starts offline, the state is connected from Initialize on,
// and sets are never refused for the state.
//
//   QZ::RCPtr<LRootModuleEngine> engine = QZ::LPresetEditorAppEngine::Create();
//   engine->Initialize(0);                           // state 3, no state notification
//   engine->SetParamValue(QZ::ParamDescriptor(5), value);
//
// The engine never connects or reconnects by itself (no stored device counts as
// available), so its thread runs only while remote polling is on or a connect keeps it
// busy. A failed set (an id outside the 145) re-checks the connection, which may then
// fall to 0 and be announced; later sets still work. Threads: as LRootModuleEngine.

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleEngine.h"

namespace QZ {

class LPresetEditorAppEngine : public ::LRootModuleEngine {
public:
  // A new engine holding its first reference; Initialize it next.
  static RCPtr<::LRootModuleEngine> Create();

  // The base's, then the state kConnected without a notification.
  void Initialize(uint32_t firstParamID) override;
  // The root module's SetParamValueByID in any state; a failure re-checks the connection.
  int32_t SetParamValue(const ParamDescriptor& descriptor, const Variant& value) override;
  // False: no stored device is ever reconnected.
  bool IsStoredDeviceAvailable() override;

protected:
  LPresetEditorAppEngine() = default;
};

} // namespace QZ
