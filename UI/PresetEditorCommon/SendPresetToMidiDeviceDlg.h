#pragma once
// LSendPresetToMidiDeviceDlg ("PresetEditor.Dialog.SendPresetToHardware", skin entry
// "dialogSendPreset"): sends the edited user preset to the keyboard. The user picks the
// keyboard's memory place in "presetSlot"/"comboBox" (0 "RAM", 1 to 10 "Preset 1" to
// "Preset 10") and clicks "send"; the outcome is told in a message box and a send that did
// not fail closes the dialog (result 0).
//
//   // the device view, global settings tab: no dialog, the global settings (slot -1)
//   midi->SetParamRange({140, 5});
//   LSendPresetToMidiDeviceDlg::SendPresetToDevice(-1);   // the manager's result, box shown
//
// Boxes (caption / text from the editor's string table, style 0; an empty text shows none):
//   0 or more  "Send Success" / "The preset has been successfully sent to the device"
//   -2         "Send Preset Error" / the firmware text
//   any other  "Send Preset Error" / "Error connecting to device. Verify your Tarn Keyboard ..."
//
// UI thread.

#include <cstdint>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Dialog.h"

class LSendPresetToMidiDeviceDlg : public QZ::LHandlerTableControl<LSendPresetToMidiDeviceDlg, QZ::LDialog> {
public:
  using LHandlerTableControl::LHandlerTableControl; // (parent, name)

  // Sends the engine's values of the parameter range the MIDI manager was given into preset
  // slot (-1 the global settings, 0 RAM, 1 to 10 the stored presets), through the editor
  // host's manager, and shows the outcome (table above). The manager's result; -1 without a
  // manager.
  static int32_t SendPresetToDevice(int32_t presetSlot);

  // The dialog's, its handler table, then "send"'s clicks heard. The dialog's failure as it
  // is. Throws "Failed Result : QZRESULT = 8007000E : LSendPresetToMidiDeviceDlg::Initialize
  // : UI\PresetEditorCommon\SendPresetToMidiDeviceDlg : Line 42" without a table, "Runtime
  // Error : Null Pointer : Cannot find child send : ... : Line 46" without the button and
  // "Failed Result : QZRESULT = <code> : ... : Line 47" when its clicks cannot be heard.
  QZ::QZResult Initialize() override;

  // "send" clicked: sends into the slot selected in "presetSlot"/"comboBox" (-1 without
  // them) and ends the dialog with 0 unless the send failed. 1.
  QZ::QZResult OnSendButtonClick(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                 const QZ::RCPtr<QZ::LNotification>& notification);
};
