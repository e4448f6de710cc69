#include <gtest/gtest.h>

#include "QZFramework/Services/Sync/TrafficLight.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"
#include "QZFramework/Utilities/Storage/StringArray.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

namespace {

enum DeviceModel { Keys25, Keys49, Keys61 };

TEST(WrapperTest, WrappedValuesStartAsTheirDefaultAndTravelAsSharedObjects) {
  QZ::RCPtr<QZ::LRefCountedObject> parameter(new QZ::LWrapper<QZ::ParamValues>);
  const auto values = QZ::DynamicCast<QZ::LWrapper<QZ::ParamValues>>(parameter);
  ASSERT_TRUE(values);
  QZ::Variant value, qualifier;
  uint32_t id = 0;
  EXPECT_EQ(values->GetParamValue(0, value, id, qualifier), QZ::kParamListNoItem);

  QZ::RCPtr<QZ::LWrapper<QZ::TrafficLight>> done(new QZ::LWrapper<QZ::TrafficLight>);
  EXPECT_FALSE(done->IsSet());
  QZ::RCPtr<QZ::LWrapper<QZ::WStringArray>> names(new QZ::LWrapper<QZ::WStringArray>);
  EXPECT_EQ(names->GetCount(), 0u);
}

TEST(WrapperTest, HoldersStartValueInitialisedAndAreReadThroughACheckedCast) {
  EXPECT_FALSE(QZ::LHolder<bool>().GetValue());
  EXPECT_EQ(QZ::LHolder<DeviceModel>().GetValue(), Keys25);

  QZ::RCPtr<QZ::LRefCountedObject> parameter(new QZ::LHolder<int>(42));
  EXPECT_FALSE(QZ::DynamicCast<QZ::LHolder<unsigned int>>(parameter));
  const auto held = QZ::DynamicCast<QZ::LHolder<int>>(parameter);
  ASSERT_TRUE(held);
  EXPECT_EQ(held->GetValue(), 42);
}

TEST(WrapperTest, ATaggableStringIsTheOnlyHolderOfAWrapperSharingTheText) {
  const QZ::WString text(u"Preset 1");
  const QZ::ConstRCPtr<QZ::LStringWrapper> wrapper = QZ::MakeStringableWrapper(text);
  EXPECT_EQ(wrapper->GetRefCount(), 1);
  EXPECT_EQ(wrapper->GetBuffer(), text.GetBuffer());

  const QZ::ConstRCPtr<QZ::LTaggableObject> item = QZ::MakeTaggableString(text);
  EXPECT_EQ(item->GetRefCount(), 1);
  EXPECT_EQ(item->ToString(), u"Preset 1");
  EXPECT_TRUE(QZ::DynamicCast<QZ::LStringWrapper>(item));
}

} // namespace
