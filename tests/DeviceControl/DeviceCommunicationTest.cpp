#include <gtest/gtest.h>

#include "DeviceControl/DeviceCommunication.h"
#include "QZFramework/Utilities/Storage/Array.h"
#include "Support/DeviceControlClientStandIn.h"
#include "Support/HexBytes.h"

namespace {

using QZ::ParamDescriptor;
using QZ::RCPtr;
using QZ::Variant;
using Interface = LDeviceCommunicationInterfaceT<1>;

RCPtr<Interface> MakeInterface() { return RCPtr<Interface>(new Interface); }

Variant Get(Interface& device, uint32_t id, int32_t expected = 0) {
  Variant value;
  EXPECT_EQ(device.GetParamValue(ParamDescriptor(id), value), expected) << int32_t(id);
  return value;
}

TEST(DeviceCommunicationTest, WithoutBindingOnlyTheLocalPseudoParametersAnswer) {
  const RCPtr<Interface> device = MakeInterface();
  EXPECT_STREQ(Get(*device, QZ::kParamMakerName).GetString(), "Vandrel");
  EXPECT_STREQ(Get(*device, QZ::kParamProductTitle).GetString(), "Quorin Preset Editor");
  EXPECT_EQ(Get(*device, QZ::kParamConnected), QZTest::Make(&Variant::SetBool, true));
  Get(*device, QZ::kParamDeviceState, -1);
  Get(*device, 5, QZ::QZ_E_FAIL);
  EXPECT_EQ(device->SetParamValue(ParamDescriptor(QZ::kParamDeviceState), Variant()), -1);
  EXPECT_EQ(device->SetParamValue(ParamDescriptor(5), Variant()), QZ::QZ_E_FAIL);

  const QZ::Array<QZ::Guid> filter;
  QZ::Array<Variant> devices;
  devices.SetCount(2);
  Variant list;
  QZ::DeviceInfoRecord record;
  const int32_t results[] = {device->FindDevices(filter, devices),
                             device->FindRemoteDevices(filter, devices, 0, 0, 1, 1, 0, 0),
                             device->QuickFindRemoteDevices(filter, devices),
                             device->Connect(Variant()),
                             device->ConnectAndCheck(Variant()),
                             device->RequestParamRanges(list),
                             device->RequestParamValues(list),
                             device->RequestParamValuesByDescriptors(ParamDescriptor(1)),
                             device->GetParamRanges(list, list),
                             device->GetParamValues(list, list),
                             device->SetParamValues(list),
                             device->DisconnectDevice(),
                             device->GetDeviceInfo(Variant(), record),
                             device->SetDeviceStateValue(Variant())};
  EXPECT_EQ(std::vector<int32_t>(std::begin(results), std::end(results)), std::vector<int32_t>(14, -1));
  EXPECT_EQ(devices.GetCount(), 0u);
  EXPECT_FALSE(device->IsDeviceConnected(1, 500));

  // Opened without a library, the interface leaves every id to the missing library.
  QZTest::DriverRegistry emptyRegistry;
  EXPECT_EQ(device->Open(), 0);
  Get(*device, QZ::kParamMakerName, -1);
  EXPECT_EQ(device->ConnectAndCheck(Variant()), -3);
}

TEST(DeviceCommunicationTest, TheEchoValueReachesTheReceiverBeforeTheCallReturns) {
  const RCPtr<Interface> device = MakeInterface();
  const Variant five = QZTest::Make(&Variant::SetInt32, 5);
  EXPECT_EQ(device->SetParamValue(ParamDescriptor(QZ::kParamEcho), five), QZ::QZ_E_FAIL);
  QZTest::ReportedLists receiver;
  device->SetReceiver(&receiver);
  ASSERT_EQ(device->SetParamValue(ParamDescriptor(QZ::kParamEcho), five), 0);
  const std::vector<QZ::ParamValues> lists = receiver.WaitFor(0);
  ASSERT_EQ(lists.size(), 1u);
  EXPECT_EQ(lists[0].GetListCount(), 1u);
  const Variant pair[] = {QZTest::Make(&Variant::SetInt64, 5), QZTest::Make(&Variant::SetBool, true)};
  Variant echo;
  echo.SetList(pair, 2);
  EXPECT_EQ(QZTest::EntryOf(lists[0], 0), std::make_pair(QZ::kParamEcho, echo));
  device->SetReceiver(nullptr);
}

TEST(DeviceCommunicationTest, DeviceListsDecodeRecordByRecordAndStopAtABrokenSize) {
  const std::pair<const char*, Variant::Type> records[] = {
      {"0C000000 01000000 10000000", Variant::List},           // an empty list
      {"0C000000 01000000 06000000", Variant::Empty},          // an int32 without data fails
      {"10000000 00000000 02000000 07000000", Variant::Int32}, // encoding 0, number 2
      {"10000000 02000000 06000000 07000000", Variant::Empty}, // encoding 2 fails
      {"08000000 01000000 00000000", Variant::Empty},          // a size below 12 ends the list
      {"10000000 01000000 06000000 07000000", Variant::Int32},
  };
  std::string hex;
  for (const auto& [record, type] : records) {
    hex += record;
  }
  const std::vector<uint8_t> bytes = QZTest::FromHex(hex);
  Variant list;
  list.SetRaw(Variant::List, bytes.data(), uint32_t(bytes.size()));
  QZ::Array<Variant> devices;
  Interface::DecodeList(list, devices);
  ASSERT_EQ(devices.GetCount(), 5u);
  for (uint32_t i = 0; i < 5; ++i) {
    EXPECT_EQ(devices.GetAt(i).GetType(), records[i].second) << records[i].first;
  }
  EXPECT_EQ(devices.GetAt(2).ToInt32(), 7);
  EXPECT_EQ(devices.GetAt(0).GetListCount(), 0u);
}

class OpenedDeviceCommunicationTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(mDevice->Open(), 0);
    ASSERT_EQ(mDevice->Open(), 1);
    mDevice->SetReceiver(&mReceiver);
    mDevice->EnableDelivery(true);
    ASSERT_EQ(mDevice->FindDevices(QZ::Array<QZ::Guid>(), mDevices), 0);
    ASSERT_EQ(mDevices.GetCount(), 1u);
  }

  // The library calls since the last look.
  size_t StandInCalls() {
    const size_t count = mStandIn.probe.Calls().size();
    mStandIn.probe.Record(true);
    return count;
  }

  QZTest::ReportedLists mReceiver; // outlives the interface
  QZTest::DriverRegistry mRegistry{QZTest::kDeviceControlClient};
  RCPtr<Interface> mDevice = MakeInterface();
  QZTest::StandInControls mStandIn;
  QZ::Array<Variant> mDevices;
};

TEST_F(OpenedDeviceCommunicationTest, TheLibraryAnswersAndReportsThroughTheWorker) {
  const Variant& keyboard = mDevices.GetAt(0);
  EXPECT_EQ(mDevice->ConnectAndCheck(keyboard), -3);
  EXPECT_STREQ(Get(*mDevice, QZ::kParamProductTitle).GetString(), "QUORIN 49 ZTR"); // the library's answer
  ASSERT_EQ(mDevice->Connect(keyboard), 0);
  EXPECT_EQ(mDevice->ConnectAndCheck(keyboard), 0);
  ASSERT_EQ(mDevice->RequestParamValuesByDescriptors(ParamDescriptor(122)), 0);
  ASSERT_EQ(mDevice->SetDeviceStateValue(QZTest::Make(&Variant::SetInt32, 2)), 0);
  Variant state;
  ASSERT_EQ(mDevice->GetDeviceStateValue(state), 0);
  EXPECT_EQ(state, QZTest::Make(&Variant::SetInt32, 2));

  mStandIn.SetPlugged(false);
  EXPECT_EQ(mDevice->ConnectAndCheck(keyboard), -3);
  const std::vector<QZ::ParamValues> lists = mReceiver.WaitFor(3);
  ASSERT_EQ(lists.size(), 3u);
  EXPECT_EQ(QZTest::EntryOf(lists[0], 0), std::make_pair(QZ::kParamConnected, QZTest::Make(&Variant::SetBool, true)));
  EXPECT_EQ(QZTest::EntryOf(lists[1], 0).first, 122u);
  EXPECT_EQ(QZTest::EntryOf(lists[2], 0), std::make_pair(QZ::kParamConnected, QZTest::Make(&Variant::SetBool, false)));
}

TEST_F(OpenedDeviceCommunicationTest, RemoteSearchesPollUntilTheListChangesOrTimeRunsOut) {
  std::vector<uint32_t> sleeps;
  mDevice->SetSleeper([&](uint32_t milliseconds) { sleeps.push_back(milliseconds); });
  mStandIn.probe.Record(true);
  const QZ::Array<QZ::Guid> filter;
  QZ::Array<Variant> devices;
  EXPECT_EQ(mDevice->FindRemoteDevices(filter, devices, 1500, 0, 1, 1, 0, 0), 1);
  EXPECT_EQ(StandInCalls(), 7u);
  EXPECT_EQ(sleeps, std::vector<uint32_t>(6, 250));
  EXPECT_EQ(mDevice->FindRemoteDevices(filter, devices, 0, 0, 1, 1, 0, 0), 1);
  EXPECT_EQ(StandInCalls(), 1u);

  Variant remote;
  remote.SetList(&mDevices.GetAt(0), 1);
  mStandIn.SetRemoteDevices(remote);
  EXPECT_EQ(mDevice->FindRemoteDevices(filter, devices, 1500, 0, 1, 1, 0, 0), 0);
  EXPECT_EQ(StandInCalls(), 1u);
  EXPECT_EQ(devices, mDevices);

  devices.RemoveAll();
  EXPECT_EQ(mDevice->QuickFindRemoteDevices(filter, devices), 1);
  EXPECT_EQ(devices, mDevices);
  mStandIn.probe.Fail("XQDC_FindRemoteDevices", -5);
  EXPECT_EQ(mDevice->QuickFindRemoteDevices(filter, devices), -5);
  EXPECT_EQ(devices, mDevices);
  EXPECT_EQ(mDevice->FindRemoteDevices(filter, devices, 0, 0, 1, 1, 0, 0), QZ::QZ_E_FAIL);
}

TEST_F(OpenedDeviceCommunicationTest, TheLastReferenceDisconnectsAndReleasesTheLibrary) {
  ASSERT_EQ(mDevice->Connect(mDevices.GetAt(0)), 0);
  mStandIn.probe.Record(true);
  mDevice = nullptr;
  EXPECT_EQ(mStandIn.probe.Calls(), (std::vector<std::string>{"XQDC_DisconnectDevice", "XQDC_ReleaseAll"}));
}

} // namespace
