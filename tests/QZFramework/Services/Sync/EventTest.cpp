#include <gtest/gtest.h>

#include "QZFramework/ObjectBase/RCPtr.h"
#include "QZFramework/Services/Sync/Event.h"
#include "QZFramework/Services/Sync/LEvent.h"
#include "QZFramework/Services/Sync/TrafficLight.h"

namespace {

TEST(EventTest, AnUnsignalledWaitTimesOut) {
  QZ::Event event(true);
  EXPECT_EQ(event.Wait(50), 258u);
  EXPECT_EQ(event.Wait(0), QZ::Event::kTimedOut);
  EXPECT_FALSE(event.IsSet());
  EXPECT_EQ(event.GetWaiterCount(), 0);
}

TEST(EventTest, AnAutoResetSignalIsConsumedByOneWaitOrTest) {
  QZ::Event event(true);
  EXPECT_TRUE(event.Set());
  EXPECT_TRUE(event.Set());
  EXPECT_TRUE(event.IsSet());
  EXPECT_FALSE(event.IsSet());

  event.Set();
  EXPECT_EQ(event.Wait(QZ::Event::kInfinite), 0u);
  EXPECT_EQ(event.Wait(0), QZ::Event::kTimedOut);

  event.Set();
  EXPECT_TRUE(event.Reset());
  EXPECT_FALSE(event.IsSet());
}

TEST(EventTest, AManualResetSignalStaysUntilReset) {
  QZ::Event event(false);
  event.Set();
  EXPECT_TRUE(event.IsSet());
  EXPECT_TRUE(event.IsSet());
  EXPECT_EQ(event.Wait(QZ::Event::kInfinite), QZ::Event::kSignalled);
  event.Reset();
  EXPECT_FALSE(event.IsSet());
}

TEST(EventTest, ATrafficLightStartsClosedAndStaysOpenUntilClosed) {
  QZ::TrafficLight light;
  EXPECT_FALSE(light.IsSet());
  light.Set();
  EXPECT_TRUE(light.IsSet());
  EXPECT_EQ(light.Wait(0), QZ::Event::kSignalled);
  EXPECT_EQ(light.Wait(QZ::Event::kInfinite), QZ::Event::kSignalled);
  light.Reset();
  EXPECT_EQ(light.Wait(10), QZ::Event::kTimedOut);
}

TEST(EventTest, WaitAnyTakesTheLowestSignalledEventOnly) {
  QZ::Event first(true);
  QZ::Event second(true);
  QZ::Event manual(false);
  QZ::Event* events[] = {&first, &second, &manual};

  EXPECT_EQ(QZ::Event::WaitAny(events, 20), -1);

  second.Set();
  manual.Set();
  EXPECT_EQ(QZ::Event::WaitAny(events, 0), 1);
  EXPECT_FALSE(second.IsSet());
  // A manual-reset event keeps its signal after being reported.
  EXPECT_EQ(QZ::Event::WaitAny(events, 0), 2);
  EXPECT_EQ(QZ::Event::WaitAny(events, QZ::Event::kInfinite), 2);

  manual.Reset();
  first.Set();
  second.Set();
  EXPECT_EQ(QZ::Event::WaitAny(events, 0), 0);
  EXPECT_TRUE(second.IsSet());
}

TEST(EventTest, WaitAnyOnNoEventsReportsNothingAtOnce) { EXPECT_EQ(QZ::Event::WaitAny({}, QZ::Event::kInfinite), -1); }

TEST(EventTest, ASharedEventIsAutoResetWhateverItIsBuiltWith) {
  QZ::RCPtr<QZ::LEvent> event(new QZ::LEvent(false));
  EXPECT_FALSE(event->IsSet());
  event->Set();
  EXPECT_TRUE(event->IsSet());
  EXPECT_FALSE(event->IsSet());
}

} // namespace
