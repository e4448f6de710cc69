#pragma once
// LModWheelEditPanel ("PresetEditor.ModWheelUserPresetEditPanel", "modWheel" on the wheels
// page): the edit page of the modulation wheel and its mod-wheel module: its MIDI channel
// ("midiChannel", first id), the CC number it sends ("cc", first id + 1, a CC selector whose
// number takes 0 .. 127 and at most 3 digits) and the lowest and highest value it sends
// ("min", first id + 2, and "max", first id + 3, 0 .. 127 each). No header operation: the
// header label shows its own "LABEL" ("Mod Wheel").
//
//   modWheel->SetFirstParamID(userPreset, 3, 0);                        // 3 .. 6
//   modWheel->SetParamValueLocal(QZ::ParamDescriptor(4), cc1, true);    // 1 "Modulation"
//
// UI thread, like every control.

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/Controls/Panel.h"
#include "UI/ElementEditPanel.h"

class LModWheelEditPanel : public LElementEditPanel<LModWheelEditPanel, QZ::LPanel, IModWheel> {
public:
  LModWheelEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Initialize (LElementEditPanel) throws "Runtime Error : Null Pointer : Cannot find child
  // <name> : LModWheelEditPanel::Initialize : UI\ModWheelEditPanel : Line <n>" for
  // midiChannel (30), cc (33), cc->parameterControl->numericUpDown (36), max (41) and min
  // (44). SetParamValueLocal answers 0 for every id; ids outside first id .. + 3 change
  // nothing.
};
