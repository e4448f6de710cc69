#include <gtest/gtest.h>

#include "ControlTestSupport.h"
#include "QZFramework/Notification/NotificationHandler.h"

namespace QZ {
namespace {

using QZTest::TestControl;
using Table = LNotificationHandler<LControl>;

const Table::Method kSeen = static_cast<Table::Method>(&TestControl::OnSeen);

// A control listening through its handler table to a second control.
struct Pair {
  RCPtr<TestControl> owner = TestControl::Make(nullptr, u"owner");
  RCPtr<TestControl> source = TestControl::Make(nullptr, u"source");
  RCPtr<Table> table{new Table(*owner)};

  Pair() { owner->UseHandlerTable(table); }
};

TEST(NotificationHandlerTableTest, RoutesAreAddedWithTheirDataAndRemovedOnce) {
  Pair pair;
  EXPECT_EQ(pair.table->AddHandler(kSeen, 42, nullptr, u"NID_VALUE_CHANGE"), QZ_E_INVALIDARG);
  EXPECT_EQ(pair.table->AddHandler(nullptr, pair.source, u"NID_VALUE_CHANGE"), QZ_E_INVALIDARG);
  EXPECT_EQ(pair.table->AddHandler(kSeen, pair.source, u""), QZ_E_FAIL);
  EXPECT_EQ(pair.owner->LNotificationClient::GetRegistrationCount(), 0);

  Table::Method method = nullptr;
  uintptr_t data = 7;
  EXPECT_EQ(pair.table->RemoveHandler(pair.source, u"NID_VALUE_CHANGE", method, data), QZ_E_FAIL);
  EXPECT_EQ(data, 7u);

  EXPECT_EQ(pair.table->AddHandler(kSeen, 42, pair.source, u"NID_VALUE_CHANGE"), QZ_OK);
  EXPECT_EQ(pair.source->Send(u"NID_VALUE_CHANGE"), QZ_OK);
  EXPECT_EQ(pair.owner->seen, 1);
  EXPECT_EQ(pair.table->RemoveHandler(pair.source, u"NID_VALUE_CHANGE", method, data), QZ_OK);
  EXPECT_EQ(method, kSeen);
  EXPECT_EQ(data, 42u);
  EXPECT_EQ(pair.owner->LNotificationClient::GetRegistrationCount(), 0);
  EXPECT_EQ(pair.source->Send(u"NID_VALUE_CHANGE"), QZ_FALSE);
  EXPECT_EQ(pair.table->RemoveHandler(pair.source, u"NID_VALUE_CHANGE", method, data), QZ_E_FAIL);
}

TEST(NotificationHandlerTableTest, ADisablerSilencesOneRouteForItsScope) {
  Pair pair;
  const RCPtr<TestControl> other = TestControl::Make(nullptr, u"other");
  ASSERT_EQ(pair.table->AddHandler(kSeen, 5, pair.source, u"NID_VALUE_CHANGE"), QZ_OK);
  ASSERT_EQ(pair.table->AddHandler(kSeen, pair.source, u"NID_LEFT_CLICK"), QZ_OK);
  ASSERT_EQ(pair.table->AddHandler(kSeen, other, u"NID_VALUE_CHANGE"), QZ_OK);
  {
    CAutoNotificationDisabler<LControl> quiet(pair.table, pair.source, u"NID_VALUE_CHANGE");
    EXPECT_EQ(pair.source->Send(u"NID_VALUE_CHANGE"), QZ_FALSE); // nobody listens
    EXPECT_EQ(pair.owner->seen, 0);
    // Only that pair is silenced.
    pair.source->Send(u"NID_LEFT_CLICK");
    other->Send(u"NID_VALUE_CHANGE");
    EXPECT_EQ(pair.owner->seen, 2);
  }
  pair.source->Send(u"NID_VALUE_CHANGE");
  EXPECT_EQ(pair.owner->seen, 3);
  Table::Method method = nullptr;
  uintptr_t data = 0;
  ASSERT_EQ(pair.table->RemoveHandler(pair.source, u"NID_VALUE_CHANGE", method, data), QZ_OK);
  EXPECT_EQ(data, 5u);

  // A route comes back with the flags of its registration.
  ASSERT_EQ(pair.table->AddHandler(kSeen, pair.source, u"NID_SCROLL_OFFSET_CHANGE", kNotificationLatestOnly), QZ_OK);
  { CAutoNotificationDisabler<LControl> quiet(pair.table, pair.source, u"NID_SCROLL_OFFSET_CHANGE"); }
  uint32_t flags = 0;
  EXPECT_EQ(pair.source->GetClientFlags(pair.owner.Get(), u"NID_SCROLL_OFFSET_CHANGE", flags), QZ_OK);
  EXPECT_EQ(flags, kNotificationLatestOnly);
}

TEST(NotificationHandlerTableTest, ADisablerForARouteNeverAddedThrowsWithItsOwnersClass) {
  Pair pair;
  try {
    CAutoNotificationDisabler<LControl> quiet(pair.table, pair.source, u"NID_VALUE_CHANGE");
    ADD_FAILURE() << "no exception";
  } catch (const FailedResultException& error) {
    EXPECT_STREQ(error.what(),
                 "Failed Result : QZRESULT = 80004005 : QZ::CAutoNotificationDisabler<class QZ::LControl>::"
                 "CAutoNotificationDisabler : QZFramework\\notification\\NotificationHandler : Line 247");
  }
}

} // namespace
} // namespace QZ
