#include "QZFramework/Controls/TabControl.h"

#include <algorithm>

#include "QZFramework/Notification/Notification.h"

namespace QZ {

LTabControl::LTabControl(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

// =============================================================================================
// Tabs, buttons and pages
// =============================================================================================

int32_t LTabControl::GetTabCount() { return mButtonHolder ? int32_t(mButtonHolder->GetChildren().GetCount()) : 0; }

int32_t LTabControl::IndexOfTab(const WString& name) {
  if (!mButtonHolder) {
    return -1;
  }
  const ChildControlList& buttons = mButtonHolder->GetChildren();
  for (uint32_t i = buttons.GetCount(); i-- > 0;) {
    if (buttons.GetAt(i, ChildControlList::kInsertionOrder)->GetName() == name) {
      return int32_t(i);
    }
  }
  return -1;
}

int32_t LTabControl::GetSelectedIndex() { return IndexOfTab(mSelectedTab); }

RCPtr<LControl> LTabControl::GetSelectedPage() {
  const int32_t index = GetSelectedIndex();
  if (!mPageHolder || index < 0 || uint32_t(index) >= mPageHolder->GetChildren().GetCount()) {
    return nullptr;
  }
  return mPageHolder->GetChildren().GetAt(uint32_t(index), ChildControlList::kInsertionOrder);
}

WString LTabControl::GetSelectedTab() { return mSelectedTab; }

RCPtr<LControl> LTabControl::GetPageOfTab(const WString& name) {
  const int32_t index = IndexOfTab(name);
  return index < 0 ? nullptr : GetPageAt(index);
}

RCPtr<LControl> LTabControl::GetPageAt(int32_t index) {
  // Fewer pages than buttons: the last tabs have none.
  if (!mPageHolder || index < 0 || index >= GetTabCount() || uint32_t(index) >= mPageHolder->GetChildren().GetCount()) {
    return nullptr;
  }
  return mPageHolder->GetChildren().GetAt(uint32_t(index), ChildControlList::kInsertionOrder);
}

RCPtr<LControl> LTabControl::GetButtonOfTab(const WString& name) {
  const int32_t index = IndexOfTab(name);
  return index < 0 ? nullptr : GetButtonAt(index);
}

RCPtr<LControl> LTabControl::GetButtonAt(int32_t index) {
  if (!mButtonHolder || index < 0 || index >= GetTabCount()) {
    return nullptr;
  }
  return mButtonHolder->GetChildren().GetAt(uint32_t(index), ChildControlList::kInsertionOrder);
}

// =============================================================================================
// Selection
// =============================================================================================

QZResult LTabControl::SelectTab(const WString& name) {
  Proposals proposed;
  return Select(name, proposed);
}

QZResult LTabControl::SelectTabAt(int32_t index) {
  Proposals proposed;
  return SelectAt(index, proposed);
}

QZResult LTabControl::SelectAt(int32_t index, Proposals& proposed) {
  // A receiver may have set newIndex to -1.
  if (!mButtonHolder || index < 0 || index >= GetTabCount()) {
    return QZ_E_FAIL;
  }
  return Select(GetButtonAt(index)->GetName(), proposed);
}

QZResult LTabControl::Select(const WString& name, Proposals& proposed) {
  if (!mButtonHolder || !mPageHolder) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  const int32_t current = GetSelectedIndex();
  const int32_t target = IndexOfTab(name);
  if (current >= 0 && target != current) {
    proposed.push_back(target);
    const RCPtr<LTabBecomingUnselectedParams> change(new LTabBecomingUnselectedParams(current, target));
    Announce(u"NID_TAB_BECOMING_UNSELECTED", change);
    if (change->newIndex != target) {
      int32_t next = change->newIndex;
      // Back to a tab proposed before: the receivers go round in circles. Stay.
      if (next != current && std::find(proposed.begin(), proposed.end(), next) != proposed.end()) {
        next = current;
      }
      return SelectAt(next, proposed);
    }
  }

  // The pages may change while they are hidden and shown: keep them.
  RCPtrArray<LControl, 1, 0> pages;
  const ChildControlList& children = mPageHolder->GetChildren();
  for (uint32_t i = 0; i < children.GetCount(); ++i) {
    pages.AddItem(children.GetAt(i, ChildControlList::kInsertionOrder));
  }
  for (uint32_t i = pages.GetCount(); i-- > 0;) {
    if (int32_t(i) != target) {
      pages.GetAt(i)->SetVisible(false);
    }
  }
  mSelectedTab = name;
  OnTabSelected(target);
  if (target >= 0 && uint32_t(target) < pages.GetCount()) {
    pages.GetAt(uint32_t(target))->SetVisible(true);
  }
  Announce(u"NID_TAB_SELECTED", GetSelectedPage());
  return QZ_OK;
}

QZResult LTabControl::OnTabSelected(int32_t) { return QZ_OK; }

QZResult LTabControl::OnTabButtonClick(const RCPtr<LNotificationDistributor>& distributor,
                                       const RCPtr<LNotification>&) {
  const RCPtr<LControl> button = DynamicCast<LControl>(distributor);
  if (!button) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const WString name = button->GetName();
  const int32_t clicked = IndexOfTab(name);
  if (clicked >= 0) {
    Announce(u"NID_TAB_BUTTON_CLICKED", button);
  }
  SelectTab(name); // a cancelled or redirected click shows below
  const int32_t selected = GetSelectedIndex();
  if (selected >= 0) {
    if (selected != clicked) {
      if (const RCPtr<LControl> pressed = GetButtonAt(selected)) {
        pressed->SetValue(1.0);
      }
    }
    if (const RCPtr<LControl> page = GetSelectedPage()) {
      page->SetFocus(true); // a page that cannot take it leaves the focus
    }
  }
  return QZ_FALSE;
}

// =============================================================================================
// Initialisation, skin, conditions, notifications
// =============================================================================================

QZResult LTabControl::Initialize() {
  if (Failed(LPanel::Initialize())) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  mButtonHolder = FindChildByName(u"buttonHolder");
  mPageHolder = FindChildByName(u"pageHolder");
  const QZResult selected = SelectTabAt(0);
  if (Failed(selected)) {
    return selected;
  }
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  const ChildControlList& buttons = mButtonHolder->GetChildren();
  for (uint32_t i = 0; i < buttons.GetCount(); ++i) {
    const RCPtr<LNotificationDistributor> button(buttons.GetAt(i, ChildControlList::kInsertionOrder));
    GetHandlerTable()->AddHandler(&LTabControl::OnTabButtonClick, button, u"NID_LEFT_CLICK"); // a control
  }
  return selected;
}

QZResult LTabControl::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) {
  const QZResult result = LScrollView::ApplyDescriptor(descriptor);
  if (Succeeded(result) && GetHandlerTable()) {
    SelectTab(mSelectedTab);
  }
  return result;
}

QZResult LTabControl::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  if (param && GetOwnRootWindow() && (param->GetChanged() & kConditionVisible) &&
      (param->GetCurrent() & kConditionVisible)) {
    const RCPtr<LControl> self(this);
    if (const RCPtr<LControl> page = GetSelectedPage()) {
      page->SetFocus(true); // a page that cannot take it leaves the focus
    }
  }
  return LScrollView::OnConditionsChanged(param);
}

} // namespace QZ
