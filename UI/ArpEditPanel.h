#pragma once
// LArpEditPanel ("PresetEditor.ArpUserPresetEditPanel"): the arpeggiator page of the
// keyboard section (a scroll view) and the arpeggiator module of the editor's module tree.
// Its five selectors are bound by child name, whatever order the skin lays them out in:
// "octave" first id ("0", "1", "2"), "latch" + 1 (a toggle sending {00} off, {01} on),
// "type" + 2 ("Up" .. "Chord"), "gate" + 3 ("5%" .. "100 %"), "swing" + 4 ("50%" .. "75%").
//
//   arp->SetFirstParamID(userPreset, 124, 0);                      // latch 125, type 126 ...
//   arp->SetParamValueLocal(QZ::ParamDescriptor(127), gate5, true); // {05}: "50 %"
//   // The user turns the latch on: {01} goes to the main control for id 125.
//
// UI thread, like every control.

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/Controls/ScrollView.h"
#include "UI/ElementEditPanel.h"

class LArpEditPanel : public LElementEditPanel<LArpEditPanel, QZ::LScrollView, IArp> {
public:
  LArpEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Initialize (LElementEditPanel) throws "Runtime Error : Null Pointer : Cannot find child
  // <name> : LArpEditPanel::Initialize : UI\ArpEditPanel : Line <n>" for latch (33), type
  // (36), octave (39), gate (42) and swing (45). SetFirstParamID binds them in that order.

protected:
  // The latch's "parameterControl" takes 0 .. 1, so the toggle sends 1 rather than 127 and
  // shows on for 1. A latch selector without one sends nothing and is left as it is.
  void SetUpPage() override;
};
