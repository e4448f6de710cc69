#pragma once
// Menus as data: QZ::LMenuDescriptor holds an ordered list of QZ::LMenuItemDescriptor
// items, and every item is itself a menu, so an item with items is a sub-menu. The pop-up
// menu, the combo menu and the menu bar show these trees; the text box builds its edit
// menu in code.
//
//   QZ::RCPtr<QZ::LMenuDescriptor> menu = QZ::LMenuDescriptor::Create();
//   menu->InsertNewItem(0, u"Cut", u"NID_EDIT_CUT_REQ", true, false);
//   menu->InsertSeparator(1);
//
// From string-table entries, keys already cut after their menu prefix
// ("CONTEXT_MENU0.03.NID_X" arrives as "03.NID_X"), in key order:
//
//   "00.NID_MENU_FILE_SEND_PRESET_TO_DEVICE" = "Send Preset | Send this preset to the controller."
//   "01.-"                                   = "-"                 (a separator)
//   "02.RECENT."                             = "Recent Files"      (the sub-menu "RECENT")
//   "RECENT.00.NID_OPEN_RECENT_1"            = "a.QuorinZTRPreset"
//
// A key is split at every '.'; a first part that starts with a digit is a row of the top
// menu (position, NID), any other names a sub-menu (name, position, NID). A row is kept
// only when its position is the count of rows its menu has so far, so positions run 00,
// 01, 02 ... A value is "label|status text", split at the first '|' and not trimmed; "-"
// as NID makes a separator; a NID ending in '.' makes a sub-menu row whose items are the
// rows of that name (the row is left out when no row has that name, or when the name is
// already being built, which would never end).
//
// Ownership: a menu owns its items; each item holds a counted link to its parent that
// also counts as an internal reference of the parent, so when the last outside holder of
// a menu lets go, ReleaseInternalReferences empties it and the tree is freed.
//
// Not synchronised: a tree belongs to the user-interface thread.

#include <cstdint>
#include <map>
#include <span>
#include <utility>
#include <vector>

#include "QZFramework/ObjectBase/TaggableObject.h"
#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

class LMenuItemDescriptor;

// What an owner is asked about an item and answers: passed to its enable query and back.
struct LMenuItemState {
  bool enabled = false;
  bool isChecked = false;
  WString label;
};

class LMenuDescriptor : public virtual LTaggableObject {
public:
  using Items = RCPtrArray<LMenuItemDescriptor, 1, 0>;
  // A string-table entry: (key, value).
  using Entry = std::pair<WString, WString>;

  // A new empty root menu.
  static RCPtr<LMenuDescriptor> Create();
  // The menu the entries describe (grammar at the top of this file), in the order given,
  // which is the string table's key order. Malformed keys and rows out of sequence are
  // left out silently. Null when an item cannot be added.
  static RCPtr<LMenuDescriptor> CreateFromStringTable(std::span<const Entry> entries);

  // Inserts item before index (index == count appends) and makes this menu its parent.
  // The array's result: the item's index, or its failure (QZ_E_INVALIDARG for an index past
  // the end), in which case no parent is set. QZ_E_INVALIDARG also for a null item and for this
  // menu or one of its ancestors, which would make the tree a cycle.
  QZResult InsertItem(uint32_t index, const RCPtr<LMenuItemDescriptor>& item);
  // A new item (no hot-key or status text) inserted as InsertItem does.
  QZResult InsertNewItem(uint32_t index, const WString& label, const WString& notificationName, bool enabled,
                         bool isChecked);
  // A new separator inserted as InsertItem does.
  QZResult InsertSeparator(uint32_t index);

  // Clears state, then copies the item's enabled flag, check mark and label: 0, or
  // QZ_E_INVALIDARG (state left cleared) for an index at or past the count.
  QZResult GetItemState(uint32_t index, LMenuItemState& state) const;

  // Replaces item's parent link: the new parent gains a reference and an internal
  // reference, the old one loses both. Null menu clears the link.
  static void SetParent(LMenuDescriptor& item, LMenuDescriptor* menu);
  // Removes the items from the last to the first, clearing each one's parent, then
  // clears this menu's own parent. Returns 0.
  QZResult RemoveAllItems();

  // A deep copy: new objects throughout, each parent pointing into the copy; the copy's
  // root has no parent. Strings share their buffers with the source.
  RCPtr<LMenuDescriptor> Clone() const;

  // Empties the menu (RemoveAllItems), breaking the cycles of the parent links.
  QZResult ReleaseInternalReferences() override;

  const Items& GetItems() const { return mItems; }
  uint32_t GetItemCount() const { return mItems.GetCount(); }
  // The item at index; null at or past the count.
  RCPtr<LMenuItemDescriptor> GetItem(uint32_t index) const;
  // The menu holding this one in its items; null for a root.
  const RCPtr<LMenuDescriptor>& GetParent() const { return mParent; }

protected:
  LMenuDescriptor() = default;
  ~LMenuDescriptor() override;

  // Appends clones of this menu's items to target, each with target as its parent.
  void CloneItemsInto(LMenuDescriptor& target) const;

private:
  // (NID, value) rows of one menu, in position order; sub-menus by name.
  using Rows = std::vector<std::pair<WString, WString>>;
  using NamedRows = std::map<WString, Rows>;

  // Appends the items of rows to menu, which is empty. path holds the names of the
  // sub-menus being built around this call.
  static QZResult BuildFromEntries(const Rows& rows, const NamedRows& namedMenus, LMenuDescriptor& menu,
                                   std::vector<WString>& path);

  Items mItems;
  RCPtr<LMenuDescriptor> mParent;
};

class LMenuItemDescriptor : public LMenuDescriptor {
public:
  // A plain item: not a separator, no hot-key or status text.
  static RCPtr<LMenuItemDescriptor> Create(const WString& label, const WString& notificationName, bool enabled,
                                           bool isChecked);
  // An enabled, unchecked separator with no label and no NID.
  static RCPtr<LMenuItemDescriptor> CreateSeparator();

  // The label.
  WString ToString() const override { return mLabel; }

  // A deep copy of this item and its items, without parent.
  RCPtr<LMenuItemDescriptor> CloneItem() const;

  const WString& GetLabel() const { return mLabel; }
  void SetLabel(const WString& label) { mLabel = label; }
  // Display text of the hot key bound to the NID; the pop-up menu fills it in.
  const WString& GetHotKeyText() const { return mHotKeyText; }
  void SetHotKeyText(const WString& text) { mHotKeyText = text; }
  // Shown in the status bar while the row is hovered.
  const WString& GetStatusText() const { return mStatusText; }
  void SetStatusText(const WString& text) { mStatusText = text; }
  // Sent to the menu's owner when the item is chosen; empty for a sub-menu or separator.
  const WString& GetNotificationName() const { return mNotificationName; }
  bool IsEnabled() const { return mEnabled; }
  void SetEnabled(bool enabled) { mEnabled = enabled; }
  bool IsChecked() const { return mIsChecked; }
  void SetChecked(bool isChecked) { mIsChecked = isChecked; }
  // A separator row is never chosen.
  bool IsSeparator() const { return mSeparator; }

private:
  LMenuItemDescriptor(WString label, WString notificationName, bool enabled, bool isChecked, bool separator);

  WString mLabel;
  WString mHotKeyText;
  WString mStatusText;
  WString mNotificationName;
  bool mEnabled;
  bool mIsChecked;
  bool mSeparator;
};

} // namespace QZ
