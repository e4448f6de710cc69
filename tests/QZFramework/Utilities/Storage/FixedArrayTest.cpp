#include <gtest/gtest.h>

#include <vector>

#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/FixedArray.h"

namespace {

using Message = QZ::SimpleFixedArray<signed char, 8>;

std::vector<int> Items(const Message& array) {
  return std::vector<int>(array.GetData(), array.GetData() + array.GetCount());
}

Message MakeMessage(const std::vector<int>& items) {
  Message message(uint32_t(items.size()));
  for (size_t i = 0; i < items.size(); ++i) {
    message.GetData()[i] = static_cast<signed char>(items[i]);
  }
  return message;
}

TEST(FixedArrayTest, HoldsAtMostNItemsInsideTheObject) {
  Message empty;
  const auto* object = reinterpret_cast<const char*>(&empty);
  const auto* data = reinterpret_cast<const char*>(empty.GetData());
  EXPECT_GE(data, object);
  EXPECT_LE(data + 8, object + sizeof empty);
  EXPECT_EQ(empty.GetMaxCount(), 8u);
  EXPECT_EQ(Items(Message(3)), (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(Message(20).GetCount(), 8u);
  EXPECT_EQ(empty.SetCount(12), 8u);
}

TEST(FixedArrayTest, InsertItemsOpensPlacesThatKeepTheirBytes) {
  Message message = MakeMessage({1, 2, 3, 4});
  EXPECT_EQ(message.InsertItems(2, 2), 6);
  EXPECT_EQ(Items(message), (std::vector<int>{1, 2, 3, 4, 3, 4}));
  EXPECT_EQ(message.InsertAt(0, 9), 7);
  EXPECT_EQ(Items(message), (std::vector<int>{9, 1, 2, 3, 4, 3, 4}));
  // An item of the array itself is copied before the items move.
  EXPECT_EQ(message.InsertAt(0, message.GetAt(2)), 8);
  EXPECT_EQ(Items(message), (std::vector<int>{2, 9, 1, 2, 3, 4, 3, 4}));
}

TEST(FixedArrayTest, RefusesWhatDoesNotFitAndCopiesNothing) {
  Message message = MakeMessage({1, 2, 3, 4, 5, 6});
  EXPECT_EQ(message.InsertItems(0, 3), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(message.InsertItems(7, 1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(message.InsertItems(0, 0xFFFFFFFF), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(message.InsertItems(99, 0), 6);

  QZ::Array<signed char> source;
  for (signed char c : {7, 8, 9}) {
    source.AddItem(c);
  }
  EXPECT_EQ(message.Append(source), QZ::QZ_E_FAIL);
  EXPECT_EQ(message.AppendArray(source), QZ::QZ_E_FAIL);
  EXPECT_EQ(Items(message), (std::vector<int>{1, 2, 3, 4, 5, 6}));

  source.SetCount(2);
  EXPECT_EQ(message.Append(source), 8);
  EXPECT_EQ(Items(message), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(FixedArrayTest, RemovalsCheckTheRangeBeforeMovingAnything) {
  Message message = MakeMessage({1, 2, 3, 4});
  EXPECT_EQ(message.RemoveItems(4, 0), 4);
  EXPECT_EQ(message.RemoveItems(3, 2), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(message.RemoveItems(0xFFFFFFFF, 2), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(message.RemoveItems(1, 0xFFFFFFFF), QZ::QZ_E_INVALIDARG);

  signed char removed = 42;
  EXPECT_EQ(message.RemoveItem(4, removed), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(removed, 42);
  EXPECT_EQ(Items(message), (std::vector<int>{1, 2, 3, 4}));

  EXPECT_EQ(message.RemoveItems(1, 2), 2);
  EXPECT_EQ(Items(message), (std::vector<int>{1, 4}));
  EXPECT_EQ(message.RemoveItem(0, removed), 1);
  EXPECT_EQ(removed, 1);
  EXPECT_EQ(message.RemoveLast(removed), 0);
  EXPECT_EQ(removed, 4);
  EXPECT_EQ(message.RemoveLast(removed), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(removed, 4);
}

} // namespace
