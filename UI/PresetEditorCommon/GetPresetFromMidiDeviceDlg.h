#pragma once
// LGetPresetFromMidiDeviceDlg ("PresetEditor.Dialog.RetrievePresetFromHardware", skin entry
// "dialogRetrievePresetFromHardware"): retrieves a preset from the keyboard. The user picks
// the keyboard's memory place in "presetSlot"/"comboBox" (0 "RAM", 1 to 10 "Preset 1" to
// "Preset 10") and clicks "getButton"; the outcome is told in a message box and a retrieve
// that did not fail closes the dialog (result 0).
//
//   // the device view, global settings tab: no dialog, the global settings (slot -1)
//   midi->SetParamRange({140, 5});
//   LGetPresetFromMidiDeviceDlg::GetPresetFromDevice(-1);   // the manager's result, box shown
//
// Boxes (caption / text from the editor's string table, style 0; an empty text shows none):
//   0 or more  "Retrieve Successful" / "The preset has been successfully retrieved"
//   -2         "Retrieve Preset Error" / the firmware text
//   any other  "Retrieve Preset Error" / "The Preset has failed to get from the device. ..."
//
// UI thread; a retrieve blocks it while the MIDI manager waits for the keyboard.

#include <cstdint>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Dialog.h"

class LGetPresetFromMidiDeviceDlg : public QZ::LHandlerTableControl<LGetPresetFromMidiDeviceDlg, QZ::LDialog> {
public:
  using LHandlerTableControl::LHandlerTableControl; // (parent, name)

  // Retrieves preset slot (-1 the global settings, 0 RAM, 1 to 10 the stored presets) of the
  // parameter range the MIDI manager was given, through the editor host's manager, and
  // shows the outcome (table above). The manager's result; -1 without a manager.
  static int32_t GetPresetFromDevice(int32_t presetSlot);

  // The dialog's, its handler table, then "getButton"'s clicks heard. The dialog's failure
  // as it is. Throws "Failed Result : QZRESULT = 8007000E : LGetPresetFromMidiDeviceDlg::
  // Initialize : UI\PresetEditorCommon\GetPresetFromMidiDeviceDlg : Line 43" without a
  // table, "Runtime Error : Null Pointer : Cannot find child getButton : ... : Line 47"
  // without the button and "Failed Result : QZRESULT = <code> : ... : Line 48" when its
  // clicks cannot be heard.
  QZ::QZResult Initialize() override;

  // "getButton" clicked: retrieves the slot selected in "presetSlot"/"comboBox" (-1 without
  // them) and ends the dialog with 0 unless the retrieve failed. 1.
  QZ::QZResult OnGetButtonClick(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                const QZ::RCPtr<QZ::LNotification>& notification);
};
