#include "QZFramework/Controls/ComboSlider.h"

#include <algorithm>

#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/Controls/Slider.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

namespace Win = Platform::Window;

// A virtual key pressed without modifiers.
bool IsPressed(const RCPtr<LKeyParam>& param, uint8_t virtualKey) {
  return param && param->GetKey().code == (kKeyCodeDown | (uint32_t(virtualKey) << 16));
}

} // namespace

LComboSlider::LComboSlider(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

RCPtr<LSlider> LComboSlider::GetSlider() const {
  return mDropDownPanel ? DynamicCast<LSlider>(mDropDownPanel->FindChildByName(u"slider")) : nullptr;
}

QZResult LComboSlider::Initialize() {
  if (Failed(LDropDownControl::Initialize())) {
    return QZ_E_FAIL;
  }
  const RCPtr<LComboSlider> self(this);
  mDropDownPanel = FindChildByName(u"dropDownPanel");
  if (!mDropDownPanel) {
    return QZ_OK;
  }
  (void)mDropDownPanel->SetVisible(false); // whether it shows: it does not
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  if (const RCPtr<LSlider> slider = GetSlider()) {
    // Refused only for a name that cannot be interned.
    (void)GetHandlerTable()->AddHandler(&LComboSlider::OnSliderValueChange, RCPtr<LNotificationDistributor>(slider),
                                        u"NID_VALUE_CHANGE");
    slider->SetNotifyAtDragEnd(true);
    (void)LDropDownControl::SetValueRange(slider->GetRangeMinimum(), slider->GetRangeMaximum(),
                                          slider->GetScaleType()); // the slider's range is valid
  }
  // The value shows from the start, not only after its first change.
  (void)OnValueChanged(); // always 0
  return QZ_OK;
}

// =============================================================================================
// Value
// =============================================================================================

double LComboSlider::SetValue(double value) {
  const RCPtr<LSlider> slider = GetSlider();
  return slider ? slider->SetValue(value) : LDropDownControl::SetValue(value);
}

QZResult LComboSlider::SetValueRange(double minimum, double maximum, int32_t scale) {
  const QZResult result = LDropDownControl::SetValueRange(minimum, maximum, scale);
  if (const RCPtr<LSlider> slider = GetSlider(); slider && Succeeded(result)) {
    (void)slider->SetValueRange(minimum, maximum, scale); // the same valid range
  }
  return result;
}

QZResult LComboSlider::OnValueChanged() {
  const RCPtr<LComboSlider> self(this);
  if (const RCPtr<LSlider> slider = GetSlider()) {
    (void)slider->SetValue(GetValue()); // the value kept
  }
  (void)SetText(WString::Format(u"%0.0f", NormalizedToValue(GetValue()))); // 1 when it shows it already
  return QZ_OK;
}

QZResult LComboSlider::OnSliderValueChange(const RCPtr<LNotificationDistributor>& distributor,
                                           const RCPtr<LNotification>&) {
  const RCPtr<LSlider> slider = DynamicCast<LSlider>(distributor);
  if (!slider) {
    return QZ_OK;
  }
  const RCPtr<LComboSlider> self(this);
  if (GetValue() == slider->GetValue()) {
    // The slider's echo at a drag's end: the value is final now.
    (void)Notify(u"NID_VALUE_CHANGE", LValueParam::Create(GetValue(), NormalizedToValue(GetValue()))); // 1: none
  } else {
    (void)LDropDownControl::SetValue(slider->GetValue()); // the value kept
  }
  return QZ_FALSE;
}

// =============================================================================================
// The panel
// =============================================================================================

bool LComboSlider::IsDroppedDown() { return mDropDownPanel && mDropDownPanel->IsShown(false); }

QZResult LComboSlider::ShowDropDown(bool show) {
  if (!mDropDownPanel) {
    return QZ_E_FAIL;
  }
  const RCPtr<LComboSlider> self(this);
  const RCPtr<LLayoutDescriptor>& layout = mDropDownPanel->GetLayoutDescriptor();
  if (show && layout) {
    const double rootWidth = GetRootControl()->GetRect().width;
    const double width = mDropDownPanel->GetRect().width;
    const double left = mDropDownPanel->GetWindowPosition().x;
    if (left + width > rootWidth) {
      LayoutPosition position;
      LayoutSize size;
      (void)layout->GetAxis(0, position, size); // 0 for axis 0
      // The placement is relative to this control: moved by what the window edge asks.
      position.abs += std::max(rootWidth - width, 0.0) - left;
      (void)mDropDownPanel->SetAxisPlacement(0, position, size); // 1 when it reads back otherwise
    }
  }
  (void)mDropDownPanel->SetVisible(show); // whether it shows now
  ShowStateLook();
  return QZ_OK;
}

// =============================================================================================
// Looks and keys
// =============================================================================================

void LComboSlider::ShowStateLook() {
  int32_t look = kLookDisabled;
  if (IsEnabled(true)) {
    const bool over = IsMouseOver();
    if (IsDroppedDown()) {
      look = over ? kLookOpenHover : kLookOpen;
    } else {
      const bool focused = HasFocus() || ContainsFocus();
      look = focused ? (over ? kLookHoverFocused : kLookFocused) : (over ? kLookHover : kLookClosed);
    }
  }
  (void)ShowLook(look); // QZ_E_INVALIDARG for a skin without that look
}

QZResult LComboSlider::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const QZResult result = LDropDownControl::OnConditionsChanged(param);
  ShowStateLook();
  return result;
}

QZResult LComboSlider::OnKeyDown(const RCPtr<LKeyParam>& param) {
  if (!IsDroppedDown()) {
    if (IsPressed(param, Win::VK_DOWN) || IsPressed(param, Win::VK_RETURN)) {
      (void)ShowDropDown(true); // 0: closed means there is a panel
      return QZ_OK;
    }
  } else if (IsPressed(param, Win::VK_ESCAPE)) {
    (void)ShowDropDown(false); // 0: open means there is a panel
    return QZ_OK;
  }
  return QZ_FALSE;
}

QZResult LComboSlider::HandleKey(const RCPtr<LKeyParam>& param) {
  if (IsPressed(param, Win::VK_ESCAPE)) {
    (void)ShowDropDown(false); // QZ_E_FAIL without a panel: nothing to close
    return QZ_OK;
  }
  return QZ_FALSE;
}

} // namespace QZ
