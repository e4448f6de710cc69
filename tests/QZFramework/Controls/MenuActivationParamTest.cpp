#include "QZFramework/Controls/MenuActivationParam.h"

#include <gtest/gtest.h>

namespace {

using QZ::LMenuActivationParam;
using QZ::LMenuDescriptor;
using QZ::RCPtr;

class LargerActivationParam : public LMenuActivationParam {
public:
  LargerActivationParam() : LMenuActivationParam(nullptr, -1) {}
  char padding[64] = {};
};

TEST(MenuActivationParamTest, HoldsItsMenuAndReusesTheBlockFreedLast) {
  const RCPtr<LMenuDescriptor> menu = LMenuDescriptor::Create();
  ASSERT_EQ(menu->InsertNewItem(0, u"Exit", u"NID_MENU_FILE_EXIT_REQ", true, false), 0);

  const int32_t held = menu->GetRefCount();
  RCPtr<LMenuActivationParam> first = LMenuActivationParam::Create(menu, 0);
  RCPtr<LMenuActivationParam> second = LMenuActivationParam::Create(menu, -1);
  EXPECT_EQ(first->GetMenu().Get(), menu.Get());
  EXPECT_EQ(first->GetIndex(), 0);
  EXPECT_EQ(second->GetIndex(), -1);
  EXPECT_EQ(menu->GetRefCount(), held + 2);

  const void* firstBlock = first.Get();
  const void* secondBlock = second.Get();
  first = nullptr;
  second = nullptr;
  EXPECT_EQ(menu->GetRefCount(), held);

  // The block freed last comes back first.
  const RCPtr<LMenuActivationParam> again = LMenuActivationParam::Create(menu, 0);
  EXPECT_EQ(static_cast<const void*>(again.Get()), secondBlock);
  const RCPtr<LMenuActivationParam> andAgain = LMenuActivationParam::Create(menu, 0);
  EXPECT_EQ(static_cast<const void*>(andAgain.Get()), firstBlock);

  // Another size is served by the heap and given back there (ASan would see a mix-up).
  const RCPtr<LMenuActivationParam> larger(new LargerActivationParam);
  EXPECT_EQ(larger->GetIndex(), -1);
  EXPECT_FALSE(larger->GetMenu());
}

} // namespace
