#pragma once
// QZ::LPanel ("Framework.Panel", "Framework.ScrollChannel"): the scroll view that groups
// controls and routes the keyboard for them. A key nobody below used climbs the chain of
// panels (each offers it to its children first) to the topmost panel, which hands it to
// the window's hot keys, then to the application's. A panel hears the keys its siblings
// did not use ("NID_SIBLING_KEY" of its parent) and offers them to its own children. Tab
// and Shift+Tab move the focus across nested panels: a walk that wraps inside a panel
// leaves it for the enclosing one, unless the panel keeps the focus in a loop (tabLoop).
//
//   factory->RegisterControlCreateFunction(u"Framework.Panel", &QZ::CreateControlOf<QZ::LPanel>);
//   QZ::RCPtr<QZ::LPanel> page = QZ::DynamicCast<QZ::LPanel>(factory->CreateControl(tabs, entry));
//   page->SetTabLoop(true);     // Tab cycles among the page's own controls
//
// UI thread, like every control.

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/ScrollView.h"

namespace QZ {

class LKeyParam;

class LPanel : public LHandlerTableControl<LPanel, LScrollView> {
public:
  LPanel(const RCPtr<LControl>& parent, const WString& name);

  // The control's step to the next child in tab order; a step that wrapped round gives
  // null (the parent moves the focus on), unless the panel loops or has no parent.
  RCPtr<LControl> FocusNextChild(const RCPtr<LControl>& child, bool backwards) override;
  // With tabLoop a plain Tab (or Shift+Tab) stays with the panel: 0. Anything else: 1.
  QZResult OnKeyDown(const RCPtr<LKeyParam>& param) override;
  // The panel's children first (OnSiblingKey), then up: the parent's HandleKey with the
  // panel in the key's path, or at the top the window's and the application's hot keys.
  // 0 when something used the key, 1 when nothing did.
  QZResult HandleKey(const RCPtr<LKeyParam>& param) override;
  // Tab (Shift+Tab backwards) from the last control of the key's path to the next control
  // that takes the focus; past the last (first) child the key goes to the parent with the
  // panel in its path; at the top, to the window's focus cycling, which starts the round
  // again (the focus would otherwise stay on the window's last control for good). Ctrl+Tab
  // goes up at once. 0 when the focus moved inside, else the parent's or the window's answer.
  QZResult OnNavigationKey(const RCPtr<LKeyParam>& param) override;
  // The scroll view's, then, under a parent, the keys the parent's children do not use are
  // offered to this panel's children. The scroll view's failure as it is; 0. Throws
  // "Failed Result : QZRESULT = ... : QZ::LPanel::Initialize : Controls\Panel : Line 37"
  // when the subscription fails.
  QZResult Initialize() override;

  // Whether Tab cycles inside the panel (false at construction).
  void SetTabLoop(bool tabLoop) { mTabLoop = tabLoop; }
  bool GetTabLoop() const { return mTabLoop; }

protected:
  // The subscription of the sibling-key handler to the parent's "NID_SIBLING_KEY".
  virtual QZResult SubscribeSiblingKeys();

private:
  QZResult OnParentSiblingKey(const RCPtr<LNotificationDistributor>& distributor,
                              const RCPtr<LNotification>& notification);

  bool mTabLoop = false;
};

} // namespace QZ
