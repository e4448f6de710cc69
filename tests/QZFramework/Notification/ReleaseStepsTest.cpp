// An object that is a client, a distributor and a taggable object, released through its
// bases' steps as RefCountedObject.h lays down: every base's references go, each once.

#include <gtest/gtest.h>

#include "QZFramework/Notification/NotificationTestSupport.h"
#include "QZFramework/ObjectBase/TaggableObject.h"

namespace {

using QZ::RCPtr;
using QZTest::Counted;
using QZTest::InstanceCounter;

constexpr char16_t kPing[] = u"NID_TEST_PING";

class Composite final : public virtual QZ::LNotificationClient,
                        public virtual QZ::LNotificationDistributor,
                        public virtual QZ::LTaggableObject {
public:
  explicit Composite(InstanceCounter& counter) : mCounter(counter) { ++mCounter.live; }
  ~Composite() override {
    internalAtDestruction = GetInternalRefCount();
    --mCounter.live;
    ++mCounter.destroyed;
  }

  QZ::QZResult ReleaseInternalReferences() override {
    ++releases;
    ReleaseDistributorReferences();
    ReleaseClientReferences();
    ReleaseTagReference();
    return LRefCountedObject::ReleaseInternalReferences();
  }

  int releases = 0;
  static inline int internalAtDestruction = -1;

private:
  InstanceCounter& mCounter;
};

TEST(ReleaseStepsTest, EveryBaseLetsGoOfItsReferencesOnceWhenTheLastOutsideReferenceGoes) {
  struct Case {
    bool listensElsewhere; // the composite is registered at another distributor
    bool heard;            // another client is registered at the composite
    bool tagged;
  };
  for (const Case c : {Case{true, true, true}, Case{true, false, false}, Case{false, true, false},
                       Case{false, false, true}, Case{false, false, false}}) {
    SCOPED_TRACE(testing::Message() << c.listensElsewhere << c.heard << c.tagged);
    InstanceCounter composites;
    InstanceCounter others;
    InstanceCounter tags;
    {
      const RCPtr<Counted<QZ::LNotificationDistributor>> elsewhere(new Counted<QZ::LNotificationDistributor>(others));
      const RCPtr<Counted<QZ::LNotificationClient>> listener(new Counted<QZ::LNotificationClient>(others));
      RCPtr<Composite> composite(new Composite(composites));
      if (c.listensElsewhere) {
        ASSERT_NE(composite->RegisterNotification(elsewhere, kPing), nullptr);
      }
      if (c.heard) {
        ASSERT_NE(listener->RegisterNotification(composite, kPing), nullptr);
      }
      if (c.tagged) {
        composite->SetTag(RCPtr<QZ::LRefCountedObject>(new QZTest::CountedObject(tags)));
      }
      Composite* seen = composite.Get();
      const bool internal = c.listensElsewhere || c.heard;
      EXPECT_EQ(seen->GetInternalRefCount() > 0, internal);

      composite = nullptr;
      EXPECT_EQ(composites.live, 0) << "released through its steps, then destroyed";
      EXPECT_EQ(composites.destroyed, 1);
      EXPECT_EQ(Composite::internalAtDestruction, 0);
      EXPECT_EQ(tags.live, 0);
      EXPECT_EQ(tags.destroyed, c.tagged ? 1 : 0);
      EXPECT_EQ(elsewhere->GetRegistrationCount(), 0u);
      EXPECT_EQ(listener->GetRegistrationCount(), 0);
      EXPECT_EQ(elsewhere->GetInternalRefCount(), 0) << "the registration's hold on the distributor went once";
      EXPECT_EQ(others.live, 2);
    }
    EXPECT_EQ(others.live, 0);
    EXPECT_EQ(others.destroyed, 2);
  }
}

TEST(ReleaseStepsTest, TheStepsRunOnlyWhenTheLastOutsideReferenceGoes) {
  InstanceCounter composites;
  InstanceCounter others;
  const RCPtr<Counted<QZ::LNotificationClient>> listener(new Counted<QZ::LNotificationClient>(others));
  RCPtr<Composite> composite(new Composite(composites));
  ASSERT_NE(listener->RegisterNotification(composite, kPing), nullptr);
  Composite* seen = composite.Get();
  RCPtr<Composite> second = composite;

  composite = nullptr;
  EXPECT_EQ(seen->releases, 0) << "another outside reference is left";
  EXPECT_EQ(listener->GetRegistrationCount(), 1);

  second = nullptr;
  EXPECT_EQ(composites.destroyed, 1);
  EXPECT_EQ(listener->GetRegistrationCount(), 0);
}

} // namespace
