#pragma once
// QZ::LTabControl ("Framework.TabControl"): a panel that shows one page at a time. Its
// skin gives it "buttonHolder", whose children are the tab buttons, and "pageHolder",
// whose children are the pages in the same order; a tab is named by its button. Clicking
// a button selects its tab. A change of tab is announced before it happens
// ("NID_TAB_BECOMING_UNSELECTED" with a QZ::LTabBecomingUnselectedParams whose newIndex a
// receiver may change: back to currentIndex cancels, another tab redirects) and after it
// ("NID_TAB_SELECTED" with the page shown, null when none); a click also sends
// "NID_TAB_BUTTON_CLICKED" with the button.
//
//   factory->RegisterControlCreateFunction(u"Framework.TabControl", &QZ::CreateControlOf<QZ::LTabControl>);
//   QZ::RCPtr<QZ::LTabControl> tabs = ...;            // after Initialize the first tab is selected
//   listener->RegisterNotification(tabs, u"NID_TAB_BECOMING_UNSELECTED");
//   tabs->SelectTab(u"globalPresetEditor");            // 0; the other pages hidden
//   QZ::RCPtr<QZ::LControl> page = tabs->GetSelectedPage();
//
// Within one selection a redirect to a tab already proposed cancels it, so receivers
// that keep redirecting cannot recurse without end. UI thread, like every control.

#include <vector>

#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/Controls/Panel.h"

namespace QZ {

// The parameter of "NID_TAB_BECOMING_UNSELECTED": the tab being left, and the tab about
// to be selected, which a receiver may change.
class LTabBecomingUnselectedParams : public virtual LRefCountedObject {
public:
  LTabBecomingUnselectedParams(int32_t current, int32_t proposed) : currentIndex(current), newIndex(proposed) {}

  int32_t currentIndex;
  int32_t newIndex;
};

class LTabControl : public LHandlerTableControl<LTabControl, LPanel> {
public:
  LTabControl(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's operations --------------------------------------------------------

  // The panel's, then the holders, the first tab selected (its result returned when it
  // fails) and every button's "NID_LEFT_CLICK" routed to the tab control. QZ_E_FAIL when
  // the panel fails.
  QZResult Initialize() override;
  // The scroll view's; an initialised tab control then selects its tab again by name.
  QZResult ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
  // A top tab control that becomes visible gives the focus to the selected page. Then the
  // scroll view's.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;

  // --- The tab control's own --------------------------------------------------------------

  // The number of buttons; 0 without "buttonHolder".
  virtual int32_t GetTabCount();
  // The index of the button named name, the last of that name; -1 when none.
  virtual int32_t IndexOfTab(const WString& name);
  virtual int32_t GetSelectedIndex();
  // The page at the selected index; null when there is none.
  virtual RCPtr<LControl> GetSelectedPage();
  virtual WString GetSelectedTab();
  // Null for an unknown name.
  virtual RCPtr<LControl> GetPageOfTab(const WString& name);
  // Null without the holder or for an index not below GetTabCount (for pages too).
  virtual RCPtr<LControl> GetPageAt(int32_t index);
  virtual RCPtr<LControl> GetButtonOfTab(const WString& name);
  virtual RCPtr<LControl> GetButtonAt(int32_t index);
  // Selects the tab of name: announced to receivers that may cancel or redirect it, every
  // other page hidden, the tab's page shown (none for an unknown name), then announced as
  // selected. 0; QZ_E_FAIL without either holder; the result of a redirected selection.
  virtual QZResult SelectTab(const WString& name);
  // SelectTab of button index's name: QZ_E_FAIL without "buttonHolder" or for an index
  // outside the buttons.
  virtual QZResult SelectTabAt(int32_t index);
  // Hook: the tab at index (-1 for none) is being selected. 0.
  virtual QZResult OnTabSelected(int32_t index);

  const RCPtr<LControl>& GetButtonHolder() const { return mButtonHolder; }
  const RCPtr<LControl>& GetPageHolder() const { return mPageHolder; }

private:
  // The tabs proposed so far within one selection.
  using Proposals = std::vector<int32_t>;
  QZResult Select(const WString& name, Proposals& proposed);
  QZResult SelectAt(int32_t index, Proposals& proposed);
  QZResult OnTabButtonClick(const RCPtr<LNotificationDistributor>& distributor,
                            const RCPtr<LNotification>& notification);

  RCPtr<LControl> mButtonHolder;
  RCPtr<LControl> mPageHolder;
  WString mSelectedTab;
};

} // namespace QZ
