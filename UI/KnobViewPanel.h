#pragma once
// LKnobViewPanel ("PresetEditor.UserKnob", "PresetEditor.UserSlider"): one knob or fader of
// the controller picture, a slider-and-knob module that only displays. "channelLabel" shows
// the channel it is handed (its "LABEL", "CH: %s", with the short channel text: "CH: G",
// "CH: 5", "CH: Z2"), "ccLabel" the CC number ("CC: %d"). Every value it is handed rebuilds
// its three-line tool tip from the engine: "Knob: %d" (a first id of 28 or more) or
// "Fader: %d" with the index + 1, the channel ("Channel: Global", "Channel: %d", the number
// as it is) and "CC: %d".
//
//   knob3->SetFirstParamID(userPreset, 32, 2);
//   knob3->SetParamValueLocal(QZ::ParamDescriptor(33), cc74, true);
//   // "CC: 74"; tool tip "Knob: 3\nChannel: Global\nCC: 74" with the engine holding {00} {4A}
//
// UI thread, like every control.

#include <cstdint>

#include "UI/ElementViewPanel.h"

class LKnobViewPanel : public LElementViewPanel<LKnobViewPanel, ISliderAndKnob> {
public:
  // First ids from this one on are knobs; below it faders.
  static constexpr uint32_t kFirstKnobParamId = 28;

  LKnobViewPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The view's (LElementViewPanel), then "ccLabel" and "channelLabel" when the skin has
  // them. The panel's result; QZ_E_FAIL without a handler table.
  QZ::QZResult Initialize() override;
  // first id + 0: a one-byte channel goes to the channel label (a value of another size
  // leaves it); first id + 1: the CC number, as an unsigned byte, to the CC label. 0 for
  // these when their label exists, QZ_E_FAIL for any other id or a missing label. The tool
  // tip is rebuilt in every case. fromDevice is not used.
  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override;
  // The tool tip from the engine's values of first id and first id + 1.
  virtual void UpdateToolTip();

  // The control's cycles first, then the panel's.
  QZ::QZResult ReleaseInternalReferences() override;

private:
  QZ::RCPtr<QZ::LLabel> mCcLabel;
  QZ::RCPtr<QZ::LLabel> mChannelLabel;
};
