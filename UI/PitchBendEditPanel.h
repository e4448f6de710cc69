#pragma once
// LPitchBendEditPanel ("PresetEditor.PitchBendUserPresetEditPanel", "pitchBendWheel" on the
// wheels page): the edit page of the pitch-bend wheel and its pitch-bend module: its MIDI
// channel ("midiChannel", first id) and its lower and upper limits ("min", first id + 1,
// 0 .. 63; "max", first id + 2, 65 .. 127: the wheel's centre, 64, lies in neither). No
// header operation: the header label shows its own "LABEL" ("Pitch Bend").
//
//   pitchBend->SetFirstParamID(userPreset, 0, 0);                       // 0 .. 2
//   pitchBend->SetParamValueLocal(QZ::ParamDescriptor(2), max100, true); // "max" shows 100
//
// A value outside a limit's range is shown clamped to it; the engine keeps the value it
// holds (the main control does not send back what it is showing).
// UI thread, like every control.

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/Controls/Panel.h"
#include "UI/ElementEditPanel.h"

class LPitchBendEditPanel : public LElementEditPanel<LPitchBendEditPanel, QZ::LPanel, IPitchbend> {
public:
  // The limits' ranges.
  static constexpr double kMinLowest = 0.0;
  static constexpr double kMinHighest = 63.0;
  static constexpr double kMaxLowest = 65.0;
  static constexpr double kMaxHighest = 127.0;

  LPitchBendEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Initialize (LElementEditPanel) throws "Runtime Error : Null Pointer : Cannot find child
  // <name> : LPitchBendEditPanel::Initialize : UI\PitchBendEditPanel : Line <n>" for
  // midiChannel (30), min (33) and max (36); a limit without its "parameterControl" keeps
  // no range of its own. SetParamValueLocal answers 0 for every id; ids outside first id ..
  // + 2 change nothing.

protected:
  // The limits' parameter controls get their ranges, replacing the selectors' 0 .. 127.
  void SetUpPage() override;
};
