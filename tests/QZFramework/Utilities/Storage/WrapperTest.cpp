#include <gtest/gtest.h>

#include "QZFramework/Services/Sync/TrafficLight.h"
#include "QZFramework/Utilities/Storage/Holder.h"
#include "QZFramework/Utilities/Storage/ParamValues.h"
#include "QZFramework/Utilities/Storage/Wrapper.h"

namespace {

enum DeviceModel { Keys25, Keys49 };

TEST(WrapperTest, WrappersAndHoldersStartAsDefaultsAndAreReadThroughACheckedCast) {
  QZ::RCPtr<QZ::LRefCountedObject> parameter(new QZ::LWrapper<QZ::ParamValues>);
  const auto values = QZ::DynamicCast<QZ::LWrapper<QZ::ParamValues>>(parameter);
  ASSERT_TRUE(values);
  QZ::Variant value, qualifier;
  uint32_t id = 0;
  EXPECT_EQ(values->GetParamValue(0, value, id, qualifier), QZ::kParamListNoItem);
  EXPECT_FALSE(QZ::LWrapper<QZ::TrafficLight>().IsSet());

  EXPECT_FALSE(QZ::LHolder<bool>().GetValue());
  EXPECT_EQ(QZ::LHolder<DeviceModel>().GetValue(), Keys25);
  parameter = new QZ::LHolder<int>(42);
  EXPECT_FALSE(QZ::DynamicCast<QZ::LHolder<unsigned int>>(parameter));
  EXPECT_EQ(QZ::DynamicCast<QZ::LHolder<int>>(parameter)->GetValue(), 42);
}

TEST(WrapperTest, ATaggableStringIsTheOnlyHolderOfAWrapperSharingTheText) {
  const QZ::WString text(u"Preset 1");
  EXPECT_EQ(QZ::MakeStringableWrapper(text)->GetBuffer(), text.GetBuffer());
  const QZ::ConstRCPtr<QZ::LTaggableObject> item = QZ::MakeTaggableString(text);
  EXPECT_EQ(item->GetRefCount(), 1);
  EXPECT_EQ(item->ToString(), u"Preset 1");
  EXPECT_TRUE(QZ::DynamicCast<QZ::LStringWrapper>(item));
}

} // namespace
