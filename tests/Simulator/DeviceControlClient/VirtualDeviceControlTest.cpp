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
    ASSERT_EQ(devices.GetListElement(0, mId), 0);
  }

  int32_t Set(uint32_t id, const Variant& value) {
    const ParamDescriptor descriptor(id);
    return mClient.SetParamValue(&mId, &descriptor, &value);
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

TEST_F(VirtualDeviceControlTest, TheKeyboardIsFoundAndPresentOnlyWhilePluggedIn) {
  EXPECT_STREQ(Get(QZ::kParamMakerName).GetString(), "Vandrel");
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
}

TEST_F(VirtualDeviceControlTest, ValuesOfTheRightWidthAreWrittenToTheKeyboardsMemory) {
  EXPECT_EQ(Set(122, Bytes({1, 80})), -3);
  ASSERT_EQ(mClient.ConnectDevice(&mId, &QZTest::ReportedLists::Callback, &mReports), 0);
  ASSERT_EQ(Set(122, Bytes({1, 80})), 0);
  EXPECT_EQ(Get(122), Bytes({1, 80}));
  EXPECT_EQ(Set(122, Bytes({3})), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(Set(145, Bytes({3})), -1);

  // Entries are set in order up to the first that fails.
  const QZ::ParamValue entries[] = {
      {ParamDescriptor(140), Bytes({9})}, {ParamDescriptor(141), Bytes({1, 2})}, {ParamDescriptor(142), Bytes({9})}};
  QZ::ParamValues list;
  list.SetValueEntries(entries, 3);
  EXPECT_EQ(mClient.SetParamValues(&mId, &list), QZ::QZ_E_INVALIDARG);
  EXPECT_EQ(Get(140), Bytes({9}));
  EXPECT_EQ(Get(142), Bytes({0}));

  QZ::ParamRanges ranges;
  const QZ::ParamIdRange range{0, 145};
  ranges.SetRanges(&range, 1);
  QZ::ParamValues values;
  ASSERT_EQ(mClient.GetParamRanges(&mId, &ranges, &values), 0);
  EXPECT_EQ(values.GetListCount(), 145u);
  EXPECT_EQ(QZTest::EntryOf(values, 140).second, Bytes({9}));
}

} // namespace
