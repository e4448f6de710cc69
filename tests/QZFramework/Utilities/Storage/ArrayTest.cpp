#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "QZFramework/Utilities/Storage/Array.h"
#include "QZFramework/Utilities/Storage/Variant.h"

namespace {

std::vector<std::string> Items(const QZ::Array<std::string>& array) {
  std::vector<std::string> items;
  for (uint32_t i = 0; i < array.GetCount(); ++i) {
    items.push_back(array.GetAt(i));
  }
  return items;
}

QZ::Array<std::string> MakeArray(const std::vector<std::string>& items) {
  QZ::Array<std::string> array;
  for (const auto& item : items) {
    array.AddItem(item);
  }
  return array;
}

void ExpectOutOfRange(const std::function<void()>& call) {
  try {
    call();
    ADD_FAILURE() << "no exception";
  } catch (const std::out_of_range& e) {
    EXPECT_STREQ(e.what(), "invalid vector<T> subscript");
  }
}

TEST(ArrayTest, InsertAtPlacesACopyBeforeTheIndexAndRefusesPastTheCount) {
  QZ::Array<std::string> array = MakeArray({"a", "c"});
  EXPECT_EQ(array.InsertAt(1, "b"), 1);
  EXPECT_EQ(array.InsertAt(3, "d"), 3);
  EXPECT_EQ(array.InsertAt(5, "x"), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.AddItem("e"), 4);
  EXPECT_EQ(Items(array), (std::vector<std::string>{"a", "b", "c", "d", "e"}));

  // An item of the array itself survives the vector's growth.
  EXPECT_EQ(array.InsertAt(0, array.GetAt(4)), 0);
  EXPECT_EQ(array.GetAt(0), "e");
}

TEST(ArrayTest, IndexedAccessPastTheCountThrowsTheVectorText) {
  QZ::Array<std::string> array = MakeArray({"a"});
  ExpectOutOfRange([&] { array.GetAt(1); });
  ExpectOutOfRange([&] { std::as_const(array).GetAt(0xFFFFFFFF); });

  QZ::Array<std::string> empty;
  std::string removed = "kept";
  ExpectOutOfRange([&] { empty.RemoveLast(removed); });
  ExpectOutOfRange([&] { array.RemoveItem(1, removed); });
  EXPECT_EQ(removed, "kept");
  EXPECT_EQ(array.GetCount(), 1u);
}

TEST(ArrayTest, InsertItemsOpensDefaultItemsInFrontOfTheOldItem) {
  QZ::Array<QZ::Variant> values;
  EXPECT_EQ(values.InsertItems(0, 3), 3);
  for (uint32_t i = 0; i < 3; ++i) {
    EXPECT_EQ(values.GetAt(i).GetType(), QZ::Variant::Empty);
  }

  QZ::Array<std::string> array = MakeArray({"a", "b"});
  EXPECT_EQ(array.InsertItems(1, 2), 4);
  EXPECT_EQ(Items(array), (std::vector<std::string>{"a", "", "", "b"}));
  EXPECT_EQ(array.InsertItems(4, 0), 4);
  EXPECT_EQ(array.InsertItems(5, 1), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.InsertItems(0, 0x7FFFFFFF), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.GetCount(), 4u);
}

TEST(ArrayTest, RemoveItemsRefusesRangesOutsideTheArrayWithoutRemovingAnything) {
  QZ::Array<std::string> array = MakeArray({"a", "b", "c", "d"});
  EXPECT_EQ(array.RemoveItems(4, 0), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.RemoveItems(2, 3), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.RemoveItems(1, 0xFFFFFFFF), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(array.RemoveItems(0xFFFFFFFF, 2), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(Items(array), (std::vector<std::string>{"a", "b", "c", "d"}));

  EXPECT_EQ(array.RemoveItems(1, 2), 2);
  EXPECT_EQ(Items(array), (std::vector<std::string>{"a", "d"}));
  std::string removed;
  EXPECT_EQ(array.RemoveLast(removed), 1);
  EXPECT_EQ(removed, "d");
}

TEST(ArrayTest, SetCountAddsDefaultItemsAndGetDataIsNullWhenEmpty) {
  QZ::Array<long> array;
  EXPECT_EQ(array.GetData(), nullptr);
  EXPECT_EQ(array.SetCount(3), 3u);
  EXPECT_EQ(array.GetAt(2), 0);
  array.GetData()[1] = 5;
  EXPECT_EQ(array.SetCount(2), 2u);
  EXPECT_EQ(array.GetAt(1), 5);
  EXPECT_EQ(array.RemoveAll(), QZ::QZ_OK);
  EXPECT_EQ(array.GetData(), nullptr);
  EXPECT_EQ(array.RemoveAll(), QZ::QZ_OK);
}

} // namespace
