#pragma once
// QZ::LNumericUpDown ("Framework.NumericUpDown"): a panel that edits a number. Its text box
// ("textBox") shows the value and takes typed numbers; its two buttons ("buttonUp",
// "buttonDown") step it, repeating while held; the Up and Down keys click them. The value
// is the control's common value (0..1) in its range; the text and the steps are in range
// units.
//
//   factory->RegisterControlCreateFunction(u"Framework.NumericUpDown", &QZ::CreateControlOf<QZ::LNumericUpDown>);
//   QZ::RCPtr<QZ::LNumericUpDown> tempo = QZ::DynamicCast<QZ::LNumericUpDown>(panel->FindChildByName(u"tempo"));
//   tempo->SetValueRange(20.0, 240.0, 0);              // the text follows: "20"
//   tempo->SetValue(tempo->ValueToNormalized(120.0));  // "120", "NID_VALUE_CHANGE"
//   tempo->SetDecimals(1);                             // "120.0"
//
// Typed text: the box takes digits, "." while there are decimals and "-" while the range
// reaches below 0. On Enter (or when the focus leaves the box) the up-down first sends
// "NID_TEXTBOX_VALIDATING" itself (its listeners may veto or correct), then takes the
// number, kept within the range; text that is no number shows the current value again.
// "NID_TEXTBOX_VALIDATED" of the box is sent on from the up-down. Numbers are read and
// written with '.' whatever the locale.
//
// Focus: the up-down and both buttons take part in tabbing; the up-down hands the focus to
// its parts. A part the skin leaves out disables what needs it.
//
// UI thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/Panel.h"
#include "QZFramework/Controls/TextBox.h"

namespace QZ {

class LNumericUpDown : public LHandlerTableControl<LNumericUpDown, LPanel> {
public:
  LNumericUpDown(const RCPtr<LControl>& parent, const WString& name);
  ~LNumericUpDown() override;

  // --- The control's operations --------------------------------------------------------

  // The panel's; then the parts, both buttons repeating, the box's filter, and the routes
  // of the box's validation and the buttons' repeats. The panel's result.
  QZResult Initialize() override;
  // Scale 0 (linear), or 1 (logarithmic) with both bounds above 0: stored, the filter and
  // the text follow (the value is neither clamped nor sent again), 0. Anything else:
  // 0x80070057, nothing stored.
  QZResult SetValueRange(double minimum, double maximum, int32_t scale) override;
  // text read as a number (as _wtof, '.' the decimal point) becomes the value. SetValue's
  // answer as a result: 0.
  QZResult SetText(const WString& text) override;
  // The box shows the new value (its caret at 0) and commits it, which validates it. 0.
  QZResult OnValueChanged() override;
  // Up or Down pressed without modifiers: "NID_SIMULATE_CLICK" to that button, 0. Any
  // other key: the panel's.
  QZResult HandleKey(const RCPtr<LKeyParam>& param) override;
  // The up-down and both buttons take part in tabbing (SetFocusable(false)). The panel's
  // result.
  QZResult OnLookChanged() override;

  // --- The up-down's own -------------------------------------------------------------------

  // Digits after the decimal point in the text; a negative count is ignored. The filter
  // and the text follow.
  void SetDecimals(int32_t decimals);
  // The editor's name for SetDecimals.
  void SetDecimalPlaces(int32_t decimals) { SetDecimals(decimals); }
  int32_t GetDecimals() const { return mDecimals; }
  // Range units added or taken per step.
  double GetStep() const { return mStep; }
  // The value in range units as the text shows it ("%0.0f", or "%0.<decimals>f"); a value
  // that rounds to zero shows without a minus sign.
  WString FormatValue() const;

  const RCPtr<LTextBox>& GetTextBox() const { return mTextBox; }
  const RCPtr<LButton>& GetButtonUp() const { return mButtonUp; }
  const RCPtr<LButton>& GetButtonDown() const { return mButtonDown; }

private:
  // The box's filter: digits, "." with decimals, "-" for a range reaching below 0.
  void UpdateFilter();
  // The box shows the formatted value.
  void ShowValue();
  QZResult OnButtonRepeat(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);
  QZResult OnTextValidating(const RCPtr<LNotificationDistributor>& distributor,
                            const RCPtr<LNotification>& notification);
  QZResult OnTextValidated(const RCPtr<LNotificationDistributor>& distributor,
                           const RCPtr<LNotification>& notification);

  RCPtr<LTextBox> mTextBox;
  RCPtr<LButton> mButtonUp;
  RCPtr<LButton> mButtonDown;
  double mStep = 1.0;
  int32_t mDecimals = 0;
};

} // namespace QZ
