#pragma once
// QZ::LMenuActivationParam: the parameter of the notification that reports a chosen menu
// item: the menu whose item was chosen and the item's index in it.
//
//   QZ::RCPtr<QZ::LMenuActivationParam> param = QZ::LMenuActivationParam::Create(menu, 2);
//   notification->parameter = param;      // the owner reads param->GetMenu()->GetItem(2)
//
// Objects come from one pool of reused blocks for the program, made with a lock: any
// thread may make and free them. The object holds a counted reference to its menu.

#include <cstddef>
#include <cstdint>

#include "QZFramework/ControlBase/MenuDescriptor.h"

namespace QZ {

class LMenuActivationParam : public virtual LRefCountedObject {
public:
  // index: the chosen item's index in menu's items, -1 when none.
  static RCPtr<LMenuActivationParam> Create(const RCPtr<LMenuDescriptor>& menu, int32_t index);

  // Blocks of sizeof(LMenuActivationParam) from the pool, the one freed last first; any
  // other size (a derived class) from the heap.
  static void* operator new(size_t size);
  static void operator delete(void* block);

  const RCPtr<LMenuDescriptor>& GetMenu() const { return mMenu; }
  int32_t GetIndex() const { return mIndex; }

protected:
  LMenuActivationParam(const RCPtr<LMenuDescriptor>& menu, int32_t index) : mMenu(menu), mIndex(index) {}

private:
  RCPtr<LMenuDescriptor> mMenu;
  int32_t mIndex;
};

} // namespace QZ
