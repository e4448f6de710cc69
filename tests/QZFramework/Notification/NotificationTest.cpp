#include <gtest/gtest.h>

#include <string>

#include "QZFramework/Notification/Notification.h"
#include "QZFramework/Notification/NotificationTestSupport.h"

namespace {

using QZTest::InstanceCounter;

// Switches pooling on for a test and off (emptying the pool) after it.
class PoolingOn {
public:
  PoolingOn() { QZ::LNotification::SetPoolingEnabled(true); }
  ~PoolingOn() { QZ::LNotification::SetPoolingEnabled(false); }
};

TEST(NotificationIDTest, OneTextGivesOneIdWhateverBufferHoldsIt) {
  std::u16string first(u"NID_TEST_INTERNING");
  std::u16string second(first);
  const QZ::NotificationID id = QZ::GetNotificationID(first.c_str());
  ASSERT_NE(id, nullptr);
  EXPECT_NE(id, first.c_str()) << "the table keeps its own copy";
  EXPECT_EQ(QZ::GetNotificationID(second.c_str()), id);
  EXPECT_EQ(QZ::GetNotificationID(id), id);
  first.assign(u"NID_TEST_CHANGED");
  EXPECT_EQ(std::u16string(id), u"NID_TEST_INTERNING") << "an id outlives the buffer it came from";
  EXPECT_NE(QZ::GetNotificationID(first.c_str()), id);
  EXPECT_NE(QZ::GetNotificationID(u"nid_test_interning"), id) << "case-sensitive";
  EXPECT_EQ(QZ::GetNotificationID(u""), nullptr);
  EXPECT_EQ(QZ::GetNotificationID(nullptr), nullptr);
}

TEST(NotificationTest, AnEmptyNameMakesNoNotification) {
  EXPECT_EQ(QZ::LNotification::Allocate(u""), nullptr);
  EXPECT_EQ(QZ::LNotification::Create(nullptr), nullptr);
  PoolingOn pooling;
  QZ::LNotification::Create(u"NID_TEST_A");
  ASSERT_EQ(QZ::LNotification::GetPooledCount(), 1u);
  EXPECT_EQ(QZ::LNotification::Create(u""), nullptr) << "not a pooled one with its old id";
}

TEST(NotificationTest, WithPoolingOnAReleasedNotificationIsReusedWithTheNewIdAndParameter) {
  InstanceCounter parameters;
  PoolingOn pooling;
  auto first = QZ::LNotification::Create(u"NID_TEST_A", new QZTest::CountedObject(parameters, 1));
  const QZ::LNotification* object = first.Get();
  first = nullptr;
  EXPECT_EQ(parameters.destroyed, 1) << "the pool keeps no parameter";
  EXPECT_EQ(QZ::LNotification::GetPooledCount(), 1u);

  QZ::RCPtr<QZ::LRefCountedObject> parameter(new QZTest::CountedObject(parameters, 2));
  auto second = QZ::LNotification::Create(u"NID_TEST_B", parameter);
  EXPECT_EQ(second.Get(), object);
  EXPECT_EQ(second->GetID(), QZ::GetNotificationID(u"NID_TEST_B"));
  EXPECT_EQ(second->GetParameter(), parameter);
  EXPECT_FALSE(second->IsQueued());
  EXPECT_EQ(QZ::LNotification::GetPooledCount(), 0u);

  second = nullptr;
  QZ::LNotification::SetPoolingEnabled(false);
  EXPECT_EQ(QZ::LNotification::GetPooledCount(), 0u) << "switching off empties the pool";
  EXPECT_NE(QZ::LNotification::Create(u"NID_TEST_A"), nullptr);
  EXPECT_EQ(QZ::LNotification::GetPooledCount(), 0u) << "and nothing returns to it";
}

} // namespace
