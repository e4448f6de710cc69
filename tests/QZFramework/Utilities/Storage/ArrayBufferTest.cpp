#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/ArrayBuffer.h"

namespace {

// Records the size of every live block, so tests can see what a buffer holds.
class RecordingAllocator final : public QZ::IAllocator {
public:
  void* Malloc(uint32_t size) override { return Track(std::malloc(size), size); }
  void* Calloc(uint32_t count, uint32_t size) override { return Track(std::calloc(count, size), count * size); }
  void* Realloc(void* block, uint32_t size) override {
    Forget(block);
    return Track(std::realloc(block, size), size);
  }
  void Free(void* block) override {
    Forget(block);
    std::free(block);
  }

  std::vector<uint32_t> LiveSizes() const {
    std::vector<uint32_t> sizes;
    for (const auto& block : mLive) {
      sizes.push_back(block.size);
    }
    return sizes;
  }

private:
  struct Block {
    void* address;
    uint32_t size;
  };
  void* Track(void* block, uint32_t size) {
    if (block) {
      mLive.push_back({block, size});
    }
    return block;
  }
  void Forget(void* block) {
    std::erase_if(mLive, [&](const Block& b) { return b.address == block; });
  }

  std::vector<Block> mLive;
};

RecordingAllocator gRecorder;
QZ::IAllocator* Recorder() { return &gRecorder; }

using Ids = QZ::ArrayBuffer<unsigned int, 1, 0>;
using MidiBytes = QZ::ArrayBufferM<signed char, 4, 1, 0, 1, 8, &Recorder>;

template <class A>
auto Items(const A& array) {
  using T = std::remove_cvref_t<decltype(*array.GetData())>;
  if (array.GetCount() == 0) {
    return std::vector<T>();
  }
  return std::vector<T>(array.GetData(), array.GetData() + array.GetCount());
}

void Fill(Ids& ids, std::initializer_list<unsigned> items) {
  for (unsigned item : items) {
    ids.AddItem(item);
  }
}

TEST(ArrayBufferTest, AnEmptyArrayTakesNoStorage) {
  QZ::ArrayBuffer<unsigned int, 4, 1600> ids;
  EXPECT_EQ(ids.GetCount(), 0u);
  EXPECT_EQ(ids.GetData(), nullptr);
}

TEST(ArrayBufferTest, InsertItemsOpensZeroItemsAndRefusesBadIndexes) {
  Ids ids;
  Fill(ids, {1, 2, 3});
  EXPECT_EQ(ids.InsertItems(100, 0), 3);
  EXPECT_EQ(ids.InsertItems(4, 1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(ids.InsertItems(0, 0xFFFFFFFF), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(ids.InsertItems(3, 2), 5);
  EXPECT_EQ(Items(ids), (std::vector<unsigned>{1, 2, 3, 0, 0}));
  EXPECT_EQ(ids.InsertItems(1, 2), 7);
  EXPECT_EQ(Items(ids), (std::vector<unsigned>{1, 0, 0, 2, 3, 0, 0}));
  EXPECT_EQ(ids.InsertAt(8, 9), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(ids.InsertAt(0, ids.GetAt(4)), 8);
  EXPECT_EQ(ids.GetAt(0), 3u);
}

TEST(ArrayBufferTest, RemovalsRefuseRangesPastTheEndAndChangeNothing) {
  Ids ids;
  Fill(ids, {1, 2, 3});
  EXPECT_EQ(ids.RemoveItems(2, 2), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(ids.RemoveItems(0xFFFFFFFF, 2), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(ids.RemoveItems(1, 0xFFFFFFFF), QZ::QZ_E_INVALIDARG);
  unsigned removed = 42;
  EXPECT_EQ(ids.RemoveItem(3, removed), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(removed, 42u);
  EXPECT_EQ(Items(ids), (std::vector<unsigned>{1, 2, 3}));

  EXPECT_EQ(ids.RemoveItem(1, removed), 2);
  EXPECT_EQ(removed, 2u);
  EXPECT_EQ(Items(ids), (std::vector<unsigned>{1, 3}));
  EXPECT_EQ(ids.RemoveItems(0, 2), 0);
  EXPECT_EQ(ids.RemoveLast(removed), QZ::QZ_E_INVALIDARG);
}

TEST(ArrayBufferTest, SetCountClearsNewItemsAndSetCountRawDoesNot) {
  QZ::ArrayBuffer<float, 1, 0> values;
  values.SetCount(2);
  values.GetData()[0] = 1.5f;
  values.GetData()[1] = 2.5f;
  values.SetCount(1);
  EXPECT_EQ(values.SetCount(5), 5u);
  EXPECT_EQ(Items(values), (std::vector<float>{1.5f, 0.0f, 0.0f, 0.0f, 0.0f}));

  QZ::ArrayBuffer<unsigned int, 1, 1600> slack;
  slack.SetCount(3);
  slack.GetData()[2] = 7;
  slack.SetCountRaw(2);
  EXPECT_EQ(slack.SetCountRaw(3), 3);
  EXPECT_EQ(slack.GetAt(2), 7u);
}

TEST(ArrayBufferTest, CountsWhoseBytesWouldWrapAreRefused) {
  QZ::ArrayBuffer<double, 1, 0> values;
  values.SetCount(2);
  EXPECT_EQ(values.SetCountRaw(0x20000000), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(values.SetCount(0x20000000), 2u);
  EXPECT_EQ(values.InsertItems(0, 0x1FFFFFFF), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(values.GetCount(), 2u);
  QZ::Array<double> source;
  source.SetCount(3);
  EXPECT_EQ(values.Append(source), 5);
}

TEST(ArrayBufferTest, ASmallArrayStaysInlineAndMovesToAnExactBufferAboveM) {
  {
    MidiBytes bytes;
    const signed char* store = bytes.GetData();
    ASSERT_NE(store, nullptr);
    for (signed char c : {1, 2, 3, 4}) {
      bytes.AddItem(c);
    }
    EXPECT_EQ(bytes.GetData(), store);
    EXPECT_TRUE(gRecorder.LiveSizes().empty());

    EXPECT_EQ(bytes.AddItem(5), 5); // the new count, as InsertItems answers
    EXPECT_EQ(gRecorder.LiveSizes(), (std::vector<uint32_t>{5}));
    EXPECT_NE(bytes.GetData(), store);
    EXPECT_EQ(Items(bytes), (std::vector<signed char>{1, 2, 3, 4, 5}));

    EXPECT_EQ(bytes.InsertItems(1, 2), 7);
    EXPECT_EQ(Items(bytes), (std::vector<signed char>{1, 0, 0, 2, 3, 4, 5}));

    EXPECT_EQ(bytes.RemoveItems(0, 3), 4);
    EXPECT_TRUE(gRecorder.LiveSizes().empty());
    EXPECT_EQ(bytes.GetData(), store);
    EXPECT_EQ(Items(bytes), (std::vector<signed char>{2, 3, 4, 5}));

    bytes.SetCount(6);
    EXPECT_EQ(Items(bytes), (std::vector<signed char>{2, 3, 4, 5, 0, 0}));
    bytes.SetCount(0);
    EXPECT_EQ(bytes.GetCount(), 0u);
    EXPECT_EQ(bytes.GetData(), store);
    EXPECT_TRUE(gRecorder.LiveSizes().empty());

    bytes.SetCount(9);
    EXPECT_EQ(gRecorder.LiveSizes(), (std::vector<uint32_t>{9}));
  }
  EXPECT_TRUE(gRecorder.LiveSizes().empty());
}

TEST(ArrayBufferTest, InlineItemsThatSetCountAddAreZero) {
  MidiBytes bytes;
  bytes.SetCount(3);
  bytes.GetData()[2] = 9;
  bytes.SetCount(2);
  bytes.SetCount(4);
  EXPECT_EQ(Items(bytes), (std::vector<signed char>{0, 0, 0, 0}));
}

} // namespace
