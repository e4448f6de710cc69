#pragma once
// QZ::RCPtrArray<T,N,G>: the array of shared objects with modifiable items, and
// QZ::LRCPtrArray<T,N,G>, one that is itself a shared, taggable object.
//
//   QZ::RCPtrArray<LControl> children;
//   children.AddItem(child);                       // QZ::RCPtr<LControl>: one reference more
//   children.GetAt(0)->Layout();                   // no reference traffic
//   ShowAll(children.AsConst());                   // wherever an IArray<ConstRCPtr<LControl>> is wanted
//
// Two array interfaces over one storage: QZ::IArray<QZ::RCPtr<T>> (its own) and, through
// its QZ::ConstRCPtrArray base, QZ::IArray<QZ::ConstRCPtr<T>>. Both always see the same
// items and count; everything said in ConstRCPtrArray.h holds for both.
//
// The two interfaces declare virtuals of the same names. Design: shims, not composition.
// The operations whose signatures the two share (GetCount, GetMaxCount, GetData, GetAt,
// Swap, SetCount, InsertItems, RemoveItems) are overridden here once, which overrides
// them in both tables (the RCPtr<T> results are covariant with the ConstRCPtr<T> ones),
// so the views cannot drift apart. The operations that differ by item type (InsertAt,
// RemoveItem, RemoveLast, Append, Assign ...) exist once per view. Direct calls on an
// RCPtrArray go to the RCPtr<T> view (the using-declarations below); the ConstRCPtr<T>
// view is reached through AsConst() or a conversion to its interface, and its
// RemoveItem throws its own template's text.
//
// Not synchronised: callers serialise access; only the items' counts are atomic.

#include "QZFramework/ObjectBase/TaggableObject.h"
#include "QZFramework/Utilities/Storage/ConstRCPtrArray.h"
#include "QZFramework/Utilities/Storage/StringT.h"

namespace QZ {

// The RCPtr view's InsertAt/RemoveItem/RemoveLast hide the read-only view's on purpose:
// a ConstRCPtr must not enter through the modifiable view.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Woverloaded-virtual"
#endif
template <class T, uint32_t N = 1, uint32_t G = 0>
class RCPtrArray : public IArray<RCPtr<T>>, public ConstRCPtrArray<T, N, G> {
  using View = IArray<RCPtr<T>>;
  using ConstArray = ConstRCPtrArray<T, N, G>;

public:
  using Item = RCPtr<T>;
  using typename View::Iterator;
  using typename View::Position;

  RCPtrArray() = default;
  // count null items, with storage for reserve items when that is more.
  explicit RCPtrArray(uint32_t count, uint32_t reserve = 0) : ConstArray(count, reserve) {}

  // The read-only view of the same items.
  ConstArray& AsConst() { return *this; }
  const ConstArray& AsConst() const { return *this; }

  // --- Shared by both views ----------------------------------------------------------
  uint32_t GetCount() const override { return ConstArray::GetCount(); }
  uint32_t GetMaxCount() const override { return ConstArray::GetMaxCount(); }
  using View::GetData;
  Item* GetData() override { return this->template ItemsAs<Item>(); }
  Item& GetAt(uint32_t index) override { return this->template ItemAt<Item>(index); }
  const Item& GetAt(uint32_t index) const override {
    return const_cast<RCPtrArray*>(this)->template ItemAt<Item>(index);
  }
  QZResult Swap(uint32_t first, uint32_t second) override { return ConstArray::Swap(first, second); }
  uint32_t SetCount(uint32_t count) override { return ConstArray::SetCount(count); }
  QZResult InsertItems(uint32_t index, uint32_t count) override { return ConstArray::InsertItems(index, count); }
  QZResult RemoveItems(uint32_t index, uint32_t count) override { return ConstArray::RemoveItems(index, count); }

  // --- The RCPtr<T> view ---------------------------------------------------------------
  // As ConstRCPtrArray::InsertAt.
  QZResult InsertAt(uint32_t index, const Item& item) override { return this->InsertShared(index, item); }
  // As ConstRCPtrArray::RemoveItem, with this template's text.
  QZResult RemoveItem(uint32_t index, Item& out) override {
    if (index >= GetCount()) {
      Throw<std::out_of_range>({Detail::PointerArrayMethod<T, N, G>("QZ::RCPtrArray", "RemoveItem"),
                                R"(qzframework\utilities\Storage/RCPtrArray)", 175});
    }
    return this->TakeItem(index, out);
  }
  QZResult RemoveLast(Item& out) override { return this->TakeLast(out); }

  using View::AddItem;
  using View::Advance;
  using View::Append;
  using View::AppendArray;
  using View::Assign;
  using View::Begin;
  using View::End;
  using View::GetBeforeFirstPosition;
  using View::GetEndPosition;
  using View::GetFirstPosition;
  using View::GetItemAt;
  using View::GetLastPosition;
  using View::IndexOf;
  using View::RBegin;
  using View::RemoveAll;
  using View::REnd;
};
#if defined(__clang__)
#pragma clang diagnostic pop
#endif

// An RCPtrArray held by smart pointers, with a text of its own (empty until set).
//
//   QZ::RCPtr<QZ::LRCPtrArray<LLookDescriptor>> looks(new QZ::LRCPtrArray<LLookDescriptor>);
template <class T, uint32_t N = 1, uint32_t G = 0>
class LRCPtrArray : public RCPtrArray<T, N, G>, public virtual LTaggableObject {
public:
  LRCPtrArray() = default;
  explicit LRCPtrArray(uint32_t count, uint32_t reserve = 0) : RCPtrArray<T, N, G>(count, reserve) {}

  // The text set last.
  WString ToString() const override { return mText; }
  // By the owner, under its lock when shared across threads.
  void SetText(const WString& text) { mText = text; }

private:
  WString mText;
};

} // namespace QZ
