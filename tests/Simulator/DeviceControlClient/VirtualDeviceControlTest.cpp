#include <gtest/gtest.h>

#include "DeviceControl/DeviceControlClientInterface.h"
#include "Support/DeviceControlClientStandIn.h"

namespace {

using QZ::ParamDescriptor;
using QZ::Variant;

Variant Bytes(std::initializer_list<uint8_t> bytes) {
  Variant value;
  value.SetBuffer(std::data(bytes), uint32_t(bytes.size()));
  return value;
}

class VirtualDeviceControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    Variant devices;
    ASSERT_EQ(mClient.FindDevices(nullptr, 0, &devices), 0);
    ASSERT_EQ(devices.GetListCount(), 1u);
    devices.GetListElement(0, mId);
  }

  Variant Get(uint32_t id) {
    const ParamDescriptor descriptor(id);
    Variant value;
    EXPECT_EQ(mClient.GetParamValue(&mId, &descriptor, &value), 0);
    return value;
  }

  QZTest::ReportedLists mReports; // outlives the connection
  QZ::DeviceControlClientInterface mClient{QZ::WString(QZTest::kDeviceControlClient.c_str())};
  QZTest::StandInControls mStandIn;
  Variant mId;
};

TEST_F(VirtualDeviceControlTest, TheKeyboardNamesItselfAndTellsWhetherItIsThere) {
  EXPECT_STREQ(mId.GetString(), "QUORIN 49 ZTR");
  EXPECT_STREQ(Get(QZ::kParamMakerName).GetString(), "Vandrel");
  EXPECT_STREQ(Get(QZ::kParamProductTitle).GetString(), "QUORIN 49 ZTR");
  EXPECT_FALSE(Get(QZ::kParamConnected).ToBool());
  QZ::DeviceInfoRecord record;
  ASSERT_EQ(mClient.GetDeviceInfo(&mId, &record, 0), 0);
  EXPECT_STREQ(reinterpret_cast<const char*>(record.bytes), "QUORIN 49 ZTR");
  EXPECT_TRUE(record.IsPresent());

  mStandIn.SetPlugged(false);
  ASSERT_EQ(mClient.GetDeviceInfo(&mId, &record, 0), 0);
  EXPECT_FALSE(record.IsPresent());
  Variant devices;
  ASSERT_EQ(mClient.FindDevices(nullptr, 0, &devices), 0);
  EXPECT_EQ(devices.GetListCount(), 0u);
  EXPECT_EQ(mClient.ConnectDevice(&mId, &QZTest::ReportedLists::Callback, &mReports), -3);

  Variant stranger;
  stranger.SetString("QUORIN 61 ZTR");
  EXPECT_EQ(mClient.GetDeviceInfo(&stranger, &record, 0), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(mClient.ConnectDevice(&stranger, &QZTest::ReportedLists::Callback, &mReports), QZ::QZ_E_INVALIDARG);
}

TEST_F(VirtualDeviceControlTest, AConnectionReportsItsFlagAndTheValuesAskedFor) {
  ASSERT_EQ(mClient.ConnectDevice(&mId, &QZTest::ReportedLists::Callback, &mReports), 0);
  QZ::ParamRanges ranges;
  const QZ::ParamIdRange range{0, 145};
  ranges.SetRanges(&range, 1);
  ASSERT_EQ(mClient.RequestParamRanges(&mId, &ranges), 0);
  ASSERT_EQ(mClient.RequestParamValuesByDescriptors(&mId, ParamDescriptor(QZ::kParamDeviceState)), 0);
  mStandIn.SetPlugged(false);
  EXPECT_EQ(mClient.RequestParamRanges(&mId, &ranges), -3);
  mStandIn.SetPlugged(true);

  const std::vector<QZ::ParamValues> lists = mReports.WaitFor(5);
  ASSERT_EQ(lists.size(), 5u);
  const auto [connectedId, connected] = QZTest::EntryOf(lists[0], 0);
  EXPECT_EQ(connectedId, QZ::kParamConnected);
  EXPECT_TRUE(connected.ToBool());
  ASSERT_EQ(lists[1].GetListCount(), 145u);
  EXPECT_EQ(QZTest::EntryOf(lists[1], 144).first, 144u);
  EXPECT_EQ(QZTest::EntryOf(lists[1], 122).second, Bytes({1, 20}));
  const auto [stateId, state] = QZTest::EntryOf(lists[2], 0);
  EXPECT_EQ(stateId, QZ::kParamDeviceState);
  EXPECT_EQ(state.GetType(), Variant::Int32);
  EXPECT_FALSE(QZTest::EntryOf(lists[3], 0).second.ToBool());
  EXPECT_TRUE(QZTest::EntryOf(lists[4], 0).second.ToBool());
  EXPECT_EQ(mClient.DisconnectDevice(&mId), 0);
  EXPECT_EQ(mClient.DisconnectDevice(&mId), 1);
}

TEST_F(VirtualDeviceControlTest, ValuesAreWrittenToTheKeyboardsMemory) {
  const ParamDescriptor tempo(122);
  const Variant fast = Bytes({1, 80});
  EXPECT_EQ(mClient.SetParamValue(&mId, &tempo, &fast), -3);
  ASSERT_EQ(mClient.ConnectDevice(&mId, &QZTest::ReportedLists::Callback, &mReports), 0);
  ASSERT_EQ(mClient.SetParamValue(&mId, &tempo, &fast), 0);
  EXPECT_EQ(Get(122), fast);

  const Variant oneByte = Bytes({3});
  EXPECT_EQ(mClient.SetParamValue(&mId, &tempo, &oneByte), QZ::QZ_E_INVALIDARG);
  const ParamDescriptor unknown(145);
  EXPECT_EQ(mClient.SetParamValue(&mId, &unknown, &oneByte), -1);
  const ParamDescriptor deviceState(QZ::kParamDeviceState);
  Variant state;
  state.SetInt32(3);
  ASSERT_EQ(mClient.SetParamValue(&mId, &deviceState, &state), 0);
  EXPECT_EQ(Get(QZ::kParamDeviceState), state);

  // Entries are set in order up to the first that fails.
  const QZ::ParamValue entries[] = {
      {ParamDescriptor(140), Bytes({9})}, {ParamDescriptor(141), Bytes({1, 2})}, {ParamDescriptor(142), Bytes({9})}};
  QZ::ParamValues list;
  list.SetValueEntries(entries, 3);
  EXPECT_EQ(mClient.SetParamValues(&mId, &list), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(Get(140), Bytes({9}));
  EXPECT_EQ(Get(142), Bytes({0}));

  QZ::ParamDescriptors descriptors;
  const ParamDescriptor asked[] = {ParamDescriptor(140), ParamDescriptor(999), ParamDescriptor(QZ::kParamMakerName)};
  descriptors.SetDescriptors(asked, 3);
  QZ::ParamValues values;
  ASSERT_EQ(mClient.GetParamValues(&mId, &descriptors, &values), 0);
  ASSERT_EQ(values.GetListCount(), 2u);
  EXPECT_EQ(QZTest::EntryOf(values, 1).first, QZ::kParamMakerName);
}

TEST_F(VirtualDeviceControlTest, RemoteSearchesFindWhatTheTestSetsAndQuickQueriesReturnOne) {
  Variant devices;
  ASSERT_EQ(mClient.FindRemoteDevices(nullptr, 0, &devices, 0, 0, 1, 1, 0, 0), 0);
  EXPECT_EQ(devices.GetType(), Variant::List);
  EXPECT_EQ(devices.GetListCount(), 0u);
  Variant remote;
  remote.SetList(&mId, 1);
  mStandIn.SetRemoteDevices(remote);
  ASSERT_EQ(mClient.FindRemoteDevices(nullptr, 0, &devices, 1, 0, 1, 1, 0, 0), 1);
  EXPECT_EQ(devices, remote);
}

} // namespace
