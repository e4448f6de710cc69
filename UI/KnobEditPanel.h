#pragma once
// LKnobEditPanel ("PresetEditor.KnobUserPresetEditPanel", "PresetEditor.SliderUserPresetEditPanel"):
// the edit page of one knob or one fader and its slider-and-knob module: the element's MIDI
// channel ("midiChannel", first id) and the CC number it sends ("cc", first id + 1, a CC
// selector whose number takes 0 .. 127 and at most 3 digits). The header "label" names the
// element with its own "LABEL" ("Knob %d" on the knob page, "Fader %d" on the fader page)
// and the element index + 1.
//
//   knobPage->SetFirstParamID(userPreset, 32, 2);                     // "Knob 3"; 32 and 33
//   knobPage->SetParamValueLocal(QZ::ParamDescriptor(33), cc74, true); // "cc" shows 74
//   // The user picks "Channel 5": {05} goes to the main control for id 32.
//
// UI thread, like every control.

#include <cstdint>

#include "DeviceControl/GeneratedCode/Engine/Inc/RootModuleInterface.h"
#include "QZFramework/Controls/Panel.h"
#include "UI/ElementEditPanel.h"

class LKnobEditPanel : public LElementEditPanel<LKnobEditPanel, QZ::LPanel, ISliderAndKnob> {
public:
  LKnobEditPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // Initialize (LElementEditPanel) throws "Runtime Error : Null Pointer : Cannot find child
  // <name> : LKnobEditPanel::Initialize : UI\KnobEditPanel : Line <n>" for midiChannel (30),
  // cc (33) and cc->parameterControl->numericUpDown (36).

  // The header "label" shows its "LABEL" with index + 1. Throws "Runtime Error : Null
  // Pointer : Couldn't find child label : LKnobEditPanel::SetHeaderLabelText :
  // UI\KnobEditPanel : Line 93" without the label.
  virtual void SetHeaderLabelText(int32_t index);

protected:
  void ShowElementIndex(uint32_t index) override { SetHeaderLabelText(int32_t(index)); }
};
