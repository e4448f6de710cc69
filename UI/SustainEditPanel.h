#pragma once
// LSustainEditPanel ("PresetEditor.SustainUserPresetEditPanel", the page "sustain" of the
// user preset's edit panel): the edit page of the sustain pedal and its sustain module: the
// pedal's MIDI channel ("midiChannel", first id), the CC number it sends ("cc", first id + 1,
// a CC selector whose number takes 0 .. 127 and at most 3 digits) and whether it latches
// ("latch", first id + 2, a toggle that sends {01} when on and {00} when off). No header
// operation: the header label shows its own "LABEL" ("Sustain").
//
//   sustain->SetFirstParamID(userPreset, 7, 0);                        // 7, 8, 9
//   sustain->SetParamValueLocal(QZ::ParamDescriptor(8), cc64, true);   // 64 "Sustain Pedal"
//   // The user switches the latch on: {01} goes to the main control for id 9.
//
// UI thread, like every control.

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/Controls/Panel.h"
#include "UI/ElementEditPanel.h"

class LSustainEditPanel : public LElementEditPanel<LSustainEditPanel, QZ::LPanel, ISustain> {
public:
  LSustainEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Initialize (LElementEditPanel) throws "Runtime Error : Null Pointer : Cannot find child
  // <name> : LSustainEditPanel::Initialize : UI\SustainEditPanel : Line <n>" for
  // midiChannel (30), cc (33), cc->parameterControl->numericUpDown (36) and latch (40); a
  // latch without its "parameterControl" is left as it is. SetParamValueLocal answers 0 for
  // every id; ids outside first id .. + 2 change nothing.

protected:
  // The latch's toggle sends 0 and 1 rather than the selector's 0 and 127.
  void SetUpPage() override;
};
