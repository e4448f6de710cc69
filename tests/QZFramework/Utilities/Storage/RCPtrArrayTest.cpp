#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "Support/CountedObject.h"
#include "Support/TestSeed.h"

namespace {

using QZTest::InstanceCounter;

// A counted object whose copies keep its type, under the spelling failure texts use.
class Look : public QZTest::CountedObject {
public:
  Look(InstanceCounter& counter, int value) : CountedObject(counter, value), mCounter(counter) {}
  QZ::RCPtr<QZ::LRefCountedObject> CreateCopy() const override {
    return QZ::RCPtr<QZ::LRefCountedObject>(new Look(mCounter, Value()));
  }

private:
  InstanceCounter& mCounter;
};

} // namespace

QZ_REGISTER_TYPE_NAME(Look, "class QZ::LLook");

namespace {

using LookPtr = QZ::RCPtr<Look>;
using ConstLookPtr = QZ::ConstRCPtr<Look>;
using Exact = QZ::RCPtrArray<Look, 1, 0>;
using Stepped = QZ::RCPtrArray<Look, 16, 16>;
using View = QZ::IArray<LookPtr>;
using Reader = QZ::IArray<ConstLookPtr>;

template <class Call>
std::string ThrownText(Call call) {
  try {
    call();
  } catch (const std::out_of_range& failure) {
    return failure.what();
  }
  return "nothing thrown";
}

class RCPtrArrayTest : public ::testing::Test {
protected:
  LookPtr Make(int value) { return LookPtr(new Look(counter, value)); }
  InstanceCounter counter;
};

TEST_F(RCPtrArrayTest, RemovingPastTheEndThrowsEachViewsTextAndChangesNothing) {
  const LookPtr kept = Make(1);
  const LookPtr held = Make(2);
  Exact array;
  array.AddItem(kept);
  LookPtr out = held;
  ConstLookPtr readerOut = held;

  EXPECT_EQ(ThrownText([&] { array.RemoveItem(1, out); }),
            R"(Out of Range : QZ::RCPtrArray<class QZ::LLook,1,0>::RemoveItem : )"
            R"(qzframework\utilities\Storage/RCPtrArray : Line 175)");
  EXPECT_EQ(ThrownText([&] { array.AsConst().RemoveItem(1, readerOut); }),
            R"(Out of Range : QZ::ConstRCPtrArray<class QZ::LLook,1,0>::RemoveItem : )"
            R"(qzframework\utilities\Storage/ConstRCPtrArray : Line 217)");
  Stepped stepped;
  EXPECT_EQ(ThrownText([&] { stepped.RemoveItem(0, out); }),
            R"(Out of Range : QZ::RCPtrArray<class QZ::LLook,16,16>::RemoveItem : )"
            R"(qzframework\utilities\Storage/RCPtrArray : Line 175)");

  EXPECT_EQ(out.Get(), held.Get());
  EXPECT_EQ(readerOut.Get(), held.Get());
  ASSERT_EQ(array.GetCount(), 1u);
  EXPECT_EQ(array.GetAt(0).Get(), kept.Get());
  EXPECT_EQ(kept->GetRefCount(), 2);
}

// Records, when destroyed, the count of the array it was in.
class Witness : public virtual QZ::LRefCountedObject {
public:
  using Log = std::vector<std::pair<int, uint32_t>>;
  Witness(int value, Log& log, const QZ::RCPtrArray<Witness>& array) : mValue(value), mLog(log), mArray(array) {}
  ~Witness() override { mLog.emplace_back(mValue, mArray.GetCount()); }

private:
  int mValue;
  Log& mLog;
  const QZ::RCPtrArray<Witness>& mArray;
};

TEST_F(RCPtrArrayTest, RemovedItemsAreReleasedInOrderOnceTheArrayIsConsistent) {
  Witness::Log log;
  QZ::RCPtrArray<Witness> witnesses;
  for (int i = 0; i < 5; ++i) {
    witnesses.AddItem(QZ::RCPtr<Witness>(new Witness(i, log, witnesses)));
  }
  witnesses.RemoveItems(1, 3);
  witnesses.SetCount(0);
  EXPECT_EQ(log, (Witness::Log{{1, 2}, {2, 2}, {3, 2}, {0, 0}, {4, 0}}));
}

TEST_F(RCPtrArrayTest, ASharedArrayCarriesATextAndReleasesItsItemsWithItsLastReference) {
  QZ::RCPtr<QZ::LRCPtrArray<Look>> looks(new QZ::LRCPtrArray<Look>);
  looks->AddItem(Make(1));
  looks->SetText(u"Looks");
  EXPECT_EQ(looks->ToString(), u"Looks");
  QZ::RCPtr<QZ::LRefCountedObject> shared = looks;
  looks = nullptr;
  EXPECT_EQ(counter.live, 1);
  shared = nullptr;
  EXPECT_EQ(counter.live, 0);
}

// Two arrays driven at random through both views and checked after every step against
// plain models: each object's count is the slots holding it plus the pool's holder.
TEST_F(RCPtrArrayTest, EveryObjectIsCountedOncePerSlotThroughAnySequenceOfOperations) {
  const QZTest::TestSeed seed;
  std::mt19937_64 random(seed.value);
  const auto pick = [&](size_t bound) { return uint32_t(random() % bound); };

  struct Subject {
    std::shared_ptr<void> owner;
    View* view = nullptr;
    Reader* reader = nullptr;
    std::vector<const Look*> model;
  };
  const auto renew = [](Subject& subject, auto made) {
    subject.owner = nullptr;
    subject.view = made.get();
    subject.reader = &made->AsConst();
    subject.owner = made;
    subject.model.clear();
  };
  std::vector<LookPtr> pool;
  for (int i = 0; i < 6; ++i) {
    pool.push_back(Make(i));
    pool.back()->SetUnshareable(i >= 4);
  }
  const LookPtr none;
  Subject subjects[2];
  renew(subjects[0], std::make_shared<Exact>());
  renew(subjects[1], std::make_shared<Stepped>());

  const auto verify = [&] {
    std::map<const Look*, int> expected;
    for (const LookPtr& held : pool) {
      expected[held.Get()] = 1;
    }
    for (const Subject& subject : subjects) {
      ASSERT_EQ(subject.view->GetCount(), subject.model.size());
      ASSERT_TRUE(subject.reader->GetAt(uint32_t(subject.model.size())).IsNull());
      for (uint32_t i = 0; i < subject.model.size(); ++i) {
        ASSERT_EQ(subject.reader->GetAt(i).Get(), subject.model[i]) << "slot " << i;
        expected[subject.model[i]] += 1;
      }
    }
    expected.erase(nullptr);
    for (const auto& [object, references] : expected) {
      ASSERT_EQ(object->GetRefCount(), references) << "object " << object->Value();
    }
    ASSERT_EQ(counter.live.load(), int(expected.size()));
  };
  // The object a slot must hold after item was stored there: item, or its private copy.
  const auto stored = [](const Look* item, bool unshareable, const Look* inSlot) {
    if (unshareable) {
      EXPECT_NE(inSlot, item);
      EXPECT_EQ(inSlot->Value(), item->Value());
      return inSlot;
    }
    EXPECT_EQ(inSlot, item);
    return item;
  };

  for (int step = 0; step < 5000 && !HasFailure(); ++step) {
    Subject& subject = subjects[pick(2)];
    const Subject& source = subjects[pick(2)];
    std::vector<const Look*>& model = subject.model;
    const uint32_t count = uint32_t(model.size());
    const bool viaReader = pick(2) == 0;
    const uint32_t index = pick(count + 2);
    const uint32_t n = pick(4);
    // Sometimes one of the array's own items, which must survive the storage moving.
    const LookPtr& item = count != 0 && pick(5) == 0 ? subject.view->GetAt(pick(count))
                          : pick(6) == 0             ? none
                                                     : pool[pick(pool.size())];
    const Look* itemObject = item.Get();
    const bool unshareable = item && !item->IsShareable();

    switch (pick(11)) {
    case 0: {
      const int32_t result = viaReader ? subject.reader->InsertAt(index, item) : subject.view->InsertAt(index, item);
      if (index > count) {
        EXPECT_EQ(result, QZ::QZ_E_INVALIDARG);
      } else {
        EXPECT_EQ(result, int32_t(index));
        model.insert(model.begin() + index, stored(itemObject, unshareable, subject.view->GetAt(index).Get()));
      }
      break;
    }
    case 1: {
      LookPtr out = pool[0];
      ConstLookPtr readerOut = pool[0];
      const auto remove = [&] {
        return viaReader ? subject.reader->RemoveItem(index, readerOut) : subject.view->RemoveItem(index, out);
      };
      if (index >= count) {
        EXPECT_THROW((void)remove(), std::out_of_range);
        EXPECT_EQ(out.Get(), pool[0].Get());
        EXPECT_EQ(readerOut.Get(), pool[0].Get());
      } else {
        EXPECT_EQ(remove(), int32_t(count - 1));
        EXPECT_EQ(viaReader ? readerOut.Get() : out.Get(), model[index]);
        model.erase(model.begin() + index);
      }
      break;
    }
    case 2: {
      const int32_t result = subject.view->RemoveItems(index, n);
      if (n != 0 && index + n <= count) {
        model.erase(model.begin() + index, model.begin() + index + n);
      }
      EXPECT_EQ(result, n != 0 && index + n > count ? QZ::QZ_E_INVALIDARG : int32_t(model.size()));
      break;
    }
    case 3:
      EXPECT_EQ(subject.reader->SetCount(index + n), index + n);
      model.resize(index + n, nullptr);
      break;
    case 4: {
      const int32_t result = subject.view->InsertItems(index, n);
      if (n != 0 && index > count) {
        EXPECT_EQ(result, QZ::QZ_E_INVALIDARG);
      } else {
        model.insert(model.begin() + std::min(index, count), n, nullptr);
        EXPECT_EQ(result, int32_t(model.size()));
      }
      break;
    }
    case 5: {
      const std::vector<const Look*> added = source.model;
      EXPECT_EQ(viaReader ? subject.reader->Append(*source.reader) : subject.view->AppendArray(*source.view),
                int32_t(count + added.size()));
      model.insert(model.end(), added.begin(), added.end());
      break;
    }
    case 6:
      model = std::vector<const Look*>(source.model);
      EXPECT_EQ(viaReader ? subject.reader->Assign(*source.reader) : subject.view->Assign(*source.view),
                int32_t(model.size()));
      break;
    case 7: {
      const uint32_t other = pick(count + 1);
      const int32_t result = viaReader ? subject.reader->Swap(index, other) : subject.view->Swap(index, other);
      if (index < count && other < count) {
        EXPECT_EQ(result, QZ::QZ_OK);
        std::swap(model[index], model[other]);
      } else {
        EXPECT_EQ(result, QZ::QZ_E_INVALIDARG);
      }
      break;
    }
    case 8:
      if (index < count) {
        subject.view->GetAt(index) = item;
        model[index] = stored(itemObject, unshareable, subject.view->GetAt(index).Get());
      } else {
        LookPtr out = pool[0];
        const int32_t result = subject.view->RemoveLast(out);
        EXPECT_EQ(result, count == 0 ? QZ::QZ_E_FAIL : int32_t(count - 1));
        EXPECT_EQ(out.Get(), count == 0 ? nullptr : model.back());
        if (count != 0) {
          model.pop_back();
        }
      }
      break;
    case 9:
      EXPECT_EQ(subject.view->AddItem(item), int32_t(count));
      model.push_back(stored(itemObject, unshareable, subject.view->GetAt(count).Get()));
      break;
    default:
      if (pick(2) == 0) {
        renew(subject, std::make_shared<Exact>());
      } else {
        renew(subject, std::make_shared<Stepped>());
      }
      break;
    }
    ASSERT_NO_FATAL_FAILURE(verify()) << "after step " << step;
  }
  subjects[0].owner = subjects[1].owner = nullptr;
  pool.clear();
  EXPECT_EQ(counter.live, 0);
}

} // namespace
