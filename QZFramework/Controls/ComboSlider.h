#pragma once
// QZ::LComboSlider ("Framework.ComboSlider"): a drop-down control that shows its value as
// a whole number and, opened, a panel ("dropDownPanel", class
// "Framework.ComboSlider.DropDownPanel") holding a slider ("slider", a QZ::LSlider) with
// which the user sets it. The slider carries the same value and range.
//
//   factory->RegisterControlCreateFunction(u"Framework.ComboSlider", &QZ::CreateControlOf<QZ::LComboSlider>);
//   factory->RegisterControlCreateFunction(u"Framework.ComboSlider.DropDownPanel", &QZ::CreateControlOf<QZ::LPanel>);
//   combo->SetValue(combo->ValueToNormalized(64));   // text "64", the thumb moved
//   listener->RegisterNotification(combo, u"NID_VALUE_CHANGE");
//
// "NID_VALUE_CHANGE" (LValueParam) goes out for each change the slider makes, and once more
// with the final value when a drag of the slider ends. Down or Enter opens the panel,
// Escape closes it; a press opens and closes it as for every drop-down control; the panel
// opens inside the top control's width.
//
// Looks: 0 closed, 1 focused, 2 pointer over, 3 both, 4 open, 5 open with the pointer over,
// 6 disabled. Without "dropDownPanel" the control only keeps its value; without "slider"
// the panel opens and closes but sets nothing. UI thread, like every control.

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/DropDownControl.h"

namespace QZ {

class LSlider;

class LComboSlider : public LHandlerTableControl<LComboSlider, LDropDownControl> {
public:
  static constexpr int32_t kLookClosed = 0;
  static constexpr int32_t kLookFocused = 1;
  static constexpr int32_t kLookHover = 2;
  static constexpr int32_t kLookHoverFocused = 3;
  static constexpr int32_t kLookOpen = 4;
  static constexpr int32_t kLookOpenHover = 5;
  static constexpr int32_t kLookDisabled = 6;

  LComboSlider(const RCPtr<LControl>& parent, const WString& name);

  // The drop-down control's (a failure gives QZ_E_FAIL), then the panel, hidden, and its
  // slider: heard, notifying once more at each drag's end, its range taken; the text shows
  // the value. 0.
  QZResult Initialize() override;
  // Hands the value to the slider (which holds it back during a drag): the slider's answer.
  // Without a slider the control's own.
  double SetValue(double value) override;
  // The range for the control and its slider. The control's result.
  QZResult SetValueRange(double minimum, double maximum, int32_t scale) override;
  // The slider follows, and the text becomes the value in range units, rounded ("%0.0f").
  QZResult OnValueChanged() override;
  // The drop-down control's, then the look of the state.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // Closed: Down or Enter opens (0). Open: Escape closes (0). Anything else: 1.
  QZResult OnKeyDown(const RCPtr<LKeyParam>& param) override;
  // Escape closes (0); no key goes further (1).
  QZResult HandleKey(const RCPtr<LKeyParam>& param) override;

  // Whether the panel shows (visible with a width and a height).
  bool IsDroppedDown() override;
  // Shows or hides the panel; an opening panel that would pass the top control's right
  // edge moves left to end there (not past the window's left edge). 0; QZ_E_FAIL without a
  // panel.
  QZResult ShowDropDown(bool show) override;

  const RCPtr<LControl>& GetDropDownPanel() const { return mDropDownPanel; }
  // The panel's "slider"; null without one.
  RCPtr<LSlider> GetSlider() const;

private:
  void ShowStateLook();
  QZResult OnSliderValueChange(const RCPtr<LNotificationDistributor>& distributor,
                               const RCPtr<LNotification>& notification);

  RCPtr<LControl> mDropDownPanel;
};

} // namespace QZ
