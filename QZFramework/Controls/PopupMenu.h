#pragma once
// QZ::LPopupMenu ("Framework.PopupMenu"): a menu descriptor tree shown as a floating list of
// rows, each with a check mark, the label, the hot-key text and, for an item with items, an
// arrow that opens a cascaded sub-menu after the pointer rests on it. QZ::LMenuListBoxItem
// ("Framework.MenuItem") is its row, cloned from the skin's "templateItem" with the parts
// "hotKeyLabel" (a label) and "checkBox" (a button).
//
//   auto popup = QZ::DynamicCast<QZ::LPopupMenu>(factory->CreateControl(owner, entry));
//   popup->SetMenuDescriptor(menu);   // shows a copy: menu itself is never written
//   popup->ShowAtMousePosition();     // asks the owner which items are enabled, takes the focus
//   // A chosen item: "NID_ITEM_ACTIVATED" (no parameter) from the pop-up, then the item's
//   // NID with a QZ::LMenuActivationParam straight to the owner, then the chain closes.
//
// The owner is the control or window given to SetOwner, else the nearest ancestor that is
// not a pop-up menu (a sub-menu is a child of the pop-up that opened it, so a chain shares
// one owner). A control owner receives the NID through ReceiveNotification with no source;
// a window owner through its command handling, and when nothing there handles it the
// application's notification centre gets it posted (as the window's hot keys raise
// commands).
//
// Looks of a row (14): 0 normal, 1 hover, 2 pressed, 3-5 the same for an item with items,
// 6 disabled, 7-12 the six for the highlighted row, 13 separator. The check box shows look
// 7 for a checked item in a plain row and 8 in the highlighted row (0, transparent, when
// not checked); the hot-key text takes the colour of the row's text.
//
// Sub-menus need a "submenu" sub-control in the pop-up's skin: the sub-menu pop-up is made
// from it under the opening pop-up. The switch waits until the pointer has rested more than
// the sub-menu delay (250 ms of the application clock) on a row, on idle ticks.
//
// Results: 0 done, 1 nothing to do, 0x80070057 for a bad argument, 0x80004005 for an
// operation not possible now. UI thread, like every control.

#include <cstdint>

#include "QZFramework/ControlBase/ControlRoles.h"
#include "QZFramework/ControlBase/HandlerTableControl.h"
#include "QZFramework/ControlBase/MenuDescriptor.h"
#include "QZFramework/Controls/CheckedListBox.h"

namespace QZ {

class LMenuItemUpdater;

// A menu bar: when an item of one of its menus is chosen, the focus goes back to the
// control that had it before the bar was used (before the item is delivered).
class IMenuFocusKeeper {
public:
  virtual ~IMenuFocusKeeper() = default;
  virtual void RestoreFocusAfterMenu() = 0;
};

// A menu title of a bar (a combo menu): a left drag from an open pop-up onto it hands it
// the capture, so the drag moves along the bar.
class IMenuTitle {
public:
  virtual ~IMenuTitle() = default;
};

class LMenuListBoxItem : public LCheckedListBoxItem {
public:
  LMenuListBoxItem(const RCPtr<LControl>& parent, const WString& name);

  // The row's look, then the check box's (7 or 8 when checked, by the row's highlight;
  // else 0) and the colour of the hot-key text. SetLookWeight's result.
  QZResult ShowLook(int32_t index) override;
};

class LPopupMenu : public LHandlerTableControl<LPopupMenu, LCheckedListBox>, public IContextMenuRole {
public:
  // How long the pointer rests on a row before its sub-menu opens (or the open one closes).
  static constexpr uint32_t kDefaultSubMenuDelayMs = 250;
  // What a row needs beside the label and hot-key texts, to the right of "hotKeyLabel".
  static constexpr double kHotKeyGap = 20.0;

  LPopupMenu(const RCPtr<LControl>& parent, const WString& name);
  ~LPopupMenu() override;

  // --- The control's and the list boxes' operations ---------------------------------------

  // The checked list box's (0x80004005 on failure), the handler table, a "submenu" child
  // kept as the sub-menus' descriptor and detached, the automatic size limits, menu mode
  // and shown check boxes, then LoadFromStringTable's result.
  QZResult Initialize() override;
  // Not clipped to the parent, hidden, then the automatic size limits. The base's result.
  QZResult OnLookChanged() override;
  // The owner's keyboard target (edit commands act on what the menu was opened for); the
  // list box's without an owner control.
  RCPtr<LControl> GetKeyboardTarget() override;
  // The checked list box's; a set menu is laid out again.
  QZResult ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) override;
  // A top pop-up that is shown and loses the focus closes its menu; becoming visible makes
  // rows that waited for it and asks the owner for the items' states; a top pop-up hidden
  // closes its sub-menus.
  QZResult OnConditionsChanged(const RCPtr<LConditionsParam>& param) override;
  // The list box's; then, while a left drag that began on this pop-up goes on outside it,
  // the capture moves to a combo menu title or a pop-up of the chain under the pointer.
  QZResult HandleMouseMove(const RCPtr<LPointWithModifiersParam>& param) override;
  // A release over a selectable row chooses it (OnItemChosen). Elsewhere the list box's.
  QZResult HandleLeftButtonUp(const RCPtr<LMouseButtonParam>& param) override;
  // Left closes this sub-menu, Right opens the current item's sub-menu, Escape closes the
  // chain (closeOnActivate only), Return chooses the current row; other keys the list box's.
  QZResult OnKeyDown(const RCPtr<LKeyParam>& param) override;
  // The sub-menu switch once the delay has passed. 0.
  QZResult OnTick() override;
  // The checked list box's, then the newest row's hover is heard (the status text).
  QZResult CreateItemControls() override;
  // The list box's, then what a row needs beside its texts and a separator's height are
  // taken from row too, for a menu laid out before it has rows (a menu bar's rows wait for
  // their menu's first opening).
  QZResult MeasureItemTemplate(const RCPtr<LControl>& row) override;
  // The checked list box's, then the row's hot-key text, separator mode, enabled state and
  // check from the item (a row past the end: cleared and disabled).
  QZResult RefreshItemRow(int32_t index, RCPtr<LListBoxItem>& row) override;
  // Rows and separators by their own heights.
  double GetContentHeight() const override;
  // Only an enabled item that is not a separator.
  bool IsItemSelectable(int32_t index) override;
  // A menu keeps its order: 0x80004001.
  QZResult SwapItems(int32_t a, int32_t b) override;
  // The current (highlighted) row changed: the sub-menu switch starts or stops.
  QZResult OnSelectionChanged() override;

  // The owner, the open sub-menu and the updater go; then the checked list box's.
  QZResult ReleaseInternalReferences() override;

  // --- The pop-up menu's own --------------------------------------------------------------

  // Shows a deep copy of menu (any open sub-menu closed), its hot-key texts filled in, and
  // lays out: 0, or 1 when there is no row control; 0x80070057 for null, nothing changed.
  QZResult SetMenuDescriptor(const RCPtr<LMenuDescriptor>& menu) override;
  // The menu shown (the pop-up's own copy); null before one is set.
  const RCPtr<LMenuDescriptor>& GetMenuDescriptor() const { return mMenuDescriptor; }
  // Where chosen items go: 0; 0x80070057 for null; 0x80004005 when an owner (control or
  // window) is set already. A set menu gets its hot-key texts again and is laid out.
  QZResult SetOwner(const RCPtr<LControl>& owner);
  QZResult SetOwner(const RCPtr<IRootWindow>& owner);
  // The updater asked for the items' states; without one the owner's is looked up.
  void SetMenuItemUpdater(const RCPtr<LMenuItemUpdater>& updater) { mMenuItemUpdater = updater; }
  // Whether choosing an item, Escape and losing the focus close the chain (default true).
  // A combo menu clears it: it shows and hides its pop-up itself.
  void SetCloseOnActivate(bool close) { mCloseOnActivate = close; }
  bool GetCloseOnActivate() const { return mCloseOnActivate; }
  // The sub-menu delay in milliseconds of the application clock.
  void SetSubMenuDelay(uint32_t milliseconds) { mSubMenuDelayMs = milliseconds; }
  // Places the pop-up at the pointer within the root window's client area, shows it and
  // takes the focus. 0.
  QZResult ShowAtMousePosition() override;
  // Opens the sub-menu of the item at index beside its row, within the window:
  // 0x80070057 when the item has no items; 0x80004005, nothing changed, when the skin has
  // no "submenu" or it cannot be made. 0.
  QZResult OpenSubMenu(int32_t index);
  // Closes the open sub-menu chain below this pop-up. 0.
  QZResult CloseSubMenu();
  // Closes the whole chain this pop-up belongs to; the top pop-up is removed from its
  // parent at the next idle tick. 0.
  QZResult CloseMenu();
  // Reports a chosen item: the focus back to where a menu bar above took it from, the pop-up
  // hidden (closeOnActivate), "NID_ITEM_ACTIVATED", the focus from the menu to an owner
  // control, the NID to the owner, the chain closed.
  // Without an owner nothing is sent. The pop-up, its menu and the owner stay alive for the
  // whole call, whatever the owner does. 0; 0x80070057 for null.
  QZResult ActivateItem(const RCPtr<LMenuItemDescriptor>& item);
  // Asks the owner's updater for the state of every plain item, last first. 0.
  QZResult UpdateMenuItems();
  // Writes an item's state into the menu and its row: 0; 1 when it is the item's state
  // already; 0x80070057 for an index past the end or without a menu.
  QZResult ApplyItemState(int32_t index, const LMenuItemState& state);
  // The menu of the pop-up's own string table (every entry, keys as they are): 1 without
  // a table, else SetMenuDescriptor's result.
  QZResult LoadFromStringTable();
  // Whether control is one of this pop-up's open sub-menus (any depth) or its ancestors.
  bool IsInMenuChain(const LControl* control) const;
  // The width the row of index needs: label and hot-key text measured, plus the fixed
  // extra width. 0 out of range.
  int32_t GetItemWidth(int32_t index);
  // The open sub-menu and the item it shows; null when none is open.
  const RCPtr<LPopupMenu>& GetOpenSubMenu() const { return mOpenSubMenu; }
  const RCPtr<LMenuItemDescriptor>& GetOpenSubMenuItem() const { return mOpenSubMenuItem; }
  // The item at index of the menu shown; null out of range.
  RCPtr<LMenuItemDescriptor> GetMenuItem(int32_t index) const;
  bool IsSubMenuSwitchPending() const { return mHoverTimerActive; }
  bool IsClosing() const { return mClosing; }

private:
  // The control that receives chosen items, and the window that does when SetOwner named
  // one; both null without an owner.
  RCPtr<LControl> FindOwner() const;
  // Replaces the owner links, each counted as an internal reference of its owner.
  void SetOwnerLinks(const RCPtr<LControl>& control, const RCPtr<IRootWindow>& window);
  RCPtr<IRootWindow> FindOwnerWindow() const;
  RCPtr<LMenuItemUpdater> FindMenuItemUpdater();
  // The parent as a pop-up menu; null for a top pop-up.
  LPopupMenu* ParentPopup() const;
  // Shows menu as it is (a sub-menu shows its item itself): hot keys, then the layout.
  QZResult ShowMenu(const RCPtr<LMenuDescriptor>& menu);
  void FillHotKeyTexts(const RCPtr<LMenuDescriptor>& menu, const RCPtr<LControl>& owner,
                       const RCPtr<IRootWindow>& window);
  // Rows from the items, sizes from the rows (from the template's measure while the rows
  // wait): 0; 1 with neither a row nor a measured template.
  QZResult LayoutMenu();
  // The fixed extra width and the separator's height measured on row (a row of the pool or
  // the template), and the fonts of its label and hot-key text.
  struct RowMeasure {
    int32_t extraWidth = -1; // negative: not measured
    int32_t separatorHeight = 0;
    RCPtr<LFont> labelFont;
    RCPtr<LFont> hotKeyFont;
  };
  static RowMeasure MeasureRow(const RCPtr<LListBoxItem>& row);
  void ApplyAutomaticSizeLimits();
  void StartSubMenuDelay();
  void CancelSubMenuDelay();
  // A click or Return on the current row.
  void OnItemChosen();
  // The chosen (current) row's sub-menu opened with its first row selected.
  void OpenCurrentSubMenu(int32_t index);
  // A chosen item's command to a window owner.
  void DeliverToWindow(const RCPtr<IRootWindow>& window, const RCPtr<LNotification>& command);
  void HearRowHover(const RCPtr<LListBoxItem>& row);
  QZResult OnItemHover(const RCPtr<LNotificationDistributor>& distributor, const RCPtr<LNotification>& notification);

  RCPtr<LMenuDescriptor> mMenuDescriptor;
  RCPtr<LPopupMenu> mOpenSubMenu;
  RCPtr<LMenuItemDescriptor> mOpenSubMenuItem;
  RCPtr<LControl> mOwnerControl;
  RCPtr<IRootWindow> mOwnerWindow;
  RCPtr<LMenuItemUpdater> mMenuItemUpdater;
  RCPtr<LControlDescriptor> mSubMenuDescriptor;
  bool mHoverTimerActive = false;
  uint32_t mHoverStartTime = 0;
  uint32_t mSubMenuDelayMs = kDefaultSubMenuDelayMs;
  bool mCloseOnActivate = true;
  bool mClosing = false;
  int32_t mSeparatorHeight = 0;
  int32_t mSeparatorCount = 0;
  // The fixed extra width of a row; negative until measured on a row.
  int32_t mExtraRowWidth = -1;
  // The template's measure, which a menu without rows is laid out by.
  RowMeasure mTemplateMeasure;
  int32_t mWidestRow = 0;
  int32_t mCurrentIndex = -1;
};

} // namespace QZ
