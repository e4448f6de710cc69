// The list box's construction and skin: the template and the fixed rows, the pool of rows
// and how it is kept full and refilled, scrolling by rows, the client extent and the
// widths, and the notifications of the rows.

#include "QZFramework/Controls/ListBox.h"

#include <algorithm>
#include <cmath>

#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/ControlDescriptor.h"
#include "QZFramework/ControlBase/ControlFactory.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Controls/ListParams.h"
#include "QZFramework/Controls/ToolTip.h"
#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Services/Trace/DebugTrace.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

namespace QZ {
namespace {

// The text a row is measured with: the highest and the lowest glyphs.
constexpr char16_t kMeasuringText[] = u"{WXyg|}";
constexpr char16_t kTemplateName[] = u"templateItem";
constexpr char16_t kItemPrefix[] = u"ITEM.";

RCPtr<LControlFactory> Factory() {
  IControlApplication* application = GetControlApplication();
  return application ? application->GetControlFactory() : nullptr;
}

// Sets a guard for a scope and puts back what it was.
class Guard {
public:
  explicit Guard(bool& flag) : mFlag(flag), mWas(flag) { mFlag = true; }
  ~Guard() { mFlag = mWas; }
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;

private:
  bool& mFlag;
  bool mWas;
};

} // namespace

LListBox::LListBox(const RCPtr<LControl>& parent, const WString& name) : LHandlerTableControl(parent, name) {}

LListBox::~LListBox() = default;

// =============================================================================================
// Initialisation and the skin
// =============================================================================================

QZResult LListBox::Initialize() {
  const QZResult base = LScrollView::Initialize();
  if (Failed(base)) {
    return base;
  }
  const RCPtr<LControl> self(this);
  if (Failed(CreateHandlerTable())) {
    return QZ_E_FAIL;
  }
  // The list box sets its extent itself: the rows are docked and never make one.
  SetAutoClientExtent(kAutoExtentNone, 0, 0);

  if (const RCPtr<LControl> templateRow = FindChildByName(kTemplateName)) {
    const auto* owner = dynamic_cast<const IListBoxDropDownOwner*>(GetParent().Get());
    mRowsWaiting = owner && owner->ListRowsWaitForOpening();
    mTemplateDescriptor = templateRow->GetControlDescriptor();
    MeasureItemTemplate(templateRow); // a control given
    templateRow->Detach();
    SetRowMode(1, mRowHeight);
    FillPool();
    UpdateScrollBarsIfNeeded();
    // Most lists have no string table of their own: their owners fill them.
    LoadItemsFromStringTable(GetStringTable());
    UpdateRows(0);
    return QZ_OK;
  }
  if (AdoptFixedRows() > 0) {
    UpdateRows(0);
    if (mMenuMode) {
      ResizeToItems();
    }
    RecomputeContentWidth();
    if (mKeepSorted) {
      SortAllItems();
    }
  }
  return QZ_OK;
}

int32_t LListBox::AdoptFixedRows() {
  int32_t found = 0;
  for (int32_t k = 1;; ++k) {
    const RCPtr<LListBoxItem> row = DynamicCast<LListBoxItem>(FindChildByName(WString::Format(u"item%d", k)));
    if (!row) {
      break;
    }
    if (k == 1) {
      MeasureItemTemplate(row); // a control given
    }
    mRowControls.push_back(row);
    const int32_t index = GetItemCount();
    InsertItemRecord(index);
    GetItemRecord(index).data = MakeTaggableString(row->GetText());
    AdoptRow(row); // a failed subscription leaves the row without its notifications
    ++found;
  }
  UpdateClientExtent();
  return found;
}

QZResult LListBox::AdoptRow(const RCPtr<LListBoxItem>& row) {
  const RCPtr<LNotificationDistributor> source(row);
  const QZResult results[] = {
      GetHandlerTable()->AddHandler(&LListBox::OnRowMouseDown, source, u"NID_MOUSE_DOWN"),
      GetHandlerTable()->AddHandler(&LListBox::OnRowMouseUp, source, u"NID_MOUSE_UP"),
      GetHandlerTable()->AddHandler(&LListBox::OnRowConditionChange, source, u"NID_LEFT_DRAG_CONDITION_CHANGE"),
      GetHandlerTable()->AddHandler(&LListBox::OnRowConditionChange, source, u"NID_HOVER_CONDITION_CHANGE"),
  };
  row->SetMenuMode(mMenuMode);
  row->SetDragThreshold(mRowDragThreshold); // not negative
  for (const QZResult result : results) {
    if (Failed(result)) {
      return result;
    }
  }
  return QZ_OK;
}

QZResult LListBox::MeasureItemTemplate(const RCPtr<LControl>& row) {
  if (!row) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  LayoutLimit minimum;
  LayoutLimit maximum;
  const bool limited = GetLayoutDescriptor() && Succeeded(GetLayoutDescriptor()->GetAxisLimits(0, minimum, maximum));
  if (limited) {
    SetAxisSizeLimits(0, LayoutLimit{}, maximum);
  }
  const WString saved = row->GetText();
  row->SetText(WString());
  mRowWidth = int32_t(RoundHalfAway(row->GetRect().width));
  row->SetText(kMeasuringText);
  mRowHeight = int32_t(RoundHalfAway(row->GetRect().height));
  if (mRowHeight < 1) {
    mRowHeight = kDefaultRowHeight;
  }
  row->SetText(saved);
  if (limited) {
    const RCPtr<LLayoutDescriptor>& rowLayout = row->GetLayoutDescriptor();
    if (rowLayout && rowLayout->size[0].kind == kSizeToClient && minimum.abs == 0.0) {
      // A row as wide as the list keeps the list from growing narrower than it is now.
      minimum = LayoutLimit{};
      minimum.abs = GetRect().width;
    }
    SetAxisSizeLimits(0, minimum, maximum);
  }
  if (mMenuMode) {
    ResizeToItems();
  }
  mTemplateMeasured = true;
  return QZ_OK;
}

QZResult LListBox::ApplyDescriptor(const RCPtr<LControlDescriptor>& descriptor) {
  const RCPtr<LControl> self(this);
  if (IsDescriptorApplied() && mTemplateDescriptor) {
    // The rows of the old template go; the new template's take their place.
    const std::vector<RCPtr<LListBoxItem>> rows = std::move(mRowControls);
    mRowControls.clear();
    for (const RCPtr<LListBoxItem>& row : rows) {
      row->Detach();
    }
  }
  QZResult result;
  {
    Guard applying(mApplyingDescriptor);
    result = LScrollView::ApplyDescriptor(descriptor);
  }
  if (Failed(result) || !GetHandlerTable()) {
    return result;
  }
  FillPool();
  UpdateRows(0);
  RecomputeContentWidth();
  return result;
}

QZResult LListBox::SetUpSubControls(const RCPtr<LControl>& child, const RCPtr<LControlDescriptor>& descriptor) {
  const RCPtr<LControl> self(this);
  if (!child) {
    if (!descriptor || descriptor->GetName() != kTemplateName) {
      return QZ_E_FAIL;
    }
    const RCPtr<LControlFactory> factory = Factory();
    const RCPtr<LControl> templateRow = factory ? factory->CreateControl(self, descriptor) : nullptr;
    if (!templateRow) {
      return QZ_E_FAIL;
    }
    mTemplateDescriptor = descriptor;
    MeasureItemTemplate(templateRow); // a control given
    templateRow->Detach();
    SetRowMode(1, mRowHeight);
    return QZ_OK;
  }
  if (const RCPtr<LListBoxItem> row = DynamicCast<LListBoxItem>(child)) {
    const WString name = child->GetName();
    const int32_t number = name.GetLength() > 4 ? Chars::ToInt32(name.GetBuffer() + 4) : 0;
    if (number >= 1 && size_t(number) <= mRowControls.size()) {
      mRowControls[size_t(number) - 1] = row;
    }
  }
  return LScrollView::SetUpSubControls(child, descriptor);
}

QZResult LListBox::OnChildRemoved(const RCPtr<LControl>& child, uint32_t index) {
  if (!mApplyingDescriptor) {
    const auto found = std::find(mRowControls.begin(), mRowControls.end(), child);
    if (found != mRowControls.end()) {
      mRowControls.erase(found);
    }
  }
  return LScrollView::OnChildRemoved(child, index);
}

QZResult LListBox::OnConditionsChanged(const RCPtr<LConditionsParam>& param) {
  const QZResult result = LScrollView::OnConditionsChanged(param);
  if (mRowsWaiting && param && (param->GetCurrent() & kConditionVisible)) {
    MakeWaitingRows();
  }
  if (param && (param->GetChanged() & (kConditionEnabled | kConditionHasFocus))) {
    const uint32_t now = param->GetCurrent();
    int32_t look = !(now & kConditionEnabled) ? kLookDisabled : (now & kConditionHasFocus) ? kLookFocused : kLookNormal;
    if (uint32_t(look) >= GetLooks().GetCount() || !GetLooks().GetAt(uint32_t(look))) {
      look = kLookNormal;
    }
    ShowLook(look);
  }
  return result;
}

// =============================================================================================
// The pool of rows
// =============================================================================================

void LListBox::FillPool() {
  if (mCreatingRows || mApplyingDescriptor || !mTemplateMeasured || !mTemplateDescriptor || mRowsWaiting) {
    return;
  }
  const RCPtr<LControl> self(this);
  Guard creating(mCreatingRows);
  const double bottom = GetContentRect().height;
  while (true) {
    if (!mRowControls.empty()) {
      const RectT<double>& last = mRowControls.back()->GetRect();
      // A row of no height would never fill the view.
      if (last.height <= 0.0 || last.y - GetScrollOffset().y + last.height >= bottom) {
        break;
      }
    }
    if (Failed(CreateItemControls())) {
      break;
    }
  }
}

void LListBox::MakeWaitingRows() {
  if (!mRowsWaiting) {
    return;
  }
  const RCPtr<LControl> self(this);
  mRowsWaiting = false;
  FillPool();
  // Items are measured in the rows' font: without rows every width was nothing.
  RecomputeContentWidth();
}

QZResult LListBox::CreateItemControls() {
  const RCPtr<LControlFactory> factory = Factory();
  if (!mTemplateDescriptor || !factory || !GetHandlerTable()) {
    return QZ_E_FAIL;
  }
  const RCPtr<LControl> self(this);
  const RCPtr<LLayoutDescriptor> layout =
      mTemplateDescriptor->GetLayout() ? mTemplateDescriptor->GetLayout()->Clone() : LLayoutDescriptor::Create();
  // Rows stand still while the content scrolls under them: their items change instead.
  LayoutPosition& y = layout->position[1];
  y.anchor = 0.0f;
  y.abs = 0.0;
  y.docked = true;
  if (mRowControls.empty()) {
    y.kind = kPositionToClient;
    y.rel = 0.0f;
  } else {
    y.kind = kPositionToSibling;
    y.name = mRowControls.back()->GetName();
    y.rel = 1.0f;
  }
  layout->size[1] = LayoutSize{kSizeToSelf, WString(), 0.0f, double(mRowHeight)};
  if (RowsFollowContentWidth() && mContentWidth > 0) {
    layout->position[0] = WideRowPosition(layout->position[0].docked);
    layout->size[0] = LayoutSize{kSizeToSelf, WString(), 0.0f, double(mContentWidth)};
  }
  const WString name = WString::Format(u"ItemControl%d", int32_t(mRowControls.size() + 1));
  const RCPtr<LControlDescriptor> descriptor = factory->DeriveControlDescriptor(mTemplateDescriptor, name, layout);
  const RCPtr<LControl> made = factory->CreateControl(self, descriptor);
  const RCPtr<LListBoxItem> row = DynamicCast<LListBoxItem>(made);
  if (!row) {
    if (made) {
      made->Detach();
    }
    return QZ_E_FAIL;
  }
  mRowControls.push_back(row);
  AdoptRow(row); // a failed subscription leaves the row without its notifications
  RCPtr<LListBoxItem> filled;
  RefreshItemRow(ItemAtRowPosition(int32_t(mRowControls.size()) - 1), filled);
  return QZ_OK;
}

RCPtr<LListBoxItem> LListBox::GetRowControl(int32_t row) const {
  return row >= 0 && size_t(row) < mRowControls.size() ? mRowControls[size_t(row)] : nullptr;
}

bool LListBox::IsHiddenAt(int32_t index) const { return const_cast<LListBox*>(this)->GetItemRecord(index).hidden; }

int32_t LListBox::ItemAtRowPosition(int32_t position) const {
  int32_t index = int32_t(mFirstShownIndex);
  if (mHiddenCount == 0) {
    return index + position;
  }
  const int32_t count = GetItemCount();
  int32_t seen = 0;
  for (; index < count; ++index) {
    if (IsHiddenAt(index)) {
      continue;
    }
    if (seen == position) {
      return index;
    }
    ++seen;
  }
  // Past the last item every position is one empty row.
  return count + (position - seen);
}

int32_t LListBox::ShownItemsBetween(int32_t first, int32_t last) const {
  if (last <= first) {
    return 0;
  }
  if (mHiddenCount == 0) {
    return last - first;
  }
  const int32_t count = GetItemCount();
  int32_t shown = std::max(last - std::max(first, count), 0);
  for (int32_t index = first; index < std::min(last, count); ++index) {
    shown += IsHiddenAt(index) ? 0 : 1;
  }
  return shown;
}

int32_t LListBox::NearestShownItem(int32_t index, int32_t step) const {
  const int32_t count = GetItemCount();
  for (; index >= 0 && index < count; index += step) {
    if (!IsHiddenAt(index)) {
      return index;
    }
  }
  return -1;
}

int32_t LListBox::GetItemOfRow(const LControl* row) const {
  for (size_t k = 0; k < mRowControls.size(); ++k) {
    if (mRowControls[k].Get() == row) {
      const int32_t index = ItemAtRowPosition(int32_t(k));
      return index < GetItemCount() ? index : -1;
    }
  }
  return -1;
}

int32_t LListBox::GetRowOfItem(int32_t index) const {
  if (index < 0 || index < int32_t(mFirstShownIndex)) {
    return -1;
  }
  if (index < GetItemCount() && IsHiddenAt(index)) {
    return -1;
  }
  const int32_t row = ShownItemsBetween(int32_t(mFirstShownIndex), index);
  return size_t(row) < mRowControls.size() ? row : -1;
}

QZResult LListBox::RefreshItemRow(int32_t index, RCPtr<LListBoxItem>& row) {
  const int32_t position = GetRowOfItem(index);
  row = GetRowControl(position);
  if (!row) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const bool isItem = index < GetItemCount();
  const LListItemRecord empty;
  const LListItemRecord& record = isItem ? GetItemRecord(index) : empty;
  row->SetSeparator(record.separator);
  row->SetMarked(record.marked);
  if (!record.separator) {
    row->SetText(record.data ? record.data->ToString() : WString());
  }
  row->SetValue(record.selected);
  row->SetEnabled(isItem);
  return QZ_OK;
}

void LListBox::UpdateRows(int32_t from) {
  const RCPtr<LControl> self(this);
  for (size_t k = 0; k < mRowControls.size(); ++k) {
    const int32_t index = ItemAtRowPosition(int32_t(k));
    if (index >= from) {
      RCPtr<LListBoxItem> row;
      RefreshItemRow(index, row); // the row at k shows it
    }
  }
}

RectT<double> LListBox::GetItemRect(int32_t index) const {
  const RCPtr<LListBoxItem> row = GetRowControl(GetRowOfItem(index));
  if (!row || index >= GetItemCount()) {
    return {};
  }
  const PointT<double> origin = row->GetOriginInParent();
  return {origin.x, origin.y, row->GetRect().width, row->GetRect().height};
}

int32_t LListBox::GetItemAtPoint(const PointT<int32_t>& point) const {
  const RectT<double> client = const_cast<LListBox*>(this)->GetContentRect();
  const double x = point.x;
  const double y = point.y;
  if (x < client.x || y < client.y || x >= client.x + client.width || y >= client.y + client.height) {
    return -1;
  }
  for (size_t k = mRowControls.size(); k-- > 0;) {
    const LListBoxItem& row = *mRowControls[k];
    const PointT<double> origin = row.GetOriginInParent();
    if (x >= origin.x && y >= origin.y && x < origin.x + row.GetRect().width && y < origin.y + row.GetRect().height) {
      return GetItemOfRow(&row);
    }
  }
  return -1;
}

QZResult LListBox::SetItemRowLook(int32_t index, int32_t look) {
  const RCPtr<LListBoxItem> row = index < GetItemCount() ? GetRowControl(GetRowOfItem(index)) : nullptr;
  if (!row) {
    return QZ_FALSE;
  }
  if (look < 0 || uint32_t(look) >= row->GetLooks().GetCount() || !row->GetLooks().GetAt(uint32_t(look))) {
    return QZ_E_INVALIDARG;
  }
  return row->ShowLook(look);
}

QZResult LListBox::SetItemRowHover(int32_t index, bool hover) {
  const RCPtr<LListBoxItem> row = index < GetItemCount() ? GetRowControl(GetRowOfItem(index)) : nullptr;
  if (!row) {
    return QZ_FALSE;
  }
  row->RaiseConditionChange(hover);
  return QZ_OK;
}

void LListBox::SetMenuMode(bool menuMode) {
  mMenuMode = menuMode;
  for (const RCPtr<LListBoxItem>& row : mRowControls) {
    row->SetMenuMode(menuMode);
  }
}

RCPtr<LListBoxItem> LListBox::TakePressHandOver(const LListBoxItem* row) {
  if (!mHandOverRow || mHandOverFrom != row) {
    return nullptr;
  }
  mHandOverFrom = nullptr;
  return std::move(mHandOverRow);
}

// =============================================================================================
// Scrolling and the client area
// =============================================================================================

uint32_t LListBox::TopItemForOffset(double offset) const {
  const int32_t count = GetItemCount();
  if (count == 0) {
    return 0;
  }
  // Halves to even, as the offset's rows are counted.
  int32_t n = int32_t(std::clamp(std::nearbyint(offset / mRowHeight), 0.0, double(count)));
  if (mHiddenCount == 0) {
    return uint32_t(std::min(n, count - 1));
  }
  // The n-th shown item, every hidden one before it passed over.
  int32_t lastShown = -1;
  for (int32_t index = 0, seen = 0; index < count; ++index) {
    if (IsHiddenAt(index)) {
      continue;
    }
    if (seen++ == n) {
      return uint32_t(index);
    }
    lastShown = index;
  }
  return uint32_t(std::max(lastShown, 0));
}

void LListBox::SetFirstShown(uint32_t first) {
  if (first == mFirstShownIndex) {
    return;
  }
  mFirstShownIndex = first;
  UpdateRows(0);
  // A tip of the list box's, shown or on its way, was about what the rows showed before.
  const RCPtr<LControl> tip = FindChildByName(u"toolTip");
  const RCPtr<LToolTip> timed = DynamicCast<LToolTip>(tip);
  if (tip && (timed ? timed->GetState() != LToolTip::kHidden : tip->IsShown(false))) {
    CreateToolTip(false);
    CreateToolTip(true);
  }
}

void LListBox::SyncTopItem() { SetFirstShown(TopItemForOffset(GetScrollOffset().y)); }

QZResult LListBox::ScrollContent(const PointT<double>& oldOffset, const PointT<double>& newOffset) {
  const RCPtr<LControl> self(this);
  if (newOffset.y != oldOffset.y) {
    SetFirstShown(TopItemForOffset(newOffset.y));
  }
  return LScrollView::ScrollContent(oldOffset, newOffset);
}

QZResult LListBox::UpdateClientArea() {
  const RCPtr<LControl> self(this);
  const QZResult result = LScrollView::UpdateClientArea();
  if (mContentWidth > 0) {
    PlaceWideRows(); // a new width may let wide rows be centred, or no longer
  }
  FillPool();
  if (GetItemCount() > 0) {
    EnsureItemVisible(int32_t(mFirstShownIndex));
  }
  return result;
}

QZResult LListBox::OnChildLayoutChanged(const RCPtr<LControl>& child) {
  const QZResult result = LScrollView::OnChildLayoutChanged(child);
  FillPool();
  return result;
}

QZResult LListBox::OnScrollBarShownChanged(int32_t vertical) {
  if (vertical == 1 && RowsFollowContentWidth()) {
    UpdateClientExtent();
  }
  return LScrollView::OnScrollBarShownChanged(vertical);
}

bool LListBox::RowsFollowContentWidth() const {
  const RCPtr<LLayoutDescriptor> layout = mTemplateDescriptor ? mTemplateDescriptor->GetLayout() : nullptr;
  return layout && layout->size[0].kind == kSizeToSibling;
}

void LListBox::UpdateClientExtent() {
  double width = GetClientExtent().width;
  if (RowsFollowContentWidth()) {
    width = GetLookRect(-1).x + mContentWidth;
  }
  SetClientExtent(width, GetContentHeight());
}

double LListBox::GetContentHeight() const {
  return double(GetItemCount() - int32_t(mHiddenCount)) * double(mRowHeight);
}

void LListBox::ResizeToItems() {
  const RCPtr<LLayoutDescriptor> layout = GetLayoutDescriptor();
  if (!layout) {
    return;
  }
  const RCPtr<LControl> self(this);
  const double nonClient = GetRect().height - GetLookRect(-1).height;
  LayoutPosition position;
  LayoutSize size;
  layout->GetAxis(1, position, size);
  size = LayoutSize{kSizeToSelf, WString(), 0.0f,
                    double(mRowHeight) * double(std::max(GetItemCount(), 1)) + std::max(nonClient, 0.0)};
  SetAxisPlacement(1, position, size);
}

QZResult LListBox::SnapHeightToRows() {
  const RCPtr<LLayoutDescriptor> layout = GetLayoutDescriptor();
  if (!layout) {
    return QZ_OK;
  }
  const RCPtr<LControl> self(this);
  const double nonClient = std::max(GetRect().height - GetLookRect(-1).height, 0.0);
  const auto snap = [&](double height) {
    if (height <= nonClient) {
      return height;
    }
    const double rows = std::max(std::floor((height - nonClient) / mRowHeight), 1.0);
    return nonClient + rows * mRowHeight;
  };
  LayoutLimit minimum;
  LayoutLimit maximum;
  layout->GetAxisLimits(1, minimum, maximum);
  minimum.abs = snap(minimum.abs);
  maximum.abs = snap(maximum.abs);
  SetAxisSizeLimits(1, minimum, maximum);
  LayoutPosition position;
  LayoutSize size;
  GetLayoutDescriptor()->GetAxis(1, position, size);
  size.abs = snap(size.kind == kSizeToSelf ? size.abs : GetRect().height);
  size.kind = kSizeToSelf;
  size.rel = 0.0f;
  SetAxisPlacement(1, position, size);
  return QZ_OK;
}

// =============================================================================================
// Items from the string table
// =============================================================================================

QZResult LListBox::LoadItemsFromStringTable(const RCPtr<LStringTable>& table) {
  if (!table) {
    return QZ_E_INVALIDARG;
  }
  const RCPtr<LControl> self(this);
  RemoveAllItems();
  std::vector<std::pair<int32_t, WString>> entries;
  int32_t count = 0;
  const LStringTable::Entries& all = table->GetEntries();
  for (auto entry = all.lower_bound(kItemPrefix); entry != all.end(); ++entry) {
    const WString& id = entry->first;
    if (id.GetLength() < 5 || id.Left(5) != kItemPrefix) {
      break;
    }
    const int64_t number = Chars::ToInt64(id.GetBuffer() + 5);
    if (number < 0 || number > kHighestTableItem) {
      DebugTrace::Get().Narrow() << "QZ::LListBox::LoadItemsFromStringTable : " << GetName().ToUTF8().GetBuffer()
                                 << " : " << id.ToUTF8().GetBuffer() << " ignored: item numbers go up to "
                                 << kHighestTableItem << "\n";
      continue;
    }
    entries.emplace_back(int32_t(number), entry->second);
    count = std::max(count, int32_t(number) + 1);
  }
  {
    Guard loading(mLoadingItems);
    SetItemCount(count); // count: empty items append
    for (const auto& [index, text] : entries) {
      GetItemRecord(index).data = MakeTaggableString(text);
    }
    for (int32_t index = 0; index < count; ++index) {
      if (!GetItemRecord(index).data) {
        GetItemRecord(index).data = MakeTaggableString(WString());
      }
    }
  }
  SettleItems(0, false, false);
  return QZ_OK;
}

void LListBox::SettleItems(int32_t from, bool sort, bool keepTopInView) {
  const RCPtr<LControl> self(this);
  UpdateClientExtent();
  FillPool();
  UpdateRows(std::min(from, int32_t(mFirstShownIndex)));
  RecomputeContentWidth();
  if (mMenuMode) {
    ResizeToItems();
  }
  if (sort && mKeepSorted) {
    SortAllItems();
  }
  if (keepTopInView && GetItemCount() > 0) {
    EnsureItemVisible(int32_t(mFirstShownIndex));
    SyncTopItem();
  } else if (keepTopInView) {
    SetScrollOffset({mScrollOffset.x, 0.0});
  }
}

// =============================================================================================
// Widths
// =============================================================================================

int32_t LListBox::MeasureItemWidth(int32_t index) {
  if (index < 0 || index >= GetItemCount() || mRowControls.empty()) {
    return 0;
  }
  const ConstRCPtr<LTaggableObject>& data = GetItemRecord(index).data;
  const WString text = data ? data->ToString() : WString();
  IControlApplication* application = GetControlApplication();
  const RCPtr<LMeasurementRenderer> measurer = application ? application->GetMeasurementRenderer() : nullptr;
  const RCPtr<LFont>& font = mRowControls.front()->GetFont();
  if (text.IsEmpty() || !measurer || !font) {
    return mRowWidth;
  }
  return mRowWidth + int32_t(RoundHalfAway(measurer->MeasureText(*font, text).width));
}

void LListBox::RecomputeContentWidth() {
  if (mLoadingItems) {
    return;
  }
  int32_t widest = 0;
  for (int32_t index = GetItemCount(); index-- > 0;) {
    widest = std::max(widest, MeasureItemWidth(index));
  }
  if (widest == mContentWidth) {
    return;
  }
  mContentWidth = widest;
  const RCPtr<LControl> self(this);
  PlaceWideRows();
  UpdateClientExtent();
}

LayoutPosition LListBox::WideRowPosition(bool docked) const {
  // Centred, a row wider than the client area would begin left of it, where no scrolling
  // reaches: the start of every item's text would be cut off.
  if (double(mContentWidth) > GetLookRect(-1).width) {
    return LayoutPosition{0.0f, kPositionToClient, WString(), 0.0f, 0.0, docked};
  }
  return LayoutPosition{0.5f, kPositionToClient, WString(), 0.5f, 0.0, docked};
}

void LListBox::PlaceWideRows() {
  if (mLoadingItems || (!RowsFollowContentWidth() && mTemplateDescriptor)) {
    return;
  }
  const RCPtr<LControl> self(this);
  const LayoutSize size{kSizeToSelf, WString(), 0.0f, double(mContentWidth)};
  for (const RCPtr<LListBoxItem>& row : mRowControls) {
    const RCPtr<LLayoutDescriptor>& layout = row->GetLayoutDescriptor();
    const LayoutPosition position = WideRowPosition(layout && layout->position[0].docked);
    if (!layout || !(layout->position[0] == position) || !(layout->size[0] == size)) {
      row->SetAxisPlacement(0, position, size);
    }
  }
}

// =============================================================================================
// Notifications
// =============================================================================================

QZResult LListBox::OnRowConditionChange(const RCPtr<LNotificationDistributor>& distributor,
                                        const RCPtr<LNotification>& notification) {
  const RCPtr<LListBoxItem> row = DynamicCast<LListBoxItem>(distributor);
  const RCPtr<LConditionsParam> change = notification->GetParameterAs<LConditionsParam>();
  if (!row || !change || !row->IsEnabled(true)) {
    return QZ_FALSE;
  }
  const RCPtr<LControl> self(this);
  const bool hover = notification->GetID() == GetNotificationID(u"NID_HOVER_CONDITION_CHANGE");
  int32_t index = GetItemOfRow(row.Get());
  if (hover && mMenuMode && index >= 0 && (change->GetCurrent() & kConditionHover) &&
      !(change->GetPrevious() & kConditionHover)) {
    // The list stays where it is: a row cut at the list's edge that scrolled into view
    // would put the next item under the pointer, and the click would pick that one.
    SelectRange(index, -1, true, false);
    index = GetItemOfRow(row.Get());
  }
  const RCPtr<LItemConditionsParam> param =
      LItemConditionsParam::Create(uint32_t(index), row->GetCurrentLookIndex(), row->IsMouseOver(),
                                   change->GetPrevious(), change->GetCurrent(), change->GetPoint());
  Announce(hover ? u"NID_ITEM_HOVER_CONDITION_CHANGE" : u"NID_ITEM_LEFT_DRAG_CONDITION_CHANGE", param);
  return QZ_FALSE;
}

} // namespace QZ
