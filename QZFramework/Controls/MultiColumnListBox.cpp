#include "QZFramework/Controls/MultiColumnListBox.h"

#include <algorithm>
#include <memory>

#include "QZFramework/Controls/Button.h"
#include "QZFramework/Controls/ListBox.h"
#include "QZFramework/Controls/ListParams.h"
#include "QZFramework/Notification/Notification.h"

namespace QZ {
namespace {

constexpr char16_t kSelectionChange[] = u"NID_SELECTION_CHANGE";
constexpr const char* kPerformSort = "QZ::LMultiColumnListBox::PerformSort";
constexpr const char* kSource = R"(Controls\MultiColumnListBox)";

} // namespace

// The selection handlers of every column, suspended while it lives. Each guard is a
// disabler of its own: made and ended one by one, so that a failure names the sort.
class LMultiColumnListBox::Suspension {
public:
  using Disabler = CAutoNotificationDisabler<LMultiColumnListBox>;

  explicit Suspension(LMultiColumnListBox& box) {
    try {
      for (uint32_t i = 0; i < box.mColumns.GetCount(); ++i) {
        mHeld.push_back(new Disabler(box.GetHandlerTable(), RCPtr<LNotificationDistributor>(box.mColumns.GetAt(i)),
                                     kSelectionChange));
      }
    } catch (const FailedResultException&) {
      EndAll(); // those already held go back as far as they can
      CheckResult(QZ_E_FAIL, {kPerformSort, kSource, 725});
    }
  }
  Suspension(const Suspension&) = delete;
  Suspension& operator=(const Suspension&) = delete;
  // Only on the way out of a failure: the guards end without a word.
  ~Suspension() { EndAll(); }

  // Puts every handler back; throws when one cannot be.
  void End() {
    if (!EndAll()) {
      CheckResult(QZ_E_FAIL, {kPerformSort, kSource, 768});
    }
  }

private:
  // Ends every guard, the last first; false when one failed.
  bool EndAll() {
    bool all = true;
    while (!mHeld.empty()) {
      Disabler* guard = mHeld.back();
      mHeld.pop_back();
      try {
        delete guard;
      } catch (const FailedResultException&) {
        all = false;
      }
    }
    return all;
  }

  std::vector<Disabler*> mHeld;
};

LMultiColumnListBox::LMultiColumnListBox(const RCPtr<LControl>& parent, const WString& name)
    : LHandlerTableControl(parent, name) {}

// =============================================================================================
// Parts
// =============================================================================================

QZResult LMultiColumnListBox::Initialize() {
  const QZResult result = LPanel::Initialize();
  if (Failed(result)) {
    return result;
  }
  const RCPtr<LMultiColumnListBox> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  for (int32_t n = 1;; ++n) {
    const std::string name = "listboxNoScroll" + std::to_string(n);
    const RCPtr<LListBox> column = DynamicCast<LListBox>(FindChildByName(WString(name.c_str())));
    if (!column) {
      break;
    }
    const RCPtr<LNotificationDistributor> source(column);
    // Refused only for a name that cannot be interned.
    GetHandlerTable()->AddHandler(&LMultiColumnListBox::OnColumnHover, source, u"NID_ITEM_HOVER_CONDITION_CHANGE");
    GetHandlerTable()->AddHandler(&LMultiColumnListBox::OnColumnSelection, source, kSelectionChange);
    for (const char16_t* forwarded : {u"NID_ITEM_ACTIVATED", u"NID_ITEM_DOUBLE_CLICKED", u"NID_ITEM_RIGHT_CLICK"}) {
      GetHandlerTable()->AddHandler(&LMultiColumnListBox::OnColumnItemNotification, source, forwarded);
    }
    if (mColumns.GetCount() == 0) {
      GetHandlerTable()->AddHandler(&LMultiColumnListBox::OnFirstColumnScrolled, source, u"NID_SCROLL_OFFSET_CHANGE");
      GetHandlerTable()->AddHandler(&LMultiColumnListBox::OnFirstColumnExtent, source, u"NID_CLIENT_EXTENT_CHANGE");
    }
    mColumns.AddItem(column);
  }
  for (int32_t n = 1;; ++n) {
    const std::string name = "buttonColumnHeader" + std::to_string(n);
    const RCPtr<LButton> header = DynamicCast<LButton>(FindChildByName(WString(name.c_str())));
    if (!header) {
      break;
    }
    GetHandlerTable()->AddHandler(&LMultiColumnListBox::OnHeaderClick, RCPtr<LNotificationDistributor>(header),
                                  u"NID_LEFT_CLICK");
    mHeaders.AddItem(header);
  }
  // Docked vertically: the box's scrolling moves the columns' content, not the columns.
  const auto dock = [](LControl& part) {
    if (const RCPtr<LLayoutDescriptor>& layout = part.GetLayoutDescriptor()) {
      LayoutPosition position;
      LayoutSize size;
      layout->GetAxis(1, position, size);
      position.docked = true;
      part.SetAxisPlacement(1, position, size);
    }
  };
  for (uint32_t i = 0; i < mColumns.GetCount(); ++i) {
    dock(*mColumns.GetAt(i));
  }
  for (uint32_t i = 0; i < mHeaders.GetCount(); ++i) {
    dock(*mHeaders.GetAt(i));
  }
  mSortAscending.assign(mColumns.GetCount(), true);
  if (mHeaders.GetCount() != 0 && mHeaders.GetCount() != mColumns.GetCount()) {
    return QZ_E_FAIL;
  }
  return result;
}

QZResult LMultiColumnListBox::OnLookChanged() {
  const RCPtr<LMultiColumnListBox> self(this);
  for (uint32_t i = 1; i < mColumns.GetCount(); ++i) {
    mColumns.GetAt(i)->SetFocusable(true);
  }
  const QZResult result = LPanel::OnLookChanged();
  UpdateExtent();
  return result;
}

void LMultiColumnListBox::UpdateExtent() {
  if (mColumns.GetCount() == 0) {
    return;
  }
  const RectT<double>& last = mColumns.GetAt(mColumns.GetCount() - 1)->GetRect();
  SetClientExtent(last.x + last.width, mColumns.GetAt(0)->GetContentHeight());
}

RectT<double> LMultiColumnListBox::GetContentRect() {
  if (mColumns.GetCount() == 0) {
    return {};
  }
  const RCPtr<LListBox>& first = mColumns.GetAt(0);
  double bar = 0.0;
  if (const RCPtr<LControl> vBar = FindChildByName(u"vBar"); vBar && vBar->IsShown(false)) {
    bar = vBar->GetRect().width;
  }
  return {first->GetRect().x, first->GetRect().y, GetLookRect(-1).width - bar, first->GetLookRect(-1).height};
}

// =============================================================================================
// Scrolling together
// =============================================================================================

QZResult LMultiColumnListBox::ScrollContent(const PointT<double>& oldOffset, const PointT<double>& newOffset) {
  const RCPtr<LMultiColumnListBox> self(this);
  if (mColumns.GetCount() > 0 && GetHandlerTable()) {
    CAutoNotificationDisabler<LMultiColumnListBox> quiet(
        GetHandlerTable(), RCPtr<LNotificationDistributor>(mColumns.GetAt(0)), u"NID_SCROLL_OFFSET_CHANGE");
    for (uint32_t i = 0; i < mColumns.GetCount(); ++i) {
      const RCPtr<LListBox>& column = mColumns.GetAt(i);
      column->SetScrollOffset({column->GetScrollOffset().x, newOffset.y});
    }
  }
  return LPanel::ScrollContent(oldOffset, newOffset);
}

QZResult LMultiColumnListBox::OnChildLayoutChanged(const RCPtr<LControl>& child) {
  if (mColumns.GetCount() > 0 && child == RCPtr<LControl>(mColumns.GetAt(mColumns.GetCount() - 1))) {
    UpdateExtent();
  }
  return LPanel::OnChildLayoutChanged(child);
}

QZResult LMultiColumnListBox::OnFirstColumnScrolled(const RCPtr<LNotificationDistributor>&,
                                                    const RCPtr<LNotification>&) {
  const RCPtr<LMultiColumnListBox> self(this);
  SetScrollOffset(mColumns.GetAt(0)->GetScrollOffset());
  return QZ_FALSE;
}

QZResult LMultiColumnListBox::OnFirstColumnExtent(const RCPtr<LNotificationDistributor>&, const RCPtr<LNotification>&) {
  const RCPtr<LMultiColumnListBox> self(this);
  UpdateExtent();
  return QZ_FALSE;
}

// =============================================================================================
// Rows across the columns
// =============================================================================================

int32_t LMultiColumnListBox::IndexOfColumn(const LNotificationDistributor* distributor) const {
  for (uint32_t i = mColumns.GetCount(); i-- > 0;) {
    if (static_cast<const LNotificationDistributor*>(mColumns.GetAt(i).Get()) == distributor) {
      return int32_t(i);
    }
  }
  return -1;
}

QZResult LMultiColumnListBox::OnColumnSelection(const RCPtr<LNotificationDistributor>& distributor,
                                                const RCPtr<LNotification>&) {
  const int32_t source = IndexOfColumn(distributor.Get());
  if (source < 0) {
    return QZ_OK;
  }
  const RCPtr<LMultiColumnListBox> self(this);
  const RCPtr<LListBox> from = mColumns.GetAt(uint32_t(source));
  const bool multiple = mColumns.GetAt(0)->IsMultipleSelection();
  for (uint32_t i = 0; i < mColumns.GetCount(); ++i) {
    const RCPtr<LListBox>& column = mColumns.GetAt(i);
    if (int32_t(i) == source) {
      continue;
    }
    CAutoNotificationDisabler<LMultiColumnListBox> quiet(GetHandlerTable(), RCPtr<LNotificationDistributor>(column),
                                                         kSelectionChange);
    if (!mRowMode) {
      column->ClearSelection();
      continue;
    }
    for (int32_t row = 0; row < std::min(from->GetItemCount(), column->GetItemCount()); ++row) {
      const bool selected = from->IsItemSelected(row);
      if (column->IsItemSelected(row) == selected) {
        continue;
      }
      if (!selected) {
        column->DeselectItem(row);
      } else {
        column->SelectItems(row, row, !multiple);
      }
    }
  }
  Announce(kSelectionChange);
  return QZ_FALSE;
}

QZResult LMultiColumnListBox::OnColumnHover(const RCPtr<LNotificationDistributor>& distributor,
                                            const RCPtr<LNotification>& notification) {
  const RCPtr<LItemConditionsParam> param = notification->GetParameterAs<LItemConditionsParam>();
  const int32_t source = IndexOfColumn(distributor.Get());
  if (!mRowMode || !param || source < 0 || !(param->GetChanged() & kConditionHover)) {
    return QZ_OK;
  }
  const RCPtr<LMultiColumnListBox> self(this);
  const int32_t row = int32_t(param->GetItemIndex());
  const bool hovered = (param->GetCurrent() & kConditionHover) && param->IsMouseOver();
  for (uint32_t i = 0; i < mColumns.GetCount(); ++i) {
    if (int32_t(i) != source) {
      mColumns.GetAt(i)->SetItemRowHover(row, hovered);
    }
  }
  mHoveredRow = hovered ? row : -1;
  return QZ_FALSE;
}

QZResult LMultiColumnListBox::OnColumnItemNotification(const RCPtr<LNotificationDistributor>&,
                                                       const RCPtr<LNotification>& notification) {
  Announce(notification->GetID());
  return QZ_FALSE;
}

// =============================================================================================
// Sorting
// =============================================================================================

bool LMultiColumnListBox::IsSortAscending(int32_t column) const {
  return column >= 0 && size_t(column) < mSortAscending.size() && mSortAscending[size_t(column)];
}

QZResult LMultiColumnListBox::OnHeaderClick(const RCPtr<LNotificationDistributor>& distributor,
                                            const RCPtr<LNotification>&) {
  for (uint32_t i = mHeaders.GetCount(); i-- > 0;) {
    if (static_cast<const LNotificationDistributor*>(mHeaders.GetAt(i).Get()) == distributor.Get()) {
      PerformSort(int32_t(i)); // a header of a column after a good Initialize
      return QZ_FALSE;
    }
  }
  return QZ_OK;
}

QZResult LMultiColumnListBox::PerformSort(int32_t column) {
  if (column < 0 || uint32_t(column) >= mColumns.GetCount() || !GetHandlerTable()) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LMultiColumnListBox> self(this);
  // Rows every column has.
  int32_t rows = mColumns.GetAt(0)->GetItemCount();
  for (uint32_t i = 1; i < mColumns.GetCount(); ++i) {
    rows = std::min(rows, mColumns.GetAt(i)->GetItemCount());
  }
  struct Record {
    int32_t row;
    WString text;
  };
  std::vector<Record> records;
  std::vector<bool> selected;
  const RCPtr<LListBox>& keyColumn = mColumns.GetAt(uint32_t(column));
  for (int32_t row = 0; row < rows; ++row) {
    records.push_back({row, keyColumn->GetItemText(row)});
    selected.push_back(mColumns.GetAt(0)->IsItemSelected(row));
  }

  Suspension suspended(*this);
  // Quietly: no column announces a selection while the table sorts.
  for (uint32_t i = 0; i < mColumns.GetCount(); ++i) {
    const RCPtr<LListBox>& list = mColumns.GetAt(i);
    const Array<uint32_t>& chosen = list->GetSelectedIndices();
    for (uint32_t k = chosen.GetCount(); k-- > 0;) {
      list->SetItemSelected(int32_t(chosen.GetAt(k)), 0.0);
    }
  }
  const bool ascending = mSortAscending[size_t(column)];
  std::sort(records.begin(), records.end(), [ascending](const Record& a, const Record& b) {
    const int order = a.text.CompareNoCase(b.text);
    return ascending ? order < 0 : order > 0;
  });
  mSortAscending[size_t(column)] = !ascending;

  for (uint32_t i = 0; i < mColumns.GetCount(); ++i) {
    const RCPtr<LListBox>& list = mColumns.GetAt(i);
    struct Item {
      ConstRCPtr<LTaggableObject> data;
      bool marked;
      bool separator;
    };
    std::vector<Item> items;
    for (int32_t row = 0; row < rows; ++row) {
      const LListItemRecord& record = list->GetItemRecord(row);
      items.push_back({record.data, record.marked, record.separator});
    }
    for (int32_t row = 0; row < rows; ++row) {
      const int32_t old = records[size_t(row)].row;
      const Item& item = items[size_t(old)];
      list->SetItem(row, item.data, selected[size_t(old)] ? 1.0 : 0.0, item.marked,
                    item.separator); // a row of the list
    }
  }
  suspended.End();
  return QZ_OK;
}

} // namespace QZ
