#include <gtest/gtest.h>

#include <barrier>
#include <functional>
#include <thread>

#include "QZFramework/ObjectBase/TaggableObject.h"
#include "Support/CountedObject.h"

namespace {

using QZTest::CountedObject;
using QZTest::InstanceCounter;

TEST(RefCountedObjectTest, ANewObjectIsDestroyedByItsLastRelease) {
  InstanceCounter counter;
  auto* object = new CountedObject(counter);
  EXPECT_EQ(object->GetRefCount(), 0);
  EXPECT_TRUE(object->IsShareable());
  {
    QZ::RCPtr<CountedObject> first(object);
    EXPECT_EQ(object->GetRefCount(), 1);
    QZ::RCPtr<CountedObject> second = first;
    EXPECT_EQ(object->AddRef(), 3);
    EXPECT_EQ(object->Release(), 2);
  }
  EXPECT_EQ(counter.live, 0);
  EXPECT_EQ(counter.destroyed, 1);
}

TEST(RefCountedObjectTest, UnshareableOnlyWhileHeldOnce) {
  InstanceCounter counter;
  QZ::RCPtr<CountedObject> object(new CountedObject(counter));
  QZ::RCPtr<CountedObject> second = object;
  try {
    object->SetUnshareable(true);
    FAIL() << "expected a runtime error";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Runtime Error : QZ::LRefCountedObject::SetUnshareable : ObjectBase\\RefCountedObject : "
                           "Line 29");
  }
  EXPECT_TRUE(object->IsShareable());
  second = nullptr;
  object->SetUnshareable(true);
  EXPECT_FALSE(object->IsShareable());
  object->SetUnshareable(false);
  EXPECT_TRUE(object->IsShareable());
}

TEST(RefCountedObjectTest, BaseUndoAndCreateCopyThrowTheirLogicErrors) {
  InstanceCounter counter;
  QZ::RCPtr<CountedObject> object(new CountedObject(counter, 0, /*copyable=*/false));
  try {
    object->Undo();
    FAIL();
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Logic Error : Undo() not implemented for RefCountedObject : QZ::LRefCountedObject::Undo "
                           ": qzframework\\objectbase\\RefCountedObject : Line 156");
  }
  try {
    object->CreateCopy();
    FAIL();
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Logic Error : CreateCopy() not implemented for RefCountedObject : "
                           "QZ::LRefCountedObject::CreateCopy : qzframework\\objectbase\\RefCountedObject : Line 274");
  }
}

// An owner whose partner holds a reference back to it: the internal reference.
class Owner;

class Partner : public virtual QZ::LRefCountedObject {
public:
  QZ::RCPtr<Owner> backLink;
};

class Owner : public CountedObject {
public:
  explicit Owner(InstanceCounter& counter) : CountedObject(counter) {}

  void Link() {
    mPartner = QZ::RCPtr<Partner>(new Partner);
    mPartner->backLink = QZ::RCPtr<Owner>(this);
    AddInternalReferences(1);
  }

  QZ::QZResult ReleaseInternalReferences() override {
    ++hookCalls;
    if (onHook) {
      onHook();
    }
    if (mPartner) {
      AddInternalReferences(-1);
      QZ::RCPtr<Partner> partner = std::move(mPartner);
      partner->backLink = nullptr; // nested Release: must only decrement
    }
    return QZ::LRefCountedObject::ReleaseInternalReferences();
  }

  int hookCalls = 0;
  std::function<void()> onHook;

private:
  QZ::RCPtr<Partner> mPartner;
};

TEST(RefCountedObjectTest, TheHookBreaksTheCycleAndTheObjectIsDestroyed) {
  InstanceCounter counter;
  auto* raw = new Owner(counter);
  {
    QZ::RCPtr<Owner> owner(raw);
    owner->Link();
    EXPECT_EQ(raw->GetRefCount(), 2);
    EXPECT_EQ(raw->GetInternalRefCount(), 1);
  }
  EXPECT_EQ(counter.live, 0);
}

TEST(RefCountedObjectTest, TheHookIsNotCalledWhileOutsideReferencesRemain) {
  InstanceCounter counter;
  auto* raw = new Owner(counter);
  QZ::RCPtr<Owner> owner(raw);
  owner->Link();
  QZ::RCPtr<Owner> second = owner;
  second = nullptr;
  EXPECT_EQ(raw->hookCalls, 0);
  owner = nullptr;
  EXPECT_EQ(counter.live, 0);
}

TEST(RefCountedObjectTest, AReferenceTakenDuringTheHookKeepsTheObjectAlive) {
  InstanceCounter counter;
  auto* raw = new Owner(counter);
  QZ::RCPtr<Owner> owner(raw);
  owner->Link();

  // The other thread takes a new reference while the hook runs, between two barriers.
  std::barrier sync(2);
  QZ::RCPtr<Owner> taken;
  std::thread other([&] {
    sync.arrive_and_wait();
    taken = QZ::RCPtr<Owner>(raw);
    sync.arrive_and_wait();
  });
  raw->onHook = [&] {
    sync.arrive_and_wait();
    sync.arrive_and_wait();
  };
  owner = nullptr;
  other.join();

  EXPECT_EQ(raw->hookCalls, 1);
  EXPECT_EQ(counter.live, 1);
  EXPECT_EQ(raw->GetRefCount(), 1);
  raw->onHook = nullptr;
  taken = nullptr; // the internal reference is already gone: plain destruction
  EXPECT_EQ(counter.live, 0);
}

TEST(RefCountedObjectTest, TheHookRunsAgainAfterTheObjectSurvivedIt) {
  InstanceCounter counter;
  auto* raw = new Owner(counter);
  QZ::RCPtr<Owner> owner(raw);
  owner->Link();
  QZ::RCPtr<Owner> kept;
  int hooks = 0;
  raw->onHook = [&] {
    if (++hooks == 1) {
      kept = QZ::RCPtr<Owner>(raw);
    }
  };
  // The first hook takes an outside reference, so the object survives it.
  owner = nullptr;
  EXPECT_EQ(counter.live, 1);
  EXPECT_EQ(raw->GetRefCount(), 1);
  raw->Link();
  kept = nullptr;
  EXPECT_EQ(hooks, 2);
  EXPECT_EQ(counter.live, 0);
}

TEST(RefCountedObjectTest, TaggableObjectsReleaseTheirTag) {
  InstanceCounter counter;
  {
    QZ::RCPtr<QZ::LTaggableObject> tagged(new QZ::LTaggableObject);
    QZ::RCPtr<CountedObject> tag(new CountedObject(counter));
    tagged->SetTag(tag);
    EXPECT_EQ(tag->GetRefCount(), 2);
    EXPECT_EQ(tagged->GetTag().Get(), tag.Get());
  }
  EXPECT_EQ(counter.live, 0);
}

} // namespace
