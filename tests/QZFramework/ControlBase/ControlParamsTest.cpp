#include <gtest/gtest.h>

#include "QZFramework/ControlBase/Control.h"
#include "Support/StringPrinter.h"

namespace QZ {
namespace {

TEST(ControlParamsTest, TextFormsFollowTheirFormats) {
  struct Case {
    RCPtr<LRefCountedObject> param;
    const char16_t* text;
  } cases[] = {
      {LPointParam::Create({3, -4}), u"point(3, -4)"},
      {LPointWithModifiersParam::Create({3, -4}, 0x12), u"point(3, -4)  modifiers: 0x00000012"},
      {LMouseButtonParam::Create(kMouseButtonLeft, {3, -4}, 0x12, true, 0x5, 2),
       u"point(3, -4)  modifiers: 0x00000012"},
      {LMouseWheelParam::Create({0, 0}, 0, kWheelDown), u"point(0, 0)  modifiers: 0x00000000  direction: down"},
      {LMouseWheelParam::Create({0, 0}, 0x40, kWheelRight), u"point(0, 0)  modifiers: 0x00000040  direction: up"},
      {LConditionsParam::Create(1, 2, {1.5, -2}), u"(1.5, -2)"},
      {LConditionsParam::Create(0, 0, {1e20, 0.1}), u"(1e+20, 0.1)"},
      {LValueParam::Create(0.25, 50.0), u"ValueParam = 0.250000"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.param->ToString(), c.text);
  }
}

TEST(ControlParamsTest, FieldsKeepWhatCreateGave) {
  const auto press = LMouseButtonParam::Create(kMouseButtonRight, {7, 8}, 0x8, true, 0x5, 3);
  EXPECT_EQ(press->GetButton(), kMouseButtonRight);
  EXPECT_EQ(press->GetPoint(), (PointT<int32_t>{7, 8}));
  EXPECT_EQ(press->GetModifiers(), 0x8u);
  EXPECT_TRUE(press->IsDoubleClick());
  EXPECT_EQ(press->GetButtonsHeld(), 0x5u);
  EXPECT_EQ(press->GetSourceIndex(), 3u);
  const auto conditions = LConditionsParam::Create(0x5, 0x6, {1, 2});
  EXPECT_EQ(conditions->GetChanged(), 0x3u);
  const auto key = LSiblingKeyParam::Create(KeyCode(0x09, true, 0, 0), nullptr);
  EXPECT_EQ(key->GetHandled(), LSiblingKeyParam::kUnhandled);
  EXPECT_EQ(key->GetKey().code, 0x20090000u);
  const auto value = LValueParam::Create(0.5, 20.0);
  EXPECT_EQ(value->GetScaledValue(), 20.0);
}

// The same class grown by a field: the pool hands it to the heap.
class LWideValueParam : public LValueParam {
public:
  LWideValueParam() : LValueParam(0.0, 0.0) {}
  double extra = 0.0;
};

TEST(ControlParamsTest, PooledBlocksAreReusedLastFreedFirstAndOtherSizesUseTheHeap) {
  const void* first = nullptr;
  const void* second = nullptr;
  {
    RCPtr<LValueParam> a = LValueParam::Create(0.1, 0.1);
    RCPtr<LValueParam> b = LValueParam::Create(0.2, 0.2);
    first = a.Get();
    second = b.Get();
    EXPECT_NE(first, second);
    a = nullptr; // freed first
    b = nullptr; // freed last: handed out first
  }
  RCPtr<LValueParam> again = LValueParam::Create(0.3, 0.3);
  EXPECT_EQ(again.Get(), second);
  RCPtr<LValueParam> wide(new LWideValueParam);
  EXPECT_NE(static_cast<const void*>(wide.Get()), first);
  RCPtr<LValueParam> later = LValueParam::Create(0.4, 0.4);
  EXPECT_EQ(later.Get(), first);
  wide = nullptr;
  later = nullptr;
  EXPECT_EQ(LValueParam::Create(0.5, 0.5).Get(), first);
}

} // namespace
} // namespace QZ
