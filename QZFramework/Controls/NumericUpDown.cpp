#include "QZFramework/Controls/NumericUpDown.h"

#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

constexpr uint32_t kUpPressed = 0x20260000;
constexpr uint32_t kDownPressed = 0x20280000;

// The number text starts with, as _wtof reads it ('.' whatever the locale).
double ReadNumber(const WString& text) { return Chars::ToDouble(text.GetBuffer()); }

// How many times unit occurs in text.
int32_t CountOf(const WString& text, char16_t unit) {
  int32_t count = 0;
  for (char16_t c : text.View()) {
    count += c == unit ? 1 : 0;
  }
  return count;
}

} // namespace

LNumericUpDown::LNumericUpDown(const RCPtr<LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

LNumericUpDown::~LNumericUpDown() = default;

QZResult LNumericUpDown::Initialize() {
  const QZResult result = LPanel::Initialize();
  if (Failed(result)) {
    return result;
  }
  mTextBox = DynamicCast<LTextBox>(FindChildByName(u"textBox"));
  mButtonUp = DynamicCast<LButton>(FindChildByName(u"buttonUp"));
  mButtonDown = DynamicCast<LButton>(FindChildByName(u"buttonDown"));
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  if (mTextBox) {
    UpdateFilter();
    const RCPtr<LNotificationDistributor> box(mTextBox);
    GetHandlerTable()->AddHandler(&LNumericUpDown::OnTextValidating, box, u"NID_TEXTBOX_VALIDATING");
    GetHandlerTable()->AddHandler(&LNumericUpDown::OnTextValidated, box, u"NID_TEXTBOX_VALIDATED");
  }
  for (const RCPtr<LButton>& button : {mButtonUp, mButtonDown}) {
    if (button) {
      button->SetAutoRepeat(true);
      GetHandlerTable()->AddHandler(&LNumericUpDown::OnButtonRepeat, RCPtr<LNotificationDistributor>(button),
                                    u"NID_BUTTON_AUTOREPEAT");
    }
  }
  return result;
}

QZResult LNumericUpDown::OnLookChanged() {
  const RCPtr<LControl> self(this);
  const QZResult result = LPanel::OnLookChanged();
  SetFocusable(false);
  for (const RCPtr<LButton>& button : {mButtonUp, mButtonDown}) {
    if (button) {
      button->SetFocusable(false);
    }
  }
  return result;
}

// =============================================================================================
// Value, range and text
// =============================================================================================

QZResult LNumericUpDown::SetValueRange(double minimum, double maximum, int32_t scale) {
  const QZResult result = LPanel::SetValueRange(minimum, maximum, scale);
  if (Failed(result)) {
    return result;
  }
  UpdateFilter();
  ShowValue();
  return QZ_OK;
}

void LNumericUpDown::SetDecimals(int32_t decimals) {
  if (decimals < 0) {
    return;
  }
  mDecimals = decimals;
  UpdateFilter();
  ShowValue();
}

QZResult LNumericUpDown::SetText(const WString& text) {
  SetValue(ValueToNormalized(ReadNumber(text)));
  return QZ_OK;
}

QZResult LNumericUpDown::OnValueChanged() {
  const RCPtr<LControl> self(this);
  LPanel::OnValueChanged();
  if (const RCPtr<LTextBox> box = mTextBox) {
    box->SetText(FormatValue());
    box->Commit(); // its listeners' verdict is theirs
  }
  return QZ_OK;
}

WString LNumericUpDown::FormatValue() const {
  const WString format = WString::Format(u"%%0.%df", mDecimals);
  WString text = WString::Format(format.GetBuffer(), NormalizedToValue(GetValue()));
  // A value that rounds to zero has no sign to show.
  if (text.GetLength() > 1 && text.GetBuffer()[0] == u'-' &&
      text.View().find_first_of(u"123456789") == text.View().npos) {
    text = text.Mid(1);
  }
  return text;
}

void LNumericUpDown::UpdateFilter() {
  if (!mTextBox) {
    return;
  }
  WString filter(u"0123456789");
  if (mDecimals > 0) {
    filter += u".";
  }
  if (GetRangeMinimum() < 0.0) {
    filter += u"-";
  }
  mTextBox->SetCharacterFilter(filter, true);
}

void LNumericUpDown::ShowValue() {
  if (const RCPtr<LTextBox> box = mTextBox) {
    box->SetText(FormatValue());
  }
}

// =============================================================================================
// Steps, keys and validation
// =============================================================================================

QZResult LNumericUpDown::OnButtonRepeat(const RCPtr<LNotificationDistributor>& distributor,
                                        const RCPtr<LNotification>&) {
  const RCPtr<LControl> self(this);
  const double current = NormalizedToValue(GetValue());
  if (mButtonUp && distributor.Get() == static_cast<LNotificationDistributor*>(mButtonUp.Get())) {
    SetValue(ValueToNormalized(current + mStep));
  } else if (mButtonDown && distributor.Get() == static_cast<LNotificationDistributor*>(mButtonDown.Get())) {
    SetValue(ValueToNormalized(current - mStep));
  }
  return QZ_FALSE;
}

QZResult LNumericUpDown::HandleKey(const RCPtr<LKeyParam>& param) {
  if (param) {
    const uint32_t code = param->GetKey().code & ~kKeyCodeCharacterMask;
    const RCPtr<LButton>& button = code == kUpPressed ? mButtonUp : code == kDownPressed ? mButtonDown : nullptr;
    if (button) {
      const RCPtr<LControl> self(this);
      (void)SendNotificationTo(RCPtr<LNotificationReceiver>(button), u"NID_SIMULATE_CLICK", param); // its answer
      return QZ_OK;
    }
  }
  return LPanel::HandleKey(param);
}

QZResult LNumericUpDown::OnTextValidating(const RCPtr<LNotificationDistributor>&,
                                          const RCPtr<LNotification>& notification) {
  const RCPtr<LTextValidationParams> params = DynamicCast<LTextValidationParams>(notification->GetParameter());
  if (!params) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  Announce(u"NID_TEXTBOX_VALIDATING", params);
  if (!params->IsValid()) {
    return QZ_FALSE;
  }
  const double current = NormalizedToValue(GetValue());
  const WString& text = params->GetText();
  const int32_t minus = text.View().find(u'-') == std::u16string_view::npos ? -1 : int32_t(text.View().find(u'-'));
  const bool malformed = (minus > 0) || text == u"-" || CountOf(text, u'.') > 1 || text == u"." || text.IsEmpty();
  double result = malformed ? current : ReadNumber(text);
  const double low = std::min(GetRangeMinimum(), GetRangeMaximum());
  const double high = std::max(GetRangeMinimum(), GetRangeMaximum());
  result = result < low ? low : result > high ? high : result;
  if (malformed) {
    params->SetText(FormatValue());
    params->SetValid(true);
  }
  if (result != current) {
    SetValue(ValueToNormalized(result));
    params->SetText(FormatValue());
  } else if (current == GetRangeMinimum() || current == GetRangeMaximum() || result == 0.0) {
    params->SetText(FormatValue());
  }
  return QZ_FALSE;
}

QZResult LNumericUpDown::OnTextValidated(const RCPtr<LNotificationDistributor>&,
                                         const RCPtr<LNotification>& notification) {
  const RCPtr<LControl> self(this);
  Announce(u"NID_TEXTBOX_VALIDATED", notification->GetParameter());
  return QZ_FALSE;
}

} // namespace QZ
