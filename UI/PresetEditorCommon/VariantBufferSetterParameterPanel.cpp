#include "UI/PresetEditorCommon/VariantBufferSetterParameterPanel.h"

#include <cmath>

#include "QZFramework/ControlBase/ControlParams.h"
#include "QZFramework/Controls/ComboBox.h"
#include "QZFramework/Controls/TextBox.h"
#include "UI/DriverCommon/MainControl.h"

using QZ::QZResult;
using QZ::RCPtr;
using QZ::WString;

namespace {

constexpr char kInitialize[] = "LVariantBufferSetterParameterPanel::Initialize";
constexpr char kSource[] = R"(UI\PresetEditorCommon\VariantBufferSetterParameterPanel)";
constexpr int32_t kTextBoxMaxLength = 3;
constexpr double kParameterMaximum = 127.0;

// The low 8 bits of value truncated towards zero (0 for a value that is no number).
uint8_t LowByte(double value) {
  const double whole = std::trunc(value);
  if (!std::isfinite(whole)) {
    return 0;
  }
  return uint8_t(int64_t(std::fmod(whole, 256.0)) & 0xFF);
}

RCPtr<QZ::LComboBox> ComboBoxOf(const QZ::LControl& panel) {
  return QZ::DynamicCast<QZ::LComboBox>(panel.FindChildByName(WString(u"comboBox")));
}

RCPtr<QZ::LControl> ParameterControlOf(const QZ::LControl& panel) {
  return panel.FindChildByName(WString(u"parameterControl"));
}

} // namespace

LVariantBufferSetterParameterPanel::LVariantBufferSetterParameterPanel(const RCPtr<QZ::LControl>& parent,
                                                                       const WString& name)
    : LHandlerTableControl(parent, name) {}

QZResult LVariantBufferSetterParameterPanel::Initialize() {
  const QZResult base = LPanel::Initialize();
  if (QZ::Failed(base)) {
    return base;
  }
  if (QZ::Failed(CreateHandlerTable())) {
    return QZ::QZ_E_FAIL;
  }
  if (const RCPtr<QZ::LComboBox> combo = ComboBoxOf(*this)) {
    const int32_t count = combo->GetListBox() ? combo->GetItemCount() : 0;
    SetValueRange(mValueOffset, mValueOffset + count, 0);
    Subscribe(&LVariantBufferSetterParameterPanel::OnComboSelectionChange, combo, u"NID_SELECTION_CHANGE",
              {kInitialize, kSource, 37});
  }
  if (const RCPtr<QZ::LControl> control = ParameterControlOf(*this)) {
    Subscribe(&LVariantBufferSetterParameterPanel::OnValueChange, control, u"NID_VALUE_CHANGE",
              {kInitialize, kSource, 43});
    control->SetValueRange(0.0, kParameterMaximum, 0);
    if (const RCPtr<QZ::LTextBox> text = QZ::DynamicCast<QZ::LTextBox>(control->FindChildByName(WString(u"textBox")))) {
      text->SetMaxLength(kTextBoxMaxLength);
    }
    SetValueRange(mValueOffset, mValueOffset + kParameterMaximum, 0);
  }
  return base;
}

void LVariantBufferSetterParameterPanel::SetParameter(const QZ::ParamValue& parameter) {
  mParameter = parameter.descriptor;
}

void LVariantBufferSetterParameterPanel::SetValueOffset(double offset) { mValueOffset = offset; }

void LVariantBufferSetterParameterPanel::SetTwoByteValue(bool twoBytes) { mTwoByteValue = twoBytes; }

LVariantBufferSetterParameterPanel::BytePair& LVariantBufferSetterParameterPanel::SplitValue14(BytePair& out,
                                                                                               const int16_t& value) {
  out.first = int8_t(value / 128);
  out.second = int8_t(value % 128);
  return out;
}

int LVariantBufferSetterParameterPanel::JoinValue14(const int8_t& high, const int8_t& low) { return high * 128 + low; }

QZResult LVariantBufferSetterParameterPanel::SetValue(const QZ::Variant& value) {
  uint32_t size = 0;
  const auto* bytes = static_cast<const uint8_t*>(value.GetData(size));
  if (!bytes || size != (mTwoByteValue ? 2u : 1u)) {
    return QZ::QZ_E_FAIL;
  }
  const RCPtr<LVariantBufferSetterParameterPanel> self(this); // a handler may take the tree down
  double shown = 0.0;
  int32_t index = 0;
  if (mTwoByteValue) {
    const auto n = int16_t(JoinValue14(int8_t(bytes[0]), int8_t(bytes[1])));
    shown = n;
    index = n;
  } else {
    const auto b = int8_t(bytes[0]);
    shown = b - mValueOffset;
    index = b - int32_t(uint8_t(int32_t(mValueOffset)));
  }
  if (const RCPtr<QZ::LControl> control = ParameterControlOf(*this)) {
    control->SetValue(control->ValueToNormalized(shown));
  }
  if (const RCPtr<QZ::LComboBox> combo = ComboBoxOf(*this)) {
    if (index >= 0 && index < combo->GetItemCount()) {
      combo->SelectItem(index);
    } else {
      // No item for the value: nothing is shown rather than the previous item's text.
      combo->SelectItem(-1);
      combo->SetText(WString());
    }
  }
  return QZ::QZ_OK;
}

QZResult LVariantBufferSetterParameterPanel::OnComboSelectionChange(const RCPtr<QZ::LNotificationDistributor>&,
                                                                    const RCPtr<QZ::LNotification>&) {
  const RCPtr<QZ::LComboBox> combo = ComboBoxOf(*this);
  if (!combo || combo->GetSelectedIndex() < 0) {
    return QZ::QZ_FALSE;
  }
  const RCPtr<LVariantBufferSetterParameterPanel> self(this);
  const double chosen = combo->GetSelectedIndex() + mValueOffset;
  const uint8_t byte = LowByte(chosen);
  RequestChange(&byte, 1);
  SetValueRange(mValueOffset, mValueOffset + combo->GetItemCount(), 0);
  ShowOwnValue(chosen);
  return QZ::QZ_FALSE;
}

QZResult LVariantBufferSetterParameterPanel::OnValueChange(const RCPtr<QZ::LNotificationDistributor>&,
                                                           const RCPtr<QZ::LNotification>& notification) {
  const RCPtr<QZ::LControl> control = ParameterControlOf(*this);
  if (!control || !notification->GetParameterAs<QZ::LValueParam>()) {
    return QZ::QZ_FALSE;
  }
  const RCPtr<LVariantBufferSetterParameterPanel> self(this);
  const double v = control->NormalizedToValue(control->GetValue());
  if (mTwoByteValue) {
    BytePair pair;
    const auto w = int16_t(int64_t(std::trunc(v)));
    SplitValue14(pair, w); // pair itself
    const uint8_t bytes[2] = {uint8_t(pair.first), uint8_t(pair.second)};
    RequestChange(bytes, 2);
  } else {
    const uint8_t byte = LowByte(mValueOffset + v);
    RequestChange(&byte, 1);
  }
  ShowOwnValue(mValueOffset + v);
  return QZ::QZ_FALSE;
}

void LVariantBufferSetterParameterPanel::RequestChange(const uint8_t* bytes, uint32_t count) {
  const RCPtr<QZ::LMainControl> main = QZ::DynamicCast<QZ::LMainControl>(GetRootControl());
  if (!main || mParameter.id == kUnboundParamId) {
    return;
  }
  QZ::Variant value;
  value.SetBuffer(bytes, count);
  main->RequestParamChange(mParameter, value, 0);
}

void LVariantBufferSetterParameterPanel::ShowOwnValue(double value) { QZ::LPanel::SetValue(ValueToNormalized(value)); }
