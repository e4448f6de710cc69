#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/RCPtrArray.h"
#include "Support/CountedObject.h"

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
using ConstView = QZ::IArray<ConstLookPtr>;

std::string RemoveItemText(const std::string& templateName, const std::string& params, int line) {
  return "Out of Range : QZ::" + templateName + "<class QZ::LLook," + params +
         ">::RemoveItem : " + R"(qzframework\utilities\Storage/)" + templateName + " : Line " + std::to_string(line);
}

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
  Exact exact;
  exact.AddItem(kept);
  Stepped stepped;

  LookPtr out = held;
  EXPECT_EQ(ThrownText([&] { exact.RemoveItem(1, out); }), RemoveItemText("RCPtrArray", "1,0", 175));
  ConstLookPtr constOut = held;
  EXPECT_EQ(ThrownText([&] { exact.AsConst().RemoveItem(1, constOut); }),
            RemoveItemText("ConstRCPtrArray", "1,0", 217));
  EXPECT_EQ(ThrownText([&] { stepped.RemoveItem(0, out); }), RemoveItemText("RCPtrArray", "16,16", 175));

  EXPECT_EQ(out.Get(), held.Get());
  EXPECT_EQ(constOut.Get(), held.Get());
  EXPECT_EQ(held->GetRefCount(), 3);
  ASSERT_EQ(exact.GetCount(), 1u);
  EXPECT_EQ(exact.GetAt(0).Get(), kept.Get());
  EXPECT_EQ(kept->GetRefCount(), 2);
}

TEST_F(RCPtrArrayTest, IndexErrorsOfEitherViewAnswerWithoutChangingAnything) {
  const LookPtr a = Make(1);
  const LookPtr b = Make(2);
  Exact array;
  array.AddItem(a);
  array.AddItem(b);
  ConstView& reader = array.AsConst();

  EXPECT_EQ(array.InsertAt(3, a), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(reader.InsertAt(3, a), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.InsertItems(3, 1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.InsertItems(7, 0), 2);
  EXPECT_EQ(array.RemoveItems(1, 2), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(reader.RemoveItems(2, 1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.RemoveItems(9, 0), 2);
  EXPECT_EQ(array.Swap(0, 2), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(reader.Swap(2, 1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(reader.Swap(1, 1), QZ::QZ_OK);

  EXPECT_TRUE(array.GetAt(2).IsNull());
  EXPECT_TRUE(reader.GetAt(2).IsNull());
  array.GetAt(5) = a; // belongs to no array: the reference is dropped by the next read outside
  EXPECT_TRUE(array.GetAt(2).IsNull());

  ASSERT_EQ(array.GetCount(), 2u);
  EXPECT_EQ(array.GetAt(0).Get(), a.Get());
  EXPECT_EQ(array.GetAt(1).Get(), b.Get());
  EXPECT_EQ(a->GetRefCount(), 2);
  EXPECT_EQ(b->GetRefCount(), 2);
}

TEST_F(RCPtrArrayTest, RemoveLastOfAnEmptyArrayFailsAndEmptiesOut) {
  Exact array;
  LookPtr out = Make(1);
  EXPECT_EQ(array.RemoveLast(out), QZ::QZ_E_FAIL);
  EXPECT_TRUE(out.IsNull());
  EXPECT_EQ(counter.live, 0);
}

TEST_F(RCPtrArrayTest, AnItemOfTheArrayItselfCanBeInsertedWhileTheStorageMoves) {
  Exact array;
  for (int i = 0; i < 3; ++i) {
    array.AddItem(Make(i));
  }
  EXPECT_EQ(array.InsertAt(0, array.GetAt(2)), 0);
  EXPECT_EQ(array.AsConst().InsertAt(0, array.AsConst().GetAt(1)), 0);
  EXPECT_EQ(array.GetAt(0)->Value(), 0);
  EXPECT_EQ(array.GetAt(1)->Value(), 2);
  EXPECT_EQ(array.GetAt(1)->GetRefCount(), 2);
}

// Records its value and the count of the array it was in when it is destroyed.
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

// An element type that holds an array of its own kind, as a control holds its children.
struct Node : public virtual QZ::LRefCountedObject {
  QZ::RCPtrArray<Node> children;
  InstanceCounter* counter = nullptr;
  explicit Node(InstanceCounter& c) : counter(&c) { ++counter->live; }
  ~Node() override { --counter->live; }
};

TEST_F(RCPtrArrayTest, SharedArraysCarryATextAndReleaseTheirItemsWithTheLastReference) {
  QZ::RCPtr<QZ::LRCPtrArray<Node>> tree(new QZ::LRCPtrArray<Node>);
  QZ::RCPtr<Node> root(new Node(counter));
  root->children.AddItem(QZ::RCPtr<Node>(new Node(counter)));
  tree->AddItem(root);
  root = nullptr;
  tree->SetText(u"Looks");
  EXPECT_EQ(tree->ToString(), u"Looks");

  QZ::RCPtr<QZ::LRefCountedObject> shared = tree;
  tree = nullptr;
  EXPECT_EQ(counter.live, 2);
  shared = nullptr;
  EXPECT_EQ(counter.live, 0);
}

// --- Randomised reference accounting ---------------------------------------------------

// Two arrays driven through both views, checked against plain models after every step:
// each object's count must equal the slots that hold it plus the test's own holder.
class ReferenceAccounting {
public:
  ReferenceAccounting(InstanceCounter& counter, uint64_t seed) : mCounter(counter), mRandom(seed) {
    for (int i = 0; i < 6; ++i) {
      mPool.emplace_back(new Look(counter, i));
      if (i >= 4) {
        mPool.back()->SetUnshareable(true);
      }
    }
    mArrays.push_back(MakeArray<Exact>());
    mArrays.push_back(MakeArray<Stepped>());
  }

  void Step() {
    Array& target = mArrays[Pick(mArrays.size())];
    const uint32_t count = uint32_t(target.model.size());
    const bool useConst = Chance(2);
    switch (Pick(11)) {
    case 0:
      return Insert(target, Pick(count + 2), useConst);
    case 1:
      return Remove(target, Pick(count + 1), useConst);
    case 2:
      return RemoveRange(target, Pick(count + 2), Pick(4));
    case 3:
      return Resize(target, Pick(count + 4));
    case 4:
      return OpenNulls(target, Pick(count + 2), Pick(3));
    case 5:
      return Append(target, mArrays[Pick(mArrays.size())], useConst);
    case 6:
      return Assign(target, mArrays[Pick(mArrays.size())], useConst);
    case 7:
      return SwapItems(target, Pick(count + 1), Pick(count + 1), useConst);
    case 8:
      return Overwrite(target, Pick(count + 1));
    case 9:
      return RemoveLast(target, useConst);
    default:
      return Chance(8) ? Recreate(target) : Insert(target, count, useConst);
    }
  }

  void Verify() const {
    std::map<const Look*, int> expected;
    for (const LookPtr& held : mPool) {
      expected[held.Get()] += 1;
    }
    for (const Array& array : mArrays) {
      ASSERT_EQ(array.view->GetCount(), array.model.size());
      for (uint32_t i = 0; i < array.model.size(); ++i) {
        ASSERT_EQ(array.view->GetAt(i).Get(), array.model[i]) << "slot " << i;
        if (array.model[i]) {
          expected[array.model[i]] += 1;
        }
      }
    }
    for (const auto& [object, references] : expected) {
      ASSERT_EQ(object->GetRefCount(), references) << "object " << object->Value();
    }
    ASSERT_EQ(mCounter.live.load(), int(expected.size()));
  }

private:
  struct Array {
    std::shared_ptr<void> owner;
    View* view;
    ConstView* constView;
    std::function<void(Array&)> recreate;
    std::vector<const Look*> model;
  };

  template <class A>
  static Array MakeArray() {
    Array array;
    array.recreate = [](Array& self) {
      self.owner = nullptr;
      auto made = std::make_shared<A>();
      self.view = made.get();
      self.constView = &made->AsConst();
      self.owner = made;
      self.model.clear();
    };
    array.recreate(array);
    return array;
  }

  uint32_t Pick(size_t bound) { return uint32_t(std::uniform_int_distribution<size_t>(0, bound - 1)(mRandom)); }
  bool Chance(int oneIn) { return Pick(size_t(oneIn)) == 0; }
  const LookPtr& Item() {
    static const LookPtr none;
    return Chance(6) ? none : mPool[Pick(mPool.size())];
  }

  // What a slot holds after item was stored into it: the object, or its private copy.
  static const Look* Stored(const LookPtr& item, const Look* inSlot) {
    if (item && !item->IsShareable()) {
      EXPECT_NE(inSlot, item.Get());
      EXPECT_EQ(inSlot->Value(), item->Value());
      EXPECT_TRUE(inSlot->IsShareable());
    } else {
      EXPECT_EQ(inSlot, item.Get());
    }
    return inSlot;
  }

  void Insert(Array& a, uint32_t index, bool useConst) {
    const LookPtr& item = Item();
    const int32_t result = useConst ? a.constView->InsertAt(index, item) : a.view->InsertAt(index, item);
    if (index > a.model.size()) {
      EXPECT_EQ(result, QZ::QZ_E_INVALIDARG);
      return;
    }
    EXPECT_EQ(result, int32_t(index));
    a.model.insert(a.model.begin() + index, Stored(item, a.view->GetAt(index).Get()));
  }

  void Remove(Array& a, uint32_t index, bool useConst) {
    LookPtr out = Item();
    ConstLookPtr constOut = out;
    const Look* before = out.Get();
    const auto call = [&] {
      return useConst ? a.constView->RemoveItem(index, constOut) : a.view->RemoveItem(index, out);
    };
    if (index == a.model.size()) {
      EXPECT_THROW(call(), std::out_of_range);
      EXPECT_EQ(out.Get(), before);
      EXPECT_EQ(constOut.Get(), before);
      return;
    }
    EXPECT_EQ(call(), int32_t(a.model.size() - 1));
    EXPECT_EQ(useConst ? constOut.Get() : out.Get(), a.model[index]);
    a.model.erase(a.model.begin() + index);
  }

  void RemoveRange(Array& a, uint32_t index, uint32_t n) {
    const int32_t result = a.view->RemoveItems(index, n);
    if (n == 0) {
      EXPECT_EQ(result, int32_t(a.model.size()));
    } else if (index + n > a.model.size()) {
      EXPECT_EQ(result, QZ::QZ_E_INVALIDARG);
    } else {
      a.model.erase(a.model.begin() + index, a.model.begin() + index + n);
      EXPECT_EQ(result, int32_t(a.model.size()));
    }
  }

  void Resize(Array& a, uint32_t n) {
    EXPECT_EQ(a.constView->SetCount(n), n);
    a.model.resize(n, nullptr);
  }

  void OpenNulls(Array& a, uint32_t index, uint32_t n) {
    const int32_t result = a.view->InsertItems(index, n);
    if (n != 0 && index > a.model.size()) {
      EXPECT_EQ(result, QZ::QZ_E_INVALIDARG);
      return;
    }
    a.model.insert(a.model.begin() + std::min<size_t>(index, a.model.size()), n, nullptr);
    EXPECT_EQ(result, int32_t(a.model.size()));
  }

  void Append(Array& a, const Array& source, bool useConst) {
    const std::vector<const Look*> added = source.model;
    const int32_t result = useConst ? a.constView->Append(*source.constView) : a.view->AppendArray(*source.view);
    a.model.insert(a.model.end(), added.begin(), added.end());
    EXPECT_EQ(result, int32_t(a.model.size()));
  }

  void Assign(Array& a, const Array& source, bool useConst) {
    const std::vector<const Look*> copied = source.model;
    const int32_t result = useConst ? a.constView->Assign(*source.constView) : a.view->Assign(*source.view);
    a.model = copied;
    EXPECT_EQ(result, int32_t(a.model.size()));
  }

  void SwapItems(Array& a, uint32_t first, uint32_t second, bool useConst) {
    const int32_t result = useConst ? a.constView->Swap(first, second) : a.view->Swap(first, second);
    if (first >= a.model.size() || second >= a.model.size()) {
      EXPECT_EQ(result, QZ::QZ_E_INVALIDARG);
      return;
    }
    EXPECT_EQ(result, QZ::QZ_OK);
    std::swap(a.model[first], a.model[second]);
  }

  void Overwrite(Array& a, uint32_t index) {
    if (index >= a.model.size()) {
      return;
    }
    const LookPtr& item = Item();
    a.view->GetAt(index) = item;
    a.model[index] = Stored(item, a.view->GetAt(index).Get());
  }

  void RemoveLast(Array& a, bool useConst) {
    LookPtr out = Item();
    ConstLookPtr constOut = out;
    const int32_t result = useConst ? a.constView->RemoveLast(constOut) : a.view->RemoveLast(out);
    if (a.model.empty()) {
      EXPECT_EQ(result, QZ::QZ_E_FAIL);
      EXPECT_TRUE(useConst ? constOut.IsNull() : out.IsNull());
      return;
    }
    EXPECT_EQ(useConst ? constOut.Get() : out.Get(), a.model.back());
    a.model.pop_back();
    EXPECT_EQ(result, int32_t(a.model.size()));
  }

  void Recreate(Array& a) { a.recreate(a); }

  InstanceCounter& mCounter;
  std::mt19937_64 mRandom;
  std::vector<LookPtr> mPool;
  std::vector<Array> mArrays;
};

uint64_t TestSeed() {
  if (const char* given = std::getenv("QZ_TEST_SEED")) {
    return std::strtoull(given, nullptr, 10);
  }
  return std::random_device()();
}

TEST_F(RCPtrArrayTest, EveryObjectIsCountedOncePerSlotThroughAnySequenceOfOperations) {
  const uint64_t seed = TestSeed();
  SCOPED_TRACE(::testing::Message() << "seed " << seed << " (QZ_TEST_SEED=" << seed << " repeats this run)");
  {
    ReferenceAccounting run(counter, seed);
    for (int step = 0; step < 5000; ++step) {
      run.Step();
      ASSERT_NO_FATAL_FAILURE(run.Verify()) << "after step " << step;
      if (HasFailure()) {
        FAIL() << "after step " << step;
      }
    }
  }
  EXPECT_EQ(counter.live, 0);
}

} // namespace
