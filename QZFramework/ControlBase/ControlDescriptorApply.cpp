// A skin entry applied to a control: its placement record, looks, font, label, focusability
// and clipping, and its children; applied again on a skin switch, the living control and
// its subtree take the new skin while they keep their state. Also the two sub-controls
// every control can raise from the skin ("toolTip", "contextMenu") and the context menu's
// item notifications.

#include <cmath>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/ControlRoles.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/StringTable.h"

namespace QZ {
namespace {

RCPtr<LControlFactory> Factory() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetControlFactory() : nullptr;
}

// Hides a tip of owner's and has owner remove it at its next idle tick.
void DismissToolTip(LControl& owner, const RCPtr<LControl>& tip) {
  if (auto* timed = dynamic_cast<IToolTipRole*>(tip.Get())) {
    timed->Dismiss();
  } else {
    owner.RemoveChildDeferred(tip); // it is a child
  }
}

} // namespace

// =============================================================================================
// Applying a skin entry
// =============================================================================================

void LControl::BuildLooks(const RCPtr<LControlDescriptor>& descriptor, bool wrap, RCPtrArray<LLook, 1, 0>& looks) {
  const RCPtr<LSkinDescriptor>& skin = descriptor->GetSkin();
  const RCPtr<LLookList> list = skin ? skin->GetLookList() : nullptr;
  if (!list) {
    return;
  }
  // Sized once: the list would grow a slot, and a reallocation, at a time. An empty slot
  // stays empty: the slots' indices are the widget's look numbers.
  const uint32_t first = looks.GetCount();
  looks.SetCount(first + list->GetCount());
  for (uint32_t i = 0; i < list->GetCount(); ++i) {
    if (const RCPtr<LLookDescriptor>& look = list->GetAt(i)) {
      looks.GetAt(first + i) = LLook::Create(look, wrap);
    }
  }
}

QZResult LControl::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) {
  if (!descriptor) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  const RCPtr<LLayoutDescriptor> layout =
      descriptor->GetLayout() ? descriptor->GetLayout()->Clone() : LLayoutDescriptor::Create();
  // Built before anything changes: a part the skin cannot build throws (a gradient fill),
  // and the control is then left as it was for the caller to deal with.
  RCPtrArray<LLook, 1, 0> looks;
  BuildLooks(descriptor, layout->textOverflowX == kTextOverflowWrap, looks);

  const bool reapplying = mApplied;
  const bool wasVisible = mLayout ? mLayout->isVisible : true;
  const bool wasEnabled = mLayout ? mLayout->isEnabled : true;
  if (reapplying) {
    SetClipToParent(true);
  }

  mDescriptor = descriptor;
  mLayout = layout;
  if (mParent) {
    // TabStop, Z_Order and docking are keys of the parent's orders.
    mParent->mChildren.BumpVersion();
  }

  const bool topLevel = !mParent && mRootWindow;
  LayoutPosition windowPosition[2];
  LayoutSize windowSize[2];
  if (topLevel) {
    mLayout->isVisible = true;
    const RectT<int32_t> frame = mRootWindow->GetFrameRect();
    RectT<double> bounds{double(frame.x), double(frame.y), double(frame.width), double(frame.height)};
    if (AdjustRootWindowBounds(bounds) == 1) {
      const RectT<int32_t> moved{int32_t(std::lround(bounds.x)), int32_t(std::lround(bounds.y)),
                                 int32_t(std::lround(bounds.width)), int32_t(std::lround(bounds.height))};
      mRootWindow->SetFrameRect(moved);
    }
    if (reapplying) {
      // The window stays where it is: its client area's place and the control's size.
      const RectT<int32_t> client = mRootWindow->GetClientRect();
      const double place[2] = {double(client.x), double(client.y)};
      const double extent[2] = {mRect.width, mRect.height};
      for (int32_t axis = 0; axis < 2; ++axis) {
        windowPosition[axis] = mLayout->position[axis];
        windowPosition[axis].rel = 0.0f;
        windowPosition[axis].abs = place[axis];
        windowSize[axis] = mLayout->size[axis];
        windowSize[axis].rel = 0.0f;
        windowSize[axis].abs = extent[axis];
        mLayout->position[axis] = windowPosition[axis];
        mLayout->size[axis] = windowSize[axis];
      }
    }
  }

  if (reapplying) {
    if (mLayout->isVisible != wasVisible) {
      const bool show = mLayout->isVisible;
      mLayout->isVisible = wasVisible;
      SetVisible(show);
    }
    // The enabled state survives a skin switch.
    mLayout->isEnabled = wasEnabled;
  }
  WString notFocusable;
  if (LookupString(descriptor->GetCreateParams().Get(), TableKey<u"NOT_FOCUSABLE">(), notFocusable)) {
    SetFocusable(IsTrueText(notFocusable));
  } else {
    SetFocusable(mLayout->tabStop < 0);
  }

  SetLooks(looks);
  mLookWeights.SetCount(mLooks.GetCount()); // new looks start hidden
  const RCPtr<LSkinDescriptor>& skin = descriptor->GetSkin();
  const SkinFont font = skin ? skin->GetFont() : SkinFont{};
  mFontInheritsFromParent = font.inheritsFromParent;
  mFontSizeIsRelative = font.sizeIsRelative;
  SetFontSpec(font.name, font.size, font.style); // a control without a font draws no text

  if (!reapplying) {
    // The translated label first, then the skin's.
    WString label;
    if (LookupString(mStringTable.Get(), TableKey<u"LABEL">(), label) ||
        LookupString(descriptor->GetCreateParams().Get(), TableKey<u"LABEL">(), label) ||
        descriptor->GetCreateParams()) {
      SetTextInternal(label, false);
    }
  } else {
    // The new looks take the label: it changes once and comes back.
    const WString label = mLabel;
    mLabel += u"~";
    SetTextInternal(label, false);
  }

  if (!mLayout->clipToParent && mParent) {
    mParent->IncrementUnclippedCount(1);
  }

  RCPtrArray<LControl, 1, 0> setAside;
  for (uint32_t i = 0; i < mChildren.GetCount(); ++i) {
    setAside.AddItem(mChildren.GetAt(i, ChildControlList::kInsertionOrder));
  }
  mChildren.RemoveAll();
  mRect = {};
  PerformLayout();

  if (!reapplying) {
    ShowLook(0);
    const uint32_t conditions = GetConditions();
    mConditionsParam->Set(conditions, conditions, mPressPoint);
    mApplied = true;
    return QZ_OK;
  }

  MatchChildren(descriptor, setAside);
  if (mChildren.GetCount() > 0) {
    PerformLayout();
  }
  NotifyConditionChange();
  OnLookChanged();
  mChildren.BumpVersion();
  if (topLevel) {
    SetPlacement(windowPosition[0], windowSize[0], windowPosition[1], windowSize[1]);
  }
  return QZ_OK;
}

void LControl::MatchChildren(const RCPtr<LControlDescriptor>& descriptor, RCPtrArray<LControl, 1, 0>& setAside) {
  const RCPtr<LControl> self(this);
  mReapplying = true;
  try {
    const ControlDescriptorArray& entries = descriptor->GetChildren();
    for (uint32_t i = 0; i < entries.GetCount(); ++i) {
      const RCPtr<LControlDescriptor>& entry = entries.GetAt(i);
      RCPtr<LControl> match;
      for (uint32_t j = 0; j < setAside.GetCount(); ++j) {
        const RCPtr<LControl>& child = setAside.GetAt(j);
        const RCPtr<LControlDescriptor>& made = child->GetControlDescriptor();
        if (made && made->GetName() == entry->GetName()) {
          match = child;
          RCPtr<LControl> taken;
          setAside.RemoveItem(j, taken);
          break;
        }
      }
      SetUpSubControls(match, entry); // a child that cannot be set up is left out
    }
    while (setAside.GetCount() > 0) {
      RCPtr<LControl> child;
      setAside.RemoveItem(0, child);
      SetUpSubControls(child, nullptr); // a child that cannot be set up is left out
    }
  } catch (...) {
    // A faulty skin: the children not reached yet stay with the control.
    for (uint32_t j = 0; j < setAside.GetCount(); ++j) {
      if (!setAside.GetAt(j)->GetParent()) {
        setAside.GetAt(j)->SetParent(self); // a name taken leaves it out
      }
    }
    mReapplying = false;
    throw;
  }
  mReapplying = false;
}

QZResult LControl::SetUpSubControls(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) {
  const RCPtr<LControl> self(this);
  if (!child) {
    // A sub-control the old skin did not have.
    const RCPtr<LControlFactory> factory = Factory();
    if (!descriptor || IsDeferCreate(descriptor) || !factory) {
      return QZ_FALSE;
    }
    const RCPtr<LControl> created = factory->CreateControl(self, descriptor);
    if (!created) {
      return QZ_E_FAIL;
    }
    OnChildAdded(created);
    return QZ_OK;
  }
  const QZResult attached = child->SetParent(self);
  if (Failed(attached)) {
    return attached;
  }
  return descriptor ? child->ApplyDescriptor(descriptor) : QZResult(QZ_OK);
}

// =============================================================================================
// Tool tip and context menu
// =============================================================================================

WString LControl::GetToolTipText() { return mToolTipText; }

QZResult LControl::CreateToolTip(bool show) {
  const RCPtr<LControl> self(this);
  const RCPtr<LControl> earlier = FindChildByName(u"toolTip");
  if (!show) {
    if (!earlier) {
      return QZ_FALSE;
    }
    DismissToolTip(*this, earlier);
    return QZ_OK;
  }
  const WString text = GetToolTipText();
  const RCPtr<LControlFactory> factory = Factory();
  const RCPtr<LControlDescriptor> descriptor = factory ? factory->FindControlDescriptor(u"toolTip") : nullptr;
  if (text.IsEmpty() || !descriptor) {
    return QZ_FALSE;
  }
  if (earlier) {
    // Every hover makes a new tip. The last one may still wait for its removal at the next
    // idle tick: it goes now, so that the new one can take its name.
    DismissToolTip(*this, earlier);
    earlier->Detach();
  }
  const RCPtr<LControl> tip = factory->CreateControl(self, descriptor);
  if (!tip) {
    return QZ_E_FAIL;
  }
  tip->SetText(text);
  if (auto* timed = dynamic_cast<IToolTipRole*>(tip.Get())) {
    timed->Popup();
  } else {
    tip->SetVisible(true);
  }
  return QZ_OK;
}

QZResult LControl::ShowContextMenu(const RCPtr<LMenuDescriptor>& menu) {
  const RCPtr<LControl> self(this);
  const RCPtr<LControlFactory> factory = Factory();
  const RCPtr<LControlDescriptor> descriptor = factory ? factory->FindControlDescriptor(u"contextMenu") : nullptr;
  if (!descriptor) {
    return QZ_E_FAIL;
  }
  // A menu that closed leaves until the next idle tick: a new one takes its place now.
  if (const RCPtr<LControl> old = FindChildByName(u"contextMenu")) {
    old->Detach();
  }
  const RCPtr<LControl> popup = factory->CreateControl(self, descriptor);
  if (!popup) {
    return QZ_E_FAIL;
  }
  popup->SetVisible(false);
  auto* const menuPopup = dynamic_cast<IContextMenuRole*>(popup.Get());
  if (menuPopup) {
    menuPopup->SetMenuDescriptor(menu);
  }
  OnBeforeContextMenu(menu);
  if (menuPopup) {
    menuPopup->ShowAtMousePosition();
  }
  return QZ_OK;
}

QZResult LControl::SetContextMenuDescriptor(const RCPtr<LMenuDescriptor>& menu) {
  const RCPtr<LControl> self(this);
  if (mContextMenu) {
    SubscribeMenuNotifications(mContextMenu, false);
  }
  mContextMenu = menu;
  if (menu) {
    SubscribeMenuNotifications(menu, true);
  }
  return QZ_OK;
}

QZResult LControl::SubscribeMenuNotifications(const RCPtr<LMenuDescriptor>& menu, bool subscribe) {
  if (!menu) {
    return QZ_E_INVALIDARG;
  }
  for (uint32_t i = 0; i < menu->GetItemCount(); ++i) {
    const RCPtr<LMenuItemDescriptor> item = menu->GetItem(i);
    if (item->GetItemCount() > 0) {
      SubscribeMenuNotifications(item, subscribe);
      continue;
    }
    const WString& name = item->GetNotificationName();
    if (name.IsEmpty()) {
      continue;
    }
    if (subscribe) {
      HandlerTable().AddAnySourceHandler(&LControl::OnMenuCommand, name.GetBuffer());
    } else {
      HandlerTable().RemoveAnySourceHandler(name.GetBuffer());
    }
  }
  return QZ_OK;
}

QZResult LControl::OnMenuCommand(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>& notification) {
  return OnMenuHotKey(notification);
}

} // namespace QZ
