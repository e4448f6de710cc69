#pragma once
// LNumberBoxTextSelector ("PresetEditor.Control.CCSelector"): picks a number in its numeric
// up-down ("numericUpDown") and shows beside it ("label") the name its string table gives
// that number: the entry at that position, "TEXT.000" .. "TEXT.127" of
// "PresetEditor.Control.CCSelector|label" ("Bank Select", "Modulation" ... "Controller 3").
// It is the "parameterControl" of a labelled CC selector, which gives it its range (0 ..
// 127) and sends the number it announces; the edit page gives the up-down the same range
// and three digits. It sets no range itself.
//
//   cc->SetValue(74.0 / 127.0);   // up-down and selector 74, "Cutoff Frequency"; one
//                                 // "NID_VALUE_CHANGE" of the selector
//
// UI thread, like every control.

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Label.h"
#include "QZFramework/Controls/NumericUpDown.h"
#include "QZFramework/Controls/Panel.h"

class LNumberBoxTextSelector : public QZ::LHandlerTableControl<LNumberBoxTextSelector, QZ::LPanel> {
public:
  LNumberBoxTextSelector(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The panel's, its handler table, "label" and "numericUpDown", the up-down's
  // "NID_VALUE_CHANGE" heard, then the label shows the up-down's number. The panel's result
  // on every path (nothing looked up when no handler table can be made). A missing child
  // throws "Runtime Error : Null Pointer : Cannot find child <name> :
  // LNumberBoxTextSelector::Initialize : UI\PresetEditorCommon\NumberBoxTextSelector : Line
  // <n>" (label 26, numericUpDown 27); a refused subscription "Failed Result : QZRESULT =
  // <code> : LNumberBoxTextSelector::Initialize : UI\PresetEditorCommon\NumberBoxTextSelector
  // : Line 31".
  QZ::QZResult Initialize() override;
  // The up-down takes value first, then the selector stores what the up-down holds (raising
  // its "NID_VALUE_CHANGE" when that changed it); the value the selector then holds.
  double SetValue(double value) override;

  // The label shows the entry at the up-down's number; a number past the table's entries
  // leaves it.
  void UpdateText();

  // The up-down's "NID_VALUE_CHANGE" (one carrying a QZ::LValueParam): the selector takes
  // the up-down's number, kept within its own range, and the label follows. 1.
  QZ::QZResult OnNumericUpDownValueChange(const QZ::RCPtr<QZ::LNotificationDistributor>& source,
                                          const QZ::RCPtr<QZ::LNotification>& notification);

  // The control's cycles first, then the panel's.
  QZ::QZResult ReleaseInternalReferences() override;

private:
  QZ::RCPtr<QZ::LLabel> mLabel;
  QZ::RCPtr<QZ::LNumericUpDown> mUpDown;
};
