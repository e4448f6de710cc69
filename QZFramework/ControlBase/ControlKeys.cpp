// Keys on their way through the control tree: the focused control's siblings hear them
// first ("NID_SIBLING_KEY", where local hot keys answer), then the control itself, then its
// parent's sibling offer, the window's and the application's hot keys; Tab, Shift+Tab and
// Ctrl+Tab move the focus along the tab order, leaving a container when the walk wraps.

#include <algorithm>
#include <vector>

#include "Platform/Window/VirtualKeys.h"
#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/GlobalHotKeyManager.h"
#include "QZFramework/ControlBase/KeyParam.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Notification/NotificationCenter.h"
#include "QZFramework/Services/ApplicationContext.h"

namespace QZ {
namespace {

namespace Win = Platform::Window;

uint8_t VirtualKeyOf(const KeyCode& key) { return uint8_t((key.code & kKeyCodeVirtualKeyMask) >> 16); }

} // namespace

bool LControl::IsVirtualKeyDown(const KeyCode& key) {
  return (key.code & kKeyCodeVirtualKeyMask) != 0 && (key.code & kKeyCodeInvalid) == 0 &&
         (key.code & kKeyCodeDown) != 0;
}

// =============================================================================================
// A key for the focused control
// =============================================================================================

QZResult LControl::OnKey(const RCPtr<LKeyParam>& param) {
  if (!param || !AcceptsInput()) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  // The siblings (and the control itself) subscribe at the parent; a top control has none.
  const RCPtr<LSiblingKeyParam> offer = LSiblingKeyParam::Create(param->GetKey(), self);
  const RCPtr<LNotificationDistributor> raiser =
      mParent ? RCPtr<LNotificationDistributor>(mParent) : RCPtr<LNotificationDistributor>(self);
  (void)raiser->SendNotification(LNotification::Create(u"NID_SIBLING_KEY", offer)); // 1 when nobody listens
  if (offer->GetHandled() == LSiblingKeyParam::kHandled) {
    return QZ_OK;
  }

  const QZResult own = OnKeyDown(param);
  if (own != QZ_FALSE) {
    return own;
  }
  param->AppendToPath(self);
  const KeyCode& key = param->GetKey();
  if (!IsVirtualKeyDown(key) || VirtualKeyOf(key) != Win::VK_TAB) {
    return mParent ? mParent->HandleKey(param) : DispatchHotKeys(param);
  }
  if (mWantsTab) {
    return QZ_FALSE;
  }
  return mParent ? mParent->OnNavigationKey(param) : CycleWindowFocus(param);
}

QZResult LControl::HandleKey(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const QZResult siblings = OnSiblingKey(param);
  return siblings != QZ_FALSE ? siblings : DispatchHotKeys(param);
}

QZResult LControl::DispatchHotKeys(const RCPtr<LKeyParam>& key) {
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    if (const RCPtr<LGlobalHotKeyManager> keys = window->GetHotKeyManager()) {
      const QZResult result = keys->HandleKey(key);
      if (result != QZ_FALSE) {
        return result;
      }
    }
  }
  IControlApplication* application = GetControlApplication();
  const RCPtr<LGlobalHotKeyManager> global = application ? application->GetGlobalHotKeyManager() : nullptr;
  return global ? global->HandleKey(key) : QZResult(QZ_FALSE);
}

QZResult LControl::CycleWindowFocus(const RCPtr<LKeyParam>& key) {
  const RCPtr<IRootWindow> window = GetRootWindowRef();
  return window ? window->MoveFocusToNextWindow(key) : QZResult(QZ_FALSE);
}

QZResult LControl::PassNavigationUp(const RCPtr<LKeyParam>& key) {
  const RCPtr<LControl> self(this);
  key->AppendToPath(self);
  return mParent ? mParent->OnNavigationKey(key) : CycleWindowFocus(key);
}

// =============================================================================================
// Tab navigation
// =============================================================================================

QZResult LControl::OnNavigationKey(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const uint32_t code = param->GetKey().code;
  const bool backwards = (code & kKeyCodeShift) != 0;
  if (code & kKeyCodeCtrl) {
    // The focus leaves this control's children as a whole.
    const KeyCode tab(Win::VK_TAB, true, 0, backwards ? kModifierShift : 0);
    return PassNavigationUp(LKeyParam::Create(tab, param->IsWrapped()));
  }

  const RCPtr<LControl> last = param->GetLastInPath();
  const int32_t lastPosition = IndexOfChild(last.Get(), ChildControlList::kTabOrder);
  // The walk offers only children that take input, so it always moves on; it ends when it is
  // back where it started, or after one round when it started on a child it cannot reach.
  RCPtr<LControl> next = FocusNextChild(last, backwards);
  for (uint32_t step = 0; next && next != last && step < mChildren.GetCount(); ++step) {
    if (!param->IsWrapped()) {
      const int32_t position = IndexOfChild(next.Get(), ChildControlList::kTabOrder);
      if (backwards ? position >= lastPosition : position <= lastPosition) {
        return PassNavigationUp(param);
      }
    }
    if (next->IsFocusable() || next->CanTakeFocus()) {
      return next->SetFocus(!backwards);
    }
    next = FocusNextChild(next, backwards);
  }
  return param->IsWrapped() ? QZResult(QZ_FALSE) : PassNavigationUp(param);
}

// =============================================================================================
// Keys offered to siblings
// =============================================================================================

QZResult LControl::OnSiblingKey(const RCPtr<LKeyParam>& param) {
  if (!param) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LNotificationClientPool> pool = FindClientPool(GetNotificationID(u"NID_SIBLING_KEY"));
  if (!pool || pool->GetEntryCount() == 0) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  // In the order they subscribed.
  std::vector<RCPtr<LNotificationClient>> subscribers = pool->GetClients();
  std::reverse(subscribers.begin(), subscribers.end());
  const RCPtr<LControl> passer = param->GetLastInPath();
  Array<uint32_t> order;
  SortChildren(passer, subscribers, order);

  const RCPtr<LSiblingKeyParam> offer = LSiblingKeyParam::Create(param->GetKey(), passer);
  const RCPtr<LNotification> notification = LNotification::Create(u"NID_SIBLING_KEY", offer);
  const RCPtr<LNotificationDistributor> distributor(self);
  for (uint32_t i = order.GetCount(); i-- > 0;) {
    const RCPtr<LNotificationClient>& subscriber = subscribers[order.GetAt(i)];
    if (passer && DynamicCast<LControl>(subscriber) == passer) {
      continue;
    }
    subscriber->ReceiveNotification(distributor, notification); // the mark tells
    if (offer->GetHandled() == LSiblingKeyParam::kHandled) {
      return QZ_OK;
    }
  }
  return QZ_FALSE;
}

QZResult LControl::SortChildren(const RCPtr<LControl>& passer,
                                const std::vector<RCPtr<LNotificationClient>>& subscribers, Array<uint32_t>& order) {
  struct Record {
    int64_t rank;
    bool focusable;
    uint32_t index;
  };
  int64_t others = 0;
  for (const RCPtr<LNotificationClient>& subscriber : subscribers) {
    const RCPtr<LControl> control = DynamicCast<LControl>(subscriber);
    others += control && control->mParent.Get() == this ? 0 : 1;
  }
  // Children rank by their tab position; the others below every child, the first lowest.
  std::vector<Record> records;
  int64_t otherRank = -others;
  for (uint32_t i = 0; i < subscribers.size(); ++i) {
    const RCPtr<LControl> control = DynamicCast<LControl>(subscribers[i]);
    const bool child = control && control->mParent.Get() == this;
    const int64_t rank = child ? IndexOfChild(control.Get(), ChildControlList::kTabOrder) : otherRank++;
    records.push_back({rank, control && !control->mNotFocusable, i});
  }
  std::stable_sort(records.begin(), records.end(), [](const Record& a, const Record& b) { return a.rank < b.rank; });

  const int64_t passerRank = IndexOfChild(passer.Get(), ChildControlList::kTabOrder);
  size_t leading = 0;
  while (leading < records.size() && !records[leading].focusable) {
    ++leading;
  }
  std::vector<uint32_t> sorted;
  for (size_t i = 0; i < leading; ++i) {
    sorted.push_back(records[i].index);
  }
  for (size_t i = leading; i < records.size(); ++i) {
    if (records[i].rank > passerRank) {
      sorted.push_back(records[i].index);
    }
  }
  for (size_t i = leading; i < records.size(); ++i) {
    if (records[i].rank <= passerRank) {
      sorted.push_back(records[i].index);
    }
  }
  order.RemoveAll();
  for (uint32_t index : sorted) {
    order.AddItem(index);
  }
  return QZ_OK;
}

QZResult LControl::OnSiblingKeyNotification(const RCPtr<LNotificationDistributor>&,
                                            const RCPtr<LNotification>& notification) {
  const RCPtr<LSiblingKeyParam> offer = notification ? notification->GetParameterAs<LSiblingKeyParam>() : nullptr;
  if (!offer || !AcceptsInput()) {
    return QZ_FALSE;
  }
  const WString command = mHotKeys.FindCommand(offer->GetKey());
  if (!command.IsEmpty()) {
    const RCPtr<LControl> self(this);
    offer->SetHandled(LSiblingKeyParam::kHandled);
    HandleOwnCommand(LNotification::Create(command.GetBuffer(), offer)); // the key is used either way
  }
  return QZ_FALSE;
}

QZResult LControl::HandleOwnCommand(const RCPtr<LNotification>& command) {
  const HotKeyMap::Handler handler = mHotKeys.GetHandler(command->GetID());
  if (handler.receiver == this) {
    return OnMenuHotKey(command);
  }
  return ReceiveNotification(RCPtr<LNotificationDistributor>(this), command);
}

// =============================================================================================
// Hot keys of menu commands
// =============================================================================================

QZResult LControl::RegisterMenuHotKeys(const RCPtr<LMenuDescriptor>& menu, bool add) {
  if (!menu) {
    return QZ_E_INVALIDARG;
  }
  for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
    const RCPtr<LMenuItemDescriptor> item = menu->GetItem(i);
    if (item->GetItemCount() > 0) {
      RegisterMenuHotKeys(item, add);
    } else if (mHotKeys.HasBinding(item->GetNotificationName())) {
      // The name is not empty: it has a binding.
      (void)mHotKeys.SetHandler(add ? this : nullptr, 0, item->GetNotificationName());
    }
  }
  return QZ_OK;
}

QZResult LControl::OnMenuHotKey(const RCPtr<LNotification>& notification) {
  if (!notification) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const WString command(notification->GetID());
  if (const RCPtr<IRootWindow> window = GetRootWindowRef()) {
    const RCPtr<LGlobalHotKeyManager> keys = window->GetHotKeyManager();
    if (keys && keys->GetHotKeyMap().HasBinding(command)) {
      window->HandleCommand(notification);
      return QZ_FALSE;
    }
  }
  const RCPtr<LNotificationCenter> centre =
      mNotificationCenter ? mNotificationCenter : RCPtr<LNotificationCenter>(GetApplicationNotificationCenter());
  if (centre) {
    // A centre that is shutting down drops it, as it drops every late post.
    (void)centre->PostNotification(LNotification::Create(command.GetBuffer(), notification->GetParameter()));
  }
  return QZ_FALSE;
}

} // namespace QZ
