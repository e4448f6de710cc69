#include "QZFramework/ControlBase/ControlDescriptor.h"

#include <algorithm>
#include <utility>

namespace QZ {

RCPtr<LRefCountedObject> LControlDescriptor::CreateCopy() const { return CreateCopy(WString()); }

RCPtr<LControlDescriptor> LControlDescriptor::CreateCopy(const WString& name) const {
  RCPtr<LControlDescriptor> copy(new LControlDescriptor(mClass, name.IsEmpty() ? mName : name, mParent));
  copy->mChildren.Append(mChildren);
  copy->mSkin = mSkin;
  copy->mLayout = mLayout;
  copy->mCreateParams = mCreateParams;
  copy->mCreateFunction = mCreateFunction;
  return copy;
}

void LControlDescriptor::AddChild(RCPtr<LControlDescriptor> child) {
  const uint32_t index = mChildren.GetCount();
  if (Succeeded(mChildren.InsertItems(index, 1))) {
    mChildren.GetAt(index).Swap(child);
  }
}

void LControlDescriptor::SortChildrenByLayoutOrder() {
  const auto order = [](const RCPtr<LControlDescriptor>& child) {
    return child->mLayout ? child->mLayout->layoutOrder : 0;
  };
  RCPtr<LControlDescriptor>* first = mChildren.GetData();
  const uint32_t count = mChildren.GetCount();
  // A control has a handful of children: sorted in place, without the buffer the general
  // stable sort asks the heap for, once for every control with children as a skin is read.
  constexpr uint32_t kFewChildren = 32;
  if (count > kFewChildren) {
    std::stable_sort(first, first + count,
                     [&order](const RCPtr<LControlDescriptor>& a, const RCPtr<LControlDescriptor>& b) {
                       return order(a) < order(b);
                     });
    return;
  }
  for (uint32_t i = 1; i < count; ++i) {
    const int32_t key = order(first[i]);
    if (order(first[i - 1]) <= key) {
      continue;
    }
    RCPtr<LControlDescriptor> moving = std::move(first[i]);
    uint32_t j = i;
    for (; j > 0 && key < order(first[j - 1]); --j) {
      first[j] = std::move(first[j - 1]);
    }
    first[j] = std::move(moving);
  }
}

} // namespace QZ
