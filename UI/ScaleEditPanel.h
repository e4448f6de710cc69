#pragma once
// LScaleEditPanel ("PresetEditor.ScaleModeUserPresetEditPanel"): the scale page of the
// keyboard section (a scroll view) and the scale module of the editor's module tree: the
// root note ("rootNote", first id: "C" .. "B") and the scale the keys are fitted to
// ("scale", first id + 1: "Major" .. "Blues"), each sent and shown as its item index.
//
//   scale->SetFirstParamID(userPreset, 138, 0);                       // scale 139, root 138
//   scale->SetParamValueLocal(QZ::ParamDescriptor(138), nine, true);  // {09}: "A"
//   // The user picks "Dorian": {06} goes to the main control for id 139.
//
// UI thread, like every control.

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/Controls/ScrollView.h"
#include "UI/ElementEditPanel.h"

class LScaleEditPanel : public LElementEditPanel<LScaleEditPanel, QZ::LScrollView, IScale> {
public:
  LScaleEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Initialize (LElementEditPanel) throws "Runtime Error : Null Pointer : Cannot find child
  // <name> : LScaleEditPanel::Initialize : UI\ScaleEditPanel : Line <n>" for scale (30) and
  // rootNote (33). SetFirstParamID binds them in that order.
};
