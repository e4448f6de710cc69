#include "QZFramework/ControlBase/ControlDescriptor.h"

#include <algorithm>

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

void LControlDescriptor::AddChild(const RCPtr<LControlDescriptor>& child) { mChildren.AddItem(child); }

void LControlDescriptor::SortChildrenByLayoutOrder() {
  const auto order = [](const RCPtr<LControlDescriptor>& child) {
    return child->mLayout ? child->mLayout->layoutOrder : 0;
  };
  RCPtr<LControlDescriptor>* first = mChildren.GetData();
  std::stable_sort(
      first, first + mChildren.GetCount(),
      [&order](const RCPtr<LControlDescriptor>& a, const RCPtr<LControlDescriptor>& b) { return order(a) < order(b); });
}

} // namespace QZ
