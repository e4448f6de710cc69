#pragma once
// LCommonButtonEditPanel ("PresetEditor.CommonButtonEditPanel", placed as "button" on the
// user preset's edit panel): the edit page of one of the nine hardware buttons and its
// hardware-button module. Seven selectors show the button's five parameters: "midiChannel"
// (first id), "mode" (first id + 1), the number (first id + 2) on three selectors of which
// the mode shows one ("cc" for the CC modes, "program", "note" for the note modes; the CC's
// and the note's up-downs take 0 .. 127 and at most 3 digits), "pressed" (first id + 3) and
// "released" (first id + 4), which the program mode hides. The header "label" names the
// button with the page's own "LABEL" ("Button %d") and the index + 1.
//
//   buttonPage->SetFirstParamID(userPreset, 64, 4);                       // "Button 5"; 64 .. 68
//   buttonPage->SetParamValueLocal(QZ::ParamDescriptor(65), mode2, true);  // only "program" of the three
//   buttonPage->SetParamValueLocal(QZ::ParamDescriptor(66), number60, true); // 60 on cc, note, program
//
// The visibility follows the mode value that comes back from the engine: a mode the user
// picks goes up as a change request and the page changes when the value returns.
// UI thread, like every control.

#include <cstdint>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/Controls/Panel.h"
#include "UI/ElementEditPanel.h"

class LCommonButtonEditPanel : public LElementEditPanel<LCommonButtonEditPanel, QZ::LPanel, IHardwareButton> {
public:
  LCommonButtonEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Initialize (LElementEditPanel) throws "Runtime Error : Null Pointer : Cannot find child
  // <name> : LCommonButtonEditPanel::Initialize : UI\ButtonEditPanel : Line <n>" for
  // midiChannel (30), mode (33), cc (36), cc->parameterControl->numericUpDown (39), note
  // (46), note->parameterControl->numericUpDown (49), program (54), pressed (named
  // "preased", 57) and released (60).

  // The header "label" shows the page's own "LABEL" with index + 1 (empty when the page's
  // place has no such entry). Throws "Runtime Error : Null Pointer : Couldn't find child
  // label : LCommonButtonEditPanel::SetLabelText : UI\ButtonEditPanel : Line 185" without
  // the label.
  virtual void SetLabelText(int32_t index);

  // k = id - first id: 0 .. 4 go to the selectors of k (the number to cc, note and program
  // in this order); a mode (k = 1) then shows the selectors of that mode, read as a signed
  // byte (another mode leaves them as they are). 0 for k 0 .. 4; QZ_E_FAIL, nothing
  // changed, for any other id. fromDevice is not used.
  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override;

protected:
  void ShowElementIndex(uint32_t index) override { SetLabelText(int32_t(index)); }

private:
  void ShowSelectorsOfMode(int8_t mode);
};
