#pragma once
// QZ::LHolder<T>: one plain value shared through smart pointers, such as the data of a
// notification.
//
//   QZ::RCPtr<QZ::LHolder<bool>> dragging(new QZ::LHolder<bool>(true));
//   ...
//   if (auto held = QZ::DynamicCast<QZ::LHolder<bool>>(parameter)) { use(held->GetValue()); }
//
// The value is not synchronised: set it before sharing the holder, or guard it.

#include "QZFramework/ObjectBase/RefCountedObject.h"

namespace QZ {

template <class T>
class LHolder : public virtual LRefCountedObject {
public:
  // value-initialised: 0, false, or an enumeration's 0.
  LHolder() = default;
  explicit LHolder(const T& value) : mValue(value) {}

  const T& GetValue() const { return mValue; }
  void SetValue(const T& value) { mValue = value; }

private:
  T mValue{};
};

} // namespace QZ
