#pragma once
// LCommonButtonViewPanel ("PresetEditor.CommonButton", "button1" .. "button9" of the
// controller picture): one hardware button as a module that only displays. "channelLabel"
// shows the channel it is handed ("CH: %s" with "G" for the global channel, else the
// number); "messageLabel" shows what the button sends by the engine's mode and number ("CC:
// %d", "PG: %d", "NT: %d", or a single space for a mode it does not know). The tool tip,
// rebuilt from the engine with every value: "Button: %d" (index + 1), the channel
// ("Channel: Global", "Channel: %d") and, by mode, "CC: %d", "Program: %d" or "Note: %d".
//
//   button3->SetFirstParamID(userPreset, 54, 2);
//   button3->SetParamValueLocal(QZ::ParamDescriptor(54), channel0, true);
//   // "CH: G", "PG: 5"; tool tip "Button: 3\nChannel: Global\nProgram: 5" (engine: {00} {02} {05})
//
// UI thread, like every control.

#include <cstdint>

#include "UI/ElementViewPanel.h"

class LCommonButtonViewPanel : public LElementViewPanel<LCommonButtonViewPanel, IHardwareButton> {
public:
  LCommonButtonViewPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The view's (LElementViewPanel), then "messageLabel" and "channelLabel" when the skin
  // has them. The panel's result; QZ_E_FAIL without a handler table.
  QZ::QZResult Initialize() override;
  // First id + 0: a one-byte channel goes to the channel label when there is one (a value
  // of another size leaves it). 0 for first id + 0 and + 1, QZ_E_FAIL for any other id;
  // then, in every case, UpdateMessageLabel and UpdateToolTip. fromDevice is not used.
  int32_t SetParamValueLocal(const QZ::ParamDescriptor& descriptor, const QZ::Variant& value, bool fromDevice) override;
  // The message label from the engine's mode (first id + 1) and number (first id + 2);
  // nothing without the label.
  virtual void UpdateMessageLabel();
  // The tool tip from the engine's channel, mode and number.
  virtual void UpdateToolTip();

  // The control's cycles first, then the panel's.
  QZ::QZResult ReleaseInternalReferences() override;

private:
  QZ::RCPtr<QZ::LLabel> mMessageLabel;
  QZ::RCPtr<QZ::LLabel> mChannelLabel;
};
