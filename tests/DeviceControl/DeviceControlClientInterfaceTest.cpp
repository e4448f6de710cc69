#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <memory>

#include "DeviceControl/DeviceControlClientInterface.h"
#include "Support/DeviceControlClientStandIn.h"

namespace {

using QZ::DeviceControlClientInterface;
using QZ::Variant;
using QZ::WString;

WString Wide(const std::string& text) { return WString(text.c_str()); }

Variant KeyboardId() {
  Variant id;
  id.SetString("QUORIN 49 ZTR");
  return id;
}

// Every operation of the binding once, with results folded into one list.
std::vector<int32_t> CallEverything(DeviceControlClientInterface& client) {
  const Variant id = KeyboardId();
  Variant list;
  Variant value;
  const QZ::ParamDescriptor descriptor(0);
  QZ::DeviceInfoRecord record;
  QZTest::ReportedLists reports;
  return {client.FindDevices(nullptr, 0, &list),
          client.FindRemoteDevices(nullptr, 0, &list, 0, 0, 1, 1, 0, 0),
          client.ConnectDevice(&id, &QZTest::ReportedLists::Callback, &reports),
          client.RequestParamRanges(&id, &list),
          client.RequestParamValues(&id, &list),
          client.RequestParamValuesByDescriptors(&id, descriptor),
          client.GetParamRanges(&id, &list, &list),
          client.GetParamValues(&id, &list, &list),
          client.GetParamValue(&id, &descriptor, &value),
          client.SetParamValue(&id, &descriptor, &value),
          client.SetParamValues(&id, &list),
          client.IsDeviceConnected(&id, 1, 500) ? 0 : -1,
          client.GetDeviceInfo(&id, &record, 0),
          client.DisconnectDevice(&id)};
}

TEST(DeviceControlClientInterfaceTest, WithoutLibraryEveryCallFailsAndNothingIsReleased) {
  {
    QZTest::DriverRegistry registry(QZTest::kDeviceControlClient);
    EXPECT_EQ(DeviceControlClientInterface::FindLibraryPath(), Wide(QZTest::kDeviceControlClient));
  }
  QZTest::DriverRegistry emptyRegistry;
  EXPECT_TRUE(DeviceControlClientInterface::FindLibraryPath().IsEmpty());
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe");
  const WString defaultPath = DeviceControlClientInterface::GetDefaultLibraryPath();
  EXPECT_EQ(defaultPath, Wide(program.parent_path().string() + "/libDeviceControlClient.so"));
  ASSERT_FALSE(std::filesystem::exists(defaultPath.ToUTF8().GetBuffer()));

  QZTest::StandInControls standIn;
  {
    DeviceControlClientInterface client;
    EXPECT_FALSE(client.HasLibrary());
    EXPECT_EQ(CallEverything(client), std::vector<int32_t>(14, -1));
  }
  EXPECT_EQ(standIn.probe.ReleaseAllCount(), 0);
}

TEST(DeviceControlClientInterfaceTest, ALibraryPathLongerThan260CharactersIsFoundAndLoaded) {
  const QZTest::TempFolder folder;
  std::filesystem::path deep(folder.Path());
  while (deep.string().size() <= 300) {
    deep /= std::string(40, 'd');
  }
  std::filesystem::create_directories(deep);
  const std::filesystem::path library = deep / "libDeviceControlClient.so";
  std::filesystem::create_symlink(QZTest::kDeviceControlClient, library);
  QZTest::DriverRegistry registry(library.string());
  EXPECT_EQ(DeviceControlClientInterface::FindLibraryPath(), Wide(library.string()));
  DeviceControlClientInterface client(DeviceControlClientInterface::FindLibraryPath());
  EXPECT_TRUE(client.HasLibrary());
}

TEST(DeviceControlClientInterfaceTest, AMissingEntryPointFailsAloneAndTheOthersWork) {
  void* library = ::dlopen(QZTest::kDeviceControlClientWithoutDeviceInfo.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr);
  int exports = 0;
  for (const char* name :
       {"XQDC_FindDevices", "XQDC_FindRemoteDevices", "XQDC_ConnectDevice", "XQDC_RequestParamRanges",
        "XQDC_RequestParamValues", "XQDC_GetParamRanges", "XQDC_GetParamValues", "XQDC_GetParamValue",
        "XQDC_SetParamValue", "XQDC_SetParamValues", "XQDC_DisconnectDevice", "XQDC_IsDeviceConnected",
        "XQDC_GetDeviceInfo", "XQDC_ReleaseAll"}) {
    exports += ::dlsym(library, name) != nullptr;
  }
  ::dlclose(library);
  EXPECT_EQ(exports, 13);

  DeviceControlClientInterface client(Wide(QZTest::kDeviceControlClientWithoutDeviceInfo));
  ASSERT_TRUE(client.HasLibrary());
  const std::vector<int32_t> results = CallEverything(client);
  EXPECT_EQ(results[12], -1);
  EXPECT_EQ(results[0], 0);
  EXPECT_EQ(results[2], 0);
  EXPECT_EQ(results[11], 0); // connected
}

TEST(DeviceControlClientInterfaceTest, TheLastBindingReleasesTheLibraryOnceAndUnloadsIt) {
  auto first = std::make_unique<DeviceControlClientInterface>(Wide(QZTest::kDeviceControlClient));
  auto second = std::make_unique<DeviceControlClientInterface>(Wide(QZTest::kDeviceControlClient));
  QZTest::StandInControls standIn;
  standIn.Unhold();

  first.reset();
  EXPECT_EQ(standIn.probe.ReleaseAllCount(), 0);
  EXPECT_TRUE(QZTest::IsLoaded(QZTest::kDeviceControlClient));

  second.reset();
  EXPECT_EQ(standIn.probe.ReleaseAllCount(), 1);
  EXPECT_EQ(standIn.probe.UnloadCount(), 1);
  EXPECT_FALSE(QZTest::IsLoaded(QZTest::kDeviceControlClient));
}

TEST(DeviceControlClientInterfaceTest, ResultsPassUnchangedAndOnlyZeroMeansConnected) {
  DeviceControlClientInterface client(Wide(QZTest::kDeviceControlClient));
  QZTest::StandInControls standIn;
  const Variant id = KeyboardId();
  EXPECT_FALSE(client.IsDeviceConnected(&id, 1, 500)); // the library's 1: not connected
  QZTest::ReportedLists reports;
  ASSERT_EQ(client.ConnectDevice(&id, &QZTest::ReportedLists::Callback, &reports), 0);
  EXPECT_TRUE(client.IsDeviceConnected(&id, 1, 500));
  standIn.probe.Fail("XQDC_IsDeviceConnected", -1);
  EXPECT_FALSE(client.IsDeviceConnected(&id, 1, 500));
  standIn.probe.Fail("XQDC_SetParamValues", -77);
  Variant list;
  EXPECT_EQ(client.SetParamValues(&id, &list), -77);
  EXPECT_EQ(client.DisconnectDevice(&id), 0);
}

} // namespace
