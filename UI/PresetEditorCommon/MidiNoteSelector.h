#pragma once
// LMidiNoteSelector ("PresetEditor.Control.NoteSelector"): picks a MIDI note number in its
// numeric up-down ("numericUpDown", 0 .. 127) and names it beside it: the note
// ("noteNameLabel", flats only) and the octave ("octaveNameLabel", note 0 in octave -2),
// each from the entry at a position of its own string table ("ITEM.00" ...). It is the
// "parameterControl" of a labelled note selector, which hears its "NID_VALUE_CHANGE" and
// sends the note; the selector itself only keeps its own value (0 .. 127, normalised)
// equal to the up-down's and the labels in step.
//
//   note->SetValue(36.0 / 127.0);   // the up-down shows 36, the labels "C" "(1)"; one
//                                   // "NID_VALUE_CHANGE" of the selector
//   // The user steps the up-down from 59 to 60: the selector's value becomes 60, one
//   // "NID_VALUE_CHANGE", "C" "(3)".
//
// UI thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/NumericUpDown.h"
#include "QZFramework/Controls/Panel.h"

class LMidiNoteSelector : public QZ::LHandlerTableControl<LMidiNoteSelector, QZ::LPanel> {
public:
  LMidiNoteSelector(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The panel's, its handler table, the three children, the range 0 .. 127 on the up-down
  // and on itself, the labels, and the up-down's "NID_VALUE_CHANGE" heard. The panel's
  // result (no child looked up when no handler table can be made). A missing child throws
  // "Runtime Error : Null Pointer : Cannot find child <name> : LMidiNoteSelector::Initialize
  // : UI\PresetEditorCommon\MidiNoteSelector : Line <n>" (noteNameLabel 26, octaveNameLabel
  // 27, numericUpDown 28); a refused subscription "Failed Result : QZRESULT = <code> :
  // LMidiNoteSelector::Initialize : UI\PresetEditorCommon\MidiNoteSelector : Line 32".
  QZ::QZResult Initialize() override;
  // The up-down takes value first, then the selector stores what the up-down holds (raising
  // its "NID_VALUE_CHANGE" when that changed it); the value the selector then holds.
  double SetValue(double value) override;

  // label's text becomes the entry at position index of table (in key order): SetText's
  // result; 0, nothing changed, when table has no such entry or table or label is null.
  virtual QZ::QZResult SetLabelFromStringTable(const QZ::RCPtr<QZ::LStringTable>& table, uint32_t index,
                                               const QZ::RCPtr<QZ::LLabel>& label);
  // The note name (value mod 12) and the octave (value div 12) of the selector's value.
  void UpdateLabels();

  // The up-down's "NID_VALUE_CHANGE" (one carrying a QZ::LValueParam): the selector takes
  // the up-down's number, kept within 0 .. 127, and the labels follow. 1.
  QZ::QZResult OnNumericUpDownValueChange(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                          const QZ::RCPtr<QZ::LNotification>& notification);

  // The control's cycles first, then the panel's.
  QZ::QZResult ReleaseInternalReferences() override;

private:
  QZ::RCPtr<QZ::LLabel> mNoteNameLabel;
  QZ::RCPtr<QZ::LLabel> mOctaveLabel;
  QZ::RCPtr<QZ::LNumericUpDown> mUpDown;
};
