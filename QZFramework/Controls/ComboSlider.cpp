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
  mDropDownPanel->SetVisible(false);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  if (const RCPtr<LSlider> slider = GetSlider()) {
    // Refused only for a name that cannot be interned.
    GetHandlerTable()->AddHandler(&LComboSlider::OnSliderValueChange, RCPtr<LNotificationDistributor>(slider),
                                  u"NID_VALUE_CHANGE");
    slider->SetNotifyAtDragEnd(true);
    LDropDownControl::SetValueRange(slider->GetRangeMinimum(), slider->GetRangeMaximum(), slider->GetScaleType());
  }
  // The value shows from the start, not only after its first change.
  OnValueChanged();
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
    slider->SetValueRange(minimum, maximum, scale);
  }
  return result;
}

QZResult LComboSlider::OnValueChanged() {
  const RCPtr<LComboSlider> self(this);
  if (const RCPtr<LSlider> slider = GetSlider()) {
    slider->SetValue(GetValue());
  }
  SetText(WString::Format(u"%0.0f", NormalizedToValue(GetValue())));
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
    Announce(u"NID_VALUE_CHANGE", LValueParam::Create(GetValue(), NormalizedToValue(GetValue())));
  } else {
    LDropDownControl::SetValue(slider->GetValue());
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
      layout->GetAxis(0, position, size);
      // The placement is relative to this control: moved by what the window edge asks.
      position.abs += std::max(rootWidth - width, 0.0) - left;
      mDropDownPanel->SetAxisPlacement(0, position, size);
    }
  }
  mDropDownPanel->SetVisible(show);
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
  ShowLook(look);
}

QZResult LComboSlider::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const QZResult result = LDropDownControl::OnConditionsChanged(param);
  ShowStateLook();
  return result;
}

QZResult LComboSlider::OnKeyDown(const RCPtr<LKeyParam>& param) {
  if (!IsDroppedDown()) {
    if (IsPressed(param, Win::VK_DOWN) || IsPressed(param, Win::VK_RETURN)) {
      ShowDropDown(true);
      return QZ_OK;
    }
  } else if (IsPressed(param, Win::VK_ESCAPE)) {
    ShowDropDown(false);
    return QZ_OK;
  }
  return QZ_FALSE;
}

QZResult LComboSlider::HandleKey(const RCPtr<LKeyParam>& param) {
  if (IsPressed(param, Win::VK_ESCAPE)) {
    ShowDropDown(false);
    return QZ_OK;
  }
  return QZ_FALSE;
}

} // namespace QZ
