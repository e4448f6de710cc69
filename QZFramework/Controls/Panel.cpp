#include "QZFramework/Controls/Panel.h"

#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

namespace Win = Platform::Window;

bool IsTabPressed(const KeyCode& key) {
  return LControl::IsVirtualKeyDown(key) && (key.code & kKeyCodeVirtualKeyMask) >> 16 == Win::VK_TAB;
}

} // namespace

LPanel::LPanel(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

// =============================================================================================
// Keys
// =============================================================================================

QZResult LPanel::OnKeyDown(const RCPtr<LKeyParam>& param) {
  if (!mTabLoop || !param || !IsTabPressed(param->GetKey())) {
    return QZ_FALSE;
  }
  return (param->GetKey().code & kKeyCodeCtrl) != 0 ? QZ_FALSE : QZ_OK;
}

QZResult LPanel::HandleKey(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const QZResult siblings = OnSiblingKey(param);
  if (siblings != QZ_FALSE) {
    return siblings;
  }
  if (const RCPtr<LControl> parent = GetParent()) {
    param->AppendToPath(self);
    return parent->HandleKey(param);
  }
  return DispatchHotKeys(param);
}

RCPtr<LControl> LPanel::FocusNextChild(const RCPtr<LControl>& child, bool backwards) {
  const RCPtr<LControl> next = LControl::FocusNextChild(child, backwards);
  if (!GetParent() || !next) {
    return next;
  }
  const int32_t from = IndexOfChild(child.Get(), ChildControlList::kTabOrder);
  const int32_t to = IndexOfChild(next.Get(), ChildControlList::kTabOrder);
  const bool wrapped = backwards ? to >= from : to <= from;
  return !wrapped || mTabLoop ? next : nullptr;
}

QZResult LPanel::OnNavigationKey(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const uint32_t code = param->GetKey().code;
  const bool backwards = (code & kKeyCodeShift) != 0;
  if ((code & kKeyCodeCtrl) == 0) {
    RCPtr<LControl> start = param->GetLastInPath();
    RCPtr<LControl> next = FocusNextChild(start, backwards);
    // Every child is visited at most once before the walk is back where it started (or
    // at a child it cannot leave).
    for (uint32_t step = 0; next && step <= GetChildren().GetCount(); ++step) {
      if (next == start) {
        if (!mTabLoop) {
          break;
        }
        if (start->HasFocus()) {
          const RCPtr<LControl> focused = GetFocusedChild();
          const RCPtr<LControl> following = focused ? FocusNextChild(focused, backwards) : nullptr;
          if (following) {
            following->SetFocus(!backwards); // the focus stays where it can go
          }
        }
        return QZ_OK;
      }
      if (next->IsFocusable() || next->CanTakeFocus()) {
        return next->SetFocus(!backwards);
      }
      if (!next->IsShown(true) || !next->IsEnabled(true)) {
        start = next;
      }
      next = FocusNextChild(next, backwards);
    }
  }
  return PassNavigationUp(param);
}

// =============================================================================================
// Initialisation and notifications
// =============================================================================================

QZResult LPanel::Initialize() {
  const QZResult base = LScrollView::Initialize();
  if (Failed(base) || !GetParent()) {
    return base;
  }
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  CheckResult(SubscribeSiblingKeys(), {"QZ::LPanel::Initialize", R"(Controls\Panel)", 37});
  return base;
}

QZResult LPanel::SubscribeSiblingKeys() {
  return GetHandlerTable()->AddHandler(&LPanel::OnParentSiblingKey, RCPtr<LNotificationDistributor>(GetParent()),
                                       u"NID_SIBLING_KEY");
}

QZResult LPanel::OnParentSiblingKey(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  const RCPtr<LSiblingKeyParam> offer = notification->GetParameterAs<LSiblingKeyParam>();
  if (!offer) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  if (OnSiblingKey(LKeyParam::Create(offer->GetKey(), false)) == QZ_OK) {
    offer->SetHandled(LSiblingKeyParam::kHandled);
    return QZ_FALSE;
  }
  // Unused by the children: the panel's own local hot keys (the control's route) may
  // still answer it.
  return QZ_OK;
}

} // namespace QZ
