#include <gtest/gtest.h>

#include <vector>

#include "DeviceControl/RootModule.h"
#include "Support/EngineHarness.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;
using QZTest::Bytes;

// An offline root numbered from 1000 whose owner callback records the ids of the changes.
class RootModuleTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(root->Initialize(&Record, &changes, cache, device, 1000), 0); }

  static int32_t Record(void* changes, QZ::Array<QZ::ParamValue>* change, int32_t reason) {
    EXPECT_EQ(reason, QZ::LRootModule::kCachedValueChanged);
    static_cast<std::vector<uint32_t>*>(changes)->push_back(change->GetAt(0).GetId());
    return 0;
  }

  QZTest::FakeApplicationContext application; // the chord's defaults read the keyboard model
  RCPtr<LParamCache> cache{new LParamCache(145)};
  RCPtr<LDeviceCommunicationInterfaceT<1>> device{new LDeviceCommunicationInterfaceT<1>};
  RCPtr<QZ::LRootModule> root = QZ::LRootModule::Create(true);
  std::vector<uint32_t> changes;
};

TEST_F(RootModuleTest, ReceivedValuesUpdateTheCacheAndWhatNoModuleOwnsGoesToTheOwner) {
  const uint8_t external[] = {0x66};
  Variant externalValue;
  externalValue.SetExternalConstData(external, 1);
  const QZ::ParamValue entries[] = {
      {ParamDescriptor(1003), Bytes({9})}, // changed
      {ParamDescriptor(1004), Bytes({1})}, // equal to the default
      {ParamDescriptor(QZ::kParamConnected), QZTest::Make(&Variant::SetBool, false)},
      {ParamDescriptor(0xFFFFFF7Fu), Bytes({2})}, // module-addressed, no module
      {ParamDescriptor(1145), Bytes({3})},        // outside the parameter space
      {ParamDescriptor(1006), externalValue},
  };
  std::vector<Variant> items(std::size(entries) + 1);
  for (size_t i = 0; i < std::size(entries); ++i) {
    entries[i].descriptor.ToValueEntry(entries[i].value, items[i]);
  }
  items.back() = Bytes({7}); // an entry that does not decode arrives as id -1
  QZ::ParamValues list;
  list.SetList(items.data(), uint32_t(items.size()));
  root->OnParamValuesReceived(list);

  EXPECT_EQ(changes, (std::vector<uint32_t>{1003, QZ::kParamConnected, 0xFFFFFF7Fu, 1145, 1006, 0xFFFFFFFFu}));
  Variant value;
  EXPECT_EQ(root->GetParamValueByID(ParamDescriptor(1003), value), 0);
  EXPECT_EQ(value, Bytes({9}));
  EXPECT_EQ(root->GetParamValueByID(ParamDescriptor(1006), value), 0);
  EXPECT_EQ(value, Bytes({0x66})) << "external data arrives as its bytes";
  cache->GetValue(ParamDescriptor(122), value);
  EXPECT_EQ(value, Bytes({1, 20})) << "the cache holds the defaults by relative id";
}

TEST_F(RootModuleTest, TheEchoComesBackAtOnceAndAReleasedRootIsNoLongerReached) {
  EXPECT_EQ(root->SetParamValueByID(ParamDescriptor(QZ::kParamEcho), QZTest::Make(&Variant::SetInt32, 7)), 0);
  EXPECT_EQ(changes, std::vector<uint32_t>{QZ::kParamEcho}) << "through the receive path, under the held lock";
  Variant external;
  external.SetExternalData(&external, 1);
  EXPECT_EQ(root->SetParamValueByID(ParamDescriptor(1005, external), Bytes({1})), 0);
  EXPECT_EQ(changes.size(), 1u) << "a value the cache refused is not announced";
  root = nullptr;
  EXPECT_EQ(device->GetReceiver(), nullptr);
  EXPECT_EQ(device->SetParamValue(ParamDescriptor(QZ::kParamEcho), Variant()), QZ::QZ_E_FAIL);
}

} // namespace
