#include "QZFramework/Controls/ComboMenu.h"

#include <algorithm>

#include "QZFramework/ControlBase/LayoutDescriptor.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

constexpr char16_t kPopupName[] = u"popupMenu";

} // namespace

LComboMenu::LComboMenu(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

RCPtr<LPopupMenu> LComboMenu::GetPopupMenu() const { return DynamicCast<LPopupMenu>(FindChildByName(kPopupName)); }

QZResult LComboMenu::Initialize() {
  if (Failed(LDropDownControl::Initialize())) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  if (const RCPtr<LPopupMenu> popup = GetPopupMenu()) {
    const RCPtr<LNotificationDistributor> source(popup);
    GetHandlerTable()->AddHandler(&LComboMenu::OnPopupVisibilityChange, source,
                                  u"NID_VISIBLITY_CONDITION_CHANGE"); // a pop-up is a distributor
    GetHandlerTable()->AddHandler(&LComboMenu::OnPopupItemActivated, source, u"NID_ITEM_ACTIVATED");
    popup->SetCloseOnActivate(false);
  }
  return QZ_OK;
}

QZResult LComboMenu::OnLookChanged() {
  const QZResult result = LDropDownControl::OnLookChanged();
  const RCPtr<LPopupMenu> popup = GetPopupMenu();
  if (popup && popup->GetLayoutDescriptor()) {
    mDropDownOffsetX = popup->GetLayoutDescriptor()->position[0].abs;
  }
  ShowStateLook();
  return result;
}

bool LComboMenu::IsDroppedDown() {
  const RCPtr<LPopupMenu> popup = GetPopupMenu();
  return popup && popup->IsShown(false);
}

void LComboMenu::ShowStateLook() {
  if (!IsEnabled(true)) {
    ShowLook(kLookDisabled);
    return;
  }
  ShowLook(IsDroppedDown() ? kLookOpen : IsMouseOver() ? kLookHover : kLookNormal);
}

RCPtr<LComboMenu> LComboMenu::FindOpenSibling() const {
  if (!GetParent()) {
    return nullptr;
  }
  const ChildControlList& siblings = GetParent()->GetChildren();
  for (uint32_t k = siblings.GetCount(); k-- > 0;) {
    const RCPtr<LComboMenu> title = DynamicCast<LComboMenu>(siblings.GetAt(k, ChildControlList::kInsertionOrder));
    if (title && title.Get() != this && title->IsDroppedDown()) {
      return title;
    }
  }
  return nullptr;
}

QZResult LComboMenu::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const RCPtr<LControl> self(this);
  ShowStateLook();
  if (param && IsEnabled(true)) {
    const uint32_t changed = param->GetPrevious() ^ param->GetCurrent();
    if ((changed & kConditionMouseOver) && (param->GetCurrent() & kConditionMouseOver)) {
      if (const RCPtr<LComboMenu> open = FindOpenSibling()) {
        if (const RCPtr<LPopupMenu> other = open->GetPopupMenu()) {
          other->SetVisible(false);
        }
        open->ShowStateLook();
        ShowDropDown(true);
      }
    }
  }
  const RCPtr<LPopupMenu> popup = GetPopupMenu();
  if (param && popup && (param->GetCurrent() & kConditionLeftDown) && !(param->GetPrevious() & kConditionLeftDown)) {
    // The press was recorded in the parent's coordinates.
    const PointT<double> origin = popup->GetOriginInParent();
    mPressInPopup = {GetPressOrigin().x - GetRect().x - origin.x, GetPressOrigin().y - GetRect().y - origin.y};
  }
  return LDropDownControl::OnConditionsChanged(param);
}

QZResult LComboMenu::ShowDropDown(bool show) {
  const RCPtr<LPopupMenu> popup = GetPopupMenu();
  if (!popup) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  const RCPtr<LLayoutDescriptor> layout = popup->GetLayoutDescriptor();
  if (show && layout) {
    // Where the pop-up would stand at the skin's X, and the top control's width.
    LayoutPosition position;
    LayoutSize size;
    layout->GetAxis(0, position, size);
    const double skinLeft = popup->GetWindowPosition().x - (position.abs - mDropDownOffsetX);
    const double rootWidth = GetRootControl()->GetRect().width;
    double left = skinLeft;
    if (left + popup->GetRect().width > rootWidth) {
      left = std::max(rootWidth - popup->GetRect().width, 0.0);
    }
    const double x = mDropDownOffsetX + (left - skinLeft);
    if (x != position.abs) {
      position.abs = x;
      popup->SetAxisPlacement(0, position, size);
    }
  }
  popup->SetVisible(show);
  if (show) {
    popup->SetFocus(true); // a refusal leaves the keyboard with the title
    ShowLook(kLookOpen);
    if (GetConditions() & kConditionLeftDown) {
      // A press on the title still held goes on in the menu: a drag onto a row and the
      // release there choose it.
      const PointT<int32_t> press = mPressInPopup.Round();
      popup->SetCapture(kMouseButtonLeft, press.x, press.y);
    }
  } else {
    ShowLook(IsMouseOver() ? kLookHover : kLookNormal);
  }
  return QZ_OK;
}

QZResult LComboMenu::OnPopupItemActivated(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  const RCPtr<LControl> self(this);
  if (const RCPtr<LPopupMenu> popup = GetPopupMenu()) {
    popup->SetVisible(false);
  }
  ShowLook(IsMouseOver() ? kLookHover : kLookNormal);
  return QZ_FALSE;
}

QZResult LComboMenu::OnPopupVisibilityChange(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  const RCPtr<LControl> self(this);
  ShowStateLook();
  return QZ_OK;
}

} // namespace QZ
