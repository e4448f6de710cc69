#pragma once
// LVariantBufferSetterParameterPanel: the labelled selector of one parameter, registered under
// the 26 "PresetEditor.Control.Labeled..." class names. Its skin gives it a label
// ("controlNameLabel") and either a combo box of named choices ("comboBox", items "ITEM.nn"
// of its string table) or a control with a value ("parameterControl": an up-down, a toggle
// button, a note or CC selector). The user's choice becomes the parameter's bytes (the list
// index or number plus the value offset, one byte; two 7-bit bytes in two-byte mode) and
// goes to the main control's RequestParamChange; a value the engine announces comes back
// through SetValue.
//
//   // The arpeggiator page binds its gate selector and shows what the engine holds:
//   auto gate = QZ::DynamicCast<LVariantBufferSetterParameterPanel>(FindChildByName(u"gate"));
//   gate->SetParameter(QZ::ParamValue(first + 3));            // id 127
//   gate->SetValue(QZTest::Bytes({5}));                       // shows "50 %", sends nothing
//   // The user picks "80 %": {08} goes to the main control for id 127, and the panel's own
//   // value becomes 8 in its range 0 .. 11 (raising its "NID_VALUE_CHANGE").
//
// A selector that is not bound (id kUnboundParamId) or whose tree's top control is not a
// QZ::LMainControl sends nothing. UI thread, like every control.

#include <cstdint>
#include <utility>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"

class LVariantBufferSetterParameterPanel
    : public QZ::LHandlerTableControl<LVariantBufferSetterParameterPanel, QZ::LPanel> {
public:
  // The id of a selector nobody has bound.
  static constexpr uint32_t kUnboundParamId = 0xFFFFFFFFu;
  // A 14-bit value as two signed 7-bit bytes, high first.
  using BytePair = std::pair<int8_t, int8_t>;

  LVariantBufferSetterParameterPanel(const QZ::RCPtr<QZ::LControl>& parent, const QZ::WString& name);

  // The panel's own, its handler table, then per child: with "comboBox" the own range
  // offset .. offset + item count and its "NID_SELECTION_CHANGE" heard; with
  // "parameterControl" its "NID_VALUE_CHANGE" heard, its range 0 .. 127, its "textBox"
  // (when a text box) limited to 3 characters and the own range offset .. offset + 127.
  // The panel's result; QZ_E_FAIL when no table can be made. A refused subscription throws
  // "Failed Result : QZRESULT = <code> : LVariantBufferSetterParameterPanel::Initialize :
  // UI\PresetEditorCommon\VariantBufferSetterParameterPanel : Line 37" (combo box) or
  // "... : Line 43" (parameter control).
  QZ::QZResult Initialize() override;

  // The control's value operation stays visible beside the parameter's.
  using QZ::LPanel::SetValue;

  // Binds the selector to parameter's descriptor (id and qualifier); its value is unused.
  virtual void SetParameter(const QZ::ParamValue& parameter);
  // Shows a parameter value of one byte (two in two-byte mode): the parameter control takes
  // the number less the offset, the combo box selects the item of that index (an index it
  // has no item for shows nothing: no selection, no text). A child whose value changes
  // announces it as a user's edit would, so a value other than the shown one goes up once.
  // 0; QZ_E_FAIL, nothing shown, for a value of another size.
  virtual QZ::QZResult SetValue(const QZ::Variant& value);
  // Added to a one-byte value before it is sent, taken off one that is shown (0 at first).
  virtual void SetValueOffset(double offset);
  // Values travel as two 7-bit bytes, high first, without the offset (false at first).
  virtual void SetTwoByteValue(bool twoBytes);
  // out = (value / 128, value % 128), truncating signed division; returns out.
  virtual BytePair& SplitValue14(BytePair& out, const int16_t& value);
  // high * 128 + low, each byte signed.
  virtual int JoinValue14(const int8_t& high, const int8_t& low);

  // The handlers of the children's notifications; 1 (handled) in every case.
  QZ::QZResult OnComboSelectionChange(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                                      const QZ::RCPtr<QZ::LNotification>& notification);
  QZ::QZResult OnValueChange(const QZ::RCPtr<QZ::LNotificationDistributor>& distributor,
                             const QZ::RCPtr<QZ::LNotification>& notification);

  const QZ::ParamDescriptor& GetParameter() const { return mParameter; }
  double GetValueOffset() const { return mValueOffset; }
  bool IsTwoByteValue() const { return mTwoByteValue; }

private:
  // Hands bytes to the main control for the bound parameter; nothing when unbound or when
  // the tree's top control is not the main control.
  void RequestChange(const uint8_t* bytes, uint32_t count);
  // The own value becomes the normalised position of value in the own range.
  void ShowOwnValue(double value);

  double mValueOffset = 0.0;
  QZ::ParamDescriptor mParameter{kUnboundParamId};
  bool mTwoByteValue = false;
};
