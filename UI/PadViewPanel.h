#pragma once
// LPadViewPanel ("PresetEditor.UserPad"): one of the sixteen pads of the controller picture,
// a pad module that only displays. "channelLabel" shows the channel it is handed ("CH: %s"
// with the short channel text); "messageLabel" always shows the note the engine holds
// ("NT: %d"), whatever value arrives. The three-line tool tip, rebuilt from the engine with
// every value: "Pad: %d" (index + 1), the channel ("Channel: Global", "Channel: %d" for 1 ..
// 16, "Channel: Omni" for 21, "Channel: Zone %d" with the byte - 16 otherwise) and
// "Note: %d".
//
//   pad9->SetFirstParamID(userPreset, 105, 8);
//   pad9->SetParamValueLocal(QZ::ParamDescriptor(105), channel18, true);
//   // "CH: Z2", "NT: 40"; tool tip "Pad: 9\nChannel: Zone 2\nNote: 40" (engine: {12} {28})
//
// UI thread, like every control.

#include <cstdint>

#include "UI/ElementViewPanel.h"

class LPadViewPanel : public LElementViewPanel<LPadViewPanel, IPad> {
public:
  LPadViewPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The view's (LElementViewPanel), then "messageLabel" and "channelLabel" when the skin
  // has them. The panel's result; QZ_E_FAIL without a handler table.
  QZ::QZResult Initialize() override;
  // The first id with a channel label: a one-byte channel is shown on it (a value of
  // another size leaves it), 0. Any other id, or no channel label: QZ_E_FAIL, nothing taken
  // from the value. Then, in every case, UpdateNoteLabel and UpdateToolTip. fromDevice is
  // not used.
  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override;
  // "NT: %d" with the engine's note (first id + 1) on the message label; nothing without
  // one.
  virtual void UpdateNoteLabel();
  // The tool tip from the engine's values of first id and first id + 1.
  virtual void UpdateToolTip();

  // The control's cycles first, then the panel's.
  QZ::QZResult ReleaseInternalReferences() override;

private:
  QZ::RCPtr<QZ::LLabel> mChannelLabel;
  QZ::RCPtr<QZ::LLabel> mMessageLabel;
};
