#pragma once
// QZ::LMainMenu ("Framework.MainMenu"): the menu bar of a window. Each top-level menu is an
// entry cloned from the bar's "templateMenu" (a QZ::LComboMenu whose child "popupMenu" shows
// the menu); the titles come from the bar's string table ("MENU_LABEL.00" "File",
// "MENU_LABEL.01" "Help" ...) and the menus from its "CONTEXT_MENU<n>.<ii>.<NID>" entries.
//
//   auto bar = QZ::DynamicCast<QZ::LMainMenu>(mainControl->FindChildByName(u"mainMenu"));
//   bar->SetMenuItemStateProvider(deviceView->GetMenuItemUpdater());   // which items are enabled
//   bar->AddMenu(bar->GetAddedMenuCount(), u"Edit", u"Edit", editMenu);  // a third title
//
// Chosen items go to the bar's root window as commands (as its hot keys raise them). While
// the bar is in use it keeps the control that had the focus before; choosing an item gives
// that control the focus back first, and edit commands chosen from the bar act on it.
//
// Entries that the skin puts in the bar stand first and are not counted by the index-based
// operations; entries added from menus follow, each placed at the right edge of the one
// before. A skin switch keeps the added entries.
//
// UI thread, like every control.

#include <cstdint>
#include <vector>

#include "QZFramework/Controls/ComboMenu.h"

namespace QZ {

class LMainMenu : public LControl, public IMenuFocusKeeper {
public:
  LMainMenu(const RCPtr<LControl>& parent, const WString& name);

  // --- The control's operations ----------------------------------------------------------

  // The control that had the focus before the bar when it takes typed text; else the
  // parent's keyboard target; null without a parent.
  RCPtr<LControl> GetKeyboardTarget() override;
  // The focus coming into the bar: the window's previously focused control (outside the
  // bar) is kept as the focus before.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // Every entry's pop-up delivers to the root window; then the control's.
  QZResult SubscribeNotifications() override;
  // 1 without a state provider (state unchanged); QZ_E_FAIL when the provider's control is
  // gone; else that control's answer.
  QZResult IsMenuItemEnabled(const LMenuDescriptor* menu, int32_t itemIndex, const WString& command,
                             LMenuItemState& state) override;
  // A skin switch: the added entries are set aside with their names, titles and menus, the
  // control's own is applied, and they are made again from the new template in order.
  QZResult ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
  // The control's (its failure as it is); the bar never takes the focus itself; the
  // template taken from "templateMenu" (or the first skin entry); the skin's entries
  // fixed; then one entry per menu of the string table when there are as many menus as
  // titles. 0.
  QZResult Initialize() override;
  QZResult ReleaseInternalReferences() override;

  // --- IMenuFocusKeeper ----------------------------------------------------------------------

  // The focus before gets the focus back when it is still in a window.
  void RestoreFocusAfterMenu() override;

  // --- The bar's own -----------------------------------------------------------------------

  // Adds an entry named name with the title label showing menu at index among the added
  // entries (the count appends). The index; QZ_E_INVALIDARG for an index past the count or
  // a name the bar has already; QZ_E_FAIL without a template or when the entry cannot be
  // made.
  QZResult AddMenu(int32_t index, const WString& name, const WString& label, const RCPtr<LMenuDescriptor>& menu);
  // The same before the added entry named before (empty: at the end). QZ_E_INVALIDARG when
  // before names no added entry (a skin entry does not count).
  QZResult InsertMenu(const WString& before, const WString& name, const WString& label,
                      const RCPtr<LMenuDescriptor>& menu);
  // The control whose IsMenuItemEnabled decides for the bar's menus (null: all enabled).
  void SetMenuItemStateProvider(const RCPtr<LMenuItemUpdater>& provider) { mStateProvider = provider; }
  void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& provider) { mStateProvider = provider; }
  int32_t GetAddedMenuCount() const { return int32_t(mEntries.size()); }
  // The added entry at index (display order); null out of range.
  RCPtr<LComboMenu> GetAddedMenu(int32_t index) const;
  uint32_t GetFixedMenuCount() const { return mFixedCount; }
  const RCPtr<LControl>& GetFocusBefore() const { return mFocusBefore; }

private:
  // Makes an entry from the template and readies its pop-up (updater, owner); null when it
  // cannot be made.
  RCPtr<LComboMenu> MakeEntry(const WString& name, const WString& label, const RCPtr<LMenuDescriptor>& menu);
  // Each added entry placed at the right edge of the one before (the first where the
  // template places it, unless skin entries stand before it).
  void ChainPlacements();
  // Takes a "templateMenu" child as the template, detached; whether there was one.
  bool TakeTemplateChild();
  bool HasChildNamed(const WString& name) const;
  static void TakeFocusWhenPressed(const RCPtr<LControl>& entry);

  RCPtr<LControl> mFocusBefore;
  RCPtr<LControlDescriptor> mEntryTemplate;
  RCPtr<LMenuItemUpdater> mStateProvider;
  uint32_t mFixedCount = 0;
  bool mTemplateWasChild = false;
  // The added entries in display order.
  std::vector<RCPtr<LComboMenu>> mEntries;
};

} // namespace QZ
