#pragma once
// LChordModeNoteVariantBufferSetterParameterPanel ("PresetEditor.Control.LabeledChordNoteSelector"):
// the labelled combo box of one user chord note. It fills its list itself with the MIDI notes
// of the keyboard model ("C (3)" .. "C (5)" on the 25-key model, "C (2)" .. "C (6)" on the 49,
// "C (2)" .. "C (7)" on the 61), after an "OFF" item unless it is one of the two notes a chord
// needs (ids 132 and 133 without qualifier). The list follows the model: it is rebuilt when
// the tree subscribes and on every "NID_DEVICE_MODEL_SELECTION_CHANGED". The chosen note goes
// straight to the application engine's SetParamValue, not through the main control.
//
//   note3->SetParameter(QZ::ParamValue(134));   // user chord note 3
//   note3->SetValue(sixty);                      // {3C} on the 25-key model: "C (4)", index 13
//   // The user picks "OFF": the engine holds {00} for 134.
//
// UI thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"

class LChordModeNoteVariantBufferSetterParameterPanel
    : public QZ::LHandlerTableControl<LChordModeNoteVariantBufferSetterParameterPanel, QZ::LPanel> {
public:
  // The id of a selector nobody has bound: it reads and sends nothing.
  static constexpr uint32_t kUnboundParamId = 0xFFFFFFFFu;

  LChordModeNoteVariantBufferSetterParameterPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The panel's, its handler table, then "comboBox"'s "NID_SELECTION_CHANGE" (when there is
  // one) and the application centre's "NID_DEVICE_MODEL_SELECTION_CHANGED" heard. The
  // panel's result; QZ_E_FAIL without a table. A refused subscription throws "Failed Result
  // : QZRESULT = <code> : LChordModeNoteVariantBufferSetterParameterPanel::Initialize :
  // UI\ChordModeNoteVariantBufferSetterParameterPanel : Line 37" (combo box) or "Line 39".
  QZ::QZResult Initialize() override;
  // Rebuilds the list for the model the settings hold; the children are not asked. 0.
  QZ::QZResult SubscribeNotifications() override;

  // The control's value operation stays visible beside the parameter's.
  using QZ::LPanel::SetValue;

  // Binds the selector to parameter's id and qualifier.
  virtual void SetParameter(const QZ::ParamValue& parameter);
  // Shows a one-byte note: its item, "OFF" for 0 or a note below the list; a note above the
  // list selects item 1 and then item 0, so the fallback item is announced (and sent) even
  // when it was selected. A selection of the very note shown is not sent. 0; QZ_E_FAIL,
  // nothing shown, for a value of another size.
  virtual QZ::QZResult SetValue(const QZ::Variant& value);
  // The text of "controlNameLabel", when there is one.
  virtual void SetLabelText(const QZ::WString& text);

  // The selection as a note byte ("OFF": 0) to the engine for the bound parameter. 1.
  QZ::QZResult OnComboSelectionChange(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                      const QZ::RCPtr<QZ::LNotification>& notification);
  // The list rebuilt for the model held by the notification (a QZ::LHolder<DEVICE_MODELS>). 1.
  QZ::QZResult OnDeviceModelChange(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                   const QZ::RCPtr<QZ::LNotification>& notification);

  const QZ::ParamDescriptor& GetParameter() const { return mParameter; }
  // Whether the list has no "OFF" item (user chord notes 1 and 2).
  bool IsRequiredNote() const;

private:
  // Clears the list and fills it with the notes of model, then selects the note the engine
  // holds for the bound parameter (index 0 when it is not in the list).
  void RebuildList(int32_t model);
  // The 1-then-0 selection.
  void SelectFallback();

  static constexpr int32_t kNoNoteShown = -1;

  QZ::ParamDescriptor mParameter{kUnboundParamId};
  // The note SetValue is showing; kNoNoteShown at other times.
  int32_t mShownNote = kNoNoteShown;
};
