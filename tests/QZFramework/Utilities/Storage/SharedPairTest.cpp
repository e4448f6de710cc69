#include <gtest/gtest.h>

#include "QZFramework/Utilities/Storage/RCPtrMap.h"
#include "QZFramework/Utilities/Storage/SharedPair.h"

namespace {

TEST(SharedPairTest, APairsTextComesFromItsKey) {
  const QZ::LParamValuePair change(QZ::ParamDescriptor(4000000000u), QZ::Variant());
  EXPECT_EQ(change.ToString(), u"4000000000");

  using FontPair = QZ::RCPtrMap<QZ::LTaggableObject, QZ::LTaggableObject>::Pair;
  EXPECT_EQ(FontPair(nullptr, nullptr).ToString(), u"");
  const QZ::RCPtr<QZ::LTaggableObject> key(new QZ::LTaggableObject);
  EXPECT_EQ(FontPair(key, nullptr).ToString(), key->ToString());
}

} // namespace
