#include <gtest/gtest.h>

#include <vector>

#include "DeviceControl/RootModule.h"
#include "Support/DeviceControlClientStandIn.h"
#include "Support/EngineHarness.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;
using QZTest::Bytes;

struct Change {
  uint32_t id;
  Variant value;
  int32_t reason;
};

// An offline root numbered from 1000 whose owner callback records every change.
class RootModuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(root->Initialize(&Record, this, cache, device, 1000), 0);
    ASSERT_EQ(device->GetReceiver(), root.Get());
  }

  static int32_t Record(void* context, QZ::Array<QZ::ParamValue>* changes, int32_t reason) {
    const QZ::ParamValue& change = changes->GetAt(0);
    static_cast<RootModuleTest*>(context)->changes.push_back({change.GetId(), change.value, reason});
    return 0;
  }

  Variant Read(uint32_t id) {
    Variant value;
    EXPECT_EQ(root->GetParamValueByID(ParamDescriptor(id), value), 0);
    return value;
  }

  QZTest::FakeApplicationContext application; // the chord's defaults read the keyboard model
  RCPtr<LParamCache> cache{new LParamCache(145)};
  RCPtr<LDeviceCommunicationInterfaceT<1>> device{new LDeviceCommunicationInterfaceT<1>};
  RCPtr<QZ::LRootModule> root = QZ::LRootModule::Create(true);
  std::vector<Change> changes;
};

TEST_F(RootModuleTest, OfflineSetsAndReadsUseTheCacheFilledWithTheDefaults) {
  EXPECT_EQ(Read(1122), Bytes({1, 20})) << "the tempo";
  Variant cached;
  cache->GetValue(ParamDescriptor(122), cached);
  EXPECT_EQ(cached, Bytes({1, 20})) << "the cache is indexed from the first id";

  EXPECT_EQ(root->SetParamValueByID(ParamDescriptor(1005), Bytes({64})), 0);
  EXPECT_EQ(root->SetParamValueByID(ParamDescriptor(1005), Bytes({64})), 0);
  EXPECT_EQ(root->SetParamValueByID(ParamDescriptor(1005), Variant()), 0);
  EXPECT_EQ(root->SetParamValueByID(ParamDescriptor(1145), Bytes({1})), -1);
  ASSERT_EQ(changes.size(), 1u) << "only the real change reaches the owner";
  EXPECT_EQ(changes[0].id, 1005u);
  EXPECT_EQ(changes[0].value, Bytes({64}));
  EXPECT_EQ(Read(1005), Bytes({64}));
  EXPECT_TRUE(root->IsOffline());
}

TEST_F(RootModuleTest, ReceivedValuesUpdateTheCacheAndWhatNoModuleOwnsGoesToTheOwner) {
  const std::vector<QZ::ParamValue> entries = {
      {ParamDescriptor(1003), Bytes({9})}, // changed
      {ParamDescriptor(1004), Bytes({1})}, // equal to the default
      {ParamDescriptor(QZ::kParamConnected), QZTest::Make(&Variant::SetBool, false)},
      {ParamDescriptor(0xFFFFFF7Fu), Bytes({2})}, // module-addressed, no module
      {ParamDescriptor(1200), Bytes({3})},        // outside the parameter space
  };
  std::vector<Variant> items(entries.size() + 1);
  for (size_t i = 0; i < entries.size(); ++i) {
    entries[i].descriptor.ToValueEntry(entries[i].value, items[i]);
  }
  items.back() = Bytes({7}); // an entry that does not decode arrives as id -1
  QZ::ParamValues list;
  list.SetList(items.data(), uint32_t(items.size()));
  root->OnParamValuesReceived(list);

  std::vector<uint32_t> ids;
  for (const Change& change : changes) {
    ids.push_back(change.id);
    EXPECT_EQ(change.reason, QZ::LRootModule::kCachedValueChanged);
  }
  EXPECT_EQ(ids, (std::vector<uint32_t>{1003, QZ::kParamConnected, 0xFFFFFF7Fu, 1200, 0xFFFFFFFFu}));
  EXPECT_EQ(Read(1003), Bytes({9}));
}

TEST_F(RootModuleTest, TheEchoComesBackOnTheCallingThreadUnderTheReceiveLock) {
  EXPECT_EQ(root->SetParamValueByID(ParamDescriptor(QZ::kParamEcho), QZTest::Make(&Variant::SetInt32, 7)), 0);
  ASSERT_EQ(changes.size(), 1u);
  EXPECT_EQ(changes[0].id, QZ::kParamEcho);
  EXPECT_EQ(changes[0].value.GetListCount(), 2u);
  Variant maker;
  EXPECT_EQ(root->GetParamValueByID(ParamDescriptor(QZ::kParamMakerName), maker), 0);
  EXPECT_STREQ(maker.GetString(), "Vandrel") << "negative ids are the device interface's";
}

TEST_F(RootModuleTest, AFailedConnectStaysOfflineAndAReleasedRootNoLongerReceives) {
  EXPECT_EQ(root->ConnectDevice(Variant()), -1) << "no library bound";
  EXPECT_TRUE(root->IsOffline());
  root = nullptr;
  EXPECT_EQ(device->GetReceiver(), nullptr);
  EXPECT_EQ(device->SetParamValue(ParamDescriptor(QZ::kParamEcho), Variant()), QZ::QZ_E_FAIL);
}

} // namespace
