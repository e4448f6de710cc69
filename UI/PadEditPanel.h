#pragma once
// LPadEditPanel ("PresetEditor.PadUserPresetEditPanel"): the edit page of one of the sixteen
// pads and its pad module: the pad's MIDI channel ("midiChannel", first id) and the note it
// plays ("note", first id + 1, a note selector whose number takes 0 .. 127 and at most 3
// digits). The header "label" names the pad with its "LABEL" ("Bank %d, Pad %d"): pads 0 .. 7
// are bank 1, pads 8 .. 15 bank 2.
//
//   padPage->SetFirstParamID(userPreset, 105, 8);                       // "Bank 2, Pad 1"
//   padPage->SetParamValueLocal(QZ::ParamDescriptor(106), note36, true); // 36 "C" "(1)"
//
// UI thread, like every control.

#include <cstdint>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/Controls/Panel.h"
#include "UI/ElementEditPanel.h"

class LPadEditPanel : public LElementEditPanel<LPadEditPanel, QZ::LPanel, IPad> {
public:
  // Pads per bank.
  static constexpr int32_t kPadsPerBank = 8;

  LPadEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Initialize (LElementEditPanel) throws "Runtime Error : Null Pointer : Cannot find child
  // <name> : LPadEditPanel::Initialize : UI\PadEditPanel : Line <n>" for midiChannel (33),
  // note (36) and note->parameterControl->numericUpDown (39).

  // The header "label" shows its "LABEL" with index / 8 + 1 and index % 8 + 1. Throws
  // "Runtime Error : Null Pointer : Couldn't find child label :
  // LPadEditPanel::SetHeaderLabelText : UI\PadEditPanel : Line 93" without the label.
  virtual void SetHeaderLabelText(int32_t index);

protected:
  void ShowElementIndex(uint32_t index) override { SetHeaderLabelText(int32_t(index)); }
};
