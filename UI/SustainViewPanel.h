#pragma once
// LSustainViewPanel ("PresetEditor.UserSustain", "sustain1" of the controller picture): the
// sustain pedal as a module that only displays. It has no labels; every value it is handed,
// whatever its id, rebuilds its tool tip from the engine: "Sustain", the channel ("Channel:
// Global", "Channel: %d") and "CC: %d". The latch is not shown.
//
//   sustain1->SetFirstParamID(userPreset, 7, 0);
//   sustain1->SetParamValueLocal(QZ::ParamDescriptor(9), latchOn, true);
//   // tool tip "Sustain\nChannel: Global\nCC: 64" (engine: {00} {40})
//
// UI thread, like every control.

#include <cstdint>

#include "UI/ElementViewPanel.h"

class LSustainViewPanel : public LElementViewPanel<LSustainViewPanel, ISustain> {
public:
  LSustainViewPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // UpdateToolTip, whatever the id and the value: 0. fromDevice is not used.
  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override;
  // The tool tip from the engine's values of first id and first id + 1.
  virtual void UpdateToolTip();
};
