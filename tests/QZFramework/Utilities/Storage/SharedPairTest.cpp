#include <gtest/gtest.h>

#include "QZFramework/Utilities/Storage/RCPtrMap.h"
#include "QZFramework/Utilities/Storage/SharedPair.h"
#include "Support/CountedObject.h"

namespace {

TEST(SharedPairTest, APairsTextComesFromItsKey) {
  QZ::RCPtr<QZ::LParamValuePair> change(new QZ::LParamValuePair(QZ::ParamDescriptor(4000000000u), QZ::Variant()));
  EXPECT_EQ(change->ToString(), u"4000000000");

  using FontPair = QZ::RCPtrMap<QZ::LTaggableObject, QZ::LTaggableObject>::Pair;
  EXPECT_EQ(FontPair(nullptr, nullptr).ToString(), u"");
  const QZ::RCPtr<QZ::LTaggableObject> key(new QZ::LTaggableObject);
  EXPECT_EQ(FontPair(key, nullptr).ToString(), key->ToString());
}

TEST(SharedPairTest, APairHoldsOneReferenceOnEachSharedMemberAndCarriesATag) {
  QZTest::InstanceCounter counter;
  {
    using Shared = QZ::RCPtr<QZTest::CountedObject>;
    const Shared value(new QZTest::CountedObject(counter));
    QZ::RCPtr<QZ::LPair<int, Shared, &QZ::KeyTypeToString<int>>> pair(
        new QZ::LPair<int, Shared, &QZ::KeyTypeToString<int>>(7, value));
    pair->SetTag(Shared(new QZTest::CountedObject(counter)));
    EXPECT_EQ(value->GetRefCount(), 2);
    EXPECT_EQ(pair->ToString(), u"int");
  }
  EXPECT_EQ(counter.live, 0);
}

} // namespace
