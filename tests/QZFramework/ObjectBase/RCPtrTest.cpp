#include <gtest/gtest.h>

#include <type_traits>

#include "QZFramework/Utilities/Storage/SharedBuffer.h"
#include "Support/CountedObject.h"

namespace {

using QZTest::CountedObject;
using QZTest::DerivedCountedObject;
using QZTest::InstanceCounter;
using QZTest::UnrelatedObject;

// Conversions that must and must not compile.
static_assert(std::is_convertible_v<QZ::RCPtr<DerivedCountedObject>, QZ::RCPtr<CountedObject>>);
static_assert(std::is_convertible_v<QZ::RCPtr<CountedObject>, QZ::ConstRCPtr<CountedObject>>);
static_assert(std::is_convertible_v<QZ::ConstRCPtr<DerivedCountedObject>, QZ::ConstRCPtr<CountedObject>>);
static_assert(std::is_convertible_v<QZ::RCPtr<CountedObject>, QZ::RCPtr<QZ::LRefCountedObject>>);
static_assert(!std::is_constructible_v<QZ::RCPtr<CountedObject>, QZ::ConstRCPtr<CountedObject>>);
static_assert(!std::is_constructible_v<QZ::RCPtr<CountedObject>, const CountedObject*>);
static_assert(!std::is_constructible_v<QZ::RCPtr<DerivedCountedObject>, QZ::RCPtr<CountedObject>>);
static_assert(!std::is_constructible_v<QZ::RCPtr<UnrelatedObject>, QZ::RCPtr<CountedObject>>);
static_assert(std::is_same_v<decltype(std::declval<QZ::ConstRCPtr<CountedObject>>().Get()), const CountedObject*>);
static_assert(sizeof(QZ::RCPtr<CountedObject>) == sizeof(void*));

// The reference handling is shared by both pointer kinds.
template <class Pointer>
class SmartPointerTest : public ::testing::Test {
protected:
  InstanceCounter counter;
};
using PointerKinds = ::testing::Types<QZ::RCPtr<CountedObject>, QZ::ConstRCPtr<CountedObject>>;
TYPED_TEST_SUITE(SmartPointerTest, PointerKinds);

TYPED_TEST(SmartPointerTest, NullPointersTouchNothing) {
  TypeParam empty;
  TypeParam copy = empty;
  TypeParam assigned(nullptr);
  assigned = copy;
  EXPECT_TRUE(assigned.IsNull());
  EXPECT_FALSE(static_cast<bool>(copy));
  EXPECT_TRUE(empty == nullptr);
}

TYPED_TEST(SmartPointerTest, SelfAssignmentAndSameObjectAssignmentKeepTheCount) {
  auto* raw = new CountedObject(this->counter);
  TypeParam first(raw);
  TypeParam second(raw);
  EXPECT_EQ(raw->GetRefCount(), 2);
  auto& alias = first;
  first = alias;
  first = second;
  EXPECT_EQ(raw->GetRefCount(), 2);
  first = std::move(alias);
  EXPECT_EQ(raw->GetRefCount(), 2);
}

TYPED_TEST(SmartPointerTest, AssignmentReleasesTheOldObjectAndMovesTransferTheReference) {
  TypeParam holder(new CountedObject(this->counter, 1));
  holder = TypeParam(new CountedObject(this->counter, 2));
  EXPECT_EQ(this->counter.live, 1);
  EXPECT_EQ(holder->Value(), 2);
  TypeParam moved = std::move(holder);
  EXPECT_TRUE(holder.IsNull());
  EXPECT_EQ(moved->GetRefCount(), 1);
  moved = nullptr;
  EXPECT_EQ(this->counter.live, 0);
}

TYPED_TEST(SmartPointerTest, SharingAShareableObjectNeverCopies) {
  TypeParam first(new CountedObject(this->counter));
  std::vector<TypeParam> holders(4, first);
  EXPECT_EQ(first->GetRefCount(), 5);
  TypeParam sixth = first;
  EXPECT_EQ(first->GetRefCount(), 6);
  EXPECT_EQ(this->counter.live, 1);
}

TYPED_TEST(SmartPointerTest, AnUnshareableObjectIsCopiedForEveryFurtherHolder) {
  auto* raw = new CountedObject(this->counter, 42);
  TypeParam owner(raw);
  raw->SetUnshareable(true);
  TypeParam second = owner;
  EXPECT_NE(second.Get(), owner.Get());
  EXPECT_EQ(second->Value(), 42);
  EXPECT_EQ(second->GetRefCount(), 1);
  EXPECT_TRUE(second->IsShareable());
  EXPECT_EQ(raw->GetRefCount(), 1);
  EXPECT_EQ(this->counter.live, 2);
}

TYPED_TEST(SmartPointerTest, AFailedCopyLeavesTheCountAndTheOldTargetAsTheyWere) {
  auto* raw = new CountedObject(this->counter, 0, /*copyable=*/false);
  TypeParam owner(raw);
  raw->SetUnshareable(true);
  EXPECT_THROW(TypeParam copy(owner), std::logic_error);
  EXPECT_EQ(raw->GetRefCount(), 1);

  TypeParam other(new CountedObject(this->counter, 7));
  EXPECT_THROW(other = owner, std::logic_error);
  EXPECT_EQ(raw->GetRefCount(), 1);
  ASSERT_FALSE(other.IsNull());
  EXPECT_EQ(other->Value(), 7);
  other = nullptr;
  owner = nullptr;
  EXPECT_EQ(this->counter.live, 0);
}

TEST(RCPtrTest, DynamicCastChecksTheTypeAndKeepsTheSource) {
  InstanceCounter counter;
  QZ::RCPtr<QZ::LRefCountedObject> base(new DerivedCountedObject(counter, 3));
  QZ::RCPtr<DerivedCountedObject> derived = QZ::DynamicCast<DerivedCountedObject>(base);
  ASSERT_FALSE(derived.IsNull());
  EXPECT_EQ(derived->Value(), 3);
  EXPECT_EQ(base->GetRefCount(), 2);

  QZ::RCPtr<UnrelatedObject> unrelated = QZ::DynamicCast<UnrelatedObject>(base);
  EXPECT_TRUE(unrelated.IsNull());
  EXPECT_EQ(base->GetRefCount(), 2);

  QZ::ConstRCPtr<QZ::LRefCountedObject> constBase = base;
  QZ::ConstRCPtr<CountedObject> constDerived = QZ::DynamicCast<CountedObject>(constBase);
  EXPECT_EQ(constDerived.Get(), derived.Get());
  EXPECT_TRUE(QZ::DynamicCast<CountedObject>(QZ::RCPtr<QZ::LRefCountedObject>()).IsNull());
}

// A class whose copies are of another type: copy-on-write into it cannot convert.
class Shapeshifter : public virtual QZ::LRefCountedObject {
public:
  QZ::RCPtr<QZ::LRefCountedObject> CreateCopy() const override {
    return QZ::RCPtr<QZ::LRefCountedObject>(new UnrelatedObject);
  }
};
QZ_REGISTER_TYPE_NAME(Shapeshifter, "class QZ::LEvent");

TEST(RCPtrTest, ACopyOfTheWrongTypeThrowsNamingTheInstantiation) {
  auto* raw = new Shapeshifter;
  QZ::RCPtr<Shapeshifter> owner(raw);
  raw->SetUnshareable(true);
  try {
    QZ::RCPtr<Shapeshifter> second = owner;
    FAIL();
  } catch (const std::logic_error& e) {
    EXPECT_STREQ(e.what(), "Logic Error : class QZ::LEvent : QZ::ConstRCPtr<class QZ::LEvent,class QZ::LEvent "
                           "*>::Unshare : qzframework\\objectbase\\RefCountedObject : Line 424");
  }
  EXPECT_EQ(raw->GetRefCount(), 1);
}

TEST(RCPtrTest, CopyOnWriteOfALockedBufferFollowsTheBufferCopy) {
  QZ::RCPtr<QZ::LIBuffer> locked = QZ::LIBuffer::Create(10, 100, true);
  std::memcpy(locked->GetData(), "abcdefghi", 10);
  locked->SetUnshareable(true);
  QZ::RCPtr<QZ::LIBuffer> reader = locked;
  ASSERT_NE(reader.Get(), locked.Get());
  EXPECT_EQ(locked->GetRefCount(), 1);
  EXPECT_EQ(reader->GetRefCount(), 1);
  EXPECT_TRUE(reader->IsShareable());
  EXPECT_EQ(reader->GetSize(), 10u);
  EXPECT_EQ(reader->GetCapacity(), 10u);
  EXPECT_STREQ(reader->GetData(), "abcdefghi");
}

} // namespace
