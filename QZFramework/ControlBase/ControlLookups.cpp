// Small lookups of a control, its menu-item updater, and the operations that run the
// layout again when a size changes.

#include <algorithm>

#include <map>

#include "QZFramework/ControlBase/Control.h"
#include "QZFramework/ControlBase/ControlApplication.h"
#include "QZFramework/ControlBase/Look.h"
#include "QZFramework/ControlBase/StringTable.h"
#include "QZFramework/Renderer/MeasurementRenderer.h"
#include "QZFramework/Utilities/Graphics/Font.h"

namespace QZ {

KeyCode LControl::GetHotKey(const WString& command) const {
  const Array<KeyCode> keys = mHotKeys.GetBindings(command);
  if (keys.GetCount() > 0) {
    return keys.GetAt(0);
  }
  KeyCode none;
  none.code = kKeyCodeInvalid;
  return none;
}

bool LControl::HasLocalHotKey(const WString& command) const { return mHotKeys.HasBinding(command); }

int32_t LControl::IndexOfChild(const LControl* child, int32_t order) const { return mChildren.IndexOf(child, order); }

void LControl::SortChildOrders() { mChildren.SortOrders(); }

RCPtr<LControl> LControl::GetRootControl() {
  LControl* top = this;
  while (top->mParent) {
    top = top->mParent.Get();
  }
  return RCPtr<LControl>(top);
}

RectT<int32_t> LControl::GetVisibleContentRect() const {
  const RectT<double> client = GetLookRect(-1);
  const PointT<int32_t> origin = mScrollOffset.Round();
  return {origin.x, origin.y, RoundToInt32(client.width), RoundToInt32(client.height)};
}

bool LControl::IsTextTruncated() const {
  const RCPtr<LLook> look = GetLook(-1);
  IControlApplication* application = GetControlApplication();
  const RCPtr<LMeasurementRenderer> measurer = application ? application->GetMeasurementRenderer() : nullptr;
  if (!look || !mFont || !measurer) {
    return false;
  }
  const RectT<float> area = look->GetTextRect(RoundToInt32(mRect.width), RoundToInt32(mRect.height));
  return measurer->MeasureText(*mFont, mLabel).width > area.width;
}

int32_t LControl::GetTopZOrder() const {
  int32_t top = kNoHitDepth;
  for (const LControl* control = this; control; control = control->mParent.Get()) {
    if (control->mLayout && !control->mLayout->clipToParent) {
      top = std::max(top, control->mLayout->zOrder);
    }
  }
  return top;
}

RCPtr<LMenuItemUpdater> LControl::GetMenuItemUpdater() {
  if (!mMenuItemUpdater) {
    mMenuItemUpdater = LMenuItemUpdater::Create(RCPtr<LControl>(this));
    // The updater's hold on this control is part of a cycle.
    AddInternalReferences(1);
  }
  return mMenuItemUpdater;
}

uint32_t LControl::CollectPrefixed(const LStringTable* table, const WString& prefix,
                                   std::vector<LMenuDescriptor::Entry>& out) {
  out.clear();
  if (!table) {
    return 0;
  }
  const uint32_t length = prefix.GetLength();
  // The table is kept in key order, so the entries come out sorted.
  for (const auto& [key, text] : table->GetEntries()) {
    if (key.GetLength() >= length && key.Left(length) == prefix) {
      out.emplace_back(key, text);
    }
  }
  return uint32_t(out.size());
}

QZResult LControl::GetContextMenuDescriptors(std::vector<RCPtr<LMenuDescriptor>>& out) {
  out.clear();
  const RCPtr<LStringTable> table = GetStringTable();
  std::vector<LMenuDescriptor::Entry> entries;
  const WString prefix(u"CONTEXT_MENU");
  CollectPrefixed(table.Get(), prefix, entries);
  // Menu number (-1: none written) to its entries, keys cut after the number's '.'.
  std::map<int64_t, std::vector<LMenuDescriptor::Entry>> menus;
  for (const auto& [key, text] : entries) {
    const char16_t* rest = key.GetBuffer() + prefix.GetLength();
    int64_t number = -1;
    for (; *rest >= u'0' && *rest <= u'9'; ++rest) {
      number = (number < 0 ? 0 : number) * 10 + (*rest - u'0');
      if (number > INT32_MAX) {
        break; // no table numbers its menus this far; the key is left out below
      }
    }
    if (*rest != u'.' || number > INT32_MAX) {
      continue;
    }
    menus[number].emplace_back(WString(rest + 1), text);
  }
  for (const auto& [number, rows] : menus) {
    const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::CreateFromStringTable(rows);
    if (!menu) {
      out.clear();
      return QZ_E_FAIL;
    }
    out.push_back(menu);
  }
  return QZResult(int32_t(out.size()));
}

// --- Relayout triggers ------------------------------------------------------------------

QZResult LControl::OnParentResized(double, double) {
  if (mLayout && (mLayout->position[0].docked || mLayout->position[1].docked)) {
    PerformLayout();
  }
  return QZ_OK;
}

QZResult LControl::OnSizeChanged(const RCPtr<LControl>& child) {
  // While the control stores its own rectangle it lays its children out itself.
  if (!mInSetRect) {
    PerformLayout();
  }
  OnChildLayoutChanged(child); // bookkeeping of a buffered control
  return QZ_OK;
}

QZResult LControl::OnRootResized(const SizeT<int32_t>& size) {
  const RectT<int32_t> before{RoundToInt32(mRect.x), RoundToInt32(mRect.y), RoundToInt32(mRect.width),
                              RoundToInt32(mRect.height)};
  PerformLayout();
  const RectT<int32_t> after{RoundToInt32(mRect.x), RoundToInt32(mRect.y), RoundToInt32(mRect.width),
                             RoundToInt32(mRect.height)};
  // A root control that keeps its size while the window changed it (its limits hold it):
  // the window takes the control's size again.
  if (!mParent && mRootWindow && before == after && (after.width != size.width || after.height != size.height)) {
    RectT<int32_t> frame = mRootWindow->GetFrameRect();
    frame.width += after.width - size.width;
    frame.height += after.height - size.height;
    mRootWindow->SetFrameRect(frame);
  }
  return QZ_OK;
}

// --- Menu-item updater --------------------------------------------------------------------

LMenuItemUpdater::LMenuItemUpdater(const RCPtr<LControl>& control) : mControl(control) {}

LMenuItemUpdater::~LMenuItemUpdater() = default;

RCPtr<LMenuItemUpdater> LMenuItemUpdater::Create(const RCPtr<LControl>& control) {
  return RCPtr<LMenuItemUpdater>(new LMenuItemUpdater(control));
}

QZResult LMenuItemUpdater::IsMenuItemEnabled(const LMenuDescriptor* menu, int32_t itemIndex, const WString& command,
                                             LMenuItemState& state) {
  const RCPtr<LControl> control = mControl;
  return control ? control->IsMenuItemEnabled(menu, itemIndex, command, state) : QZResult(QZ_FALSE);
}

} // namespace QZ
